#include "grids/windows/ovc_meter.h"

#include <QMouseEvent>
#include <QPainter>

#include "grids/meter_layout.h"

namespace korval {

TOvcMeter::TOvcMeter(QWidget* parent) : TOvcGraphicControl(parent)
{
    unusedColor_ = palette().color(QPalette::Base);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(200, 24);
}

void TOvcMeter::SetPercent(int value)
{
    if (value == percent_)
        return;
    percent_ = value;
    text_ = QString::fromStdString(MeterPercentText(value));
    update();
}

void TOvcMeter::SetBorderStyle(TBorderStyle value)
{
    if (value != borderStyle_) {
        borderStyle_ = value;
        update();
    }
}

void TOvcMeter::SetCtl3D(bool value)
{
    if (value != ctl3D_) {
        ctl3D_ = value;
        update();
    }
}

void TOvcMeter::SetInvertPercent(bool value)
{
    if (value != invertPercent_) {
        invertPercent_ = value;
        if (showPercent_)
            update();
    }
}

void TOvcMeter::SetOrientation(TMeterOrientation value)
{
    if (value == orientation_)
        return;
    orientation_ = value;
    if (usedImage_.isNull())
        resize(height(), width());
    update();
}

void TOvcMeter::SetShowPercent(bool value)
{
    if (value != showPercent_) {
        showPercent_ = value;
        update();
    }
}

void TOvcMeter::SetUsedColor(const QColor& value)
{
    if (value != usedColor_) {
        usedColor_ = value;
        update();
    }
}

void TOvcMeter::SetUnusedColor(const QColor& value)
{
    if (value != unusedColor_) {
        unusedColor_ = value;
        update();
    }
}

void TOvcMeter::SetUsedImage(const QPixmap& value)
{
    usedImage_ = value;
    update();
}

void TOvcMeter::SetUnusedImage(const QPixmap& value)
{
    unusedImage_ = value;
    update();
}

QRect TOvcMeter::InnerRect() const
{
    int frame = borderStyle_ == bsSingle ? (ctl3D_ ? 2 : 1) : 0;
    return rect().adjusted(frame, frame, -frame, -frame);
}

void TOvcMeter::paintEvent(QPaintEvent*)
{
    QPixmap buffer(size());
    QPainter p(&buffer);
    const QPalette& pal = palette();
    const int w = width(), h = height();
    if (borderStyle_ == bsSingle) {
        if (ctl3D_) {
            // Sunken: shadow over highlight, then black over highlight, one pixel each.
            p.setPen(pal.color(QPalette::Dark));
            p.drawLine(0, 0, w - 1, 0);
            p.drawLine(0, 0, 0, h - 1);
            p.setPen(pal.color(QPalette::Light));
            p.drawLine(0, h - 1, w - 1, h - 1);
            p.drawLine(w - 1, 0, w - 1, h - 1);
            p.setPen(Qt::black);
            p.drawLine(1, 1, w - 2, 1);
            p.drawLine(1, 1, 1, h - 2);
            p.setPen(pal.color(QPalette::Light));
            p.drawLine(1, h - 2, w - 2, h - 2);
            p.drawLine(w - 2, 1, w - 2, h - 2);
        } else {
            p.setPen(Qt::black);
            p.drawRect(0, 0, w - 1, h - 1);
        }
    }
    const QRect inner = InnerRect();
    const bool horizontal = orientation_ == moHorizontal;
    const int length = horizontal ? inner.width() : inner.height();
    const TMeterParts parts = MeterSplit(percent_, length);
    QRect usedRect, unusedRect;
    if (horizontal) {
        usedRect = QRect(inner.left(), inner.top(), parts.used, inner.height());
        unusedRect = QRect(inner.right() + 1 - parts.unused, inner.top(), parts.unused, inner.height());
    } else {
        usedRect = QRect(inner.left(), inner.bottom() + 1 - parts.used, inner.width(), parts.used);
        unusedRect = QRect(inner.left(), inner.top(), inner.width(), parts.unused);
    }
    // The one-pixel gap between the parts takes the unused colour.
    p.fillRect(inner, unusedColor_);
    auto fill = [&](const QRect& r, const QColor& c, const QPixmap& img) {
        if (r.isEmpty())
            return;
        if (img.isNull())
            p.fillRect(r, c);
        else
            p.drawPixmap(r, img, QRect(0, 0, std::min(r.width(), img.width()), std::min(r.height(), img.height())));
    };
    fill(usedRect, usedColor_, usedImage_);
    fill(unusedRect, unusedColor_, unusedImage_);
    if (showPercent_) {
        p.setFont(font());
        if (invertPercent_) {
            p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            p.setPen(Qt::white);
        } else {
            p.setPen(pal.color(QPalette::WindowText));
        }
        p.drawText(inner, Qt::AlignCenter, text_);
    }
    p.end();
    QPainter(this).drawPixmap(0, 0, buffer);
}

void TOvcMeter::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && OnClick)
        OnClick(this);
    TOvcGraphicControl::mouseReleaseEvent(e);
}

void TOvcMeter::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (OnDblClick)
        OnDblClick(this);
    TOvcGraphicControl::mouseDoubleClickEvent(e);
}

} // namespace korval
