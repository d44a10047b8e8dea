#include "logbook/unscramble.h"

#include <cstdint>

namespace korval {

namespace {

constexpr std::uint32_t Seed = 0x4B4F5256u;
constexpr std::uint32_t Multiplier = 0x0019660Du;
constexpr std::uint32_t Increment = 0x3C6EF35Fu;

// Keeps the stored forms of 7-bit texts free of bytes that are awkward in a source constant
// (NUL, '"', '\\'): each is exchanged with a stand-in that has the high bit set, which the
// 7-bit keystream never produces from a 7-bit character. The exchange is its own inverse.
std::uint8_t Substitute(std::uint8_t b)
{
    switch (b) {
    case 0x00: return 0x80;
    case 0x80: return 0x00;
    case 0x22: return 0xA2;
    case 0xA2: return 0x22;
    case 0x5C: return 0xDC;
    case 0xDC: return 0x5C;
    default: return b;
    }
}

std::uint32_t Step(std::uint32_t state, std::uint8_t feedback)
{
    return feedback + (state >> 8) * Multiplier + Increment;
}

} // namespace

std::string UnscrambleString(std::string_view scrambled)
{
    std::string out(scrambled.size(), '\0');
    std::uint32_t state = Seed;
    std::uint8_t feedback = 0;
    for (std::size_t i = 0; i < scrambled.size(); ++i) {
        state = Step(state, feedback);
        std::uint8_t b = Substitute(static_cast<std::uint8_t>(scrambled[i]));
        std::uint8_t c = static_cast<std::uint8_t>(b ^ (state & 0x7F));
        out[i] = static_cast<char>(c);
        feedback = c;
    }
    return out;
}

std::string ScrambleString(std::string_view plain)
{
    std::string out(plain.size(), '\0');
    std::uint32_t state = Seed;
    std::uint8_t feedback = 0;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        state = Step(state, feedback);
        std::uint8_t c = static_cast<std::uint8_t>(plain[i]);
        out[i] = static_cast<char>(Substitute(static_cast<std::uint8_t>(c ^ (state & 0x7F))));
        feedback = c;
    }
    return out;
}

} // namespace korval
