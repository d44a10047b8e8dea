#pragma once
// Font helpers of the controls.
#include <QFont>
#include <QPoint>
#include <QString>

class QPainter;

namespace korval {

// A font drawn at an angle; Qt turns text by rotating the painter, so the angle travels with
// the font.
struct TOvcRotatedFont {
    QFont Font;
    int Escapement = 0;  // tenths of a degree, counter-clockwise
};

// Like font (height, bold as weight 700 else 400, italic, underline, strike-out, family,
// pitch), turned by angle degrees.
TOvcRotatedFont CreateRotatedFont(const QFont& font, int angle);
// Draws text with its baseline starting at origin, turned as the font says.
void DrawRotatedText(QPainter& painter, const TOvcRotatedFont& font, QPoint origin, const QString& text);

// The top margin that centres one line of font in a control of the given height: the smaller
// of the system font's and the font's text heights, the height less 4 (single border with 3-D
// look) or 2, halved; a font too tall for the height gives 1 (3-D) or 0.
int TopTextMargin(const QFont& font, bool singleBorder, int height, bool ctl3D);

} // namespace korval
