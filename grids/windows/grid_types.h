#pragma once
// Small types the grid controls share.
#include <QColor>

namespace korval {

enum TBorderStyle { bsNone, bsSingle };

// A pair of colours for one kind of line (selected, protected, header).
struct TOvcColorPair {
    QColor BackColor;
    QColor TextColor;
};

} // namespace korval
