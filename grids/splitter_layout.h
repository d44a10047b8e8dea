#pragma once
// The arithmetic of the two-section splitter: where its bar may sit, how the bar moves when the
// control is resized, where the two sections go and when the mouse is over the bar.
#include <array>

namespace korval {

// soVertical: a vertical bar with sections left and right; soHorizontal: a horizontal bar with
// sections above and below.
enum TSplitterOrientation { soHorizontal, soVertical };

struct TSplitRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const TSplitRect&) const = default;
};

// The client extent along the bar's travel: the width for soVertical, the height otherwise.
inline int SplitterExtent(TSplitterOrientation o, int clientWidth, int clientHeight)
{
    return o == soVertical ? clientWidth : clientHeight;
}

// A bar position kept inside the client area: at most extent - splitterSize - 2 and never
// below 1 (a control too small for its bar keeps the bar at 1).
int ClampSplitterPosition(int position, int extent, int splitterSize);

// The position after the extent changed from oldExtent to newExtent, scaled in proportion
// (rounded half to even); unchanged when either extent is 0.
int ScaleSplitterPosition(int position, int oldExtent, int newExtent);

// The two sections of a client area w x h with the bar at position p, splitterSize s thick.
// With ctl3D a section is inset for its sunken frame unless plain[i] says it holds a nested
// splitter of its own. Widths and heights are never negative.
std::array<TSplitRect, 2> SplitterSections(TSplitterOrientation o, int w, int h, int p, int s, bool ctl3D,
                                           std::array<bool, 2> plain = {false, false});

// The bar itself.
TSplitRect SplitterBarRect(TSplitterOrientation o, int w, int h, int p, int s);

// The mouse at coord (x for soVertical, y for soHorizontal) is within s pixels of the bar.
inline bool NearSplitterBar(int coord, int p, int s)
{
    return coord >= p - s && coord <= p + s;
}

} // namespace korval
