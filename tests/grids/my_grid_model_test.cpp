// The virtual-data grid's model: header encoding and widths, SetRows clamping, update bracket.
#include <gtest/gtest.h>

#include <climits>

#include "grids/my_grid_model.h"

using namespace korval;

TEST(MyGridModel, HeaderObjectsAndColumnWidths)
{
    TMyGridModel m;
    m.AddColumn("Call", 0, gaLeft);   // width 0: the caption's length
    m.AddColumn("Freq", 10, gaRight);
    m.AddColumn("", 0, gaCenter);     // C = 1: half a W
    EXPECT_EQ(m.Header[0].object, (4 + 1) * 4 + 0);
    EXPECT_EQ(m.Header[1].object, 11 * 4 + 1);
    EXPECT_EQ(TMyGridModel::AlignmentOf(m.Header[2].object), gaCenter);
    m.ApplyColumns(9); // "W" is 9 pixels wide
    EXPECT_EQ(m.ColCount, 3);
    EXPECT_EQ(m.ColWidths[0], 4 * 9 + 5 + 2);
    EXPECT_EQ(m.ColWidths[1], 10 * 9 + 5 + 2);
    EXPECT_EQ(m.ColWidths[2], 0 * 9 + 5 + 2);
    EXPECT_EQ(m.GridWith(), 43 + 97 + 7);
    EXPECT_EQ(TMyGridModel::ColumnWidth(2, 9, 64), 64) << "object below 4: the default width";
}

struct RowsCase {
    int count, current, row, fixed, rowCount;
};
class MyGridSetRows : public ::testing::TestWithParam<RowsCase> {};
TEST_P(MyGridSetRows, ClampsTheCurrentRow)
{
    const auto& c = GetParam();
    TMyGridModel m;
    m.SetClientSize(200, 100);
    m.SetRows(c.count, c.current);
    EXPECT_EQ(m.Row, c.row) << c.count << "," << c.current;
    EXPECT_EQ(m.FixedRows, c.fixed);
    EXPECT_EQ(m.RowCount, c.rowCount);
}
INSTANTIATE_TEST_SUITE_P(Cases, MyGridSetRows, ::testing::Values(
    RowsCase{1, 5, 0, 0, 1},          // only the header row, no fixed row
    RowsCase{0, 0, 0, 0, 1},
    RowsCase{10, 0, 1, 1, 10},
    RowsCase{10, 50, 9, 1, 10},
    RowsCase{10, INT_MAX, 9, 1, 10}, // MaxInt: the last row
    RowsCase{2, 1, 1, 1, 2}));

TEST(MyGridModel, TopRowClampsAndMaxIntMeansTheLastPage)
{
    TMyGridModel m;
    m.DefaultRowHeight = 19; // 20 with the grid line
    m.SetClientSize(300, 220); // header + 10 data rows
    m.SetRows(1000, 1, 500);
    EXPECT_EQ(m.VisibleDataRows(), 10);
    EXPECT_EQ(m.TopRow, 500);
    EXPECT_EQ(m.Row, 1);
    m.SetRows(1000, 700);
    EXPECT_EQ(m.TopRow, 691) << "without a top row the current row is brought into view";
    m.SetRows(1000, 995, INT_MAX);
    EXPECT_EQ(m.TopRow, 990);
    EXPECT_EQ(m.LastVisibleRow(), 999);
    m.GotoLastRow();
    EXPECT_EQ(m.Row, 999);
    m.SetRows(5, 2, 0);
    EXPECT_EQ(m.TopRow, 1);
}

TEST(MyGridModel, NestedUpdatesReleaseOnceAndFixTheHeader)
{
    TMyGridModel m;
    EXPECT_TRUE(m.BeginUpdate());
    EXPECT_FALSE(m.BeginUpdate());
    m.RowCount = 20; // rows arrived without a fixed header
    EXPECT_FALSE(m.EndUpdate());
    EXPECT_EQ(m.FixedRows, 0);
    EXPECT_TRUE(m.EndUpdate());
    EXPECT_EQ(m.FixedRows, 1);
    EXPECT_EQ(m.Row, 19);
    EXPECT_TRUE(m.BeginUpdate()) << "the counter was reset to 0";
}

TEST(MyGridModel, HitTestingFollowsTheScroll)
{
    TMyGridModel m;
    m.DefaultRowHeight = 19;
    m.ColWidths = {50, 30};
    m.ColCount = 2;
    m.SetClientSize(300, 220);
    m.SetRows(100, 1, 40);
    EXPECT_EQ(m.RowAt(5), 0);
    EXPECT_EQ(m.RowAt(25), 40);
    EXPECT_EQ(m.RowTop(41), 40);
    EXPECT_EQ(m.RowTop(39), -1);
    EXPECT_EQ(m.ColAt(60), 1);
    EXPECT_EQ(m.ColAt(200), -1);
    EXPECT_EQ(m.LastVisibleCol(), 1);
}
