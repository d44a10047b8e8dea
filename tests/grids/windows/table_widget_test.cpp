// The table control offscreen: a form with a controller and a table of heading, text, date and
// number cells over a small record list the form owns, driven by keys, clicks and scroll bars.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QWheelEvent>
#include <QScrollBar>
#include <QTest>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "entry/windows/ovc_controller.h"
#include "entry/ovc_date.h"
#include "grids/windows/ovc_table.h"
#include "grids/windows/ovc_tc_entry_fields.h"
#include "grids/windows/ovc_tc_headings.h"
#include "grids/windows/ovc_tc_string.h"
#include "platform/message_dlg.h"

using namespace korval;

namespace {

struct Record {
    std::string Name;
    int32_t Date;
    double Amount;
};

void Settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

class TableForm : public ::testing::Test {
protected:
    enum { colName = 1, colDate = 2, colAmount = 3 };

    void SetUp() override
    {
        form = std::make_unique<QWidget>();
        controller = new TOvcController(form.get());
        table = new TOvcTable(form.get());
        table->setGeometry(0, 0, 640, 300);
        colHead = new TOvcTCColHead(form.get());
        rowHead = new TOvcTCRowHead(form.get());
        name = new TOvcTCString(form.get());
        date = new TOvcTCPictureField(form.get());
        date->SetDataType(pftDate);
        date->SetPictureMask("mm/dd/yyyy");
        amount = new TOvcTCNumericField(form.get());
        amount->SetDataType(nftDouble);
        amount->SetPictureMask("#####.##");
        table->SetColCount(4);
        table->SetLockedRowsCell(colHead);
        table->Columns()[0]->SetWidth(50);
        table->Columns()[0]->SetDefaultCell(rowHead);
        table->Columns()[colName]->SetDefaultCell(name);
        table->Columns()[colDate]->SetDefaultCell(date);
        table->Columns()[colAmount]->SetDefaultCell(amount);
        for (int i = 0; i < 30; ++i)
            records.push_back({"Call " + std::to_string(i + 1), DMYToDate(1 + i % 28, 3, 2024, 0), 10.0 * i});
        table->SetRowLimit(int(records.size()) + 1);
        table->OnGetCellData = [this](int r, int c, TOvcCellData& data, TOvcCellDataPurpose) {
            asked.emplace_back(r, c);
            if (r < 1 || r > int(records.size()))
                return;
            Record& rec = records[r - 1];
            if (c == colName)
                data = TOvcCellData::String(rec.Name);
            else if (c == colDate)
                data = TOvcCellData::Date(rec.Date);
            else if (c == colAmount)
                data = TOvcCellData::Float(rec.Amount);
        };
        form->resize(660, 320);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        table->setFocus(Qt::TabFocusReason);
        Settle();
    }

    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target ? target : table, Qt::Key(key), mods);
        Settle();
    }

    void Type(const QString& text)
    {
        for (QChar ch : text) {
            QWidget* target = QApplication::focusWidget();
            QTest::keyClicks(target ? target : table, QString(ch));
            Settle();
        }
    }

    std::unique_ptr<QWidget> form;
    TOvcController* controller = nullptr;
    TOvcTable* table = nullptr;
    TOvcTCColHead* colHead = nullptr;
    TOvcTCRowHead* rowHead = nullptr;
    TOvcTCString* name = nullptr;
    TOvcTCPictureField* date = nullptr;
    TOvcTCNumericField* amount = nullptr;
    std::vector<Record> records;
    std::vector<std::pair<int, int>> asked;
};

TEST_F(TableForm, ATypedLetterStartsAnEditAndF2Saves)
{
    ASSERT_TRUE(table->hasFocus());
    EXPECT_EQ(table->ActiveRow(), 1);
    EXPECT_EQ(table->ActiveCol(), 1);
    Key(Qt::Key_W);
    ASSERT_TRUE(table->InEditingState());
    auto* editor = qobject_cast<QLineEdit*>(table->EditingCell()->CellEditor());
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->hasFocus());
    EXPECT_EQ(editor->text(), "w");  // the letter replaced the selected old text
    Type("1AW");
    Key(Qt::Key_F2);  // ccTableEdit ends the edit and saves
    EXPECT_FALSE(table->InEditingState());
    EXPECT_EQ(records[0].Name, "w1AW");
    EXPECT_TRUE(table->hasFocus());
}

TEST_F(TableForm, EscapeLeavesTheRecordAsItWas)
{
    table->SetActiveCell(3, colAmount);
    const std::vector<Record> before = records;
    Key(Qt::Key_F2);
    ASSERT_TRUE(table->InEditingState());
    Type("999");
    Key(Qt::Key_Escape);
    EXPECT_FALSE(table->InEditingState());
    EXPECT_EQ(records[2].Amount, before[2].Amount);
    // The same for the text cell, edited by typing.
    table->SetActiveCell(4, colName);
    Type("zz");
    ASSERT_TRUE(table->InEditingState());
    Key(Qt::Key_Escape);
    EXPECT_EQ(records[3].Name, before[3].Name);
    EXPECT_TRUE(table->hasFocus());
}

TEST_F(TableForm, EnterToArrowMovesRightAndSaves)
{
    table->SetOptions({otoEnterToArrow});
    Key(Qt::Key_Return);
    EXPECT_EQ(table->ActiveCol(), 2);
    EXPECT_EQ(table->ActiveRow(), 1);
    table->SetActiveCell(2, colName);
    Type("K1ABC");
    Key(Qt::Key_Return);  // from inside the editor
    EXPECT_FALSE(table->InEditingState());
    EXPECT_EQ(table->ActiveCol(), colDate);
    EXPECT_EQ(table->ActiveRow(), 2);
    EXPECT_EQ(records[1].Name, "K1ABC");
}

TEST_F(TableForm, AnInvalidDateKeepsTheCellWithOneError)
{
    ScopedMessageRecorder recorder;
    table->SetActiveCell(3, colDate);
    Key(Qt::Key_F2);
    ASSERT_TRUE(table->InEditingState());
    QWidget* editor = table->EditingCell()->CellEditor();
    Key(Qt::Key_Home);
    Type("02302024");  // 30 February
    Key(Qt::Key_Up);
    EXPECT_EQ(table->ActiveRow(), 3);
    EXPECT_TRUE(table->InEditingState());
    EXPECT_TRUE(editor->hasFocus());
    EXPECT_EQ(recorder.texts(), std::vector<std::string>{"Value is not a valid date"});
    // A click on another cell is refused the same way, with one more report.
    const QRect other = table->CellRectOf(5, colName);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, other.center());
    Settle();
    EXPECT_EQ(table->ActiveRow(), 3);
    EXPECT_TRUE(editor->hasFocus());
    EXPECT_EQ(recorder.texts().size(), 2u);
    // Mended, Up leaves and the date is saved.
    Key(Qt::Key_Home);
    Type("02282024");
    Key(Qt::Key_Up);
    EXPECT_EQ(table->ActiveRow(), 2);
    EXPECT_EQ(records[2].Date, DMYToDate(28, 2, 2024, 0));
    EXPECT_EQ(recorder.texts().size(), 2u);
}

TEST_F(TableForm, EnteringRowFiresOncePerRow)
{
    std::vector<int> entered;
    table->OnEnteringRow = [&](int r) { entered.push_back(r); };
    Key(Qt::Key_F2);
    Key(Qt::Key_F2);
    Key(Qt::Key_F2);
    Key(Qt::Key_F2);
    Key(Qt::Key_Down);
    Key(Qt::Key_F2);
    EXPECT_EQ(entered, (std::vector<int>{1, 2}));
}

TEST_F(TableForm, ClickOnTheActiveCellEditsAndElsewhereOnlyMoves)
{
    const QRect other = table->CellRectOf(4, colName);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, other.center());
    Settle();
    EXPECT_EQ(table->ActiveRow(), 4);
    EXPECT_FALSE(table->InEditingState());
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, other.center());
    Settle();
    EXPECT_TRUE(table->InEditingState());
}

TEST_F(TableForm, LockedRowsAndColumnsStayWhileScrolling)
{
    table->verticalScrollBar()->setValue(10);
    Settle();
    EXPECT_EQ(table->TopRow(), 10);
    ASSERT_GE(table->VisibleRows().size(), 2u);
    EXPECT_EQ(table->VisibleRows()[0].Num, 0);
    EXPECT_EQ(table->VisibleRows()[1].Num, 10);
    EXPECT_EQ(table->VisibleCols()[0].Num, 0);
    // The row heading beside the first scrolled row shows its number.
    asked.clear();
    table->viewport()->repaint();
    EXPECT_NE(std::find(asked.begin(), asked.end(), std::make_pair(10, 0)), asked.end());
    EXPECT_NE(std::find(asked.begin(), asked.end(), std::make_pair(0, 1)), asked.end());
    table->Columns()[colName]->SetWidth(400);
    table->Columns()[colDate]->SetWidth(400);
    table->SetLeftCol(2);
    EXPECT_EQ(table->VisibleCols()[0].Num, 0);
    EXPECT_EQ(table->VisibleCols()[1].Num, 2);
}

TEST_F(TableForm, TheThumbReachesTheLastOfManyRowsAndOnlyVisibleCellsAreAsked)
{
    table->SetRowLimit(400000);
    Settle();
    QScrollBar* bar = table->verticalScrollBar();
    EXPECT_EQ(bar->maximum(), table->MaxTopRow());
    bar->setValue(bar->maximum());
    Settle();
    EXPECT_EQ(table->VisibleRows().back().Num, 399999);
    asked.clear();
    table->viewport()->repaint();
    std::set<std::pair<int, int>> onScreen;
    for (const auto& r : table->VisibleRows())
        for (const auto& c : table->VisibleCols())
            onScreen.insert({r.Num, c.Num});
    EXPECT_FALSE(asked.empty());
    EXPECT_LE(asked.size(), onScreen.size());
    for (const auto& a : asked)
        EXPECT_TRUE(onScreen.count(a)) << a.first << ":" << a.second;
    // Moving the active cell repaints only the old and new cells.
    Key(Qt::Key_Down);
    asked.clear();
    Key(Qt::Key_Down);
    EXPECT_LE(asked.size(), 4u);
}

TEST_F(TableForm, ScreenshotWithLockedHeadingsAndAnOpenEditor)
{
    colHead->SetShowActiveCol(true);
    table->SetActiveCell(2, colDate);
    Key(Qt::Key_F2);
    ASSERT_TRUE(table->InEditingState());
    const QImage img = form->grab().toImage();
    const QString dir = QStringLiteral(KORVAL_BINARY_DIR "/grid-shots");
    QDir().mkpath(dir);
    img.save(dir + "/table.png");
    // The heading row is painted in the locked colour, the editor in the editing colour.
    const QRect head = table->CellRectOf(0, colName);
    const QPoint inHead = table->viewport()->mapTo(form.get(), head.topLeft() + QPoint(3, 3));
    EXPECT_EQ(img.pixelColor(inHead), ScreenQColor(table->Colors().Locked));
}

} // namespace

namespace {

TEST_F(TableForm, AStringCellAdvancesAfterItsLastCharacter)
{
    name->SetMaxLength(5);
    name->AutoAdvanceChar = true;
    Type("ABCDE");
    EXPECT_EQ(table->ActiveCol(), colDate);
    EXPECT_EQ(records[0].Name, "ABCDE");
}

TEST_F(TableForm, TabToArrowAndTheWheelMoveTheActiveCell)
{
    table->SetOptions({otoTabToArrow});
    Key(Qt::Key_Tab);
    EXPECT_EQ(table->ActiveCol(), 2);
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(table->ActiveCol(), 1);
    EXPECT_TRUE(table->hasFocus());
    const QPoint at = table->CellRectOf(2, colName).center();
    QWheelEvent down(at, table->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(table->viewport(), &down);
    EXPECT_EQ(table->ActiveRow(), 2);
}

TEST_F(TableForm, BrowseRowShiftClickSelectsWholeRows)
{
    table->SetOptions({otoBrowseRow});
    // Browsing rules out selecting; only the active row is marked, across every column.
    TOvcCellAttributes a;
    a.Font = table->font();
    table->GetCell(1, colAmount)->ResolveAttributes(1, colAmount, a);
    EXPECT_EQ(a.Color, table->Colors().ActiveFocused);
    table->SetOptions({});
    const QRect to = table->CellRectOf(3, colDate);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::ShiftModifier, to.center());
    Settle();
    EXPECT_TRUE(table->IsSelected(2, colName));
    EXPECT_TRUE(table->IsSelected(3, colDate));
    EXPECT_FALSE(table->IsSelected(3, colAmount));
}

TEST_F(TableForm, ARedrawLockHidesTheEditorAndShowsItAgain)
{
    Key(Qt::Key_F2);
    QWidget* editor = table->EditingCell()->CellEditor();
    ASSERT_TRUE(editor->isVisible());
    table->SetAllowRedraw(false);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(table->InEditingState());
    table->SetAllowRedraw(true);
    Settle();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(editor->hasFocus());
}

TEST_F(TableForm, ACellThatGoesAwayWhileEditingEndsTheEdit)
{
    table->SetActiveCell(2, colAmount);
    Key(Qt::Key_F2);
    ASSERT_EQ(table->EditingCell(), amount);
    delete amount;
    amount = nullptr;
    EXPECT_FALSE(table->InEditingState());
    EXPECT_EQ(table->Columns().DefaultCell(colAmount), nullptr);
    table->viewport()->repaint();
    Key(Qt::Key_Right);
    EXPECT_EQ(table->ActiveCol(), colAmount);
}

TEST_F(TableForm, HeadingsFollowColumnChanges)
{
    colHead->Headings = {"", "Call", "Date", "Amount"};
    table->Columns().Exchange(1, 3);
    EXPECT_EQ(colHead->Headings, (std::vector<std::string>{"", "Amount", "Date", "Call"}));
    table->Columns().Delete(2);
    EXPECT_EQ(colHead->Headings, (std::vector<std::string>{"", "Amount", "Call"}));
    table->Columns().Append(std::make_unique<TOvcTableColumn>());
    EXPECT_EQ(colHead->Headings.size(), 4u);
}

// A cell painted on its own, without a table.
TEST(TableCells, WideCentredTextStartsAtTheLeftAndSettingsFollowTheirRules)
{
    TOvcTCString cell;
    cell.SetMargin(-1);
    EXPECT_EQ(cell.Margin(), 4);
    EXPECT_TRUE(cell.TableColor());
    cell.SetColor(clWhite);
    EXPECT_FALSE(cell.TableColor());
    TOvcCellAttributes a;
    a.Font = QApplication::font();
    cell.ResolveAttributes(1, 1, a);
    EXPECT_EQ(a.Color, clWhite);
    EXPECT_EQ(a.Adjust, otaCenterLeft);
    a.Adjust = otaCenter;
    a.TextColor = clBlack;
    QImage img(60, 24, QImage::Format_RGB32);
    img.fill(Qt::white);
    std::string text(30, 'W');
    {
        QPainter p(&img);
        cell.tcPaint(p, img.rect(), 1, 1, a, TOvcCellData::String(text));
    }
    int left = img.width();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 128)
                left = std::min(left, x);
    EXPECT_LE(left, 4);  // half the margin, not cut off on the left
}

} // namespace

namespace {

TEST_F(TableForm, DraggingAColumnHeadingMovesTheColumn)
{
    table->SetOptions({otoAllowColMoves});
    std::vector<int> exchanges;
    table->OnColumnsChanged = [&](int c1, int c2, TOvcTblActions a) {
        if (a == taExchange)
            exchanges.push_back(c1 * 10 + c2);
    };
    const QPoint from = table->CellRectOf(0, colName).center();
    const QPoint to = table->CellRectOf(0, colAmount).center();
    QTest::mousePress(table->viewport(), Qt::LeftButton, Qt::NoModifier, from);
    QMouseEvent move(QEvent::MouseMove, to, table->viewport()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(table->viewport(), &move);
    table->viewport()->repaint();  // the drop line and the floating image
    QTest::mouseRelease(table->viewport(), Qt::LeftButton, Qt::NoModifier, to);
    Settle();
    EXPECT_EQ(exchanges, (std::vector<int>{12, 23}));
    EXPECT_EQ(table->Columns().DefaultCell(colAmount), name);
    EXPECT_EQ(table->Columns().DefaultCell(colName), date);
    // The window still hands out values by column number: cells now get values of another kind,
    // which they leave unpainted rather than failing the paint.
    EXPECT_NO_THROW(table->viewport()->repaint());
}

} // namespace

namespace {

TEST_F(TableForm, AlwaysEditingOpensAnEditorAtEveryCell)
{
    table->SetOptions({otoAlwaysEditing});
    EXPECT_TRUE(table->Options().Contains(otoNoSelection));
    table->SetActiveCell(2, colName);
    Settle();
    ASSERT_TRUE(table->InEditingState());
    Key(Qt::Key_Down);
    Settle();
    EXPECT_EQ(table->ActiveRow(), 3);
    EXPECT_TRUE(table->InEditingState());
    EXPECT_EQ(table->EditingCell(), name);
}

// A numeric cell shows its value without the blanks the field pads it with.
TEST(TableCells, EntryCellsPaintTheirValueWithoutPadding)
{
    QWidget form;
    new TOvcController(&form);
    TOvcTCNumericField cell;
    cell.SetDataType(nftDouble);
    cell.SetPictureMask("##########.##");
    TOvcCellAttributes a;
    a.Font = QApplication::font();
    cell.ResolveAttributes(1, 1, a);
    a.Color = clWhite;
    a.TextColor = clBlack;
    QImage img(200, 24, QImage::Format_RGB32);
    img.fill(Qt::white);
    double value = 12.5;
    {
        QPainter p(&img);
        cell.tcPaint(p, img.rect(), 1, 1, a, TOvcCellData::Float(value));
    }
    int left = img.width();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 128)
                left = std::min(left, x);
    EXPECT_LE(left, 6);  // drawn from the left margin: the padding was removed
}

} // namespace
