#include "exchange/big_report.h"

#include "logbook/call_lookup.h"
#include "logbook/country_db.h"
#include "logbook/base/record_bytes.h"
#include "logbook/qso_data.h"

namespace korval {

TDayNumber BigReportCutoff(int kind)
{
    switch (kind) {
    case bkWaz:
        return EncodeDayNumber(1945, 1, 1);
    case -bkWaz:
        return EncodeDayNumber(1979, 1, 1);
    case bkWas:
    case -bkWas:
    case bkWpx:
    case -bkWpx:
        return EncodeDayNumber(1936, 1, 1);
    case -bkDxcc:
        return EncodeDayNumber(1969, 1, 1);
    default:
        return EncodeDayNumber(1945, 11, 15);
    }
}

std::vector<TAwardEntity> AwardEntities(TQsoData& log, int award, bool withDeleted)
{
    std::vector<TAwardEntity> out;
    switch (award) {
    case akDxcc: {
        std::vector<TAwardEntity> ended;
        TCountryRecord c;
        for (std::int32_t n = 1; n < CountryCount(); ++n) {
            const auto number = static_cast<std::uint16_t>(n);
            if (!GetCountry(number, c))
                continue;
            TAwardEntity e{CountryStatistics(number), n, c.Prefix, c.Name, c.EndDate != OpenEndDate};
            if (!e.Block)
                continue;
            (e.Deleted ? ended : out).push_back(std::move(e));
        }
        if (withDeleted)
            out.insert(out.end(), ended.begin(), ended.end());
        break;
    }
    case akWaz:
        for (int zone = 1; zone <= 40; ++zone)
            out.push_back({&log.ZoneStatus(zone), zone, std::to_string(zone), {}, false});
        break;
    case akWas: {
        TUsStateRecord s;
        for (int state = 1; state < TQsoData::kStateBlocks; ++state)
            if (GetState(static_cast<std::uint8_t>(state), s))
                out.push_back({&log.StateStatus(state), state, s.Abbrev, s.Name, false});
        break;
    }
    default:
        if (!CountryDb.WpxStats)
            break;
        for (std::int32_t i = 0; i < CountryDb.WpxStats->Count(); ++i) {
            std::uint8_t* rec = CountryDb.WpxStats->Record(i);
            std::string prefix = GetShortStr(rec, 0, 7);
            const bool deleted = IsDeletedWPXPrefix(prefix);
            if (deleted && !withDeleted)
                continue;
            out.push_back({reinterpret_cast<TAwardStatusBlock*>(rec + 9), 0, std::move(prefix), {}, deleted});
        }
        break;
    }
    return out;
}

TBigReport::TBigReport(TQsoData* log, int kind, int award, bool flag)
    : TReport(log), kind_(kind), award_(award), flag_(flag), settings_(Config.AwardSettings(award)),
      cutoff_(BigReportCutoff(kind))
{
}

void TBigReport::MakeReport()
{
    const std::uint16_t cutoffs[4] = {cutoff_, cutoff_, cutoff_, cutoff_};
    log_->MarkAwardStatusNotBuilt();
    log_->BuildAwardStatus(cutoffs);
    Build();
    log_->MarkAwardStatusNotBuilt();
}

} // namespace korval
