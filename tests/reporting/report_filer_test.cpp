// The report stream writer: the two-page fixture byte for byte, string lengths, what is written
// and when, stream modes, and the writer's errors.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "reporting/report_stream.h"
#include "test_support.h"
#include "tests/reporting/stream_fixture.h"

using namespace korval;
using namespace korval::test;

namespace {

// A writer on a fresh recording printer, writing into memory.
struct TFilerRig {
    TFakePrinter printer;
    TReportFiler filer{*printer.Device};
};


// The bytes of a report written by script on the recording printer.
std::string written(const std::function<void(TReportFiler&)>& script)
{
    TFilerRig rig;
    rig.filer.BeginDoc();
    script(rig.filer);
    rig.filer.EndDoc();
    return rig.filer.MemoryData();
}

// Collects the engine's traces for the life of the object.
struct TraceRecorder {
    std::vector<std::string> traces;
    TReportTraceHandler previous;
    TraceRecorder()
    {
        previous = SetReportTraceHandler([this](const std::string& t) { traces.push_back(t); });
    }
    ~TraceRecorder() { SetReportTraceHandler(previous); }
};

} // namespace

TEST(ReportFiler, TwoPageReportMatchesTheHandBuiltStream)
{
    TFilerRig rig;
    FixturePrinter(*rig.printer.Device);
    WriteFixtureReport(rig.filer);
    const std::string expected = FixtureBytes();
    const std::string actual = rig.filer.MemoryData();
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(int(static_cast<unsigned char>(actual[i])), int(static_cast<unsigned char>(expected[i])))
            << "first difference at byte " << i;
    EXPECT_EQ(rig.filer.PagesWritten(), 2);
    // data/two_pages.stream: these bytes, for the tests of the stream player.
    EXPECT_EQ(ReadAll(std::string(KORVAL_TEST_DATA) + "/two_pages.stream"), expected);
}

struct LengthCase {
    size_t length;
    std::string prefix;
};
class StringLengthTable : public ::testing::TestWithParam<LengthCase> {};
TEST_P(StringLengthTable, LengthBytes)
{
    const std::string bytes = TStreamWriter::StringBytes(std::string(GetParam().length, 'a'));
    EXPECT_EQ(bytes.substr(0, GetParam().prefix.size()), GetParam().prefix) << GetParam().length;
    EXPECT_EQ(bytes.size(), GetParam().prefix.size() + std::min<size_t>(GetParam().length, 16383));
}
INSTANTIATE_TEST_SUITE_P(Lengths, StringLengthTable, ::testing::Values(
    LengthCase{0, std::string(1, '\0')},
    LengthCase{191, "\xBF"},
    LengthCase{192, "\xC0\xC0"},
    LengthCase{300, "\xC1\x2C"},
    LengthCase{16383, "\xFF\xFF"},
    LengthCase{20000, "\xFF\xFF"}));  // cut to the longest the encoding holds

TEST(ReportFiler, OverlongTextIsCutAndTraced)
{
    TraceRecorder trace;
    const std::string bytes = written([](TReportFiler& f) { f.PrintLeftInch(std::string(20000, 'q'), 1.0); });
    ASSERT_EQ(trace.traces.size(), 1u);
    EXPECT_NE(trace.traces[0].find("20000"), std::string::npos);
    EXPECT_NE(bytes.find("\xFF\xFF" + std::string(16383, 'q')), std::string::npos);
    EXPECT_EQ(bytes.find(std::string(16384, 'q')), std::string::npos);
}

TEST(ReportFiler, EmptyReportHasOneWholePage)
{
    const std::string bytes = written([](TReportFiler&) {});
    TByteBuilder header;
    header.u8('Z');
    header.u16(2017);
    header.str("Report");
    const size_t count = header.size();
    EXPECT_EQ(bytes.substr(0, count), header.bytes);
    EXPECT_EQ(bytes[count], 1);
    const size_t page = count + 2 + 2 + 2 + 6 * 4 + 1 + 2 + 1 + 1 + 2 + 2 + 2 + 2 + 1;
    EXPECT_EQ(bytes[page], 'P');
    EXPECT_EQ(bytes.substr(page + 1, 8), std::string(8, '\0'));  // no previous, no next page
    EXPECT_EQ(bytes.back(), char(82));
}

TEST(ReportFiler, StateIsWrittenOnlyWhenItChangesAndAgainOnEveryPage)
{
    auto twoPages = [](bool sameBrushTwice, bool red) {
        return written([=](TReportFiler& f) {
            if (sameBrushTwice)
                f.SetBrush(clWhite, bsSolid, nullptr);
            if (red)
                f.SetBrush(RGB(255, 0, 0), bsSolid, nullptr);
            f.NewPage();
        });
    };
    const std::string plain = twoPages(false, false);
    EXPECT_EQ(twoPages(true, false), plain);
    const std::string red = twoPages(false, true);
    EXPECT_EQ(red.size(), plain.size() + 5);  // one brush colour; the next page's state has it anyway
    TByteBuilder redColour;
    redColour.u8(41);
    redColour.i32(0x0000FF);
    EXPECT_NE(red.rfind(redColour.bytes), red.find(redColour.bytes));
}

TEST(ReportFiler, AnAbortedPageLeavesNoTrace)
{
    auto script = [](bool withAborted) {
        return written([=](TReportFiler& f) {
            f.NewPage();
            if (withAborted) {
                f.SetTab(1, pjLeft, 1, 0, BOXLINEALL, 0);
                f.Tab();
                f.ClearTabs();
                const std::string placeholder = f.NamedStringPlaceholder("N");
                f.PrintBitmap(1, 1, 1, 1, RedPixel());
                f.RegisterGraphic(2);
                f.PrintLeftInch(placeholder + std::string(500, 'z'), 1.0);
                f.AbortPage();
                f.PrintLeftInch("not written", 1.0);
                f.NewPage();
            }
            f.ReuseGraphic(2);  // nothing registered that still exists: the data is written
            f.PrintBitmap(1, 1, 1, 1, RedPixel());
            f.SetNamedString("N", "value");  // no slot left to fill: a whole record
        });
    };
    EXPECT_EQ(script(true), script(false));
}

TEST(ReportFiler, SkippedPagesAreNotWritten)
{
    TFilerRig rig;
    rig.filer.FirstPage = 2;
    rig.filer.OnPrintPage = [](TBaseReport& r, int&) {
        r.PrintLeftInch("page " + std::to_string(r.CurrentPage()), 1.0);
        return r.CurrentPage() < 3;
    };
    rig.filer.Execute();
    const std::string bytes = rig.filer.MemoryData();
    EXPECT_EQ(rig.filer.PagesWritten(), 2);
    EXPECT_EQ(bytes.find("page 1"), std::string::npos);
    EXPECT_NE(bytes.find("page 3"), std::string::npos);
}

TEST(ReportFiler, PositioningWritesBlankedTextsAsBlocks)
{
    TFilerRig rig;
    rig.filer.AccuracyMethod = amPositioning;
    rig.filer.BeginDoc();
    rig.filer.PrintRightInch("two words", 4.0);
    rig.filer.PrintRightInch("oneword", 4.0);
    rig.filer.EndDoc();
    const std::string bytes = rig.filer.MemoryData();
    const size_t block = bytes.find("\x09two words");
    const size_t right = bytes.find("\x07oneword");
    ASSERT_NE(block, std::string::npos);
    ASSERT_NE(right, std::string::npos);
    EXPECT_EQ(bytes[block - 5], char(33));
    EXPECT_EQ(bytes[right - 5], char(25));
    TByteBuilder geometry;  // left edge 4 inch less 9 characters of 21 pixels, then the width
    geometry.f32(float(4.0 - 189.0 / 300));
    geometry.f32(float(189.0 / 300));
    EXPECT_EQ(bytes.substr(block + 10, 8), geometry.bytes);
}

TEST(ReportFiler, InlineCodesStayInForceAfterTheText)
{
    TFilerRig rig;
    rig.filer.BeginDoc();
    rig.filer.PrintLeftInch("\x01" "B1\x04" "bold", 1.0);
    EXPECT_TRUE(rig.filer.BaseFont().Bold);
    rig.filer.SetBold(false);
    rig.filer.EndDoc();
    const std::string bytes = rig.filer.MemoryData();
    const size_t text = bytes.find("\x01" "B1\x04" "bold");
    ASSERT_NE(text, std::string::npos);
    EXPECT_NE(bytes.find(std::string("\x37\x00", 2), text), std::string::npos);  // bold off again
}

TEST(ReportFiler, NamedStringWithoutSlotIsAWholeRecord)
{
    TraceRecorder trace;
    const std::string bytes = written([](TReportFiler& f) { f.SetNamedString("Total", std::string(300, 'v')); });
    TByteBuilder record;
    record.u8(37);
    record.str("Total");
    record.u8(253);  // 254 and 255 would read as a reference and an open slot
    record.u8(253);
    record.bytes += std::string(253, 'v');
    record.u8(82);
    EXPECT_EQ(bytes.substr(bytes.size() - record.size()), record.bytes);
    EXPECT_EQ(trace.traces.size(), 1u);
}

TEST(ReportFiler, Errors)
{
    TFilerRig rig;
    EXPECT_EQ(ErrorOf([&] { rig.filer.RegisterGraphic(0); }), "RegisterGraphic: Index must be between 1 and 10");
    EXPECT_EQ(ErrorOf([&] { rig.filer.ReuseGraphic(11); }), "ReuseGraphic: Index must be between 1 and 10");
    EXPECT_EQ(ErrorOf([&] { rig.filer.UnregisterGraphic(-1); }), "UnregisterGraphic: Index must be between 1 and 10");
    EXPECT_EQ(ErrorOf([&] { rig.filer.Rectangle(0, 0, 1, 1); }), "Invalid method call.  Report is not printing.");
    rig.filer.StreamMode = smUser;
    EXPECT_EQ(ErrorOf([&] { rig.filer.BeginDoc(); }), "StreamMode is smUser but Stream is nil");
    rig.filer.StreamMode = smMemory;
    rig.filer.BeginDoc();
    TReportCanvas canvas;
    EXPECT_EQ(ErrorOf([&] { rig.filer.CopyRect({}, canvas, {}); }), "CopyRect() not supported in file mode.");
    EXPECT_EQ(ErrorOf([&] { rig.filer.BeginDoc(); }), "Invalid method call.  Report already printing.");
    rig.filer.EndDoc();

    TRPDevice none;
    TReportFiler orphan(none);
    EXPECT_EQ(ErrorOf([&] { orphan.BeginDoc(); }),
              "TReportFiler.Owner must be a TForm if no printers are defined.");
}

TEST(ReportFiler, WithoutPrinterTheOwnersScreenMeasures)
{
    TRPDevice none;
    auto screen = ScreenContext();
    TReportCanvas canvas(screen.get());
    TReportFiler filer(none);
    filer.OwnerCanvas = &canvas;
    filer.Title = "";
    filer.BeginDoc();
    EXPECT_EQ(filer.DpiX(), 96);
    EXPECT_EQ(filer.DeviceNameText(), "Preview Only");
    EXPECT_DOUBLE_EQ(filer.TextWidth("ab"), 12.0 / 96);  // 10 points are 13 pixels at 96 DPI: 6 a character
    filer.EndDoc();
    TByteBuilder fields;  // orientation, then bin 265, no collate, simplex, 1 copy, paper 1, no size
    fields.u8(0);
    fields.u16(265);
    fields.u8(0);
    fields.u8(0);
    fields.u16(1);
    fields.u16(1);
    fields.u16(0);
    fields.u16(0);
    fields.str("");
    EXPECT_EQ(filer.MemoryData().substr(4 + 2 + 2 + 2 + 24, fields.size()), fields.bytes);
}

TEST(ReportFiler, FileModesWriteTheSameStream)
{
    TempDir dir;
    const std::string memory = written([](TReportFiler& f) { f.PrintLeftInch("text", 1); });
    {
        TFilerRig rig;
        rig.filer.StreamMode = smFile;
        rig.filer.FileName = dir.file("report.stream");
        WriteAll(rig.filer.FileName, "an older stream that is longer than the new one" + std::string(2000, '.'));
        rig.filer.BeginDoc();
        rig.filer.PrintLeftInch("text", 1);
        rig.filer.EndDoc();
        EXPECT_EQ(ReadAll(rig.filer.FileName), memory);
    }
    {
        TFilerRig rig;
        rig.filer.StreamMode = smTempFile;
        rig.filer.BeginDoc();
        rig.filer.PrintLeftInch("text", 1);
        rig.filer.EndDoc();
        EXPECT_EQ(std::filesystem::path(rig.filer.FileName).filename().string().substr(0, 2), "RP");
        EXPECT_EQ(ReadAll(rig.filer.FileName), memory);
        std::filesystem::remove(rig.filer.FileName);
    }
    {
        TFilerRig rig;
        std::stringstream user(std::ios::in | std::ios::out | std::ios::binary);
        rig.filer.StreamMode = smUser;
        rig.filer.Stream = &user;
        rig.filer.BeginDoc();
        rig.filer.PrintLeftInch("text", 1);
        rig.filer.EndDoc();
        EXPECT_EQ(user.str(), memory);
    }
    {
        TFilerRig rig;
        rig.filer.FileName = dir.file("saved.stream");
        rig.filer.BeginDoc();
        rig.filer.PrintLeftInch("text", 1);
        rig.filer.EndDoc();
        EXPECT_EQ(ReadAll(rig.filer.FileName), memory);
    }
}

TEST(ReportFiler, StreamThatCannotBeCreatedIsReported)
{
    std::vector<std::string> shown;
    auto previous = SetReportMessageHandler([&](const std::string& t) { shown.push_back(t); });
    TFilerRig rig;
    rig.filer.StreamMode = smFile;
    rig.filer.FileName = "/nonexistent-folder/report.stream";
    bool printed = false;
    rig.filer.OnPrint = [&](TBaseReport&) { printed = true; };
    rig.filer.Execute();
    SetReportMessageHandler(previous);
    EXPECT_EQ(shown, (std::vector<std::string>{"Error initializing stream \"/nonexistent-folder/report.stream\""}));
    EXPECT_FALSE(rig.filer.Printing());
    EXPECT_FALSE(printed);
}
