#include "logbook/qso_contest.h"

#include "logbook/config_record.h"
#include "logbook/qso_data.h"
#include "logbook/qso_radio.h"
#include "logbook/base/day_number.h"

namespace korval {

bool TQsoContest::IsDupe(const std::string& call, int mode, int band) const
{
    if (call.empty())
        return false;
    const TQsoIndex& bc = log_.ByCall();
    TQsoRecord key;
    key.Call.assign(call);
    key.Date = 65535;
    key.Time = 0x7fffffff;
    key.Band = key.Mode = 255;
    int i = 0;
    bc.Find(key, i);
    const TDayNumber sd = Config.ContestStartDate();
    const std::int32_t st = Config.ContestStartTime();
    for (--i; i >= 0 && bc.At(i)->Call == call; --i) {
        const TQsoRecord* q = bc.At(i);
        if (q->Date < sd || (q->Date == sd && q->Time < st))
            break;
        if (!log_.InSelection(*q))
            continue;
        if (q->Mode == mode && q->Band == band)
            return true;
    }
    return false;
}

std::string TQsoContest::Exchange(bool realTime, const TQsoRadio* radio)
{
    std::string ex = Config.ContestExchange();
    if (ex.empty() || !realTime)
        return ex;
    if (Config.ContestMode() && Config.ContestSerial() > 0) {
        std::size_t p = ex.find("##");
        if (p != std::string::npos)
            ex.replace(p, 2, std::to_string(Config.ContestSerial()));
    }
    if (radio && radio->Attached()) {
        std::size_t p = ex.find("$$");
        if (p != std::string::npos)
            ex.replace(p, 2, radio->FrequencyText());
    }
    return ex;
}

bool TQsoContest::SerialShown(bool realTime)
{
    return Config.ContestMode() && Config.ContestSerial() > 0 && realTime;
}

} // namespace korval
