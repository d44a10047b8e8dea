#pragma once
// TBigReport: the reports over the logbook's award status (listings, summaries, submissions of
// DXCC, WAZ, WAS and WPX). Computing one rebuilds the award status with the report's cut-off
// date and leaves it marked not built afterwards, so the next user rebuilds it with its own.
#include <cstdint>
#include <string>
#include <vector>

#include "exchange/report.h"
#include "logbook/award_status.h"
#include "logbook/base/day_number.h"
#include "logbook/config_record.h"

namespace korval {

// Award kinds of a big report; the five-band submissions pass the negative kind.
enum TBigReportKind : int { bkDxcc = 1, bkWaz = 2, bkWas = 3, bkWpx = 4 };

// The first day a QSO counts from: DXCC 15 Nov 1945 (five-band 1 Jan 1969), WAZ 1 Jan 1945
// (five-band 1 Jan 1979), WAS and WPX 1 Jan 1936. WPX uses the one date in its listing, its
// summary and its submission alike.
TDayNumber BigReportCutoff(int kind);

// One entity of an award: its status block and how the listings name it.
struct TAwardEntity {
    TAwardStatusBlock* Block = nullptr;
    int Number = 0;       // country, zone or state number; 0 for a WPX prefix
    std::string Key;      // country prefix, zone number, state abbreviation, WPX prefix
    std::string Name;     // country or state name
    bool Deleted = false; // a country with an end date, a deleted WPX prefix
};

// The entities of an award (a TAwardKind) in listing order: DXCC countries 1 to the last without
// end date, then with withDeleted the ended ones; zones 1 to 40; the states 1 to 50 that the
// country database has; every prefix of the WPX statistics, the deleted ones only withDeleted.
std::vector<TAwardEntity> AwardEntities(TQsoData& log, int award, bool withDeleted);

class TBigReport : public TReport {
public:
    // award: a TAwardKind; flag: including deleted countries or counting deleted prefixes.
    TBigReport(TQsoData* log, int kind, int award, bool flag);

    // Rebuilds the award status with the cut-off, builds the report, and marks the status not
    // built again.
    void MakeReport() final;
    bool UsesAwardStatus() const override { return true; }
    TDayNumber Cutoff() const { return cutoff_; }

protected:
    virtual void Build() = 0;
    std::vector<TAwardEntity> Entities(bool withDeleted) const { return AwardEntities(*log_, award_, withDeleted); }

    int kind_;
    int award_;
    bool flag_;
    TAwardSettings settings_;
    TDayNumber cutoff_;
};

} // namespace korval
