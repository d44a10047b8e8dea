// Codes to exception classes and texts, and the trace dump's layout.
#include "comms/apd_com_port.h"
#include "comms/apd_errors.h"
#include "comms/apd_trace.h"
#include "tests/comms/comms_fixture.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <typeinfo>

using namespace korval;
using namespace korval::test;

namespace {

struct CodeCase {
    int code;
    const char* text; // nullptr: the system's text for systemError, in the desktop's language
    int errorCode;    // what the exception carries
    int systemError = 0;
};
class ErrorCheck : public ::testing::TestWithParam<CodeCase> {};

TEST_P(ErrorCheck, RaisesWithTheCodeAndText)
{
    const CodeCase& c = GetParam();
    const std::string text = c.text ? c.text : std::strerror(c.systemError);
    try {
        CheckException(c.code);
        FAIL() << "nothing raised for " << c.code;
    } catch (const EAPDException& e) {
        EXPECT_EQ(e.ErrorCode, c.errorCode);
        EXPECT_EQ(e.what(), text);
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode, c.errorCode);
        EXPECT_EQ(e.what(), text);
    }
}

INSTANTIATE_TEST_SUITE_P(Codes, ErrorCheck, ::testing::Values(
    CodeCase{-2011, "The ComNumber property of the TApdComPort has not been set", -2011},
    CodeCase{-2001, "ie_BadId - Specified comport doesn't exist", -2001},
    CodeCase{-3007, "Buffer is empty", -3007},
    CodeCase{-2, "File not found", 2},
    // Codes without a class keep their number (not 0) and their text.
    CodeCase{-1001, nullptr, -1001, 1001},
    CodeCase{-(kSystemErrorBase + EIO), nullptr, -(kSystemErrorBase + EIO), EIO}));

TEST(ErrorCheck, ClassesFollowTheCode)
{
    EXPECT_THROW(CheckException(-2011), ENoPortSelected);
    EXPECT_THROW(CheckException(-2011), EOpenComm);
    EXPECT_THROW(CheckException(-3006), EOutputBufferTooSmall);
    EXPECT_THROW(CheckException(-3006), ESerialIO);
    EXPECT_THROW(CheckException(-8), std::bad_alloc);
    EXPECT_THROW(CheckException(-13802), ETapi);
    try {
        CheckException(-1001);
    } catch (const EAPDException& e) {
        EXPECT_EQ(typeid(e), typeid(EAPDException));
    }
    EXPECT_NO_THROW(CheckException(0));
    EXPECT_NO_THROW(CheckException(17));
    EXPECT_EQ(ErrorText(10054), "The virtual circuit has been reset by the partner");
    EXPECT_EQ(ErrorText(WinsockErrorFromErrno(ECONNREFUSED)), "The attempt to connect was forcibly refused");
}

std::string Dump(const std::string& sent, const std::string& received, bool hex = true)
{
    TApdTrace trace;
    EXPECT_EQ(trace.SetState(tlOn, 10000, "", hex), 0);
    trace.Add('T', reinterpret_cast<const std::uint8_t*>(sent.data()), sent.size());
    trace.Add('R', reinterpret_cast<const std::uint8_t*>(received.data()), received.size());
    return trace.DumpText(hex);
}

TEST(TraceDump, RunsOfOneKindUnderTheirHeadings)
{
    EXPECT_EQ(Dump("AB\r\n", "OK"), "Transmit: \nAB[0D][0A]\n\nReceive: \nOK\n");
    EXPECT_EQ(Dump("a b\x01", "", false), "Transmit: \na b[1]\n");
    EXPECT_EQ(Dump("", std::string("x\xff ", 3)), "Receive: \nx[FF][20]\n");
}

TEST(TraceDump, LinesWrapBeforeColumn79)
{
    std::string text = Dump(std::string(100, 'x'), "");
    EXPECT_EQ(text, "Transmit: \n" + std::string(79, 'x') + "\n" + std::string(21, 'x') + "\n");
    // Four-column items: 19 fit (76), the 20th would pass 79.
    std::string hex = Dump(std::string(20, '\0'), "");
    std::string line;
    for (int i = 0; i < 19; ++i)
        line += "[00]";
    EXPECT_EQ(hex, "Transmit: \n" + line + "\n[00]\n");
}

TEST(TraceDump, TheRingKeepsTheNewestEntries)
{
    TApdTrace trace;
    trace.SetState(tlOn, 3, "", true);
    const std::uint8_t bytes[] = {'1', '2', '3', '4', '5'};
    trace.Add('T', bytes, 5);
    EXPECT_EQ(trace.DumpText(true), "Transmit: \n345\n");
    EXPECT_EQ(trace.SetState(tlOn, kMaxTraceSize + 1, "", true), ecBadArgument);
}

TEST(TraceDump, DumpWritesTheFileAndAnEmptyTraceWritesNothing)
{
    TempDir dir;
    TApdTrace trace;
    trace.SetState(tlOn, 100, "", true);
    trace.SetState(tlDump, 100, dir.file("empty.trc"), true);
    EXPECT_FALSE(std::filesystem::exists(dir.file("empty.trc")));
    trace.SetState(tlOn, 100, "", true);
    const std::uint8_t b[] = {'Z'};
    trace.Add('R', b, 1);
    trace.SetState(tlAppend, 100, dir.file("a.trc"), true);
    trace.SetState(tlOn, 100, "", true);
    trace.Add('R', b, 1);
    trace.SetState(tlAppend, 100, dir.file("a.trc"), true);
    EXPECT_EQ(ReadAll(dir.file("a.trc")), "Receive: \nZ\nReceive: \nZ\n");
    EXPECT_EQ(trace.State(), tlOff);
    trace.SetState(tlOn, 100, "", true);
    trace.Add('R', b, 1);
    EXPECT_THROW(trace.SetState(tlDump, 100, dir.file("no/such/folder.trc"), true), EInOutError);
}

class PortTraceTest : public PtyFixture {};

TEST_F(PortTraceTest, ClosingThePortDumpsItsTraceIntoTheHome)
{
    TApdComPort port;
    port.SetComNumber(3);
    port.SetTraceName("APD.TRC");
    port.SetTracing(tlOn);
    std::string got;
    port.OnTriggerAvail = [&](TApdCustomComPort& cp, std::uint16_t count) {
        for (unsigned i = 0; i < count; ++i)
            got += cp.GetChar();
    };
    port.SetOpen(true);
    port.PutString("AB\r\n");
    EXPECT_EQ(ReadMaster(4), "AB\r\n");
    WriteMaster("OK");
    queue.PumpUntil([&] { return got.size() >= 2; });
    port.SetOpen(false);
    EXPECT_EQ(ReadAll(home.file("APD.TRC")), "Transmit: \nAB[0D][0A]\n\nReceive: \nOK\n");
}

} // namespace
