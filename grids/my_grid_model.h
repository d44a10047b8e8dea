#pragma once
// The row and column model of the virtual-data grid: the header's column definitions, the row
// count with the current and top rows, the update bracket, and which cells are on screen.
// The grid keeps no cell text; its owner answers for the visible cells only.
#include <climits>
#include <string>
#include <vector>

namespace korval {

enum TMyGridAlign { gaLeft = 0, gaRight = 1, gaCenter = 2 };

struct TMyGridHeaderLine {
    std::string caption;
    int object; // (width in characters + 1) * 4 + alignment
};

class TMyGridModel {
public:
    // ---- header ----
    std::vector<TMyGridHeaderLine> Header;
    void ClearHeader() { Header.clear(); }
    // Width 0 takes the caption's length.
    void AddColumn(const std::string& caption, int widthChars, int align);
    static int HeaderObject(int widthChars, int align) { return (widthChars + 1) * 4 + align; }
    static int AlignmentOf(int object) { return object & 3; }
    // Pixel width of a column from its header object; wWidth = text width of "W".
    static int ColumnWidth(int object, int wWidth, int defaultWidth);

    // ---- geometry, set by the window ----
    int ColCount = 1;
    std::vector<int> ColWidths{64};
    int DefaultColWidth = 64;
    int DefaultRowHeight = 24;
    int GridLineWidth = 1;
    int LeftCol = 0;
    // Lays the columns out from the header (count and widths).
    void ApplyColumns(int wWidth);

    // ---- rows ----
    int RowCount = 1;
    int FixedRows = 0;
    int Row = 0;     // current row; row 0 is the header
    int TopRow = 0;  // first scrolling row shown
    int Col = 0;

    void Clear();
    // Count > 1: that many rows with the header fixed and the current row clamped to the data rows;
    // else the header alone. top (when given) is clamped to the rows that can be on top;
    // INT_MAX for either means the last.
    void SetRows(int count, int current, int top = -1);
    void GotoLastRow() { SetRows(RowCount, INT_MAX); }
    // The rows and their placement for a client area of that height.
    void SetClientSize(int width, int height);
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }
    // Data rows that fit wholly below the fixed rows (at least 1).
    int VisibleDataRows() const;
    int MaxTopRow() const;
    void SetTopRow(int top);
    // Puts the current row in view.
    void ScrollToRow();
    // Moves the current row (clamped to the data rows) and brings it into view.
    void MoveTo(int row);

    // ---- what is on screen: half-open ranges of scrolling rows and columns ----
    int LastVisibleRow() const; // last row touched by the client area, partly or wholly
    int LastVisibleCol() const;

    // Row, column at a point; -1 when outside the cells.
    int RowAt(int y) const;
    int ColAt(int x) const;
    int RowTop(int row) const;  // client y of a row's top (fixed rows first), -1 when not shown
    int ColLeft(int col) const; // client x of a column's left edge, -1 when not shown

    // Sum of the column widths without grid lines, and of the row heights likewise.
    int GridWith() const;
    int GridHeight() const { return RowCount * DefaultRowHeight; }

    // ---- update bracket ----
    int UpdateCount = 0;
    // True on the step that locks drawing (0 -> 1).
    bool BeginUpdate() { return ++UpdateCount == 1; }
    // True when the outermost bracket closed: drawing resumes and the grid repaints.
    bool EndUpdate();

private:
    int clientWidth_ = 0;
    int clientHeight_ = 0;
};

} // namespace korval
