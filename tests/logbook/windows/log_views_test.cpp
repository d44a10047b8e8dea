// The log list, the same-call window, the pick list and the small dialogs over a QSO window.
#include "logbook/windows/qso_form_fixture.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include <functional>

#include "grids/windows/my_grid.h"
#include "grids/windows/ovc_check_list.h"
#include "grids/windows/ovc_list_box.h"
#include "logbook/child_window.h"
#include "logbook/configured_formats.h"
#include "logbook/note_editing.h"
#include "logbook/report_definitions.h"
#include "logbook/windows/log_dialogs.h"
#include "logbook/windows/logbook.h"
#include "logbook/windows/picklist.h"
#include "logbook/windows/same_call.h"
#include "platform/message_dlg.h"
#include "test_support.h"

namespace korval {

namespace {

// Runs fn on the modal dialog of type T once it is up.
template <typename T>
void WhenShown(std::function<void(T*)> fn)
{
    QTimer::singleShot(0, [fn] {
        if (auto* d = qobject_cast<T*>(QApplication::activeModalWidget())) {
            fn(d);
            return;
        }
        WhenShown<T>(fn);
    });
}

class LogViewsTest : public QsoFormTest {
protected:
    void SetUp() override
    {
        QsoFormTest::SetUp();
        // One report: the row number, the call, the group name and the QSO note.
        auto defs = std::make_unique<TReportDefinitions>();
        defs->SetItem(0, TReportDefinition{"Listing", soDate, 20, {rpfNumber, rpfCallsign, rpfGroupname, rpfQSONotes}});
        SetReportDefinitions(std::move(defs));
    }
    void TearDown() override
    {
        SetReportDefinitions(nullptr);
        QsoFormTest::TearDown();
    }
    // Child windows take the activation when shown; typing goes to the QSO window again.
    void Front()
    {
        form_->activateWindow();
        Settle();
    }
    static std::string Cell(TMyGrid* g, int col, int row)
    {
        std::string v;
        g->OnGetCell(g, col, row, v);
        return v;
    }
};

} // namespace

TEST_F(LogViewsTest, APostedQsoShowsAtOnceInTheLogListAndTheSameCallWindow)
{
    auto* list = new TLogbook(form_.get());
    auto* same = new TSameCall(form_.get());
    list->show();
    same->show();
    Front();
    ASSERT_EQ(list->DG->RowCount, 2);
    EXPECT_EQ(list->windowTitle(), "Report: Listing sorted by Date");
    EXPECT_EQ(same->windowTitle(), "Double-click to go to QSO");

    form_->Action(TQSOForm::cmAddOffline)->trigger();
    Settle();
    TypeInto(fCall, "w6xyz/p");
    same->RefreshChild();  // what the main window does at idle time
    EXPECT_EQ(same->windowTitle(), "W6XYZ");
    EXPECT_EQ(same->QsoCount(), 1);
    Key(Qt::Key_Tab);
    Key(Qt::Key_Return);
    ASSERT_EQ(log_->Count(), 2);

    // Neither window was refreshed: both were told by the logbook.
    EXPECT_EQ(list->DG->RowCount, 3);
    EXPECT_EQ(Cell(list->DG, 1, 2), "W6XYZ/P");
    EXPECT_EQ(Cell(list->DG, 0, 2), "2");
    EXPECT_EQ(list->DG->Row, 2) << "the list follows a QSO added at its end";
    ASSERT_EQ(same->QsoCount(), 2);
    EXPECT_EQ(same->QsoAt(2)->Call, "W6XYZ/P");

    // The same-call window takes the operator to the older QSO.
    Key(Qt::Key_Escape);
    same->DG->SelectRow(1);
    same->GotoQSO1Click();
    EXPECT_EQ(form_->EntryMode(), emIdle);
    EXPECT_EQ(F(fCall)->GetAsString(), "W6XYZ");
    EXPECT_EQ(form_->Entry().CurrentIndex(), 0);

    // Deleted in the QSO window: gone from both.
    ScopedMessageRecorder answers(mrYes);
    form_->Action(TQSOForm::cmDelete)->trigger();
    Settle();
    EXPECT_EQ(log_->Count(), 1);
    EXPECT_EQ(list->View().Count(), 1);
    EXPECT_EQ(same->QsoCount(), 1);
    EXPECT_EQ(same->QsoAt(1)->Call, "W6XYZ/P");

    QSignalSpy closed(list, &TChildForm::ChildWindowClosed);
    list->close();
    ASSERT_EQ(closed.count(), 1);
    EXPECT_EQ(closed.at(0).at(0).toInt(), cwLogbook);
    EXPECT_NE(Config.Placement(psLogb).Width, 0) << "its placement is kept";
}

TEST_F(LogViewsTest, GoingToAQsoOutsideTheSelectionOrTheSearchIsRefused)
{
    AddQso("W6XYZ/7", Day(2020, 2, 1))->Group = 5;
    Reopen();
    log_->Selection.GroupFlag = true;
    log_->Selection.SetBit(0, true);  // group 0 only
    auto* same = new TSameCall(form_.get());
    same->show();
    Front();
    F(fCall)->SetAsString("W6XYZ");
    same->Refresh();
    ASSERT_EQ(same->QsoCount(), 2);
    ScopedMessageRecorder messages;
    same->DG->SelectRow(2);
    same->GotoQSO1Click();
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{"QSO is not in current Selection"}));
    log_->Selection = TQsoSelection::AllQsos();

    form_->Action(TQSOForm::cmSearch)->trigger();
    TypeInto(fCall, "W6XYZ/7");
    Key(Qt::Key_Return);
    ASSERT_EQ(form_->EntryMode(), emBrowse);
    same->DG->SelectRow(1);
    same->GotoQSO1Click();
    EXPECT_EQ(messages.texts().back(), "QSO does not match current filter");
}

TEST_F(LogViewsTest, WriteToFileKeepsSeparatorsAndQuotesOfEveryValue)
{
    log_->GroupNames = {"Field Day, 2020"};
    log_->At(0)->Group = 1;
    SetQsoNote(*log_->At(0), "said \"hi\"");
    auto* list = new TLogbook(form_.get());
    test::TempDir dir;
    list->AskFileName = [&] { return dir.file("list.txt"); };
    ScopedMessageRecorder answers(mrYes);
    list->WritetoFile1Click();
    EXPECT_EQ(test::ReadAll(dir.file("list.txt")), "1,W6XYZ,\"Field Day, 2020\",\"said \"\"hi\"\"\"\r\n");
    delete list;
}

// A million QSOs: the list opens on them and goes to the end asking only for the cells on screen.
TEST_F(LogViewsTest, TheLogListOfAMillionQsosAsksOnlyForTheCellsOnScreen)
{
    constexpr int kQsos = 1000000;
    log_->BeginBulk(false, kQsos);
    for (int i = 1; i < kQsos; ++i) {
        TQsoRecord* q = log_->NewQsoRecord();
        q->Call.assign("K" + std::to_string(i));
        q->Date = static_cast<TDayNumber>(Day(2019, 1, 2) + i / 1000);
        q->Time = i % 1000;
        log_->BulkAdd(q);
    }
    log_->EndBulk(true);
    Reopen();
    auto* list = new TLogbook(form_.get());
    list->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
    Settle();
    ASSERT_EQ(list->DG->RowCount, kQsos + 1);
    const long long before = list->DG->CellRequests();
    list->DG->setFocus();
    QTest::keyClick(list->DG, Qt::Key_End, Qt::ControlModifier);
    list->DG->viewport()->repaint();
    Settle();
    EXPECT_EQ(list->DG->Row, kQsos);
    const long long asked = list->DG->CellRequests() - before;
    const int onScreen = (list->DG->VisibleDataRows() + 2) * list->DG->ColCount;
    EXPECT_GT(asked, 0);
    EXPECT_LE(asked, 3 * onScreen) << "a repaint or two of the rows on screen";
    EXPECT_EQ(Cell(list->DG, 0, kQsos), "1000000");
    EXPECT_EQ(Cell(list->DG, 1, kQsos), "K999999");
}

TEST_F(LogViewsTest, PickListTypeAheadChoosesTheRecordAndCancelChoosesNothing)
{
    // The countries by name: Alaska, Austria, East Germany, France, Germany, Hawaii, ...
    WhenShown<TPicklist>([](TPicklist* p) {
        EXPECT_EQ(p->windowTitle(), "Prefix");
        EXPECT_TRUE(p->SortbyName1->isChecked());
        QTest::keyClicks(p->ListBox1, "aus");
        QTest::keyClick(p->ListBox1, Qt::Key_Return);
    });
    form_->Action(TQSOForm::cmAddOffline)->trigger();
    Settle();
    form_->Entry().ShowCountries();
    EXPECT_EQ(form_->Entry().Fields.Text[fPrefix], "OE");

    WhenShown<TPicklist>([](TPicklist* p) {
        QTest::keyClicks(p->ListBox1, "ha");
        p->Cancel1->trigger();
    });
    EXPECT_EQ(ShowPicklist(form_.get(), "Prefix", *CountryDb.Countries, 0), -1);

    // In key order the typed text is a prefix: "K" then "KL" lands on Alaska (KL7).
    TPicklist keys(form_.get(), "Prefix", *CountryDb.Countries, 1);
    keys.SortbyName1->trigger();
    EXPECT_FALSE(keys.SortbyName1->isChecked());
    QTest::keyClicks(keys.ListBox1, "kl");
    EXPECT_EQ(keys.Model().Chosen(), 5);
    EXPECT_EQ(keys.ListBox1->ItemIndex(), keys.Model().Selected());

    TTwoIndex empty(3);
    WhenShown<TPicklist>([](TPicklist* p) {
        EXPECT_EQ(p->ListBox1->Items().Count(), 0);
        QTest::keyClicks(p->ListBox1, "x");
        QTest::keyClick(p->ListBox1, Qt::Key_Return);
        p->reject();
    });
    EXPECT_EQ(ShowPicklist(form_.get(), "None", empty, 0), -1);
}

TEST_F(LogViewsTest, TheTabKeySkipsTheFieldsDisabledInTheDialog)
{
    for (int f = 1; f <= TDisabledFields::kFieldCount; ++f)
        Config.SetFieldDisabled(f, false);
    WhenShown<TDisabledFields>([](TDisabledFields* d) {
        EXPECT_EQ(d->CL->Items().Count(), 23);
        EXPECT_EQ(d->CL->Items()[0], "Prefix");
        EXPECT_EQ(d->CL->ItemIndex(), 0);
        for (int f : {fPrefix, fDate, fTime})
            d->CL->SetStates(f - 1, cbChecked);
        QTest::mouseClick(d->BtnOk, Qt::LeftButton);
    });
    form_->DisableFields1Click();
    EXPECT_TRUE(Config.FieldDisabled(fDate));
    EXPECT_FALSE(Config.FieldDisabled(fMode));

    Front();
    form_->Action(TQSOForm::cmAddOffline)->trigger();
    Settle();
    form_->Control(fCall)->setFocus();
    Settle();
    Key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form_->Control(fMode));

    // Cancel keeps the flags.
    WhenShown<TDisabledFields>([](TDisabledFields* d) {
        d->CL->SetStates(fMode - 1, cbChecked);
        QTest::mouseClick(d->BtnCancel, Qt::LeftButton);
    });
    form_->DisableFields1Click();
    EXPECT_FALSE(Config.FieldDisabled(fMode));
}

TEST_F(LogViewsTest, CtrlEEditsTheNoteAsLinesAndTheManagersAddress)
{
    form_->Action(TQSOForm::cmAddOffline)->trigger();
    Settle();
    F(fNote)->SetAsString("first|second");
    form_->Control(fNote)->setFocus();
    Settle();
    WhenShown<TEditNote>([](TEditNote* d) {
        EXPECT_EQ(d->windowTitle(), "QSO Notes");
        EXPECT_EQ(d->Lines(), (std::vector<std::string>{"first", "second"}));
        d->Memo1->moveCursor(QTextCursor::End);
        QTest::keyClick(d->Memo1, Qt::Key_Return);
        QTest::keyClicks(d->Memo1, "third ");
        QTest::keyClick(d->Memo1, Qt::Key_D, Qt::ControlModifier);
        QTest::mouseClick(d->BtnOk, Qt::LeftButton);
    });
    QTest::keyClick(form_->Control(fNote), Qt::Key_E, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(F(fNote)->GetAsString(), "first|second|third " + FormatDayNumber(Day(2020, 5, 1)));

    ScopedMessageRecorder messages;
    form_->EditManagerAddress(false);
    ASSERT_EQ(messages.texts().size(), 1u) << "no manager call";
    F(fQslMgr)->SetAsString("w3hnk");
    WhenShown<TEditAddress>([](TEditAddress* d) {
        EXPECT_EQ(d->windowTitle(), "Address for W3HNK");
        EXPECT_EQ(d->Lines(), (std::vector<std::string>{"Joe", "Box 1"}));
        d->SetLines({"Joe", "Box 2"});
        d->Memo1->document()->setModified(true);
        QTest::mouseClick(d->BtnOk, Qt::LeftButton);
    });
    form_->EditManagerAddress(false);
    EXPECT_EQ(ManagerAddressLines("W3HNK"), (std::vector<std::string>{"Joe", "Box 2"}));
    EXPECT_EQ(CountryDb.ManagerAddresses->Count(), 1);
}

} // namespace korval
