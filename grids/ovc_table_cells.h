#pragma once
// TOvcTableCells: the settings stored for single cells (access, alignment, colour, font and the
// cell that paints them), a sparse array of rows each holding a sparse array of columns.
#include <functional>
#include <memory>
#include <optional>

#include "grids/ovc_sparse_array.h"
#include "grids/ovc_table_types.h"

namespace korval {

class TOvcTableCellAncestor;
class TOvcTableModel;

struct TOvcCellSettings {
    TOvcTblAccess Access = otxDefault;
    TOvcTblAdjust Adjust = otaDefault;
    TColor Color = clNoColor;
    std::optional<TOvcFontSpec> Font;
    TOvcTableCellAncestor* Cell = nullptr;  // counted use
};

class TOvcTableCells {
public:
    // The table whose cells these are: a cell set here starts serving it.
    explicit TOvcTableCells(TOvcTableModel* table = nullptr) : table_(table) {}
    ~TOvcTableCells();
    TOvcTableCells(const TOvcTableCells&) = delete;
    TOvcTableCells& operator=(const TOvcTableCells&) = delete;

    // A cell without a record reads as the default settings.
    TOvcCellSettings GetSettings(int rowNum, int colNum) const;
    TOvcTableCellAncestor* GetCell(int rowNum, int colNum) const;
    // Settings equal to the defaults remove the record.
    void SetSettings(int rowNum, int colNum, const TOvcCellSettings& settings);
    void SetAccess(int rowNum, int colNum, TOvcTblAccess access);
    void SetAdjust(int rowNum, int colNum, TOvcTblAdjust adjust);
    void SetColor(int rowNum, int colNum, TColor color);
    void SetFont(int rowNum, int colNum, std::optional<TOvcFontSpec> font);
    void SetCell(int rowNum, int colNum, TOvcTableCellAncestor* cell);
    void ResetCell(int rowNum, int colNum);

    void DeleteRow(int rowNum);
    void InsertRow(int rowNum);
    void ExchangeRows(int rowNum1, int rowNum2);
    void DeleteCol(int colNum);
    void InsertCol(int colNum);
    void ExchangeCols(int colNum1, int colNum2);
    // Every record that refers to the cell drops it.
    void RemoveCell(const TOvcTableCellAncestor* cell);
    int Count() const { return count_; }

    std::function<void()> OnCellChanged;

private:
    TOvcSparseArray* RowArray(int rowNum) const;
    TOvcCellSettings* Record(int rowNum, int colNum) const;
    void Update(int rowNum, int colNum, const std::function<void(TOvcCellSettings&)>& change);
    void FreeRecord(TOvcCellSettings* rec);
    void ForEachRow(const std::function<void(int, TOvcSparseArray&)>& action);
    void Notify() const
    {
        if (OnCellChanged)
            OnCellChanged();
    }

    TOvcTableModel* table_;
    TOvcSparseArray rows_;
    int count_ = 0;
};

} // namespace korval
