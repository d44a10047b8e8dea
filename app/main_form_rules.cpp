#include "app/main_form_rules.h"

#include <cctype>

#include "logbook/entry_mode.h"

namespace korval {

TCommandLine ParseCommandLine(const std::vector<std::string>& params)
{
    TCommandLine cl;
    for (std::size_t i = 0; i < params.size(); ++i) {
        const std::string& p = params[i];
        if (p.size() == 2 && p[0] == '/') {
            char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(p[1])));
            if (letter == 'F')
                cl.flagF = true;
            else if (letter == 'S' && i + 1 < params.size()) {
                cl.hasS = true;
                cl.argS = params[++i];
            }
        }
    }
    // Switches are exactly two characters; anything else first is the log to open (here a path
    // may well begin with '/').
    if (!params.empty() && !params[0].empty() && !(params[0].size() == 2 && params[0][0] == '/'))
        cl.firstParam = params[0];
    return cl;
}

std::string ChooseStartLog(const std::string& firstParam, const std::string& lastLog, const std::string& defaultLog)
{
    if (!firstParam.empty())
        return firstParam;
    if (lastLog == "<none>")
        return {};
    if (!lastLog.empty())
        return lastLog;
    return defaultLog;
}

std::string QsoModeText(int mode)
{
    switch (mode) {
    case emRealTime: return "Add real-time";
    case emOffline: return "Add off-line";
    case emSearch: return "Specify Filter";
    case emBrowse: return "Filter Active";
    default: return {};
    }
}

bool TAutoSaveCountdown::Start(int minutes)
{
    if (minutes <= 0)
        return false;
    count_ = minutes * 12;
    running_ = true;
    return true;
}

bool TAutoSaveCountdown::Tick()
{
    if (!running_)
        return false;
    --count_;
    return count_ <= 0;
}

std::string TAutoSaveCountdown::Text() const
{
    return "Modified[" + std::to_string(count_) + "]";
}

} // namespace korval
