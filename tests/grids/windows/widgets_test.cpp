// The Qt controls over their engines, driven offscreen: what a paint asks of the owner, keys and
// clicks, and a grab of each control saved to the build folder for a look.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <climits>
#include <set>

#include "entry/ovc_command_processor.h"
#include "entry/ovc_exceptions.h"
#include "entry/windows/ovc_controller.h"
#include "entry/ovc_vkeys.h"
#include "grids/windows/my_grid.h"
#include "grids/windows/ovc_check_list.h"
#include "grids/windows/ovc_meter.h"
#include "grids/windows/ovc_notebook.h"
#include "grids/windows/ovc_virtual_list_box.h"
#include "grids/windows/popup_box.h"
#include "grids/tab_stops.h"

using namespace korval;

namespace {

// Renders a widget the way the screen would and keeps the picture as a PNG.
QImage Shot(QWidget& w, const char* name)
{
    QImage img = w.grab().toImage();
    const QString dir = QStringLiteral(KORVAL_BINARY_DIR "/grid-shots");
    QDir().mkpath(dir);
    img.save(dir + "/" + name + ".png");
    return img;
}

void ShowActive(QWidget& w)
{
    w.show();
    QApplication::setActiveWindow(&w);
    w.activateWindow();
    QApplication::processEvents();
}

int CountColour(const QImage& img, const QRect& area, QRgb colour)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                ++n;
    return n;
}

} // namespace

// ---- TMyGrid ----

TEST(MyGrid, MillionRowsAskOnlyForVisibleCells)
{
    TMyGrid g;
    g.resize(400, 300);
    g.AddColumn("Call", 10, gaLeft);
    g.AddColumn("Band", 0, gaRight);
    g.AddColumn("Mode", 6, gaCenter);
    g.ApplyHeader();
    std::set<int> rows;
    long long calls = 0;
    g.OnGetCell = [&](TMyGrid*, int col, int row, std::string& v) {
        ++calls;
        rows.insert(row);
        v = "R" + std::to_string(row) + "C" + std::to_string(col);
    };
    g.SetRows(1000000, 500000);
    g.show();
    QImage img = Shot(g, "my_grid");
    ASSERT_FALSE(img.isNull());
    const int visible = g.LastVisibleRow() - g.TopRow + 1;
    EXPECT_GT(visible, 5);
    EXPECT_LE(visible, 20);
    EXPECT_EQ(calls, static_cast<long long>(visible) * 3) << "one request per visible cell";
    EXPECT_EQ(*rows.begin(), g.TopRow);
    EXPECT_EQ(*rows.rbegin(), g.LastVisibleRow());
    EXPECT_LE(g.TopRow, 500000);
    EXPECT_GE(g.LastVisibleRow(), 500000);
}

TEST(MyGrid, WidthsFromCharactersAndRowsClamped)
{
    TMyGrid g;
    g.AddColumn("Call", 0, gaLeft);
    g.AddColumn("Freq", 10, gaRight);
    g.ApplyHeader();
    const int w = QFontMetrics(g.font()).horizontalAdvance(QLatin1Char('W'));
    EXPECT_EQ(g.ColWidth(0), 4 * w + (w + 1) / 2 + 2) << "width 0: the caption's four characters";
    EXPECT_EQ(g.ColWidth(1), 10 * w + (w + 1) / 2 + 2);
    EXPECT_EQ(g.GridWith(), g.ColWidth(0) + g.ColWidth(1));
    EXPECT_EQ(g.FixedRows, 0) << "no data rows yet";
    g.SetRows(10, 50);
    EXPECT_EQ(g.Row, 9);
    g.SetRows(10, 0);
    EXPECT_EQ(g.Row, 1);
    g.SetRows(1, 4);
    EXPECT_EQ(g.RowCount, 1);
    EXPECT_EQ(g.FixedRows, 0);
    g.BeginUpdate();
    g.BeginUpdate();
    g.SetRows(30, 2);
    g.EndUpdate();
    EXPECT_FALSE(g.viewport()->updatesEnabled());
    g.EndUpdate();
    EXPECT_TRUE(g.viewport()->updatesEnabled());
    // A bigger font lays the columns out again.
    QFont big = g.font();
    big.setPointSize(big.pointSize() * 2);
    g.setFont(big);
    EXPECT_TRUE(QMetaObject::invokeMethod(&g, "LayoutColumns")) << "callable by name after a form font change";
    EXPECT_GT(g.ColWidth(1), 10 * w + (w + 1) / 2 + 2);
    EXPECT_EQ(g.DefaultRowHeight, QFontMetrics(big).height());
    EXPECT_EQ(g.GridHeight(), 30 * g.DefaultRowHeight);
}

TEST(MyGrid, WithoutHandlerCellsShowTheirCoordinatesAndKeysMoveTheRow)
{
    TMyGrid g;
    g.resize(300, 200);
    g.AddColumn("A", 5, gaLeft);
    g.ApplyHeader();
    g.SetRows(100, 1);
    std::vector<int> selected;
    g.OnSelectCell = [&](TMyGrid*, int, int row) { selected.push_back(row); };
    ShowActive(g);
    g.setFocus();
    QTest::keyClick(&g, Qt::Key_Down);
    QTest::keyClick(&g, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(selected, (std::vector<int>{2, 99}));
    EXPECT_EQ(g.LastVisibleRow(), 99);
    g.GotoLastRow();
    EXPECT_EQ(g.Row, 99);
    // Dragging a column edge in the header row sizes the column.
    const int edge = g.ColWidth(0);
    QTest::mousePress(g.viewport(), Qt::LeftButton, {}, QPoint(edge, 3));
    QMouseEvent move(QEvent::MouseMove, QPointF(edge + 30, 3), g.viewport()->mapToGlobal(QPointF(edge + 30, 3)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(g.viewport(), &move);
    QTest::mouseRelease(g.viewport(), Qt::LeftButton, {}, QPoint(edge + 30, 3));
    EXPECT_EQ(g.ColWidth(0), edge + 30);
    EXPECT_EQ(g.Row, 99) << "sizing selects nothing";
}

// ---- TOvcVirtualListBox ----

TEST(VirtualListBox, MaxIntItemsPaintOnlyThePageAndTheBarReachesTheEnd)
{
    TOvcVirtualListBox lb;
    lb.resize(220, 180);
    std::set<int> asked;
    lb.OnGetItem = [&](int i, std::string& s) {
        asked.insert(i);
        s = "Item " + std::to_string(i) + "\tx";
    };
    lb.SetNumItems(2147483647);
    lb.show();
    QApplication::processEvents();
    QScrollBar* bar = lb.verticalScrollBar();
    EXPECT_EQ(bar->maximum(), 2147483647 - lb.Rows());
    bar->setValue(bar->maximum());
    EXPECT_EQ(lb.TopIndex(), 2147483647 - lb.Rows());
    asked.clear();
    QImage img = Shot(lb, "virtual_list_box");
    ASSERT_FALSE(img.isNull());
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(*asked.rbegin(), 2147483646) << "the last page shows the true last item";
    EXPECT_LE(static_cast<int>(asked.size()), lb.Rows());
}

TEST(VirtualListBox, CtrlAndShiftClicksGoThroughOnSelect)
{
    TOvcVirtualListBox lb;
    lb.resize(200, 200);
    lb.SetMultiSelect(true);
    lb.SetNumItems(100);
    std::set<int> sel;
    int clicks = 0;
    lb.OnIsSelected = [&](int i, bool& s) { s = sel.count(i) > 0; };
    lb.OnSelect = [&](int i, bool s) {
        if (i < 0) {
            if (!s)
                sel.clear();
        } else if (s) {
            sel.insert(i);
        } else {
            sel.erase(i);
        }
    };
    lb.OnClick = [&] { ++clicks; };
    lb.OnGetItem = [](int i, std::string& s) { s = std::to_string(i); };
    ShowActive(lb);
    const int rh = lb.RowHeight();
    QTest::mouseClick(lb.viewport(), Qt::LeftButton, {}, QPoint(10, rh + 2));
    QTest::mouseClick(lb.viewport(), Qt::LeftButton, Qt::ControlModifier, QPoint(10, 3 * rh + 2));
    EXPECT_EQ(sel, (std::set<int>{1, 3}));
    QTest::mouseClick(lb.viewport(), Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 5 * rh + 2));
    EXPECT_EQ(sel, (std::set<int>{3, 4, 5}));
    QTest::keyClick(&lb, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(sel, (std::set<int>{3, 4, 5, 6}));
    EXPECT_EQ(clicks, 4) << "three releases and one key move";
    Shot(lb, "virtual_list_box_multi");
}

TEST(VirtualListBox, HeaderClickAndUnbalancedUpdate)
{
    TOvcVirtualListBox lb;
    lb.resize(200, 120);
    lb.SetShowHeader(true);
    lb.SetHeader("Call\tFreq");
    lb.SetNumItems(3);
    int header = 0, dbl = 0;
    lb.OnClickHeader = [&](const QPoint&) { ++header; };
    lb.OnDblClick = [&] { ++dbl; };
    ShowActive(lb);
    QTest::mouseClick(lb.viewport(), Qt::LeftButton, {}, QPoint(5, 3));
    QTest::mouseDClick(lb.viewport(), Qt::LeftButton, {}, QPoint(5, 3));
    EXPECT_EQ(lb.ItemIndex(), -1);
    EXPECT_EQ(dbl, 0);
    EXPECT_GE(header, 1);
    lb.BeginUpdate();
    lb.EndUpdate();
    EXPECT_THROW(lb.EndUpdate(), EOvcException);
    QImage img = Shot(lb, "virtual_list_box_header");
    // Below the three items the list is filled with its colour.
    const QRgb base = lb.palette().color(QPalette::Base).rgb();
    EXPECT_EQ(img.pixel(100, lb.viewport()->y() + lb.RowHeight() * 4 + 3) & 0xFFFFFF, base & 0xFFFFFF);
}

TEST(VirtualListBox, KeysGoThroughTheFormControllersTables)
{
    // The form's table sends Down to the owner as a user command; Up stays a move.
    QWidget form;
    auto* controller = new TOvcController(&form);
    TOvcCommandTable* table = controller->EntryCommands().GetTable("Default");
    const int down = table->IndexOf(TOvcCmdRec{VK_DOWN, 0, 0, 0, 0});
    ASSERT_GE(down, 0);
    table->ExchangeCommand(down, TOvcCmdRec{VK_DOWN, 0, 0, 0, ccUser1});
    auto* lb = new TOvcVirtualListBox(&form);
    lb->resize(150, 120);
    lb->SetNumItems(50);
    int user = 0;
    lb->OnUserCommand = [&](int c) { user = c; };
    ShowActive(form);
    lb->setFocus();
    lb->SetItemIndex(5);
    QTest::keyClick(lb, Qt::Key_Down);
    EXPECT_EQ(user, ccUser1);
    EXPECT_EQ(lb->ItemIndex(), 5);
    QTest::keyClick(lb, Qt::Key_Up);
    EXPECT_EQ(lb->ItemIndex(), 4);
    EXPECT_EQ(lb->Controller(), controller);
    // While an entry field holds an unreported error a click does not reach the list.
    QWidget other(&form);
    other.setFocusPolicy(Qt::StrongFocus);
    other.show();
    other.setFocus();
    controller->ErrorPending = true;
    QTest::mouseClick(lb->viewport(), Qt::LeftButton, {}, QPoint(5, lb->RowHeight() * 2 + 2));
    EXPECT_EQ(lb->ItemIndex(), 4);
}

// ---- TOvcCheckList ----

TEST(CheckList, ClicksOnTheBoxToggleAndOnTheTextSelect)
{
    TOvcCheckList cl;
    cl.resize(160, 120);
    for (auto* s : {"160m", "80m", "40m", "30m"})
        cl.Items().Add(s);
    std::vector<std::tuple<int, int, int>> changes;
    cl.OnStateChange = [&](TOvcCheckList*, int i, TCheckBoxState o, TCheckBoxState n) { changes.push_back({i, o, n}); };
    ShowActive(cl);
    const QRect r1 = cl.ItemRect(1);
    QTest::mouseClick(cl.viewport(), Qt::LeftButton, {}, QPoint(r1.left() + 3, r1.center().y()));
    EXPECT_EQ(cl.GetStates(1), cbChecked);
    EXPECT_EQ(cl.ItemIndex(), -1) << "a box click does not select";
    QTest::mouseClick(cl.viewport(), Qt::LeftButton, {}, QPoint(r1.left() + 60, r1.center().y()));
    EXPECT_EQ(cl.GetStates(1), cbChecked) << "BoxClickOnly: the text only selects";
    EXPECT_EQ(cl.ItemIndex(), 1);
    QTest::keyClick(&cl, Qt::Key_Space);
    EXPECT_EQ(cl.GetStates(1), cbUnchecked);
    cl.ThreeState = true;
    QTest::keyClick(&cl, Qt::Key_Space);
    EXPECT_EQ(cl.GetStates(1), cbGrayed);
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[2], std::make_tuple(1, int(cbUnchecked), int(cbGrayed)));
    cl.SetStates(9, cbChecked); // beyond the items: nothing
    EXPECT_EQ(changes.size(), 3u);
    EXPECT_EQ(cl.GetStates(9), cbUnchecked);
    cl.SetStates(3, cbChecked);
    cl.SetStates(0, cbChecked);
    Shot(cl, "check_list");
    cl.Items().Delete(0);
    EXPECT_EQ(cl.GetStates(0), cbGrayed);
    EXPECT_EQ(cl.GetStates(2), cbChecked);
    cl.SetAllStates(cbUnchecked);
    EXPECT_EQ(cl.GetStates(2), cbUnchecked);
    cl.SetBoxMargin(0);
    EXPECT_EQ(cl.BoxMargin(), 1);
}

TEST(CheckList, TabStopsLandAtAverageWidthPixels)
{
    TOvcCheckList cl;
    const int avg = cl.AverageCharWidth();
    int notified = 0;
    cl.OnTabStopsChange = [&](TOvcCustomListBox*) { ++notified; };
    cl.SetTabStops({"8", "20"});
    EXPECT_EQ(cl.TabStopPixels(), (std::vector<int>{8 * avg, 20 * avg}));
    EXPECT_EQ(cl.TextExtent("a\tb"), 8 * avg + QFontMetrics(cl.font()).horizontalAdvance(QLatin1Char('b')));
    EXPECT_THROW(cl.SetTabStops({"5", "x"}), EConvertError);
    EXPECT_EQ(cl.TabStopPixels().size(), 2u) << "a bad entry changes nothing";
    cl.SetTabStops({});
    EXPECT_TRUE(cl.TabStopPixels().empty());
    EXPECT_EQ(notified, 2);
    cl.SetHorizontalScroll(true);
    cl.Items().Add("a rather long line of text for the extent");
    EXPECT_EQ(cl.HorizontalExtent(),
              QFontMetrics(cl.font()).horizontalAdvance(QStringLiteral("a rather long line of text for the extent")) + 5 + 16);
}

TEST(TabStopListBox, ColumnsLineUpAtTheStops)
{
    TOvcCustomListBox lb;
    lb.resize(220, 100);
    lb.SetTabStops({"10", "18"});
    for (auto* s : {"DL1ABC\t14025\tCW", "OH2XYZ\t7012\tCW", "JA1Q\t21074\tFT8"})
        lb.Items().Add(s);
    lb.SetItemIndex(1);
    lb.show();
    QImage img = Shot(lb, "tab_stop_list_box");
    ASSERT_FALSE(img.isNull());
    // The second column starts at the first stop whatever the width of the first.
    const int avg = lb.AverageCharWidth();
    EXPECT_EQ(lb.TextExtent("DL1ABC\t"), 10 * avg);
    EXPECT_EQ(lb.TextExtent("JA1Q\t21074\t"), 18 * avg);
}

// ---- TOvcNotebook ----

TEST(Notebook, VetoHiddenAndDisabledPagesAndKeys)
{
    TOvcNotebook nb;
    nb.resize(260, 160);
    for (auto* c : {"&General", "&Bands", "&Modes", "&Awards", "&Ports"})
        nb.AddPage(c);
    nb.GetPageAt(1)->SetEnabled(false);
    nb.GetPageAt(3)->SetPageVisible(false);
    std::vector<int> changed, tabClicks;
    bool allow = true;
    nb.OnPageChange = [&](TOvcNotebook*, int, bool& a) { a = allow; };
    nb.OnPageChanged = [&](TOvcNotebook*, int i) { changed.push_back(i); };
    nb.OnTabClick = [&](TOvcNotebook*, int i) { tabClicks.push_back(i); };
    ShowActive(nb);
    EXPECT_EQ(nb.PageIndex(), 0);
    EXPECT_TRUE(nb.GetPageAt(0)->isVisible());
    nb.setFocus();
    QTest::keyClick(&nb, Qt::Key_Right);
    EXPECT_EQ(nb.PageIndex(), 2) << "the disabled page is skipped";
    QTest::keyClick(&nb, Qt::Key_Right);
    EXPECT_EQ(nb.PageIndex(), 4) << "the hidden page is skipped";
    QTest::keyClick(&nb, Qt::Key_Home);
    EXPECT_EQ(nb.PageIndex(), 0);
    EXPECT_EQ(changed, (std::vector<int>{2, 4, 0}));
    allow = false;
    QTest::keyClick(&nb, Qt::Key_End);
    EXPECT_EQ(nb.PageIndex(), 0);
    EXPECT_EQ(changed.size(), 3u) << "a refused change fires no OnPageChanged";
    EXPECT_TRUE(nb.GetPageAt(0)->isVisible());
    EXPECT_FALSE(nb.GetPageAt(4)->isVisible());
    allow = true;
    // A click on the disabled page's tab reports it but does not switch.
    const QRect t1 = QRect(nb.GetPageAt(1)->TabRect().left, nb.GetPageAt(1)->TabRect().top,
                           nb.GetPageAt(1)->TabRect().Width(), nb.GetPageAt(1)->TabRect().Height());
    QTest::mouseClick(&nb, Qt::LeftButton, {}, t1.center());
    EXPECT_EQ(nb.PageIndex(), 0);
    EXPECT_EQ(tabClicks, (std::vector<int>{1}));
    EXPECT_THROW(nb.SetPageIndex(3), EInvalidPageIndex);
    EXPECT_TRUE(nb.DialogChar('m'));
    EXPECT_EQ(nb.PageIndex(), 2);
    Shot(nb, "notebook");
}

TEST(Notebook, TwoRowsKeepTheCurrentRowNextToThePage)
{
    TOvcNotebook nb;
    nb.resize(230, 170);
    for (auto* c : {"Station", "Radio ports", "Cluster and telnet", "Sounds", "QSL routing", "Awards"})
        nb.AddPage(c);
    nb.show();
    QApplication::processEvents();
    ASSERT_GE(nb.Layout().rows, 2);
    const int h = nb.TabHeight();
    EXPECT_EQ(nb.GetPageAt(0)->TabRect().top, 2 + (nb.Layout().rows - 1) * h);
    const int back = nb.GetPageCount() - 1;
    ASSERT_NE(nb.GetPageAt(back)->TabRow(), nb.GetPageAt(0)->TabRow());
    nb.SetPageIndex(back);
    EXPECT_EQ(nb.GetPageAt(back)->TabRect().top, 2 + (nb.Layout().rows - 1) * h);
    EXPECT_EQ(nb.GetPageAt(back)->geometry().top(), nb.Layout().rows * h + 3);
    Shot(nb, "notebook_rows");
    for (auto o : {toBottom, toLeft, toRight}) {
        nb.SetTabOrientation(o);
        QImage img = Shot(nb, ("notebook_" + std::to_string(o)).c_str());
        EXPECT_FALSE(img.isNull());
    }
}

// ---- TOvcMeter ----

TEST(Meter, FullAtOverHundredAndFillAsComputed)
{
    TOvcMeter m;
    m.resize(204, 24); // inner length 200 with the 3-D frame
    m.SetCtl3D(true);
    m.SetPercent(150);
    EXPECT_EQ(m.Percent(), 150);
    EXPECT_EQ(m.PercentText(), "100%");
    m.SetPercent(40);
    QImage img = Shot(m, "meter");
    const QRect inner = m.InnerRect();
    ASSERT_EQ(inner.width(), 200);
    const QRgb lime = qRgb(0, 255, 0);
    EXPECT_EQ(CountColour(img, QRect(inner.left(), inner.center().y(), inner.width(), 1), lime), 80);
    m.SetPercent(99);
    img = m.grab().toImage();
    EXPECT_EQ(CountColour(img, QRect(inner.left(), inner.center().y(), inner.width(), 1), lime), 197);
    m.SetShowPercent(true);
    m.SetPercent(50);
    Shot(m, "meter_text");
    m.SetOrientation(moVertical);
    EXPECT_EQ(m.width(), 24);
    EXPECT_EQ(m.height(), 204);
}

// ---- TWheelx ----

TEST(Wheelx, ClosedListKeysFirstLetterAndHeldOffChange)
{
    QWidget form;
    form.resize(240, 200);
    auto* w = new TWheelx(&form);
    w->move(10, 10);
    w->resize(120, 27);
    for (auto* s : {"CW", "SSB", "RTTY", "PSK31", "SSTV"})
        w->GetItems().Add(s);
    int changes = 0;
    auto onChange = [&](TCustomPopupBox*) { ++changes; };
    w->OnChange = nullptr;
    w->SetSelection(2);
    w->OnChange = onChange;
    EXPECT_EQ(changes, 0);
    ShowActive(form);
    w->setFocus();
    EXPECT_EQ(w->GetText(), "SSB");
    QTest::keyClick(w, Qt::Key_Right);
    EXPECT_EQ(w->GetSelection(), 3);
    QTest::keyClick(w, Qt::Key_Left);
    QTest::keyClick(w, Qt::Key_Left);
    QTest::keyClick(w, Qt::Key_Left); // beyond the first: stays
    EXPECT_EQ(w->GetSelection(), 1);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(w->Changed(), 1);
    QTest::keyClicks(w, "s");
    EXPECT_EQ(w->GetText(), "SSB");
    QTest::keyClicks(w, "s");
    EXPECT_EQ(w->GetText(), "SSTV");
    QTest::keyClicks(w, "s");
    EXPECT_EQ(w->GetText(), "SSB") << "wraps to the first S";
    // Alt+Down opens the list; a click in it takes the line and closes it.
    QTest::keyClick(w, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(w->Dropped());
    TPopupBoxLB* lb = w->ListWindow();
    EXPECT_EQ(lb->width(), w->width());
    Shot(form, "wheelx_open");
    const int ih = lb->ItemHeight();
    const int line = 3 - lb->TopIndex();
    QTest::mouseClick(lb, Qt::LeftButton, {}, QPoint(10, 1 + line * ih + ih / 2));
    EXPECT_FALSE(w->Dropped());
    EXPECT_EQ(w->GetText(), "PSK31");
    EXPECT_TRUE(w->hasFocus()) << "doShutup leaves the focus in the box";
    Shot(*w, "wheelx");
}

TEST(Wheelx, AllowDefaultOnEveryBoxOfTheForm)
{
    QWidget form;
    auto* a = new TWheelx(&form);
    auto* b = new TWheelx(new QWidget(&form));
    for (auto* w : {a, b}) {
        w->GetItems().Add("Buro");
        w->GetItems().Add("Direct");
    }
    SetWheelxAllowDefault(&form, true);
    SetWheelxAllowDefault(&form, true);
    EXPECT_EQ(a->GetItems().Count(), 3);
    EXPECT_EQ(b->GetItems().Count(), 3);
    b->SetSelection(0);
    EXPECT_EQ(b->GetText(), " ");
    b->SetSelection(2);
    EXPECT_EQ(b->GetText(), "Direct");
    SetWheelxAllowDefault(&form, false);
    EXPECT_EQ(b->GetItems().Count(), 2);
    EXPECT_EQ(b->GetSelection(), 2);
}

TEST(PopupBox, FreeTextBoxTypesAndEnterTakesTheListLine)
{
    QWidget form;
    form.resize(240, 200);
    auto* box = new TPopupBox(&form);
    box->SetStyle(pbsDropDown);
    box->DropDownOn = DropOnAltArrowKey;
    box->resize(140, 27);
    for (auto* s : {"Germany", "Greece", "Greenland"})
        box->GetItems().Add(s);
    ShowActive(form);
    box->setFocus();
    QTest::keyClicks(box, "Gre");
    EXPECT_EQ(box->GetText(), "Gre");
    QTest::keyClick(box, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(box->Dropped());
    EXPECT_EQ(box->GetItemIndex(), -1) << "a free-text box opens on an equal item only";
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(box->GetText(), "Germany") << "the text follows the list in a free-text box";
    QTest::keyClick(box, Qt::Key_Down);
    box->List.DoOnReturnKey = doShutup;
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_FALSE(box->Dropped());
    EXPECT_EQ(box->GetText(), "Greece");
    EXPECT_EQ(box->SelLength(), 6) << "the taken value is selected";
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->GetText(), "Greec");
    Shot(*box, "popup_box");
}
