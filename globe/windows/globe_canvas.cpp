#include "globe/windows/globe_canvas.h"

#include <QPolygon>
#include <vector>

#include "platform/windows/win1252.h"

namespace korval {

QColor ColorRefToQColor(std::uint32_t c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }
std::uint32_t QColorToColorRef(QColor c)
{
    return std::uint32_t(c.red()) | std::uint32_t(c.green()) << 8 | std::uint32_t(c.blue()) << 16;
}

std::shared_ptr<TGlobePicture> GlobePictureFromImage(const QImage& image)
{
    if (image.isNull())
        return nullptr;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    auto picture = std::make_shared<TGlobePicture>();
    picture->Width = argb.width();
    picture->Height = argb.height();
    picture->Pixels.resize(std::size_t(picture->Width) * picture->Height);
    for (int y = 0; y < picture->Height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(argb.constScanLine(y));
        std::copy(row, row + picture->Width, picture->Pixels.begin() + std::ptrdiff_t(y) * picture->Width);
    }
    return picture;
}

void InstallGlobePictureLoader()
{
    SetGlobePictureLoader([](const std::string& fileName) {
        return GlobePictureFromImage(QImage(QString::fromLocal8Bit(fileName.c_str())));
    });
}

TGlobeCanvas::TGlobeCanvas() { SetSize(150, 150); }
TGlobeCanvas::~TGlobeCanvas() { End(); }

void TGlobeCanvas::SetSize(int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    End();
    width_ = width;
    height_ = height;
    image_ = QImage(width, height, QImage::Format_RGB32);
    image_.fill(Qt::black);
}

void TGlobeCanvas::Begin()
{
    End();
    own_ = std::make_unique<QPainter>(&image_);
    painter_ = own_.get();
    onImage_ = true;
    width_ = image_.width();
    height_ = image_.height();
}

void TGlobeCanvas::BeginOn(QPainter* painter, int width, int height)
{
    End();
    painter_ = painter;
    onImage_ = false;
    width_ = width;
    height_ = height;
}

void TGlobeCanvas::End()
{
    if (own_)
        own_->end();
    own_.reset();
    painter_ = nullptr;
    if (!image_.isNull()) {
        width_ = image_.width();
        height_ = image_.height();
    }
}

void TGlobeCanvas::SetPen(const TPenSpec& pen)
{
    if (!painter_)
        return;
    if (pen.style == psClear) {
        painter_->setPen(Qt::NoPen);
        return;
    }
    static constexpr Qt::PenStyle kStyles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
                                               Qt::DashDotDotLine, Qt::NoPen, Qt::SolidLine};
    QPen p(ColorRefToQColor(pen.color));
    p.setWidth(pen.width <= 1 ? 0 : pen.width);
    p.setStyle(pen.style < 7 ? kStyles[pen.style] : Qt::SolidLine);
    painter_->setPen(p);
}

void TGlobeCanvas::SetBrush(const TBrushSpec& brush)
{
    if (!painter_)
        return;
    if (brush.style == bsClear) {
        painter_->setBrush(Qt::NoBrush);
        return;
    }
    static constexpr Qt::BrushStyle kHatches[] = {Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern,
                                                  Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
    Qt::BrushStyle style = Qt::SolidPattern;
    if (brush.style != bsSolid) {
        int hatch = (brush.style & 127) - 2;
        style = hatch >= 0 && hatch < 6 ? kHatches[hatch] : Qt::SolidPattern;
    }
    painter_->setBrush(QBrush(ColorRefToQColor(brush.color), style));
}

void TGlobeCanvas::SetFont(const TFontSpec& font)
{
    if (!painter_)
        return;
    QFont f(QString::fromStdString(font.name));
    f.setPixelSize(std::max(1, font.pixelHeight));
    f.setBold(font.style & fsBold);
    f.setItalic(font.style & fsItalic);
    f.setUnderline(font.style & fsUnderline);
    f.setStrikeOut(font.style & fsStrikeOut);
    painter_->setFont(f);
    textColor_ = font.color;
    fontAngle_ = font.angle;
}

namespace {
QPolygon ToPolygon(const TScreenPoint* points, int count)
{
    QPolygon poly(count);
    for (int i = 0; i < count; ++i)
        poly[i] = QPoint(points[i].x, points[i].y);
    return poly;
}
} // namespace

void TGlobeCanvas::Polyline(const TScreenPoint* points, int count)
{
    if (painter_ && count >= 2)
        painter_->drawPolyline(ToPolygon(points, count));
}

void TGlobeCanvas::Polygon(const TScreenPoint* points, int count)
{
    if (painter_ && count >= 2)
        painter_->drawPolygon(ToPolygon(points, count), Qt::OddEvenFill);
}

void TGlobeCanvas::Ellipse(int left, int top, int right, int bottom)
{
    if (painter_)
        painter_->drawEllipse(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
}

void TGlobeCanvas::Rectangle(int left, int top, int right, int bottom)
{
    if (painter_)
        painter_->drawRect(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
}

void TGlobeCanvas::Line(int x1, int y1, int x2, int y2)
{
    if (painter_)
        painter_->drawLine(x1, y1, x2, y2);
}

void TGlobeCanvas::SetPixel(int x, int y, std::uint32_t color)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    if (onImage_ || !painter_) {
        // Straight into the image: the day/night shading and textures set many single pixels.
        reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = qRgb(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
        return;
    }
    painter_->save();
    painter_->setPen(ColorRefToQColor(color));
    painter_->drawPoint(x, y);
    painter_->restore();
}

std::uint32_t TGlobeCanvas::GetPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height())
        return 0;
    return QColorToColorRef(QColor(image_.pixel(x, y)));
}

void TGlobeCanvas::Fill(std::uint32_t color)
{
    if (painter_)
        painter_->fillRect(QRect(0, 0, width_, height_), ColorRefToQColor(color));
    else
        image_.fill(ColorRefToQColor(color));
}

void TGlobeCanvas::Text(int x, int y, const std::string& text, int align)
{
    if (!painter_)
        return;
    const QString s = FromWin1252(text);
    const QFontMetrics fm = painter_->fontMetrics();
    const int w = fm.horizontalAdvance(s);
    int dx = 0, dy = 0;
    if ((align & taCenterFlag) == taCenterFlag)
        dx = -w / 2;
    else if (align & taRightFlag)
        dx = -w;
    if ((align & taBaselineFlag) == taBaselineFlag)
        dy = 0;
    else if (align & taBottomFlag)
        dy = -fm.descent();
    else
        dy = fm.ascent();
    painter_->save();
    painter_->setPen(ColorRefToQColor(textColor_));
    painter_->translate(x, y);
    if (fontAngle_ != 0)
        painter_->rotate(-fontAngle_ / 10.0);
    painter_->drawText(dx, dy, s);
    painter_->restore();
}

void TGlobeCanvas::StretchPicture(const TGlobePicture& picture, int left, int top, int right, int bottom)
{
    if (!painter_ || picture.Empty() || right <= left || bottom <= top)
        return;
    const QImage image(reinterpret_cast<const uchar*>(picture.Pixels.data()), picture.Width, picture.Height,
                       picture.Width * 4, QImage::Format_ARGB32);
    painter_->drawImage(QRect(left, top, right - left, bottom - top), image);
}

void TGlobeCanvas::TextExtent(const std::string& text, int& width, int& height)
{
    if (!painter_) {
        width = height = 0;
        return;
    }
    const QFontMetrics fm = painter_->fontMetrics();
    width = fm.horizontalAdvance(FromWin1252(text));
    height = fm.height();
}

} // namespace korval
