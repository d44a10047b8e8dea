#include "grids/my_grid_model.h"

#include <algorithm>

namespace korval {

void TMyGridModel::AddColumn(const std::string& caption, int widthChars, int align)
{
    int w = widthChars == 0 ? static_cast<int>(caption.size()) : widthChars;
    Header.push_back({caption, HeaderObject(w, align)});
}

int TMyGridModel::ColumnWidth(int object, int wWidth, int defaultWidth)
{
    int c = object / 4;
    if (c > 0)
        return (c - 1) * wWidth + (wWidth + 1) / 2 + 2;
    return defaultWidth;
}

void TMyGridModel::ApplyColumns(int wWidth)
{
    ColCount = std::max<int>(1, static_cast<int>(Header.size()));
    ColWidths.assign(static_cast<size_t>(ColCount), DefaultColWidth);
    for (size_t i = 0; i < Header.size(); ++i)
        ColWidths[i] = ColumnWidth(Header[i].object, wWidth, DefaultColWidth);
    LeftCol = std::min(LeftCol, ColCount - 1);
    Col = std::min(Col, ColCount - 1);
}

void TMyGridModel::Clear()
{
    FixedRows = 0;
    Row = 0;
    RowCount = 1;
    TopRow = 0;
}

void TMyGridModel::SetRows(int count, int current, int top)
{
    if (count <= 1) {
        Clear();
        return;
    }
    RowCount = count;
    FixedRows = 1;
    Row = std::clamp(current, 1, count - 1);
    TopRow = std::clamp(TopRow, 1, MaxTopRow());
    ScrollToRow();
    // An explicit top row wins over keeping the current row in view.
    if (top >= 0)
        TopRow = std::clamp(top, 1, MaxTopRow());
}

void TMyGridModel::SetClientSize(int width, int height)
{
    clientWidth_ = width;
    clientHeight_ = height;
    if (FixedRows > 0)
        TopRow = std::clamp(TopRow, FixedRows, MaxTopRow());
}

int TMyGridModel::VisibleDataRows() const
{
    int pitch = DefaultRowHeight + GridLineWidth;
    int room = clientHeight_ - FixedRows * pitch;
    return std::max(1, room / std::max(1, pitch));
}

int TMyGridModel::MaxTopRow() const
{
    if (RowCount <= FixedRows)
        return FixedRows;
    return std::max(FixedRows, RowCount - VisibleDataRows());
}

void TMyGridModel::SetTopRow(int top)
{
    TopRow = std::clamp(top, FixedRows, MaxTopRow());
}

void TMyGridModel::ScrollToRow()
{
    if (Row < FixedRows)
        return;
    if (Row < TopRow)
        TopRow = Row;
    else if (Row >= TopRow + VisibleDataRows())
        TopRow = Row - VisibleDataRows() + 1;
    TopRow = std::clamp(TopRow, FixedRows, MaxTopRow());
}

void TMyGridModel::MoveTo(int row)
{
    if (RowCount <= FixedRows)
        return;
    Row = std::clamp(row, FixedRows, RowCount - 1);
    ScrollToRow();
}

int TMyGridModel::LastVisibleRow() const
{
    int pitch = DefaultRowHeight + GridLineWidth;
    int room = clientHeight_ - FixedRows * pitch;
    if (room <= 0)
        return TopRow - 1;
    int shown = (room + pitch - 1) / pitch;
    return std::min(RowCount - 1, TopRow + shown - 1);
}

int TMyGridModel::LastVisibleCol() const
{
    int x = 0;
    int c = LeftCol;
    for (; c < ColCount; ++c) {
        x += ColWidths[static_cast<size_t>(c)] + GridLineWidth;
        if (x >= clientWidth_)
            break;
    }
    return std::min(c, ColCount - 1);
}

int TMyGridModel::RowTop(int row) const
{
    int pitch = DefaultRowHeight + GridLineWidth;
    if (row < FixedRows)
        return row * pitch;
    if (row < TopRow || row > LastVisibleRow())
        return -1;
    return (FixedRows + row - TopRow) * pitch;
}

int TMyGridModel::ColLeft(int col) const
{
    if (col < LeftCol || col >= ColCount)
        return -1;
    int x = 0;
    for (int c = LeftCol; c < col; ++c)
        x += ColWidths[static_cast<size_t>(c)] + GridLineWidth;
    return x < clientWidth_ ? x : -1;
}

int TMyGridModel::RowAt(int y) const
{
    if (y < 0)
        return -1;
    int pitch = DefaultRowHeight + GridLineWidth;
    int r = y / pitch;
    if (r < FixedRows)
        return r;
    int row = TopRow + (r - FixedRows);
    return row < RowCount ? row : -1;
}

int TMyGridModel::ColAt(int x) const
{
    if (x < 0)
        return -1;
    int left = 0;
    for (int c = LeftCol; c < ColCount; ++c) {
        left += ColWidths[static_cast<size_t>(c)] + GridLineWidth;
        if (x < left)
            return c;
    }
    return -1;
}

int TMyGridModel::GridWith() const
{
    int sum = 0;
    for (int w : ColWidths)
        sum += w;
    return sum;
}

bool TMyGridModel::EndUpdate()
{
    --UpdateCount;
    if (UpdateCount >= 1)
        return false;
    if (FixedRows == 0 && RowCount >= 2) {
        FixedRows = 1;
        Row = RowCount - 1;
        TopRow = std::max(TopRow, 1);
        ScrollToRow();
    }
    UpdateCount = 0;
    return true;
}

} // namespace korval
