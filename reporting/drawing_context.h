#pragma once
// What the engine needs of a device context: its capabilities, fonts and their metrics, text
// and shape output in device pixels, and the calls of a print job. The printer system realises
// it on the platform's printing (and the tests on a recorder); the engine never sees the platform.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "reporting/report_basics.h"
#include "reporting/report_graphic.h"

namespace korval {

// The printer settings a job runs with (orientation, paper, copies, bin, duplex, collation).
struct TDevMode {
    std::uint32_t dmFields = 0;
    std::int16_t dmOrientation = 1;  // 1 portrait, 2 landscape
    std::int16_t dmPaperSize = 1;    // paper code; 256 = user-defined
    std::int16_t dmPaperLength = 0;  // tenths of a millimetre
    std::int16_t dmPaperWidth = 0;
    std::int16_t dmCopies = 1;
    std::int16_t dmDefaultSource = 0;
    std::int16_t dmDuplex = 1;  // 1 simplex, 2 vertical, 3 horizontal
    std::int16_t dmCollate = 0;

    bool operator==(const TDevMode&) const = default;
};
inline constexpr std::uint32_t DM_ORIENTATION = 0x00000001;
inline constexpr std::uint32_t DM_PAPERSIZE = 0x00000002;
inline constexpr std::uint32_t DM_PAPERLENGTH = 0x00000004;
inline constexpr std::uint32_t DM_PAPERWIDTH = 0x00000008;
inline constexpr std::uint32_t DM_COPIES = 0x00000100;
inline constexpr std::uint32_t DM_DEFAULTSOURCE = 0x00000200;
inline constexpr std::uint32_t DM_DUPLEX = 0x00001000;
inline constexpr std::uint32_t DM_COLLATE = 0x00008000;
inline constexpr int DMPAPER_USER = 256;

enum TDeviceCap {
    LOGPIXELSX, LOGPIXELSY, HORZRES, VERTRES, PHYSICALWIDTH, PHYSICALHEIGHT,
    PHYSICALOFFSETX, PHYSICALOFFSETY, NUMCOLORS
};

inline constexpr std::uint8_t DEFAULT_CHARSET = 1;
inline constexpr std::uint8_t FIXED_PITCH = 1;
inline constexpr std::uint8_t VARIABLE_PITCH = 2;

struct TLogFont {
    int Height = 0;  // negative: character height in pixels
    int Width = 0;   // 0: natural
    int Escapement = 0;  // tenths of a degree, counter-clockwise
    int Orientation = 0;
    int Weight = 400;
    bool Italic = false, Underline = false, StrikeOut = false;
    std::uint8_t CharSet = DEFAULT_CHARSET;
    std::uint8_t PitchAndFamily = 0;
    std::string FaceName;

    bool operator==(const TLogFont&) const = default;
};

struct TTextMetric {
    int Height = 0, Ascent = 0, Descent = 0, InternalLeading = 0;
};

struct TPixelPoint {
    int X = 0, Y = 0;
    bool operator==(const TPixelPoint&) const = default;
};
struct TPixelRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TPixelRect&) const = default;
};
struct TPixelSize {
    int cx = 0, cy = 0;
};

enum TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode : std::uint8_t {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
enum TBrushStyle : std::uint8_t {
    bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross
};
enum TFillStyle : std::uint8_t { fsSurface, fsBorder };

struct TPenData {
    TColor Color = clBlack;
    TPenStyle Style = psSolid;
    int Width = 1;  // pixels
    TPenMode Mode = pmCopy;
    bool operator==(const TPenData&) const = default;
};
struct TBrushData {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
    std::shared_ptr<const TReportGraphic> Bitmap;
    bool operator==(const TBrushData&) const = default;
};

// Text alignment flags.
inline constexpr unsigned TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6;
inline constexpr unsigned TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24;
inline constexpr unsigned ETO_OPAQUE = 2, ETO_CLIPPED = 4;
inline constexpr int TRANSPARENT = 1, OPAQUE = 2;

// How a print job's start ended.
enum class TStartDoc { Started, Failed, Cancelled };

class TDrawingContext {
public:
    virtual ~TDrawingContext() = default;

    virtual int GetDeviceCaps(TDeviceCap cap) const = 0;
    // The character sets the installed families of a face offer.
    virtual std::vector<std::uint8_t> FaceCharsets(const std::string& face) = 0;

    // Text: the selected font is used for measuring and output.
    virtual void SelectFont(const TLogFont& font) = 0;
    virtual TTextMetric GetTextMetrics() = 0;
    virtual TPixelSize GetTextExtent(std::string_view text) = 0;
    virtual void SetTextColor(TColor color) = 0;
    virtual void SetBkMode(int mode) = 0;  // TRANSPARENT or OPAQUE
    virtual void SetBkColor(TColor color) = 0;
    virtual void SetTextAlign(unsigned align) = 0;
    virtual void TextOut(int x, int y, std::string_view text) = 0;
    virtual void ExtTextOut(int x, int y, unsigned options, const TPixelRect& clip, std::string_view text) = 0;

    // Shapes, with the pen and brush selected last.
    virtual void SelectPen(const TPenData& pen) = 0;
    virtual void SelectBrush(const TBrushData& brush) = 0;
    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;
    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
    virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
    virtual void RoundRect(int x1, int y1, int x2, int y2, int w, int h) = 0;
    virtual void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) = 0;
    virtual void Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) = 0;
    virtual void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) = 0;
    virtual void Polygon(const std::vector<TPixelPoint>& points) = 0;
    virtual void Polyline(const std::vector<TPixelPoint>& points) = 0;
    virtual void FillRect(const TPixelRect& rect) = 0;
    virtual void FrameRect(const TPixelRect& rect) = 0;
    virtual void DrawFocusRect(const TPixelRect& rect) = 0;
    virtual void FloodFill(int x, int y, TColor color, TFillStyle style) = 0;
    // The graphic scaled into the rectangle.
    virtual void StretchGraphic(const TPixelRect& dest, const TReportGraphic& graphic) = 0;
    // Raw bytes for the device (a pass-through escape).
    virtual void PassThrough(std::string_view bytes) = 0;

    // The print job. The abort procedure is asked between pages whether to go on.
    virtual TStartDoc StartDoc(const std::string& title, const std::string& outputFile,
                               std::function<bool()> abortProc) = 0;
    virtual bool StartPage() = 0;
    virtual void EndPage() = 0;
    virtual void EndDoc() = 0;
    virtual void AbortDoc() = 0;
    // New printer settings for the pages that follow.
    virtual void ResetDC(const TDevMode& devMode) = 0;
};

} // namespace korval
