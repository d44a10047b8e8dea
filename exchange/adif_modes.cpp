#include "exchange/adif_modes.h"

#include "logbook/bands_modes.h"

#include <cctype>
#include <cstdlib>
#include <string>

namespace korval {

namespace {
const TAdifMode adifModes[16] = {
    {"", "", false},       {"AM", "", false},   {"ATV", "", false},       {"CLO", "", false},
    {"CW", "", false},     {"FM", "", false},   {"ATV", "", true},        {"TOR", "GTOR", false},
    {"TOR", "", false},    {"PKT", "", false},  {"PSK", "", false},       {"PSK", "PSK31", false},
    {"PAC", "", false},    {"RTTY", "", false}, {"SSB", "", false},       {"SSTV", "", false},
};

struct TName {
    const char* Text;
    int Mode;
};
// ADIF submodes this program has a mode for.
const TName submodes[] = {
    {"PSK31", mdPSK3}, {"GTOR", mdGTOR}, {"AMTORFEC", mdMTOR}, {"PAC2", mdPTOR}, {"PAC3", mdPTOR},
    {"PAC4", mdPTOR},  {"USB", mdSSB},   {"LSB", mdSSB},
};
// ADIF modes (and the older ADIF names) whose name differs from this program's.
const TName modes[] = {
    {"CLO", mdCLOV}, {"CLOVER", mdCLOV}, {"PKT", mdPACK}, {"PACKET", mdPACK}, {"PAC", mdPTOR},
    {"PACTOR", mdPTOR}, {"TOR", mdMTOR}, {"AMTOR", mdMTOR}, {"AMTORFEC", mdMTOR}, {"GTOR", mdGTOR},
    {"PSK", mdPSK}, {"PSK31", mdPSK3}, {"AM", mdAM}, {"ATV", mdATV}, {"CW", mdCW}, {"FM", mdFM},
    {"RTTY", mdRTTY}, {"SSB", mdSSB}, {"SSTV", mdSSTV},
};

std::string upper(std::string_view s)
{
    std::string r;
    r.reserve(s.size());
    for (char c : s)
        if (c != ' ')
            r += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}
} // namespace

TAdifMode ModeToAdif(int mode)
{
    if (mode < 0 || mode > 15)
        mode = 0;
    return adifModes[mode];
}

int AdifModeToMode(std::string_view mode, std::string_view submode)
{
    if (!submode.empty()) {
        std::string s = upper(submode);
        for (const auto& n : submodes)
            if (s == n.Text)
                return n.Mode;
    }
    std::string m = upper(mode);
    if (m.empty())
        return 0;
    for (const auto& n : modes)
        if (m == n.Text)
            return n.Mode;
    // Anything else must be one of this program's own short names exactly (FT8 is not FT8's
    // first letters of something else).
    int own = ModeFromName(m);
    if (own != 0 && upper(ModeName(own)) == m)
        return own;
    if (own != 0 && m.size() <= 4)
        return own;
    return 0;
}

const char* AdifBandName(int band)
{
    static const char* names[15] = {"", "160m", "80m", "40m", "30m", "20m", "17m", "15m", "12m",
                                    "10m", "6m", "2m", "1.25m", "70cm", "23cm"};
    if (band < 1 || band > 14)
        return "";
    return names[band];
}

bool ReadReal(std::string_view text, double& value)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (text.empty() || text.size() > 40)
        return false;
    char buf[48];
    text.copy(buf, text.size());
    buf[text.size()] = '\0';
    char* end = nullptr;
    value = std::strtod(buf, &end);
    return end == buf + text.size();
}

} // namespace korval
