#include "station/log_spot_classifier.h"

#include "logbook/award_status.h"
#include "logbook/bands_modes.h"
#include "logbook/config_record.h"
#include "logbook/country_db.h"
#include "logbook/log_settings.h"
#include "logbook/qso_data.h"
#include "logbook/qso_lookup.h"
#include "logbook/qso_record.h"

namespace korval {

namespace {

int AwardOfGroup(int group)
{
    switch (group) {
    case cgWaz: return awWaz;
    case cgWpx: return awWpx;
    default: return awDxcc;
    }
}

// The call at the date through the logbook's lookup: country and CQ zone.
TQsoRecord Looked(const std::string& call, TDayNumber date)
{
    TQsoRecord r;
    r.Call.assign(call.substr(0, 12));
    r.Date = date;
    QsoLookup().LookupCall(r);
    return r;
}

// A QSO of the log with the spot's call, band and mode group (only the current selection counts).
bool WorkedOnBandAndModeGroup(const TQsoData& log, const TSpotRecord& spot, int group)
{
    TQsoRecord key;
    key.Call.assign(spot.call);
    int i = 0;
    log.ByCall().Find(key, i);
    for (; i < log.ByCall().Count(); ++i) {
        const TQsoRecord& q = *log.ByCall().At(i);
        if (q.Call.view() != spot.call)
            break;
        if (log.InSelection(q) && q.Band == spot.band && LogModeGroup(q.Mode) == group)
            return true;
    }
    return false;
}

} // namespace

const char* SpotColourGroupName(int group)
{
    switch (group) {
    case cgWaz: return "WAZ";
    case cgWpx: return "WPX";
    default: return "DXCC";
    }
}

int TLogSpotClassifier::Country(const std::string& call, TDayNumber date) { return Looked(call, date).Country; }

std::string TLogSpotClassifier::CountryPrefix(int country)
{
    TCountryRecord rec;
    if (country <= 0 || !GetCountry(static_cast<std::uint16_t>(country), rec))
        return {};
    return rec.Prefix;
}

int TLogSpotClassifier::CqZone(const std::string& call, TDayNumber date) { return Looked(call, date).Zone; }

void TLogSpotClassifier::UpdateLogStatistics()
{
    if (TQsoData* log = CurrentLog(); log && !log->AwardStatusBuilt())
        log->EnsureAwardStatus();
}

char TLogSpotClassifier::AwardReason(const TSpotRecord& spot)
{
    const TAwardSettings award = Config.AwardSettings(AwardOfGroup(group_));
    const int group = LogModeGroup(spot.mode);
    if (!AwardBandValid(award, spot.band) || !AwardModeValid(award, spot.mode))
        return '6';
    TQsoData* log = CurrentLog();
    if (!log)
        return '5';
    UpdateLogStatistics();

    TAwardStatusBlock empty;
    const TAwardStatusBlock* block = &empty;
    switch (group_) {
    case cgWaz: {
        const int zone = Looked(spot.call, spot.date).Zone;
        if (zone <= 0 || zone > 40)
            return '5';
        block = &log->ZoneStatus(zone);
        break;
    }
    case cgWpx: {
        TShortStr<7> prefix;
        QsoLookup().CalcWPXPrefix(spot.call, prefix);
        if (prefix.view().empty())
            return '5';
        if (const TAwardStatusBlock* b = QsoLookup().WpxStatusBlock(prefix.view(), false))
            block = b;
        break;
    }
    default: {
        if (spot.country == 0)
            return '5';
        if (const TAwardStatusBlock* b = QsoLookup().CountryStatusBlock(spot.country))
            block = b;
        break;
    }
    }

    if (!AwardStatusAnyMode(*block))
        return '1';
    if (AwardModeStatus(*block, group) == 0)
        return '2';
    const int slot = TAwardStatusBlock::CellOf(spot.band, group);
    if (AwardModeStatus(*block, slot) != 0 && WorkedOnBandAndModeGroup(*log, spot, group))
        return '6';

    bool stays = false;
    switch (Config.NewBandModeWarning()) {
    case 2:
        stays = AwardBandStatus(*block, spot.band) == 0 || AwardModeStatus(*block, group) == 0;
        break;
    case 3:
        stays = AwardModeStatus(*block, slot) == 0;
        break;
    default:
        stays = (award.Mixed() && AwardStatus(*block) == 0) ||
                (AwardBandSeparate(award, spot.band) && AwardBandStatus(*block, spot.band) == 0) ||
                (award.ModeAward() && AwardModeGroupValid(award, group) && AwardModeStatus(*block, group) == 0);
        break;
    }
    if (stays)
        return '3';
    return AwardModeStatus(*block, slot) < asConfirmed ? '4' : '5';
}

} // namespace korval
