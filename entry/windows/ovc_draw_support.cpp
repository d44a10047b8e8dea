#include "entry/windows/ovc_draw_support.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>

namespace korval {

TOvcRotatedFont CreateRotatedFont(const QFont& font, int angle)
{
    QFont f(font.family());
    if (font.pixelSize() > 0)
        f.setPixelSize(font.pixelSize());
    else
        f.setPointSizeF(font.pointSizeF());
    f.setWeight(font.bold() ? QFont::Bold : QFont::Normal);
    f.setItalic(font.italic());
    f.setUnderline(font.underline());
    f.setStrikeOut(font.strikeOut());
    f.setFixedPitch(font.fixedPitch());
    return {f, angle * 10};
}

void DrawRotatedText(QPainter& painter, const TOvcRotatedFont& font, QPoint origin, const QString& text)
{
    painter.save();
    painter.setFont(font.Font);
    painter.translate(origin);
    painter.rotate(-font.Escapement / 10.0);  // escapement turns counter-clockwise
    painter.drawText(QPoint(0, 0), text);
    painter.restore();
}

int TopTextMargin(const QFont& font, bool singleBorder, int height, bool ctl3D)
{
    int textH = std::min(QFontMetrics(QApplication::font()).height(), QFontMetrics(font).height());
    int inner = height - (singleBorder && ctl3D ? 4 : 2);
    if (textH > inner)
        return ctl3D ? 1 : 0;
    return (inner - textH) / 2;
}

} // namespace korval
