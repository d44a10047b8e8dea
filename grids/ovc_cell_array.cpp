#include "grids/ovc_cell_array.h"

#include <algorithm>
#include <iterator>

namespace korval {

void TOvcCellArray::AddCell(int rowNum, int colNum)
{
    const TOvcCellPos p{rowNum, colNum};
    auto it = std::lower_bound(cells_.begin(), cells_.end(), p);
    if (it == cells_.end() || *it != p)
        cells_.insert(it, p);
}

bool TOvcCellArray::DeleteCell(int rowNum, int colNum)
{
    const TOvcCellPos p{rowNum, colNum};
    auto it = std::lower_bound(cells_.begin(), cells_.end(), p);
    if (it == cells_.end() || *it != p)
        return false;
    cells_.erase(it);
    return true;
}

TOvcCellPos TOvcCellArray::Items(int index) const
{
    return index >= 0 && index < Count() ? cells_[index] : TOvcCellPos{};
}

void TOvcCellArray::Clear()
{
    cells_.clear();
    everything_ = false;
}

void TOvcCellArray::Merge(const TOvcCellArray& other)
{
    std::vector<TOvcCellPos> out;
    out.reserve(cells_.size() + other.cells_.size());
    std::set_union(cells_.begin(), cells_.end(), other.cells_.begin(), other.cells_.end(), std::back_inserter(out));
    cells_ = std::move(out);
    everything_ = everything_ || other.everything_;
}

} // namespace korval
