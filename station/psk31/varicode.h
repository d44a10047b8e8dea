#pragma once
// The PSK31 alphabet: each character is a run of bits that begins and ends with 1 and holds no
// two 0 bits in a row, so two 0 bits mark the gap between characters. Common letters have the
// shortest codes. The table covers the 128 ASCII characters.
#include <cstdint>
#include <string_view>

namespace korval {

struct TVaricodeEntry {
    std::uint16_t bits;   // the code, first bit sent in the highest used position
    std::uint8_t length;  // number of bits, 1..10
};

// The code of a character; length 0 for bytes above 127, which the alphabet does not hold.
TVaricodeEntry VaricodeOf(std::uint8_t ch);
// The code as text of '0' and '1', for tests and tracing.
std::string_view VaricodeText(std::uint8_t ch);

// Turns received bits back into characters.
class TVaricodeDecoder {
public:
    // Takes one bit; returns the character it completes, or -1.
    int PushBit(int bit);
    void Reset() { code_ = 0, length_ = 0, lastBit_ = 1; }

private:
    std::uint32_t code_ = 0;
    int length_ = 0;
    int lastBit_ = 1;
};

} // namespace korval
