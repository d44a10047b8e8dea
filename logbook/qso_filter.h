#pragma once
// The search by example of the QSO window: the search fields compiled into conditions, the
// template that keeps the fields for the next search, and the test of a QSO against them.
#include <functional>
#include <string>

#include "logbook/base/day_number.h"
#include "logbook/qso_fields.h"
#include "logbook/qso_record.h"
#include "logbook/qso_search.h"

namespace korval {

class TQsoAwardFields;
class TQsoData;
class TQsoEntryHost;

class TQsoFilter {
public:
    // The search fields as the last search left them (shown again by "search with old filter").
    TQsoRecord& Template() { return template_; }
    const TQsoSearch& Search() const { return search_; }

    // No conditions and no outside filter.
    void Clear();
    // The conditions of the filled fields, with the configured call and date methods. A
    // date-range search asks host for its range here, so that counting and painting never ask.
    void Compile(const TQsoFields& fields, const TQsoAwardFields& awards, TQsoEntryHost& host);
    // The WPX prefix and the mode group a search started from another window adds (empty, 0: none).
    void AddWpxAndModeGroup(const std::string& wpxExpression, int modeGroup);
    // A filter of another window takes the place of the conditions; null removes it.
    void SetOutsideFilter(std::function<bool(const TQsoRecord&)> filter);
    bool Matches(const TQsoRecord& rec, const TQsoData* log) const { return search_.Matches(rec, log); }

private:
    TQsoRecord template_;
    TQsoSearch search_;
    TDayNumber lastRangeEnd_ = 0;
};

} // namespace korval
