#pragma once
// The parts of a spinner: the polygons each style divides the control into, and which part a
// point falls in. Plain geometry, shared by the spinner windows and their tests.
#include <array>
#include <cstdint>
#include <vector>

namespace korval {

enum TOvcSpinnerStyle {
    stNormalVertical,
    stNormalHorizontal,
    stFourWay,
    stStar,
    stDiagonalVertical,
    stDiagonalHorizontal,
    stDiagonalFourWay,
    stPlainStar,
};

// By value: 0 outside the control, 1 no part, then the parts.
enum TOvcSpinState : uint8_t {
    ssOutside = 0,
    ssNormal = 1,
    ssUpBtn = 2,
    ssDownBtn = 3,
    ssLeftBtn = 4,
    ssRightBtn = 5,
    ssCenterBtn = 6,
};

struct TSpinPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TSpinPoint&) const = default;
};

using TSpinPolygon = std::vector<TSpinPoint>;

class TOvcSpinRegions {
public:
    // Rebuilds the parts for a control of width w and height h.
    void Build(TOvcSpinnerStyle style, int w, int h);

    TOvcSpinnerStyle Style() const { return style_; }
    int Width() const { return w_; }
    int Height() const { return h_; }
    // The part's polygon; empty when the style has no such part.
    const TSpinPolygon& Region(TOvcSpinState part) const;
    bool Has(TOvcSpinState part) const { return !Region(part).empty(); }
    // The state under a point of the control: ssOutside off the control, the first part that
    // holds the point, else ssNormal.
    TOvcSpinState StateAt(int x, int y) const;
    // True when the pixel (x, y) lies in the polygon: its centre is inside, as a filled region
    // takes the pixels it covers.
    static bool Contains(const TSpinPolygon& polygon, int x, int y);

private:
    static int slot(TOvcSpinState part) { return part - ssUpBtn; }
    TOvcSpinnerStyle style_ = stNormalVertical;
    int w_ = 0;
    int h_ = 0;
    std::array<TSpinPolygon, 5> parts_;  // up, down, left, right, centre
};

} // namespace korval
