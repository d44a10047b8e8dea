#pragma once
// TOvcCellArray: (row, column) pairs kept sorted by row, then column, without duplicates, and a
// flag that stands for the whole table; the table's list of cells waiting to be repainted.
#include <utility>
#include <vector>

namespace korval {

struct TOvcCellPos {
    int Row = 0;
    int Col = 0;
    auto operator<=>(const TOvcCellPos&) const = default;
};

class TOvcCellArray {
public:
    void AddCell(int rowNum, int colNum);
    bool DeleteCell(int rowNum, int colNum);
    TOvcCellPos Items(int index) const;  // zeros out of range
    int Count() const { return static_cast<int>(cells_.size()); }
    // Also clears the whole-table flag.
    void Clear();
    // Marks the whole table.
    void AddUnusedBit() { everything_ = true; }
    bool Everything() const { return everything_; }
    bool IsEmpty() const { return cells_.empty() && !everything_; }
    void Merge(const TOvcCellArray& other);
    const std::vector<TOvcCellPos>& Cells() const { return cells_; }

private:
    std::vector<TOvcCellPos> cells_;
    bool everything_ = false;
};

} // namespace korval
