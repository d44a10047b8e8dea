#include "grids/ovc_table_cell_ancestor.h"

#include "grids/ovc_table_model.h"

namespace korval {

void TOvcTableCellAncestor::SetTable(TOvcTableModel* table)
{
    if (table == table_)
        return;
    if (table_)
        table_->CellLeaving(this);
    table_ = table;
    refs_ = 0;
    OnCellChanged = nullptr;
}

void TOvcTableCellAncestor::IncRefs(TOvcTableModel* user)
{
    if (!table_)
        table_ = user;
    if (++refs_ == 1 && table_)
        table_->CellAttached(this);
}

void TOvcTableCellAncestor::DecRefs()
{
    if (refs_ == 0)
        return;
    if (--refs_ == 0 && table_) {
        TOvcTableModel* t = table_;
        table_ = nullptr;
        OnCellChanged = nullptr;
        t->CellDetached(this);
    }
}

} // namespace korval
