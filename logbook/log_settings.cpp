#include "logbook/log_settings.h"

#include <cstring>

#include "logbook/bands_modes.h"
#include "logbook/config_record.h"
#include "logbook/base/record_bytes.h"

namespace korval {

namespace {
std::function<TLogSettings()>& Source()
{
    static std::function<TLogSettings()> source;
    return source;
}
} // namespace

TLogSettings TLogSettings::Defaults()
{
    TLogSettings s;
    for (int i = 1; i <= 15; ++i) {
        s.stationBands[i] = 1;
        s.stationModes[i] = 1;
    }
    for (auto& a : s.awards) {
        for (int i = 1; i <= 15; ++i) {
            a.b[i] = 1;       // valid band
            a.b[16 + i] = 1;  // separate per band
            a.b[32 + i] = 1;  // mode
        }
        a.b[48] = a.b[49] = a.b[50] = 1;
    }
    return s;
}

TLogSettings TLogSettings::FromConfigBytes(const std::uint8_t* cfg)
{
    TLogSettings s;
    s.dateFormat = GetU8(cfg, 776);
    s.workedCutoff = GetU16(cfg, 912);
    s.qslSentCutoff = GetU16(cfg, 914);
    s.mergeGroup = GetU8(cfg, 924);
    s.keepBackup = GetU8(cfg, 928) != 0;
    std::memcpy(s.stationBands, cfg + 4056, 16);
    std::memcpy(s.stationModes, cfg + 4072, 16);
    for (int i = 0; i < 4; ++i)
        std::memcpy(s.awards[i].b, cfg + 4144 + 51 * i, 51);
    return s;
}

int LogModeGroup(int mode) { return ModeGroup(mode); }

TLogSettings CurrentLogSettings()
{
    return Source() ? Source()() : TLogSettings::FromConfigBytes(Config.Bytes());
}

void SetLogSettingsSource(std::function<TLogSettings()> source) { Source() = std::move(source); }

} // namespace korval
