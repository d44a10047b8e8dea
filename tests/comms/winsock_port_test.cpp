// The TCP port against a telnet server run inside the test on 127.0.0.1: telnet data and
// negotiation, escaping on the way out, the close of the peer, and connection failures.
#include "comms/apd_errors.h"
#include "comms/apd_winsock_port.h"
#include "comms/telnet_filter.h"
#include "tests/comms/comms_fixture.h"
#include "tests/loopback_server.h"

#include <arpa/inet.h>
#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <vector>

using namespace korval;
using namespace korval::test;

namespace {

// One connection served by `script` on a loopback port; the thread ends by itself.
class TLoopbackServer {
public:
    explicit TLoopbackServer(std::function<void(int fd)> script)
    {
        listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in sa {};
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof sa;
        EXPECT_EQ(::bind(listen_, reinterpret_cast<sockaddr*>(&sa), len), 0);
        EXPECT_EQ(::listen(listen_, 1), 0);
        getsockname(listen_, reinterpret_cast<sockaddr*>(&sa), &len);
        port = ntohs(sa.sin_port);
        thread_ = std::thread([this, script] {
            pollfd p {listen_, POLLIN, 0};
            if (poll(&p, 1, 5000) <= 0)
                return;
            int fd = ::accept(listen_, nullptr, nullptr);
            if (fd < 0)
                return;
            script(fd);
            ::close(fd);
        });
    }
    ~TLoopbackServer()
    {
        thread_.join();
        ::close(listen_);
    }
    std::uint16_t port = 0;

private:
    int listen_ = -1;
    std::thread thread_;
};

void Send(int fd, const std::string& bytes)
{
    ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

// Reads until `want` bytes came or the time is up.
std::string Receive(int fd, std::size_t want, int ms = 3000)
{
    std::string got;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (got.size() < want && std::chrono::steady_clock::now() < deadline) {
        pollfd p {fd, POLLIN, 0};
        if (poll(&p, 1, 20) > 0) {
            char buf[4096];
            ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0)
                break;
            got.append(buf, static_cast<std::size_t>(n));
        }
    }
    return got;
}

std::string Iac(std::uint8_t cmd, std::uint8_t option)
{
    return {char(tnIAC), char(cmd), char(option)};
}

class WinsockPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMainThreadQueue(&queue);
        port.SetDeviceLayer(dlWinsock);
        port.SetAutoOpen(false);
        port.SetWsAddress("127.0.0.1");
        port.OnTriggerAvail = [this](TApdCustomComPort& cp, std::uint16_t count) {
            for (unsigned i = 0; i < count; ++i)
                got += cp.GetChar();
        };
    }
    void TearDown() override
    {
        port.SetOpen(false);
        SetMainThreadQueue(nullptr);
    }
    void OpenOn(std::uint16_t number)
    {
        port.SetWsPort(std::to_string(number));
        port.SetOpen(true);
    }
    TTestQueue queue;
    TApdWinsockPort port;
    std::string got;
};

TEST_F(WinsockPortTest, DataAndCommandsSplitAcrossSegments)
{
    TLoopbackServer server([](int fd) {
        // Each piece is its own segment: commands cut in the middle must still be taken whole.
        for (const std::string& piece : {std::string("ab\xff"), std::string("\xff" "c\xff"), std::string("\xfd"),
                                         std::string("\x01" "d\r"), std::string(1, '\0'), std::string("e")}) {
            Send(fd, piece);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        Receive(fd, 3, 1000);
    });
    OpenOn(server.port);
    queue.PumpUntil([&] { return got.size() >= 7; });
    EXPECT_EQ(got, "ab\xff" "cd\re");
}

TEST_F(WinsockPortTest, TerminalTypeIsNegotiatedAndSent)
{
    std::string answers;
    std::atomic<bool> done{false};
    TLoopbackServer server([&](int fd) {
        Send(fd, std::string(1, char(tnIAC)));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        Send(fd, std::string{char(tnDO), char(toTerminalType)});
        std::string a = Receive(fd, 3);
        Send(fd, std::string{char(tnIAC), char(tnSB), char(toTerminalType), 1, char(tnIAC), char(tnSE)});
        answers = a + Receive(fd, 11);
        done = true;
    });
    OpenOn(server.port);
    queue.PumpUntil([&] { return done.load(); });
    const std::string want = Iac(tnWILL, toTerminalType) +
                             std::string{char(tnIAC), char(tnSB), char(toTerminalType), 0} + "vt100" +
                             std::string{char(tnIAC), char(tnSE)};
    EXPECT_EQ(answers, want);
}

TEST_F(WinsockPortTest, TheLogShowsTheNegotiationAndTheTerminalTypeSent)
{
    TempDir dir;
    std::atomic<bool> done{false};
    TLoopbackServer server([&](int fd) {
        Send(fd, Iac(tnDO, toTerminalType) + Iac(tnWILL, toEcho));
        Receive(fd, 6);
        Send(fd, std::string{char(tnIAC), char(tnSB), char(toTerminalType), 1, char(tnIAC), char(tnSE)} + "hi");
        Receive(fd, 11);
        done = true;
    });
    port.SetLogName(dir.file("telnet.log"));
    port.SetLogging(tlOn);
    OpenOn(server.port);
    queue.PumpUntil([&] { return done.load() && got == "hi"; });
    port.SetLogging(tlDump);
    std::string log = ReadAll(dir.file("telnet.log"));
    std::vector<std::string> telnet;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);)
        if (line.size() > 10 && line.compare(10, 6, "Telnet") == 0)
            telnet.push_back(line.substr(20));
    EXPECT_EQ(telnet, (std::vector<std::string>{
                          "Recv DO       00000018  Terminal Type",
                          "Sent WILL     00000018  Terminal Type",
                          "Recv WILL     00000001  Echo",
                          "Sent DO       00000001  Echo",
                          "Sent Term     00000018  vt100",
                      }));
}

TEST_F(WinsockPortTest, AServerThatAnswersEveryAnswerDoesNotLoop)
{
    std::atomic<std::size_t> fromClient{0};
    TLoopbackServer server([&](int fd) {
        Send(fd, Iac(tnDO, toTerminalType) + Iac(tnDO, toSuppressGoAhead) + Iac(tnWILL, toEcho) +
                     Iac(tnWILL, toSuppressGoAhead) + Iac(tnDO, 31) + Iac(tnWILL, 5));
        // A naive peer: every command it gets, it confirms with its own request.
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(600);
        std::string pending;
        while (std::chrono::steady_clock::now() < deadline) {
            pending += Receive(fd, 1, 50);
            while (pending.size() >= 3) {
                std::uint8_t cmd = std::uint8_t(pending[1]), option = std::uint8_t(pending[2]);
                fromClient += 3;
                pending.erase(0, 3);
                std::uint8_t mirror = cmd == tnWILL ? tnDO : cmd == tnWONT ? tnDONT : cmd == tnDO ? tnWILL : tnWONT;
                Send(fd, Iac(mirror, option));
            }
        }
    });
    OpenOn(server.port);
    queue.PumpFor(800);
    // Six requests, each answered once; the confirmations change nothing and get no answer.
    EXPECT_EQ(fromClient.load(), 18u);
    EXPECT_TRUE(got.empty());
}

TEST_F(WinsockPortTest, EveryLineArrivesBeforeThePortReportsClosed)
{
    std::string sent;
    for (int i = 0; i < 1000; ++i)
        sent += "DX de K1ABC: 14025.0 W1AW line " + std::to_string(i) + "\r\n";
    TLoopbackServer server([&](int fd) { Send(fd, sent); }); // and closes at once
    std::string atClose;
    port.OnPortClose = [&](TApdCustomComPort&) { atClose = got; };
    bool disconnected = false;
    port.OnWsDisconnect = [&](TApdWinsockPort&) { disconnected = true; };
    OpenOn(server.port);
    queue.PumpUntil([&] { return !port.Open(); }, 5000);
    EXPECT_FALSE(port.Open());
    EXPECT_TRUE(disconnected);
    EXPECT_EQ(atClose.size(), sent.size());
    EXPECT_TRUE(atClose == sent);
}

TEST_F(WinsockPortTest, EachConnectionIsReportedOnce)
{
    // The dispatch thread may complete the connection before the opening returns; it must
    // still be reported once (a second report made a web fetch send its request twice).
    for (int attempt = 0; attempt < 30; ++attempt) {
        std::atomic<bool> done{false};
        TLoopbackServer server([&](int fd) {
            Receive(fd, 1, 2000);
            done = true;
        });
        int connects = 0;
        port.OnWsConnect = [&](TApdWinsockPort& p) {
            if (++connects == 1)
                p.PutString("x");
        };
        OpenOn(server.port);
        queue.PumpUntil([&] { return done.load(); }, 4000);
        queue.PumpFor(20);
        port.SetOpen(false);
        ASSERT_EQ(connects, 1) << "attempt " << attempt;
    }
}

TEST_F(WinsockPortTest, APeersCloseWithAnUnwritableLogStillCloses)
{
    TempDir dir;
    TLoopbackServer server([](int fd) { Send(fd, "bye"); });
    port.SetLogName(dir.file("no/such/folder/telnet.log"));
    port.SetLogging(tlOn);
    OpenOn(server.port);
    // The close runs from the queue: a dump error must not escape from it.
    EXPECT_NO_THROW(queue.PumpUntil([&] { return !port.Open(); }));
    EXPECT_EQ(port.State(), csClosed);
    EXPECT_EQ(got, "bye");
}

TEST_F(WinsockPortTest, OutgoingBytesAreEscaped)
{
    std::string received;
    std::atomic<bool> done{false};
    TLoopbackServer server([&](int fd) {
        received = Receive(fd, 9);
        done = true;
    });
    OpenOn(server.port);
    port.PutString("a\xff" "b\rc\r\n");
    queue.PumpUntil([&] { return done.load(); }, 4000);
    EXPECT_EQ(received, std::string("a\xff\xff" "b\r\0c\r\n", 9));
}

TEST_F(WinsockPortTest, ARefusedConnectionGives10061)
{
    int code = 0;
    std::string text;
    port.OnWsError = [&](TApdWinsockPort&, int err) {
        code = err;
        text = ErrorText(err);
    };
    try {
        OpenOn(UnusedLoopbackPort());
        queue.PumpUntil([&] { return code != 0 && !port.Open(); });
    } catch (const EApdSocketException& e) {
        code = e.ErrorCode;
        text = e.what();
    }
    EXPECT_EQ(code, 10061);
    EXPECT_EQ(text, "The attempt to connect was forcibly refused");
    EXPECT_FALSE(port.Open());
}

TEST_F(WinsockPortTest, SettingsAreCheckedBeforeConnecting)
{
    TApdWinsockPort p;
    p.SetDeviceLayer(dlWinsock);
    try {
        p.SetOpen(true);
        FAIL();
    } catch (const EApdSocketException& e) {
        EXPECT_EQ(e.ErrorCode, 10039);
        EXPECT_STREQ(e.what(), "The destination address is required for this operation");
    }
    p.SetWsAddress("  127.0.0.1 ");
    EXPECT_EQ(p.WsAddress(), "127.0.0.1");
    p.SetWsPort("no-such-service");
    try {
        p.SetOpen(true);
        FAIL();
    } catch (const EApdSocketException& e) {
        EXPECT_EQ(e.ErrorCode, 9005);
        EXPECT_STREQ(e.what(), "Specified port is not valid");
    }
    EXPECT_EQ(TApdWinsockPort::ResolvePort("telnet"), 23);
    EXPECT_EQ(TApdWinsockPort::ResolvePort("7300"), 7300);
    EXPECT_EQ(TApdWinsockPort::ResolvePort("70000"), 0);
}

TEST_F(WinsockPortTest, ParametersCannotChangeWhileConnected)
{
    TLoopbackServer server([](int fd) { Receive(fd, 1, 300); });
    OpenOn(server.port);
    try {
        port.SetWsAddress("127.0.0.2");
        FAIL();
    } catch (const EApdSocketException& e) {
        EXPECT_EQ(e.ErrorCode, 9006);
        EXPECT_STREQ(e.what(), "Cannot change parameter while socket is connected");
    }
    EXPECT_EQ(port.WsAddress(), "127.0.0.1");
}


// A free loopback port number (the listening test port takes it next).
std::uint16_t FreePort()
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in sa {};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof sa;
    ::bind(fd, reinterpret_cast<sockaddr*>(&sa), len);
    getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len);
    ::close(fd);
    return ntohs(sa.sin_port);
}

// A client of the listening port: connects at once (the kernel completes it from the backlog).
int ConnectTo(std::uint16_t number)
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in sa {};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sa.sin_port = htons(number);
    EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa), 0);
    return fd;
}

TEST_F(WinsockPortTest, AServerTakesOneClientAtATimeAndListensAgain)
{
    port.SetWsMode(wsServer);
    port.SetTelnet(false);
    std::vector<std::string> asked;
    port.OnWsAccept = [&](TApdWinsockPort&, std::uint32_t address, bool& accept) {
        char text[INET_ADDRSTRLEN];
        in_addr a {address};
        asked.push_back(inet_ntop(AF_INET, &a, text, sizeof text));
        EXPECT_TRUE(accept);
    };
    int gone = 0;
    port.OnWsDisconnect = [&](TApdWinsockPort&) { ++gone; };
    const std::uint16_t number = FreePort();
    OpenOn(number);
    ASSERT_TRUE(port.Open());

    for (int round = 1; round <= 2; ++round) {
        got.clear();
        int client = ConnectTo(number);
        queue.PumpUntil([&] { return static_cast<int>(asked.size()) == round; });
        ASSERT_EQ(static_cast<int>(asked.size()), round);
        EXPECT_EQ(asked.back(), "127.0.0.1");
        Send(client, "hello " + std::to_string(round));
        queue.PumpUntil([&] { return got.size() >= 7; });
        EXPECT_EQ(got, "hello " + std::to_string(round));
        port.PutString("73");
        EXPECT_EQ(Receive(client, 2), "73");
        ::close(client);
        queue.PumpUntil([&] { return gone == round; });
        EXPECT_EQ(gone, round);
        EXPECT_TRUE(port.Open()) << "the port listens on for the next client";
    }
}

TEST_F(WinsockPortTest, AServerClosesAClientItRefuses)
{
    port.SetWsMode(wsServer);
    port.SetTelnet(false);
    port.OnWsAccept = [](TApdWinsockPort&, std::uint32_t, bool& accept) { accept = false; };
    const std::uint16_t number = FreePort();
    OpenOn(number);
    int client = ConnectTo(number);
    std::string answer;
    std::atomic<bool> closed{false};
    std::thread reader([&] {
        pollfd p {client, POLLIN, 0};
        char c;
        closed = poll(&p, 1, 3000) > 0 && ::recv(client, &c, 1, 0) == 0;
    });
    queue.PumpUntil([&] { return closed.load(); }, 3000);
    reader.join();
    EXPECT_TRUE(closed) << "the refused client sees its connection closed";
    EXPECT_TRUE(port.Open());
    ::close(client);
}

} // namespace
