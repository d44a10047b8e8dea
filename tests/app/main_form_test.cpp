// The main window and the start-up order, run offscreen in a temporary Korval home with the
// message boxes and file dialogs answered by the test.
#include "entry/ovc_timer_pool.h"
#include "logbook/bands_modes.h"
#include "logbook/config_record.h"
#include "logbook/country_db.h"
#include "logbook/crash_recovery.h"
#include "logbook/windows/form_placement.h"
#include "logbook/windows/help_window.h"
#include "logbook/log_file.h"
#include "app/main_form.h"
#include "exchange/windows/report_form.h"
#include "reference/windows/ext_data_lookup.h"
#include "station/windows/rotate_form.h"
#include "logbook/position.h"
#include "logbook/windows/child_windows.h"
#include "reference/windows/master_lookup.h"
#include "exchange/windows/filter_windows.h"
#include "exchange/import_driver.h"
#include "reporting/rp_device.h"
#include "reporting/windows/print_setup_dialog.h"
#include "reporting/windows/qt_printer_system.h"
#include <QComboBox>
#include <QRadioButton>
#include <QSpinBox>
#include "exchange/filter_record.h"
#include "globe/windows/world_map.h"
#include "reference/cal_collection.h"
#include "reference/windows/calendar_window.h"
#include "reference/windows/country_editor_window.h"
#include "reference/windows/work_copy_editors.h"
#include "entry/windows/ovc_simple_field.h"
#include "reference/windows/sun_windows.h"
#include "logbook/paths.h"
#include "logbook/qso_data.h"
#include "logbook/windows/qso_form.h"
#include "logbook/windows/logbook.h"
#include "grids/windows/my_grid.h"
#include "logbook/qso_lookup.h"
#include "logbook/call_lookup.h"
#include "logbook/base/day_number.h"
#include "entry/windows/ovc_base_field.h"
#include "app/startup.h"
#include "platform/message_dlg.h"
#include "platform/port_io.h"
#include "station/morse_sender.h"
#include "station/windows/morse_kb.h"
#include "station/windows/announce_dx_dialog.h"
#include "station/windows/cluster_terminals.h"
#include "station/windows/packet_window.h"
#include "platform/windows/single_instance.h"
#include "platform/windows/window_message.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QTest>
#include <QImage>
#include <QLabel>
#include <QScrollBar>
#include <QTextBrowser>
#include <QSignalSpy>
#include <QLineEdit>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <set>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "test_support.h"
#include "window_fit.h"

using namespace korval;
namespace fs = std::filesystem;

namespace {

void SpinLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// A log of n QSOs written as the file name.
void WriteTestLog(const std::string& name, int n)
{
    TQsoData log(name);
    log.BeginBulk(false, static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        auto* r = new TQsoRecord;
        r->Call.assign(i % 2 ? "DL1ABC" : "K1XYZ");
        r->Date = static_cast<std::uint16_t>(40000 + i / 86400);
        r->Time = i % 86400;
        r->Band = 5;
        r->Mode = 1;
        log.BulkAdd(r);
    }
    log.EndBulk(true);
    ASSERT_TRUE(WriteLogFile(log, true));
}

int CountQsos(const std::string& name)
{
    TQsoData log(name);
    ScopedMessageRecorder quiet;
    return LoadLogFileInto(log, name, true, 3) ? log.Count() : -1;
}

struct MainFormFixture : ::testing::Test {
    test::TempDir home;
    test::ScopedHome scopedHome{home.path()};
    TConfigRecord savedConfig = Config;
    TOvcManualTickSource clock{1000};
    TOvcManualTimerDriver driver;
    std::deque<std::optional<std::string>> dialogAnswers;
    TFileDialogHandler previousDialogs;
    ScopedMessageRecorder unexpected; // a message nobody answers would block the test

    void SetUp() override
    {
        fs::create_directories(home.file("SAVE"));
        test::WriteAll(home.file("SAVE/KORVAL.CTY"), test::ReadAll(KORVAL_SOURCE_DIR "/data/SAVE/KORVAL.CTY"));
        Config = TConfigRecord();
        previousDialogs = SetFileDialogHandler([this](const TFileDialogRequest&) -> std::optional<std::string> {
            if (dialogAnswers.empty())
                return std::nullopt;
            auto a = dialogAnswers.front();
            dialogAnswers.pop_front();
            return a;
        });
    }
    void TearDown() override
    {
        SetFileDialogHandler(previousDialogs);
        FreeCurrentLog();
        Config = savedConfig;
    }
    std::unique_ptr<TMainForm> MakeForm(std::vector<std::string> params = {})
    {
        NoteScreenMetrics();
        SaveConfiguration(); // the window loads the configuration from its file
        return std::make_unique<TMainForm>(TMainFormEnv{std::move(params), &clock, &driver, {}});
    }
    // Shows the form and runs the event loop until the first idle time has opened the start log.
    void ShowAndIdle(TMainForm& form)
    {
        QSignalSpy idle(&form, &TMainForm::firstIdleDone);
        form.show();
        if (idle.isEmpty())
            idle.wait(5000);
    }
    void Tick(int ms)
    {
        clock.Advance(static_cast<std::uint32_t>(ms));
        driver.Fire();
    }
};

} // namespace

TEST_F(MainFormFixture, StartsWithTheLastLogAndShowsItsCount)
{
    WriteTestLog(home.file("SAVE/LAST.KVL"), 25);
    Config.SetLastLogFile(home.file("SAVE/LAST.KVL"));
    ScopedMessageRecorder rec;
    auto form = MakeForm();
    ASSERT_TRUE(form->startupOk());
    ShowAndIdle(*form);
    ASSERT_NE(CurrentLog(), nullptr);
    EXPECT_EQ(CurrentLog()->Count(), 25);
    EXPECT_EQ(form->PanDisk->toolTip(), QStringLiteral("25 QSOs"));
    EXPECT_TRUE(form->M_Nr->isHidden()) << "no contest serial number";
    EXPECT_TRUE(form->Save1->isEnabled());
    EXPECT_TRUE(form->Close1->isEnabled());
    EXPECT_FALSE(form->Countries1->isEnabled()); // its editor is not part of the program yet
    EXPECT_TRUE(rec.texts().empty());
    EXPECT_FALSE(form->M_Time->text().isEmpty());
}

TEST_F(MainFormFixture, CommandLineLogWinsAndNoneMeansNoLog)
{
    WriteTestLog(home.file("SAVE/A.KVL"), 3);
    WriteTestLog(home.file("SAVE/B.KVL"), 4);
    Config.SetLastLogFile(home.file("SAVE/B.KVL"));
    {
        auto form = MakeForm({home.file("SAVE/A.KVL")});
        ShowAndIdle(*form);
        ASSERT_NE(CurrentLog(), nullptr);
        EXPECT_EQ(CurrentLog()->Count(), 3);
        FreeCurrentLog();
    }
    Config.SetLastLogFile("<none>");
    auto form = MakeForm();
    ShowAndIdle(*form);
    EXPECT_EQ(CurrentLog(), nullptr);
    EXPECT_FALSE(form->Save1->isEnabled());
}

TEST_F(MainFormFixture, ModifiedLogIsAutoSavedAfterTheConfiguredMinutes)
{
    Config.SetAutoSaveInterval(1);
    WriteTestLog(home.file("SAVE/LOG.KVL"), 10);
    Config.SetLastLogFile(home.file("SAVE/LOG.KVL"));
    auto form = MakeForm();
    ShowAndIdle(*form);
    ASSERT_NE(CurrentLog(), nullptr);

    auto* q = new TQsoRecord;
    q->Call.assign("G3ABC");
    q->Date = 45000;
    q->Band = 3;
    q->Mode = 2;
    CurrentLog()->InsertQso(q);
    CurrentLog()->SetModified();
    EXPECT_EQ(form->PanDisk->text(), QStringLiteral("Modified"));
    ASSERT_NE(form->TriggerHandle(TMainForm::trAutoSave), -1);

    std::vector<QString> texts;
    for (int i = 0; i < 12; ++i) {
        Tick(5000);
        texts.push_back(form->PanDisk->text());
    }
    EXPECT_EQ(texts.front(), QStringLiteral("Modified[11]"));
    EXPECT_EQ(texts[5], QStringLiteral("Modified[6]"));
    EXPECT_EQ(texts.back(), QStringLiteral("Modified[0]"));
    EXPECT_TRUE(form->autoSaveDue());
    EXPECT_FALSE(fs::exists(home.file("KORVAL.KVB")));
    form->AppIdle();
    EXPECT_FALSE(form->autoSaveDue());
    EXPECT_EQ(form->TriggerHandle(TMainForm::trAutoSave), -1);
    EXPECT_EQ(form->PanDisk->text(), QStringLiteral("Modified")); // backed up, not saved
    EXPECT_GT(form->lastBackupTime(), 0);
    EXPECT_TRUE(form->windowTitle().contains(QStringLiteral("backup")));
    EXPECT_EQ(CountQsos(home.file("KORVAL.KVB")), 11);
}

TEST_F(MainFormFixture, AutoSaveIntervalZeroNeverStartsTheCountdown)
{
    Config.SetAutoSaveInterval(0);
    auto form = MakeForm();
    ShowAndIdle(*form);
    NewLog(home.file("SAVE/NEW.KVL"));
    CurrentLog()->SetModified();
    EXPECT_EQ(form->TriggerHandle(TMainForm::trAutoSave), -1);
    for (int i = 0; i < 50; ++i)
        Tick(5000);
    EXPECT_FALSE(form->autoSaveDue());
}

TEST_F(MainFormFixture, KilledRunLeavesTheBackupAndTheNextStartOffersIt)
{
    // A run that wrote its crash backup and was then killed.
    pid_t child = fork();
    if (child == 0) {
        TQsoData log(home.file("SAVE/LIVE.KVL"));
        for (int i = 0; i < 5; ++i) {
            auto* r = new TQsoRecord;
            r->Call.assign("JA1AA");
            r->Date = 45000;
            r->Time = i;
            r->Band = 5;
            r->Mode = 1;
            log.InsertQso(r);
        }
        WriteLogFile(log, false);
        raise(SIGKILL);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_TRUE(fs::exists(home.file("KORVAL.KVB")));

    dialogAnswers.push_back(home.file("SAVE/RECOVERED.KVL"));
    ScopedMessageRecorder rec(mrYes);
    auto form = MakeForm();
    ShowAndIdle(*form);
    ASSERT_GE(rec.texts().size(), 1u);
    EXPECT_EQ(rec.texts()[0],
              "A backup copy of a log file was found\rdue to an abnormal program termination.\r\r"
              "This backup contains the last saved information,\rand we strongly suggest you save this file under a\r"
              "new name and verify its contents\rDo you want to save this backup log file?");
    EXPECT_FALSE(fs::exists(home.file("KORVAL.KVB")));
    EXPECT_EQ(CountQsos(home.file("SAVE/RECOVERED.KVL")), 5);
}

TEST_F(MainFormFixture, SpotArgumentIsHandedOnOnce)
{
    auto form = MakeForm({"/S", "DX de K1TTT: 14025.0 JA1AA"});
    std::vector<std::string> got;
    form->SpotArgumentReceiver = [&](const std::string& s) { got.push_back(s); };
    ShowAndIdle(*form);
    form->AppIdle();
    form->AppIdle();
    EXPECT_EQ(got, std::vector<std::string>{"DX de K1TTT: 14025.0 JA1AA"});
}

TEST_F(MainFormFixture, CloseAsksForAModifiedLogAndCancelKeepsTheWindow)
{
    auto form = MakeForm();
    ShowAndIdle(*form);
    NewLog(home.file("SAVE/NEW.KVL"));
    auto* q = new TQsoRecord;
    q->Call.assign("G3ABC");
    q->Date = 45000;
    q->Band = 3;
    q->Mode = 2;
    CurrentLog()->InsertQso(q);
    ScopedMessageRecorder rec;
    rec.answer(mrCancel);
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(rec.messages().size(), 1u);
    EXPECT_EQ(rec.messages()[0].buttons, unsigned(mbYes | mbNo | mbCancel));
    rec.answer(mrYes);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(CountQsos(home.file("SAVE/NEW.KVL")), 1);
}

TEST_F(MainFormFixture, ForwardedMessagesReachTheirWindowOnceAndSkipClosedOnes)
{
    auto form = MakeForm();
    struct Target : QObject {
        std::vector<std::intptr_t> codes;
        bool event(QEvent* e) override
        {
            if (e->type() == TWindowMessageEvent::EventType()) {
                auto* m = static_cast<TWindowMessageEvent*>(e);
                if (m->msg() == WM_USER + 3)
                    codes.push_back(m->wParam());
                return true;
            }
            return QObject::event(e);
        }
    };
    Target t;
    auto* gone = new Target;
    PostToMainFormEx(7, &t);
    PostToMainFormEx(7, &t); // the same request while the first still waits
    PostToMainFormEx(8, &t);
    PostToMainFormEx(9, gone);
    delete gone;
    SpinLoop(30);
    EXPECT_EQ(t.codes, (std::vector<std::intptr_t>{7, 8}));

    PostToMainForm(mfRadioCreated); // handled without a radio object
    PostToMainForm(mfRadioChanged);
    SpinLoop(10);
}

TEST_F(MainFormFixture, ScreenshotOfTheMainWindowIsNotBlank)
{
    auto form = MakeForm();
    ShowAndIdle(*form);
    QImage shot = form->grab().toImage();
    ASSERT_FALSE(shot.isNull());
    EXPECT_GT(shot.width(), 100);
    EXPECT_GT(shot.height(), 10);
    std::set<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 2)
        for (int x = 0; x < shot.width(); x += 2)
            colours.insert(shot.pixel(x, y));
    EXPECT_GT(colours.size(), 3u) << "the window painted as a flat area";
    EXPECT_EQ(form->windowTitle().left(6), QStringLiteral("KORVAL"));
}

// ---- The main window with its QSO window ----

TEST_F(MainFormFixture, LogOpenedByTheMainWindowTakesCountriesFromTheShippedDatabase)
{
    WriteTestLog(home.file("SAVE/LAST.KVL"), 4); // written without any country
    Config.SetLastLogFile(home.file("SAVE/LAST.KVL"));
    ScopedMessageRecorder rec;
    auto form = MakeForm();
    ASSERT_TRUE(form->startupOk());
    ShowAndIdle(*form);
    ASSERT_NE(CurrentLog(), nullptr);
    ASSERT_EQ(CurrentLog()->Count(), 4);
    std::set<std::string> countries;
    for (int i = 0; i < CurrentLog()->Count(); ++i) {
        const TQsoRecord* r = CurrentLog()->At(i);
        ASSERT_NE(r->Country, 0) << r->Call.str();
        EXPECT_NE(r->Zone, 0) << r->Call.str();
        EXPECT_FALSE(r->WpxPrefix.str().empty()) << "WPX prefix of " << r->Call.str();
        countries.insert(CountryName(r->Country));
        if (r->Call.str() == "K1XYZ")
            EXPECT_EQ(r->Zone, 5);
        else
            EXPECT_EQ(r->Zone, 14);
    }
    EXPECT_EQ(countries.size(), 2u) << "K1XYZ and DL1ABC lie in two countries";
    EXPECT_TRUE(rec.texts().empty());
}

TEST_F(MainFormFixture, OpenedLogShowsTheQsoWindowWhichPostsIntoTheSavedFile)
{
    const std::string file = home.file("SAVE/OPEN.KVL");
    WriteTestLog(file, 3);
    Config.SetLastLogFile("<none>");
    Config.SetWarnUnsavedQso(false);
    // Noon on 1 May 2020 for the real-time clock feed.
    const std::int64_t noon = 1588334400;
    SetUtcClockSource([noon] { return noon; });
    ScopedMessageRecorder rec;
    auto form = MakeForm();
    ShowAndIdle(*form);
    ASSERT_EQ(form->QsoForm(), nullptr) << "no log, no QSO window";

    dialogAnswers.push_back(file);
    form->Open1Click();
    TQSOForm* qso = form->QsoForm();
    ASSERT_NE(qso, nullptr);
    EXPECT_TRUE(qso->isVisible());
    EXPECT_TRUE(qso->isWindow());
    EXPECT_EQ(form->PanDisk->toolTip(), QStringLiteral("3 QSOs"));

    // The one-second trigger feeds real-time entry, the idle handler shows its mode.
    qso->Addrealtime1Click();
    Tick(1000);
    SpinLoop(20);
    EXPECT_EQ(form->PanStatus->text(), QStringLiteral("Add real-time"));
    EXPECT_EQ(qso->Field(fTime)->GetAsString().substr(0, 2), "12");

    qso->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(qso));
    QWidget* call = qso->Control(fCall);
    call->setFocus(Qt::TabFocusReason);
    SpinLoop(10);
    QTest::keyClicks(call, "DL1XYZ");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    SpinLoop(10);
    EXPECT_FALSE(qso->CountryDisplay()->GetAsString().empty()) << "the lookup is installed";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    SpinLoop(20);
    ASSERT_EQ(CurrentLog()->Count(), 4) << ::testing::PrintToString(rec.texts());
    EXPECT_EQ(CurrentLog()->At(3)->Mode, mdSSB) << "a fresh setup posts on SSB with 59";
    EXPECT_EQ(CurrentLog()->At(3)->RstSent, 59);
    EXPECT_EQ(form->PanDisk->toolTip(), QStringLiteral("4 QSOs"));
    EXPECT_EQ(form->PanDisk->text(), QStringLiteral("Modified"));

    form->Save1Click();
    EXPECT_EQ(CountQsos(file), 4);

    // Closing frees the QSO window before the log; the mode panel empties.
    form->Close1Click();
    EXPECT_EQ(form->QsoForm(), nullptr);
    EXPECT_EQ(CurrentLog(), nullptr);
    SpinLoop(20);
    EXPECT_TRUE(form->PanStatus->text().isEmpty());
    SetUtcClockSource(nullptr);
}

// Typing slowly in real-time entry: the one-second clock refreshes the window between two keys,
// and must leave the text, selection and caret of the field being typed in as the keys left them.
TEST_F(MainFormFixture, TheClockRefreshLeavesTheFieldBeingTypedInAlone)
{
    std::int64_t now = 1588334400; // noon, 1 May 2020
    SetUtcClockSource([&now] { return now; });
    ScopedMessageRecorder rec;
    auto form = MakeForm();
    ShowAndIdle(*form);
    TQSOForm* qso = form->QsoForm();
    ASSERT_NE(qso, nullptr);
    qso->Action(TQSOForm::cmAddRealTime)->trigger(); // QSO > Add Real-time
    qso->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(qso));
    struct Typed { int field; const char* first; const char* rest; };
    for (const Typed& t : {Typed{fCall, "JA1", "ABC"}, Typed{fNote, "Worked him on ", "40 m"}}) {
        QWidget* w = qso->Control(t.field);
        for (int i = 0; i < 6 && !w->isEnabled(); ++i)
            qso->Action(TQSOForm::cmNextWindowSize)->trigger(); // F5 until the window shows the field
        w->setFocus(Qt::TabFocusReason);
        SpinLoop(10);
        QTest::keyClicks(w, t.first);
        now += 60;
        Tick(1000);
        SpinLoop(10);
        int start = -1, end = -1;
        qso->Field(t.field)->GetSel(start, end);
        const int typed = static_cast<int>(std::string(t.first).size());
        EXPECT_EQ(start, end) << "field " << t.field << ": nothing is selected";
        EXPECT_EQ(end, typed) << "field " << t.field << ": the caret stays after the typed text";
        QTest::keyClicks(w, t.rest);
        EXPECT_EQ(qso->Field(t.field)->GetAsString(), std::string(t.first) + t.rest) << "field " << t.field;
        QTest::keyClick(w, Qt::Key_Tab); // the call looked up, the note field is open
        SpinLoop(10);
    }
    EXPECT_EQ(qso->Field(fTime)->GetAsString().substr(0, 5), "12:02") << "the time still follows the clock";
    EXPECT_TRUE(rec.texts().empty());
    SetUtcClockSource(nullptr);
}

// A program killed a second after a QSO was posted: the crash backup already holds it (the
// auto-save countdown would have written it only minutes later). An import holds the backup
// back while it runs, even while its questions let idle work run, and the backup holds all of
// the file once it ended.
TEST_F(MainFormFixture, APostedQsoIsBackedUpAtOnceAndAnImportOnlyWhole)
{
    Config.SetWarnUnsavedQso(false);
    ScopedMessageRecorder rec;
    auto form = MakeForm();
    ShowAndIdle(*form);
    TQSOForm* qso = form->QsoForm();
    ASSERT_NE(qso, nullptr);
    qso->Action(TQSOForm::cmAddRealTime)->trigger();
    qso->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(qso));
    QWidget* call = qso->Control(fCall);
    call->setFocus(Qt::TabFocusReason);
    SpinLoop(10);
    QTest::keyClicks(call, "DL1XYZ");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    SpinLoop(50);
    ASSERT_EQ(CurrentLog()->Count(), 1) << ::testing::PrintToString(rec.texts());
    const std::string backup = home.file("KORVAL.KVB");
    EXPECT_EQ(CountQsos(backup), 1) << "the posted QSO is in the crash backup";

    // Three QSOs; the second one's zone differs from the lookup's, so the import asks.
    const std::string adif = home.file("three.adi");
    test::WriteAll(adif, "<EOH>\n"
                         "<CALL:5>G3ABC<QSO_DATE:8>20200501<TIME_ON:4>1200<BAND:3>20m<MODE:2>CW<EOR>\n"
                         "<CALL:5>DL2AB<QSO_DATE:8>20200501<TIME_ON:4>1201<BAND:3>20m<MODE:2>CW<CQZ:2>30<EOR>\n"
                         "<CALL:5>F5XYZ<QSO_DATE:8>20200501<TIME_ON:4>1202<BAND:3>20m<MODE:2>CW<EOR>\n");
    struct TAskMidway : TImportQuestions {
        TMainForm* form = nullptr;
        std::string backup;
        int backedUpMidway = -2;
        bool AskDupesImportPolicy(int& policy) override
        {
            policy = 2;
            return true;
        }
        int ConfirmPrefixZoneChange(const TQsoRecord&, std::uint16_t, std::uint8_t) override
        {
            form->Backup1Click(); // a backup falls due while the question is open
            form->AppIdle();
            backedUpMidway = CountQsos(backup);
            return 1;
        }
    } ask;
    ask.form = form.get();
    ask.backup = backup;
    TImportQuestions* previous = SetImportQuestions(&ask);
    TFilterRecord adifFilter;
    adifFilter.Id = "ADIF";
    adifFilter.Ext = "ADI";
    adifFilter.Usage = fuImpExp;
    EXPECT_TRUE(ImportFile(adif, adifFilter, true));
    SetImportQuestions(previous);
    EXPECT_EQ(ask.backedUpMidway, 1) << "the backup taken before the import stays as it was";
    SpinLoop(50);
    EXPECT_EQ(CurrentLog()->Count(), 4);
    EXPECT_EQ(CountQsos(backup), 4) << "the whole import is backed up once it ended";
}

TEST_F(MainFormFixture, ClosingTheMainWindowWithAnOpenLogFreesTheQsoWindowFirst)
{
    const std::string file = home.file("SAVE/LAST.KVL");
    WriteTestLog(file, 2);
    Config.SetLastLogFile(file);
    ScopedMessageRecorder rec;
    auto form = MakeForm();
    ShowAndIdle(*form);
    QPointer<QWidget> qso = form->QsoForm();
    ASSERT_FALSE(qso.isNull());
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(qso.isNull());
    EXPECT_EQ(CurrentLog(), nullptr);
    form.reset();
    EXPECT_TRUE(rec.texts().empty());
}

TEST_F(MainFormFixture, CwKeyboardClosesWithTheQsoWindowAndExitReleasesTheTransmitter)
{
    Config.SetCwKeyingInterface(3); // LPT2
    TRecordingLpt* lpt = nullptr;
    auto oldOpener = PortIo().SetOpener([&lpt](int, std::string&) -> std::unique_ptr<TLptDevice> {
        auto p = std::make_unique<TRecordingLpt>();
        lpt = p.get();
        return p;
    });
    ScopedMessageRecorder rec;
    auto form = MakeForm();
    ShowAndIdle(*form);
    ASSERT_NE(MorseSender(), nullptr);
    ASSERT_NE(form->QsoForm(), nullptr);
    QPointer<TMorseKb> kb = TMorseKb::Open(form->QsoForm());
    ASSERT_NE(lpt, nullptr);
    MorseSender()->SetKey(true); // a carrier left on, as Tune would
    EXPECT_EQ(lpt->Writes().back(), (TRecordingLpt::TWrite{true, 1}));
    form->Close1Click();
    QTRY_VERIFY_WITH_TIMEOUT(kb.isNull(), 2000);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(lpt->Writes().back(), (TRecordingLpt::TWrite{true, 0})) << "key and PTT released at exit";
    form.reset();
    EXPECT_EQ(MorseSender(), nullptr);
    EXPECT_FALSE(PortIo().ActiveHW());
    PortIo().SetOpener(oldOpener);
}

TEST_F(MainFormFixture, KeyerTakesTheInterfaceChosenAfterItStarted)
{
    Config.SetCwKeyingInterface(1); // none when the program starts
    int opened = 0;
    auto oldOpener = PortIo().SetOpener([&opened](int, std::string&) -> std::unique_ptr<TLptDevice> {
        ++opened;
        return std::make_unique<TRecordingLpt>();
    });
    ScopedMessageRecorder rec;
    auto form = MakeForm();
    ShowAndIdle(*form);
    ASSERT_NE(MorseSender(), nullptr);
    EXPECT_FALSE(MorseSender()->HasKeyLine());
    // Preferences now say LPT2; the radio menu's update (as after the setup window) selects it.
    Config.SetCwKeyingInterface(3);
    form->UpdateRadioMenu();
    EXPECT_TRUE(MorseSender()->HasKeyLine());
    EXPECT_EQ(MorseSender()->Settings().keyingInterface, 3);
    EXPECT_GE(opened, 1);
    EXPECT_TRUE(form->close());
    form.reset();
    PortIo().SetOpener(oldOpener);
}

TEST_F(MainFormFixture, FirstStartOpensAnEmptyDefaultLogWithItsQsoWindow)
{
    ScopedMessageRecorder rec;
    auto form = MakeForm();
    ShowAndIdle(*form);
    ASSERT_NE(CurrentLog(), nullptr);
    EXPECT_EQ(CurrentLog()->FileName, GetDataFileName(dfLog));
    EXPECT_EQ(CurrentLog()->Count(), 0);
    ASSERT_NE(form->QsoForm(), nullptr);
    EXPECT_TRUE(form->QsoForm()->isVisible());
    // Nothing was logged yet: nothing to save, no countdown, and Exit asks no question.
    EXPECT_FALSE(CurrentLog()->Modified() || CurrentLog()->NeedsSaving());
    EXPECT_EQ(form->PanDisk->text(), QString());
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(rec.texts().empty());
}

TEST_F(MainFormFixture, MainAndQsoWindowsOpenShowingAllTheirControls)
{
    ScopedMessageRecorder rec;
    auto form = MakeForm();
    ShowAndIdle(*form);
    test::ExpectControlsFit(form.get(), "main window");
    ASSERT_NE(form->QsoForm(), nullptr);
    test::ExpectControlsFit(form->QsoForm(), "QSO window");
}

TEST_F(MainFormFixture, ImportExportCommandOpensTheFilterWindowOverTheMainWindow)
{
    auto form = MakeForm();
    ASSERT_TRUE(form->ImpExpfilters1->isEnabled());
    bool opened = false;
    QWidget* parentSeen = nullptr;
    QTimer::singleShot(0, [&] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            opened = qobject_cast<TPickIEFilter*>(w) != nullptr;
            parentSeen = w->parentWidget();
            w->close();
        }
    });
    form->ImpExpfilters1->trigger();
    EXPECT_TRUE(opened);
    EXPECT_EQ(parentSeen, form.get());
}

// File > Print Setup... lists the printers the reports print on, "PDF on FILE:" among them even
// without a print queue, with labels that show their keys, and its choices reach the printer.
TEST_F(MainFormFixture, PrintSetupListsThePdfPrinterAndSetsItsPage)
{
    SetReportPrinterSystem(std::make_unique<TQtPrinterSystem>());
    auto form = MakeForm();
    ShowAndIdle(*form);
    QStringList printers, labels;
    bool shown = false;
    QTimer::singleShot(50, [&] {
        auto* d = qobject_cast<TPrintSetupDialog*>(QApplication::activeModalWidget());
        if (!d)
            return;
        shown = true;
        for (int i = 0; i < d->PrinterCB->count(); ++i)
            printers << d->PrinterCB->itemText(i);
        for (const QLabel* l : d->findChildren<QLabel*>())
            if (l->text().contains('&') && !l->buddy())
                labels << l->text();
        d->PrinterCB->setCurrentIndex(static_cast<int>(printers.indexOf(QStringLiteral("PDF on FILE:"))));
        d->LandscapeRB->setChecked(true);
        d->accept();
    });
    form->PrintSetup1->trigger();
    ASSERT_TRUE(shown) << "no print setup dialog";
    EXPECT_TRUE(printers.contains(QStringLiteral("PDF on FILE:"))) << printers.join(", ").toStdString();
    EXPECT_TRUE(labels.isEmpty()) << "shown with a literal &: " << labels.join(", ").toStdString();
    EXPECT_EQ(ReportDevice().DeviceName() + " on " + ReportDevice().PortName(), "PDF on FILE:");
    EXPECT_EQ(ReportDevice().GetOrientation(), poLandScape);
    SetReportPrinterSystem(nullptr);
}

// File > Databases > Radios below the user level "Expert" says how to reach the radio
// definitions instead of doing nothing; at that level it opens them.
TEST_F(MainFormFixture, DatabasesRadiosSaysWhichUserLevelOpensIt)
{
    Config.SetUserLevel(1);
    auto form = MakeForm();
    ShowAndIdle(*form);
    ASSERT_TRUE(form->Radios1->isEnabled());
    bool dialog = false;
    QTimer::singleShot(50, [&] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog = true;
            d->reject();
        }
    });
    {
        ScopedMessageRecorder rec;
        form->Radios1->trigger();
        ASSERT_EQ(rec.texts().size(), 1u);
        EXPECT_NE(rec.texts()[0].find("\"Expert\""), std::string::npos) << rec.texts()[0];
    }
    QTest::qWait(100);
    EXPECT_FALSE(dialog);
    Config.SetUserLevel(3);
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog = dialog || d->objectName() == QStringLiteral("RadioDB") ||
                     qobject_cast<QDialog*>(d->parentWidget()) != nullptr;
            d->reject();
        }
    });
    closer.start(20);
    form->Radios1->trigger();
    closer.stop();
    EXPECT_TRUE(dialog) << "the radio database opened";
}

// Window > Logbook, then a double click on a row: the QSO window shows that QSO, and the list,
// opened below it, does not hide it.
TEST_F(MainFormFixture, DoubleClickOnALogListRowShowsItsQso)
{
    WriteTestLog(home.file("SAVE/LIST.KVL"), 10);
    Config.SetLastLogFile(home.file("SAVE/LIST.KVL"));
    auto form = MakeForm();
    ShowAndIdle(*form);
    TQSOForm* qso = form->QsoForm();
    ASSERT_NE(qso, nullptr);
    ASSERT_EQ(qso->Entry().CurrentIndex(), 9) << "the last QSO is shown";
    qso->Action(TQSOForm::cmLogbook)->trigger();
    SpinLoop(20);
    const QList<TLogbook*> lists = qso->findChildren<TLogbook*>();
    ASSERT_EQ(lists.size(), 1);
    TLogbook* list = lists.front();
    list->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
    EXPECT_FALSE(list->frameGeometry().intersects(qso->frameGeometry())) << "the list leaves the QSO window in view";
    TMyGrid* grid = list->DG;
    // The list's first row is a QSO other than the shown one, whatever the report's order.
    const int y = grid->RowTop(1) + grid->DefaultRowHeight / 2;
    ASSERT_GT(y, 0) << "the first row is on screen";
    const TQsoRecord* want = list->QsoAt(1);
    ASSERT_NE(want, nullptr);
    ASSERT_NE(want, qso->Entry().ViewAt(qso->Entry().CurrentIndex()));
    // A double click as the window system gives it: a click, then the second press as a double
    // click; the list's window becomes the active one in between.
    const QPoint at(grid->viewport()->width() / 2, y);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    SpinLoop(20);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    SpinLoop(20);
    EXPECT_EQ(qso->Entry().ViewAt(qso->Entry().CurrentIndex()), want);
    EXPECT_EQ(qso->Field(fCall)->GetAsString(), want->Call.str());
}

TEST_F(MainFormFixture, SunriseCommandOpensTheCountryWindowOverTheQsoWindow)
{
    auto form = MakeForm();
    ShowAndIdle(*form);
    ASSERT_NE(form->QsoForm(), nullptr);
    QAction* info = form->QsoForm()->Action(TQSOForm::cmCountryInformation);
    ASSERT_TRUE(info->isEnabled());
    info->trigger();
    TCountryInfo* first = form->CountryInfoWindow();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->parentWidget(), form->QsoForm());
    info->trigger(); // a second time brings the same window up
    EXPECT_EQ(form->CountryInfoWindow(), first);
    // Its times are UTC, for home and for the DX alike: no label calls them local.
    QStringList labels;
    for (const QLabel* l : first->findChildren<QLabel*>())
        labels << l->text();
    EXPECT_FALSE(labels.join(' ').contains(QStringLiteral("Local"))) << labels.join(", ").toStdString();
    EXPECT_TRUE(labels.contains(QStringLiteral("Rise UTC")) && labels.contains(QStringLiteral("Set UTC")))
        << labels.join(", ").toStdString();
    form->AppIdle(); // the idle handler keeps an open window up to date
    // Closed by the operator, it is gone; the command makes a new one.
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form->CountryInfoWindow(), nullptr);
    info->trigger();
    EXPECT_NE(form->CountryInfoWindow(), nullptr);
}

TEST_F(MainFormFixture, WorldMapOpensOverTheQsoWindowAndFollowsItsPosition)
{
    Config.SetOwnLongitude(10);
    Config.SetOwnLatitude(50);
    auto form = MakeForm();
    ShowAndIdle(*form);
    TQSOForm* qso = form->QsoForm();
    ASSERT_NE(qso, nullptr);
    ASSERT_TRUE(form->Worldmap1->isEnabled());
    form->Worldmap1->trigger();
    QPointer<TWorldMap> map = form->WorldMapWindow();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->parentWidget(), qso);
    EXPECT_TRUE(map->isVisible());
    form->Worldmap1->trigger(); // brought up, not made again
    EXPECT_EQ(form->WorldMapWindow(), map.data());
    // A grid typed in the QSO window becomes the map's destination at the next idle time.
    qso->Entry().Fields.Text[fGrid] = "JN18";
    qso->Entry().ShowHeading();
    form->AppIdle();
    EXPECT_EQ(map->DestinationLabel(), "JN18");
    map->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(map.isNull());
    EXPECT_EQ(form->WorldMapWindow(), nullptr);
    EXPECT_NE(Config.MapProjection(), 255); // its settings went into the configuration
}

TEST_F(MainFormFixture, CalendarOpensFromTheMenuAndAtStartWhenAnEventIsToday)
{
    {
        Config.SetCalendarCheck(true);
        auto form = MakeForm();
        ShowAndIdle(*form);
        form->AppIdle();
        EXPECT_EQ(form->CalendarWindow(), nullptr); // no calendar file
        form->Calendar1->trigger();
        ASSERT_NE(form->CalendarWindow(), nullptr);
        EXPECT_TRUE(form->CalendarWindow()->isVisible());
        form->Calendar1->trigger(); // the same window again
        EXPECT_EQ(form->findChildren<TFCalendar*>().size(), 1);
    }
    FreeCurrentLog();
    TCalCollection events;
    events.InsertRecord({UtcToday(), UtcToday(), "Field day"});
    SaveCalendar(GetDataFileName(dfCalendar), events);
    Config.SetCalendarCheck(true);
    auto form = MakeForm();
    ShowAndIdle(*form);
    form->AppIdle();
    ASSERT_NE(form->CalendarWindow(), nullptr);
    EXPECT_TRUE(form->CalendarWindow()->isVisible());
}

// ---- The whole start-up order ----

struct StartupFixture : MainFormFixture {
    test::TempDir shipped;
    TStartupOptions Options(std::vector<std::string> params = {})
    {
        return TStartupOptions{std::move(params), shipped.path(), false, {}};
    }
};

TEST_F(StartupFixture, NormalEndDeletesTheBackupsAndWritesTheConfiguration)
{
    Config.SetAutoSaveInterval(1);
    WriteTestLog(home.file("SAVE/RUN.KVL"), 4);
    ScopedMessageRecorder rec(mrNo); // do not save the log at the end
    QTimer::singleShot(0, [] {
        TMainForm* f = MainForm();
        ASSERT_NE(f, nullptr);
        ASSERT_NE(CurrentLog(), nullptr);
        CurrentLog()->SetModified();
        SetCountryDataModified();
        f->Backup1Click();
        f->AppIdle(); // writes both crash backups
        EXPECT_TRUE(fs::exists(GetProgramDirFileName(pfLogBackup)));
        EXPECT_TRUE(fs::exists(GetProgramDirFileName(pfCountryBackup)));
        f->close();
    });
    // The log opens at the first idle time, which comes before the zero timer fires.
    EXPECT_EQ(RunKorval(Options({home.file("SAVE/RUN.KVL")})), 0);
    EXPECT_FALSE(fs::exists(home.file("KORVAL.KVB")));
    EXPECT_FALSE(fs::exists(home.file("KORVAL.CTB")));
    EXPECT_EQ(fs::file_size(home.file("SAVE/KORVAL.CFG")), TConfigRecord::Size);
}

TEST_F(StartupFixture, DamagedCountryFileEndsTheStartWithItsMessage)
{
    test::WriteAll(home.file("SAVE/KORVAL.CTY"), "CTYB\x05");
    fs::create_directories(shipped.file("SAVE"));
    test::WriteAll(shipped.file("SAVE/KORVAL.CTY"), test::ReadAll(KORVAL_SOURCE_DIR "/data/SAVE/KORVAL.CTY"));
    ScopedMessageRecorder rec;
    EXPECT_NE(RunKorval(Options()), 0);
    EXPECT_EQ(rec.texts(), std::vector<std::string>{"Failed reading the country file"});
    EXPECT_EQ(test::ReadAll(home.file("SAVE/KORVAL.CTY")), "CTYB\x05"); // the shipped one is not forced on it
    EXPECT_FALSE(fs::exists(home.file("SAVE/KORVAL.CFG")));

    // Missing: the shipped default is copied and the program starts.
    fs::remove(home.file("SAVE/KORVAL.CTY"));
    QTimer::singleShot(0, [] { MainForm()->close(); });
    EXPECT_EQ(RunKorval(Options()), 0);
    EXPECT_EQ(test::ReadAll(home.file("SAVE/KORVAL.CTY")), test::ReadAll(shipped.file("SAVE/KORVAL.CTY")));
}

TEST_F(StartupFixture, SecondStartWakesTheFirstAndEnds)
{
    TSingleInstance first(QString::fromStdString(home.path()));
    ASSERT_TRUE(first.TryAcquire());
    QSignalSpy woken(&first, &TSingleInstance::activateRequested);
    ScopedMessageRecorder rec;
    EXPECT_EQ(RunKorval(Options()), 0);
    EXPECT_TRUE(woken.count() > 0 || woken.wait(3000));
    EXPECT_EQ(MainForm(), nullptr); // no window was made
    EXPECT_TRUE(rec.texts().empty());
    EXPECT_FALSE(fs::exists(home.file("SAVE/KORVAL.CFG")));
}

TEST_F(MainFormFixture, LogScrollBarMovesThroughTheQsoWindowsLog)
{
    const std::string file = home.file("SAVE/SCROLL.KVL");
    WriteTestLog(file, 30);
    Config.SetLastLogFile(file);
    ScopedMessageRecorder rec;
    auto form = MakeForm();
    ShowAndIdle(*form);
    TQSOForm* qso = form->QsoForm();
    ASSERT_NE(qso, nullptr);
    ASSERT_TRUE(form->SB->isEnabled());
    EXPECT_EQ(form->SB->maximum(), 29);
    EXPECT_EQ(form->SB->value(), 29) << "the last QSO is shown";
    struct {
        QAbstractSlider::SliderAction action;
        int shown;
    } const steps[] = {{QAbstractSlider::SliderToMinimum, 0}, {QAbstractSlider::SliderSingleStepAdd, 1},
                       {QAbstractSlider::SliderPageStepAdd, 11}, {QAbstractSlider::SliderSingleStepSub, 10},
                       {QAbstractSlider::SliderPageStepSub, 0}, {QAbstractSlider::SliderToMaximum, 29}};
    for (const auto& s : steps) {
        form->SB->triggerAction(s.action);
        EXPECT_EQ(qso->Entry().CurrentIndex(), s.shown) << "action " << s.action;
        EXPECT_EQ(form->SB->value(), s.shown);
        EXPECT_EQ(qso->Field(fCall)->GetAsString(), s.shown % 2 ? "DL1ABC" : "K1XYZ") << "the QSO at the bar's position";
    }
    // Dragging the thumb shows the QSO under it.
    form->SB->setSliderDown(true);
    form->SB->setSliderPosition(17);
    form->SB->setSliderDown(false);
    EXPECT_EQ(qso->Entry().CurrentIndex(), 17);
    EXPECT_EQ(form->SB->value(), 17);
}

TEST_F(MainFormFixture, HelpContentsShowsTheReadmeInTheProgramsOwnWindow)
{
    const std::string readme = home.file("README.md");
    test::WriteAll(readme, "# Korval\n\nThe *logbook* of the station.\n");
    auto form = std::make_unique<TMainForm>(TMainFormEnv{{}, &clock, &driver, readme});
    form->Contents1->trigger();
    auto* help = form->findChild<THelpWindow*>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->Browser()->toPlainText().contains(QStringLiteral("The logbook of the station.")))
        << help->Browser()->toPlainText().toStdString();
    form->Contents1->trigger();
    EXPECT_EQ(form->findChildren<THelpWindow*>().size(), 1) << "one help window";

    // Search finds each place in turn and starts again at the top; a missing word is told.
    form->SearchforHelpOn1->trigger();
    help->SearchText()->setText(QStringLiteral("station"));
    ASSERT_TRUE(help->FindNext());
    const int first = help->Browser()->textCursor().position();
    EXPECT_TRUE(help->FindNext()) << "the only place is found again from the top";
    EXPECT_EQ(help->Browser()->textCursor().position(), first);
    help->SearchText()->setText(QStringLiteral("antenna"));
    EXPECT_FALSE(help->FindNext());

    form->HowtoUseHelp1->trigger();
    EXPECT_TRUE(help->Browser()->toPlainText().contains(QStringLiteral("How to use help")));
    help->ShowContents();
    EXPECT_TRUE(help->Browser()->toPlainText().contains(QStringLiteral("The logbook of the station.")));
}

TEST_F(MainFormFixture, ClosingTheMainWindowSaysSoOnce)
{
    // The program ends on this signal, whatever other window of its own is still up.
    auto form = MakeForm();
    ShowAndIdle(*form);
    QSignalSpy closed(form.get(), &TMainForm::closed);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(closed.count(), 1);
}

TEST_F(MainFormFixture, DatabasesReportsOpensTheReportDesigner)
{
    auto form = MakeForm();
    ShowAndIdle(*form);
    EXPECT_TRUE(form->ReportDefinitions1->isEnabled());
    QString title;
    QTimer::singleShot(50, [&] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            title = d->metaObject()->className();
            d->reject();
        }
    });
    form->ReportDefinitions1->trigger();
    EXPECT_EQ(title, QStringLiteral("korval::TReportDesignerDialog"));
}

TEST_F(MainFormFixture, NewLogWithoutExtensionGetsTheLogExtension)
{
    ScopedMessageRecorder rec;
    Config.SetLastLogFile("<none>");
    auto form = MakeForm();
    ShowAndIdle(*form);
    dialogAnswers.push_back(home.file("SAVE/CONTEST"));
    form->New1Click();
    ASSERT_NE(CurrentLog(), nullptr);
    EXPECT_EQ(CurrentLog()->FileName, home.file("SAVE/CONTEST.KVL"));
    dialogAnswers.push_back(home.file("SAVE/OTHER.kvl"));
    form->New1Click();
    EXPECT_EQ(CurrentLog()->FileName, home.file("SAVE/OTHER.kvl")) << "a name with the extension stays";
}

TEST_F(MainFormFixture, TheCountryEditorIsRefusedWithALogOpenAndItsResultSavesOrDiscards)
{
    Config.SetUserLevel(2);
    auto form = MakeForm();
    ShowAndIdle(*form);
    ASSERT_TRUE(form->Countries1->isEnabled());
    if (!CurrentLog()) {
        dialogAnswers.push_back(home.file("SAVE/NEW.KVL"));
        form->New1->trigger();
    }
    ASSERT_NE(CurrentLog(), nullptr);
    form->Countries1->trigger();
    EXPECT_EQ(unexpected.texts(), std::vector<std::string>{"Please close the log before editing the country file"});
    form->Close1->trigger();
    ASSERT_EQ(CurrentLog(), nullptr);

    // The editor renames the first country; OK writes the file, Cancel reads it back.
    auto runEditor = [&](bool ok, const std::string& name) {
        QTimer::singleShot(0, [ok, name] {
            auto* editor = qobject_cast<TFctyed*>(QApplication::activeModalWidget());
            ASSERT_NE(editor, nullptr);
            editor->F_cname->SetAsString(name);
            editor->UpdateCountryClick();
            ok ? editor->accept() : editor->reject();
        });
        form->Countries1->trigger();
    };
    const std::string original = CountryName(1);
    runEditor(false, "Discarded");
    EXPECT_EQ(CountryName(1), original);
    runEditor(true, "Renamed");
    EXPECT_EQ(CountryName(1), "Renamed");
    EXPECT_FALSE(CountryDataModified());
    ASSERT_TRUE(LoadCountryFile(true));
    EXPECT_EQ(CountryName(1), "Renamed");
}

TEST_F(MainFormFixture, TheManagerIotaAndAddressEditorsSaveTheCountryFileOnOk)
{
    Config.SetUserLevel(2);
    auto form = MakeForm();
    ShowAndIdle(*form);
    for (QAction* a : {form->QSLManagers1, form->IOTA1, form->ManagerAddresses1})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    // An inserted manager row, saved with OK, is in the country file afterwards.
    const int before = CountryDb.QslManagers->Count();
    QTimer::singleShot(0, [] {
        auto* editor = qobject_cast<TEditQSLMgrDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(editor, nullptr);
        editor->InsertRow();
        editor->SaveClick();
    });
    form->QSLManagers1->trigger();
    EXPECT_FALSE(CountryDataModified());
    ASSERT_TRUE(LoadCountryFile(true));
    EXPECT_EQ(CountryDb.QslManagers->Count(), before + 1);
    // Cancel changes nothing.
    for (QAction* a : {form->IOTA1, form->ManagerAddresses1}) {
        const std::string bytes = CountryDatabaseBytes(CountryDb);
        QTimer::singleShot(0, [] { qobject_cast<QDialog*>(QApplication::activeModalWidget())->reject(); });
        a->trigger();
        EXPECT_EQ(CountryDatabaseBytes(CountryDb), bytes);
    }
}

namespace {

// Every item of a menu and its submenus, with its path for the messages.
void MenuLeaves(QMenu* menu, const std::string& path, std::vector<std::pair<std::string, QAction*>>& out)
{
    for (QAction* a : menu->actions()) {
        const std::string here = path + " > " + a->text().toStdString();
        if (a->menu())
            MenuLeaves(a->menu(), here, out);
        else if (!a->isSeparator())
            out.emplace_back(here, a);
    }
}

constexpr std::size_t kRotatorRules = 7248;  // the rotator's rule byte of band 0; bands follow

// The rotator's bytes go to the test while it lives.
struct ScopedRotatorBytes {
    std::string sent;
    ScopedRotatorBytes() { RotatorControl().SetSender([this](const std::string& bytes) { sent += bytes; }); }
    ~ScopedRotatorBytes() { RotatorControl().SetSender({}); }
};

// Every report asks for all bands and modes; there is no custom award to choose.
struct AllBandsAndModes : TReportQuestions {
    TReportQuestions* previous = SetReportQuestions(this);
    ~AllBandsAndModes() override { SetReportQuestions(previous); }
    bool AskModeBand(QWidget*, int& mode, int& band) override
    {
        mode = band = 0;
        return true;
    }
    bool AskCustomAward(QWidget*, int&) override { return false; }
};

} // namespace

TEST_F(MainFormFixture, EveryQsoWindowCommandRunsOnASampleLogOrWaitsForItsWindow)
{
    WriteTestLog(home.file("SAVE/WALK.KVL"), 8);
    Config.SetLastLogFile(home.file("SAVE/WALK.KVL"));
    // Every state a command may wait for, besides the window's own modes.
    Config.SetUserLevel(3);
    Config.SetCallbookKind(1);
    Config.SetWarnUnsavedQso(false);
    Config.SetRotatorKind(3);
    Config.Bytes()[kRotatorRules + 5] = rrNormal;
    TPortSettings packetPort = Config.PacketPort();
    packetPort.SetTerminalKind(2);
    packetPort.SetComPort(9); // telnet, left unconnected
    Config.SetPortSettings(0, packetPort);
    ScopedMessageRecorder rec(mrYes);
    ScopedRotatorBytes rotator;
    AllBandsAndModes questions;
    auto form = MakeForm();
    ShowAndIdle(*form);
    TQSOForm* qso = form->QsoForm();
    ASSERT_NE(qso, nullptr);
    TPacketW* packet = form->Terminals()->PacketWindow();
    ASSERT_NE(packet, nullptr);
    // Announce DX asks first: the dialog shows the QSO's call and is cancelled. Every other
    // command's question (an SWL number, a date range, a choice) is cancelled the same way.
    std::string announcedCall;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* d = qobject_cast<TAnnounceDXDialog*>(modal))
            announcedCall = d->Result().call;
        if (auto* d = qobject_cast<QDialog*>(modal))
            d->reject();
        else if (modal)
            modal->close();
    });
    answer.start(20);
    // Announce DX before the walk: later commands (a bulk delete answered Yes) may empty the log.
    qso->FinishEntry();
    ASSERT_TRUE(qso->Action(cmAnnounceDx)->isEnabled());
    qso->Action(cmAnnounceDx)->trigger();
    QCoreApplication::processEvents();
    EXPECT_FALSE(announcedCall.empty()) << "Announce DX opened the terminal's dialog with the QSO's call";
    std::vector<std::pair<std::string, QAction*>> items;
    for (QAction* top : qso->MenuBar()->actions())
        MenuLeaves(top->menu(), top->text().toStdString(), items);

    std::size_t ran = 0;
    for (const auto& [path, action] : items) {
        // Each command from the shown last QSO; those that need real-time entry get it.
        if (qso->EntryMode() == emBrowse)
            qso->RunCommand(cmCancelFilter);
        qso->FinishEntry();
        if (!action->isEnabled())
            qso->RunCommand(cmAddRealTime);
        if (!action->isEnabled()) {
            ADD_FAILURE() << path << " stays disabled both over a logged QSO and in real-time entry";
            continue;
        }
        EXPECT_NO_THROW(action->trigger()) << path;
        QCoreApplication::processEvents();
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << path << " left a dialog open";
        ++ran;
    }
    EXPECT_EQ(ran, items.size());
    EXPECT_GE(items.size(), 120u);
    EXPECT_FALSE(rotator.sent.empty()) << "the rotator commands reached the rotator";
    EXPECT_NE(form->CountryInfoWindow(), nullptr);
    EXPECT_NE(form->ChildWindows()->Window(cwMasterCalls), nullptr);
    EXPECT_NE(form->WorldMapWindow(), nullptr);
    EXPECT_NE(RotatorControl().RotateForm(), nullptr);
    EXPECT_NE(TMorseKb::Instance(), nullptr);
    EXPECT_GE(qso->findChildren<TReportForm*>().size(), 40u) << "every report with a log behind it opened";
    EXPECT_TRUE(packet->isVisible());
    // The menus follow the terminals as they go.
    form->Terminals()->FreePacketWindow(0);
    EXPECT_FALSE(qso->Action(cmSwitchToPacket)->isEnabled());
    EXPECT_FALSE(qso->Action(cmAnnounceDx)->isEnabled());
    TMorseKb::CloseWindow();
    delete RotatorControl().RotateForm();
}

TEST_F(MainFormFixture, ChildWindowsOfTheQsoWindowComeBackAsTheOperatorLeftThem)
{
    WriteTestLog(home.file("SAVE/KIDS.KVL"), 3);
    Config.SetLastLogFile(home.file("SAVE/KIDS.KVL"));
    ScopedMessageRecorder rec;  // no master file: the master window says so
    auto form = MakeForm();
    ShowAndIdle(*form);
    TChildWindows* kids = form->ChildWindows();
    for (int round = 0; round < 2; ++round)
        for (TQsoCommand c : {cmCountryInformation, cmMasterCalls})
            form->QsoForm()->Action(c)->trigger();
    EXPECT_EQ(form->QsoForm()->findChildren<TCountryInfo*>().size(), 1u);
    EXPECT_EQ(form->QsoForm()->findChildren<TMasterLookup*>().size(), 1u);
    ASSERT_NE(kids->Window(cwMasterCalls), nullptr);
    form->AppIdle();  // the new windows take the entry's country and call
    EXPECT_FALSE(kids->RefreshPending(cwCountryInfo));

    kids->Window(cwMasterCalls)->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(kids->Window(cwMasterCalls), nullptr);
    EXPECT_GT(Config.Placement(psMastr).Width, 0) << "its placement is kept";

    // The log closed and opened again: the open window returns, the closed one does not.
    form->Close1->trigger();
    ASSERT_EQ(form->QsoForm(), nullptr);
    EXPECT_EQ(kids->Window(cwCountryInfo), nullptr);
    dialogAnswers.push_back(home.file("SAVE/KIDS.KVL"));
    form->Open1->trigger();
    ASSERT_NE(form->QsoForm(), nullptr);
    ASSERT_NE(form->CountryInfoWindow(), nullptr);
    EXPECT_EQ(form->CountryInfoWindow()->parentWidget(), form->QsoForm());
    EXPECT_EQ(kids->Window(cwMasterCalls), nullptr);
}

TEST_F(MainFormFixture, RotatorCommandsTurnTheRotatorToTheHeadingTheQsoWindowShows)
{
    {
        TQsoData log(home.file("SAVE/ROT.KVL"));
        auto* r = new TQsoRecord;
        r->Call.assign("W6XYZ");
        r->Grid.assign("CM87");
        r->Date = 40000;
        r->Band = 5;
        r->Mode = 1;
        log.InsertQso(r);
        ASSERT_TRUE(WriteLogFile(log, true));
    }
    Config.SetLastLogFile(home.file("SAVE/ROT.KVL"));
    Config.SetOwnGrid("JO62");
    Config.SetRotatorKind(3);  // "AP1" bearing ";AM1;", "AS1;" stops
    Config.Bytes()[kRotatorRules + 5] = rrNormal;
    ScopedRotatorBytes rotator;
    auto form = MakeForm();
    ShowAndIdle(*form);
    TQSOForm* qso = form->QsoForm();
    ASSERT_NE(qso, nullptr);
    double homeLat = 0, homeLon = 0, lon = 0, lat = 0;
    ASSERT_TRUE(HomePosition(homeLat, homeLon));
    ASSERT_TRUE(GridToPosition("CM87", lon, lat));
    int heading = 0, km = 0;
    CalcBearingDistanceFrom(homeLat, homeLon, true, heading, km, lat, lon);
    for (TQsoCommand c : {cmShortPath, cmLongPath, cmStopRotator}) {
        ASSERT_TRUE(qso->Action(c)->isEnabled());
        qso->Action(c)->trigger();
    }
    const int reverse = heading + 180 > 360 ? heading + 180 - 360 : heading + 180;
    char expected[64];
    std::snprintf(expected, sizeof expected, "AP1%03d;AM1;AP1%03d;AM1;AS1;", heading, reverse);
    EXPECT_EQ(rotator.sent, expected);
    EXPECT_EQ(RotatorControl().Status(), "Rotator Stopped");
}

TEST_F(MainFormFixture, TheWorldMapOfTheFileMenuAndOfTheQsoWindowIsOneWindow)
{
    auto form = MakeForm();
    ShowAndIdle(*form);
    ASSERT_TRUE(form->CloseLog());
    ASSERT_EQ(form->QsoForm(), nullptr);  // no log: the map stands over the main window
    form->Worldmap1->trigger();
    QPointer<TWorldMap> map = form->WorldMapWindow();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->parentWidget(), form.get());

    WriteTestLog(home.file("SAVE/MAP.KVL"), 2);
    dialogAnswers.push_back(home.file("SAVE/MAP.KVL"));
    form->Open1->trigger();
    TQSOForm* qso = form->QsoForm();
    ASSERT_NE(qso, nullptr);
    qso->Action(cmWorldMap)->trigger();
    form->Worldmap1->trigger();
    EXPECT_EQ(form->WorldMapWindow(), map.data());
    EXPECT_EQ(form->findChildren<TWorldMap*>().size(), 1u);

    map->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(map.isNull());
    qso->Action(cmWorldMap)->trigger();  // the QSO window's item makes it anew, over the QSO window
    ASSERT_NE(form->WorldMapWindow(), nullptr);
    EXPECT_EQ(form->WorldMapWindow()->parentWidget(), qso);
    form->Worldmap1->trigger();
    EXPECT_EQ(form->findChildren<TWorldMap*>().size(), 1u);
}

TEST_F(MainFormFixture, SearchExternalDataLooksUpTheTypedCallOrBeepsWithoutOne)
{
    WriteTestLog(home.file("SAVE/EXT.KVL"), 2);
    Config.SetLastLogFile(home.file("SAVE/EXT.KVL"));
    Config.SetCallbookKind(1);  // its library is missing: the window says so in its lines
    ScopedMessageRecorder rec;
    auto form = MakeForm();
    ShowAndIdle(*form);
    TQSOForm* qso = form->QsoForm();
    ASSERT_NE(qso, nullptr);
    QAction* lookup = qso->Action(cmLookupExtData);
    ASSERT_TRUE(lookup->isEnabled());

    qso->RunCommand(cmAddRealTime);
    const int beeps = qso->BeepCount();
    lookup->trigger();
    EXPECT_EQ(qso->BeepCount(), beeps + 1);
    EXPECT_EQ(form->ChildWindows()->Window(cwExternalData), nullptr);

    qso->Field(fCall)->SetAsString("dl1abc");
    lookup->trigger();
    auto* window = qobject_cast<TExtDataLookup*>(form->ChildWindows()->Window(cwExternalData));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->parentWidget(), qso);
    EXPECT_EQ(window->LastCall(), "DL1ABC");
    // Brought up again with the call now typed, not made a second time.
    qso->Field(fCall)->SetAsString("K1XYZ");
    lookup->trigger();
    EXPECT_EQ(qso->findChildren<TExtDataLookup*>().size(), 1u);
    EXPECT_EQ(window->LastCall(), "K1XYZ");
    // Its Set QSL Manager reaches the QSO window's manager field, marked as typed.
    window->F_mgr->SetAsString("W1MGR");
    window->SetQSLManager1Click();
    EXPECT_EQ(qso->Field(fQslMgr)->GetAsString(), "W1MGR");
    EXPECT_TRUE(qso->Field(fQslMgr)->GetModified());
}

TEST_F(MainFormFixture, ASubmissionFromTheReportsMenuRefreshesTheQsoWindow)
{
    WriteTestLog(home.file("SAVE/REP.KVL"), 5);
    Config.SetLastLogFile(home.file("SAVE/REP.KVL"));
    ScopedMessageRecorder rec(mrYes);
    AllBandsAndModes questions;
    auto form = MakeForm();
    ShowAndIdle(*form);
    TQSOForm* qso = form->QsoForm();
    ASSERT_NE(qso, nullptr);
    const auto& entries = ReportEntries();
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (std::string(entries[i].reportClass) == "TDXCCReport" && entries[i].argument == 0) {
            QSignalSpy changed(qso, &TQSOForm::logChanged);
            qso->ReportAction(static_cast<int>(i))->trigger();
            EXPECT_FALSE(changed.isEmpty()) << "the QSO window's views follow the submitted flags";
        }
    ASSERT_EQ(qso->findChildren<TReportForm*>().size(), 1u);
    EXPECT_TRUE(qso->findChildren<TReportForm*>()[0]->isVisible());
}
