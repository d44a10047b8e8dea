#pragma once
// Little-endian field readers and writers of the layer file. The reader works over the bytes in
// memory and refuses to read past them: a damaged file raises EGlobeException, never reads
// outside the buffer.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "globe/globe_units.h"

namespace korval {

class TGlobeReader {
public:
    TGlobeReader(std::string_view bytes, std::string fileName) : bytes_(bytes), fileName_(std::move(fileName)) {}

    std::size_t Remaining() const { return bytes_.size() - pos_; }
    bool AtEnd() const { return pos_ >= bytes_.size(); }
    const std::string& FileName() const { return fileName_; }
    int Version = 769;

    std::uint8_t U8() { return static_cast<std::uint8_t>(Take(1)[0]); }
    std::int8_t I8() { return static_cast<std::int8_t>(U8()); }
    std::uint16_t U16()
    {
        const char* p = Take(2);
        return static_cast<std::uint16_t>(std::uint8_t(p[0]) | std::uint8_t(p[1]) << 8);
    }
    std::int16_t I16() { return static_cast<std::int16_t>(U16()); }
    std::uint32_t U32()
    {
        const char* p = Take(4);
        return std::uint32_t(std::uint8_t(p[0])) | std::uint32_t(std::uint8_t(p[1])) << 8 |
               std::uint32_t(std::uint8_t(p[2])) << 16 | std::uint32_t(std::uint8_t(p[3])) << 24;
    }
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
    // Length byte and text.
    std::string ShortString()
    {
        std::size_t n = U8();
        const char* p = Take(n);
        return std::string(p, n);
    }
    // Refuses a count of records that cannot fit in the bytes left (each at least minBytes long).
    void CheckCount(std::uint64_t count, std::size_t minBytes) const
    {
        if (minBytes != 0 && count > Remaining() / minBytes)
            Truncated();
    }
    [[noreturn]] void Truncated() const
    {
        throw EGlobeException(GlobeFormat("LoadFromFile: Damaged File %s", fileName_.c_str()));
    }

private:
    const char* Take(std::size_t n)
    {
        if (n > Remaining())
            Truncated();
        const char* p = bytes_.data() + pos_;
        pos_ += n;
        return p;
    }
    std::string_view bytes_;
    std::size_t pos_ = 0;
    std::string fileName_;
};

class TGlobeWriter {
public:
    std::string Bytes;
    void U8(std::uint8_t v) { Bytes += static_cast<char>(v); }
    void I8(std::int8_t v) { U8(static_cast<std::uint8_t>(v)); }
    void U16(std::uint16_t v)
    {
        U8(v & 0xFF);
        U8(v >> 8);
    }
    void I16(std::int16_t v) { U16(static_cast<std::uint16_t>(v)); }
    void U32(std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            U8((v >> (8 * i)) & 0xFF);
    }
    void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
    // Texts longer than 255 bytes are cut: the field has one length byte.
    void ShortString(std::string_view s)
    {
        std::size_t n = s.size() > 255 ? 255 : s.size();
        U8(static_cast<std::uint8_t>(n));
        Bytes.append(s.data(), n);
    }
};

} // namespace korval
