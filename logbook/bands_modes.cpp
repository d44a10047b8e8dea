#include "logbook/bands_modes.h"

#include "logbook/award_status.h"
#include "logbook/config_record.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

namespace korval {

namespace {

const TBandInfo bands[BandCount + 1] = {
    {"xxxm", "xxxf", "xxx", "xxx", 0, 0},
    {"160m", "1.8MHz", "160", "1.8", 1500, 2000},
    {"80m", "3.7MHz", "80", "3.7", 3500, 4000},
    {"40m", "7MHz", "40", "7", 7000, 7500},
    {"30m", "10MHz", "30", "10", 10000, 10500},
    {"20m", "14MHz", "20", "14", 14000, 14500},
    {"17m", "18MHz", "17", "18", 18000, 18500},
    {"15m", "21MHz", "15", "21", 21000, 21500},
    {"12m", "24MHz", "12", "24", 24000, 25000},
    {"10m", "28MHz", "10", "28", 28000, 30000},
    {"6m", "50MHz", "6", "50", 50000, 54000},
    {"2m", "144MHz", "2", "144", 144000, 148000},
    {"1.2m", "220MHz", "1.2", "220", 220000, 230000},
    {"70cm", "440MHz", "70", "440", 420000, 450000},
    {"23cm", "1.3GHz", "23", "1300", 1240000, 1300000},
    {"Sat", "Sat", "Sat", "Sat", 1400000, 9999000},
};

// The mode map: number, name, group, report kind.
struct TModeEntry {
    int Number;
    const char* Name;
    int Group;
    int ReportKind;
};
const TModeEntry modes[ModeCount + 1] = {
    {0, "", 0, 1},       {1, "AM", 1, 0},    {2, "ATV", 1, 0},  {3, "CLOV", 3, 1},
    {4, "CW", 2, 1},     {5, "FM", 1, 0},    {6, "FSTV", 1, 1}, {7, "GTOR", 3, 1},
    {8, "MTOR", 3, 1},   {9, "PACK", 3, 1},  {10, "PSK", 3, 1}, {11, "PSK3", 3, 1},
    {12, "PTOR", 3, 1},  {13, "RTTY", 3, 1}, {14, "SSB", 1, 0}, {15, "SSTV", 1, 1},
};

struct TModeAlias {
    const char* Text;
    int Mode;
};
const TModeAlias aliases[] = {
    {"A1A", mdCW},   {"J3E", mdSSB},  {"LSB", mdSSB},  {"PHO", mdSSB},   {"USB", mdSSB},
    {"SSB", mdSSB},  {"FSK", mdRTTY}, {"TTY", mdRTTY}, {"RTT", mdRTTY},  {"RTY", mdRTTY},
    {"RTTY", mdRTTY}, {"AMT", mdMTOR}, {"MTO", mdMTOR}, {"MTOR", mdMTOR}, {"PKT", mdPACK},
    {"PAC", mdPACK}, {"PACK", mdPACK}, {"TOR", mdPTOR}, {"PTO", mdPTOR}, {"PTOR", mdPTOR},
    {"GTO", mdGTOR}, {"GTOR", mdGTOR}, {"SST", mdSSTV}, {"SSTV", mdSSTV}, {"ATV", mdATV},
    {"PSK", mdPSK},  {"PSK3", mdPSK3}, {"CLOV", mdCLOV}, {"FSTV", mdFSTV}, {"CW", mdCW},
    {"AM", mdAM},    {"FM", mdFM},
};
static_assert(sizeof aliases / sizeof aliases[0] == 32);

// A mode map whose numbers do not match their positions is a build fault.
[[maybe_unused]] const bool modeMapChecked = [] {
    for (int i = 0; i <= ModeCount; ++i)
        if (modes[i].Number != i)
            throw std::logic_error("Wrong mode map (BASIC)");
    return true;
}();

bool ValidMode(int mode) { return mode >= 0 && mode <= ModeCount; }

} // namespace

const TBandInfo& BandInfo(int band) { return bands[band >= 1 && band <= BandCount ? band : 0]; }

std::string BandName(int band)
{
    const TBandInfo& b = BandInfo(band);
    return Config.BandNamesAsFrequency() ? b.FreqName : b.Name;
}

int BandNameWidth() { return Config.BandNamesAsFrequency() ? 6 : 4; }

std::string BandShortName(int band)
{
    const TBandInfo& b = BandInfo(band);
    return Config.BandNamesAsFrequency() ? b.FreqKey : b.Key;
}

int BandFromKey(std::string_view text)
{
    std::string_view first = text.substr(0, 3);
    for (int band = BandCount; band >= 1; --band)
        if (first == bands[band].Key)
            return band;
    if (text.size() == 3) {
        std::string up;
        for (char c : text)
            up += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (up == "SAT")
            return SatBand;
    }
    return 0;
}

int BandFromFrequency(double kHz)
{
    for (int band = 1; band <= BandCount; ++band)
        if (kHz >= bands[band].LowKHz - 5 && kHz <= bands[band].HighKHz + 5)
            return band;
    return 0;
}

int ModeGroupOfFrequency(double kHz)
{
    for (int band = 1; band <= BandCount; ++band)
        if (kHz >= Config.BandCutoff(band) && kHz < bands[band].HighKHz)
            return mgPhone;
    return mgCW;
}

std::string ModeName(int mode) { return ValidMode(mode) ? modes[mode].Name : ""; }
int ModeGroup(int mode) { return ValidMode(mode) ? modes[mode].Group : 0; }
int ModeReportKind(int mode) { return ValidMode(mode) ? modes[mode].ReportKind : 1; }

std::string ModeGroupName(int group)
{
    static const char* names[4] = {"MIX", "PHO", "CW", "RTTY"};
    return group >= 0 && group <= 3 ? names[group] : "";
}

int ModeFromName(std::string_view text)
{
    std::string key;
    for (char c : text) {
        if (c == ' ')
            continue;
        if (key.size() == 4)
            break;
        key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    for (int i = static_cast<int>(sizeof aliases / sizeof aliases[0]) - 1; i >= 0; --i)
        if (key == aliases[i].Text)
            return aliases[i].Mode;
    return 0;
}

std::string RstToStr(int report)
{
    if (report >= 1000)
        return std::to_string(report % 1000) + static_cast<char>(64 + report / 1000);
    return std::to_string(report);
}

bool StrToRst(std::string_view text, int& report)
{
    if (text.empty()) {
        report = 0;
        return true;
    }
    if (text.size() == 1) {
        if (text[0] != '0')
            return false;
        report = 0;
        return true;
    }
    int add = 0;
    if (text.back() == 'A') {
        add = 1000;
        text.remove_suffix(1);
    }
    // Reports are at most three digits; anything longer is not a report.
    if (text.empty() || text.size() > 3)
        return false;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    // No report kind holds 1 to 9, so these are refused however many zeros lead them: "8",
    // which is how such a stored report is written, then reads like "08".
    if (add == 0 && v >= 1 && v <= 9)
        return false;
    report = v + add;
    return true;
}

bool IsValidRst(int mode, int report)
{
    int v = report >= 1000 ? (report % 1000) * 10 + 9 : report;
    if (ModeReportKind(mode) == 0)
        return v >= 11 && v <= 59;
    return v >= 111 && v <= 599;
}

bool IsStationBand(int band) { return band >= 0 && band <= BandCount && Config.StationBand(band); }
bool IsStationMode(int mode) { return ValidMode(mode) && Config.StationMode(mode); }
bool IsVuccBand(int band) { return band >= FirstVuccBand && band <= BandCount && Config.VuccBand(band); }

bool StationModeGroupUsed(int group)
{
    for (int mode = 1; mode <= ModeCount; ++mode)
        if ((group == 0 || modes[mode].Group == group) && Config.StationMode(mode))
            return true;
    return false;
}

bool AwardBandValid(const TAwardSettings& award, int band)
{
    return IsStationBand(band) && award.BandValid(band);
}

bool AwardBandSeparate(const TAwardSettings& award, int band)
{
    return AwardBandValid(award, band) && award.BandSeparate(band);
}

bool AwardModeValid(const TAwardSettings& award, int mode)
{
    if (mode == 0)
        return award.Mixed();
    return ValidMode(mode) && award.ModeValid(mode) && Config.StationMode(mode);
}

bool AwardModeGroupValid(const TAwardSettings& award, int group)
{
    if (group == 0)
        return award.Mixed();
    for (int mode = 1; mode <= ModeCount; ++mode)
        if (modes[mode].Group == group && AwardModeValid(award, mode))
            return true;
    return false;
}

int AwardModeStatus(const TAwardStatusBlock& block, int cell)
{
    if (cell < 0 || cell >= TAwardStatusBlock::kCells)
        return 0;
    return block.Count(cell) != 0 ? block.Status(cell) : 0;
}

int AwardStatus(const TAwardStatusBlock& block) { return AwardModeStatus(block, 0); }

int AwardBandStatus(const TAwardStatusBlock& block, int band)
{
    if (band < 1 || band > BandCount)
        return 0;
    int best = 0;
    for (int group = 1; group <= 3; ++group) {
        int s = AwardModeStatus(block, TAwardStatusBlock::CellOf(band, group));
        if (s > best)
            best = s;
    }
    return best;
}

bool AwardStatusAnyMode(const TAwardStatusBlock& block)
{
    for (int group = 1; group <= 3; ++group)
        if (AwardModeStatus(block, group) != 0)
            return true;
    return false;
}

} // namespace korval
