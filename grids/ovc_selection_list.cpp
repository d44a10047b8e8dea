#include "grids/ovc_selection_list.h"

#include <algorithm>

namespace korval {

TOvcSelectionList::TOvcSelectionList(int rowCount, int colCount) : rows_(std::max(rowCount, 0))
{
    cols_.resize(std::max(colCount, 0));
}

void TOvcSelectionList::SetRowCount(int rowCount)
{
    rows_ = std::max(rowCount, 0);
    for (auto& col : cols_) {
        std::erase_if(col, [&](const TRange& r) { return r.Start >= rows_; });
        if (!col.empty() && col.back().End >= rows_)
            col.back().End = rows_ - 1;
    }
}

void TOvcSelectionList::SetColCount(int colCount)
{
    cols_.resize(std::max(colCount, 0));
}

void TOvcSelectionList::Clear()
{
    for (auto& col : cols_)
        col.clear();
    hasPending_ = false;
}

void TOvcSelectionList::SelectAll()
{
    hasPending_ = false;
    for (auto& col : cols_)
        col.assign(1, TRange{0, rows_ - 1});
}

void TOvcSelectionList::SelectCol(int col, int r1, int r2)
{
    auto& list = cols_[col];
    // Merge with every range that overlaps or touches.
    auto first = std::find_if(list.begin(), list.end(), [&](const TRange& r) { return r.End + 1 >= r1; });
    auto last = first;
    while (last != list.end() && last->Start <= r2 + 1) {
        r1 = std::min(r1, last->Start);
        r2 = std::max(r2, last->End);
        ++last;
    }
    first = list.erase(first, last);
    list.insert(first, TRange{r1, r2});
}

void TOvcSelectionList::DeselectCol(int col, int r1, int r2)
{
    std::vector<TRange> out;
    for (const TRange& r : cols_[col]) {
        if (r.End < r1 || r.Start > r2) {
            out.push_back(r);
            continue;
        }
        if (r.Start < r1)
            out.push_back(TRange{r.Start, r1 - 1});
        if (r.End > r2)
            out.push_back(TRange{r2 + 1, r.End});
    }
    cols_[col] = std::move(out);
}

void TOvcSelectionList::SelectRange(int row1, int col1, int row2, int col2)
{
    if (!Inside(row1, col1) || !Inside(row2, col2))
        return;
    for (int c = std::min(col1, col2); c <= std::max(col1, col2); ++c)
        SelectCol(c, std::min(row1, row2), std::max(row1, row2));
}

void TOvcSelectionList::DeselectRange(int row1, int col1, int row2, int col2)
{
    if (!Inside(row1, col1) || !Inside(row2, col2))
        return;
    for (int c = std::min(col1, col2); c <= std::max(col1, col2); ++c)
        DeselectCol(c, std::min(row1, row2), std::max(row1, row2));
}

void TOvcSelectionList::SetPending(int row, int col, bool select)
{
    if (!hasPending_) {
        hasPending_ = true;
        anchorRow_ = row;
        anchorCol_ = col;
    }
    curRow_ = row;
    curCol_ = col;
    pendingSelect_ = select;
}

bool TOvcSelectionList::HasSelection() const
{
    return hasPending_ || std::any_of(cols_.begin(), cols_.end(), [](const auto& c) { return !c.empty(); });
}

bool TOvcSelectionList::IsSelected(int row, int col) const
{
    if (!Inside(row, col))
        return false;
    if (hasPending_ && row >= std::min(anchorRow_, curRow_) && row <= std::max(anchorRow_, curRow_) &&
        col >= std::min(anchorCol_, curCol_) && col <= std::max(anchorCol_, curCol_))
        return pendingSelect_;
    const auto& list = cols_[col];
    auto it = std::lower_bound(list.begin(), list.end(), row, [](const TRange& r, int v) { return r.End < v; });
    return it != list.end() && it->Start <= row;
}

void TOvcSelectionList::CommitPending()
{
    if (!hasPending_)
        return;
    hasPending_ = false;
    if (pendingSelect_)
        SelectRange(anchorRow_, anchorCol_, curRow_, curCol_);
    else
        DeselectRange(anchorRow_, anchorCol_, curRow_, curCol_);
}

void TOvcSelectionList::Iterate(const std::function<bool(int, int, int)>& action)
{
    CommitPending();
    for (int c = 0; c < ColCount(); ++c)
        for (const TRange& r : cols_[c])
            if (!action(r.Start, c, r.End))
                return;
}

const std::vector<TOvcSelectionList::TRange>& TOvcSelectionList::Ranges(int col) const
{
    static const std::vector<TRange> none;
    return col >= 0 && col < ColCount() ? cols_[col] : none;
}

} // namespace korval
