#pragma once
// TReportCanvas: the drawing object a report surface paints through. It keeps the font, pen and
// brush the caller set (each with a change notification that surfaces chain into) and draws in
// device pixels on a device context: a fixed one, or, for the printer's canvas, whichever
// context the printer device has open.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "reporting/drawing_context.h"

namespace korval {

struct TCanvasFont {
    std::string Name = "Arial";
    TColor Color = clBlack;
    int Height = 0;  // pixels (the sign is not significant)
    std::uint8_t Pitch = 0;  // 0 default, 1 variable, 2 fixed
    std::uint8_t CharSet = DEFAULT_CHARSET;
    bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
    bool operator==(const TCanvasFont&) const = default;
};

class TReportCanvas {
public:
    explicit TReportCanvas(TDrawingContext* context = nullptr) : context_(context) {}
    virtual ~TReportCanvas() = default;
    TReportCanvas(const TReportCanvas&) = delete;
    TReportCanvas& operator=(const TReportCanvas&) = delete;

    // The context drawn on; nullptr when there is none.
    virtual TDrawingContext* Handle() { return context_; }
    void SetHandle(TDrawingContext* context) { context_ = context; }

    const TCanvasFont& Font() const { return font_; }
    void SetFont(const TCanvasFont& font);
    const TPenData& Pen() const { return pen_; }
    void SetPen(const TPenData& pen);
    const TBrushData& Brush() const { return brush_; }
    void SetBrush(const TBrushData& brush);
    // Called after every change of the font, pen or brush.
    std::function<void()> OnFontChange, OnPenChange, OnBrushChange;

    TColor BkColor() const { return bkColor_; }
    void SetBkColor(TColor color);
    int BkMode() const { return bkMode_; }
    void SetBkMode(int mode);

    // Shapes with the canvas's pen and brush, in device pixels.
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Ellipse(int x1, int y1, int x2, int y2);
    void RoundRect(int x1, int y1, int x2, int y2, int w, int h);
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Polygon(const std::vector<TPixelPoint>& points);
    void Polyline(const std::vector<TPixelPoint>& points);
    void FillRect(const TPixelRect& rect);
    void FrameRect(const TPixelRect& rect);
    void DrawFocusRect(const TPixelRect& rect);
    void FloodFill(int x, int y, TColor color, TFillStyle style);
    void StretchDraw(const TPixelRect& dest, const TReportGraphic& graphic);

private:
    TDrawingContext& withPenAndBrush();

    TDrawingContext* context_;
    TCanvasFont font_;
    TPenData pen_;
    TBrushData brush_;
    TColor bkColor_ = clWhite;
    int bkMode_ = OPAQUE;
};

} // namespace korval
