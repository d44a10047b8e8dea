#pragma once
// The Up and Down keys of the radio's frequency fields: 0.5 kHz a step for phone modes and
// 0.1 kHz for the others, ten times that with Shift, 0.01 kHz with Ctrl; Ctrl+Shift jumps to the
// CW/phone cut-off of the frequency's band.
#include <cstdint>

namespace korval {

class TConfigRecord;

// The field's value after a key of `unit` steps (+1 Up, -1 Down, 0 Enter).
double SteppedFrequency(double kHz, int unit, std::uint8_t mode, bool shift, bool ctrl, const TConfigRecord& config);

} // namespace korval
