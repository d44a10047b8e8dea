#include "logbook/log_list_view.h"

#include <algorithm>

namespace korval {

TCompareFunc QsoOrderCompare(int order)
{
    if (order == soCallsign)
        return CompareQsoByCall;
    if (order == soDate)
        return CompareQsoByDate;
    return SortOrderCompare(order);
}

namespace {

// The first position whose record does not sort before rec.
std::size_t LowerBound(const TQsoPtrList& items, TCompareFunc compare, const TQsoRecord* rec)
{
    return static_cast<std::size_t>(
        std::lower_bound(items.begin(), items.end(), rec,
                         [compare](const TQsoRecord* a, const TQsoRecord* b) { return compare(a, b) < 0; }) -
        items.begin());
}

} // namespace

TLogListView::TLogListView(TQsoData* log) : log_(log), compare_(CompareQsoByDate)
{
    if (log_)
        log_->AddObserver(this);
}

TLogListView::~TLogListView()
{
    if (log_)
        log_->RemoveObserver(this);
}

TQsoRecord* TLogListView::At(int index) const
{
    return index >= 0 && index < Count() ? items_[static_cast<std::size_t>(index)] : nullptr;
}

int TLogListView::IndexOf(const TQsoRecord* rec) const
{
    if (!rec)
        return -1;
    for (std::size_t i = LowerBound(items_, compare_, rec); i < items_.size() && compare_(items_[i], rec) == 0; ++i)
        if (items_[i] == rec)
            return static_cast<int>(i);
    return -1;
}

bool TLogListView::SetSortOrder(int order)
{
    const TCompareFunc compare = QsoOrderCompare(order);
    if (!compare || order == order_)
        return false;
    order_ = order;
    compare_ = compare;
    if (log_ && Count() < log_->Count() / 10)
        Sort();
    else
        Rebuild();
    return true;
}

void TLogListView::Sort()
{
    const TCompareFunc c = compare_;
    std::sort(items_.begin(), items_.end(), [c](const TQsoRecord* a, const TQsoRecord* b) { return c(a, b) < 0; });
}

void TLogListView::Rebuild()
{
    items_.clear();
    if (!log_)
        return;
    // The logbook keeps the date and call orders itself: a view in either is taken from there
    // and needs no sorting.
    const TQsoPtrList& source = order_ == soCallsign ? log_->ByCall().Items() : log_->Qsos();
    if (!passes_) {
        items_ = source;
    } else {
        items_.reserve(source.size());
        for (TQsoRecord* r : source)
            if (passes_(*r))
                items_.push_back(r);
    }
    if (order_ != soDate && order_ != soCallsign)
        Sort();
}

void TLogListView::QsoInserted(TQsoRecord* rec)
{
    if (!Passes(*rec))
        return;
    // Before the records that compare equal, as the logbook inserts.
    const std::size_t at = LowerBound(items_, compare_, rec);
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(at), rec);
    if (OnRowChanged)
        OnRowChanged(static_cast<int>(at), true);
}

void TLogListView::QsoDeleting(TQsoRecord* rec)
{
    int at = IndexOf(rec);
    if (at < 0) {
        // Not where its order puts it (a record changed in place): look everywhere.
        auto it = std::find(items_.begin(), items_.end(), rec);
        if (it == items_.end())
            return;
        at = static_cast<int>(it - items_.begin());
    }
    items_.erase(items_.begin() + at);
    if (OnRowChanged)
        OnRowChanged(at, false);
}

void TLogListView::QsosReset()
{
    Rebuild();
    if (OnReset)
        OnReset();
}

void TLogListView::LogGone()
{
    log_ = nullptr;
    items_.clear();
    if (OnReset)
        OnReset();
}

} // namespace korval
