// The canvas and printer surfaces on the recording printer: text placement and the cursor,
// rectangles whatever the corner order, skipped pages, grey-scale text, raw data, and the
// message when no printer is installed.
#include <gtest/gtest.h>

#include <sstream>

#include "reporting/printer_report.h"
#include "tests/reporting/recording_device.h"

using namespace korval;
using namespace korval::test;

namespace {

struct TPrinterRig {
    TFakePrinter printer;
    TPrinterReport report{*printer.Device};

    ~TPrinterRig()
    {
        if (report.Printing())
            report.EndDoc();
    }
    std::vector<std::string>& calls() { return printer.System->Rec->Calls; }
    std::vector<std::string> drawn(const std::string& prefix)
    {
        std::vector<std::string> out;
        for (const auto& c : calls())
            if (c.rfind(prefix, 0) == 0)
                out.push_back(c);
        return out;
    }
};

} // namespace

TEST(PrinterReport, TextsFollowTheCursor)
{
    TPrinterRig rig;
    rig.report.BeginDoc();
    rig.report.SetCursorY(1.0);
    // Arial 10 points is 21 pixels a character on the recording printer: "AB" is 42 pixels.
    rig.report.PrintLeftInch("AB", 1.0);
    EXPECT_NEAR(rig.report.GetCursorX(), 1.0 + 42.0 / 300, 1e-9);
    rig.report.PrintLeftInch("CD", rig.report.GetCursorX());
    rig.report.PrintRightInch("EF", 3.0);
    EXPECT_DOUBLE_EQ(rig.report.GetCursorX(), 3.0);
    rig.report.PrintCenterInch("GH", 4.0);
    EXPECT_NEAR(rig.report.GetCursorX(), 4.0 + 21.0 / 300, 1e-9);
    // x = (inches - 1/4) x 300; the baseline one pixel below (1 - 1/4) x 300.
    EXPECT_EQ(rig.drawn("TextOut"), (std::vector<std::string>{"TextOut 225 226 AB", "TextOut 267 226 CD",
                                                              "TextOut 825 226 EF", "TextOut 1125 226 GH"}));
}

TEST(PrinterReport, OneWordBlockSpreadsItsLetters)
{
    TPrinterRig rig;
    rig.report.BeginDoc();
    rig.report.PrintBlockInch("ABC", 1.0, 1.0);
    // "A B C" with two equal gaps: " C" (42 pixels) ends at 2 inches, pixel 525.
    EXPECT_EQ(rig.drawn("TextOut"), (std::vector<std::string>{"TextOut 225 -33 A", "TextOut 344 -33  B",
                                                              "TextOut 483 -33  C"}));
}

struct CornerCase {
    double x1, y1, x2, y2;
};
class RectangleCorners : public ::testing::TestWithParam<CornerCase> {};
TEST_P(RectangleCorners, AnyCornerOrderDrawsTheSameRectangle)
{
    TPrinterRig rig;
    rig.report.BeginDoc();
    const CornerCase c = GetParam();
    rig.report.Rectangle(c.x1, c.y1, c.x2, c.y2);
    rig.report.Ellipse(c.x1, c.y1, c.x2, c.y2);
    // Pixels 225..525 with the one-pixel pen inside: GDI's right and bottom edge is exclusive.
    EXPECT_EQ(rig.drawn("Rectangle")[0].substr(0, 25), "Rectangle 225,225 526,526");
    EXPECT_EQ(rig.drawn("Ellipse")[0], "Ellipse 225,225 526,526");
}
INSTANTIATE_TEST_SUITE_P(Orders, RectangleCorners, ::testing::Values(
    CornerCase{1, 1, 2, 2}, CornerCase{2, 2, 1, 1}, CornerCase{2, 1, 1, 2}, CornerCase{1, 2, 2, 1}));

TEST(PrinterReport, WidePenLiesInsideTheRectangle)
{
    TPrinterRig rig;
    rig.report.BeginDoc();
    rig.report.SetPen(clBlack, psSolid, 6, pmCopy);
    rig.report.Rectangle(1, 1, 2, 2);
    EXPECT_EQ(rig.drawn("Rectangle")[0].substr(0, 25), "Rectangle 228,228 524,524");
}

TEST(PrinterReport, PagesBeforeTheFirstPageStartNoDevicePage)
{
    TPrinterRig rig;
    rig.report.FirstPage = 2;
    rig.report.OnPrint = [](TBaseReport& r) {
        r.PrintLeftInch("one", 1);
        r.Rectangle(1, 1, 2, 2);
        r.NewPage();
        r.PrintLeftInch("two", 1);
    };
    rig.report.Execute();
    EXPECT_EQ(rig.printer.System->Rec->Count("StartPage"), 1);
    EXPECT_EQ(rig.drawn("TextOut"), (std::vector<std::string>{"TextOut 225 -33 two"}));
    EXPECT_TRUE(rig.drawn("Rectangle").empty());
}

TEST(PrinterReport, AbortInTheHeaderAbortsTheJob)
{
    TPrinterRig rig;
    bool after = false;
    rig.report.OnPrintHeader = [](TBaseReport& r) { r.Abort(); };
    rig.report.OnAfterPrint = [&](TBaseReport&) { after = true; };
    rig.report.OnPrint = [](TBaseReport& r) { r.PrintLeftInch("never", 1); };
    rig.report.Execute();
    EXPECT_EQ(rig.printer.System->Rec->Count("AbortDoc"), 1);
    EXPECT_EQ(rig.printer.System->Rec->Count("EndDoc"), 0);
    EXPECT_TRUE(after);
}

TEST(PrinterReport, TabsSetBeforeTheRunSurvive)
{
    TPrinterRig rig;
    rig.report.SetTab(2.0, pjLeft, 1.0, 0, BOXLINENONE, 0);
    rig.report.OnPrint = [](TBaseReport& r) { r.Print("\tcell"); };
    rig.report.Execute();
    EXPECT_EQ(rig.drawn("TextOut"), (std::vector<std::string>{"TextOut 525 -33 cell"}));
}

TEST(PrinterReport, GreyScalePrinterPrintsColouredTextBlack)
{
    for (int colors : {2, 256}) {
        TPrinterRig rig;
        rig.printer.System->Caps.NumColors = colors;
        rig.report.BeginDoc();
        rig.report.SetFontColor(RGB(200, 0, 0));
        rig.report.PrintLeftInch("red", 1);
        auto* dc = static_cast<TRecordingContext*>(rig.printer.Device->GetDC());
        EXPECT_EQ(dc->TextColor(), colors == 2 ? clBlack : RGB(200, 0, 0)) << colors << " colours";
    }
}

TEST(PrinterReport, RawDataIsTracedOnceAndSentNowhere)
{
    std::vector<std::string> traces;
    const auto previous = SetReportTraceHandler([&](const std::string& t) { traces.push_back(t); });
    TPrinterRig rig;
    rig.report.BeginDoc();
    rig.report.PrintData("\x1B" "E");
    std::istringstream data(std::string(8192, 'x'));
    rig.report.PrintDataStream(data, 0);
    EXPECT_TRUE(data.eof());
    rig.report.EndDoc();
    SetReportTraceHandler(previous);
    EXPECT_EQ(traces.size(), 1u);
    EXPECT_EQ(rig.printer.System->Rec->Count("PassThrough"), 0);
}

TEST(PrinterReport, ImageWithoutDecoderPrintsNothing)
{
    TPrinterRig rig;
    rig.report.BeginDoc();
    std::istringstream image("GIF89a");
    EXPECT_NO_THROW(rig.report.PrintImageRect(1, 1, 2, 2, image, "GIF"));
    rig.report.OnDecodeImage = [](TBaseReport&, std::istream&, const std::string& type, TReportGraphic& bitmap) {
        bitmap.Data = type;
    };
    rig.report.PrintImageRect(1, 1, 2, 2, image, "GIF");
    EXPECT_EQ(rig.printer.System->Rec->Count("StretchGraphic"), 1);
}

TEST(PrinterReport, NoPrinterShowsTheMessageAndPrintsNothing)
{
    std::vector<std::string> shown;
    const auto previous = SetReportMessageHandler([&](const std::string& t) { shown.push_back(t); });
    TRPDevice none;
    TPrinterReport report(none);
    bool printed = false;
    report.OnPrint = [&](TBaseReport&) { printed = true; };
    report.Execute();
    SetReportMessageHandler(previous);
    EXPECT_EQ(shown, (std::vector<std::string>{"No printers are defined, aborting print job."}));
    EXPECT_FALSE(printed);
    EXPECT_EQ(ErrorOf([&] { report.PrintLeftInch("x", 1); }), "Invalid method call.  Report is not printing.");
}
