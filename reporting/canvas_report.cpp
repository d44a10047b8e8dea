#include "reporting/canvas_report.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "reporting/inline_codes.h"
#include "logbook/base/string_utils.h"

namespace korval {

TCanvasReport::TCanvasReport(TRPDevice& device) : TBaseReport(device) {}

TCanvasReport::~TCanvasReport()
{
    if (Printing())
        DetachFontChange();
}

bool TCanvasReport::Drawing()
{
    CheckPrinting();
    return !ShouldSkip();
}

void TCanvasReport::StartPageOutput()
{
    if (!Printing() || !device_.Printing())
        return;
    device_.NewPage(!SkipOutput());
    ReadDeviceMetrics();
}

// ---- text

void TCanvasReport::drawText(const std::string& text, unsigned align, double x)
{
    TReportCanvas& canvas = GetCanvas();
    const int oldMode = canvas.BkMode();
    canvas.SetBkMode(GetTextBKMode() == bkOpaque ? OPAQUE : TRANSPARENT);
    RealizeFont();
    const TFontRecord& font = BaseFont();
    const double textTop = CursorYInch() - AscentPart();
    const double lineBottom = lineBottomInch();
    const double lineTop = lineBottom - LineHeightInch();
    unsigned vertical;
    int y;
    if (font.Superscript) {
        vertical = TA_TOP;
        y = InchesToPixelsY((textTop + lineTop) / 2);
    } else if (font.Subscript) {
        vertical = TA_BOTTOM;
        y = InchesToPixelsY(lineBottom) + 1;
    } else if (font.Align == 1) {
        vertical = TA_TOP;
        y = InchesToPixelsY(textTop - font.InternalLeading);
    } else if (font.Align == 2) {
        vertical = TA_BOTTOM;
        y = InchesToPixelsY(lineBottom) + 1;
    } else {
        vertical = TA_BASELINE;
        y = InchesToPixelsY(CursorYInch()) + 1;
    }
    if (TDrawingContext* dc = canvas.Handle()) {
        dc->SetTextAlign(align | vertical);
        if (!text.empty())
            dc->TextOut(InchesToPixelsX(x), y, text);
    }
    canvas.SetBkMode(oldMode);
    AdvanceCursor(align, x, text);
}

void TCanvasReport::formattedLeft(const std::string& text, double x)
{
    size_t pos = 0;
    std::string piece;
    while (pos < text.size()) {
        NextPieceApply(*this, text, pos, piece);
        if (piece.empty())
            continue;
        drawText(piece, TA_LEFT, x);
        x += UnitsToInchesX(TextWidth(piece));
    }
    SetCursorXInch(x);
}

namespace {

std::string expanded(TBaseReport& report, const std::string& text)
{
    std::string out = text;
    if (HasMacroToken(out))
        report.ExpandMacros(out);
    return out;
}

bool coded(const std::string& text)
{
    return text.find(kCodeOpen) != std::string::npos;
}

} // namespace

void TCanvasReport::PrintLeftInch(const std::string& text, double x)
{
    if (!Drawing())
        return;
    const std::string t = expanded(*this, text);
    if (coded(t))
        formattedLeft(t, x);
    else
        drawText(t, TA_LEFT, x);
}

void TCanvasReport::PrintCenterInch(const std::string& text, double x)
{
    if (!Drawing())
        return;
    const std::string t = expanded(*this, text);
    if (coded(t)) {
        const double w = FormattedWidth(*this, t) * 10000.0 / (DpiX() * GetScaleX() * GetZoom());
        formattedLeft(t, x - w / 2);
    } else {
        drawText(t, TA_CENTER, x);
    }
}

void TCanvasReport::PrintRightInch(const std::string& text, double x)
{
    if (!Drawing())
        return;
    const std::string t = expanded(*this, text);
    if (coded(t)) {
        const double w = FormattedWidth(*this, t) * 10000.0 / (DpiX() * GetScaleX() * GetZoom());
        formattedLeft(t, x - w);
        SetCursorXInch(x);
    } else {
        drawText(t, TA_RIGHT, x);
    }
}

void TCanvasReport::PrintBlockInch(const std::string& text, double x, double width)
{
    if (!Drawing())
        return;
    std::string t = TrimRightShort(expanded(*this, text));
    // Words, each with the blanks before it.
    auto split = [](const std::string& s) {
        std::vector<std::string> words;
        size_t i = 0;
        while (i < s.size()) {
            const size_t start = i;
            while (i < s.size() && s[i] == ' ')
                ++i;
            while (i < s.size() && s[i] != ' ')
                ++i;
            words.push_back(s.substr(start, i - start));
        }
        return words;
    };
    std::vector<std::string> words = split(t);
    if (words.size() == 1) {
        // One word: its letters are spread over the width.
        std::string spread;
        for (char c : t) {
            if (!spread.empty() && spread.back() != ' ' && c != ' ')
                spread += ' ';
            spread += c;
        }
        t = spread;
        words = split(t);
    }
    if (words.size() < 2) {
        drawText(t, TA_LEFT, x);
        return;
    }
    const double share = (width - UnitsToInchesX(TextWidth(t))) / double(words.size() - 1);
    double pos = x;
    for (const std::string& word : words) {
        PushPos();
        drawText(word, TA_LEFT, pos);
        PopPos();
        pos += UnitsToInchesX(TextWidth(word)) + share;
    }
    SetCursorXInch(x + width);
}

void TCanvasReport::TextRect(const TPixelRect& rect, double x, double y, const std::string& text)
{
    if (!Drawing() || text.empty())
        return;
    TReportCanvas& canvas = GetCanvas();
    RealizeFont();
    TDrawingContext* dc = canvas.Handle();
    if (!dc)
        return;
    dc->SetTextAlign(TA_BASELINE | TA_LEFT);
    const unsigned options = ETO_CLIPPED | (canvas.Brush().Style != bsClear ? ETO_OPAQUE : 0u);
    dc->ExtTextOut(UnitsToPixelsX(x), UnitsToPixelsY(y), options, rect, expanded(*this, text));
}

// ---- shapes

TPixelRect TCanvasReport::penRect(double x1, double y1, double x2, double y2)
{
    if (x1 > x2)
        std::swap(x1, x2);
    if (y1 > y2)
        std::swap(y1, y2);
    const TPenData& pen = GetCanvas().Pen();
    const int w = pen.Width;
    int a, b;
    if (pen.Style == psClear) {
        a = b = 0;
    } else if (pen.Style == psInsideFrame || DrawMode() == 1) {
        a = 0;
        b = 1;
    } else if (DrawMode() == 0) {
        a = w / 2;
        b = w - a;
    } else {
        a = -(w / 2);
        b = a - w;
    }
    return {UnitsToPixelsX(x1) + a, UnitsToPixelsY(y1) + a, UnitsToPixelsX(x2) - b + 2,
            UnitsToPixelsY(y2) - b + 2};
}

void TCanvasReport::Rectangle(double x1, double y1, double x2, double y2)
{
    if (!Drawing())
        return;
    const TPixelRect r = penRect(x1, y1, x2, y2);
    GetCanvas().Rectangle(r.Left, r.Top, r.Right, r.Bottom);
}

void TCanvasReport::Ellipse(double x1, double y1, double x2, double y2)
{
    if (!Drawing())
        return;
    const TPixelRect r = penRect(x1, y1, x2, y2);
    GetCanvas().Ellipse(r.Left, r.Top, r.Right, r.Bottom);
}

void TCanvasReport::TabRectangle(double x1, double y1, double x2, double y2)
{
    if (Drawing())
        GetCanvas().Rectangle(UnitsToPixelsX(x1), UnitsToPixelsY(y1), UnitsToPixelsX(x2), UnitsToPixelsY(y2));
}

void TCanvasReport::RoundRect(double x1, double y1, double x2, double y2, double x3, double y3)
{
    if (!Drawing())
        return;
    const int w = int(std::lround(UnitsToInchesX(x3) * GetScaleX() * GetZoom() / 10000 * DpiX()));
    const int h = int(std::lround(UnitsToInchesY(y3) * GetScaleY() * GetZoom() / 10000 * DpiY()));
    GetCanvas().RoundRect(UnitsToPixelsX(x1), UnitsToPixelsY(y1), UnitsToPixelsX(x2), UnitsToPixelsY(y2), w, h);
}

void TCanvasReport::Arc(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4)
{
    if (Drawing())
        GetCanvas().Arc(UnitsToPixelsX(x1), UnitsToPixelsY(y1), UnitsToPixelsX(x2), UnitsToPixelsY(y2),
                        UnitsToPixelsX(x3), UnitsToPixelsY(y3), UnitsToPixelsX(x4), UnitsToPixelsY(y4));
}

void TCanvasReport::Chord(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4)
{
    if (Drawing())
        GetCanvas().Chord(UnitsToPixelsX(x1), UnitsToPixelsY(y1), UnitsToPixelsX(x2), UnitsToPixelsY(y2),
                          UnitsToPixelsX(x3), UnitsToPixelsY(y3), UnitsToPixelsX(x4), UnitsToPixelsY(y4));
}

void TCanvasReport::Pie(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4)
{
    if (Drawing())
        GetCanvas().Pie(UnitsToPixelsX(x1), UnitsToPixelsY(y1), UnitsToPixelsX(x2), UnitsToPixelsY(y2),
                        UnitsToPixelsX(x3), UnitsToPixelsY(y3), UnitsToPixelsX(x4), UnitsToPixelsY(y4));
}

void TCanvasReport::MoveTo(double x, double y)
{
    if (!Drawing())
        return;
    LineBuffer().MoveTo(UnitsToInchesX(x) + OriginXInch(), UnitsToInchesY(y) + OriginYInch());
    GetCanvas().MoveTo(UnitsToPixelsX(x), UnitsToPixelsY(y));
}

void TCanvasReport::LineTo(double x, double y)
{
    if (!Drawing())
        return;
    const double fromX = LineBuffer().PenX(), fromY = LineBuffer().PenY();
    const bool buffered = LineBuffer().Enabled();
    if (LineBuffer().LineTo(UnitsToInchesX(x) + OriginXInch(), UnitsToInchesY(y) + OriginYInch(),
                            GetCanvas().Pen()))
        return;
    if (buffered)
        GetCanvas().MoveTo(InchesToPixelsX(fromX - OriginXInch()), InchesToPixelsY(fromY - OriginYInch()));
    GetCanvas().LineTo(UnitsToPixelsX(x), UnitsToPixelsY(y));
}

void TCanvasReport::FloodFill(double x, double y, TColor color, TFillStyle style)
{
    if (Drawing())
        GetCanvas().FloodFill(UnitsToPixelsX(x), UnitsToPixelsY(y), color, style);
}

void TCanvasReport::Polygon(const std::vector<TPixelPoint>& points)
{
    if (Drawing())
        GetCanvas().Polygon(points);
}

void TCanvasReport::Polyline(const std::vector<TPixelPoint>& points)
{
    if (Drawing())
        GetCanvas().Polyline(points);
}

void TCanvasReport::FillRect(const TPixelRect& rect)
{
    if (Drawing())
        GetCanvas().FillRect(rect);
}

void TCanvasReport::FrameRect(const TPixelRect& rect)
{
    if (Drawing())
        GetCanvas().FrameRect(rect);
}

void TCanvasReport::DrawFocusRect(const TPixelRect& rect)
{
    if (Drawing())
        GetCanvas().DrawFocusRect(rect);
}

// ---- pictures

void TCanvasReport::Draw(double x, double y, const TReportGraphic& graphic)
{
    if (!Drawing())
        return;
    const int left = UnitsToPixelsX(x), top = UnitsToPixelsY(y);
    GetCanvas().StretchDraw({left, top, left + graphic.Width, top + graphic.Height}, graphic);
}

void TCanvasReport::StretchDraw(const TPixelRect& rect, const TReportGraphic& graphic)
{
    if (Drawing())
        GetCanvas().StretchDraw(rect, graphic);
}

void TCanvasReport::BrushCopy(const TPixelRect& dest, const TReportGraphic& bitmap, const TPixelRect&, TColor)
{
    if (Drawing())
        GetCanvas().StretchDraw(dest, bitmap);
}

void TCanvasReport::CopyRect(const TPixelRect&, TReportCanvas&, const TPixelRect&)
{
    // Copying pixels back from another canvas has no counterpart on a printer's page
    // description; the operation draws nothing.
    Drawing();
}

void TCanvasReport::PrintBitmap(double x, double y, double scaleX, double scaleY, const TReportGraphic& bitmap)
{
    if (!Drawing())
        return;
    const int left = UnitsToPixelsX(x), top = UnitsToPixelsY(y);
    GetCanvas().StretchDraw({left, top, left + int(std::lround(bitmap.Width * scaleX)),
                             top + int(std::lround(bitmap.Height * scaleY))},
                            bitmap);
}

void TCanvasReport::PrintBitmapRect(double x1, double y1, double x2, double y2, const TReportGraphic& bitmap)
{
    if (Drawing())
        GetCanvas().StretchDraw({UnitsToPixelsX(x1), UnitsToPixelsY(y1), UnitsToPixelsX(x2), UnitsToPixelsY(y2)},
                                bitmap);
}

void TCanvasReport::PrintImageRect(double x1, double y1, double x2, double y2, std::istream& imageStream,
                                   const std::string& imageType)
{
    if (!Drawing() || !OnDecodeImage)
        return;
    TReportGraphic bitmap;
    OnDecodeImage(*this, imageStream, imageType, bitmap);
    if (!bitmap.Empty())
        PrintBitmapRect(x1, y1, x2, y2, bitmap);
}

// ---- raw data

void TCanvasReport::passThrough()
{
    if (passThroughTraced_)
        return;
    passThroughTraced_ = true;
    ReportTrace("raw printer data was not sent: the print system takes pages, not printer commands");
}

void TCanvasReport::PrintData(const std::string&)
{
    if (Drawing())
        passThrough();
}

void TCanvasReport::PrintDataStream(std::istream& stream, std::int64_t count)
{
    if (!Drawing())
        return;
    // The data is consumed as if it had been sent.
    if (count > 0)
        stream.ignore(std::streamsize(count));
    else
        stream.ignore(std::numeric_limits<std::streamsize>::max());
    passThrough();
}

} // namespace korval
