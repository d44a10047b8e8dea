#pragma once
// What the windows that tune the radio (scanner, panorama, set-frequency) need of it. The CAT
// engine implements it; tests put a fake in its place.
#include <cstdint>

namespace korval {

class TCatRadio {
public:
    virtual ~TCatRadio() = default;
    // Each returns true when it failed (also when refused because an exchange is running).
    virtual bool ReadFrequencyAndMode(double& rxKHz, double& txKHz, std::uint8_t& mode, bool& split) = 0;
    virtual bool SetFrequencyAndMode(std::uint8_t mode, bool split, double rxKHz, double txKHz) = 0;
    virtual bool SetFrequency(double kHz) = 0;
    virtual bool ReadSMeter(std::uint8_t& s) = 0;
    // An exchange is running: a call now would be refused.
    virtual bool Busy() const = 0;
};

} // namespace korval
