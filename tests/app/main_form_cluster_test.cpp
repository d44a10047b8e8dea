// The program's cluster terminal as the operator uses it: the main window opens the configured
// terminal, its menu connects to a cluster served by the test, the spots appear in the spot
// window, and a logged QSO changes how its spot is shown. The start-up switches "/S" and "/F".
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <mutex>
#include <sys/socket.h>
#include <filesystem>
#include <set>

#include "app/main_form.h"
#include "entry/ovc_timer_pool.h"
#include "globe/windows/globe3.h"
#include "globe/windows/world_map.h"
#include "logbook/base/day_number.h"
#include "grids/windows/my_grid.h"
#include "logbook/bands_modes.h"
#include "logbook/config_record.h"
#include "logbook/qso_data.h"
#include "logbook/qso_fields.h"
#include "logbook/windows/form_placement.h"
#include "logbook/windows/qso_form.h"
#include "platform/message_dlg.h"
#include "station/windows/announce_dx_dialog.h"
#include "station/windows/cluster_terminals.h"
#include "entry/windows/ovc_numeric_field.h"
#include "entry/windows/ovc_simple_field.h"
#include "entry/windows/ovc_base_field.h"
#include "station/windows/packet_window.h"
#include "station/windows/putout_window.h"
#include "station/windows/select_ip_addr.h"
#include "loopback_server.h"
#include "test_support.h"

using namespace korval;
namespace fs = std::filesystem;

namespace {

// Runs the event loop (so that the main window gets its idle time) until done() or the time is up.
bool WaitInLoop(const std::function<bool()>& done, int ms)
{
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    tick.start(10);
    if (!done())
        loop.exec();
    return done();
}

// The server's script ends when the test does, however it ends.
struct TDone {
    std::atomic<bool>& flag;
    ~TDone() { flag = true; }
};

const char* const kSpot = "DX de W3LPL:     14025.0  VP8LP        CW up 2                        1140Z";

struct ClusterAppTest : ::testing::Test {
    test::TempDir home;
    test::ScopedHome scopedHome{home.path()};
    TConfigRecord savedConfig = Config;
    TOvcManualTickSource clock{1000};
    TOvcManualTimerDriver driver;
    test::TQtQueue queue;
    ScopedMessageRecorder unexpected;

    void SetUp() override
    {
        fs::create_directories(home.file("SAVE"));
        test::WriteAll(home.file("SAVE/KORVAL.CTY"), test::ReadAll(KORVAL_SOURCE_DIR "/data/SAVE/KORVAL.CTY"));
        Config = TConfigRecord();
        TPortSettings ps = Config.PacketPort();
        ps.SetTerminalKind(2);
        ps.SetComPort(9);
        Config.SetPortSettings(0, ps);
    }
    void TearDown() override
    {
        FreeCurrentLog();
        Config = savedConfig;
    }
    std::unique_ptr<TMainForm> Start(std::vector<std::string> params = {})
    {
        NoteScreenMetrics();
        SaveConfiguration();
        auto form = std::make_unique<TMainForm>(TMainFormEnv{std::move(params), &clock, &driver, {}});
        QSignalSpy idle(form.get(), &TMainForm::firstIdleDone);
        form->show();
        if (idle.isEmpty())
            idle.wait(5000);
        return form;
    }
    static std::string Cell(TPutoutW& w, int col, int row)
    {
        std::string v;
        w.Grid()->OnGetCell(w.Grid(), col, row, v);
        return v;
    }
};

TEST_F(ClusterAppTest, MenusConnectToTheClusterAndItsSpotsShowAndFollowTheLog)
{
    std::atomic<bool> loggedIn{false}, done{false};
    std::string login;
    test::TLoopServer server(1, [&](int fd, int) {
        test::TLoopServer::Send(fd, "Please enter your call: ");
        login = test::TLoopServer::ReceiveUntil(fd, "\n");
        loggedIn = true;
        test::TLoopServer::Send(fd, std::string("\r\nWelcome\r\n") + kSpot + "\r\nK1ABC de GB7DXC >");
        while (!done)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    });
    TDone finish{done};
    test::WriteAll(home.file("SAVE/KORVAL.TCP"),
                   "Spot page,HTTP://127.0.0.1:1/\r\nLoopback cluster,127.0.0.1:" + server.Port() + "\r\n");

    auto form = Start();
    TClusterTerminals* terminals = form->Terminals();
    ASSERT_NE(terminals, nullptr);
    TPacketW* packet = terminals->PacketWindow();
    ASSERT_NE(packet, nullptr) << "the settings ask for the packet terminal";
    TPutoutW* spots = terminals->SpotWindow();
    ASSERT_NE(spots, nullptr);
    EXPECT_TRUE(packet->isVisible());
    EXPECT_TRUE(spots->isVisible());
    ASSERT_NE(form->QsoForm(), nullptr) << "the default log is open";

    // Popup menu > Internet connection > the second entry > OK.
    QAction* internet = packet->MenuItem(QStringLiteral("Internet connection"));
    ASSERT_NE(internet, nullptr);
    ASSERT_TRUE(internet->isEnabled());
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<TSelectIPAddr*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Select Internet address"));
        ASSERT_EQ(d->LB->count(), 2);
        d->LB->setCurrentRow(1);
        d->BtnOK->click();
    });
    internet->trigger();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !packet->Lines().Lines().empty() && packet->Lines().Lines().back().text == "Please enter your call: "; },
        8000));
    QTest::keyClicks(packet->Memo1, "K1ABC");
    QTest::keyClick(packet->Memo1, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return loggedIn.load(); }, 5000));
    EXPECT_EQ(login, "K1ABC\n");

    // The main window's idle time hands the cluster's lines to the spot window.
    ASSERT_TRUE(WaitInLoop([&] { return spots->List().spots().size() == 1; }, 8000));
    EXPECT_EQ(Cell(*spots, 1, 1), "VP8LP");
    EXPECT_EQ(Cell(*spots, 0, 1), "14,025.0");
    const QImage shot = spots->grab().toImage();
    std::set<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 2)
        for (int x = 0; x < shot.width(); x += 2)
            colours.insert(shot.pixel(x, y));
    EXPECT_GT(colours.size(), 3u) << "the spot window painted";
    EXPECT_EQ(spots->List().spots()[0].reason, '1') << "a new country for the empty log";

    // A QSO with the spotted station, logged in the QSO window, changes the spot's reason.
    TQSOForm* qso = form->QsoForm();
    qso->Addoffline1Click();
    TQsoEntry& entry = qso->Entry();
    entry.Fields.Text[fCall] = "VP8LP";
    entry.CallExit();
    entry.Fields.Sel[fBand] = 5;
    entry.Fields.Sel[fMode] = mdCW;
    entry.Fields.Text[fRsts] = entry.Fields.Text[fRstr] = "599";
    ASSERT_TRUE(entry.AddQso()) << (unexpected.texts().empty() ? std::string() : unexpected.texts().back());
    ASSERT_EQ(CurrentLog()->Count(), 1);
    EXPECT_NE(spots->List().spots()[0].reason, '1');

    form.reset();
    EXPECT_TRUE(unexpected.texts().empty()) << unexpected.texts()[0];
}

// Station > Announce DX as the operator uses it: the frequency typed into the dialog (clicked into
// over the shown 0.00, with or without Ctrl+A) is the one the cluster gets; a spot without a
// frequency is refused with a message and nothing is sent.
TEST_F(ClusterAppTest, AnnounceDxSendsTheTypedFrequencyAndRefusesNone)
{
    std::atomic<bool> done{false};
    std::mutex lock;
    std::string received;
    test::TLoopServer server(1, [&](int fd, int) {
        test::TLoopServer::Send(fd, "K1ABC de GB7DXC >");
        while (!done) {
            char buf[256];
            const ssize_t n = ::recv(fd, buf, sizeof buf, MSG_DONTWAIT);
            if (n > 0) {
                std::lock_guard<std::mutex> g(lock);
                received.append(buf, static_cast<std::size_t>(n));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    TDone finish{done};
    test::WriteAll(home.file("SAVE/KORVAL.TCP"), "Loopback cluster,127.0.0.1:" + server.Port() + "\r\n");
    auto form = Start();
    TPacketW* packet = form->Terminals()->PacketWindow();
    ASSERT_NE(packet, nullptr);
    QTimer::singleShot(0, [] {
        if (auto* d = qobject_cast<TSelectIPAddr*>(QApplication::activeModalWidget())) {
            d->LB->setCurrentRow(0);
            d->BtnOK->click();
        }
    });
    packet->MenuItem(QStringLiteral("Internet connection"))->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !packet->Lines().Lines().empty(); }, 8000));

    TQSOForm* qso = form->QsoForm();
    ASSERT_NE(qso, nullptr);
    qso->Addoffline1Click();
    ASSERT_TRUE(qso->Action(TQSOForm::cmAnnounceDx)->isEnabled());
    qso->Field(fCall)->SetAsString("3Y0J"); // the call typed in the QSO window, on SSB
    struct Case { const char* keys; bool selectAllFirst; const char* sent; };
    for (const Case& c : {Case{"14023.5", true, "DX 14023.50 3Y0J loud in CT"},
                          Case{"7001.25", false, "DX 7001.25 3Y0J loud in CT"}}) {
        {
            std::lock_guard<std::mutex> g(lock);
            received.clear();
        }
        bool shown = false;
        QTimer::singleShot(50, [&] {
            auto* d = qobject_cast<TAnnounceDXDialog*>(QApplication::activeModalWidget());
            if (!d)
                return;
            shown = true;
            d->activateWindow();
            // Into the field with a click (the caret, no selection), or with Ctrl+A after it.
            QTest::mouseClick(d->F_AVFO, Qt::LeftButton);
            QCoreApplication::processEvents();
            if (c.selectAllFirst)
                QTest::keyClick(d->F_AVFO, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(d->F_AVFO, c.keys);
            d->F_Remarks->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(d->F_Remarks, "loud in CT");
            d->BtnOK->click();
        });
        qso->Action(TQSOForm::cmAnnounceDx)->trigger();
        ASSERT_TRUE(shown);
        EXPECT_TRUE(QTest::qWaitFor([&] {
            std::lock_guard<std::mutex> g(lock);
            return received.find(c.sent) != std::string::npos;
        }, 5000)) << c.keys << ": the cluster got \"" << received << "\"";
    }

    // No frequency: the dialog says so and stays; cancelled, nothing goes to the cluster.
    {
        std::lock_guard<std::mutex> g(lock);
        received.clear();
    }
    ScopedMessageRecorder refusal;
    bool stayed = false;
    QTimer::singleShot(50, [&] {
        auto* d = qobject_cast<TAnnounceDXDialog*>(QApplication::activeModalWidget());
        if (!d)
            return;
        d->F_AVFO->SetAsFloat(0);
        d->BtnOK->click();
        stayed = QApplication::activeModalWidget() == d;
        d->reject();
    });
    qso->Action(TQSOForm::cmAnnounceDx)->trigger();
    EXPECT_TRUE(stayed);
    ASSERT_EQ(refusal.texts().size(), 1u);
    EXPECT_NE(refusal.texts()[0].find("frequency"), std::string::npos) << refusal.texts()[0];
    QTest::qWait(100);
    std::lock_guard<std::mutex> g(lock);
    EXPECT_EQ(received.find("DX "), std::string::npos) << received;
}

TEST_F(ClusterAppTest, SwitchesHandTheSpotFileToTheSpotWindowAndTheFakeFlagToThePacketTerminal)
{
    TPortSettings ps = Config.PacketPort();
    ps.SetComPort(10);
    Config.SetPortSettings(0, ps);
    test::WriteAll(home.file("spots.txt"), std::string(kSpot) + "\r\nnot a spot\r\n");
    auto form = Start({"/s", home.file("spots.txt"), "/F"});
    TPutoutW* spots = form->Terminals()->SpotWindow();
    ASSERT_NE(spots, nullptr);
    ASSERT_TRUE(WaitInLoop([&] { return spots->List().spots().size() == 1; }, 5000));
    EXPECT_EQ(Cell(*spots, 1, 1), "VP8LP");

    TPacketW* packet = form->Terminals()->PacketWindow();
    EXPECT_EQ(packet->windowTitle(), QStringLiteral("Packet (PopUp) [FAKEMODE]"));
    // In fake mode a typed line goes to the spot list instead of out.
    packet->TypeText("DX de K1TTT:     21004.8  HC2AO        599 TKS                        1132Z\r");
    ASSERT_TRUE(WaitInLoop([&] { return spots->List().spots().size() == 2; }, 5000));

    // Exit: the terminal windows, which refuse to close by themselves, go with the main window,
    // so that no window keeps the program running.
    ASSERT_TRUE(form->close());
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    form.reset();
}

TEST_F(ClusterAppTest, TheWorldMapsPropagationDrawsThePathsToTheSpottedCountries)
{
    // The clock at 12:00 UTC: the spot of 11:40 lies in the map's 20 minutes before now.
    SetUtcClockSource([] { return std::int64_t(1737806400); }); // 2025-01-25 12:00 UTC
    struct Restore {
        ~Restore() { SetUtcClockSource({}); }
    } restore;
    Config.SetOwnLongitude(10);
    Config.SetOwnLatitude(50);
    TPortSettings ps = Config.PacketPort();
    ps.SetComPort(10);
    Config.SetPortSettings(0, ps);
    test::WriteAll(home.file("spots.txt"), std::string(kSpot) + "\r\n");
    auto form = Start({"/s", home.file("spots.txt")});
    TPutoutW* spots = form->Terminals()->SpotWindow();
    ASSERT_NE(spots, nullptr);
    ASSERT_TRUE(WaitInLoop([&] { return spots->List().spots().size() == 1; }, 5000));
    const std::uint16_t country = spots->List().spots()[0].country;
    ASSERT_NE(country, 0) << "VP8 is a country of the country file";

    // The map the File menu opens follows the spot window's list.
    form->Worldmap1->trigger();
    TWorldMap* map = form->WorldMapWindow();
    ASSERT_NE(map, nullptr);
    map->SetProjection(TWorldMap::prCartesian);
    map->World1Click();
    auto redPixels = [&] {
        const QImage shot = map->Globe->grab().toImage();
        int n = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                n += QColor(shot.pixel(x, y)) == QColor(255, 0, 0);
        return n;
    };
    const int before = redPixels();
    map->Propagation1Click();
    const std::vector<bool> spotted = map->PropagationCountries();
    ASSERT_GT(spotted.size(), std::size_t(country));
    EXPECT_TRUE(spotted[country]);
    EXPECT_EQ(std::count(spotted.begin(), spotted.end(), true), 1);
    EXPECT_GT(redPixels(), before + 50) << "the path from home to the Falklands";
    form.reset();
}

} // namespace
