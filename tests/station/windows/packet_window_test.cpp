// The cluster terminal window against a cluster, a web server and another program played by the
// test on loopback sockets, and against a TNC on a pseudo-terminal.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <atomic>
#include <pty.h>
#include <sys/un.h>
#include <termios.h>

#include "comms/apd_winsock_port.h"
#include "comms/com_port_map.h"
#include "entry/windows/ovc_numeric_field.h"
#include "entry/windows/ovc_simple_field.h"
#include "grids/windows/ovc_virtual_list_box.h"
#include "logbook/config_record.h"
#include "platform/message_dlg.h"
#include "station/copy_data.h"
#include "station/spot_parser.h"
#include "station/windows/announce_dx_dialog.h"
#include "station/windows/button_frame.h"
#include "station/windows/cluster_terminals.h"
#include "station/windows/packet_window.h"
#include "station/windows/putout_window.h"
#include "station/windows/select_ip_addr.h"
#include "station/windows/talk_window.h"
#include "loopback_server.h"
#include "test_support.h"

using namespace korval;
using test::TLoopServer;

namespace {

using Lines = std::vector<std::string>;

std::size_t Count(const Lines& lines, const std::string& line)
{
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

class PacketWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Config = TConfigRecord();
        TComPortMap::SetFolder(home.path());
        std::filesystem::create_directories(home.file("SAVE"));
    }
    void TearDown() override
    {
        TComPortMap::SetFolder("");
        Config = saved;
    }
    // A packet terminal on the given ports that hands its lines to spotLines.
    std::unique_ptr<TPacketW> Make(TApdComPort* serial, TApdWinsockPort* tcp)
    {
        TPacketEnv e;
        e.serial = serial;
        e.tcp = tcp;
        e.takesSpots = e.queuesLines = true;
        e.spotLine = [this](const std::string& l) { spotLines.push_back(l); };
        auto w = std::make_unique<TPacketW>(std::move(e));
        w->resize(640, 400);
        w->show();
        QCoreApplication::processEvents();
        return w;
    }
    static std::string LastLine(TPacketW& w)
    {
        return w.Lines().Lines().empty() ? std::string() : w.Lines().Lines().back().text;
    }
    static Lines Shown(TPacketW& w)
    {
        Lines out;
        for (const auto& l : w.Lines().Lines())
            out.push_back(l.text);
        return out;
    }
    static void SetPacketPort(int com, int maxLines = 500)
    {
        TPortSettings ps = Config.PacketPort();
        ps.SetTerminalKind(2);
        ps.SetComPort(static_cast<std::uint8_t>(com));
        ps.SetMaxLines(maxLines);
        Config.SetPortSettings(0, ps);
    }

    test::TempDir home;
    test::ScopedHome scopedHome{home.path()};
    TConfigRecord saved = Config;
    test::TQtQueue queue;
    Lines spotLines;
};

TEST_F(PacketWindowTest, TelnetClusterSessionGivesEveryLineToTheSpotListOnce)
{
    SetPacketPort(9, 200);
    const std::string spotCrLf = "DX de W3LPL:     14025.0  VP8LP        CW up 2                        1140Z";
    const std::string spotLf = "DX de OH2BH:      7004.8  ZS6ZZ        CW                             1100Z";
    const std::string spotBs = "DX de K1TTT:     21004.8  HC2AO        599 TKS                        1132Z";
    std::string longLine = "To ALL de W1AW: ";
    for (int i = 0; i < 40; ++i)
        longLine += "QST de W1AW ";
    Lines burst;
    for (int i = 0; i < 500; ++i)
        burst.push_back("DX de N0XX-#:    14010.0  K" + std::to_string(i) + "AA  CW 25 dB 22 WPM CQ      1200Z");

    std::string login, command;
    std::atomic<bool> served{false};
    TLoopServer server(1, [&](int fd, int) {
        TLoopServer::Send(fd, "login: ");
        login = TLoopServer::ReceiveUntil(fd, "\n");
        std::string text = "\r\nHello K1ABC, this is DXSpider\r\n" + spotCrLf + "\r\n" + spotLf + "\n" +
                           "DX de K1TTT:     21004.8  HC2AOX\b \b        599 TKS                        1132Z\r\n" +
                           longLine + "\r\n";
        for (const auto& b : burst)
            text += b + "\r\n";
        TLoopServer::Send(fd, text + "K1ABC de GB7DXC >");
        command = TLoopServer::ReceiveUntil(fd, "SH/DX\n");
        served = true;
    });
    TApdWinsockPort tcp;
    tcp.SetDeviceLayer(dlWinsock);
    tcp.SetAutoOpen(false);
    auto w = Make(nullptr, &tcp);
    w->ConnectTo({"127.0.0.1", server.Port(), ""});
    ASSERT_TRUE(QTest::qWaitFor([&] { return LastLine(*w) == "login: "; }, 8000)) << "the prompt without a line end";

    QTest::keyClicks(w->Memo1, "K1ABC");
    QTest::keyClick(w->Memo1, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return LastLine(*w) == "K1ABC de GB7DXC >"; }, 8000));
    EXPECT_EQ(login, "K1ABC\n") << "a line ends in LF over TCP";

    QTest::keyClick(w->Memo1, Qt::Key_F1); // the packet key "SH/DX|SH/DX%M"
    ASSERT_TRUE(QTest::qWaitFor([&] { return served.load(); }, 8000));
    EXPECT_EQ(command, "SH/DX\n");

    EXPECT_EQ(Count(spotLines, "login: K1ABC"), 1u);
    EXPECT_EQ(Count(spotLines, "Hello K1ABC, this is DXSpider"), 1u);
    EXPECT_EQ(Count(spotLines, spotCrLf), 1u);
    EXPECT_EQ(Count(spotLines, spotLf), 1u);
    EXPECT_EQ(Count(spotLines, spotBs), 1u) << "BS, blank, BS takes one character back";
    EXPECT_EQ(Count(spotLines, longLine), 1u);
    for (const auto& b : burst)
        ASSERT_EQ(Count(spotLines, b), 1u) << b;

    // The scrollback keeps its limit, and the list box shows what the list holds.
    EXPECT_LE(w->Lines().Count(), 200);
    EXPECT_EQ(w->VLB->NumItems(), w->Lines().Count());
    EXPECT_EQ(w->VLB->TopIndex(), w->Lines().Count() - w->VLB->Rows()) << "not holding: the view follows";
    w.reset();
}

TEST_F(PacketWindowTest, HoldingKeepsTheViewWhileOldLinesGo)
{
    SetPacketPort(10, 200);
    auto w = Make(nullptr, nullptr);
    for (int i = 0; i < 150; ++i)
        w->ReceiveText("line " + std::to_string(i) + "\r\n");
    w->ToggleHolding();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Packet (PopUp) (HOLDING)"));
    const int top = w->VLB->TopIndex();
    ASSERT_GT(top, 60);
    const std::string topText = w->Lines().Lines()[static_cast<std::size_t>(top)].text;
    for (int i = 150; i < 230; ++i)
        w->ReceiveText("line " + std::to_string(i) + "\r\n");
    EXPECT_EQ(w->Lines().Count(), 200);
    EXPECT_EQ(w->Lines().Lines()[static_cast<std::size_t>(w->VLB->TopIndex())].text, topText);

    w->ToggleHolding();
    EXPECT_EQ(w->VLB->TopIndex(), w->Lines().Count() - w->VLB->Rows());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Packet (PopUp)"));

    // Typing in the received lines ends the holding and types on in the lower pane, first key too.
    w->ToggleHolding();
    w->VLB->setFocus();
    QTest::keyClicks(w->VLB, "W1AW");
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Packet (PopUp)"));
    EXPECT_EQ(w->Memo1->toPlainText(), QStringLiteral("W1AW"));
}

TEST_F(PacketWindowTest, TncOnASerialLineGetsCrAndPasteIsConfirmedFromEightyCharacters)
{
    int master = -1, slave = -1;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    test::WriteAll(home.file(kComPortMapName), std::string("[Ports]\nCOM3=") + ttyname(slave) + "\n");
    SetPacketPort(3);
    TPortSettings ps = Config.PacketPort();
    ps.SetBaudIndex(4);
    ps.SetParity(2);
    ps.SetFlowControl(2);
    Config.SetPortSettings(0, ps);
    auto readMaster = [&](std::size_t want) {
        std::string got;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (got.size() < want && std::chrono::steady_clock::now() < deadline) {
            QCoreApplication::processEvents();
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, 10) > 0) {
                char buf[4096];
                const ssize_t n = ::read(master, buf, sizeof buf);
                if (n > 0)
                    got.append(buf, static_cast<std::size_t>(n));
            }
        }
        return got;
    };
    {
        TClusterTerminals terminals({}, nullptr);
        TPacketW* w = terminals.CreatePacketWindow(0);
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(terminals.PortTNC.Open());
        termios t{};
        ASSERT_EQ(tcgetattr(master, &t), 0);
        EXPECT_EQ(cfgetospeed(&t), B9600);
        // A pseudo-terminal keeps only 8 bits without parity: the port's settings tell.
        EXPECT_EQ(terminals.PortTNC.DataBits(), 7);
        EXPECT_EQ(terminals.PortTNC.Parity(), pEven);
        EXPECT_EQ(terminals.PortTNC.SWFlowOptions(), swfBoth);
        EXPECT_EQ(terminals.PortTNC.BufferResume(), terminals.PortTNC.InSize() / 25);
        EXPECT_NE(terminals.SpotWindow(), nullptr) << "the packet terminal takes spots";

        QTest::keyClicks(w->Memo1, "SH/DX");
        QTest::keyClick(w->Memo1, Qt::Key_Return);
        EXPECT_EQ(readMaster(6), "SH/DX\r");
        ASSERT_EQ(::write(master, "SH/DX\rcmd:", 10), 10);
        ASSERT_TRUE(QTest::qWaitFor([&] { return LastLine(*w) == "cmd:"; }, 5000));

        ScopedMessageRecorder rec(mrYes);
        QGuiApplication::clipboard()->setText(QString(79, QLatin1Char('a')));
        w->PasteFromClipboard();
        EXPECT_TRUE(rec.texts().empty()) << "79 characters go without a question";
        QTest::keyClick(w->Memo1, Qt::Key_Return);
        EXPECT_EQ(readMaster(80), std::string(79, 'a') + "\r");

        std::string text;
        for (int i = 0; i < 40; ++i)
            text += "line " + std::to_string(i) + " of a pasted message to the cluster\r\n";
        QGuiApplication::clipboard()->setText(QString::fromLatin1(text.c_str()));
        w->PasteFromClipboard();
        EXPECT_EQ(rec.texts(), Lines{"Paste " + std::to_string(text.size()) + " characters"});
        std::string expected = text;
        expected.erase(std::remove(expected.begin(), expected.end(), '\n'), expected.end());
        EXPECT_EQ(readMaster(expected.size()), expected);
        EXPECT_EQ(w->MenuItem(QStringLiteral("Type Esc character"))->text(), QStringLiteral("Type Esc character"));

        // An announcement goes to the TNC from the dialog.
        QTimer::singleShot(0, [] {
            auto* d = qobject_cast<TAnnounceDXDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            d->F_call->SetAsString("vp8lp");
            d->F_AVFO->SetAsFloat(14025);
            d->F_BVFO->SetAsFloat(14027.5);
            d->F_Remarks->SetAsString("CW up");
            d->BtnOK->click();
        });
        w->MenuItem(QStringLiteral("&Announce DX"))->trigger();
        const std::string announcement = "DX 14025.00 VP8LP QSX 14027.50 CW up\r";
        EXPECT_EQ(readMaster(announcement.size()), announcement);
    }
    ::close(master);
    ::close(slave);
}

TEST_F(PacketWindowTest, WebPageIsFetchedAfterARelativeRedirection)
{
    SetPacketPort(9);
    Lines requests;
    TLoopServer server(2, [&](int fd, int n) {
        requests.push_back(TLoopServer::ReceiveUntil(fd, "\r\n\r\n"));
        if (n == 0) {
            TLoopServer::Send(fd, "HTTP/1.0 302 Found\r\nLocation: spots.html\r\nContent-Type: text/html\r\n\r\n");
            return;
        }
        TLoopServer::Send(fd, "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n\r\n"
                              "<html><body><h1>Spots</h1>\n<PRE>\n"
                              "W3LPL      14025.0  VP8LP       CW up 2             1140Z 25 Jan\n"
                              "K1TTT      21004.8  HC2AO       599 TKS             1132 25 Jan\n"
                              "</PRE></body></html>\n");
    });
    TApdWinsockPort tcp;
    tcp.SetDeviceLayer(dlWinsock);
    tcp.SetAutoOpen(false);
    auto w = Make(nullptr, &tcp);
    w->ConnectTo(ParseInternetAddress("Spots,127.0.0.1:" + server.Port() + "/old/index.html"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return spotLines.size() == 2 && w->Fetch().State() == THttpFetch::hsIdle; }, 8000))
        << w->windowTitle().toStdString();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0], "GET /old/index.html HTTP/1.0\r\nHost: 127.0.0.1:" + server.Port() + "\r\n\r\n");
    EXPECT_EQ(requests[1].substr(0, 30), "GET /old/spots.html HTTP/1.0\r\n");
    EXPECT_EQ(spotLines[0], "W3LPL      14025.0  VP8LP       CW up 2              <1140 25-Jan>");
    // The third default template reads such a line as a spot.
    TSpotParser parser;
    TSpotRecord spot;
    ASSERT_TRUE(parser.ParseLine(spotLines[1], spot)) << spotLines[1];
    EXPECT_EQ(spot.call, "HC2AO");
    EXPECT_EQ(spot.spotter, "K1TTT");
    EXPECT_DOUBLE_EQ(spot.frequency, 21004.8);
    w.reset();
}

TEST_F(PacketWindowTest, RedirectionToItselfStopsAfterFive)
{
    SetPacketPort(9);
    std::atomic<int> served{0};
    TLoopServer server(6, [&](int fd, int) {
        TLoopServer::ReceiveUntil(fd, "\r\n\r\n");
        TLoopServer::Send(fd, "HTTP/1.0 301 Moved\r\nLocation: /loop\r\n\r\n");
        ++served;
    });
    TApdWinsockPort tcp;
    tcp.SetDeviceLayer(dlWinsock);
    tcp.SetAutoOpen(false);
    auto w = Make(nullptr, &tcp);
    w->ConnectTo(ParseInternetAddress("HTTP://127.0.0.1:" + server.Port() + "/loop"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->windowTitle() == QStringLiteral("Error: Too many redirections"); }, 8000))
        << w->windowTitle().toStdString();
    EXPECT_EQ(served.load(), 6);
    EXPECT_EQ(w->Fetch().State(), THttpFetch::hsIdle);
    w.reset();
}

TEST_F(PacketWindowTest, TextGoesToAndComesFromAnotherProgramsSocket)
{
    SetPacketPort(10);
    const std::string path = home.file("logger.sock");
    Config.SetMessageHandshake(path);
    // The other program: takes two messages and answers each "taken".
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un sa{};
    sa.sun_family = AF_UNIX;
    std::snprintf(sa.sun_path, sizeof sa.sun_path, "%s", path.c_str());
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&sa), sizeof sa), 0);
    ASSERT_EQ(::listen(listener, 1), 0);
    std::vector<TCopyData> got;
    std::thread other([&] {
        pollfd p{listener, POLLIN, 0};
        if (poll(&p, 1, 8000) <= 0)
            return;
        const int fd = ::accept(listener, nullptr, nullptr);
        TCopyDataReader reader;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(8);
        while (got.size() < 2 && std::chrono::steady_clock::now() < deadline) {
            pollfd q{fd, POLLIN, 0};
            if (poll(&q, 1, 20) <= 0)
                continue;
            char buf[512];
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0)
                break;
            std::vector<TCopyData> fresh;
            reader.Feed(std::string(buf, static_cast<std::size_t>(n)), fresh);
            for (auto& m : fresh) {
                got.push_back(m);
                TLoopServer::Send(fd, std::string(1, CopyDataTaken));
            }
        }
        ::close(fd);
    });
    TPacketEnv e;
    e.takesSpots = e.queuesLines = true;
    e.listenName = QString::fromStdString(home.file("PACKET.SOCK"));
    e.spotLine = [this](const std::string& l) { spotLines.push_back(l); };
    auto w = std::make_unique<TPacketW>(std::move(e));
    w->show();
    {
        ScopedMessageRecorder rec;
        QTest::keyClicks(w->Memo1, "HELLO");
        QTest::keyClick(w->Memo1, Qt::Key_Return);
        EXPECT_TRUE(rec.texts().empty()) << rec.texts()[0];
    }
    other.join();
    ::close(listener);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].tag, CopyDataTag);
    EXPECT_EQ(got[0].data, std::string("HELLO\0", 6));
    EXPECT_EQ(got[1].data, std::string("\r\0", 2));

    // Text the other program sends is shown and offered to the spot list once.
    std::thread sender([&] {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un to{};
        to.sun_family = AF_UNIX;
        std::snprintf(to.sun_path, sizeof to.sun_path, "%s", home.file("PACKET.SOCK").c_str());
        if (::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0) {
            TLoopServer::Send(fd, EncodeCopyData(CopyDataTag, std::string("DX de W3LPL: 14025.0 VP8LP CW 1140Z\r\0", 37)));
            TLoopServer::ReceiveUntil(fd, std::string(1, CopyDataTaken), 3000);
        }
        ::close(fd);
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return Count(spotLines, "DX de W3LPL: 14025.0 VP8LP CW 1140Z") == 1; }, 5000));
    sender.join();
    QTest::qWait(20);
    EXPECT_EQ(Count(spotLines, "DX de W3LPL: 14025.0 VP8LP CW 1140Z"), 1u);

    // A program that is not there.
    Config.SetMessageHandshake("NoSuchLogger|Main window");
    ScopedMessageRecorder rec;
    w->SendText("X");
    w->SendText("Y");
    EXPECT_EQ(rec.texts(), (Lines{"-Target Application Window not found: \rClass: NOSUCHLOGGER\t, Title: MAIN WINDOW",
                                  "-Target Application Window not found: \rClass: NOSUCHLOGGER\t, Title: MAIN WINDOW"}));
}

TEST_F(PacketWindowTest, TalkLinesAreCollectedAndShownByTheTalkAction)
{
    SetPacketPort(10);
    Config.SetOwnCall("DL1ABC");
    Config.SetTalkAction(2);
    TClusterTerminals terminals({}, nullptr);
    terminals.CreatePacketWindow(0);
    TPutoutW* spots = terminals.SpotWindow();
    ASSERT_NE(spots, nullptr);
    for (const char* line : {"DX de W3LPL:     14025.0  VP8LP        CW up 2                        1140Z",
                             "DL1ABC de K1XYZ: are you QRV on 40?", "DL2XYZ de K1XYZ: not for us",
                             "To ALL de W1AW: QST", "WWV de VE7CC <18>:   SFI=150, A=5, K=1"})
        spots->AddPendingLine(line);
    terminals.AppIdle();
    ASSERT_NE(terminals.TalkWindow(), nullptr);
    EXPECT_EQ(terminals.TalkWindow()->Memo1->toPlainText(),
              QStringLiteral("DL1ABC de K1XYZ: are you QRV on 40?\nTo ALL de W1AW: QST\nWWV de VE7CC <18>:   SFI=150, A=5, K=1"));
    EXPECT_EQ(spots->List().spots().size(), 1u);

    // Action 0: nothing is tested, nothing is kept.
    Config.SetTalkAction(0);
    spots->ReadSettings();
    spots->AddPendingLine("To ALL de W1AW: second");
    terminals.AppIdle();
    EXPECT_EQ(terminals.Talk().Lines().size(), 3u);
}

TEST_F(PacketWindowTest, SpotWindowLivesWhileATerminalTakesSpots)
{
    SetPacketPort(10);
    TPortSettings rtty = Config.RttyPort();
    rtty.SetComPort(9);
    rtty.SetTakesSpots(true);
    Config.SetPortSettings(1, rtty);
    std::vector<int> codes;
    TClusterEnv env;
    env.postToMainForm = [&](int code) { codes.push_back(code); };
    TClusterTerminals terminals(env, nullptr);
    TPacketW* r = terminals.CreatePacketWindow(1);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->windowTitle(), QStringLiteral("RTTY (PopUp) (ALWAYS IN IMMEDIATE MODE)"));
    EXPECT_TRUE(terminals.HandlesSpots(1));
    EXPECT_EQ(r->SerialPort(), nullptr);
    ASSERT_EQ(r->TcpPort(), &terminals.IPPortRTTY);
    terminals.CreatePacketWindow(0);
    EXPECT_EQ(codes, std::vector<int>{6}) << "one spot window for both";

    terminals.FreePacketWindow(0);
    EXPECT_NE(terminals.SpotWindow(), nullptr) << "the RTTY terminal still takes spots";
    terminals.FreePacketWindow(1);
    EXPECT_EQ(terminals.SpotWindow(), nullptr);
    EXPECT_EQ(codes, (std::vector<int>{6, 5}));

    // An RTTY terminal on a serial line does not take spots: no spot window.
    rtty.SetComPort(10);
    Config.SetPortSettings(1, rtty);
    terminals.CreatePacketWindow(1);
    EXPECT_FALSE(terminals.HandlesSpots(1));
    EXPECT_EQ(terminals.SpotWindow(), nullptr);
}

TEST_F(PacketWindowTest, RefusedConnectionIsShownInTheTerminal)
{
    SetPacketPort(9);
    TApdWinsockPort tcp;
    tcp.SetDeviceLayer(dlWinsock);
    tcp.SetAutoOpen(false);
    auto w = Make(nullptr, &tcp);
    w->ConnectTo({"127.0.0.1", std::to_string(test::UnusedLoopbackPort()), ""});
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const Lines shown = Shown(*w);
        return std::find(shown.begin(), shown.end(), "Winsock error = 10061") != shown.end();
    }, 5000));
    w.reset();
}

TEST(ButtonFrame, LabelsFromTheMacrosAndTheCtrlSet)
{
    TFunctionKeys keys{};
    keys[0] = "CQ|CQ CQ DE %~";
    keys[1] = "NINELETTR";
    keys[8] = "Second|x";
    TFunctionKeySet set{"Test", [&] { return keys; }, [&](const TFunctionKeys& k) { keys = k; }};
    TButtonFrame bar(set);
    bar.resize(bar.sizeHint());
    EXPECT_EQ(bar.SectionNumber(1), QStringLiteral("1"));
    EXPECT_EQ(bar.SectionLabel(1), QStringLiteral("CQ"));
    EXPECT_EQ(bar.SectionLabel(2), QStringLiteral("NINELE"));
    const QFontMetrics fm(bar.font());
    EXPECT_EQ(bar.SectionRect(1).width(),
              std::max(fm.horizontalAdvance(QStringLiteral("Second")), fm.horizontalAdvance(QStringLiteral("CQ"))) + 8);

    int sent = 0;
    bar.OnSendMacro = [&](int index) { sent = index; };
    bar.SetShifted(Qt::ControlModifier);
    EXPECT_EQ(bar.SectionNumber(1), QStringLiteral("+1"));
    EXPECT_EQ(bar.SectionLabel(1), QStringLiteral("Second"));
    QTest::mouseClick(&bar, Qt::LeftButton, Qt::ControlModifier, bar.SectionRect(2).center());
    EXPECT_EQ(sent, 10);
    bar.SetShifted(Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(bar.SectionLabel(1), QStringLiteral("CQ")) << "only Ctrl alone shows the second set";

    int index = -1;
    EXPECT_TRUE(bar.KeyUp(Qt::Key_F8, Qt::ControlModifier, index));
    EXPECT_EQ(index, 16);
    EXPECT_TRUE(bar.KeyUp(Qt::Key_F2, Qt::ShiftModifier, index));
    EXPECT_EQ(index, 0);
    EXPECT_FALSE(bar.KeyUp(Qt::Key_F9, Qt::NoModifier, index));
}

TEST(ButtonFrame, EditorKeepsAChangeAcrossTheTwoSets)
{
    TFunctionKeys keys{};
    keys[2] = "Old|3";
    keys[10] = "Eleven|11";
    TPacketKeysDialog d("Packet", keys);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Packet function keys"));
    EXPECT_EQ(d.F_Key[2]->GetAsString(), "Old|3");
    d.F_Key[2]->SetAsString("New|3");
    d.Alternate->setChecked(true);
    EXPECT_EQ(d.F_Key[2]->GetAsString(), "Eleven|11");
    EXPECT_EQ(d.KeyLabel[0]->text(), QStringLiteral("11"));
    d.Alternate->setChecked(false);
    EXPECT_EQ(d.F_Key[2]->GetAsString(), "New|3");
    EXPECT_EQ(d.KeyLabel[7]->text(), QStringLiteral("8"));
    EXPECT_EQ(d.Keys()[2], "New|3");
    EXPECT_EQ(d.Keys()[10], "Eleven|11");
}

} // namespace
