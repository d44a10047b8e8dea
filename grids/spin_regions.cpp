#include "grids/spin_regions.h"

#include <cstddef>

namespace korval {

namespace {

TSpinPolygon Rect(int left, int top, int right, int bottom)
{
    return {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
}

} // namespace

void TOvcSpinRegions::Build(TOvcSpinnerStyle style, int w, int h)
{
    style_ = style;
    w_ = w;
    h_ = h;
    for (auto& p : parts_)
        p.clear();
    const TSpinPoint TL{0, 0}, TR{w - 1, 0}, BL{0, h - 1}, BR{w - 1, h - 1}, C{w / 2, h / 2};
    const TSpinPoint P1{w / 3, h / 3}, P2{w / 3, 2 * h / 3}, P3{2 * w / 3, h / 3}, P4{2 * w / 3, 2 * h / 3};
    const TSpinPoint TM{w / 2, 0}, BM{w / 2, h - 1}, LM{0, h / 2}, RM{w - 1, h / 2};
    const TSpinPoint Q1{w / 4, 0}, Q2{w / 4, h - 1}, Q3{3 * w / 4, 0}, Q4{3 * w / 4, h - 1};
    auto& up = parts_[slot(ssUpBtn)];
    auto& down = parts_[slot(ssDownBtn)];
    auto& left = parts_[slot(ssLeftBtn)];
    auto& right = parts_[slot(ssRightBtn)];
    auto& centre = parts_[slot(ssCenterBtn)];
    switch (style) {
    case stNormalVertical:
        up = Rect(0, 0, w, h / 2);
        down = Rect(0, h / 2, w, h);
        break;
    case stNormalHorizontal:
        left = Rect(0, 0, w / 2, h);
        right = Rect(w / 2, 0, w, h);
        break;
    case stFourWay:
        up = {TL, TR, C};
        down = {BL, C, BR};
        left = {TL, C, BL};
        right = {TR, BR, C};
        break;
    case stStar:
        up = {TM, P3, P1};
        down = {BM, P2, P4};
        left = {LM, P1, P2};
        right = {RM, P4, P3};
        centre = {P1, P3, P4, P2};
        break;
    case stDiagonalVertical:
        up = {TL, TR, BL};
        down = {BL, TR, BR};
        break;
    case stDiagonalHorizontal:
        left = {TL, TR, BL};
        right = {BL, TR, BR};
        break;
    case stDiagonalFourWay:
        up = {Q1, Q3, Q2};
        down = {Q3, Q4, Q2};
        left = {TL, Q1, Q2, BL};
        right = {Q3, TR, BR, Q4};
        break;
    case stPlainStar:
        up = {TM, P3, C, P1};
        down = {P2, C, P4, BM};
        left = {LM, P1, C, P2};
        right = {P3, RM, P4, C};
        break;
    }
}

const TSpinPolygon& TOvcSpinRegions::Region(TOvcSpinState part) const
{
    static const TSpinPolygon none;
    if (part < ssUpBtn || part > ssCenterBtn)
        return none;
    return parts_[slot(part)];
}

bool TOvcSpinRegions::Contains(const TSpinPolygon& polygon, int x, int y)
{
    // Even-odd crossing test at the pixel centre, in doubled coordinates to stay integral.
    const long px = 2L * x + 1, py = 2L * y + 1;
    bool inside = false;
    const std::size_t n = polygon.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const long xi = 2L * polygon[i].X, yi = 2L * polygon[i].Y;
        const long xj = 2L * polygon[j].X, yj = 2L * polygon[j].Y;
        if ((yi > py) == (yj > py))
            continue;
        // x of the edge at py, compared without division: px < xi + (py - yi) * (xj - xi) / (yj - yi)
        const long num = (py - yi) * (xj - xi);
        const long den = yj - yi;
        const bool left = den > 0 ? (px - xi) * den < num : (px - xi) * den > num;
        if (left)
            inside = !inside;
    }
    return inside;
}

TOvcSpinState TOvcSpinRegions::StateAt(int x, int y) const
{
    if (x < 0 || y < 0 || x >= w_ || y >= h_)
        return ssOutside;
    static constexpr TOvcSpinState order[] = {ssUpBtn, ssDownBtn, ssLeftBtn, ssRightBtn, ssCenterBtn};
    static constexpr TOvcSpinState horizontal[] = {ssRightBtn, ssLeftBtn};
    if (style_ == stNormalHorizontal) {
        for (TOvcSpinState s : horizontal)
            if (Contains(Region(s), x, y))
                return s;
        return ssNormal;
    }
    for (TOvcSpinState s : order)
        if (Contains(Region(s), x, y))
            return s;
    return ssNormal;
}

} // namespace korval
