#include "reporting/report_canvas.h"

namespace korval {

void TReportCanvas::SetFont(const TCanvasFont& font)
{
    font_ = font;
    if (OnFontChange)
        OnFontChange();
}

void TReportCanvas::SetPen(const TPenData& pen)
{
    pen_ = pen;
    if (OnPenChange)
        OnPenChange();
}

void TReportCanvas::SetBrush(const TBrushData& brush)
{
    brush_ = brush;
    if (OnBrushChange)
        OnBrushChange();
}

void TReportCanvas::SetBkColor(TColor color)
{
    bkColor_ = color;
    if (TDrawingContext* dc = Handle())
        dc->SetBkColor(color);
}

void TReportCanvas::SetBkMode(int mode)
{
    bkMode_ = mode;
    if (TDrawingContext* dc = Handle())
        dc->SetBkMode(mode);
}

TDrawingContext& TReportCanvas::withPenAndBrush()
{
    TDrawingContext* dc = Handle();
    if (!dc)
        RaiseReportText("Error!  Canvas not yet active.");
    dc->SelectPen(pen_);
    dc->SelectBrush(brush_);
    return *dc;
}

void TReportCanvas::MoveTo(int x, int y) { withPenAndBrush().MoveTo(x, y); }
void TReportCanvas::LineTo(int x, int y) { withPenAndBrush().LineTo(x, y); }
void TReportCanvas::Rectangle(int x1, int y1, int x2, int y2) { withPenAndBrush().Rectangle(x1, y1, x2, y2); }
void TReportCanvas::Ellipse(int x1, int y1, int x2, int y2) { withPenAndBrush().Ellipse(x1, y1, x2, y2); }
void TReportCanvas::RoundRect(int x1, int y1, int x2, int y2, int w, int h)
{
    withPenAndBrush().RoundRect(x1, y1, x2, y2, w, h);
}
void TReportCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    withPenAndBrush().Arc(x1, y1, x2, y2, x3, y3, x4, y4);
}
void TReportCanvas::Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    withPenAndBrush().Chord(x1, y1, x2, y2, x3, y3, x4, y4);
}
void TReportCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    withPenAndBrush().Pie(x1, y1, x2, y2, x3, y3, x4, y4);
}
void TReportCanvas::Polygon(const std::vector<TPixelPoint>& points) { withPenAndBrush().Polygon(points); }
void TReportCanvas::Polyline(const std::vector<TPixelPoint>& points) { withPenAndBrush().Polyline(points); }
void TReportCanvas::FillRect(const TPixelRect& rect) { withPenAndBrush().FillRect(rect); }
void TReportCanvas::FrameRect(const TPixelRect& rect) { withPenAndBrush().FrameRect(rect); }
void TReportCanvas::DrawFocusRect(const TPixelRect& rect) { withPenAndBrush().DrawFocusRect(rect); }
void TReportCanvas::FloodFill(int x, int y, TColor color, TFillStyle style)
{
    withPenAndBrush().FloodFill(x, y, color, style);
}
void TReportCanvas::StretchDraw(const TPixelRect& dest, const TReportGraphic& graphic)
{
    withPenAndBrush().StretchGraphic(dest, graphic);
}

} // namespace korval
