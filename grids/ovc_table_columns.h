#pragma once
// TOvcTableColumn and TOvcTableColumns: the table's ordered columns, each with a width, a
// hidden flag and the cell that paints and edits it.
#include <functional>
#include <memory>
#include <vector>

#include "grids/ovc_table_types.h"

namespace korval {

class TOvcTableCellAncestor;
class TOvcTableModel;

using TColChangeNotifyEvent = std::function<void(int colNum1, int colNum2, TOvcTblActions action)>;

class TOvcTableColumn {
public:
    explicit TOvcTableColumn(TOvcTableModel* table = nullptr) : table_(table) {}
    ~TOvcTableColumn();
    TOvcTableColumn(const TOvcTableColumn&) = delete;
    TOvcTableColumn& operator=(const TOvcTableColumn&) = delete;

    // Copies width, hidden flag and default cell.
    void Assign(const TOvcTableColumn& source);

    int Width() const { return width_; }
    void SetWidth(int width);
    bool Hidden() const { return hidden_; }
    void SetHidden(bool hidden);
    TOvcTableCellAncestor* DefaultCell() const { return cell_; }
    // A cell that serves another table is refused.
    void SetDefaultCell(TOvcTableCellAncestor* cell);
    // The cell is going away.
    void CellRemoved(const TOvcTableCellAncestor* cell);
    int Number() const { return number_; }
    TOvcTableModel* Table() const { return table_; }

private:
    friend class TOvcTableColumns;
    void Notify() const
    {
        if (onChanged_)
            onChanged_(number_, 0, taSingle);
    }

    TOvcTableModel* table_;
    TOvcTableCellAncestor* cell_ = nullptr;
    int width_ = 150;
    bool hidden_ = false;
    int number_ = 0;
    TColChangeNotifyEvent onChanged_;
};

class TOvcTableColumns {
public:
    static constexpr int MaxColumns = 0x7FFFFFF;

    TOvcTableColumns(TOvcTableModel* table, int count);
    TOvcTableColumns(const TOvcTableColumns&) = delete;
    TOvcTableColumns& operator=(const TOvcTableColumns&) = delete;

    // ETableError when the list is full; a column of another table is ignored.
    void Append(std::unique_ptr<TOvcTableColumn> column);
    void Clear();
    void Delete(int index);
    void Exchange(int index1, int index2);
    TOvcTableColumn* Items(int index) const;  // nullptr out of range
    TOvcTableColumn* operator[](int index) const { return Items(index); }
    int Count() const { return static_cast<int>(cols_.size()); }
    TOvcTableCellAncestor* DefaultCell(int index) const;
    // Ignored unless above 0 and different.
    void SetCount(int count);
    void SetOnColumnChanged(TColChangeNotifyEvent event);
    void CellRemoved(const TOvcTableCellAncestor* cell);

private:
    void Notify(int c1, int c2, TOvcTblActions action) const
    {
        if (onChanged_)
            onChanged_(c1, c2, action);
    }

    TOvcTableModel* table_;
    std::vector<std::unique_ptr<TOvcTableColumn>> cols_;
    TColChangeNotifyEvent onChanged_;
};

} // namespace korval
