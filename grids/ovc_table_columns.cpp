#include "grids/ovc_table_columns.h"

#include "grids/ovc_table_cell_ancestor.h"

namespace korval {

TOvcTableColumn::~TOvcTableColumn()
{
    if (cell_)
        cell_->DecRefs();
}

void TOvcTableColumn::Assign(const TOvcTableColumn& source)
{
    width_ = source.width_;
    hidden_ = source.hidden_;
    SetDefaultCell(source.cell_);
    Notify();
}

void TOvcTableColumn::SetWidth(int width)
{
    if (width == width_ || width < 0)
        return;
    width_ = width;
    Notify();
}

void TOvcTableColumn::SetHidden(bool hidden)
{
    if (hidden == hidden_)
        return;
    hidden_ = hidden;
    Notify();
}

void TOvcTableColumn::SetDefaultCell(TOvcTableCellAncestor* cell)
{
    if (cell == cell_)
        return;
    if (cell && !cell->Accepts(table_))
        return;
    if (cell_)
        cell_->DecRefs();
    cell_ = cell;
    if (cell_)
        cell_->IncRefs(table_);
    Notify();
}

void TOvcTableColumn::CellRemoved(const TOvcTableCellAncestor* cell)
{
    if (cell && cell == cell_) {
        cell_ = nullptr;
        Notify();
    }
}

TOvcTableColumns::TOvcTableColumns(TOvcTableModel* table, int count) : table_(table)
{
    for (int i = 0; i < count; ++i) {
        cols_.push_back(std::make_unique<TOvcTableColumn>(table));
        cols_.back()->number_ = i;
    }
}

void TOvcTableColumns::Append(std::unique_ptr<TOvcTableColumn> column)
{
    if (Count() >= MaxColumns)
        throw ETableError(ETableError::teTooManyColumns);
    if (!column || (column->table_ && column->table_ != table_))
        return;
    column->table_ = table_;
    column->number_ = Count();
    column->onChanged_ = onChanged_;
    cols_.push_back(std::move(column));
    Notify(Count() - 1, 0, taInsert);
}

void TOvcTableColumns::Clear()
{
    cols_.clear();
    Notify(0, 0, taAll);
}

void TOvcTableColumns::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    cols_.erase(cols_.begin() + index);
    for (int i = 0; i < Count(); ++i)
        cols_[i]->number_ = i;
    Notify(index, 0, taDelete);
}

void TOvcTableColumns::Exchange(int index1, int index2)
{
    if (index1 == index2 || !Items(index1) || !Items(index2))
        return;
    std::swap(cols_[index1], cols_[index2]);
    cols_[index1]->number_ = index1;
    cols_[index2]->number_ = index2;
    Notify(index1, index2, taExchange);
}

TOvcTableColumn* TOvcTableColumns::Items(int index) const
{
    return index >= 0 && index < Count() ? cols_[index].get() : nullptr;
}

TOvcTableCellAncestor* TOvcTableColumns::DefaultCell(int index) const
{
    const TOvcTableColumn* c = Items(index);
    return c ? c->DefaultCell() : nullptr;
}

void TOvcTableColumns::SetCount(int count)
{
    if (count <= 0 || count == Count())
        return;
    while (Count() < count)
        Append(std::make_unique<TOvcTableColumn>(table_));
    while (Count() > count)
        Delete(Count() - 1);
}

void TOvcTableColumns::SetOnColumnChanged(TColChangeNotifyEvent event)
{
    onChanged_ = std::move(event);
    for (auto& c : cols_)
        c->onChanged_ = onChanged_;
}

void TOvcTableColumns::CellRemoved(const TOvcTableCellAncestor* cell)
{
    for (auto& c : cols_)
        c->CellRemoved(cell);
}

} // namespace korval
