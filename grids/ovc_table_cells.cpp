#include "grids/ovc_table_cells.h"

#include "grids/ovc_table_cell_ancestor.h"

namespace korval {

namespace {

bool IsDefault(const TOvcCellSettings& s)
{
    return s.Access == otxDefault && s.Adjust == otaDefault && s.Color == clNoColor && !s.Font && !s.Cell;
}

} // namespace

TOvcTableCells::~TOvcTableCells()
{
    ForEachRow([this](int, TOvcSparseArray& cols) {
        cols.ForAll([this](int, void* item) { FreeRecord(static_cast<TOvcCellSettings*>(item)); return true; });
    });
    rows_.ForAll([](int, void* item) { delete static_cast<TOvcSparseArray*>(item); return true; });
}

void TOvcTableCells::FreeRecord(TOvcCellSettings* rec)
{
    if (rec->Cell)
        rec->Cell->DecRefs();
    delete rec;
}

void TOvcTableCells::ForEachRow(const std::function<void(int, TOvcSparseArray&)>& action)
{
    rows_.ForAll([&](int r, void* item) { action(r, *static_cast<TOvcSparseArray*>(item)); return true; });
}

TOvcSparseArray* TOvcTableCells::RowArray(int rowNum) const
{
    if (rowNum < 0 || rowNum >= TOvcSparseArray::Limit)
        return nullptr;
    return static_cast<TOvcSparseArray*>(rows_.Get(rowNum));
}

TOvcCellSettings* TOvcTableCells::Record(int rowNum, int colNum) const
{
    TOvcSparseArray* cols = RowArray(rowNum);
    if (!cols || colNum < 0 || colNum >= TOvcSparseArray::Limit)
        return nullptr;
    return static_cast<TOvcCellSettings*>(cols->Get(colNum));
}

TOvcCellSettings TOvcTableCells::GetSettings(int rowNum, int colNum) const
{
    const TOvcCellSettings* r = Record(rowNum, colNum);
    return r ? *r : TOvcCellSettings{};
}

TOvcTableCellAncestor* TOvcTableCells::GetCell(int rowNum, int colNum) const
{
    const TOvcCellSettings* r = Record(rowNum, colNum);
    return r ? r->Cell : nullptr;
}

void TOvcTableCells::Update(int rowNum, int colNum, const std::function<void(TOvcCellSettings&)>& change)
{
    if (rowNum < 0 || rowNum >= TOvcSparseArray::Limit || colNum < 0 || colNum >= TOvcSparseArray::Limit)
        return;
    TOvcCellSettings* rec = Record(rowNum, colNum);
    TOvcCellSettings next = rec ? *rec : TOvcCellSettings{};
    change(next);
    if (next.Cell && !next.Cell->Accepts(table_))
        next.Cell = rec ? rec->Cell : nullptr;  // a cell of another table is refused
    if (next.Cell != (rec ? rec->Cell : nullptr)) {
        if (next.Cell)
            next.Cell->IncRefs(table_);
        if (rec && rec->Cell)
            rec->Cell->DecRefs();
    }
    if (IsDefault(next)) {
        if (rec) {
            TOvcSparseArray* cols = RowArray(rowNum);
            cols->Put(colNum, nullptr);
            delete rec;
            --count_;
            if (cols->Count() == 0) {
                rows_.Put(rowNum, nullptr);
                delete cols;
            }
        }
    } else if (rec) {
        *rec = next;
    } else {
        TOvcSparseArray* cols = RowArray(rowNum);
        if (!cols) {
            cols = new TOvcSparseArray;
            rows_.Put(rowNum, cols);
        }
        cols->Put(colNum, new TOvcCellSettings(next));
        ++count_;
    }
    Notify();
}

void TOvcTableCells::SetSettings(int rowNum, int colNum, const TOvcCellSettings& settings)
{
    Update(rowNum, colNum, [&](TOvcCellSettings& s) { s = settings; });
}

void TOvcTableCells::SetAccess(int r, int c, TOvcTblAccess access)
{
    Update(r, c, [&](TOvcCellSettings& s) { s.Access = access; });
}

void TOvcTableCells::SetAdjust(int r, int c, TOvcTblAdjust adjust)
{
    Update(r, c, [&](TOvcCellSettings& s) { s.Adjust = adjust; });
}

void TOvcTableCells::SetColor(int r, int c, TColor color)
{
    Update(r, c, [&](TOvcCellSettings& s) { s.Color = color; });
}

void TOvcTableCells::SetFont(int r, int c, std::optional<TOvcFontSpec> font)
{
    Update(r, c, [&](TOvcCellSettings& s) { s.Font = std::move(font); });
}

void TOvcTableCells::SetCell(int r, int c, TOvcTableCellAncestor* cell)
{
    Update(r, c, [&](TOvcCellSettings& s) { s.Cell = cell; });
}

void TOvcTableCells::ResetCell(int r, int c)
{
    Update(r, c, [](TOvcCellSettings& s) { s = TOvcCellSettings{}; });
}

void TOvcTableCells::DeleteRow(int rowNum)
{
    if (count_ == 0 || rowNum < 0 || rowNum >= TOvcSparseArray::Limit)
        return;
    if (TOvcSparseArray* cols = RowArray(rowNum)) {
        cols->ForAll([&](int, void* item) { FreeRecord(static_cast<TOvcCellSettings*>(item)); --count_; return true; });
        rows_.Put(rowNum, nullptr);
        delete cols;
    }
    rows_.Delete(rowNum);
    Notify();
}

void TOvcTableCells::InsertRow(int rowNum)
{
    if (count_ == 0 || rowNum < 0 || rowNum >= TOvcSparseArray::Limit)
        return;
    if (rowNum < rows_.UpperIndex())
        rows_.Insert(rowNum, nullptr);
    Notify();
}

void TOvcTableCells::ExchangeRows(int r1, int r2)
{
    if (count_ == 0)
        return;
    rows_.Exchange(r1, r2);
    Notify();
}

void TOvcTableCells::DeleteCol(int colNum)
{
    if (count_ == 0 || colNum < 0 || colNum >= TOvcSparseArray::Limit)
        return;
    ForEachRow([&](int, TOvcSparseArray& cols) {
        if (auto* rec = static_cast<TOvcCellSettings*>(cols.Get(colNum))) {
            cols.Put(colNum, nullptr);
            FreeRecord(rec);
            --count_;
        }
        cols.Delete(colNum);
    });
    Notify();
}

void TOvcTableCells::InsertCol(int colNum)
{
    if (count_ == 0 || colNum < 0 || colNum >= TOvcSparseArray::Limit)
        return;
    ForEachRow([&](int, TOvcSparseArray& cols) {
        if (colNum < cols.UpperIndex())
            cols.Insert(colNum, nullptr);
    });
    Notify();
}

void TOvcTableCells::ExchangeCols(int c1, int c2)
{
    if (count_ == 0)
        return;
    ForEachRow([&](int, TOvcSparseArray& cols) { cols.Exchange(c1, c2); });
    Notify();
}

void TOvcTableCells::RemoveCell(const TOvcTableCellAncestor* cell)
{
    ForEachRow([&](int, TOvcSparseArray& cols) {
        cols.ForAll([&](int, void* item) {
            auto* rec = static_cast<TOvcCellSettings*>(item);
            if (rec->Cell == cell)
                rec->Cell = nullptr;
            return true;
        });
    });
}

} // namespace korval
