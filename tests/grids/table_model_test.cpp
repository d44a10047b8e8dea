// The table's engines without a window: the sparse array, rows and columns, the selection and
// cell lists, and the table model's rules for shape, layout, hit tests, scrolling and moves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "entry/ovc_command_processor.h"
#include "entry/ovc_exceptions.h"
#include "grids/ovc_cell_array.h"
#include "grids/ovc_selection_list.h"
#include "grids/ovc_sparse_array.h"
#include "grids/ovc_table_cell_ancestor.h"
#include "grids/ovc_table_model.h"

using namespace korval;

namespace {

void* P(intptr_t v) { return reinterpret_cast<void*>(v); }

std::vector<int> Indexes(const TOvcSparseArray& a, bool backwards = false)
{
    std::vector<int> out;
    a.ForAll([&](int i, void*) { out.push_back(i); return true; }, backwards);
    return out;
}

// A model with a "window" of the given size, so the rules that need one run.
class TestModel : public TOvcTableModel {
public:
    explicit TestModel(int w = 300, int h = 100)
    {
        SetClientSize(w, h);
    }
    void Create() { WindowCreated(); }
    int paints = 0;

protected:
    bool HandleAllocated() const override { return true; }
    void PaintInvalidCells(const TOvcCellArray&) override { ++paints; }
};

} // namespace

// ---- sparse array

TEST(SparseArray, DeleteMovesLaterItemsDownAcrossPages)
{
    TOvcSparseArray a;
    a.Put(3, P(3));
    a.Put(5, P(5));
    a.Put(40, P(40));
    a.Delete(5);
    EXPECT_EQ(Indexes(a), (std::vector<int>{3, 39}));
    EXPECT_EQ(a.Get(39), P(40));
    EXPECT_EQ(a.UpperIndex(), 40);
}

TEST(SparseArray, DeleteCarriesIntoAMissingPage)
{
    TOvcSparseArray a;
    a.Put(0, P(1));
    a.Put(64, P(2));  // pages 0 and 2; page 1 must be made for the carried item
    a.Delete(0);
    EXPECT_EQ(Indexes(a), (std::vector<int>{63}));
    EXPECT_EQ(a.Get(63), P(2));
}

TEST(SparseArray, InsertMovesItemsUpAcrossPages)
{
    TOvcSparseArray a;
    a.Put(31, P(1));
    a.Put(32, P(2));
    a.Put(100, P(3));
    a.Insert(10, P(9));
    EXPECT_EQ(Indexes(a), (std::vector<int>{10, 32, 33, 101}));
    EXPECT_EQ(a.Get(32), P(1));
    EXPECT_EQ(a.Get(101), P(3));
    a.Insert(500, P(4));  // beyond the last item: a plain put
    EXPECT_EQ(a.Get(500), P(4));
}

TEST(SparseArray, LimitsRaise)
{
    TOvcSparseArray a;
    EXPECT_THROW(a.Get(-1), ESAEOutOfBounds);
    EXPECT_THROW(a.Put(TOvcSparseArray::Limit, P(1)), ESAEOutOfBounds);
    a.Put(TOvcSparseArray::Limit - 1, P(1));
    // Full even though the slot to insert at is empty.
    EXPECT_THROW(a.Insert(7, P(2)), ESAEAtMaxSize);
    try {
        a.Get(TOvcSparseArray::Limit);
    } catch (const ESAEOutOfBounds& e) {
        EXPECT_STREQ(e.what(), "Index is out of bounds for sparse array");
    }
}

TEST(SparseArray, ForAllBackwardsStopsAndPutNilSqueezes)
{
    TOvcSparseArray a;
    a.Put(1, P(1));
    a.Put(2, P(2));
    a.Put(70, P(3));
    EXPECT_EQ(Indexes(a, true), (std::vector<int>{70, 2, 1}));
    EXPECT_EQ(a.ForAll([](int i, void*) { return i != 2; }), 2);
    a.Put(70, nullptr);
    EXPECT_EQ(a.PageCount(), 1);
    EXPECT_EQ(a.UpperIndex(), 3);
    a.Exchange(1, 200);
    EXPECT_EQ(a.Get(200), P(1));
    EXPECT_EQ(a.Get(1), nullptr);
    EXPECT_EQ(a.Count(), 2);
}

// ---- rows and columns

TEST(TableRows, DefaultsAndNormalisedRecords)
{
    TOvcTableRows rows;
    EXPECT_EQ(rows.Limit(), 10);
    EXPECT_EQ(rows.DefaultHeight(), 30);
    std::vector<int> notes;
    rows.OnRowChanged = [&](int r, int, TOvcTblActions a) { notes.push_back(r * 10 + a); };
    rows.SetHeight(3, 50);
    EXPECT_TRUE(rows.HasRecord(3));
    rows.SetHeight(3, 30);  // the default height on a visible row: the record goes
    EXPECT_FALSE(rows.HasRecord(3));
    rows.SetRow(4, TRowStyle{30, true});  // hidden with the default height stores -1
    EXPECT_TRUE(rows.GetHidden(4));
    EXPECT_EQ(rows.GetRow(4).Height, 30);
    rows.SetLimit(0);
    EXPECT_EQ(rows.Limit(), 1);
    EXPECT_EQ(notes, (std::vector<int>{31, 31, 41, -20}));
}

TEST(TableRows, RangeAndRowsPastTheSparseArray)
{
    TOvcTableRows rows;
    EXPECT_THROW(rows.GetRow(10), ETableError);
    EXPECT_THROW(rows.SetHeight(-1, 5), ETableError);
    try {
        rows.GetRow(-1);
    } catch (const ETableError& e) {
        EXPECT_STRNE(e.what(), "Unknown");
        EXPECT_EQ(e.Code(), ETableError::teRowOutOfRange);
    }
    rows.SetLimit(400000);
    rows.SetHeight(320000, 80);
    EXPECT_FALSE(rows.HasRecord(320000));
    EXPECT_EQ(rows.GetRow(320000), (TRowStyle{30, false}));
}

TEST(TableRows, DeleteAndExchangeMoveRecords)
{
    TOvcTableRows rows;
    rows.SetHeight(5, 40);
    rows.SetHeight(7, 70);
    rows.Delete(5);
    EXPECT_EQ(rows.Limit(), 9);
    EXPECT_EQ(rows.RecordCount(), 1);
    EXPECT_EQ(rows.Height(6), 70);
    rows.Exchange(6, 1);
    EXPECT_EQ(rows.Height(1), 70);
    EXPECT_EQ(rows.Height(6), 30);
}

TEST(TableColumns, CountNumbersAndCells)
{
    TOvcTableModel t;
    TOvcTableColumns& cols = t.Columns();
    EXPECT_EQ(cols.Count(), 10);
    EXPECT_EQ(cols[0]->Width(), 150);
    cols.SetCount(0);
    EXPECT_EQ(cols.Count(), 10);
    cols.Exchange(2, 5);
    EXPECT_EQ(cols[2]->Number(), 2);
    EXPECT_EQ(cols.Items(10), nullptr);

    TOvcTableCellAncestor cell;
    cols[1]->SetDefaultCell(&cell);
    cols[2]->SetDefaultCell(&cell);
    EXPECT_EQ(cell.Table(), &t);
    EXPECT_EQ(cell.References(), 2);
    EXPECT_EQ(t.AttachedCells().size(), 1u);
    // Another table cannot take it.
    TOvcTableModel other;
    other.Columns()[1]->SetDefaultCell(&cell);
    EXPECT_EQ(other.Columns().DefaultCell(1), nullptr);
    cols[1]->SetDefaultCell(nullptr);
    cols[2]->SetDefaultCell(nullptr);
    EXPECT_EQ(cell.Table(), nullptr);
    EXPECT_TRUE(t.AttachedCells().empty());
}

// ---- support objects

TEST(SelectionList, RangesMergeAndSplit)
{
    TOvcSelectionList s(20, 3);
    s.SelectRange(2, 1, 4, 1);
    s.SelectRange(5, 1, 7, 1);
    using R = TOvcSelectionList::TRange;
    EXPECT_EQ(s.Ranges(1), (std::vector<R>{{2, 7}}));
    s.DeselectRange(4, 1, 5, 1);
    EXPECT_EQ(s.Ranges(1), (std::vector<R>{{2, 3}, {6, 7}}));
    s.SelectRange(10, 1, 12, 1);
    s.SelectRange(0, 1, 11, 1);  // swallows all three
    EXPECT_EQ(s.Ranges(1), (std::vector<R>{{0, 12}}));
    s.SelectRange(0, 0, 25, 0);  // a corner outside: ignored
    EXPECT_TRUE(s.Ranges(0).empty());
    EXPECT_TRUE(s.IsSelected(12, 1));
    EXPECT_FALSE(s.IsSelected(13, 1));
    s.SetPending(15, 2, true);
    s.SetPending(16, 2, true);
    EXPECT_TRUE(s.IsSelected(16, 2));
    std::vector<int> seen;
    s.Iterate([&](int a, int c, int b) { seen.insert(seen.end(), {a, c, b}); return true; });
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 12, 15, 2, 16}));
}

TEST(CellArray, SortedWithoutDuplicates)
{
    TOvcCellArray a;
    a.AddCell(3, 1);
    a.AddCell(1, 5);
    a.AddCell(3, 1);
    EXPECT_EQ(a.Count(), 2);
    EXPECT_EQ(a.Items(0), (TOvcCellPos{1, 5}));
    EXPECT_EQ(a.Items(9), (TOvcCellPos{0, 0}));
    TOvcCellArray b;
    b.AddUnusedBit();
    EXPECT_FALSE(b.IsEmpty());
    b.AddCell(2, 2);
    a.Merge(b);
    EXPECT_EQ(a.Count(), 3);
    EXPECT_TRUE(a.Everything());
    EXPECT_TRUE(a.DeleteCell(2, 2));
    a.Clear();
    EXPECT_TRUE(a.IsEmpty());
}

TEST(TableTypes, ColumnLetters)
{
    EXPECT_EQ(ColumnLetters(1), "A");
    EXPECT_EQ(ColumnLetters(26), "Z");
    EXPECT_EQ(ColumnLetters(27), "AA");
    EXPECT_EQ(ColumnLetters(52), "AZ");
    EXPECT_EQ(ColumnLetters(703), "AAA");
}

// ---- table model

TEST(TableModel, OptionSetsNormalise)
{
    TOvcTableModel t;
    t.SetOptions({otoBrowseRow, otoMouseDragSelect});
    EXPECT_EQ(t.Options(), (TOvcTblOptionSet{otoBrowseRow, otoNoRowResizing, otoNoColResizing, otoNoSelection}));
    t.SetOptions({otoNoSelection, otoRowSelection, otoAllowRowMoves});
    EXPECT_EQ(t.Options(), (TOvcTblOptionSet{otoNoSelection, otoAllowRowMoves}));
    t.SetOptions({otoColSelection, otoAllowColMoves, otoAllowRowMoves});
    EXPECT_EQ(t.Options(), (TOvcTblOptionSet{otoColSelection, otoAllowRowMoves}));
    t.SetAccess(otxDefault);
    EXPECT_EQ(t.Access(), otxNormal);
    t.SetAdjust(otaDefault);
    EXPECT_EQ(t.Adjust(), otaCenterLeft);
}

TEST(TableModel, RedrawLocksNest)
{
    TestModel t;
    t.Create();
    t.paints = 0;
    t.SetAllowRedraw(false);
    t.SetAllowRedraw(false);
    t.InvalidateCell(2, 1);
    t.SetAllowRedraw(true);
    EXPECT_EQ(t.RedrawLockCount(), 1);
    EXPECT_EQ(t.paints, 0);
    t.SetAllowRedraw(true);
    EXPECT_EQ(t.paints, 1);
    t.SetAllowRedraw(true);  // an extra release stays at zero
    EXPECT_EQ(t.RedrawLockCount(), 0);
}

TEST(TableModel, AdjustRowAndCol)
{
    TestModel t;
    t.SetLockedRows(2);
    EXPECT_EQ(t.AdjustRow(t.RowLimit() + 5, 0), 2);
    EXPECT_EQ(t.AdjustRow(-3, 0), 2);
    t.Rows().SetHidden(5, true);
    t.Rows().SetHidden(9, true);
    EXPECT_EQ(t.AdjustRow(5, 0), 6);
    EXPECT_EQ(t.AdjustRow(9, 0), 8);
    EXPECT_EQ(t.AdjustRow(4, 1), 6);
    EXPECT_EQ(t.AdjustRow(6, -1), 4);
    EXPECT_EQ(t.AdjustRow(2, -1), 2);
    t.Columns()[3]->SetHidden(true);
    EXPECT_EQ(t.AdjustCol(2, 1), 4);
}

TEST(TableModel, RangesAndScrollBars)
{
    TestModel t(300, 100);  // three 30-pixel rows and a bit: the heading plus 2.33 rows
    t.Create();
    // Rows 1..9 scroll; from row 8 the rows 8 and 9 leave room below, from 7 they do not.
    EXPECT_EQ(t.MaxTopRow(), 8);
    EXPECT_EQ(t.VScrollMin(), 1);
    EXPECT_EQ(t.VScrollMax(), 8);
    TestModel all(300, 400);
    all.Create();
    EXPECT_EQ(all.MaxTopRow(), 1);
    EXPECT_EQ(all.VScrollMax(), all.VScrollMin());
    // 150-pixel columns: the last one exactly filling the width after the locked one.
    EXPECT_EQ(t.MaxLeftCol(), 9);
}

TEST(TableModel, ThumbReachesTheLastOfManyRows)
{
    TestModel t(400, 330);
    t.SetRowLimit(400000);
    t.Create();
    t.ThumbToRow(t.VScrollMax());
    const auto& rows = t.VisibleRows();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.back().Num, 399999);
    EXPECT_LE(rows.back().Offset + 30, t.ClientHeight());
    EXPECT_EQ(t.VScrollPos(), t.VScrollMax());
    t.ProcessCommand(ccLastPage);
    EXPECT_EQ(t.ActiveRow(), 399999);
}

TEST(TableModel, HitTestsAndResizeSpots)
{
    TestModel t(300, 100);
    t.Create();
    int r = 0, c = 0;
    EXPECT_EQ(t.HitTest(10, 10, r, c), otrInLocked);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(t.HitTest(160, 40, r, c), otrInMain);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(c, 1);
    EXPECT_EQ(t.HitTest(-1, 40, r, c), otrOutside);
    EXPECT_EQ(c, -2);
    t.SetColCount(2);
    TestModel narrow(400, 100);
    narrow.SetColCount(2);
    narrow.Create();
    EXPECT_EQ(narrow.HitTest(350, 40, r, c), otrInUnused);
    EXPECT_EQ(c, -1);
    // The bottom edge of row 1 is at 60: 2 pixels below is a spot, 3 is not.
    EXPECT_EQ(t.RowResizeSpot(10, 62), 1);
    EXPECT_EQ(t.RowResizeSpot(10, 63), -1);
    EXPECT_EQ(t.RowResizeSpot(160, 62), -1);  // only in the locked columns
    EXPECT_EQ(t.ColResizeSpot(151, 10), 0);
    EXPECT_EQ(t.ColResizeSpot(151, 40), -1);
}

TEST(TableModel, NavigationTargets)
{
    TestModel t(460, 130);  // heading + 3 rows, heading column + 2 columns
    t.SetRowLimit(50);
    t.Create();
    struct Step { uint16_t cmd; int row, col; };
    const Step steps[] = {
        {ccDown, 2, 1}, {ccRight, 2, 2}, {ccEnd, 2, 9}, {ccHome, 2, 1}, {ccBotOfPage, 3, 1},
        {ccNextPage, 5, 1}, {ccPrevPage, 3, 1}, {ccLastPage, 49, 1}, {ccTopOfPage, 47, 1},
        {ccFirstPage, 1, 1}, {ccBotRightCell, 49, 9}, {ccTopLeftCell, 1, 1}, {ccUp, 1, 1},
        {ccWordRight, 1, 1},
    };
    for (const Step& s : steps) {
        t.ProcessCommand(s.cmd);
        EXPECT_EQ(t.ActiveRow(), s.row) << CommandName(s.cmd);
        EXPECT_EQ(t.ActiveCol(), s.col) << CommandName(s.cmd);
    }
}

TEST(TableModel, LoweringRowLimitPullsTheActiveRowBack)
{
    TestModel t;
    t.SetRowLimit(20);
    t.Create();
    t.SetActiveRow(15);
    std::vector<std::string> events;
    t.OnLeavingRow = [&](int r) { events.push_back("leave " + std::to_string(r)); };
    t.OnActiveCellChanged = [&](int r, int) { events.push_back("active " + std::to_string(r)); };
    t.SetRowLimit(1);  // not above LockedRows: nothing changes
    EXPECT_EQ(t.RowLimit(), 20);
    t.SetRowLimit(12);
    EXPECT_EQ(t.ActiveRow(), 11);
    EXPECT_EQ(events, (std::vector<std::string>{"leave 15", "active 11"}));
    EXPECT_LE(t.TopRow(), 11);
}

TEST(TableModel, MovingCanBeRedirectedAndEnteringFiresOncePerRow)
{
    TestModel t;
    t.Create();
    t.OnActiveCellMoving = [](uint16_t cmd, int& r, int&) {
        if (cmd == ccDown && r == 3)
            r = 4;
    };
    t.ProcessCommand(ccDown);
    t.ProcessCommand(ccDown);
    EXPECT_EQ(t.ActiveRow(), 4);
    int entered = 0;
    t.OnEnteringRow = [&](int) { ++entered; };
    t.DoEnteringRow(4);
    t.DoEnteringRow(4);
    t.DoEnteringRow(5);
    EXPECT_EQ(entered, 2);
}

TEST(TableModel, AttributesFollowStateAndSettings)
{
    TestModel t;
    t.Create();
    TOvcCellAttr a;
    t.ResolveCellAttr(0, 2, a);
    EXPECT_EQ(a.Color, clBtnFace);  // locked: Colors.Locked
    EXPECT_EQ(a.Access, otxNormal);
    TOvcCellAttr b;
    b.Color = 0x123456;
    t.Cells().SetColor(3, 2, 0xABCDEF);
    t.Cells().SetAccess(3, 2, otxReadOnly);
    t.ResolveCellAttr(3, 2, b);
    EXPECT_EQ(b.Color, 0xABCDEFu);
    EXPECT_EQ(b.Access, otxReadOnly);
    TOvcCellAttr c;
    t.ResolveCellAttr(1, 1, c);  // the active cell of an unfocused table
    EXPECT_EQ(c.Color, clHighlight);
    t.Cells().ResetCell(3, 2);
    EXPECT_EQ(t.Cells().Count(), 0);
    // A cell set for one cell serves this table and is the one that paints it.
    TOvcTableCellAncestor special;
    t.Cells().SetCell(4, 3, &special);
    EXPECT_EQ(special.Table(), &t);
    EXPECT_EQ(t.GetCellObject(4, 3), &special);
    TestModel other;
    other.Cells().SetCell(1, 1, &special);
    EXPECT_EQ(other.Cells().Count(), 0);
    t.Cells().ResetCell(4, 3);
    EXPECT_EQ(special.Table(), nullptr);
}

TEST(TableModel, NoCellDataIsAskedBeforeTheWindowExists)
{
    TOvcTableModel t;
    int calls = 0;
    t.OnGetCellData = [&](int, int, TOvcCellData&, TOvcCellDataPurpose) { ++calls; };
    TOvcCellData d;
    t.DoGetCellData(1, 1, d, cdpForPaint);
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(d.IsNil());
    TestModel w;
    std::string value = "x";
    w.OnGetCellData = [&](int, int, TOvcCellData& data, TOvcCellDataPurpose) { data = TOvcCellData::String(value); };
    w.DoGetCellData(1, 1, d, cdpForPaint);
    ASSERT_NE(d.AsString(), nullptr);
    EXPECT_EQ(d.AsInteger(), nullptr);  // the reference keeps its kind
}
