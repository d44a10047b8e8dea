#pragma once
// The tabbed notebook's engine: which pages can be selected, page switching with its veto,
// the keyboard and accelerator rules, and the tab layout (widths, rows, tab, text and page
// rectangles) for the four orientations. Text widths come in measured by the window.
#include <functional>
#include <string>
#include <vector>

namespace korval {

enum TOvcTabOrientation { toTop, toRight, toBottom, toLeft };

struct TTabRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool Empty() const { return right <= left || bottom <= top; }
    bool operator==(const TTabRect&) const = default;
};

struct TTabPageState {
    std::string caption; // 8-bit, may hold an '&' accelerator
    bool enabled = true;
    bool pageVisible = true;
};

// ---- page selection ----
bool IsPageSelectable(const std::vector<TTabPageState>& pages, int index, bool designing = false);
// Forward (backward), wrapping, to the first selectable page other than the start; -1 when none.
int NextPage(const std::vector<TTabPageState>& pages, int index, bool designing = false);
int PrevPage(const std::vector<TTabPageState>& pages, int index, bool designing = false);
// The accelerator character of a caption ("&Fields" -> 'F'), 0 when none.
char CaptionAccelerator(const std::string& caption);
// The first page after `current` (cyclically, ending with current) whose accelerator is ch
// ignoring case; -1 when none.
int FindAcceleratorPage(const std::vector<TTabPageState>& pages, int current, char ch);

// What a navigation command does on a notebook of that orientation.
enum class TTabNav { None, Previous, Next, First, Last, OtherRow };
TTabNav TabCommand(TOvcTabOrientation orientation, int command, int rowsInUse);

// ---- layout ----
struct TTabLayoutInput {
    int width = 220;
    int height = 185;
    int tabHeight = 20;
    int tabRowCount = 0; // 0: as many rows as needed
    TOvcTabOrientation orientation = toTop;
    bool oldStyle = false;
    bool designing = false;
    int current = 0;     // current page
    // Per page: the widest caption width over the fonts it is drawn in, and whether it counts
    // (PageVisible, or at design time).
    std::vector<int> captionWidths;
    std::vector<bool> pageVisible;
};

struct TTabLayout {
    std::vector<int> tabWidth;   // 0 for a page that does not count
    std::vector<int> tabRow;
    std::vector<TTabRect> tabRect;
    int rows = 0;                // rows in use
    int currentRow = 0;
    int lastRow = -1;
    TTabRect pageRect;           // where every page sits
    // The row painted k-th (from the far side of the strip towards the page).
    std::vector<int> paintOrder;
};

TTabLayout LayoutTabs(const TTabLayoutInput& in);

// What OnDrawTab receives: the tab rectangle less 6 at both ends, then moved per orientation.
TTabRect TabTextRect(const TTabRect& tab, TOvcTabOrientation orientation, int tabHeight);

// ---- page switching ----
// The rules of changing the current page, with the hooks a window hangs on them.
class TNotebookPager {
public:
    std::vector<TTabPageState> Pages;
    int PageIndex() const { return pageIndex_; }
    bool Designing = false;
    bool Loading = false;

    // Throws EInvalidPageIndex for a page that is missing, disabled or hidden.
    void SetPageIndex(int value);
    // Sets the index with no events (the first page shown after loading).
    void ResetPageIndex(int value) { pageIndex_ = value; }

    std::function<void(int index, bool& allowChange)> OnPageChange;
    std::function<void(int index)> OnPageChanged;
    // Window hooks: show the new page, then hide the old one.
    std::function<void(int index)> ShowPage;
    std::function<void(int index)> HidePage;

private:
    int pageIndex_ = -1;
    bool switching_ = false;
};

} // namespace korval
