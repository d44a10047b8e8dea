#include "grids/splitter_layout.h"

#include <algorithm>
#include <cmath>

namespace korval {

int ClampSplitterPosition(int position, int extent, int splitterSize)
{
    return std::max(1, std::min(position, extent - splitterSize - 2));
}

int ScaleSplitterPosition(int position, int oldExtent, int newExtent)
{
    if (oldExtent == 0 || newExtent == 0)
        return position;
    // nearbyint rounds half to even, as the layouts the program stored were rounded.
    return static_cast<int>(std::nearbyint(double(position) / oldExtent * newExtent));
}

std::array<TSplitRect, 2> SplitterSections(TSplitterOrientation o, int w, int h, int p, int s, bool ctl3D,
                                           std::array<bool, 2> plain)
{
    std::array<TSplitRect, 2> r;
    if (o == soVertical) {
        r[0] = {0, 0, p, h};
        r[1] = {p + s, 0, w - p - s, h};
    } else {
        r[0] = {0, 0, w, p};
        r[1] = {0, p + s, w, h - p - s};
    }
    for (int i = 0; i < 2; ++i) {
        if (ctl3D && !plain[i])
            r[i] = {r[i].Left + 2, r[i].Top + 2, r[i].Width - 3, r[i].Height - 3};
        r[i].Width = std::max(0, r[i].Width);
        r[i].Height = std::max(0, r[i].Height);
    }
    return r;
}

TSplitRect SplitterBarRect(TSplitterOrientation o, int w, int h, int p, int s)
{
    return o == soVertical ? TSplitRect{p, 0, s, h} : TSplitRect{0, p, w, s};
}

} // namespace korval
