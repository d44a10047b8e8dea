// The notebook engine: tab widths and rows, the current row next to the page, page rectangles,
// selectable pages, keyboard targets, accelerators and the vetoable page switch.
#include <gtest/gtest.h>

#include "entry/ovc_command_processor.h"
#include "entry/ovc_exceptions.h"
#include "grids/notebook_layout.h"

using namespace korval;

namespace {
TTabLayoutInput ThreePages()
{
    TTabLayoutInput in;
    in.width = 220;
    in.height = 185;
    in.tabHeight = 20;
    in.captionWidths = {30, 40, 200};
    return in;
}
} // namespace

TEST(NotebookLayout, WidthsFillTwoRowsWithTheCurrentRowNextToThePage)
{
    auto in = ThreePages();
    auto l = LayoutTabs(in);
    EXPECT_EQ(l.tabWidth, (std::vector<int>{42, 52, 212}));
    EXPECT_EQ(l.tabRow, (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(l.rows, 2);
    EXPECT_EQ(l.lastRow, 1);
    EXPECT_EQ(l.currentRow, 0);
    // Row 1 is painted first (farther out), row 0 last, right above the page.
    EXPECT_EQ(l.tabRect[2], (TTabRect{2, 2, 214, 22}));
    EXPECT_EQ(l.tabRect[0], (TTabRect{2, 22, 44, 42}));
    EXPECT_EQ(l.tabRect[1], (TTabRect{44, 22, 96, 42}));
    EXPECT_EQ(l.pageRect, (TTabRect{1, 43, 218, 183}));

    in.current = 2; // selecting the back row brings it to the page
    l = LayoutTabs(in);
    EXPECT_EQ(l.currentRow, 1);
    EXPECT_EQ(l.tabRect[2].top, 22);
    EXPECT_EQ(l.tabRect[0].top, 2);
}

TEST(NotebookLayout, FixedRowCountDealsTheRest)
{
    TTabLayoutInput in;
    in.captionWidths = {10, 10, 10, 10, 10};
    in.tabRowCount = 2;
    auto l = LayoutTabs(in);
    EXPECT_EQ(l.tabRow, (std::vector<int>{0, 0, 1, 1, 0}));
    EXPECT_EQ(l.rows, 2);
}

TEST(NotebookLayout, HiddenPagesHaveNoTabUnlessDesigning)
{
    auto in = ThreePages();
    in.pageVisible = {true, false, true};
    auto l = LayoutTabs(in);
    EXPECT_EQ(l.tabWidth[1], 0);
    EXPECT_TRUE(l.tabRect[1].Empty());
    EXPECT_EQ(l.tabRect[2].left, 2) << "the hidden tab takes no room";
    in.designing = true;
    EXPECT_EQ(LayoutTabs(in).tabWidth[1], 52);
}

TEST(NotebookLayout, ZeroTabHeightGivesThePagesEverything)
{
    auto in = ThreePages();
    in.tabHeight = 0;
    auto l = LayoutTabs(in);
    EXPECT_EQ(l.pageRect, (TTabRect{0, 0, 220, 185}));
    EXPECT_TRUE(l.tabRect[0].Empty());
    EXPECT_TRUE(TabTextRect(l.tabRect[0], toTop, 0).Empty());
}

TEST(NotebookLayout, OldStyleStretchesEveryRow)
{
    auto in = ThreePages();
    in.oldStyle = true;
    in.captionWidths = {30, 40, 50};
    auto l = LayoutTabs(in);
    // Every tab 62 wide (widest + 12) gives 186; the 30 pixels left go 10 each.
    EXPECT_EQ(l.tabWidth, (std::vector<int>{72, 72, 72}));
    in.captionWidths = {30, 40, 51};
    l = LayoutTabs(in);
    EXPECT_EQ(l.tabWidth, (std::vector<int>{72, 72, 72}));
    in.captionWidths = {30, 40, 52}; // 64 * 3 = 192, 24 left: 8 each
    EXPECT_EQ(LayoutTabs(in).tabWidth, (std::vector<int>{72, 72, 72}));
    in.captionWidths = {30, 40, 53}; // 65 * 3 = 195, 21 left: 7 each
    EXPECT_EQ(LayoutTabs(in).tabWidth, (std::vector<int>{72, 72, 72}));
    in.width = 221; // 217 available: one pixel more for the first tab
    EXPECT_EQ(LayoutTabs(in).tabWidth, (std::vector<int>{73, 72, 72}));
}

struct PageRectCase {
    TOvcTabOrientation o;
    TTabRect page;
};
class NotebookPageRect : public ::testing::TestWithParam<PageRectCase> {};
TEST_P(NotebookPageRect, PagesSitBesideTheTabs)
{
    TTabLayoutInput in;
    in.orientation = GetParam().o;
    in.captionWidths = {30, 40};
    auto l = LayoutTabs(in);
    EXPECT_EQ(l.rows, 1);
    EXPECT_EQ(l.pageRect, GetParam().page) << GetParam().o;
    for (const auto& t : l.tabRect) {
        EXPECT_FALSE(t.Empty());
        EXPECT_TRUE(t.left >= 0 && t.top >= 0 && t.right <= in.width && t.bottom <= in.height);
    }
}
INSTANTIATE_TEST_SUITE_P(Orientations, NotebookPageRect, ::testing::Values(
    PageRectCase{toTop, {1, 23, 218, 183}},
    PageRectCase{toRight, {1, 1, 197, 183}},
    PageRectCase{toBottom, {1, 1, 218, 161}},
    PageRectCase{toLeft, {23, 1, 218, 183}}));

TEST(NotebookPages, SelectableNextAndPrevSkipHiddenAndDisabled)
{
    std::vector<TTabPageState> p(5);
    p[0].pageVisible = false;
    p[2].enabled = false;
    EXPECT_FALSE(IsPageSelectable(p, 0));
    EXPECT_TRUE(IsPageSelectable(p, 0, true));
    EXPECT_EQ(NextPage(p, 1), 3);
    EXPECT_EQ(PrevPage(p, 3), 1);
    EXPECT_EQ(NextPage(p, 4), 1);
    EXPECT_EQ(NextPage(p, 4), 1) << "ccHome: NextPage(last)";
    EXPECT_EQ(PrevPage(p, 0), 4) << "ccEnd: PrevPage(0)";
    std::vector<TTabPageState> one(3);
    one[0].enabled = one[2].enabled = false;
    EXPECT_EQ(NextPage(one, 1), -1);
    EXPECT_EQ(PrevPage(one, 1), -1);
}

TEST(NotebookPages, KeyboardTargetsPerOrientation)
{
    EXPECT_EQ(TabCommand(toTop, ccLeft, 1), TTabNav::Previous);
    EXPECT_EQ(TabCommand(toTop, ccUp, 1), TTabNav::None);
    EXPECT_EQ(TabCommand(toTop, ccUp, 2), TTabNav::OtherRow);
    EXPECT_EQ(TabCommand(toLeft, ccDown, 1), TTabNav::Previous);
    EXPECT_EQ(TabCommand(toRight, ccDown, 1), TTabNav::Next);
    EXPECT_EQ(TabCommand(toBottom, ccDown, 3), TTabNav::OtherRow);
    EXPECT_EQ(TabCommand(toRight, ccHome, 1), TTabNav::First);
}

TEST(NotebookPages, AcceleratorsSearchAfterTheCurrentPage)
{
    std::vector<TTabPageState> p(4);
    p[0].caption = "&General";
    p[1].caption = "Bands && &Modes";
    p[2].caption = "&Grid";
    p[3].caption = "None";
    EXPECT_EQ(CaptionAccelerator(p[1].caption), 'M');
    EXPECT_EQ(FindAcceleratorPage(p, 0, 'g'), 2);
    EXPECT_EQ(FindAcceleratorPage(p, 2, 'G'), 0);
    EXPECT_EQ(FindAcceleratorPage(p, 0, 'x'), -1);
}

TEST(NotebookPages, VetoedChangeFiresNoChangedAndKeepsThePage)
{
    TNotebookPager pg;
    pg.Pages.resize(3);
    pg.Pages[2].enabled = false;
    std::vector<int> shown, hidden, changed;
    bool allow = false;
    pg.ShowPage = [&](int i) { shown.push_back(i); };
    pg.HidePage = [&](int i) { hidden.push_back(i); };
    pg.OnPageChange = [&](int, bool& a) { a = allow; };
    pg.OnPageChanged = [&](int i) { changed.push_back(i); };
    pg.SetPageIndex(0); // first page after loading: no events
    EXPECT_TRUE(changed.empty());
    pg.SetPageIndex(1);
    EXPECT_EQ(pg.PageIndex(), 0);
    EXPECT_TRUE(changed.empty());
    EXPECT_EQ(shown, (std::vector<int>{0}));
    allow = true;
    pg.SetPageIndex(1);
    EXPECT_EQ(changed, (std::vector<int>{1}));
    EXPECT_EQ(hidden, (std::vector<int>{0}));
    pg.SetPageIndex(1); // the current page: nothing
    EXPECT_EQ(changed.size(), 1u);
    try {
        pg.SetPageIndex(2);
        FAIL();
    } catch (const ENotebookError& e) {
        EXPECT_STREQ(e.what(), "Invalid page index value");
    }
    EXPECT_THROW(pg.SetPageIndex(7), EInvalidPageIndex);
    EXPECT_EQ(pg.PageIndex(), 1);
}
