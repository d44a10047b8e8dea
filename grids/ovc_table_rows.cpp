#include "grids/ovc_table_rows.h"

namespace korval {

namespace {

int MulDiv(int v, int m, int d)
{
    if (d == 0)
        return v;
    return static_cast<int>((static_cast<long long>(v) * m + (d / 2)) / d);
}

} // namespace

TOvcTableRows::~TOvcTableRows()
{
    rows_.ForAll([](int, void* item) { delete static_cast<TRowStyle*>(item); return true; });
}

void TOvcTableRows::Check(int rowNum) const
{
    if (rowNum < 0 || rowNum >= limit_)
        throw ETableError(ETableError::teRowOutOfRange);
}

TRowStyle* TOvcTableRows::Record(int rowNum) const
{
    if (rowNum >= TOvcSparseArray::Limit)
        return nullptr;
    return static_cast<TRowStyle*>(rows_.Get(rowNum));
}

void TOvcTableRows::Store(int rowNum, const TRowStyle& row)
{
    if (rowNum >= TOvcSparseArray::Limit)
        return;  // rows past the sparse array always have the default height
    if (TRowStyle* r = Record(rowNum)) {
        *r = row;
        return;
    }
    rows_.Put(rowNum, new TRowStyle(row));
    ++count_;
}

void TOvcTableRows::SetDefaultHeight(int height)
{
    if (height < 1 || height == defaultHeight_)
        return;
    defaultHeight_ = height;
    Notify(0, 0, taAll);
}

void TOvcTableRows::SetLimit(int limit)
{
    if (limit < 1)
        limit = 1;
    if (limit == limit_)
        return;
    limit_ = limit;
    Notify(-2, 0, taLimitChanged);
}

TRowStyle TOvcTableRows::GetRow(int rowNum) const
{
    Check(rowNum);
    TRowStyle r;
    if (const TRowStyle* s = Record(rowNum))
        r = *s;
    if (r.Height == -1)
        r.Height = defaultHeight_;
    return r;
}

void TOvcTableRows::SetRow(int rowNum, const TRowStyle& row)
{
    Check(rowNum);
    TRowStyle r = row;
    if (r.Height < 1 || r.Height == defaultHeight_)
        r.Height = -1;
    if (r.Height == -1 && !r.Hidden) {
        Reset(rowNum);
        return;
    }
    Store(rowNum, r);
    Notify(rowNum, 0, taSingle);
}

void TOvcTableRows::SetHeight(int rowNum, int height)
{
    Check(rowNum);
    if (height < 1 || height == defaultHeight_)
        height = -1;
    TRowStyle* r = Record(rowNum);
    if (!r) {
        if (height == -1)
            return;
        Store(rowNum, TRowStyle{height, false});
    } else if (height != -1) {
        if (r->Height == height)
            return;
        r->Height = height;
    } else if (!r->Hidden) {
        Reset(rowNum);
        return;
    } else {
        if (r->Height == -1)
            return;
        r->Height = -1;
    }
    Notify(rowNum, 0, taSingle);
}

bool TOvcTableRows::GetHidden(int rowNum) const
{
    Check(rowNum);
    const TRowStyle* r = Record(rowNum);
    return r && r->Hidden;
}

void TOvcTableRows::SetHidden(int rowNum, bool hidden)
{
    TRowStyle r = GetRow(rowNum);
    r.Hidden = hidden;
    SetRow(rowNum, r);
}

bool TOvcTableRows::HasRecord(int rowNum) const
{
    Check(rowNum);
    return Record(rowNum) != nullptr;
}

void TOvcTableRows::Reset(int rowNum)
{
    Check(rowNum);
    if (TRowStyle* r = Record(rowNum)) {
        rows_.Put(rowNum, nullptr);
        delete r;
        --count_;
    }
    Notify(rowNum, 0, taSingle);
}

void TOvcTableRows::Delete(int rowNum)
{
    Check(rowNum);
    if (rowNum < TOvcSparseArray::Limit) {
        if (TRowStyle* r = Record(rowNum)) {
            delete r;
            rows_.Put(rowNum, nullptr);
            --count_;
        }
        rows_.Delete(rowNum);
    }
    SetLimit(limit_ - 1);
    Notify(rowNum, 0, taDelete);
}

void TOvcTableRows::Insert(int rowNum)
{
    Check(rowNum);
    if (rowNum < TOvcSparseArray::Limit && rowNum < rows_.UpperIndex())
        rows_.Insert(rowNum, nullptr);
    SetLimit(limit_ + 1);
    Notify(rowNum, 0, taInsert);
}

void TOvcTableRows::Exchange(int rowNum1, int rowNum2)
{
    Check(rowNum1);
    Check(rowNum2);
    if (rowNum1 == rowNum2)
        return;
    if (rowNum1 < TOvcSparseArray::Limit && rowNum2 < TOvcSparseArray::Limit)
        rows_.Exchange(rowNum1, rowNum2);
    Notify(rowNum1, rowNum2, taExchange);
}

void TOvcTableRows::Clear()
{
    rows_.ForAll([](int, void* item) { delete static_cast<TRowStyle*>(item); return true; });
    rows_.Clear();
    count_ = 0;
    Notify(0, 0, taAll);
}

void TOvcTableRows::Rescale(int m, int d)
{
    defaultHeight_ = MulDiv(defaultHeight_, m, d);
    rows_.ForAll([&](int, void* item) {
        auto* r = static_cast<TRowStyle*>(item);
        if (r->Height != -1)
            r->Height = MulDiv(r->Height, m, d);
        return true;
    });
}

} // namespace korval
