#pragma once
// The settings of the configuration record that the logbook and its file use, gathered in one
// value so that the engines and their tests do not depend on the whole record.
#include <cstdint>
#include <functional>

namespace korval {

// The award settings block of one award (51 bytes in the configuration record): valid-band
// flags 0 to 15, separate-per-band flags 16 to 31, mode flags 32 to 47, then the switches
// Mixed (48), Mode (49) and Band (50).
struct TAwardSettingsBytes {
    std::uint8_t b[51] = {};
};

enum TAwardIndex { awDxcc = 0, awWaz = 1, awWas = 2, awWpx = 3 };

struct TLogSettings {
    std::uint8_t dateFormat = 1;          // 776: 1 mm/dd/yy, 2 dd/mm/yy, 3 yy-mm-dd
    std::uint16_t workedCutoff = 1;       // 912
    std::uint16_t qslSentCutoff = 1;      // 914
    std::uint8_t mergeGroup = 0;          // 924: group of merged QSOs, 0 = keep
    bool keepBackup = true;               // 928 (rewrites follow the live record's setting)
    std::uint8_t stationBands[16] = {};   // 4056
    std::uint8_t stationModes[16] = {};   // 4072
    TAwardSettingsBytes awards[4];        // 4144, 4195, 4246, 4297

    // The built-in defaults of the configuration record.
    static TLogSettings Defaults();
    // Read from a whole configuration record of 8584 bytes.
    static TLogSettings FromConfigBytes(const std::uint8_t* cfg);

    bool IsStationBand(int band) const { return band >= 0 && band <= 15 && stationBands[band] != 0; }
    bool IsStationMode(int mode) const { return mode >= 0 && mode <= 15 && stationModes[mode] != 0; }
    // Valid band and mode of an award (Mixed stands for mode 0).
    bool AwardBandValid(int award, int band) const
    {
        return IsStationBand(band) && awards[award].b[band] != 0;
    }
    bool AwardModeValid(int award, int mode) const
    {
        if (mode == 0)
            return awards[award].b[48] != 0;
        return mode > 0 && mode <= 15 && awards[award].b[32 + mode] != 0 && IsStationMode(mode);
    }
};

// The mode group (1 phone, 2 CW, 3 digital) of a mode number; 0 for 0 and unknown numbers.
int LogModeGroup(int mode);

// The settings in force: from the installed source (tests), else from the live configuration
// record.
TLogSettings CurrentLogSettings();
void SetLogSettingsSource(std::function<TLogSettings()> source);

} // namespace korval
