// The report stream player: the two-page fixture played onto the recording printer, page
// order and selections, orientation changes between pages, stream versions, and the refusal
// of every damaged or cut stream.
#include <gtest/gtest.h>

#include <sstream>

#include "reporting/file_printer.h"
#include "test_support.h"
#include "tests/reporting/stream_fixture.h"

using namespace korval;
using namespace korval::test;

namespace {

std::string fixtureFile()
{
    return std::string(KORVAL_TEST_DATA) + "/two_pages.stream";
}

// Catches what the engine shows the operator.
struct MessageRecorder {
    std::vector<std::string> shown;
    TReportMessageHandler previous;
    MessageRecorder()
    {
        previous = SetReportMessageHandler([this](const std::string& t) { shown.push_back(t); });
    }
    ~MessageRecorder() { SetReportMessageHandler(previous); }
};

// A player on a fresh recording printer, reading the bytes given.
struct TPlayerRig {
    TFakePrinter printer;
    std::istringstream stream;
    TFilePrinter player{*printer.Device};

    explicit TPlayerRig(const std::string& bytes) : stream(bytes)
    {
        player.StreamMode = smUser;
        player.Stream = &stream;
    }
    const std::vector<std::string>& calls() const { return printer.System->Rec->Calls; }
    // The texts drawn, in order.
    std::vector<std::string> texts() const
    {
        std::vector<std::string> out;
        for (const auto& c : calls())
            if (c.rfind("TextOut ", 0) == 0)
                out.push_back(c.substr(c.find(' ', c.find(' ', 8) + 1) + 1));
        return out;
    }
};

// A stream of `pages` pages, each printing "Page n"; page 2 switches to landscape after its text
// when asked.
std::string pagesStream(int pages, bool landscapeFromPage2 = false)
{
    TFakePrinter printer;
    TReportFiler filer(*printer.Device);
    filer.BeginDoc();
    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            filer.NewPage();
        filer.PrintLeftInch("Page" + std::to_string(page), 1.0);
        if (page == 2 && landscapeFromPage2) {
            filer.SetOrientation(poLandScape);
            filer.PrintLeftInch("Still" + std::to_string(page), 1.0);
        }
    }
    filer.EndDoc();
    return filer.MemoryData();
}

// A stream of one page in the given header form, whose page holds ops.
std::string handBuilt(char code, int version, const std::function<void(TByteBuilder&)>& ops)
{
    TByteBuilder b;
    b.u8(code);
    if (code == 'Z')
        b.u16(version);
    auto str = [&](const std::string& s) {
        b.u8(int(s.size()));
        b.bytes += s;
    };
    if (version >= 2010)
        str("T");
    b.u16(1);
    b.u16(1);
    b.u16(9999);
    for (int i = 0; i < 6; ++i)
        b.f32(i < 2 ? 8.5f : 0.0f);
    b.u8(0);
    if (version >= 2000) {
        b.u16(7);
        b.u8(0);
        b.u8(0);
    }
    b.u16(1);
    b.u16(1);
    b.u16(0);
    b.u16(0);
    str("");
    b.u8('P');
    b.i32(0);
    b.i32(0);
    b.u16(1);
    if (version >= 2000) {
        b.f32(8.5f);
        b.f32(11.0f);
    } else {
        b.u8(0);
    }
    ops(b);
    b.u8(82);
    return b.bytes;
}

} // namespace

TEST(FilePrinter, FixturePlaysBackOntoThePrinter)
{
    TPlayerRig rig(ReadAll(fixtureFile()));
    EXPECT_EQ(rig.player.PageCount(), 2);
    EXPECT_EQ(rig.player.StreamTitle(), "Log");
    rig.player.Execute();
    const std::vector<std::string> expected = {
        "StartDoc Log",
        "StartPage",
        // Line 1 of a page without margins, 1 inch in; the printer's strips are 1/4 inch.
        "TextOut 225 -33 " + std::string(192, 'x'),
        "StretchGraphic",
        "EndPage",
        "StartPage",
        "StretchGraphic",
        // The placeholder becomes the value the stream set later.
        "TextOut 225 -33 2",
        "EndPage",
        "EndDoc",
    };
    EXPECT_EQ(rig.calls(), expected);
    EXPECT_EQ(rig.player.GetNamedString("pages"), "2");
    EXPECT_FALSE(rig.player.Printing());
}

TEST(FilePrinter, FileModeReadsTheStreamFromItsFile)
{
    TFakePrinter printer;
    TFilePrinter player(*printer.Device);
    player.StreamMode = smFile;
    player.FileName = fixtureFile();
    player.Execute();
    EXPECT_EQ(printer.System->Rec->Count("StartPage"), 2);

    MessageRecorder messages;
    player.FileName = "/nonexistent/x.stream";
    player.Execute();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], "Error initializing input stream \"/nonexistent/x.stream\"");
}

struct OrderCase {
    std::string selection;
    std::vector<std::string> texts;
};
class PageOrderTable : public ::testing::TestWithParam<OrderCase> {};
TEST_P(PageOrderTable, SelectionPlaysPagesInOrder)
{
    TPlayerRig rig(pagesStream(4));
    rig.player.SelectionText = GetParam().selection;
    rig.player.Execute();
    EXPECT_EQ(rig.texts(), GetParam().texts) << GetParam().selection;
    EXPECT_EQ(rig.printer.System->Rec->Count("StartPage"), int(GetParam().texts.size()));
}
INSTANTIATE_TEST_SUITE_P(Selections, PageOrderTable, ::testing::Values(
    OrderCase{"", {"Page1", "Page2", "Page3", "Page4"}},
    OrderCase{"1-3,R", {"Page3", "Page2", "Page1"}},
    OrderCase{"r,1-3", {"Page3", "Page2", "Page1"}},
    OrderCase{"R", {}},
    OrderCase{"even", {"Page2", "Page4"}}));

TEST(FilePrinter, RangeAndCopiesOfARun)
{
    TPlayerRig rig(pagesStream(4));
    rig.player.PrintRange(2, 3, 0);
    EXPECT_EQ(rig.texts(), (std::vector<std::string>{"Page2", "Page3"}));
    rig.printer.System->Rec->Calls.clear();
    rig.player.PrintRange(3, 99, 0);  // a last page beyond the count is the count
    EXPECT_EQ(rig.texts(), (std::vector<std::string>{"Page3", "Page4"}));
}

TEST(FilePrinter, OrientationChangesFromTheNextPage)
{
    TPlayerRig rig(pagesStream(3, true));
    rig.player.Execute();
    const auto& calls = rig.calls();
    auto at = [&](const std::string& call) {
        return std::find(calls.begin(), calls.end(), call) - calls.begin();
    };
    const auto reset = at("ResetDC orientation 2");
    ASSERT_LT(reset, std::ptrdiff_t(calls.size()));
    // The rest of page 2 still prints upright; page 3 starts on the turned page.
    EXPECT_GT(reset, std::find_if(calls.begin(), calls.end(), [](const std::string& c) {
                         return c.find("Still2") != std::string::npos;
                     }) - calls.begin());
    EXPECT_LT(reset, std::find_if(calls.begin(), calls.end(), [](const std::string& c) {
                         return c.find("Page3") != std::string::npos;
                     }) - calls.begin());
    EXPECT_EQ(rig.printer.Device->GetOrientation(), poLandScape);
}

TEST(FilePrinter, GotoPageStaysInsideTheStream)
{
    TPlayerRig rig(pagesStream(3));
    rig.player.GotoPage(7);
    EXPECT_EQ(rig.player.CurrentPageNumber(), 3);
    EXPECT_FALSE(rig.player.HasNextPage());
    rig.player.GotoPage(-2);
    EXPECT_EQ(rig.player.CurrentPageNumber(), 1);
    EXPECT_FALSE(rig.player.HasPreviousPage());
    rig.player.GotoPage(2);
    EXPECT_EQ(rig.player.CurrentPageNumber(), 2);
}

struct VersionCase {
    char code;
    int version;
    bool twoByteLength;
};
class StreamVersionTable : public ::testing::TestWithParam<VersionCase> {};
TEST_P(StreamVersionTable, StringLengthFollowsTheVersion)
{
    const VersionCase c = GetParam();
    // A text whose first length byte is 200: 200 bytes before 2016, a two-byte length after.
    TPlayerRig rig(handBuilt(c.code, c.version, [&](TByteBuilder& b) {
        b.u8(24);
        b.f32(1.0f);
        b.u8(200);
        if (c.twoByteLength)
            b.u8(0xC8);  // 0xC8C8 - 0xC000 = 2248 bytes
        b.bytes += std::string(c.twoByteLength ? 2248 : 200, 'y');
        b.f32(1.0f);
    }));
    rig.player.Execute();
    ASSERT_EQ(rig.texts().size(), 1u) << c.version;
    EXPECT_EQ(rig.texts()[0].size(), c.twoByteLength ? 2248u : 200u) << c.version;
    EXPECT_EQ(rig.player.StreamVersion(), c.version);
}
INSTANTIATE_TEST_SUITE_P(Versions, StreamVersionTable, ::testing::Values(
    VersionCase{'Q', 1101, false}, VersionCase{'Y', 2009, false}, VersionCase{'Z', 2015, false},
    VersionCase{'Z', 2016, true}, VersionCase{'Z', 2017, true}));

TEST(FilePrinter, EveryCutOfTheFixtureIsRefused)
{
    const std::string whole = ReadAll(fixtureFile());
    for (size_t length = 0; length < whole.size(); ++length) {
        TPlayerRig rig(whole.substr(0, length));
        const std::string error = ErrorOf([&] { rig.player.Execute(); });
        ASSERT_EQ(error, "Unexpected code found in report file.") << "cut at " << length;
        ASSERT_FALSE(rig.player.Printing()) << length;
        ASSERT_FALSE(rig.printer.Device->Printing()) << length;
        if (rig.printer.System->Rec->Count("StartDoc") > 0) {
            ASSERT_EQ(rig.printer.System->Rec->Count("AbortDoc"), 1) << length;
        }
    }
}

TEST(FilePrinter, DamagedStreamsAreRefused)
{
    struct Damage {
        const char* what;
        std::function<void(std::string&)> harm;
        const char* error;
    };
    const std::string whole = ReadAll(fixtureFile());
    const size_t page1 = whole.find("P\0\0\0\0", 0, 5);
    ASSERT_NE(page1, std::string::npos);
    auto put32 = [](std::string& s, size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            s[at + size_t(i)] = char(v >> (8 * i));
    };
    const std::vector<Damage> cases = {
        {"header code", [](std::string& s) { s[0] = 'X'; }, "Unexpected header code found in report file."},
        {"next link back to the page itself", [&](std::string& s) { put32(s, page1 + 5, std::uint32_t(page1)); },
         "Unexpected code found in report file."},
        {"next link past the end", [&](std::string& s) { put32(s, page1 + 5, 0x7FFFFFF0); },
         "Unexpected code found in report file."},
        {"meaningless opcode", [&](std::string& s) { s[s.size() - 1] = char(38); },
         "Unexpected code found in report file."},
        {"page count beyond the pages", [&](std::string& s) { s[7] = char(9); },
         "Unexpected code found in report file."},
    };
    for (const Damage& d : cases) {
        std::string bytes = whole;
        d.harm(bytes);
        TPlayerRig rig(bytes);
        EXPECT_EQ(ErrorOf([&] { rig.player.Execute(); }), d.error) << d.what;
        EXPECT_FALSE(rig.printer.Device->Printing()) << d.what;
    }
}

TEST(FilePrinter, DamagedOperandsAreRefused)
{
    const std::vector<std::pair<const char*, std::function<void(TByteBuilder&)>>> cases = {
        {"polygon of 65536 points in a few bytes", [](TByteBuilder& b) { b.u8(14); b.u16(0xFFFF); b.f32(1); }},
        {"not a number", [](TByteBuilder& b) { b.u8(12); b.f32(std::numeric_limits<float>::quiet_NaN()); b.f32(1); }},
        {"huge coordinate", [](TByteBuilder& b) { b.u8(18); b.f32(3e30f); b.f32(1); b.f32(1); b.f32(1); }},
        {"graphic size past the end", [](TByteBuilder& b) { b.u8(21); b.u8(1); b.i32(1000); }},
        {"negative data size", [](TByteBuilder& b) { b.u8(31); b.i32(-5); }},
        {"graphic reference forward", [](TByteBuilder& b) { b.u8(5); b.u8(129); b.i32(1 << 20); }},
        {"named string pointing at itself", [](TByteBuilder& b) {
             b.u8(37);
             b.u8(1);
             b.bytes += "N";
             const size_t at = b.size();
             b.u8(4);
             b.u8(254);
             b.i32(std::int64_t(at));
         }},
        {"named value longer than its record", [](TByteBuilder& b) { b.u8(37); b.u8(1); b.bytes += "N"; b.u8(2); b.u8(9); b.u16(0); }},
        {"pen style", [](TByteBuilder& b) { b.u8(73); b.u8(40); }},
        {"font of a mile", [](TByteBuilder& b) { b.u8(54); b.f32(60000); b.f32(1); }},
    };
    for (const auto& [what, ops] : cases) {
        TPlayerRig rig(handBuilt('Z', 2017, ops));
        EXPECT_EQ(ErrorOf([&] { rig.player.Execute(); }), "Unexpected code found in report file.") << what;
        EXPECT_FALSE(rig.printer.Device->Printing()) << what;
    }
}

TEST(FilePrinter, WithoutPrintersNothingIsPrinted)
{
    MessageRecorder messages;
    TRPDevice none;
    std::istringstream stream(ReadAll(fixtureFile()));
    TFilePrinter player(none);
    player.StreamMode = smUser;
    player.Stream = &stream;
    player.Execute();
    EXPECT_EQ(messages.shown, (std::vector<std::string>{"No printers are defined, aborting print job."}));
    EXPECT_FALSE(player.Printing());
    // The stream itself is still readable (for the preview).
    EXPECT_EQ(player.PageCount(), 2);
}

TEST(FilePrinter, UserModeWithoutStreamIsAnError)
{
    TFakePrinter printer;
    TFilePrinter player(*printer.Device);
    player.StreamMode = smUser;
    EXPECT_EQ(ErrorOf([&] { player.Execute(); }), "StreamMode is smUser but Stream is nil");
}
