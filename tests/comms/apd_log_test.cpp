// The port's event log: the ring of entries, the dump's layout, and what an open port logs.
#include "comms/apd_com_port.h"
#include "comms/apd_errors.h"
#include "comms/apd_log.h"
#include "tests/comms/comms_fixture.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <vector>

using namespace korval;
using namespace korval::test;

namespace {

constexpr std::size_t kBannerLines = 5;

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The entry lines of a dump, after the banner and headings.
std::vector<std::string> Entries(const std::string& dump)
{
    std::vector<std::string> lines = Lines(dump);
    if (lines.size() < kBannerLines)
        return {};
    return {lines.begin() + kBannerLines, lines.end()};
}

const std::uint8_t* Bytes(const std::string& s)
{
    return reinterpret_cast<const std::uint8_t*>(s.data());
}

TEST(LogDump, BannerHeadingsAndOneLinePerEntry)
{
    TApdLog log;
    ASSERT_EQ(log.SetState(tlOn, 10000, "", true), 0);
    const std::string crlf = "OK\r\n";
    log.AddAt(1234, dtDispatch, dstReadCom, 4, Bytes(crlf), crlf.size());
    log.AddAt(0, dtTriggerHandlerAlloc, dstWndHandler, 0);
    log.AddAt(61000, dtTelnet, dstDoRecv, 24);
    log.AddAt(61001, dtTelnet, dstWillSent, 3);
    log.AddAt(61002, dtTelnet, dstDontRecv, 200);
    log.AddAt(12345678, dtTrigger, dstStatus, 0x0103);
    log.AddAt(5, dtTrigger, dstAvail, 10);

    std::vector<std::string> lines = Lines(log.DumpText(true));
    ASSERT_EQ(lines.size(), kBannerLines + 7);
    EXPECT_EQ(lines[0], "QRVX v2.58");
    EXPECT_EQ(lines[1].rfind("Compiler : ", 0), 0u);
    EXPECT_GT(lines[1].size(), std::string("Compiler : ").size());
    EXPECT_TRUE(std::regex_match(lines[2], std::regex("Operating System : \\S+ \\d+\\.\\d+ .*"))) << lines[2];
    EXPECT_EQ(lines[3], "Time      Type      SubType       Data      OtherData");
    EXPECT_EQ(lines[4], "--------  --------  ------------  --------  ---------");
    EXPECT_EQ(lines[5], "0001.234  Dispatch  ReadCom       00000004  OK[0D][0A]");
    EXPECT_EQ(lines[6], "0000.000  TrgHdAlc  Window        00000000  ");
    EXPECT_EQ(lines[7], "0061.000  Telnet    Recv DO       00000018  Terminal Type");
    EXPECT_EQ(lines[8], "0061.001  Telnet    Sent WILL     00000003  Supress Go Ahead");
    EXPECT_EQ(lines[9], "0061.002  Telnet    Recv DON'T    000000c8  Option 200");
    // The kind of a status trigger is the low three bits of its handle.
    EXPECT_EQ(lines[10], "12345.678  Trigger   Status        00000103  (Output buffer free)");
    EXPECT_EQ(lines[11], "0000.005  Trigger   Avail         0000000a  ");

    // Without hex, control bytes are decimal and the space is a character.
    TApdLog plain;
    plain.SetState(tlOn, 100, "", false);
    const std::string spaced = "a b\x01";
    plain.AddAt(0, dtDispatch, dstWriteCom, 4, Bytes(spaced), spaced.size());
    EXPECT_EQ(Entries(plain.DumpText(false)),
              std::vector<std::string>{"0000.000  Dispatch  WriteCom      00000004  a b[1]"});
}

TEST(LogDump, TheRingDropsTheOldestEntriesAndRefusesOneLargerThanItself)
{
    TApdLog log;
    // Entries take 14 bytes plus what they carry: two of 24 bytes fill 48 of 50.
    ASSERT_EQ(log.SetState(tlOn, 50, "", true), 0);
    const std::string ten = "0123456789";
    log.AddAt(1, dtDispatch, dstReadCom, 1, Bytes(ten), 10);
    log.AddAt(2, dtDispatch, dstReadCom, 2, Bytes(ten), 10);
    log.AddAt(3, dtDispatch, dstWriteCom, 3, Bytes(ten), 2);
    std::vector<std::string> kept = Entries(log.DumpText(true));
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0], "0000.002  Dispatch  ReadCom       00000002  0123456789");
    EXPECT_EQ(kept[1], "0000.003  Dispatch  WriteCom      00000003  01");

    // 14 + 37 = 51 bytes can never fit: dropped, and nothing older is lost for it.
    const std::string big(37, 'x');
    log.AddAt(4, dtDispatch, dstReadCom, 37, Bytes(big), big.size());
    EXPECT_EQ(Entries(log.DumpText(true)), kept);

    // Wrapping around the ring's end many times keeps the entries whole.
    for (std::uint32_t i = 0; i < 100; ++i)
        log.AddAt(i, dtDispatch, dstReadCom, i, Bytes(ten), i % 11);
    kept = Entries(log.DumpText(true));
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(kept.back(), "0000.099  Dispatch  ReadCom       00000063  ");

    EXPECT_EQ(log.SetState(tlOn, 0, "", true), ecBadArgument);
    EXPECT_EQ(log.SetState(tlOn, kMaxLogSize + 1, "", true), ecBadArgument);
    EXPECT_EQ(log.SetState(tlOn, kMaxLogSize, "", true), 0);
}

TEST(LogDump, PausedEntriesAreNotKeptAndAppendAddsToTheFile)
{
    TempDir dir;
    const std::string file = dir.file("port.log");
    TApdLog log;
    log.SetState(tlOn, 1000, "", true);
    log.AddAt(1, dtTrigger, dstAvail, 1);
    log.SetState(tlPause, 1000, "", true);
    log.AddAt(2, dtTrigger, dstAvail, 2);
    log.SetState(tlOn, 1000, "", true); // resumes, keeping what was there
    log.AddAt(3, dtTrigger, dstAvail, 3);
    log.SetState(tlDump, 1000, file, true);
    EXPECT_EQ(log.State(), tlOff);
    std::vector<std::string> first = Entries(ReadAll(file));
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[1], "0000.003  Trigger   Avail         00000003  ");

    log.SetState(tlOn, 1000, "", true);
    log.AddAt(4, dtTrigger, dstAvail, 4);
    log.SetState(tlAppend, 1000, file, true);
    std::vector<std::string> both = Lines(ReadAll(file));
    EXPECT_EQ(both.size(), 2 * kBannerLines + 3);
    EXPECT_EQ(both.back(), "0000.004  Trigger   Avail         00000004  ");

    // Nothing recorded: the file stays as it was.
    log.SetState(tlOn, 1000, "", true);
    log.SetState(tlDump, 1000, file, true);
    EXPECT_EQ(Lines(ReadAll(file)).size(), 2 * kBannerLines + 3);
}

class PortLogTest : public PtyFixture {
protected:
    void SetUp() override
    {
        PtyFixture::SetUp();
        port.SetComNumber(3);
        port.OnTriggerAvail = [this](TApdCustomComPort& cp, std::uint16_t count) {
            for (unsigned i = 0; i < count; ++i)
                got += cp.GetChar();
        };
    }
    // The entries of a dump without their time column.
    static std::vector<std::string> Events(const std::string& dump)
    {
        std::vector<std::string> events;
        for (const std::string& line : Entries(dump)) {
            EXPECT_TRUE(std::regex_match(line.substr(0, 10), std::regex("\\d{4}\\.\\d{3}  "))) << line;
            events.push_back(line.substr(10));
        }
        return events;
    }
    TApdComPort port;
    std::string got;
};

TEST_F(PortLogTest, ClosingDumpsTheDispatchersEventsIntoTheHome)
{
    EXPECT_EQ(port.LogName(), "QRVX.LOG");
    EXPECT_EQ(port.LogSize(), 10000u);
    EXPECT_TRUE(port.LogHex());
    port.SetLogName("APD.LOG");
    port.SetLogging(tlOn);
    port.SetOpen(true);
    port.PutString("AT\r");
    EXPECT_EQ(ReadMaster(3), "AT\r");
    WriteMaster("K");
    ASSERT_TRUE(queue.PumpUntil([&] { return got == "K"; }));
    port.SetOpen(false);
    EXPECT_EQ(port.Logging(), tlOff);
    EXPECT_EQ(Events(ReadAll(home.file("APD.LOG"))), (std::vector<std::string>{
                                                         "TrDatChg  Avail         00000001  ",
                                                         "TrgHdAlc  Window        00000000  ",
                                                         "Dispatch  WriteCom      00000003  AT[0D]",
                                                         "Dispatch  ReadCom       00000001  K",
                                                         "Trigger   Avail         00000001  ",
                                                     }));
}

TEST_F(PortLogTest, DumpOnDemandStopsAndAPausedLogIsStillDumpedAtClose)
{
    port.SetLogName("demand.log");
    port.SetLogging(tlOn);
    port.SetOpen(true);
    port.SetLogging(tlDump);
    EXPECT_EQ(port.Logging(), tlOff);
    EXPECT_EQ(Events(ReadAll(home.file("demand.log"))).size(), 2u);

    port.SetLogName("paused.log");
    port.SetLogging(tlOn);
    port.PutChar('x');
    port.SetLogging(tlPause);
    port.PutChar('y');
    port.SetOpen(false);
    EXPECT_EQ(Events(ReadAll(home.file("paused.log"))),
              std::vector<std::string>{"Dispatch  WriteCom      00000001  x"});

    // Paused before the open: started at the open, but nothing is kept.
    port.SetLogName("before.log");
    port.SetLogging(tlPause);
    port.SetOpen(true);
    EXPECT_EQ(port.Logging(), tlPause);
    port.PutChar('z');
    port.SetOpen(false);
    EXPECT_FALSE(std::filesystem::exists(home.file("before.log")));
}

TEST_F(PortLogTest, AnUnwritableDumpStillClosesThePortAndIsRaised)
{
    port.SetLogName(home.file("no/such/folder/port.log"));
    port.SetTraceName("port.trc");
    port.SetLogging(tlOn);
    port.SetTracing(tlOn);
    port.SetOpen(true);
    port.PutChar('a');
    EXPECT_THROW(port.SetOpen(false), EInOutError);
    EXPECT_EQ(port.State(), csClosed);
    EXPECT_FALSE(port.Open());
    // The other dump was written all the same, and the port opens again.
    EXPECT_EQ(ReadAll(home.file("port.trc")), "Transmit: \na\n");
    port.SetOpen(true);
    EXPECT_EQ(port.State(), csOpen);

    // A port destroyed while open cannot raise: it closes quietly.
    {
        TApdComPort doomed;
        doomed.SetComNumber(3);
        doomed.SetLogName(home.file("no/such/folder/doomed.log"));
        doomed.SetLogging(tlOn);
        port.SetOpen(false);
        doomed.SetOpen(true);
        doomed.PutChar('b');
    }

    // A size out of range fails the open and leaves the port closed.
    port.SetLogSize(kMaxLogSize + 1);
    port.SetLogging(tlOn);
    EXPECT_THROW(port.SetOpen(true), EBadArgument);
    EXPECT_EQ(port.State(), csClosed);
}

} // namespace
