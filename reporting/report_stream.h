#pragma once
// The report stream's byte layout: opcodes, version, primitive fields, and the buffered writer
// that appends fields and patches earlier ones in place. All numbers are little-endian.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "reporting/report_graphic.h"

namespace korval {

inline constexpr std::uint8_t kStreamHeaderCode = 'Z';
inline constexpr std::uint16_t kStreamVersion = 2017;
inline constexpr std::uint8_t kStreamPageCode = 'P';
// The longest String: a two-byte length holds at most 0x3FFF.
inline constexpr size_t kMaxStreamString = 16383;
// The sample text whose width follows every font height.
inline constexpr const char* kFontSample =
    "abcdefg hijklmnop qrstuv wxyz ABCDEFG HIJKLMNOP QRSTUV WXYZ 0123456789";

enum TStreamOp : std::uint8_t {
    opArc = 1, opBrushCopy = 2, opChord = 3, opCopyRect = 4, opDraw = 5, opDrawFocusRect = 6,
    opEllipse = 7, opFillRect = 8, opFloodFill = 9, opFrameRect = 10, opLineTo = 11, opMoveTo = 12,
    opPie = 13, opPolygon = 14, opPolyline = 15, opPrintBitmap = 16, opPrintBitmapRect = 17,
    opRectangle = 18, opTabRectangle = 19, opRoundRect = 20, opStretchDraw = 21, opTextRect = 22,
    opCenterText = 23, opLeftText = 24, opRightText = 25, opTextBKMode = 26, opBkColor = 27,
    opScaleX = 28, opScaleY = 29, opPrintData = 30, opPrintDataStream = 31, opTextBlockOld = 32,
    opTextBlock = 33, opBitmapMethod = 34, opDrawMode = 35, opImageRect = 36, opNamedString = 37,
    opBrush = 40, opBrushColor = 41, opBrushStyle = 42, opBrushBitmap = 43,
    opFont = 50, opFontName = 51, opFontColor = 52, opFontPitch = 53, opFontHeight = 54, opBold = 55,
    opUnderline = 56, opItalic = 57, opStrikeOut = 58, opSuperscript = 59, opSubscript = 60,
    opFontRotation = 61, opFontAlign = 62, opFontCharset = 63,
    opPen = 70, opPenColor = 71, opPenMode = 72, opPenStyle = 73, opPenWidth = 74,
    opEndPage = 82, opLineMetrics = 83, opPreviewOnly = 84, opPrinterOnly = 85, opAllOutput = 86,
    opOrientation = 87, opDeviceCommand = 88,
};

// Named-string value records: length 255 an open 128-byte slot, 254 a reference to another
// value record (4 bytes), anything below a value of that length.
inline constexpr std::uint8_t kNamedOpen = 255;
inline constexpr std::uint8_t kNamedReference = 254;
inline constexpr std::uint8_t kNamedSlotSize = 128;
inline constexpr size_t kMaxNamedValue = 253;

// Appends fields through a 16384-byte buffer; positions are absolute stream positions.
class TStreamWriter {
public:
    static constexpr size_t kBufferSize = 16384;

    // Writes to out from position 0 on.
    void Attach(std::ostream* out);
    // Writes into memory from position 0 on.
    void Attach(std::string* memory);
    void Detach();

    std::int64_t Position() const { return pos_ + std::int64_t(buffer_.size()); }
    // The furthest position ever written (a page written over may leave bytes beyond the end).
    std::int64_t HighWater() const { return std::max(high_, Position()); }

    void Byte(std::uint8_t v) { put(reinterpret_cast<const char*>(&v), 1); }
    void Word(std::uint16_t v);
    void Integer(std::int32_t v);
    void Float(double v);
    void Point(double x, double y)
    {
        Float(x);
        Float(y);
    }
    // A String field; a text longer than the encoding holds is cut (and traced).
    void String(std::string_view text);
    void Bytes(std::string_view bytes) { put(bytes.data(), bytes.size()); }
    // A Graphic field: its data, or (reference >= 0) a reference to the size field at that
    // position. Returns the position of the size field the field's data stands at.
    std::int64_t Graphic(const TReportGraphic& graphic, std::int64_t reference);

    void Flush();
    // Overwrites bytes at an earlier position; writing goes on at the end afterwards.
    void Patch(std::int64_t at, std::string_view bytes);
    void PatchWord(std::int64_t at, std::uint16_t v);
    void PatchInteger(std::int64_t at, std::int32_t v);
    // Writing goes on at an earlier position (what follows overwrites the stream from there).
    void Rewind(std::int64_t at);

    // The encoded bytes of a primitive, for patches and hand-built streams.
    static std::string WordBytes(std::uint16_t v);
    static std::string IntegerBytes(std::int32_t v);
    static std::string FloatBytes(double v);
    static std::string StringBytes(std::string_view text);

private:
    void put(const char* data, size_t size);
    // Writes bytes at a position of the target.
    void store(std::int64_t at, const char* data, size_t size);

    std::ostream* out_ = nullptr;
    std::string* memory_ = nullptr;
    std::string buffer_;
    std::int64_t pos_ = 0;
    std::int64_t high_ = 0;
};

} // namespace korval
