// Tab stops and cells (box lines, shading, merging of touching lines), newspaper columns and the
// line flow, on the recording printer at 300 DPI.
#include <gtest/gtest.h>

#include "tests/reporting/surface_fixture.h"

using namespace korval;
using namespace korval::test;

TEST_F(SurfaceTest, ChainedStopsFollowThePreviousCell)
{
    report.SetMarginLeft(0.5);
    report.SetTab(-1, pjLeft, 0.5, 0, 0, 0);  // the first at the left margin line
    report.SetTab(1.0, pjLeft, 2, 0, 0, 0);
    report.SetTab(-1, pjRight, 2, 5, BOXLINEALL, 10);
    report.SetTab(-1, pjLeft, 2, 0, 0, 0);
    ASSERT_NE(report.GetTab(4), nullptr);
    EXPECT_DOUBLE_EQ(report.GetTab(1)->X, 0.5);
    EXPECT_DOUBLE_EQ(report.GetTab(2)->X, 1.0);
    EXPECT_DOUBLE_EQ(report.GetTab(3)->X, 3.0);
    EXPECT_DOUBLE_EQ(report.GetTab(4)->X, 5.0);
    EXPECT_EQ(report.GetTab(5), nullptr);
    EXPECT_DOUBLE_EQ(report.GetTab(3)->Margin, 0.05);
    EXPECT_DOUBLE_EQ(report.TabInnerWidth(3), 1.9);
    EXPECT_TRUE(report.GetTab(3)->Bottom);
}

TEST_F(SurfaceTest, TextsGoIntoCellsUntilTheStopsRunOut)
{
    report.SetTab(1.0, pjLeft, 1, 0, 0, 0);
    report.SetTab(-1, pjRight, 1, 10, 0, 0);
    report.SetMarginTop(1.0);
    report.BeginDoc();
    report.SetFont("Arial", 10);
    const std::string y = " " + std::to_string(report.InchesToPixelsY(report.CursorYInch()));
    report.Print("\tA\tB\tC");
    EXPECT_EQ(report.Out, (std::vector<std::string>{
        "Left A 225" + y,
        "Right B 795" + y,  // 2.9 inch: the cell's right edge less its margin
        "Left C 795" + y}));  // no cell left: at the cursor
    report.NewLine();
    report.JustifyOverride = pjCenter;
    report.Print("\tD");
    EXPECT_EQ(report.Out.back().substr(0, 12), "Center D 375");
}

TEST_F(SurfaceTest, TouchingCellLinesAreDrawnOnce)
{
    report.SetTab(1.0, pjLeft, 1, 0, BOXLINEALL, 0);
    report.SetTab(-1, pjLeft, 1, 0, BOXLINEALL, 0);
    report.SetMarginTop(1.0);
    report.BeginDoc();
    report.SetLine(1);  // from 1 to 1 1/6 inch: pixels 225 to 275
    report.Tab();
    report.Tab();
    EXPECT_TRUE(lines().empty());  // kept until the page ends
    report.EndDoc();
    EXPECT_EQ(lines(), (std::vector<std::string>{
        "225,225 825,225 pen 1",  // top of both cells
        "225,275 825,275 pen 1",  // bottom of both cells
        "225,225 225,275 pen 1",
        "525,225 525,275 pen 1",  // the side the cells share, once
        "825,225 825,275 pen 1"}));
}

TEST_F(SurfaceTest, GivenLineWidthsOverrideTheCellFlags)
{
    report.SetTab(1.0, pjLeft, 1, 0, BOXLINETOP | BOXLINELEFT, 0);
    report.SetMarginTop(1.0);
    report.BeginDoc();
    report.SetLine(1);
    report.Tab(-5, kNotGiven, 0);  // left: 5/100 inch wide; top: none although flagged
    report.EndDoc();
    EXPECT_EQ(lines(), (std::vector<std::string>{"225,225 225,275 pen 15"}));
}

TEST_F(SurfaceTest, ShadedCellsFillWithTheMixedColour)
{
    report.SetTab(1.0, pjLeft, 1, 0, 0, 25);
    report.SetTab(-1, pjLeft, 1, 0, 0, 0);
    report.SetTabShade(50);
    report.BeginDoc();
    report.SetLine(1);
    report.Tab();
    report.Tab();
    report.Tab(kNotGiven, kNotGiven, kNotGiven, kNotGiven, 0);  // past the stops: nothing
    const auto& calls = printer.System->Rec->Calls;
    std::vector<std::string> rects;
    for (const auto& c : calls)
        if (c.rfind("Rectangle", 0) == 0)
            rects.push_back(c);
    EXPECT_EQ(rects, (std::vector<std::string>{"Rectangle 225,-75 525,-25 brush bfbfbf pen style 5",
                                               "Rectangle 525,-75 825,-25 brush 7f7f7f pen style 5"}));
    EXPECT_EQ(report.GetCanvas().Brush().Color, clWhite);  // brush and pen given back
    EXPECT_EQ(report.GetCanvas().Pen().Style, psSolid);
}

TEST_F(SurfaceTest, NewLineOnTheLastLineGoesToTheNextColumn)
{
    report.SetMarginBottom(11.0 - 1.0);  // a section one inch high: six lines
    report.BeginDoc();
    int newColumns = 0, endOfSection = 0;
    report.OnNewColumn = [&](TBaseReport&) { ++newColumns; };
    report.OnEndOfSection = [&](TBaseReport&) { ++endOfSection; };
    report.SetColumns(2, 0.5);
    EXPECT_EQ(newColumns, 1);
    EXPECT_DOUBLE_EQ(report.ColumnWidth(), 4.0);
    EXPECT_EQ(report.LinesLeft(), 12);
    report.SetLine(5);
    EXPECT_EQ(report.LinesLeftInColumn(), 2);
    report.NewLine();
    EXPECT_EQ(report.LineNum(), 6);
    EXPECT_EQ(endOfSection, 1);  // the line reaches the section's bottom
    report.NewLine();
    EXPECT_EQ(report.ColumnNum(), 2);
    EXPECT_EQ(report.LineNum(), 1);
    EXPECT_EQ(newColumns, 2);
    EXPECT_DOUBLE_EQ(report.CursorXInch(), 4.5);
    EXPECT_EQ(report.LinesLeft(), 6);
}

TEST_F(SurfaceTest, ColumnCountBelowOneIsOneColumn)
{
    report.BeginDoc();
    report.SetColumns(0, 0);
    EXPECT_EQ(report.Columns(), 1);
    EXPECT_DOUBLE_EQ(report.ColumnWidth(), 8.5);
}

TEST_F(SurfaceTest, TabListsStackAndSurviveTheStartOfTheDocument)
{
    EXPECT_FALSE(report.PopTabs());
    report.SetTab(1.0, pjLeft, 1, 0, 0, 0);
    EXPECT_FALSE(report.PopTabs());
    EXPECT_NE(report.GetTab(1), nullptr);
    EXPECT_TRUE(report.PushTabs());
    report.ClearTabs();
    EXPECT_EQ(report.GetTab(1), nullptr);
    EXPECT_TRUE(report.PopTabs());
    EXPECT_TRUE(report.SaveTabs(2));
    report.ClearAllTabs();
    EXPECT_FALSE(report.RestoreTabs(2));
    report.SetTab(2.0, pjLeft, 1, 0, 0, 0);
    report.BeginDoc();
    ASSERT_NE(report.GetTab(1), nullptr);
    EXPECT_DOUBLE_EQ(report.GetTab(1)->X, 2.0);
}

TEST_F(SurfaceTest, TruncatedTextFitsItsCell)
{
    report.SetTab(1.0, pjLeft, 1, 0, 0, 0);  // 300 pixels: 14 characters of 21
    report.SetTab(-1, pjLeft, 1, 0, 0, 0);
    report.BeginDoc();
    report.SetFont("Arial", 10);
    report.PrintTruncated(std::string(20, 'x'));
    report.PrintTruncated("\xFD$RPCM11 is never cut, whatever its length");
    ASSERT_EQ(report.Out.size(), 2u);
    EXPECT_EQ(report.Out[0].substr(0, 5 + 15), "Left " + std::string(14, 'x') + " ");
    EXPECT_NE(report.Out[1].find("whatever its length"), std::string::npos);
}
