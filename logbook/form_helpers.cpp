#include "logbook/form_helpers.h"

#include <cmath>

namespace korval {

bool IsValidCall(const std::string& call)
{
    if (call.size() < 3 || call.front() == '/' || call.back() == '/')
        return false;
    bool letter = false;
    char prev = 0;
    for (char c : call) {
        if (c >= 'A' && c <= 'Z')
            letter = true;
        else if (c == '?')
            letter = true;
        else if (c == '/') {
            if (prev == '/')
                return false;
        } else if (c < '0' || c > '9')
            return false;
        prev = c;
    }
    return letter;
}

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

std::string EntryFieldErrorText(int errorCode, const std::string& message, const std::string& rangeLo,
                                const std::string& rangeHi)
{
    if (errorCode == oeRangeError)
        return "Value in range " + rangeLo + " to " + rangeHi + " expected";
    return message;
}

TCoordParts SplitCoord(double value)
{
    return {std::fabs(value), value < 0 ? 2 : 1};
}

double JoinCoord(double magnitude, int selection)
{
    return selection == 2 ? -std::fabs(magnitude) : std::fabs(magnitude);
}

std::string ListLinesToClipboardText(const std::vector<std::string>& lines, const std::vector<bool>& selected)
{
    bool any = false;
    for (std::size_t i = 0; i < lines.size() && i < selected.size(); ++i)
        any = any || selected[i];
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (any && !(i < selected.size() && selected[i]))
            continue;
        text += lines[i];
        text += "\r\n";
    }
    return text;
}

std::string WasStateFor(int stateKind, const std::string& state, bool stateKnown)
{
    switch (stateKind) {
    case 1:
        return stateKnown && state != "HI" && state != "AK" ? state : std::string();
    case 3:
        return "HI";
    case 4:
        return "AK";
    default:
        return {};
    }
}

} // namespace korval
