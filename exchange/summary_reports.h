#pragma once
// The award status summaries: per mode group and per band, how many entities (countries, zones,
// states, WPX prefixes) stand at each status.
#include <string>

#include "exchange/big_report.h"

namespace korval {

class TSummaryReport : public TBigReport {
public:
    using TBigReport::TBigReport;

protected:
    void Build() override;
    // The title word ("Zones") and the number of entities there are to work (0: shown ".").
    virtual void MakeHeading() = 0;
    // Counts every entity of the summary (the award's, with the deleted ones by the flag).
    virtual void SetCounts();
    void SummaryHeading(long available, const std::string& title);
    void CountBlock(const TAwardStatusBlock& block);

private:
    long counts_[4][6] = {};       // mixed and the mode groups, by status
    long bandCounts_[16][6] = {};  // bands 1..15, by status
};

class TCountrySummaryReport : public TSummaryReport {
public:
    TCountrySummaryReport(TQsoData* log, bool includingDeleted)
        : TSummaryReport(log, bkDxcc, akDxcc, includingDeleted)
    {
    }

protected:
    void MakeHeading() override;
};

class TZoneSummaryReport : public TSummaryReport {
public:
    explicit TZoneSummaryReport(TQsoData* log) : TSummaryReport(log, bkWaz, akWaz, true) {}

protected:
    void MakeHeading() override;
};

class TStateSummaryReport : public TSummaryReport {
public:
    explicit TStateSummaryReport(TQsoData* log) : TSummaryReport(log, bkWas, akWas, true) {}

protected:
    void MakeHeading() override;
};

// deletedCounted: deleted prefixes count too (without them: the Honor Roll summary).
class TWPXSummaryReport : public TSummaryReport {
public:
    TWPXSummaryReport(TQsoData* log, bool deletedCounted) : TSummaryReport(log, bkWpx, akWpx, deletedCounted) {}

protected:
    void MakeHeading() override;
};

} // namespace korval
