#include "grids/notebook_layout.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "entry/ovc_command_processor.h"
#include "entry/ovc_exceptions.h"

namespace korval {


bool IsPageSelectable(const std::vector<TTabPageState>& pages, int index, bool designing)
{
    if (index < 0 || index >= static_cast<int>(pages.size()))
        return false;
    const auto& p = pages[static_cast<size_t>(index)];
    return (p.enabled || designing) && (p.pageVisible || designing);
}

int NextPage(const std::vector<TTabPageState>& pages, int index, bool designing)
{
    const int count = static_cast<int>(pages.size());
    if (count == 0)
        return -1;
    if (index < 0 || index >= count)
        index = count - 1;
    for (int i = 1; i < count; ++i) {
        int p = (index + i) % count;
        if (IsPageSelectable(pages, p, designing))
            return p;
    }
    return -1;
}

int PrevPage(const std::vector<TTabPageState>& pages, int index, bool designing)
{
    const int count = static_cast<int>(pages.size());
    if (count == 0)
        return -1;
    if (index < 0 || index >= count)
        index = 0;
    for (int i = 1; i < count; ++i) {
        int p = ((index - i) % count + count) % count;
        if (IsPageSelectable(pages, p, designing))
            return p;
    }
    return -1;
}

char CaptionAccelerator(const std::string& caption)
{
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return caption[i + 1];
    }
    return 0;
}

int FindAcceleratorPage(const std::vector<TTabPageState>& pages, int current, char ch)
{
    const int count = static_cast<int>(pages.size());
    const int want = std::toupper(static_cast<unsigned char>(ch));
    for (int i = 1; i <= count; ++i) {
        int p = ((current + i) % count + count) % count;
        char a = CaptionAccelerator(pages[static_cast<size_t>(p)].caption);
        if (a && std::toupper(static_cast<unsigned char>(a)) == want)
            return p;
    }
    return -1;
}

TTabNav TabCommand(TOvcTabOrientation orientation, int command, int rowsInUse)
{
    if (command == ccHome)
        return TTabNav::First;
    if (command == ccEnd)
        return TTabNav::Last;
    int prev = ccLeft, next = ccRight, other = ccUp;
    switch (orientation) {
    case toTop:
        break;
    case toBottom:
        other = ccDown;
        break;
    case toRight:
        prev = ccUp, next = ccDown, other = ccRight;
        break;
    case toLeft:
        prev = ccDown, next = ccUp, other = ccLeft;
        break;
    }
    if (command == prev)
        return TTabNav::Previous;
    if (command == next)
        return TTabNav::Next;
    if (command == other)
        return rowsInUse > 1 ? TTabNav::OtherRow : TTabNav::None;
    return TTabNav::None;
}

TTabLayout LayoutTabs(const TTabLayoutInput& in)
{
    TTabLayout out;
    const int count = static_cast<int>(in.captionWidths.size());
    const int h = in.tabHeight;
    const bool vertical = in.orientation == toRight || in.orientation == toLeft;
    out.tabWidth.assign(static_cast<size_t>(count), 0);
    out.tabRow.assign(static_cast<size_t>(count), 0);
    out.tabRect.assign(static_cast<size_t>(count), TTabRect{});
    auto counts = [&](int i) {
        return in.designing || i >= static_cast<int>(in.pageVisible.size()) || in.pageVisible[static_cast<size_t>(i)];
    };

    if (h > 0 && count > 0) {
        const int avail = (vertical ? in.height : in.width) - 4;
        // Widths.
        int widest = 0;
        for (int i = 0; i < count; ++i)
            if (counts(i))
                widest = std::max(widest, in.captionWidths[static_cast<size_t>(i)]);
        for (int i = 0; i < count; ++i) {
            if (!counts(i))
                continue;
            int w = in.oldStyle ? widest : in.captionWidths[static_cast<size_t>(i)];
            out.tabWidth[static_cast<size_t>(i)] = std::max(w + 12, 20);
        }
        // Rows.
        if (in.tabRowCount > 0) {
            const int rows = in.tabRowCount;
            const int perRow = std::max(1, count / rows);
            int row = 0, inRow = 0;
            bool dealing = false;
            for (int i = 0; i < count; ++i) {
                if (!counts(i))
                    continue;
                if (dealing) {
                    out.tabRow[static_cast<size_t>(i)] = row;
                    row = (row + 1) % rows;
                    continue;
                }
                out.tabRow[static_cast<size_t>(i)] = row;
                if (++inRow == perRow) {
                    inRow = 0;
                    if (++row == rows) {
                        row = 0;
                        dealing = true;
                    }
                }
            }
            out.rows = rows;
        } else {
            int row = 0, rowWidth = 0;
            bool rowOpen = false;
            for (int i = 0; i < count; ++i) {
                int w = out.tabWidth[static_cast<size_t>(i)];
                if (rowOpen && w > 0 && rowWidth + w > avail) {
                    ++row;
                    rowWidth = 0;
                }
                rowOpen = true;
                rowWidth += w;
                out.tabRow[static_cast<size_t>(i)] = row;
            }
            out.rows = row + 1;
        }
        // Old style: every row stretched (or squeezed) to the available length.
        if (in.oldStyle) {
            int kept = 0;
            std::vector<int> remap(static_cast<size_t>(out.rows), -1);
            for (int r = 0; r < out.rows; ++r) {
                int total = 0, n = 0;
                for (int i = 0; i < count; ++i)
                    if (out.tabRow[static_cast<size_t>(i)] == r && out.tabWidth[static_cast<size_t>(i)] > 0) {
                        total += out.tabWidth[static_cast<size_t>(i)];
                        ++n;
                    }
                if (n == 0)
                    continue;
                remap[static_cast<size_t>(r)] = kept++;
                const int diff = avail - total;
                const int each = std::abs(diff) / n;
                int rest = std::abs(diff) % n;
                const int sign = diff < 0 ? -1 : 1;
                for (int i = 0; i < count; ++i) {
                    if (out.tabRow[static_cast<size_t>(i)] != r || out.tabWidth[static_cast<size_t>(i)] == 0)
                        continue;
                    int extra = each + (rest > 0 ? 1 : 0);
                    if (rest > 0)
                        --rest;
                    out.tabWidth[static_cast<size_t>(i)] += sign * extra;
                }
            }
            for (int i = 0; i < count; ++i) {
                int m = remap[static_cast<size_t>(out.tabRow[static_cast<size_t>(i)])];
                out.tabRow[static_cast<size_t>(i)] = m < 0 ? 0 : m;
            }
            out.rows = std::max(kept, 1);
        }
        out.currentRow = (in.current >= 0 && in.current < count) ? out.tabRow[static_cast<size_t>(in.current)] : 0;
        out.lastRow = out.rows - 1;

        // Painting order: the row after the current one first, the current row last (next to the page).
        for (int k = 0; k < out.rows; ++k)
            out.paintOrder.push_back((out.currentRow + 1 + k) % out.rows);

        for (int k = 0; k < out.rows; ++k) {
            const int r = out.paintOrder[static_cast<size_t>(k)];
            int along = 2;
            for (int i = 0; i < count; ++i) {
                if (out.tabRow[static_cast<size_t>(i)] != r)
                    continue;
                const int w = out.tabWidth[static_cast<size_t>(i)];
                if (w == 0)
                    continue;
                TTabRect t;
                switch (in.orientation) {
                case toTop:
                    t = {along, 2 + k * h, along + w, 2 + (k + 1) * h};
                    break;
                case toBottom:
                    t = {along, in.height - 2 - (k + 1) * h, along + w, in.height - 2 - k * h};
                    break;
                case toLeft:
                    t = {2 + k * h, along, 2 + (k + 1) * h, along + w};
                    break;
                case toRight:
                    t = {in.width - 2 - (k + 1) * h, along, in.width - 2 - k * h, along + w};
                    break;
                }
                out.tabRect[static_cast<size_t>(i)] = t;
                along += w;
            }
        }
    }

    // Page placement.
    const int rh = out.rows * h;
    if (h <= 0) {
        out.pageRect = {0, 0, in.width, in.height};
    } else {
        switch (in.orientation) {
        case toTop:
            out.pageRect = {1, rh + 3, 1 + in.width - 3, in.height - 2};
            break;
        case toRight:
            out.pageRect = {1, 1, 1 + in.width - (rh + 2) - 2, 1 + in.height - 3};
            break;
        case toBottom:
            out.pageRect = {1, 1, 1 + in.width - 3, 1 + in.height - rh - 5};
            break;
        case toLeft:
            out.pageRect = {rh + 3, 1, in.width - 2, 1 + in.height - 3};
            break;
        }
    }
    return out;
}

TTabRect TabTextRect(const TTabRect& tab, TOvcTabOrientation orientation, int tabHeight)
{
    if (tabHeight <= 0)
        return {};
    TTabRect r = tab;
    switch (orientation) {
    case toTop:
        r.left += 6, r.right -= 6;
        r.left -= 1, r.top += 3;
        break;
    case toBottom:
        r.left += 6, r.right -= 6;
        r.left -= 1, r.bottom += 3;
        break;
    case toRight:
        r.top += 6, r.bottom -= 6;
        r.top -= 1, r.right -= 3;
        break;
    case toLeft:
        r.top += 6, r.bottom -= 6;
        r.top -= 1, r.left -= 3;
        break;
    }
    return r;
}

void TNotebookPager::SetPageIndex(int value)
{
    if (Loading) {
        pageIndex_ = value;
        return;
    }
    const bool selectable = IsPageSelectable(Pages, value, Designing);
    if (value == pageIndex_ || !selectable) {
        if (!selectable)
            throw EInvalidPageIndex();
        return;
    }
    if (switching_)
        return;
    switching_ = true;
    const int old = pageIndex_;
    if (!Designing && old != -1 && OnPageChange) {
        bool allow = true;
        OnPageChange(value, allow);
        if (!allow) {
            switching_ = false;
            return;
        }
    }
    if (ShowPage)
        ShowPage(value);
    // The old page goes even when it has meanwhile become unselectable: one page shows at a time.
    if (old >= 0 && old < static_cast<int>(Pages.size()) && HidePage)
        HidePage(old);
    pageIndex_ = value;
    switching_ = false;
    if (!Designing && pageIndex_ == value && old != -1 && OnPageChanged)
        OnPageChanged(value);
    if (!IsPageSelectable(Pages, pageIndex_, Designing))
        throw EInvalidPageIndex();
}

} // namespace korval
