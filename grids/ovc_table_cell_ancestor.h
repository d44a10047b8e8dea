#pragma once
// TOvcTableCellAncestor: what the table's models know of a cell: which table it serves and how
// many columns or tables use it. Painting and editing belong to the window classes built on it.
#include <functional>

namespace korval {

class TOvcTableModel;

class TOvcTableCellAncestor {
public:
    TOvcTableCellAncestor() = default;
    virtual ~TOvcTableCellAncestor() = default;
    TOvcTableCellAncestor(const TOvcTableCellAncestor&) = delete;
    TOvcTableCellAncestor& operator=(const TOvcTableCellAncestor&) = delete;

    TOvcTableModel* Table() const { return table_; }
    // Tells the old table that the cell leaves it, takes the new one, forgets its uses.
    virtual void SetTable(TOvcTableModel* table);
    int References() const { return refs_; }
    // A column or the table starts using the cell; the first use attaches it to the table.
    void IncRefs(TOvcTableModel* user);
    void DecRefs();
    // True when the cell may serve that table (it serves no other).
    bool Accepts(const TOvcTableModel* table) const { return !table_ || table_ == table; }

    // Any property change: the table repaints.
    std::function<void()> OnCellChanged;

protected:
    void Changed() const
    {
        if (OnCellChanged)
            OnCellChanged();
    }

private:
    TOvcTableModel* table_ = nullptr;
    int refs_ = 0;
};

} // namespace korval
