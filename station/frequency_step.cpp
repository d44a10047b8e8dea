#include "station/frequency_step.h"

#include "logbook/bands_modes.h"
#include "logbook/config_record.h"

namespace korval {

double SteppedFrequency(double kHz, int unit, std::uint8_t mode, bool shift, bool ctrl, const TConfigRecord& config)
{
    if (ctrl && shift) {
        const int band = BandFromFrequency(kHz);
        return band > 0 ? config.BandCutoff(band) : kHz;
    }
    double step = 0;
    if (ctrl)
        step = 0.01 * unit;
    else
        step = (ModeGroup(mode) == mgPhone ? 0.5 : 0.1) * unit * (shift ? 10 : 1);
    return kHz + step;
}

} // namespace korval
