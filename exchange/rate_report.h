#pragma once
// TRateReport: the contest rate sheet: the QSOs of each hour since the contest start, per mode
// group and per station band, for the first 48 hours, and their totals.
#include <cstdint>

#include "exchange/report.h"
#include "logbook/base/day_number.h"

namespace korval {

// Whole hours from the start to a QSO; -1 before the start.
int RateHour(TDayNumber startDate, std::int32_t startTime, TDayNumber date, std::int32_t time);

class TRateReport : public TReport {
public:
    explicit TRateReport(TQsoData* log) : TReport(log) {}
    void MakeReport() override;
};

} // namespace korval
