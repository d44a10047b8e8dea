#pragma once
// TOvcTableRows: the table's row count, default height and the few rows that differ from it
// (another height or hidden), kept in a sparse array so that default rows cost nothing.
#include <functional>

#include "grids/ovc_sparse_array.h"
#include "grids/ovc_table_types.h"

namespace korval {

struct TRowStyle {
    int Height = -1;  // -1: the default height
    bool Hidden = false;
    bool operator==(const TRowStyle&) const = default;
};

using TRowChangeNotifyEvent = std::function<void(int rowNum1, int rowNum2, TOvcTblActions action)>;

class TOvcTableRows {
public:
    TOvcTableRows() = default;
    ~TOvcTableRows();
    TOvcTableRows(const TOvcTableRows&) = delete;
    TOvcTableRows& operator=(const TOvcTableRows&) = delete;

    int DefaultHeight() const { return defaultHeight_; }
    // Only a different height of at least 1.
    void SetDefaultHeight(int height);
    int Limit() const { return limit_; }
    // Values below 1 become 1.
    void SetLimit(int limit);

    // Every call with a row number below 0 or not below Limit raises ETableError.
    TRowStyle GetRow(int rowNum) const;  // height resolved
    void SetRow(int rowNum, const TRowStyle& row);
    int Height(int rowNum) const { return GetRow(rowNum).Height; }
    void SetHeight(int rowNum, int height);
    bool GetHidden(int rowNum) const;
    void SetHidden(int rowNum, bool hidden);
    bool HasRecord(int rowNum) const;
    void Reset(int rowNum);
    void Delete(int rowNum);
    void Insert(int rowNum);
    void Exchange(int rowNum1, int rowNum2);
    void Clear();
    void Rescale(int m, int d);
    // Number of rows with a record.
    int RecordCount() const { return count_; }

    TRowChangeNotifyEvent OnRowChanged;

private:
    void Check(int rowNum) const;
    TRowStyle* Record(int rowNum) const;
    void Store(int rowNum, const TRowStyle& row);
    void Notify(int r1, int r2, TOvcTblActions action) const
    {
        if (OnRowChanged)
            OnRowChanged(r1, r2, action);
    }

    TOvcSparseArray rows_;
    int defaultHeight_ = 30;
    int limit_ = 10;
    int count_ = 0;
};

} // namespace korval
