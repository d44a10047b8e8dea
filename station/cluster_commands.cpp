#include "station/cluster_commands.h"

#include <cctype>

#include "logbook/bands_modes.h"
#include "logbook/base/decimal_text.h"

namespace korval {

namespace {
std::string TwoDecimals(double v)
{
    return FormatFixed(v, 2);
}
} // namespace

std::string AnnounceDXCommand(double kHz, const std::string& call, double qsxKHz, const std::string& remarks)
{
    std::string cmd = "DX " + TwoDecimals(kHz) + " " + call;
    if (qsxKHz != 0)
        cmd += " QSX " + TwoDecimals(qsxKHz);
    if (!remarks.empty())
        cmd += " " + remarks;
    return cmd;
}

std::string AnnounceRemarks(int mode)
{
    if (mode == mdCW || mode == mdSSB)
        return {};
    if (mode == mdPSK3)
        return "PSK31";
    return ModeName(mode);
}

std::string ReadMessageCommand(const std::string& line)
{
    std::size_t i = line.find_first_not_of(' ');
    if (i == std::string::npos)
        return {};
    std::size_t end = i;
    while (end < line.size() && std::isdigit(static_cast<unsigned char>(line[end])))
        ++end;
    if (end == i)
        return {};
    return "R " + line.substr(i, end - i) + "\r";
}

std::string TerminalCaption(const TTerminalModes& m)
{
    std::string c = m.kind == 0 ? "Packet" : "RTTY";
    c += " (PopUp)";
    if (m.fake)
        c += " [FAKEMODE]";
    if (m.alwaysImmediate)
        c += " (ALWAYS IN IMMEDIATE MODE)";
    else if (m.immediate)
        c += " (IMMEDIATE MODE)";
    if (m.holding)
        c += " (HOLDING)";
    return c;
}

} // namespace korval
