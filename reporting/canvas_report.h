#pragma once
// TCanvasReport: the report surface that draws its output operations on a canvas: text with
// its alignment and inline font codes, shapes, pictures and raw device data. The printer
// surface draws on the printer device's canvas; the stream player and the preview draw on
// their own.
#include <string>

#include "reporting/base_report.h"

namespace korval {

class TCanvasReport : public TBaseReport {
public:
    explicit TCanvasReport(TRPDevice& device = ReportDevice());
    ~TCanvasReport() override;

    void PrintCenterInch(const std::string& text, double x) override;
    void PrintLeftInch(const std::string& text, double x) override;
    void PrintRightInch(const std::string& text, double x) override;
    void PrintBlockInch(const std::string& text, double x, double width) override;
    void TabRectangle(double x1, double y1, double x2, double y2) override;
    void Arc(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4) override;
    void BrushCopy(const TPixelRect& dest, const TReportGraphic& bitmap, const TPixelRect& source,
                   TColor color) override;
    void Chord(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4) override;
    void CopyRect(const TPixelRect& dest, TReportCanvas& canvas, const TPixelRect& source) override;
    void Draw(double x, double y, const TReportGraphic& graphic) override;
    void DrawFocusRect(const TPixelRect& rect) override;
    void Ellipse(double x1, double y1, double x2, double y2) override;
    void FillRect(const TPixelRect& rect) override;
    void FloodFill(double x, double y, TColor color, TFillStyle style) override;
    void FrameRect(const TPixelRect& rect) override;
    void LineTo(double x, double y) override;
    void MoveTo(double x, double y) override;
    void Pie(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4) override;
    void Polygon(const std::vector<TPixelPoint>& points) override;
    void Polyline(const std::vector<TPixelPoint>& points) override;
    void PrintBitmap(double x, double y, double scaleX, double scaleY, const TReportGraphic& bitmap) override;
    void PrintBitmapRect(double x1, double y1, double x2, double y2, const TReportGraphic& bitmap) override;
    void PrintImageRect(double x1, double y1, double x2, double y2, std::istream& imageStream,
                        const std::string& imageType) override;
    void Rectangle(double x1, double y1, double x2, double y2) override;
    void RoundRect(double x1, double y1, double x2, double y2, double x3, double y3) override;
    void StretchDraw(const TPixelRect& rect, const TReportGraphic& graphic) override;
    void TextRect(const TPixelRect& rect, double x, double y, const std::string& text) override;
    void PrintData(const std::string& text) override;
    void PrintDataStream(std::istream& stream, std::int64_t count) override;

protected:
    // Requires a print job; false when the output of this page or destination is skipped.
    bool Drawing();
    // A page of the device begins (after the surface's page change): the device starts one
    // unless the page is skipped, and its metrics are read again.
    void StartPageOutput() override;

private:
    void drawText(const std::string& text, unsigned align, double x);
    void formattedLeft(const std::string& text, double x);
    // The pixel corners of a shape whose pen lies as the pen style and drawing mode say.
    TPixelRect penRect(double x1, double y1, double x2, double y2);
    // Raw device data goes nowhere here; said once in the trace.
    void passThrough();
    bool passThroughTraced_ = false;
};

} // namespace korval
