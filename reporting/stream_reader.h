#pragma once
// Reads the fields of a report stream held in memory. Every read checks that its bytes are
// there and that a number is one a sound stream can hold; anything else is the stream's
// damage, refused with "Unexpected code found in report file." and never read past.
#include <cstdint>
#include <string>
#include <string_view>

#include "reporting/report_graphic.h"

namespace korval {

inline constexpr const char* kUnexpectedCode = "Unexpected code found in report file.";
inline constexpr const char* kUnexpectedHeader = "Unexpected header code found in report file.";

class TStreamReader {
public:
    // Lengths in inches beyond this are damage (and would overflow the pixel arithmetic).
    static constexpr double kLargestFloat = 100000.0;

    explicit TStreamReader(std::string_view bytes = {}) : bytes_(bytes) {}

    std::int64_t Position() const { return std::int64_t(pos_); }
    std::int64_t Size() const { return std::int64_t(bytes_.size()); }
    std::int64_t Left() const { return std::int64_t(bytes_.size() - pos_); }
    // Moves to a position inside the stream (its end included).
    void Seek(std::int64_t at);
    // String lengths of two bytes (from version 2016).
    void SetVersion(int version) { version_ = version; }
    int Version() const { return version_; }

    std::uint8_t Byte();
    // A byte that codes one of the values 0..last (a style or mode); above it is damage.
    std::uint8_t ByteUpTo(std::uint8_t last);
    std::uint16_t Word();
    std::int16_t Smallint() { return std::int16_t(Word()); }
    std::int32_t Integer();
    // A single widened to double; not finite or beyond kLargestFloat is damage.
    double Float();
    std::string String();
    // count bytes; a count below 0 or past the end is damage.
    std::string_view Bytes(std::int64_t count);
    // A Graphic field: its data where it stands, or where an earlier reference points.
    TReportGraphic Graphic();
    // Reads a byte and refuses the stream when it is not the expected one.
    void Expect(std::uint8_t code);

    [[noreturn]] static void Damaged();

private:
    void need(std::int64_t count) const;

    std::string_view bytes_;
    size_t pos_ = 0;
    int version_ = 2017;
};

} // namespace korval
