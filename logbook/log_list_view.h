#pragma once
// The log list's own order over the logbook: the QSOs that pass its filter (the selection and,
// while a search is applied, the search) sorted by one of the sort orders, kept in step with the
// logbook's insertions and deletions one QSO at a time.
#include <functional>
#include <string>
#include <vector>

#include "logbook/qso_data.h"
#include "logbook/qso_observer.h"
#include "logbook/sort_orders.h"

namespace korval {

// The compare routine of a sort order, the logbook's own two included ("Callsign", "Date");
// null for a number outside 0 to 12.
TCompareFunc QsoOrderCompare(int order);

class TLogListView : public TQsoObserver {
public:
    // Empty, in date order, until Rebuild.
    explicit TLogListView(TQsoData* log);
    ~TLogListView() override;
    TLogListView(const TLogListView&) = delete;
    TLogListView& operator=(const TLogListView&) = delete;

    TQsoData* Log() const { return log_; }
    int Count() const { return static_cast<int>(items_.size()); }
    // index 0 is the first row; null outside the view.
    TQsoRecord* At(int index) const;
    // Where the record stands, -1 when it is not in the view.
    int IndexOf(const TQsoRecord* rec) const;

    // Which QSOs belong in the view; empty: every QSO. Takes effect at the next Rebuild.
    void SetFilter(std::function<bool(const TQsoRecord&)> passes) { passes_ = std::move(passes); }
    int SortOrder() const { return order_; }
    // Another order: a view holding fewer than a tenth of the log's QSOs is sorted again as it
    // stands, a larger one rebuilt. False (nothing done) for the same or an unknown order.
    bool SetSortOrder(int order);
    // Every QSO of the logbook that passes, in the view's order.
    void Rebuild();

    // Told after a row came (inserted true) or went, with its index; and after a rebuild that
    // the logbook asked for.
    std::function<void(int index, bool inserted)> OnRowChanged;
    std::function<void()> OnReset;

    // TQsoObserver
    void QsoInserted(TQsoRecord* rec) override;
    void QsoDeleting(TQsoRecord* rec) override;
    void QsosReset() override;
    void LogGone() override;

private:
    bool Passes(const TQsoRecord& r) const { return !passes_ || passes_(r); }
    void Sort();

    TQsoData* log_;
    std::function<bool(const TQsoRecord&)> passes_;
    int order_ = soDate;
    TCompareFunc compare_;
    TQsoPtrList items_;
};

} // namespace korval
