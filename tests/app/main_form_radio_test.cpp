// The main window with a simulated radio on a pseudo-terminal: the QSO window in real-time entry
// follows the radio's band and mode through the idle-time poll, and the Radio menu starts and
// stops the radio and follows its failures.
#include "app/main_form.h"
#include "app/setup_services.h"

#include "entry/ovc_timer_pool.h"
#include "logbook/log_file.h"
#include "logbook/paths.h"
#include "logbook/qso_data.h"
#include "logbook/qso_fields.h"
#include "logbook/windows/form_placement.h"
#include "logbook/windows/qso_form.h"
#include "platform/message_dlg.h"
#include "grids/windows/my_grid.h"
#include "station/windows/cluster_terminals.h"
#include "station/windows/putout_window.h"
#include "station/windows/radio_control.h"
#include "tests/station/windows/radio_window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

using namespace korval;
using namespace korval::test;

namespace {

constexpr int PollMs = 2000;

class MainFormRadio : public RadioWindowFixture {
protected:
    void SetUp() override
    {
        RadioWindowFixture::SetUp();
        std::filesystem::create_directories(home.file("SAVE"));
        WriteAll(home.file("SAVE/KORVAL.CTY"), ReadAll(KORVAL_SOURCE_DIR "/data/SAVE/KORVAL.CTY"));
    }
    void TearDown() override
    {
        form.reset();
        FreeCurrentLog();
        RadioWindowFixture::TearDown();
    }
    // The main window over the configuration as it stands, shown, its start log open.
    TQSOForm& Show()
    {
        Config.SetRadioPollInterval(PollMs);
        NoteScreenMetrics();
        SaveConfiguration();
        form = std::make_unique<TMainForm>(TMainFormEnv {{}, &clock, &driver, {}});
        QSignalSpy idle(form.get(), &TMainForm::firstIdleDone);
        form->show();
        if (idle.isEmpty())
            idle.wait(5000);
        Spin(20);
        return *form->QsoForm();
    }
    void Tick(int ms)
    {
        clock.Advance(static_cast<std::uint32_t>(ms));
        driver.Fire();
        Spin(50);  // the poll runs at idle time
    }

    TOvcManualTickSource clock {1000};
    TOvcManualTimerDriver driver;
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormRadio, RealTimeEntryFollowsTheRadiosBandAndModeWithinOnePollPeriod)
{
    TKenwoodSim& radio = StartSim<TKenwoodSim>("Kenwood TS-590S");
    TQSOForm& qso = Show();
    ASSERT_NE(Radio(), nullptr);
    EXPECT_EQ(form->FlipRadio1->text().toStdString(), "Stop Radio");
    EXPECT_TRUE(form->Scanner1->isEnabled() && form->Panorama1->isEnabled() && form->SetFrequency1->isEnabled());

    qso.Addrealtime1Click();  // a fresh real-time entry asks the radio at once
    Spin(50);
    EXPECT_EQ(qso.Entry().GetBand(), 5);   // 20 m
    EXPECT_EQ(qso.Entry().GetMode(), 14);  // SSB
    EXPECT_FALSE(qso.Entry().BandBoxEnabled());

    radio.freqHz = 7030000;
    radio.modeCode = 3;  // CW
    Tick(PollMs - 100);
    EXPECT_EQ(qso.Entry().GetBand(), 5);
    Tick(100);
    EXPECT_EQ(qso.Entry().GetBand(), 3);  // 40 m
    EXPECT_EQ(qso.Entry().GetMode(), 4);  // CW

    // "Ignore Mode in real-time": the band still follows, the mode is the operator's.
    form->Ignoremodeinrealtime1->trigger();
    EXPECT_TRUE(qso.Entry().ModeBoxEnabled());
    radio.freqHz = 21074000;
    radio.modeCode = 2;
    Tick(PollMs);
    EXPECT_EQ(qso.Entry().GetBand(), 7);  // 15 m
    EXPECT_EQ(qso.Entry().GetMode(), 4);
    EXPECT_TRUE(messages.texts().empty());
}

TEST_F(MainFormRadio, RealTimeEntryFromAShownQsoStartsBlankWithTheRadiosBand)
{
    StartSim<TKenwoodSim>("Kenwood TS-590S").freqHz = 21074000;
    {
        TQsoData log(GetDataFileName(dfLog));
        auto* r = new TQsoRecord;
        r->Call.assign("K1XYZ");
        r->Date = 45000;
        r->Band = 5;
        r->Mode = 4;
        log.BeginBulk(false, 1);
        log.BulkAdd(r);
        log.EndBulk(true);
        ASSERT_TRUE(WriteLogFile(log, true));
    }
    TQSOForm& qso = Show();
    ASSERT_EQ(qso.Entry().Fields.Text[fCall], "K1XYZ");
    qso.Addrealtime1Click();
    Spin(50);
    EXPECT_EQ(qso.Entry().Fields.Text[fCall], "");  // the shown QSO is not brought back
    EXPECT_EQ(qso.Entry().GetBand(), 7);              // 15 m, asked at once
}

// A radio set up in File > Preferences while real-time entry runs: saving the setup starts it
// (the setup's restart of the ports), and it is polled from then on, not only after Radio > Stop
// Radio and Start Radio.
TEST_F(MainFormRadio, ARadioStartedBySavingTheSetupIsPolledInRealTimeEntry)
{
    TKenwoodSim& radio = StartSim<TKenwoodSim>("Kenwood TS-590S");
    const std::string model = Config.RadioModel();
    Config.SetRadioModel("");
    TQSOForm& qso = Show();
    qso.Action(TQSOForm::cmAddRealTime)->trigger();
    Spin(50);
    ASSERT_EQ(Radio(), nullptr);

    Config.SetRadioModel(model);
    TMainSetupServices(*form).CreateRadio();
    Spin(50);
    ASSERT_NE(Radio(), nullptr);
    EXPECT_EQ(form->FlipRadio1->text().toStdString(), "Stop Radio");
    EXPECT_NE(radio.Received().find("FA;"), std::string::npos) << "asked at once: " << radio.Received();
    for (const auto& [hz, band] : {std::pair{7030000L, 3}, std::pair{21074000L, 7}}) {
        radio.freqHz = hz;
        Tick(PollMs);
        EXPECT_EQ(qso.Entry().GetBand(), band) << hz << " Hz";
    }
    EXPECT_TRUE(messages.texts().empty());
}

TEST_F(MainFormRadio, RadioMenuStopsAndStartsTheRadioAndAFailedRadioIsStopped)
{
    TKenwoodSim& radio = StartSim<TKenwoodSim>("Kenwood TS-590S");
    Config.SetRadioRetries(1);
    TQSOForm& qso = Show();
    qso.Addrealtime1Click();
    Spin(50);

    form->FlipRadio1->trigger();
    Spin(50);
    EXPECT_EQ(Radio(), nullptr);
    EXPECT_EQ(form->FlipRadio1->text().toStdString(), "Start Radio");
    EXPECT_FALSE(form->Scanner1->isEnabled());
    EXPECT_TRUE(qso.Entry().BandBoxEnabled());  // the operator sets the band again

    form->FlipRadio1->trigger();
    Spin(50);
    ASSERT_NE(Radio(), nullptr);
    EXPECT_EQ(form->FlipRadio1->text().toStdString(), "Stop Radio");

    // Stopped and started again before the main window hears of the stop (what the definition
    // editor does): the new radio keeps running.
    FreeRadio();
    ASSERT_TRUE(CreateRadio());
    Spin(50);
    ASSERT_NE(Radio(), nullptr);
    EXPECT_EQ(form->FlipRadio1->text().toStdString(), "Stop Radio");

    radio.silent = true;
    Tick(PollMs);
    EXPECT_TRUE(SpinUntil([] { return Radio() == nullptr; }));
    Spin(50);
    EXPECT_EQ(messages.texts(), std::vector<std::string> {"Radio timed out\rRadio interface has been disabled"});
    EXPECT_EQ(form->FlipRadio1->text().toStdString(), "Start Radio");
}

TEST_F(MainFormRadio, DoubleClickedSpotTunesTheRunningRadio)
{
    TKenwoodSim& radio = StartSim<TKenwoodSim>("Kenwood TS-590S");
    TPortSettings ps = Config.PacketPort();
    ps.SetTerminalKind(2);
    ps.SetComPort(10); // the spot window without a network
    Config.SetPortSettings(0, ps);
    Show();
    TPutoutW* spots = form->Terminals()->SpotWindow();
    ASSERT_NE(spots, nullptr);
    spots->AddPendingLine("DX de W3LPL:     14025.0  JA1ABC       cw 559                         1234Z");
    ASSERT_TRUE(SpinUntil([&] {
        spots->AppIdle();
        return spots->List().spots().size() == 1;
    }));
    QMenu* popup = spots->PopupMenu();
    emit popup->aboutToShow();
    QAction* grab = nullptr;
    for (QAction* a : popup->actions())
        if (a->text() == QStringLiteral("Grab spot and set radio"))
            grab = a;
    ASSERT_NE(grab, nullptr);
    EXPECT_TRUE(grab->isEnabled());
    spots->Grid()->OnDblClick(spots->Grid());
    Spin(50);
    EXPECT_EQ(radio.freqHz, 14025000);

    form->FlipRadio1->trigger(); // stopped: nothing left to tune
    Spin(50);
    emit popup->aboutToShow();
    EXPECT_FALSE(grab->isEnabled());
    EXPECT_TRUE(messages.texts().empty()) << messages.texts().front();
}

TEST_F(MainFormRadio, MissingDefinitionIsRadioErrorOneAndLeavesNoRadio)
{
    Config.SetRadioModel("Unknown Radio");
    Show();
    EXPECT_EQ(Radio(), nullptr);
    EXPECT_EQ(messages.texts(), std::vector<std::string> {"Radio error number 1\rPress Help for details"});
    EXPECT_TRUE(form->Radio1->isEnabled());
    EXPECT_EQ(form->FlipRadio1->text().toStdString(), "Start Radio");
}

} // namespace

namespace {

void MainMenuLeaves(QMenu* menu, const std::string& path, std::vector<std::pair<std::string, QAction*>>& out)
{
    for (QAction* a : menu->actions()) {
        const std::string here = path + " > " + a->text().toStdString();
        if (a->menu())
            MainMenuLeaves(a->menu(), here, out);
        else if (!a->isSeparator())
            out.emplace_back(here, a);
    }
}

} // namespace

// Every command of the main window's menus runs, with a radio attached and the highest user
// level: each question or dialog it asks is cancelled. Closing the log and leaving the program
// come last, as they end the rest.
TEST_F(MainFormRadio, EveryMainWindowCommandRuns)
{
    StartSim<TKenwoodSim>("Kenwood TS-590S");
    Config.SetUserLevel(3);
    Show();
    ScopedMessageRecorder rec(mrCancel);
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* d = qobject_cast<QDialog*>(modal))
            d->reject();
        else if (modal)
            modal->close();
    });
    answer.start(20);
    std::vector<std::pair<std::string, QAction*>> items;
    for (QAction* top : form->menuBar()->actions())
        if (top->menu())
            MainMenuLeaves(top->menu(), top->text().toStdString(), items);
    std::vector<std::pair<std::string, QAction*>> last;
    std::size_t ran = 0;
    for (const auto& item : items) {
        const auto& [path, action] = item;
        if (action == form->Close1 || action == form->Exit1) {
            last.push_back(item);
            continue;
        }
        // A command that stopped the radio (Stop Radio) has it started again for the next one.
        if (!action->isEnabled() && !Radio())
            form->FlipRadio1->trigger();
        Spin(20);
        if (!action->isEnabled()) {
            ADD_FAILURE() << path << " is disabled";
            continue;
        }
        EXPECT_NO_THROW(action->trigger()) << path;
        Spin(20);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << path << " left a dialog open";
        ++ran;
    }
    for (const auto& [path, action] : last) {
        EXPECT_TRUE(action->isEnabled()) << path;
        action->trigger();
        Spin(20);
        ++ran;
    }
    EXPECT_EQ(ran, items.size());
    EXPECT_GE(items.size(), 29u);
    answer.stop();
}
