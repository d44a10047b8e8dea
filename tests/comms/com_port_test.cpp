// The serial port over a pseudo-terminal pair: data in and out, notices, buffers, open and close,
// the errors of opening, and the line settings as the device reports them back.
#include "comms/apd_com_port.h"
#include "comms/apd_errors.h"
#include "comms/apd_win32_dispatcher.h"
#include "comms/serial_custom_baud.h"
#include "comms/serial_device.h"
#include "tests/comms/comms_fixture.h"

#include <gtest/gtest.h>
#include <atomic>
#include <random>
#include <mutex>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>

using namespace korval;
using namespace korval::test;

namespace {

class ComPortTest : public PtyFixture {
protected:
    void SetUp() override
    {
        PtyFixture::SetUp();
        port.SetComNumber(3);
    }
    termios MasterTermios()
    {
        termios t {};
        EXPECT_EQ(tcgetattr(master, &t), 0);
        return t;
    }
    speed_t Speed()
    {
        termios t = MasterTermios();
        return cfgetospeed(&t);
    }
    TApdComPort port;
};

std::string Pattern(std::size_t n)
{
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>((i * 7 + i / 251) % 256);
    return s;
}

TEST_F(ComPortTest, EveryByteArrivesOnceInOrderWhileTheHandlerReadsPartOfEachOffer)
{
    const std::string sent = Pattern(20000);
    std::string got;
    std::mt19937 rng(25);
    port.OnTriggerAvail = [&](TApdCustomComPort& cp, std::uint16_t count) {
        unsigned take = std::uniform_int_distribution<unsigned>(1, count)(rng);
        for (unsigned i = 0; i < take; ++i)
            got += cp.GetChar();
    };
    port.SetOpen(true);
    std::atomic<bool> peerDone{false};
    std::thread peer([&] {
        std::mt19937 prng(7);
        std::size_t at = 0;
        while (at < sent.size()) {
            std::size_t n = std::min<std::size_t>(sent.size() - at, std::uniform_int_distribution<int>(1, 900)(prng));
            ssize_t w = ::write(master, sent.data() + at, n);
            if (w > 0)
                at += static_cast<std::size_t>(w);
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
        peerDone = true;
    });
    // Bytes the handler leaves unread stay in the ring; once the peer is done, read them here.
    EXPECT_TRUE(queue.PumpUntil([&] { return peerDone && got.size() + port.InBuffUsed() >= sent.size(); }, 10000)) << got.size() << " " << port.InBuffUsed() << " " << peerDone;
    peer.join();
    while (port.InBuffUsed() > 0)
        got += port.GetChar();
    ASSERT_EQ(got.size(), sent.size());
    EXPECT_TRUE(got == sent) << "bytes lost, doubled or out of order";
}

TEST_F(ComPortTest, UnreadBytesGiveOneNoticeThenANewTotal)
{
    std::vector<unsigned> notices;
    port.OnTriggerAvail = [&](TApdCustomComPort&, std::uint16_t count) { notices.push_back(count); };
    port.SetOpen(true);
    WriteMaster("0123456789");
    queue.PumpUntil([&] { return !notices.empty(); });
    queue.PumpFor(150);
    EXPECT_EQ(notices, std::vector<unsigned>({10}));
    WriteMaster("abcde");
    queue.PumpUntil([&] { return notices.size() == 2; });
    queue.PumpFor(100);
    EXPECT_EQ(notices, std::vector<unsigned>({10, 15}));
    EXPECT_EQ(port.InBuffUsed(), 15u);
}

TEST_F(ComPortTest, MoreThanTheRingArrivesInOrder)
{
    const std::string sent = Pattern(3 * 8192 + 100);
    std::string got;
    port.OnTriggerAvail = [&](TApdCustomComPort& cp, std::uint16_t count) {
        for (unsigned i = 0; i < count; ++i)
            got += cp.GetChar();
    };
    port.SetOpen(true);
    std::thread peer([&] { ASSERT_EQ(::write(master, sent.data(), sent.size()), ssize_t(sent.size())); });
    queue.PumpUntil([&] { return got.size() >= sent.size(); }, 10000);
    peer.join();
    EXPECT_TRUE(got == sent);
}

TEST_F(ComPortTest, InputGoesOnAfterAReadThatEndsExactlyAtTheRingsEnd)
{
    std::string got;
    port.OnTriggerAvail = [&](TApdCustomComPort& cp, std::uint16_t count) {
        for (unsigned i = 0; i < count; ++i)
            got += cp.GetChar();
    };
    port.SetOpen(true);
    for (std::size_t n : {std::size_t(8192 - 100), std::size_t(100), std::size_t(3)}) {
        std::size_t before = got.size();
        WriteMaster(std::string(n, 'z'));
        queue.PumpUntil([&] { return got.size() >= before + n; });
        ASSERT_EQ(got.size(), before + n);
    }
}

TEST_F(ComPortTest, BytesPassRawBothWays)
{
    const std::string in("A\r\nB\0C\rD\x13\xff", 10);
    std::string got;
    port.OnTriggerAvail = [&](TApdCustomComPort& cp, std::uint16_t count) {
        for (unsigned i = 0; i < count; ++i)
            got += cp.GetChar();
    };
    port.SetOpen(true);
    WriteMaster(in);
    queue.PumpUntil([&] { return got.size() >= in.size(); });
    EXPECT_EQ(got, in);
    const std::string out("x\r\n\0y\n", 6);
    port.PutString(out);
    EXPECT_EQ(ReadMaster(out.size()), out);
}

TEST_F(ComPortTest, FillingTheFreeOutputSpaceExactlySucceedsAndOneMoreByteFails)
{
    port.SetSWFlowOptions(swfTransmit);
    port.SetOpen(true);
    WriteMaster("\x13"); // XOFF: the device stops sending, so the buffer keeps what it gets
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const unsigned free = port.OutBuffFree();
    ASSERT_EQ(free, 4096u);
    const std::string block = Pattern(free);
    port.PutBlock(block.data(), block.size());
    EXPECT_EQ(port.OutBuffFree(), 0u);
    try {
        port.PutChar('!');
        FAIL() << "no exception";
    } catch (const EOutputBufferTooSmall& e) {
        EXPECT_EQ(e.ErrorCode, -3006);
        EXPECT_STREQ(e.what(), "Output buffer too small for block");
    }
    WriteMaster("\x11"); // XON
    EXPECT_TRUE(ReadMaster(block.size()) == block);
}

TEST_F(ComPortTest, ClosingInsideTheHandlerAndReopeningWorks)
{
    int notices = 0;
    std::string got;
    port.OnTriggerAvail = [&](TApdCustomComPort& cp, std::uint16_t count) {
        ++notices;
        for (unsigned i = 0; i < count; ++i)
            got += cp.GetChar();
        if (notices == 1) {
            cp.SetOpen(false);
            EXPECT_EQ(cp.State(), csShuttingDown);
            EXPECT_EQ(cp.GetChar(), '\0');
            EXPECT_THROW(cp.PutChar('x'), ECommNotOpen);
            cp.SetOpen(true);
        }
    };
    port.SetOpen(true);
    WriteMaster("first");
    queue.PumpUntil([&] { return port.State() == csOpen && notices == 1; });
    ASSERT_EQ(port.State(), csOpen);
    EXPECT_TRUE(port.Open());
    WriteMaster("second");
    queue.PumpUntil([&] { return got.size() >= 11; });
    EXPECT_EQ(got, "firstsecond");
}

TEST_F(ComPortTest, OpeningTwiceOpensOnceAndClosingAClosedPortOnlyClearsTheFlag)
{
    int opens = 0;
    port.OnPortOpen = [&](TApdCustomComPort&) { ++opens; };
    port.SetOpen(true);
    port.SetOpen(true);
    EXPECT_EQ(opens, 1);
    port.SetOpen(false);
    port.SetOpen(false);
    EXPECT_EQ(port.State(), csClosed);
    EXPECT_EQ(port.OutBuffFree(), 4096u);
    port.SetAutoOpen(false);
    EXPECT_THROW(port.GetChar(), ECommNotOpen);
    port.SetAutoOpen(true);
    EXPECT_THROW(port.GetChar(), EBufferIsEmpty); // opened by the first use
    EXPECT_EQ(port.State(), csOpen);
}

TEST_F(ComPortTest, OpenFailuresRaiseTheirClassesAndTexts)
{
    port.SetComNumber(7);
    try {
        port.SetOpen(true);
        FAIL();
    } catch (const EBadId& e) {
        EXPECT_EQ(e.ErrorCode, -2001);
        EXPECT_STREQ(e.what(), "ie_BadId - Specified comport doesn't exist");
    }
    port.SetComNumber(3);
    port.SetOpen(true);
    TApdComPort second;
    second.SetComNumber(3);
    try {
        second.SetOpen(true);
        FAIL();
    } catch (const EAlreadyOpen& e) {
        EXPECT_EQ(e.ErrorCode, -2008);
        EXPECT_STREQ(e.what(), "ie_Open - device already open");
    }
    EXPECT_FALSE(second.Open());
    TApdComPort unset;
    unset.SetPromptForPort(false);
    try {
        unset.SetOpen(true);
        FAIL();
    } catch (const ENoPortSelected& e) {
        EXPECT_EQ(e.ErrorCode, -2011);
        EXPECT_STREQ(e.what(), "The ComNumber property of the TApdComPort has not been set");
    }
    // Asked and refused, the same; asked and answered, the answer is used.
    TApdCustomComPort::SetPortPrompt([](int&) { return false; });
    unset.SetPromptForPort(true);
    EXPECT_THROW(unset.SetOpen(true), ENoPortSelected);
    port.SetOpen(false);
    TApdCustomComPort::SetPortPrompt([](int& n) { n = 3; return true; });
    unset.SetOpen(true);
    EXPECT_EQ(unset.ComNumber(), 3);
    EXPECT_TRUE(unset.Open());
    TApdCustomComPort::SetPortPrompt(nullptr);
}

struct LineCase {
    TParity parity;
    int dataBits, stopBits;
    tcflag_t expect; // CSIZE, PARENB, PARODD, CMSPAR and CSTOPB bits
};
class LineSettingsTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineSettingsTest, TheFrameGoesIntoTheTermiosRecord)
{
    // A pseudo-terminal keeps only CS8 without parity, so the record is checked before it goes.
    const LineCase& c = GetParam();
    termios t {};
    EXPECT_EQ(TSerialDevice::ApplyLine(t, {9600, c.parity, c.dataBits, c.stopBits}), 0);
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB), c.expect);
}

INSTANTIATE_TEST_SUITE_P(ParityAndFrames, LineSettingsTest, ::testing::Values(
    LineCase{pNone, 8, 1, CS8},
    LineCase{pOdd, 7, 1, CS7 | PARENB | PARODD},
    LineCase{pEven, 7, 2, CS7 | PARENB | CSTOPB},
    LineCase{pMark, 8, 1, CS8 | PARENB | PARODD | CMSPAR},
    LineCase{pSpace, 6, 1, CS6 | PARENB | CMSPAR},
    LineCase{pNone, 5, 1, CS5 | CSTOPB})); // five data bits: one and a half stop bits

TEST_F(ComPortTest, TheDeviceIsRawWithTheStopBitsAndParityKind)
{
    port.SetParity(pMark);
    port.SetStopBits(2);
    port.SetOpen(true);
    termios t = MasterTermios();
    EXPECT_EQ(t.c_cflag & (CMSPAR | PARODD | CSTOPB), tcflag_t(CMSPAR | PARODD | CSTOPB));
    EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | IXON | IXOFF | INPCK | PARMRK), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_cc[VMIN], 0);
}

TEST(LineSettings, ImpossibleFramesAreRefused)
{
    termios t {};
    EXPECT_EQ(TSerialDevice::ApplyLine(t, {9600, pNone, 9, 1}), ecByteSize);
    EXPECT_EQ(TSerialDevice::ApplyLine(t, {0, pNone, 8, 1}), ecBaudRate);
    EXPECT_EQ(TSerialDevice::ApplyLine(t, {250000, pNone, 8, 1}), 1);
}

TEST_F(ComPortTest, BaudTakesEffectAtOpenAndAtOnceWhileOpen)
{
    port.SetBaud(4800);
    EXPECT_EQ(port.Baud(), 4800);
    port.SetOpen(true);
    EXPECT_EQ(Speed(), B4800);
    port.SetBaud(57600);
    EXPECT_EQ(Speed(), B57600);
    port.SetBaud(250000); // not in the standard table
    int baud = 0;
    ASSERT_TRUE(GetDeviceBaud(master, baud));
    EXPECT_EQ(baud, 250000);
}

TEST_F(ComPortTest, SoftwareAndHardwareFlowReachTheDevice)
{
    port.SetOpen(true);
    port.SetSWFlowOptions(swfBoth);
    port.SetXOnChar('Q');
    termios t = MasterTermios();
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), tcflag_t(IXON | IXOFF));
    EXPECT_EQ(t.c_cc[VSTART], 'Q');
    EXPECT_EQ(t.c_cc[VSTOP], 19);
    port.SetSWFlowOptions(swfNone);
    port.SetHWFlowOptions(hwfUseRTS | hwfRequireCTS);
    t = MasterTermios();
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_NE(t.c_cflag & CRTSCTS, 0u);
    // RTS is the flow's now; the operator's setting is kept for later.
    port.SetRTS(false);
    EXPECT_TRUE(port.RTS());
    port.SetDTR(false); // a pseudo-terminal has no modem lines: accepted
    EXPECT_FALSE(port.DTR());
}

// A serial dispatcher on the pseudo-terminal whose modem lines the test plays: a pseudo-terminal
// has none of its own.
class TPlayedLinesDispatcher : public TApdWin32Dispatcher {
public:
    ~TPlayedLinesDispatcher() override { DonePort(); }
    std::atomic<int> lines{TIOCM_DSR};
    std::vector<bool> Dtr()
    {
        std::lock_guard<std::mutex> g(lock_);
        return dtr_;
    }

protected:
    bool ModemLines(int& bits) override
    {
        bits = lines;
        return true;
    }
    void DriveDTR(bool on) override
    {
        std::lock_guard<std::mutex> g(lock_);
        dtr_.push_back(on);
    }

private:
    std::mutex lock_;
    std::vector<bool> dtr_;
};

TEST_F(ComPortTest, DtrDsrHandshakeHoldsThePeerAndWaitsForDsr)
{
    auto d = std::make_shared<TPlayedLinesDispatcher>();
    ASSERT_EQ(d->InitPort(slavePath, TLineSettings{}, 1000, 1000, true, true), 0);
    ASSERT_EQ(d->SetHWFlowOptions(900, 100, hfUseDTR | hfRequireDSR), 0);
    auto lastDtr = [&](bool want) {
        return queue.PumpUntil([&] {
            auto v = d->Dtr();
            return !v.empty() && v.back() == want;
        }, 2000);
    };
    // The input reaching the full mark drops DTR; read down to the resume mark, it rises again.
    WriteMaster(Pattern(950));
    EXPECT_TRUE(lastDtr(false)) << "DTR dropped at " << d->InBuffUsed() << " bytes";
    for (int i = 0; i < 849; ++i)
        d->GetChar();
    queue.PumpFor(150);
    EXPECT_EQ(d->Dtr().size(), 1u) << "still above the resume mark";
    d->GetChar();
    EXPECT_TRUE(lastDtr(true));
    // Output waits while DSR is low.
    d->lines = 0;
    const std::string text = "CQ CQ";
    ASSERT_EQ(d->PutBlock(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), 0);
    EXPECT_EQ(ReadMaster(text.size(), 300), "");
    d->lines = TIOCM_DSR;
    EXPECT_EQ(ReadMaster(text.size()), text);
}

struct FlowMarkCase {
    THWFlowOptions hw;
    TSWFlowOptions sw;
    unsigned inSize, full, resume, wantFull, wantResume;
};
class FlowMarks : public ::testing::TestWithParam<FlowMarkCase> {};

TEST_P(FlowMarks, ThresholdsFollowTheInputSize)
{
    const FlowMarkCase& c = GetParam();
    TApdComPort p;
    p.SetInSize(c.inSize);
    p.SetBufferFull(c.full);
    p.SetBufferResume(c.resume);
    if (c.hw)
        p.SetHWFlowOptions(c.hw);
    else
        p.SetSWFlowOptions(c.sw);
    EXPECT_EQ(p.BufferFull(), c.wantFull);
    EXPECT_EQ(p.BufferResume(), c.wantResume);
}

INSTANTIATE_TEST_SUITE_P(Marks, FlowMarks, ::testing::Values(
    FlowMarkCase{hwfUseRTS, swfNone, 4096, 0, 0, 3686, 409},
    FlowMarkCase{0, swfBoth, 4096, 0, 0, 3072, 1024},
    FlowMarkCase{hwfUseDTR, swfNone, 4096, 2000, 100, 2000, 100},
    FlowMarkCase{hwfUseRTS, swfNone, 1000, 5000, 0, 900, 100}));

} // namespace
