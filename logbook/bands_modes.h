#pragma once
// Band and mode numbering, names, frequency edges, mode groups and report kinds, the mode-name
// aliases of outside data, the report (RST) text form, and the station and award queries over
// the configuration record.
#include <string>
#include <string_view>

namespace korval {

class TAwardSettings;
struct TAwardStatusBlock;

inline constexpr int BandCount = 15;   // bands 1..15, 0 = none
inline constexpr int ModeCount = 15;   // modes 1..15, 0 = none
inline constexpr int SatBand = 15;
inline constexpr int FirstVuccBand = 10;

// Mode numbers.
enum TMode : int {
    mdNone = 0, mdAM = 1, mdATV, mdCLOV, mdCW, mdFM, mdFSTV, mdGTOR, mdMTOR, mdPACK, mdPSK, mdPSK3,
    mdPTOR, mdRTTY, mdSSB, mdSSTV,
};
// Mode groups; 0 stands for all modes ("MIX").
enum TModeGroup : int { mgMixed = 0, mgPhone = 1, mgCW = 2, mgDigital = 3 };

struct TBandInfo {
    const char* Name;      // wavelength name, "160m"
    const char* FreqName;  // frequency name, "1.8MHz"
    const char* Key;       // "160"
    const char* FreqKey;   // "1.8"
    double LowKHz;
    double HighKHz;
};
// Band 0 (and any number outside 1..15) gives the placeholder entry "xxxm" / "xxxf".
const TBandInfo& BandInfo(int band);

// The wavelength name, or the frequency name when the configuration asks for frequency names.
std::string BandName(int band);
int BandNameWidth();
std::string BandShortName(int band);
// The first three characters against the keys of bands 15 down to 1; "SAT" in any case is 15.
int BandFromKey(std::string_view text);
// The first band whose edges, widened by 5 kHz each side, contain the frequency; 0 when none.
int BandFromFrequency(double kHz);
// mgPhone when at or above some band's configured CW/phone cut-off and below its high edge.
int ModeGroupOfFrequency(double kHz);

std::string ModeName(int mode);       // "" for mode 0 or a number outside 1..15
int ModeGroup(int mode);              // 0 for mode 0
int ModeReportKind(int mode);         // 0 two-digit RS, 1 three-digit RST
std::string ModeGroupName(int group); // "MIX", "PHO", "CW", "RTTY"
// Blanks removed, upper case, first four characters, then the alias table; 0 when unknown.
int ModeFromName(std::string_view text);

// 1059 -> "59A"; reports of 1000 and above are the aurora form.
std::string RstToStr(int report);
// "" -> 0; a single character must be "0"; a trailing 'A' adds 1000; the rest must be decimal.
bool StrToRst(std::string_view text, int& report);
// The report lies in its mode's range (kind 0: 11..59, kind 1: 111..599; aurora tested as x9).
bool IsValidRst(int mode, int report);

// Station and award queries over the live configuration.
bool IsStationBand(int band);
bool IsStationMode(int mode);
bool IsVuccBand(int band);
bool StationModeGroupUsed(int group);
bool AwardBandValid(const TAwardSettings& award, int band);
bool AwardBandSeparate(const TAwardSettings& award, int band);
bool AwardModeValid(const TAwardSettings& award, int mode);
bool AwardModeGroupValid(const TAwardSettings& award, int group);

// Status queries over an entity's award status block (a cell counts only with a non-zero count).
int AwardStatus(const TAwardStatusBlock& block);                 // the whole award
int AwardModeStatus(const TAwardStatusBlock& block, int cell);   // one cell
int AwardBandStatus(const TAwardStatusBlock& block, int band);   // best of the band's mode groups
bool AwardStatusAnyMode(const TAwardStatusBlock& block);         // some mode group of all bands

} // namespace korval
