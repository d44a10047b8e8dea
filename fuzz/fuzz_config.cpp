// The configuration record: loaded from SAVE/KORVAL.CFG, then what reads it (placements kept on
// the screen, fonts, date pictures, band cut-offs).
#include "fuzz/fuzz_support.h"

#include "logbook/bands_modes.h"
#include "logbook/config_record.h"
#include "logbook/base/day_number.h"
#include "logbook/configured_formats.h"

using namespace korval;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Prepare(false);
    SetScreenMetrics({96, 1920, 1080});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Most inputs would be refused by size alone: short inputs are laid over a saved default
    // record, so that the fields behind the magic are what varies.
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (bytes.size() < TConfigRecord::Size) {
        TConfigRecord defaults;
        std::string whole(reinterpret_cast<const char*>(defaults.Bytes()), TConfigRecord::Size);
        whole.replace(9, std::min(bytes.size(), TConfigRecord::Size - 9), bytes.substr(0, TConfigRecord::Size - 9));
        bytes = whole;
    }
    fuzz::WriteHomeFile("SAVE/KORVAL.CFG", bytes);
    TConfigRecord saved = Config;
    LoadConfiguration(Config);
    for (int slot = 0; slot < PlacementSlotCount; ++slot) {
        TFormRect r{10, 10, 300, 200};
        RestoreRectFromSlot(Config, slot, r, 80);
        KeepRectOnScreen(r, ScreenMetrics(), static_cast<int>(Config.MainWindowWidth()), 80);
    }
    for (int i = 0; i < 3; ++i)
        Config.Font(i);
    DateFormatString();
    TimeFormatString();
    FormatDayNumber(40000);
    SecondsToHHMM(3661);
    for (double kHz : {1850.0, 7050.0, 14250.0, 144300.0})
        BandFromFrequency(kHz);
    BandName(Config.DefaultBand());
    UserLevelAllows(2);
    Config = saved;
    return 0;
}
