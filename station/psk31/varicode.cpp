#include "station/psk31/varicode.h"

#include <array>

namespace korval {
namespace {

// Codes of ASCII 0 to 127, in order.
constexpr std::array<std::string_view, 128> kCodes = {
    "1010101011", "1011011011", "1011101101", "1101110111", "1011101011", "1101011111", "1011101111", "1011111101",
    "1011111111", "11101111",   "11101",      "1101101111", "1011011101", "11111",      "1101110101", "1110101011",
    "1011110111", "1011110101", "1110101101", "1110101111", "1101011011", "1101101011", "1101101101", "1101010111",
    "1101111011", "1101111101", "1110110111", "1101010101", "1101011101", "1110111011", "1011111011", "1101111111",
    "1",          "111111111",  "101011111",  "111110101",  "111011011",  "1011010101", "1010111011", "101111111",
    "11111011",   "11110111",   "101101111",  "111011111",  "1110101",    "110101",     "1010111",    "110101111",
    "10110111",   "10111101",   "11101101",   "11111111",   "101110111",  "101011011",  "101101011",  "110101101",
    "110101011",  "110110111",  "11110101",   "110111101",  "111101101",  "1010101",    "111010111",  "1010101111",
    "1010111101", "1111101",    "11101011",   "10101101",   "10110101",   "1110111",    "11011011",   "11111101",
    "101010101",  "1111111",    "111111101",  "101111101",  "11010111",   "10111011",   "11011101",   "10101011",
    "11010101",   "111011101",  "10101111",   "1101111",    "1101101",    "101010111",  "110110101",  "101011101",
    "101110101",  "101111011",  "1010101101", "111110111",  "111101111",  "111111011",  "1010111111", "101101101",
    "1011011111", "1011",       "1011111",    "101111",     "101101",     "11",         "111101",     "1011011",
    "101011",     "1101",       "111101011",  "10111111",   "11011",      "111011",     "1111",       "111",
    "111111",     "110111111",  "10101",      "10111",      "101",        "110111",     "1111011",    "1101011",
    "11011111",   "1011101",    "111010101",  "1010110111", "110111011",  "1010110101", "1011010111", "1110110101",
};

struct TTables {
    std::array<TVaricodeEntry, 128> codes {};
    std::array<std::int16_t, 1024> chars {};  // code value -> character, -1 none
    TTables()
    {
        chars.fill(-1);
        for (std::size_t c = 0; c < kCodes.size(); ++c) {
            std::uint16_t v = 0;
            for (char b : kCodes[c])
                v = static_cast<std::uint16_t>(v << 1 | (b == '1'));
            codes[c] = {v, static_cast<std::uint8_t>(kCodes[c].size())};
            chars[v] = static_cast<std::int16_t>(c);
        }
    }
};

const TTables& Tables()
{
    static const TTables t;
    return t;
}

} // namespace

TVaricodeEntry VaricodeOf(std::uint8_t ch)
{
    return ch < 128 ? Tables().codes[ch] : TVaricodeEntry {0, 0};
}

std::string_view VaricodeText(std::uint8_t ch)
{
    return ch < 128 ? kCodes[ch] : std::string_view();
}

int TVaricodeDecoder::PushBit(int bit)
{
    int result = -1;
    if (bit == 0 && lastBit_ == 0) {
        // The second 0 of a gap: what came before the first one is a character.
        const std::uint32_t code = code_ >> 1;
        if (length_ >= 2 && length_ - 1 <= 10)
            result = Tables().chars[code];
        code_ = 0;
        length_ = 0;
    } else if (length_ <= 11) {
        code_ = code_ << 1 | static_cast<std::uint32_t>(bit & 1);
        ++length_;
    }
    // A run too long for any code is noise; it stays unreadable until the next gap.
    lastBit_ = bit & 1;
    return result;
}

} // namespace korval
