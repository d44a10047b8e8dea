#pragma once
// A device context over a Qt paint device: fonts and their metrics, text and shapes through a
// QPainter, in the device's pixels. The printer's context and the screen's measuring context
// build on it; so can any page image.
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <array>
#include <memory>

#include "reporting/drawing_context.h"

class QPaintDevice;

namespace korval {

QColor ToQColor(TColor color);
QFont ToQFont(const TLogFont& font);

class TQtPaintContext : public TDrawingContext {
public:
    // The device must outlive the context; painting begins with BeginPainting.
    explicit TQtPaintContext(QPaintDevice* device);
    ~TQtPaintContext() override;

    int GetDeviceCaps(TDeviceCap cap) const override;
    std::vector<std::uint8_t> FaceCharsets(const std::string& face) override;
    void SelectFont(const TLogFont& font) override;
    TTextMetric GetTextMetrics() override;
    TPixelSize GetTextExtent(std::string_view text) override;
    void SetTextColor(TColor color) override { textColor_ = color; }
    void SetBkMode(int mode) override { bkMode_ = mode; }
    void SetBkColor(TColor color) override { bkColor_ = color; }
    void SetTextAlign(unsigned align) override { align_ = align; }
    void TextOut(int x, int y, std::string_view text) override;
    void ExtTextOut(int x, int y, unsigned options, const TPixelRect& clip, std::string_view text) override;
    void SelectPen(const TPenData& pen) override { pen_ = pen; }
    void SelectBrush(const TBrushData& brush) override { brush_ = brush; }
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void RoundRect(int x1, int y1, int x2, int y2, int w, int h) override;
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void Polygon(const std::vector<TPixelPoint>& points) override;
    void Polyline(const std::vector<TPixelPoint>& points) override;
    void FillRect(const TPixelRect& rect) override;
    void FrameRect(const TPixelRect& rect) override;
    void DrawFocusRect(const TPixelRect& rect) override;
    void FloodFill(int x, int y, TColor color, TFillStyle style) override;
    void StretchGraphic(const TPixelRect& dest, const TReportGraphic& graphic) override;
    void PassThrough(std::string_view bytes) override;

    // A page image or a widget has no print job.
    TStartDoc StartDoc(const std::string&, const std::string&, std::function<bool()>) override
    {
        return TStartDoc::Started;
    }
    bool StartPage() override { return true; }
    void EndPage() override {}
    void EndDoc() override {}
    void AbortDoc() override {}
    void ResetDC(const TDevMode&) override {}

protected:
    // Starts painting on the device; false when it cannot be painted on.
    bool BeginPainting();
    void EndPainting();
    QPainter& Painter() { return painter_; }
    QPaintDevice* Device() const { return device_; }

private:
    // The painter with the selected pen and brush, or nullptr while nothing is painted.
    QPainter* shapePainter(bool withBrush);
    void drawText(int x, int y, std::string_view text, const QRect* clip, bool opaque);
    enum class TArcKind { Arc, Chord, Pie };
    void arc(TArcKind kind, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);

    QPaintDevice* device_;
    QPainter painter_;
    TLogFont font_;
    QFont qfont_;
    std::unique_ptr<QFontMetrics> metrics_;
    // The width of every character of the 8-bit set in the selected font, -1 until measured.
    std::array<int, 256> widths_;
    TPenData pen_;
    TBrushData brush_;
    TColor textColor_ = clBlack;
    TColor bkColor_ = clWhite;
    int bkMode_ = OPAQUE;
    unsigned align_ = TA_LEFT | TA_TOP;
    QPoint position_;
};

} // namespace korval
