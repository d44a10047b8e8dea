#pragma once
// One DX spot: the record of the spot list and, byte for byte, of the spot file.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "logbook/base/day_number.h"

namespace korval {

inline constexpr std::uint16_t NoSpotTime = 65535;

struct TSpotRecord {
    static constexpr std::size_t Size = 89;

    double frequency = 0;      // kHz
    double qsxFrequency = 0;   // kHz; 0 none
    std::uint8_t band = 0;
    std::uint8_t mode = 0;
    std::string call;          // string[12]
    std::string spotter;       // string[12]
    std::uint16_t country = 0;
    char reason = 0;           // '1'..'6'
    TDayNumber date = NoDate;
    std::uint16_t time = NoSpotTime; // minutes of the day, UTC
    std::string remarks;       // string[33]
    std::int32_t arrival = 0;

    std::array<std::uint8_t, Size> toBytes() const;
    static TSpotRecord fromBytes(const std::uint8_t* bytes);
};

} // namespace korval
