#pragma once
// TOvcSelectionList: the table's selected cells as sorted, disjoint row ranges per column, plus
// the rectangle the operator is dragging or extending out right now (not yet committed).
#include <functional>
#include <vector>

namespace korval {

class TOvcSelectionList {
public:
    struct TRange {
        int Start;
        int End;
        bool operator==(const TRange&) const = default;
    };

    TOvcSelectionList(int rowCount, int colCount);

    int RowCount() const { return rows_; }
    int ColCount() const { return static_cast<int>(cols_.size()); }
    void SetRowCount(int rowCount);
    void SetColCount(int colCount);
    void Clear();
    void SelectAll();
    // Corners in any order; ignored when a corner lies outside the counts.
    void SelectRange(int row1, int col1, int row2, int col2);
    void DeselectRange(int row1, int col1, int row2, int col2);
    // Moves the pending rectangle's current corner; a new rectangle starts with its anchor here.
    void SetPending(int row, int col, bool select);
    void ClearPending() { hasPending_ = false; }
    bool HasPending() const { return hasPending_; }
    bool HasSelection() const;
    bool IsSelected(int row, int col) const;
    // Commits the pending rectangle, then calls action(start row, column, end row) for every
    // range, column by column, until it answers false.
    void Iterate(const std::function<bool(int rowStart, int col, int rowEnd)>& action);
    const std::vector<TRange>& Ranges(int col) const;

private:
    void SelectCol(int col, int r1, int r2);
    void DeselectCol(int col, int r1, int r2);
    void CommitPending();
    bool Inside(int row, int col) const { return row >= 0 && row < rows_ && col >= 0 && col < ColCount(); }

    int rows_;
    std::vector<std::vector<TRange>> cols_;
    bool hasPending_ = false;
    int anchorRow_ = 0, anchorCol_ = 0, curRow_ = 0, curCol_ = 0;
    bool pendingSelect_ = true;
};

} // namespace korval
