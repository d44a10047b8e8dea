#pragma once
// The raster surface the globe engine draws on: the window layer realises it over a QPainter on
// an off-screen image (or a printer). Colours are COLORREF values: 0x00BBGGRR.
#include <cstdint>
#include <string>

#include "globe/prj_model.h"

#include "globe/globe_picture.h"

namespace korval {

// Pen styles (solid, dash, dot, dash-dot, dash-dot-dot, none, inside frame).
enum : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// Brush styles: 0 solid, 1 hollow, any other value hatched with index (style & 127) - 2.
enum : std::uint8_t { bsSolid, bsClear };

struct TPenSpec {
    std::uint32_t color = 0;
    std::uint8_t style = psSolid;
    std::uint8_t width = 1;
};
struct TBrushSpec {
    std::uint32_t color = 0xFFFFFF;
    std::uint8_t style = bsSolid;
};
// Font style bits.
enum : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
struct TFontSpec {
    std::string name = "Arial";
    std::uint32_t color = 0;
    int pixelHeight = 9;
    int angle = 0; // tenths of a degree, counter-clockwise
    std::uint8_t style = 0;
};

// Text alignment flags of Windows: TA_LEFT 0, TA_RIGHT 2, TA_CENTER 6, TA_TOP 0, TA_BOTTOM 8,
// TA_BASELINE 24.
enum : int { taLeftFlag = 0, taRightFlag = 2, taCenterFlag = 6, taTopFlag = 0, taBottomFlag = 8, taBaselineFlag = 24 };

class TGlobeSurface {
public:
    virtual ~TGlobeSurface() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetPen(const TPenSpec& pen) = 0;
    virtual void SetBrush(const TBrushSpec& brush) = 0;
    virtual void SetFont(const TFontSpec& font) = 0;
    virtual void Polyline(const TScreenPoint* points, int count) = 0;
    virtual void Polygon(const TScreenPoint* points, int count) = 0;
    virtual void Ellipse(int left, int top, int right, int bottom) = 0;
    virtual void Rectangle(int left, int top, int right, int bottom) = 0;
    virtual void Line(int x1, int y1, int x2, int y2) = 0;
    virtual void SetPixel(int x, int y, std::uint32_t color) = 0;
    virtual std::uint32_t GetPixel(int x, int y) const = 0;
    virtual void Fill(std::uint32_t color) = 0;
    // Text with the current font; align is a combination of the TA_ flags above.
    virtual void Text(int x, int y, const std::string& text, int align) = 0;
    virtual void TextExtent(const std::string& text, int& width, int& height) = 0;
    // The picture stretched into the rectangle (right and bottom exclusive); nothing by default.
    virtual void StretchPicture(const TGlobePicture& /*picture*/, int /*left*/, int /*top*/, int /*right*/,
                                int /*bottom*/) {}
    // Shows what was drawn so far (progressive display); nothing by default.
    virtual void Flush() {}
};

} // namespace korval
