// The report surface against the recording printer (300 DPI, strips 1/4 inch left, right and
// top, 1/2 inch at the bottom): units, geometry, pixels, line height, fonts and text placement.
#include <gtest/gtest.h>

#include "tests/reporting/surface_fixture.h"

using namespace korval;
using namespace korval::test;

TEST_F(SurfaceTest, MillimetreMarginsAreInchesInside)
{
    report.SetUnits(unMM);
    report.SetMarginLeft(25.4);
    report.SetMarginRight(25.4);
    EXPECT_DOUBLE_EQ(report.GetMarginLeft(), 25.4);
    EXPECT_DOUBLE_EQ(report.UnitsToInchesX(report.MarginLineLeft()), 1.0);
    EXPECT_DOUBLE_EQ(report.UnitsToInchesX(report.MarginLineRight()), 7.5);
    EXPECT_DOUBLE_EQ(report.GetSectionLeft(), 25.4);
}

TEST_F(SurfaceTest, UnitsFactorChoosesTheUnit)
{
    report.SetUnitsFactor(72);
    EXPECT_EQ(report.GetUnits(), unPoint);
    report.SetUnitsFactor(10);
    EXPECT_EQ(report.GetUnits(), unUser);
    report.SetUnitsFactor(0);
    EXPECT_DOUBLE_EQ(report.GetUnitsFactor(), 10);
    report.SetUnits(unCM);
    EXPECT_DOUBLE_EQ(report.GetUnitsFactor(), 2.54);
}

TEST_F(SurfaceTest, InchesLandOnDevicePixels)
{
    EXPECT_EQ(report.DpiX(), 300);
    EXPECT_DOUBLE_EQ(report.GetPageWidth(), 8.5);
    EXPECT_DOUBLE_EQ(report.GetPageHeight(), 11.0);
    EXPECT_DOUBLE_EQ(report.GetUnprintableBottom(), 0.5);
    // One inch from the paper's edge is 3/4 inch into the printable area.
    EXPECT_EQ(report.InchesToPixelsX(1.0), 225);
    EXPECT_EQ(report.InchesToPixelsY(1.0), 225);
    EXPECT_DOUBLE_EQ(report.PixelsToInchesX(225), 1.0);
    report.SetOriginX(0.5);
    EXPECT_EQ(report.InchesToPixelsX(1.0), 375);
    report.SetOriginX(0);
    report.SetScaleX(200);
    EXPECT_EQ(report.InchesToPixelsX(1.0), 525);
    EXPECT_DOUBLE_EQ(report.PixelsToInchesX(525), 1.0);
    report.DeviceOffsetY = 10;
    EXPECT_EQ(report.InchesToPixelsY(1.0), 235);
}

TEST(SurfaceWithoutPrinter, DefaultPageAtScreenResolution)
{
    TRPDevice none;
    TRecordingReport report(none);
    EXPECT_EQ(report.DpiX(), 96);
    EXPECT_DOUBLE_EQ(report.GetPageWidth(), 8.5);
    EXPECT_DOUBLE_EQ(report.GetPageHeight(), 11.0);
    EXPECT_EQ(report.PrinterIndex(), -1);
    report.BeginDoc();
    EXPECT_FALSE(report.Printing());
}

TEST_F(SurfaceTest, FontLineHeightIsTwelveTenthsOfThePointSize)
{
    report.BeginDoc();
    report.LineHeightMethod = lhmFont;
    report.SetFont("Arial", 12);
    report.SetFont("Arial", 10);
    report.UpdateLineHeight();
    EXPECT_DOUBLE_EQ(report.GetLineHeight(), 1.0 / 6);
    report.SetLinesPerInch(0);
    EXPECT_EQ(report.GetLinesPerInch(), 6);
    report.LineHeightMethod = lhmLinesPerInch;
    report.SetLinesPerInch(8);
    EXPECT_DOUBLE_EQ(report.GetLineHeight(), 1.0 / 8);
}

TEST_F(SurfaceTest, VerticalScaleAppliesOnceToFontLines)
{
    report.SetScaleY(200);
    report.LineHeightMethod = lhmFont;
    report.BeginDoc();
    report.SetFont("Arial", 10);
    report.GotoFirstLine();
    const int first = report.InchesToPixelsY(report.CursorYInch());
    report.NewLine();
    const int second = report.InchesToPixelsY(report.CursorYInch());
    EXPECT_DOUBLE_EQ(report.GetLineHeight(), 1.0 / 6);
    EXPECT_EQ(second - first, 100);  // 1/6 inch at twice the size, 300 DPI
    report.TextWidth("x");
    EXPECT_EQ(printer.System->Rec->Realised.back().Height, -83);  // 10 points at 200 %
}

TEST_F(SurfaceTest, FirstLineBaselineSitsOneLineDownLessTheDescent)
{
    report.SetMarginTop(1.0);
    report.BeginDoc();
    report.SetFont("Arial", 10);  // 42 pixels: ascent 33, descent 9
    report.SetLine(1);
    EXPECT_DOUBLE_EQ(report.GetCursorY(), 1.0 + 1.0 / 6 - 9.0 / 300);
    EXPECT_DOUBLE_EQ(report.GetLineBottom(), 1.0 + 1.0 / 6);
    EXPECT_DOUBLE_EQ(report.GetTextTop(), report.GetCursorY() - 33.0 / 300);
}

TEST_F(SurfaceTest, SettersHoldTheirRanges)
{
    report.SetTabShade(150);
    EXPECT_EQ(report.GetTabShade(), 100);
    report.SetTabShade(-5);
    EXPECT_EQ(report.GetTabShade(), 0);
    report.SetFont("Courier New", 9);
    report.SetFont("Arial", 0);
    EXPECT_EQ(report.BaseFont().Name, "Courier New");
    EXPECT_DOUBLE_EQ(report.BaseFont().Size, 9);
    report.SetFontRotation(-370);
    EXPECT_EQ(report.BaseFont().Rotation, -10);
    report.SetSubscript(true);
    report.SetSuperscript(true);
    EXPECT_FALSE(report.BaseFont().Subscript);
}

TEST_F(SurfaceTest, ShiftedFontsAreSmallerWithHalfMetrics)
{
    report.BeginDoc();
    report.SetFont("Arial", 10);
    report.SetSuperscript(true);
    report.UpdateLineHeight();
    // 10 / 1.667 points at 300 DPI: 25 pixels, ascent 20 and descent 5, then halved.
    EXPECT_EQ(printer.System->Rec->Realised.back().Height, -25);
    EXPECT_DOUBLE_EQ(report.BaseFont().Ascent, 10.0 / 300);
    EXPECT_DOUBLE_EQ(report.BaseFont().Descent, 2.5 / 300);
}

TEST_F(SurfaceTest, SameFontReusesTheCachedRealisation)
{
    report.BeginDoc();
    const size_t before = printer.System->Rec->Realised.size();
    report.SetFont("Arial", 10);
    report.TextWidth("a");
    report.SetFont("Arial", 12);
    report.TextWidth("a");
    report.SetFont("Arial", 10);
    report.TextWidth("a");
    EXPECT_EQ(printer.System->Rec->Realised.size() - before, 1u);  // 12 points is new; 10 was cached
    EXPECT_EQ(printer.System->Rec->Realised.back().Height, -50);
}

TEST_F(SurfaceTest, FontStackSlotsAndDirectCanvasChanges)
{
    report.BeginDoc();
    report.SetFont("Arial", 10);
    EXPECT_TRUE(report.PushFont());
    report.SetFont("Times New Roman", 14);
    report.SetBold(true);
    EXPECT_TRUE(report.SaveFont(3));
    EXPECT_FALSE(report.SaveFont(11));
    EXPECT_TRUE(report.PopFont());
    EXPECT_EQ(report.BaseFont().Name, "Arial");
    EXPECT_FALSE(report.BaseFont().Bold);
    EXPECT_FALSE(report.PopFont());
    EXPECT_TRUE(report.RestoreFont(3));
    EXPECT_EQ(report.BaseFont().Name, "Times New Roman");
    EXPECT_FALSE(report.RestoreFont(0));

    // A change made on the canvas itself reaches the surface's font.
    TCanvasFont f = report.GetCanvas().Font();
    f.Italic = true;
    f.Height = 100;
    report.GetCanvas().SetFont(f);
    EXPECT_TRUE(report.BaseFont().Italic);
    EXPECT_DOUBLE_EQ(report.BaseFont().Size, 24);
}

TEST_F(SurfaceTest, TwoColourPrinterPrintsColoursBlack)
{
    printer.System->Caps.NumColors = 2;
    report.BeginDoc();
    auto* dc = dynamic_cast<TRecordingContext*>(printer.Device->GetDC());
    report.SetFontColor(RGB(200, 0, 0));
    report.RealizeFont();
    EXPECT_EQ(dc->TextColor(), clBlack);
    report.SetFontColor(clWhite);
    report.RealizeFont();
    EXPECT_EQ(dc->TextColor(), clWhite);
}

TEST_F(SurfaceTest, OperationsOutsideAJobAreRefused)
{
    const std::string notPrinting = "Invalid method call.  Report is not printing.";
    EXPECT_EQ(ErrorOf([&] { report.Print("x"); }), notPrinting);
    EXPECT_EQ(ErrorOf([&] { report.TextWidth("x"); }), notPrinting);
    EXPECT_EQ(ErrorOf([&] { report.Tab(); }), notPrinting);
    EXPECT_EQ(ErrorOf([&] { report.NewPage(); }), notPrinting);
    EXPECT_EQ(ErrorOf([&] { report.AbortPage(); }), notPrinting);
    EXPECT_EQ(ErrorOf([&] { report.GetCanvas(); }), "Error!  Canvas not yet active.");
    report.BeginDoc();
    EXPECT_EQ(ErrorOf([&] { report.BeginDoc(); }), "Invalid method call.  Report already printing.");
    EXPECT_EQ(ErrorOf([&] { report.SetCopies(2); }), "Invalid method call.  Report already printing.");
}

TEST_F(SurfaceTest, TextsFollowEachOtherAndTheCursorFollowsAlignment)
{
    report.BeginDoc();
    report.SetFont("Arial", 10);  // 21 pixels a character
    const int y = report.InchesToPixelsY(report.CursorYInch());
    report.PrintLeftInch("AB", 1.0);
    report.PrintLeftInch("CD", report.CursorXInch());
    EXPECT_EQ(report.Out[0], "Left AB 225 " + std::to_string(y));
    EXPECT_EQ(report.Out[1], "Left CD 267 " + std::to_string(y));
    report.PrintRightInch("EF", 4.0);
    EXPECT_DOUBLE_EQ(report.CursorXInch(), 4.0);
    report.PrintCenterInch("GH", 4.0);
    EXPECT_DOUBLE_EQ(report.CursorXInch(), 4.0 + 21.0 / 300);
}

TEST_F(SurfaceTest, TabbedTextStepsToTheDefaultTabWidth)
{
    report.BeginDoc();
    report.SetFont("Arial", 10);
    std::vector<bool> pushes;
    report.OnLeftText = [&](const std::string&) { pushes.push_back(report.PushFont()); };
    report.PrintJustify("A\tB", pjLeft, 0, 0, 1.0);
    ASSERT_EQ(report.Out.size(), 2u);
    EXPECT_EQ(report.Out[1].substr(0, 10), "Left B 375");  // next half inch after 1.07 inch
    // While the text is split the font stack is left alone.
    EXPECT_EQ(pushes, (std::vector<bool>{true, true}));
    report.OnLeftText = nullptr;
    EXPECT_FALSE(report.PopFont());
}
