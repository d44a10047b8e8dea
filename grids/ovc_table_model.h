#pragma once
// TOvcTableModel: everything of the owner-data table that needs no window: the shape (rows,
// columns, locked headings), the active cell and scroll position with the rules that keep them
// consistent, the visible maps and range calculation, hit testing, the navigation commands,
// selection, the redraw lock with its list of cells to repaint, and the table's events. The
// table control derives from it and supplies the window through the protected hooks.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "grids/ovc_cell_array.h"
#include "grids/ovc_selection_list.h"
#include "grids/ovc_table_cells.h"
#include "grids/ovc_table_colors.h"
#include "grids/ovc_table_columns.h"
#include "grids/ovc_table_rows.h"
#include "grids/ovc_table_types.h"

namespace korval {

class TOvcTableCellAncestor;

// The window-free part of a cell's attributes, refined by the table.
struct TOvcCellAttr {
    TOvcTblAccess Access = otxDefault;
    TOvcTblAdjust Adjust = otaDefault;
    TColor Color = clNoColor;
    TColor TextColor = clWindowText;
    TColor TextHiColor = clBtnHighlight;
    TOvcTextStyle TextStyle = tsFlat;
    // A per-cell font that replaces the cell's own.
    std::optional<TOvcFontSpec> CellFont;
};

// Where a point lies.
enum TOvcTblRegion : uint8_t { otrInMain, otrInLocked, otrInUnused, otrOutside };

// The command code of a mouse click passed to OnActiveCellMoving.
constexpr uint16_t ccMouseClick = 250;

class TOvcTableModel {
public:
    struct TVisEntry {
        int Num;
        int Offset;
    };

    TOvcTableModel();
    virtual ~TOvcTableModel();
    TOvcTableModel(const TOvcTableModel&) = delete;
    TOvcTableModel& operator=(const TOvcTableModel&) = delete;

    // ---- owned objects
    TOvcTableRows& Rows() { return rows_; }
    const TOvcTableRows& Rows() const { return rows_; }
    TOvcTableColumns& Columns() { return *columns_; }
    const TOvcTableColumns& Columns() const { return *columns_; }
    TOvcTableCells& Cells() { return cells_; }
    TOvcTableColors& Colors() { return colors_; }
    const TOvcTableColors& Colors() const { return colors_; }
    TOvcGridPenSet& GridPenSet() { return pens_; }
    const TOvcGridPenSet& GridPenSet() const { return pens_; }
    const TOvcSelectionList& Selection() const { return selection_; }
    const TOvcCellArray& InvalidCells() const { return invalid_; }

    // ---- shape and position
    int RowLimit() const { return rows_.Limit(); }
    void SetRowLimit(int value);
    int ColCount() const { return columns_->Count(); }
    void SetColCount(int value);
    int LockedRows() const { return lockedRows_; }
    void SetLockedRows(int value);
    int LockedCols() const { return lockedCols_; }
    void SetLockedCols(int value);
    int TopRow() const { return topRow_; }
    void SetTopRow(int value) { SetTopLeftCell(value, leftCol_); }
    int LeftCol() const { return leftCol_; }
    void SetLeftCol(int value) { SetTopLeftCell(topRow_, value); }
    void SetTopLeftCell(int rowNum, int colNum);
    int ActiveRow() const { return activeRow_; }
    void SetActiveRow(int value) { SetActiveCell(value, activeCol_); }
    int ActiveCol() const { return activeCol_; }
    void SetActiveCol(int value) { SetActiveCell(activeRow_, value); }
    void SetActiveCell(int rowNum, int colNum);
    // Updates the selection for the new cell, then moves there.
    void MoveActiveCell(int rowNum, int colNum);

    TOvcTblAccess Access() const { return access_; }
    void SetAccess(TOvcTblAccess value);
    TOvcTblAdjust Adjust() const { return adjust_; }
    void SetAdjust(TOvcTblAdjust value);
    TOvcTblOptionSet Options() const { return options_; }
    void SetOptions(TOvcTblOptionSet value);
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TColor ColorUnused() const { return colorUnused_; }
    void SetColorUnused(TColor value);

    TOvcTableCellAncestor* LockedRowsCell() const { return lockedRowsCell_; }
    // A cell that serves another table is refused.
    void SetLockedRowsCell(TOvcTableCellAncestor* cell);
    // The per-cell cell, else the locked-rows cell for a heading row, else the column's cell.
    TOvcTableCellAncestor* GetCellObject(int rowNum, int colNum) const;
    // Cells attached to the table (through columns, the locked rows or per-cell settings).
    const std::vector<TOvcTableCellAncestor*>& AttachedCells() const { return attached_; }
    // Called by the cells.
    void CellAttached(TOvcTableCellAncestor* cell);
    void CellDetached(TOvcTableCellAncestor* cell);
    void CellLeaving(TOvcTableCellAncestor* cell);

    // ---- layout
    // The client area; the maps and ranges follow it.
    void SetClientSize(int width, int height);
    int ClientWidth() const { return clientW_; }
    int ClientHeight() const { return clientH_; }
    const std::vector<TVisEntry>& VisibleRows() const { return vRows_; }
    const std::vector<TVisEntry>& VisibleCols() const { return vCols_; }
    int RowMapEnd() const { return vRowsEnd_; }
    int ColMapEnd() const { return vColsEnd_; }
    int RowOnScreen(int rowNum) const;
    int ColOnScreen(int colNum) const;
    int GetRowOffset(int rowNum) const;
    int GetColOffset(int colNum) const;
    // A row (column) that is not hidden; see the direction rules in the cpp.
    int AdjustRow(int rowNum, int direction) const;
    int AdjustCol(int colNum, int direction) const;
    bool RowHidden(int rowNum) const;
    bool ColHidden(int colNum) const;
    int RowHeight(int rowNum) const;
    int ColWidth(int colNum) const;
    int MaxTopRow() const { return maxTopRow_; }
    int MaxLeftCol() const { return maxLeftCol_; }
    // Region of a point; row and column -1 beyond the last, -2 above or left of the client.
    TOvcTblRegion HitTest(int x, int y, int& rowNum, int& colNum) const;
    // The on-screen rectangle of a cell; false when it is not on screen.
    bool CellRect(int rowNum, int colNum, int& x, int& y, int& w, int& h) const;
    // The row whose bottom edge is within 2 pixels of the point in the locked columns, else -1;
    // the column whose right edge is within 2 pixels of it in the locked rows, else -1.
    int RowResizeSpot(int x, int y) const;
    int ColResizeSpot(int x, int y) const;

    // Scroll bars, unscaled: the vertical bar counts rows, the horizontal visible columns.
    int VScrollMin() const { return lockedRows_; }
    int VScrollMax() const;
    int VScrollPos() const { return topRow_; }
    int HScrollMax() const;
    int HScrollPos() const;
    void ThumbToRow(int pos) { SetTopLeftCell(pos, leftCol_); }
    void ThumbToCol(int pos);
    // Line and page moves of the scroll bars; false when the editor refused to give up its value.
    bool ScrollRows(int delta);   // -1/+1 lines
    bool ScrollPage(bool down);
    bool ScrollCols(int delta);
    bool ScrollPageCols(bool right);

    // ---- commands and selection
    virtual void ProcessCommand(uint16_t command);
    void CollapseSelection(int rowNum, int colNum, bool addToSelection);
    void ExtendSelection(int rowNum, int colNum, bool addToSelection);
    void SelectRow(int rowNum);
    void SelectCol(int colNum);
    void SelectAll();
    bool IsSelected(int rowNum, int colNum) const { return selection_.IsSelected(rowNum, colNum); }
    int AnchorRow() const { return anchorRow_; }
    int AnchorCol() const { return anchorCol_; }
    bool ExtendingByKeys = false;
    bool DragSelecting = false;

    // ---- redraw lock and repainting
    void SetAllowRedraw(bool value);
    int RedrawLockCount() const { return lock_; }
    void InvalidateCell(int rowNum, int colNum);
    void InvalidateRow(int rowNum);
    void InvalidateCol(int colNum);
    void InvalidateTable();
    void InvalidateCellsInRect(int x, int y, int w, int h);
    void InvalidateSelection();

    // ---- attributes
    // Steps of the table's attribute resolution that need no window: access, alignment and the
    // state colours. The control adds the window's own event.
    void ResolveCellAttr(int rowNum, int colNum, TOvcCellAttr& attr) const;

    // ---- state
    bool InEditingState() const { return editing_ || editingHidden_; }
    bool EditorHidden() const { return editingHidden_; }
    bool TableFocused() const { return focused_; }
    bool Destroying() const { return destroying_; }

    // ---- events (the sender is the table)
    std::function<void(int rowNum, int colNum)> OnActiveCellChanged;
    std::function<void(uint16_t command, int& rowNum, int& colNum)> OnActiveCellMoving;
    std::function<void(int rowNum, int colNum, bool& allowIt)> OnBeginEdit;
    std::function<void()> OnClipboardCopy;
    std::function<void()> OnClipboardCut;
    std::function<void()> OnClipboardPaste;
    std::function<void(int colNum1, int colNum2, TOvcTblActions action)> OnColumnsChanged;
    std::function<void(int rowNum, int colNum)> OnDoneEdit;
    std::function<void(TOvcTableCellAncestor* cell, int rowNum, int colNum, bool& allowIt)> OnEndEdit;
    std::function<void(int colNum)> OnEnteringColumn;
    std::function<void(int rowNum)> OnEnteringRow;
    std::function<void(int rowNum, int colNum, TOvcCellData& data, TOvcCellDataPurpose purpose)> OnGetCellData;
    std::function<void(int colNum)> OnLeavingColumn;
    std::function<void(int rowNum)> OnLeavingRow;
    std::function<void(int rowNum, int colNum)> OnLockedCellClick;
    std::function<void()> OnPaintUnusedArea;
    std::function<void(int rowNum1, int rowNum2, TOvcTblActions action)> OnRowsChanged;
    std::function<void(int rowNum, int colNum)> OnTopLeftCellChanged;
    std::function<void(int& rowNum, int& colNum)> OnTopLeftCellChanging;
    std::function<void(uint16_t command)> OnUserCommand;

    // ---- dispatchers
    virtual void DoActiveCellChanged(int rowNum, int colNum);
    virtual void DoActiveCellMoving(uint16_t command, int& rowNum, int& colNum);
    virtual void DoBeginEdit(int rowNum, int colNum, bool& allowIt);
    virtual void DoColumnsChanged(int colNum1, int colNum2, TOvcTblActions action);
    virtual void DoDoneEdit(int rowNum, int colNum);
    virtual void DoEndEdit(TOvcTableCellAncestor* cell, int rowNum, int colNum, bool& allowIt);
    virtual void DoEnteringColumn(int colNum);
    virtual void DoEnteringRow(int rowNum);
    // Fires only once the window exists; the data starts nil.
    virtual void DoGetCellData(int rowNum, int colNum, TOvcCellData& data, TOvcCellDataPurpose purpose);
    virtual void DoLeavingColumn(int colNum);
    virtual void DoLeavingRow(int rowNum);
    virtual void DoLockedCellClick(int rowNum, int colNum);
    virtual void DoRowsChanged(int rowNum1, int rowNum2, TOvcTblActions action);
    virtual void DoTopLeftCellChanged(int rowNum, int colNum);
    virtual void DoTopLeftCellChanging(int& rowNum, int& colNum);
    virtual void DoUserCommand(uint16_t command);

    // Ends editing; the control implements it (without a window there is nothing to end).
    virtual bool StopEditingState(bool saveValue);

    // The form designer has the table (never, in this program; cells show their coordinates).
    virtual bool Designing() const { return false; }

protected:
    // ---- what the window supplies
    virtual bool HandleAllocated() const { return false; }
    // Paint the cells of the list (everything flag: the whole client area).
    virtual void PaintInvalidCells(const TOvcCellArray&) {}
    virtual void ScrollBarsChanged() {}
    // Start editing the active cell after the current event.
    virtual void PostStartEditing() {}
    // The editor is hidden during a redraw lock and shown again after it.
    virtual void HideEditorForLock() {}
    virtual void ShowEditorAfterLock() {}
    // The top-left cell moved while editing: the editor follows its cell.
    virtual void EditorCellMoved() {}
    // A cell no longer serves the table (it is going away or lost its last use).
    virtual void CellGone(TOvcTableCellAncestor*) {}

    // Completes the set-up once the window exists.
    void WindowCreated();
    void SetFocused(bool focused) { focused_ = focused; }
    void SetEditing(bool editing, bool hidden = false)
    {
        editing_ = editing && !hidden;
        editingHidden_ = editing && hidden;
    }
    // Brings the active cell on screen.
    void MakeActiveCellVisible();
    void BuildMaps();
    void CalcRanges();
    void UpdateScrollBars();
    // Moves the active cell without asking OnActiveCellMoving again.
    void MoveToCell(int rowNum, int colNum);

    bool destroying_ = false;

private:
    int ResizeSpot(bool rows, int x, int y) const;
    std::vector<TVisEntry> BuildRowMap(int top, int& end) const;
    std::vector<TVisEntry> BuildColMap(int left, int& end) const;
    void RowsChanged(int r1, int r2, TOvcTblActions action);
    void ColsChanged(int c1, int c2, TOvcTblActions action);
    int LastRowOnScreen() const;
    int LastColOnScreen() const;
    void FlushInvalid();
    void InvalidateSelectedOnScreen();
    void RowIntoView(int rowNum);
    void ColIntoView(int colNum);
    // The top row (rows) or left column that brings num wholly into view (or puts it first when
    // it is larger than the window); none when it is in view already or locked.
    std::optional<int> IntoViewStart(int num, bool rows) const;
    // The furthest-back top row (rows) or left column from which num is still wholly shown, or
    // num itself when it is larger than the window.
    int StartEndingWith(int num, bool rows) const;
    // The maps and scroll ranges built again after a change of size or locked area, all repainted.
    void Relayout();
    // The locked rows (rows) or columns; the first scrolled and active ones move out of them.
    void SetLocked(int value, bool rows);
    // Paging: the place of the active row (rows) or column among the scrolled-in ones shown (-1
    // when it is not shown), and the one that stands at that place after the page moved (the
    // last shown when fewer are, the first when none is).
    int ActiveScrolledIndex(bool rows) const;
    int ShownAtScrolledIndex(int index, bool rows) const;
    int PageDownTop() const;
    int PageUpTop() const;
    int PageRightLeft() const;
    int PageLeftLeft() const;
    void PageRows(bool down);
    void PageCols(bool right);

    TOvcTableRows rows_;
    std::unique_ptr<TOvcTableColumns> columns_;
    TOvcTableCells cells_;
    TOvcTableColors colors_;
    TOvcGridPenSet pens_;
    TOvcSelectionList selection_;
    TOvcCellArray invalid_;
    std::vector<TOvcTableCellAncestor*> attached_;
    TOvcTableCellAncestor* lockedRowsCell_ = nullptr;

    TOvcTblAccess access_ = otxNormal;
    TOvcTblAdjust adjust_ = otaCenterLeft;
    TOvcTblOptionSet options_;
    TColor color_ = clBtnFace;
    TColor colorUnused_ = clWindow;
    int lockedRows_ = 1, lockedCols_ = 1;
    int topRow_ = 1, leftCol_ = 1;
    int activeRow_ = 1, activeCol_ = 1;
    int anchorRow_ = 1, anchorCol_ = 1;
    int lastEnteredRow_ = -1, lastEnteredCol_ = -1;
    int maxTopRow_ = 1, maxLeftCol_ = 1;
    int clientW_ = 300, clientH_ = 100;
    std::vector<TVisEntry> vRows_, vCols_;
    int vRowsEnd_ = 0, vColsEnd_ = 0;
    int lock_ = 0;
    bool scrollUpdatePending_ = false;
    bool focused_ = false;
    bool editing_ = false;
    bool editingHidden_ = false;
    bool windowReady_ = false;
};

} // namespace korval
