#include "logbook/date_time_steps.h"

namespace korval {

bool StepDate(std::int32_t& date, int command)
{
    if (date < 0)
        return false;
    if (command == ccStepUp)
        ++date;
    else if (command == ccStepDown && date > 0)
        --date;
    else
        return false;
    return true;
}

bool StepTime(std::int32_t& seconds, int command)
{
    if (seconds < 0)
        return false;
    std::int32_t t = seconds;
    if (command == ccStepUp)
        t += 60;
    else if (command == ccStepDown)
        t -= 60;
    else
        return false;
    if (t < 0 || t > 86399)
        return false;
    seconds = t;
    return true;
}

bool StepDateTime(std::int32_t& date, std::int32_t& seconds, int minutes, int command)
{
    if (date < 0 || seconds < 0 || (command != ccStepUp && command != ccStepDown))
        return false;
    std::int64_t total = static_cast<std::int64_t>(date) * 86400 + seconds;
    std::int64_t delta = static_cast<std::int64_t>(minutes) * 60;
    total += command == ccStepUp ? delta : -delta;
    if (total < 0)
        return false;
    date = static_cast<std::int32_t>(total / 86400);
    seconds = static_cast<std::int32_t>(total % 86400);
    return true;
}

} // namespace korval
