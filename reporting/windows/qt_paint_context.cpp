#include "reporting/windows/qt_paint_context.h"

#include <QFontDatabase>
#include <QImage>
#include <QPaintDevice>
#include <QPolygon>
#include <cmath>
#include <numbers>

#include "platform/windows/win1252.h"

namespace korval {

QColor ToQColor(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

QFont ToQFont(const TLogFont& font)
{
    QFont f(FromWin1252(font.FaceName));
    f.setPixelSize(std::max(1, std::abs(font.Height)));
    f.setWeight(font.Weight >= 700 ? QFont::Bold : QFont::Normal);
    f.setItalic(font.Italic);
    f.setUnderline(font.Underline);
    f.setStrikeOut(font.StrikeOut);
    // A text is as wide as its characters, measured and drawn alike.
    f.setKerning(false);
    if (font.PitchAndFamily == FIXED_PITCH) {
        f.setFixedPitch(true);
        f.setStyleHint(QFont::TypeWriter);
    }
    return f;
}

namespace {

Qt::PenStyle penStyle(TPenStyle style)
{
    switch (style) {
    case psDash: return Qt::DashLine;
    case psDot: return Qt::DotLine;
    case psDashDot: return Qt::DashDotLine;
    case psDashDotDot: return Qt::DashDotDotLine;
    case psClear: return Qt::NoPen;
    case psSolid:
    case psInsideFrame:
    default: return Qt::SolidLine;
    }
}

Qt::BrushStyle brushStyle(TBrushStyle style)
{
    switch (style) {
    case bsClear: return Qt::NoBrush;
    case bsHorizontal: return Qt::HorPattern;
    case bsVertical: return Qt::VerPattern;
    case bsFDiagonal: return Qt::BDiagPattern;
    case bsBDiagonal: return Qt::FDiagPattern;
    case bsCross: return Qt::CrossPattern;
    case bsDiagCross: return Qt::DiagCrossPattern;
    case bsSolid:
    default: return Qt::SolidPattern;
    }
}

// GDI rectangles leave out their right and bottom edges.
QRect shapeRect(int x1, int y1, int x2, int y2)
{
    return QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2) - 1, std::max(y1, y2) - 1));
}

} // namespace

TQtPaintContext::TQtPaintContext(QPaintDevice* device) : device_(device)
{
    SelectFont(TLogFont{});
}

TQtPaintContext::~TQtPaintContext()
{
    EndPainting();
}

bool TQtPaintContext::BeginPainting()
{
    if (painter_.isActive())
        return true;
    return painter_.begin(device_);
}

void TQtPaintContext::EndPainting()
{
    if (painter_.isActive())
        painter_.end();
}

int TQtPaintContext::GetDeviceCaps(TDeviceCap cap) const
{
    switch (cap) {
    case LOGPIXELSX: return device_->logicalDpiX();
    case LOGPIXELSY: return device_->logicalDpiY();
    case HORZRES:
    case PHYSICALWIDTH: return device_->width();
    case VERTRES:
    case PHYSICALHEIGHT: return device_->height();
    case PHYSICALOFFSETX:
    case PHYSICALOFFSETY: return 0;
    case NUMCOLORS: return device_->depth() == 1 ? 2 : -1;
    }
    return 0;
}

std::vector<std::uint8_t> TQtPaintContext::FaceCharsets(const std::string&)
{
    // Faces here are Unicode; the program's text is converted from its one 8-bit set.
    return {};
}

void TQtPaintContext::SelectFont(const TLogFont& font)
{
    if (metrics_ && font == font_)
        return;
    font_ = font;
    qfont_ = ToQFont(font);
    metrics_ = std::make_unique<QFontMetrics>(qfont_, device_);
    widths_.fill(-1);
}

TTextMetric TQtPaintContext::GetTextMetrics()
{
    TTextMetric m;
    m.Ascent = metrics_->ascent();
    m.Descent = metrics_->descent();
    m.Height = m.Ascent + m.Descent;
    m.InternalLeading = std::max(0, m.Height - std::abs(font_.Height));
    return m;
}

TPixelSize TQtPaintContext::GetTextExtent(std::string_view text)
{
    if (text.empty())
        return {};
    int width = 0;
    for (const char c : text) {
        int& w = widths_[static_cast<unsigned char>(c)];
        if (w < 0)
            w = metrics_->horizontalAdvance(FromWin1252(std::string_view(&c, 1)).at(0));
        width += w;
    }
    return {width, metrics_->height()};
}

void TQtPaintContext::drawText(int x, int y, std::string_view text, const QRect* clip, bool opaque)
{
    if (!BeginPainting())
        return;
    const QString s = FromWin1252(text);
    const int width = GetTextExtent(text).cx;
    int dx = 0;
    if ((align_ & TA_CENTER) == TA_CENTER)
        dx = -width / 2;
    else if (align_ & TA_RIGHT)
        dx = -width;
    int dy = 0;
    if ((align_ & TA_BASELINE) == TA_BASELINE)
        dy = 0;
    else if (align_ & TA_BOTTOM)
        dy = -metrics_->descent();
    else
        dy = metrics_->ascent();
    painter_.save();
    if (clip)
        painter_.setClipRect(*clip);
    painter_.translate(x, y);
    if (font_.Escapement != 0)
        painter_.rotate(-font_.Escapement / 10.0);
    painter_.setFont(qfont_);
    if (opaque)
        painter_.fillRect(QRect(dx, dy - metrics_->ascent(), width, metrics_->height()), ToQColor(bkColor_));
    painter_.setPen(ToQColor(textColor_));
    painter_.drawText(QPoint(dx, dy), s);
    painter_.restore();
}

void TQtPaintContext::TextOut(int x, int y, std::string_view text)
{
    drawText(x, y, text, nullptr, bkMode_ == OPAQUE);
}

void TQtPaintContext::ExtTextOut(int x, int y, unsigned options, const TPixelRect& clip, std::string_view text)
{
    const QRect rect(QPoint(clip.Left, clip.Top), QPoint(clip.Right - 1, clip.Bottom - 1));
    if ((options & ETO_OPAQUE) && BeginPainting())
        painter_.fillRect(rect, ToQColor(bkColor_));
    drawText(x, y, text, (options & ETO_CLIPPED) ? &rect : nullptr, false);
}

QPainter* TQtPaintContext::shapePainter(bool withBrush)
{
    if (!BeginPainting())
        return nullptr;
    QPen pen(ToQColor(pen_.Color));
    pen.setStyle(penStyle(pen_.Style));
    pen.setWidth(std::max(1, pen_.Width));
    painter_.setPen(pen);
    if (!withBrush) {
        painter_.setBrush(Qt::NoBrush);
    } else if (brush_.Bitmap && !brush_.Bitmap->Empty()) {
        QImage image;
        image.loadFromData(reinterpret_cast<const uchar*>(brush_.Bitmap->Data.data()),
                           int(brush_.Bitmap->Data.size()));
        painter_.setBrush(QBrush(image));
    } else {
        painter_.setBrush(QBrush(ToQColor(brush_.Color), brushStyle(brush_.Style)));
    }
    return &painter_;
}

void TQtPaintContext::MoveTo(int x, int y)
{
    position_ = QPoint(x, y);
}

void TQtPaintContext::LineTo(int x, int y)
{
    if (QPainter* p = shapePainter(false))
        p->drawLine(position_, QPoint(x, y));
    position_ = QPoint(x, y);
}

void TQtPaintContext::Rectangle(int x1, int y1, int x2, int y2)
{
    if (QPainter* p = shapePainter(true))
        p->drawRect(shapeRect(x1, y1, x2, y2));
}

void TQtPaintContext::Ellipse(int x1, int y1, int x2, int y2)
{
    if (QPainter* p = shapePainter(true))
        p->drawEllipse(shapeRect(x1, y1, x2, y2));
}

void TQtPaintContext::RoundRect(int x1, int y1, int x2, int y2, int w, int h)
{
    if (QPainter* p = shapePainter(true))
        p->drawRoundedRect(shapeRect(x1, y1, x2, y2), w / 2.0, h / 2.0);
}

void TQtPaintContext::arc(TArcKind kind, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    QPainter* p = shapePainter(kind != TArcKind::Arc);
    if (!p)
        return;
    const QRect r = shapeRect(x1, y1, x2, y2);
    const QPointF c = QRectF(r).center();
    auto angle = [&c](int x, int y) { return std::atan2(c.y() - y, x - c.x()) * 180 / std::numbers::pi; };
    const double start = angle(x3, y3);
    double span = angle(x4, y4) - start;
    if (span <= 0)
        span += 360;
    const int a = int(std::lround(start * 16)), s = int(std::lround(span * 16));
    switch (kind) {
    case TArcKind::Arc: p->drawArc(r, a, s); break;
    case TArcKind::Chord: p->drawChord(r, a, s); break;
    case TArcKind::Pie: p->drawPie(r, a, s); break;
    }
}

void TQtPaintContext::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    arc(TArcKind::Arc, x1, y1, x2, y2, x3, y3, x4, y4);
}

void TQtPaintContext::Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    arc(TArcKind::Chord, x1, y1, x2, y2, x3, y3, x4, y4);
}

void TQtPaintContext::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    arc(TArcKind::Pie, x1, y1, x2, y2, x3, y3, x4, y4);
}

namespace {

QPolygon toPolygon(const std::vector<TPixelPoint>& points)
{
    QPolygon polygon;
    for (const TPixelPoint& p : points)
        polygon << QPoint(p.X, p.Y);
    return polygon;
}

} // namespace

void TQtPaintContext::Polygon(const std::vector<TPixelPoint>& points)
{
    if (QPainter* p = shapePainter(true))
        p->drawPolygon(toPolygon(points));
}

void TQtPaintContext::Polyline(const std::vector<TPixelPoint>& points)
{
    if (QPainter* p = shapePainter(false))
        p->drawPolyline(toPolygon(points));
}

void TQtPaintContext::FillRect(const TPixelRect& rect)
{
    if (QPainter* p = shapePainter(true))
        p->fillRect(shapeRect(rect.Left, rect.Top, rect.Right, rect.Bottom).adjusted(0, 0, 1, 1), p->brush());
}

void TQtPaintContext::FrameRect(const TPixelRect& rect)
{
    if (!BeginPainting())
        return;
    painter_.setPen(QPen(ToQColor(brush_.Color), 1));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(shapeRect(rect.Left, rect.Top, rect.Right, rect.Bottom));
}

void TQtPaintContext::DrawFocusRect(const TPixelRect& rect)
{
    if (!BeginPainting())
        return;
    painter_.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(shapeRect(rect.Left, rect.Top, rect.Right, rect.Bottom));
}

void TQtPaintContext::FloodFill(int, int, TColor, TFillStyle)
{
    // Painting devices cannot be read back (a printer least of all); a flood fill draws nothing.
}

void TQtPaintContext::StretchGraphic(const TPixelRect& dest, const TReportGraphic& graphic)
{
    if (!BeginPainting())
        return;
    QImage image;
    if (!image.loadFromData(reinterpret_cast<const uchar*>(graphic.Data.data()), int(graphic.Data.size())))
        return;
    painter_.drawImage(QRect(QPoint(dest.Left, dest.Top), QPoint(dest.Right - 1, dest.Bottom - 1)), image);
}

void TQtPaintContext::PassThrough(std::string_view)
{
    // Raw device data has no way through the print system's page description.
}

} // namespace korval
