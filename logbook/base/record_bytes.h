#pragma once
// Field access for the program's binary records: little-endian integers, 8-byte IEEE doubles
// and short strings (one length byte, then up to N characters) at fixed offsets in a byte buffer.
// Records are read and written field by field through these, never through struct layout.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace korval {

inline void PutU8(std::uint8_t* b, std::size_t off, std::uint8_t v) { b[off] = v; }
inline void PutU16(std::uint8_t* b, std::size_t off, std::uint16_t v)
{
    b[off] = static_cast<std::uint8_t>(v);
    b[off + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutU32(std::uint8_t* b, std::size_t off, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[off + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void PutI16(std::uint8_t* b, std::size_t off, std::int16_t v) { PutU16(b, off, static_cast<std::uint16_t>(v)); }
inline void PutI32(std::uint8_t* b, std::size_t off, std::int32_t v) { PutU32(b, off, static_cast<std::uint32_t>(v)); }
inline void PutDouble(std::uint8_t* b, std::size_t off, double v)
{
    auto bits = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i)
        b[off + i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

inline std::uint8_t GetU8(const std::uint8_t* b, std::size_t off) { return b[off]; }
inline std::uint16_t GetU16(const std::uint8_t* b, std::size_t off)
{
    return static_cast<std::uint16_t>(b[off] | (b[off + 1] << 8));
}
inline std::uint32_t GetU32(const std::uint8_t* b, std::size_t off)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | b[off + i];
    return v;
}
inline std::int16_t GetI16(const std::uint8_t* b, std::size_t off) { return static_cast<std::int16_t>(GetU16(b, off)); }
inline std::int32_t GetI32(const std::uint8_t* b, std::size_t off) { return static_cast<std::int32_t>(GetU32(b, off)); }
inline double GetDouble(const std::uint8_t* b, std::size_t off)
{
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | b[off + i];
    return std::bit_cast<double>(bits);
}

// A short string of capacity N occupies N + 1 bytes: the length byte, then the characters.
// Longer values are cut to N; unused bytes are zero so records compare byte for byte.
inline void PutShortStr(std::uint8_t* b, std::size_t off, std::size_t capacity, std::string_view s)
{
    std::size_t n = s.size() < capacity ? s.size() : capacity;
    b[off] = static_cast<std::uint8_t>(n);
    if (n != 0)  // an empty view may have no characters at all
        std::memcpy(b + off + 1, s.data(), n);
    std::memset(b + off + 1 + n, 0, capacity - n);
}
// A stored length above the capacity (a damaged record) is clamped, never read past the field.
inline std::string GetShortStr(const std::uint8_t* b, std::size_t off, std::size_t capacity)
{
    std::size_t n = b[off] < capacity ? b[off] : capacity;
    return std::string(reinterpret_cast<const char*>(b + off + 1), n);
}

} // namespace korval
