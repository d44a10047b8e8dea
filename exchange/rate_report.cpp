#include "exchange/rate_report.h"

#include "logbook/bands_modes.h"
#include "logbook/config_record.h"
#include "logbook/log_settings.h"
#include "logbook/qso_data.h"

namespace korval {

int RateHour(TDayNumber startDate, std::int32_t startTime, TDayNumber date, std::int32_t time)
{
    if (date < startDate || (date == startDate && time < startTime))
        return -1;
    long days = date - startDate;
    long seconds = time - startTime;
    if (seconds < 0) {
        seconds += 86400;
        --days;
    }
    return static_cast<int>(days * 24 + seconds / 3600);
}

void TRateReport::MakeReport()
{
    Heading.Title = "Rate Sheet";
    Heading.Columns.clear();
    Heading.AddColumn("Hour", 6, faRight);
    Heading.AddColumn("Total", 6, faRight);
    bool groupShown[4] = {};
    for (int g = 1; g <= 3; ++g)
        if ((groupShown[g] = StationModeGroupUsed(g)))
            Heading.AddColumn(ModeGroupName(g), 5, faRight);
    for (int b = 1; b <= BandCount; ++b)
        if (IsStationBand(b))
            Heading.AddColumn(BandName(b), 5, faRight);

    long groups[4] = {}, bands[16] = {}, totalGroups[4] = {}, totalBands[16] = {};
    auto writeLine = [&](const std::string& label, const long (&g)[4], const long (&b)[16]) {
        Line = label;
        AddCell(CountOrDot(g[1] + g[2] + g[3]));
        for (int i = 1; i <= 3; ++i)
            if (groupShown[i])
                AddCell(CountOrDot(g[i]));
        for (int i = 1; i <= BandCount; ++i)
            if (IsStationBand(i))
                AddCell(CountOrDot(b[i]));
        NewLine();
    };
    const TDayNumber startDate = Config.ContestStartDate();
    const std::int32_t startTime = Config.ContestStartTime();
    int current = 0;
    for (const TQsoRecord* q : log_->Qsos()) {
        if (!log_->InSelection(*q))
            continue;
        const int hour = RateHour(startDate, startTime, q->Date, q->Time);
        if (hour < 0)
            continue;
        if (hour != current) {
            writeLine(std::to_string(current + 1), groups, bands);
            for (int i = 0; i < 4; ++i) {
                totalGroups[i] += groups[i];
                groups[i] = 0;
            }
            for (int i = 0; i < 16; ++i) {
                totalBands[i] += bands[i];
                bands[i] = 0;
            }
            current = hour;
            if (current >= 48)
                break;
        }
        ++groups[LogModeGroup(q->Mode)];
        if (q->Band <= BandCount)
            ++bands[q->Band];
    }
    writeLine(std::to_string(current + 1), groups, bands);
    for (int i = 0; i < 4; ++i)
        totalGroups[i] += groups[i];
    for (int i = 0; i < 16; ++i)
        totalBands[i] += bands[i];
    writeLine("Total", totalGroups, totalBands);
}

} // namespace korval
