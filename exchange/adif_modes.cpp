#include "exchange/adif_modes.h"

#include "logbook/bands_modes.h"
#include "logbook/base/decimal_text.h"
#include "logbook/base/string_utils.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>

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

// The modes of the ADIF enumeration with the table mode that holds each.
const TName enumModes[] = {
    {"AM", mdAM},          {"ARDOP", mdRTTY},    {"ATV", mdATV},
    {"CHIP", mdRTTY},      {"CLO", mdCLOV},      {"CONTESTI", mdRTTY},    {"CW", mdCW},
    {"DIGITALVOICE", mdFM}, {"DOMINO", mdRTTY},         {"DYNAMIC", mdRTTY},
    {"FAX", mdSSTV},       {"FM", mdFM},         {"FSK441", mdRTTY},      {"FT8", mdRTTY},
    {"HELL", mdRTTY},      {"ISCAT", mdRTTY},    {"JT4", mdRTTY},         {"JT6M", mdRTTY},
    {"JT9", mdRTTY},       {"JT44", mdRTTY},     {"JT65", mdRTTY},        {"MFSK", mdRTTY},
    {"MSK144", mdRTTY},    {"MT63", mdRTTY},     {"OLIVIA", mdRTTY},      {"OPERA", mdRTTY},
    {"PAC", mdPTOR},       {"PAX", mdRTTY},      {"PKT", mdPACK},         {"PSK", mdPSK},
    {"PSK2K", mdRTTY},     {"Q15", mdRTTY},      {"QRA64", mdRTTY},       {"ROS", mdRTTY},
    {"RTTY", mdRTTY},      {"RTTYM", mdRTTY},    {"SSB", mdSSB},          {"SSTV", mdSSTV},
    {"T10", mdRTTY},       {"THOR", mdRTTY},     {"THRB", mdRTTY},        {"TOR", mdMTOR},
    {"V4", mdRTTY},        {"VOI", mdSSB},       {"WINMOR", mdRTTY},      {"WSPR", mdRTTY},
};

// Submodes whose table mode differs from their mode's.
const TName submodeModes[] = {
    {"PSK31", mdPSK3}, {"GTOR", mdGTOR}, {"FREEDV", mdSSB},
};

struct TSubmode {
    const char* Submode;
    const char* Mode;
};
// The submodes of the ADIF enumeration under their modes. A name of this list given as MODE
// (ADIF's import-only names and what older programs wrote) is read as that mode and submode.
const TSubmode enumSubmodes[] = {
    {"CHIP64", "CHIP"}, {"CHIP128", "CHIP"}, {"PCW", "CW"},
    {"C4FM", "DIGITALVOICE"}, {"DMR", "DIGITALVOICE"}, {"DSTAR", "DIGITALVOICE"}, {"FREEDV", "DIGITALVOICE"},
    {"M17", "DIGITALVOICE"},
    {"DOM-M", "DOMINO"}, {"DOM4", "DOMINO"}, {"DOM5", "DOMINO"}, {"DOM8", "DOMINO"}, {"DOM11", "DOMINO"},
    {"DOM16", "DOMINO"}, {"DOM22", "DOMINO"}, {"DOM44", "DOMINO"}, {"DOM88", "DOMINO"},
    {"DOMINOEX", "DOMINO"}, {"DOMINOF", "DOMINO"},
    {"VARA HF", "DYNAMIC"}, {"VARA SATELLITE", "DYNAMIC"}, {"VARA FM 1200", "DYNAMIC"},
    {"VARA FM 9600", "DYNAMIC"},
    {"FMHELL", "HELL"}, {"FSKHELL", "HELL"}, {"HELL80", "HELL"}, {"HELLX5", "HELL"}, {"HELLX9", "HELL"},
    {"HFSK", "HELL"}, {"PSKHELL", "HELL"}, {"SLOWHELL", "HELL"},
    {"ISCAT-A", "ISCAT"}, {"ISCAT-B", "ISCAT"},
    {"JT4A", "JT4"}, {"JT4B", "JT4"}, {"JT4C", "JT4"}, {"JT4D", "JT4"}, {"JT4E", "JT4"}, {"JT4F", "JT4"},
    {"JT4G", "JT4"},
    {"JT9-1", "JT9"}, {"JT9-2", "JT9"}, {"JT9-5", "JT9"}, {"JT9-10", "JT9"}, {"JT9-30", "JT9"},
    {"JT9A", "JT9"}, {"JT9B", "JT9"}, {"JT9C", "JT9"}, {"JT9D", "JT9"}, {"JT9E", "JT9"},
    {"JT9E FAST", "JT9"}, {"JT9F", "JT9"}, {"JT9F FAST", "JT9"}, {"JT9G", "JT9"}, {"JT9G FAST", "JT9"},
    {"JT9H", "JT9"}, {"JT9H FAST", "JT9"},
    {"JT65A", "JT65"}, {"JT65B", "JT65"}, {"JT65B2", "JT65"}, {"JT65C", "JT65"}, {"JT65C2", "JT65"},
    {"FSQCALL", "MFSK"}, {"FST4", "MFSK"}, {"FST4W", "MFSK"}, {"FT4", "MFSK"}, {"JS8", "MFSK"},
    {"JTMS", "MFSK"}, {"MFSK4", "MFSK"}, {"MFSK8", "MFSK"}, {"MFSK11", "MFSK"}, {"MFSK16", "MFSK"},
    {"MFSK22", "MFSK"}, {"MFSK31", "MFSK"}, {"MFSK32", "MFSK"}, {"MFSK64", "MFSK"}, {"MFSK64L", "MFSK"},
    {"MFSK128", "MFSK"}, {"MFSK128L", "MFSK"}, {"Q65", "MFSK"},
    {"OLIVIA 4/125", "OLIVIA"}, {"OLIVIA 4/250", "OLIVIA"}, {"OLIVIA 8/250", "OLIVIA"},
    {"OLIVIA 8/500", "OLIVIA"}, {"OLIVIA 16/500", "OLIVIA"}, {"OLIVIA 16/1000", "OLIVIA"},
    {"OLIVIA 32/1000", "OLIVIA"},
    {"OPERA-BEACON", "OPERA"}, {"OPERA-QSO", "OPERA"},
    {"PAC2", "PAC"}, {"PAC3", "PAC"}, {"PAC4", "PAC"}, {"PAX2", "PAX"},
    {"8PSK125", "PSK"}, {"8PSK125F", "PSK"}, {"8PSK125FL", "PSK"}, {"8PSK250", "PSK"}, {"8PSK250F", "PSK"},
    {"8PSK250FL", "PSK"}, {"8PSK500", "PSK"}, {"8PSK500F", "PSK"}, {"8PSK1000", "PSK"}, {"8PSK1000F", "PSK"},
    {"8PSK1200F", "PSK"}, {"FSK31", "PSK"}, {"PSK10", "PSK"}, {"PSK31", "PSK"}, {"PSK63", "PSK"},
    {"PSK63F", "PSK"}, {"PSK63RC4", "PSK"}, {"PSK63RC5", "PSK"}, {"PSK63RC10", "PSK"}, {"PSK63RC20", "PSK"},
    {"PSK63RC32", "PSK"}, {"PSK125", "PSK"}, {"PSK125C12", "PSK"}, {"PSK125R", "PSK"}, {"PSK125RC10", "PSK"},
    {"PSK125RC12", "PSK"}, {"PSK125RC16", "PSK"}, {"PSK125RC4", "PSK"}, {"PSK125RC5", "PSK"},
    {"PSK250", "PSK"}, {"PSK250C6", "PSK"}, {"PSK250R", "PSK"}, {"PSK250RC2", "PSK"}, {"PSK250RC3", "PSK"},
    {"PSK250RC5", "PSK"}, {"PSK250RC6", "PSK"}, {"PSK250RC7", "PSK"}, {"PSK500", "PSK"}, {"PSK500C2", "PSK"},
    {"PSK500C4", "PSK"}, {"PSK500R", "PSK"}, {"PSK500RC2", "PSK"}, {"PSK500RC3", "PSK"}, {"PSK500RC4", "PSK"},
    {"PSK800C2", "PSK"}, {"PSK800RC2", "PSK"}, {"PSK1000", "PSK"}, {"PSK1000C2", "PSK"}, {"PSK1000R", "PSK"},
    {"PSK1000RC2", "PSK"}, {"PSKAM10", "PSK"}, {"PSKAM31", "PSK"}, {"PSKAM50", "PSK"}, {"PSKFEC31", "PSK"},
    {"QPSK31", "PSK"}, {"QPSK63", "PSK"}, {"QPSK125", "PSK"}, {"QPSK250", "PSK"}, {"QPSK500", "PSK"},
    {"SIM31", "PSK"},
    {"QRA64A", "QRA64"}, {"QRA64B", "QRA64"}, {"QRA64C", "QRA64"}, {"QRA64D", "QRA64"}, {"QRA64E", "QRA64"},
    {"ROS-EME", "ROS"}, {"ROS-HF", "ROS"}, {"ROS-MF", "ROS"},
    {"ASCI", "RTTY"}, {"LSB", "SSB"}, {"USB", "SSB"},
    {"THOR-M", "THOR"}, {"THOR4", "THOR"}, {"THOR5", "THOR"}, {"THOR8", "THOR"}, {"THOR11", "THOR"},
    {"THOR16", "THOR"}, {"THOR22", "THOR"}, {"THOR25X4", "THOR"}, {"THOR50X1", "THOR"},
    {"THOR50X2", "THOR"}, {"THOR100", "THOR"},
    {"THRBX", "THRB"}, {"THRBX1", "THRB"}, {"THRBX2", "THRB"}, {"THRBX4", "THRB"}, {"THROB1", "THRB"},
    {"THROB2", "THRB"}, {"THROB4", "THRB"},
    {"AMTORFEC", "TOR"}, {"GTOR", "TOR"}, {"NAVTEX", "TOR"}, {"SITORB", "TOR"},
};

// Older ADIF mode names and other programs' spellings of modes ADIF names otherwise.
const TSubmode oldNames[] = {
    {"CLOVER", "CLO"}, {"PACKET", "PKT"}, {"PACTOR", "PAC"}, {"AMTOR", "TOR"},
};

std::string upperTrim(std::string_view s)
{
    s = Trim(s);
    std::string r;
    r.reserve(s.size());
    for (char c : s)
        r += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}

std::string noBlanks(std::string_view s)
{
    std::string r;
    for (char c : s)
        if (c != ' ')
            r += c;
    return r;
}

// Every record of an import looks its mode up: by hash, not through the lists.
const TSubmode* findSubmode(const std::string& name)
{
    static const auto* index = [] {
        auto* m = new std::unordered_map<std::string_view, const TSubmode*>;
        for (const auto& s : enumSubmodes)
            m->emplace(s.Submode, &s);
        return m;
    }();
    auto it = index->find(name);
    return it == index->end() ? nullptr : it->second;
}

int enumMode(const std::string& mode)
{
    static const auto* index = [] {
        auto* m = new std::unordered_map<std::string_view, int>;
        for (const auto& n : enumModes)
            m->emplace(n.Text, n.Mode);
        return m;
    }();
    auto it = index->find(mode);
    return it == index->end() ? 0 : it->second;
}

struct TAdifBand {
    const char* Name;
    double LowMHz, HighMHz;
    int Band;  // this program's band, 0 when none
};
const TAdifBand adifBands[] = {
    {"2190m", 0.1357, 0.1378, 0},    {"630m", 0.472, 0.479, 0},       {"560m", 0.501, 0.504, 0},
    {"160m", 1.8, 2.0, 1},           {"80m", 3.5, 4.0, 2},            {"60m", 5.06, 5.45, 0},
    {"40m", 7.0, 7.3, 3},            {"30m", 10.1, 10.15, 4},         {"20m", 14.0, 14.35, 5},
    {"17m", 18.068, 18.168, 6},      {"15m", 21.0, 21.45, 7},         {"12m", 24.89, 24.99, 8},
    {"10m", 28.0, 29.7, 9},          {"8m", 40.0, 45.0, 0},           {"6m", 50.0, 54.0, 10},
    {"5m", 54.000001, 69.9, 0},      {"4m", 70.0, 71.0, 0},           {"2m", 144.0, 148.0, 11},
    {"1.25m", 222.0, 225.0, 12},     {"70cm", 420.0, 450.0, 13},      {"33cm", 902.0, 928.0, 0},
    {"23cm", 1240.0, 1300.0, 14},    {"13cm", 2300.0, 2450.0, 0},     {"9cm", 3300.0, 3500.0, 0},
    {"6cm", 5650.0, 5925.0, 0},      {"3cm", 10000.0, 10500.0, 0},    {"1.25cm", 24000.0, 24250.0, 0},
    {"6mm", 47000.0, 47200.0, 0},    {"4mm", 75500.0, 81000.0, 0},    {"2.5mm", 119980.0, 123000.0, 0},
    {"2mm", 134000.0, 149000.0, 0},  {"1mm", 241000.0, 250000.0, 0},  {"submm", 300000.0, 7500000.0, 0},
};

// A band or mode name of at most seven characters as one number, letters lower-cased and its
// length in the top byte, so that names compare as numbers ("20M" and "20m" alike, "20m\0" not).
constexpr std::size_t kPackedMax = 7;
std::uint64_t packedLower(std::string_view s)
{
    std::uint64_t k = static_cast<std::uint64_t>(s.size()) << 56;
    for (std::size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 'A' && c <= 'Z')
            c = static_cast<unsigned char>(c + 32);
        k |= static_cast<std::uint64_t>(c) << (8 * i);
    }
    return k;
}
} // namespace

TAdifMode ModeToAdif(int mode)
{
    if (mode < 0 || mode > 15)
        mode = 0;
    return adifModes[mode];
}

int DirectAdifMode(std::string_view mode)
{
    // The table modes that are ADIF modes of their own, without a submode.
    static const std::pair<std::string_view, int> direct[] = {
        {"CW", mdCW}, {"SSB", mdSSB}, {"FM", mdFM}, {"RTTY", mdRTTY}, {"AM", mdAM},
        {"SSTV", mdSSTV}, {"ATV", mdATV}, {"PSK", mdPSK}, {"PKT", mdPACK}, {"CLO", mdCLOV},
        {"PAC", mdPTOR}, {"TOR", mdMTOR},
    };
    if (mode.empty() || mode.size() > 4)
        return 0;
    static const auto keys = [] {
        std::array<std::uint64_t, std::size(direct)> k{};
        for (std::size_t i = 0; i < k.size(); ++i)
            k[i] = packedLower(direct[i].first);
        return k;
    }();
    const std::uint64_t key = packedLower(mode);
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (keys[i] == key)
            return direct[i].second;
    return 0;
}

TAdifModeName NormalizeAdifMode(std::string_view mode, std::string_view submode)
{
    TAdifModeName r;
    r.Mode = upperTrim(mode);
    r.Submode = upperTrim(submode);
    for (const auto& o : oldNames)
        if (r.Mode == o.Submode)
            r.Mode = o.Mode;
    if (enumMode(r.Mode) != 0) {
        r.Known = true;
        return r;
    }
    if (const TSubmode* s = findSubmode(r.Mode)) {
        // A submode given as the mode: a submode beside it that names something else wins.
        if (r.Submode.empty() || !findSubmode(r.Submode))
            r.Submode = r.Mode;
        r.Mode = s->Mode;
        r.Known = true;
    }
    return r;
}

int AdifModeToMode(std::string_view mode, std::string_view submode)
{
    return AdifModeToMode(NormalizeAdifMode(mode, submode));
}

int AdifModeToMode(const TAdifModeName& n)
{
    if (n.Known) {
        if (n.Submode.empty())
            return enumMode(n.Mode);
        for (const auto& s : submodeModes)
            if (n.Submode == s.Text)
                return s.Mode;
        return enumMode(n.Mode);
    }
    std::string m = noBlanks(n.Mode);
    if (m.empty())
        return 0;
    // This program's own short names (FSTV, PSK3, ...), as its older exports wrote them.
    int own = ModeFromName(m);
    if (own != 0 && (ModeName(own) == m || m.size() <= 4))
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

const char* AdifBandCanonical(std::string_view name, int* band)
{
    constexpr std::size_t count = sizeof adifBands / sizeof adifBands[0];
    static const auto keys = [] {
        std::array<std::uint64_t, count> k{};
        for (std::size_t i = 0; i < count; ++i)
            k[i] = packedLower(adifBands[i].Name);
        return k;
    }();
    if (band)
        *band = 0;
    name = Trim(name);
    if (name.empty() || name.size() > kPackedMax)
        return "";
    const std::uint64_t key = packedLower(name);
    for (std::size_t i = 0; i < count; ++i)
        if (keys[i] == key) {
            if (band)
                *band = adifBands[i].Band;
            return adifBands[i].Name;
        }
    return "";
}

const char* AdifBandOfFrequency(double mhz, int* band)
{
    // The bands lie in rising order and apart: the last band starting at or below the frequency
    // is the only one that can hold it. Up to 1 GHz a table by whole MHz says how many bands
    // start at or below that MHz; at most a band or two more start within it.
    constexpr std::size_t count = sizeof adifBands / sizeof adifBands[0];
    constexpr std::size_t tableMHz = 1024;
    struct TStarts {
        std::array<double, count> Lows;
        std::array<std::uint8_t, tableMHz> Below;
    };
    static const TStarts starts = [] {
        TStarts t{};
        for (std::size_t i = 0; i < count; ++i)
            t.Lows[i] = adifBands[i].LowMHz;
        for (std::size_t m = 0; m < tableMHz; ++m)
            for (double low : t.Lows)
                t.Below[m] = static_cast<std::uint8_t>(t.Below[m] + (low <= static_cast<double>(m) ? 1 : 0));
        return t;
    }();
    std::size_t below = 0;
    if (mhz >= 0 && mhz < static_cast<double>(tableMHz))
        below = starts.Below[static_cast<std::size_t>(mhz)];
    while (below < count && starts.Lows[below] <= mhz)
        ++below;
    if (below != 0 && mhz <= adifBands[below - 1].HighMHz) {
        if (band)
            *band = adifBands[below - 1].Band;
        return adifBands[below - 1].Name;
    }
    if (band)
        *band = 0;
    return "";
}

int BandOfAdifBand(std::string_view canonicalName)
{
    static const auto* index = [] {
        auto* m = new std::unordered_map<std::string_view, int>;
        for (const auto& b : adifBands)
            m->emplace(b.Name, b.Band);
        return m;
    }();
    auto it = index->find(canonicalName);
    return it == index->end() ? 0 : it->second;
}

bool ReadReal(std::string_view text, double& value)
{
    text = Trim(text);
    if (text.empty() || text.size() > 40)
        return false;
    // Plain decimals ("14.025", every FREQ of a log) without a general parser: with at most 15 digits the
    // digits and the power of ten are exact doubles, so their quotient is the correctly rounded
    // value, the one a general parser gives.
    std::uint64_t digits = 0;
    int count = 0, fraction = -1;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
            ++count;
            if (fraction >= 0)
                ++fraction;
        } else if (c == '.' && fraction < 0) {
            fraction = 0;
        } else {
            count = 99;
            break;
        }
    }
    if (count >= 1 && count <= 15) {
        static const double powers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        value = static_cast<double>(digits) / powers[fraction < 0 ? 0 : fraction];
        return true;
    }
    return ParseDecimal(text, value);
}

} // namespace korval
