#pragma once
// The line buffer of a report page: horizontal and vertical segments (box lines of tab cells,
// rules) are collected while the page is drawn and drawn once at its end, so that touching or
// overlapping segments of the same pen come out as one line.
#include <vector>

#include "reporting/drawing_context.h"

namespace korval {

struct TBufferedLine {
    double Start = 0, End = 0;  // along the line, inches, Start <= End
    double Fixed = 0;           // the other coordinate, inches
    TPenData Pen;
};

class TLineBuffer {
public:
    // Segments within this distance (inches) count as touching or on the same line.
    static constexpr double kTolerance = 0.0001;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }

    // Positions are inches from the page's top-left corner, origin included.
    void MoveTo(double x, double y);
    // Offers the segment from the pen position to (x, y) drawn with pen; true when the buffer
    // took it (a horizontal or vertical segment while enabled). The pen moves to (x, y) always.
    bool LineTo(double x, double y, const TPenData& pen);
    double PenX() const { return penX_; }
    double PenY() const { return penY_; }

    const std::vector<TBufferedLine>& Horizontal() const { return horizontal_; }
    const std::vector<TBufferedLine>& Vertical() const { return vertical_; }
    void Clear();

private:
    static void add(std::vector<TBufferedLine>& list, double a, double b, double fixed, const TPenData& pen);

    bool enabled_ = true;
    double penX_ = 0, penY_ = 0;
    std::vector<TBufferedLine> horizontal_, vertical_;
};

} // namespace korval
