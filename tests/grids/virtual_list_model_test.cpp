// The owner-data list box engine: huge counts, unscaled scrolling that reaches the true end,
// selection only through the owner's events, keys, messages and the update bracket.
#include <gtest/gtest.h>

#include <set>

#include "entry/ovc_command_processor.h"
#include "entry/ovc_exceptions.h"
#include "grids/virtual_list_model.h"

using namespace korval;

namespace {

// Ten rows of 17 pixels; the owner's selection is a set.
struct ListFixture {
    TVirtualListModel m;
    std::set<int> selected;
    std::vector<std::pair<int, bool>> selects;
    std::vector<int> tops;
    int clicks = 0;

    explicit ListFixture(int count, bool multi = false)
    {
        m.MultiSelect = multi;
        m.SetGeometry(170, 17);
        m.SetNumItems(count);
        m.OnIsSelected = [this](int i, bool& s) { s = selected.count(i) > 0; };
        m.OnSelect = [this](int i, bool s) {
            selects.push_back({i, s});
            if (i == -1) {
                if (!s)
                    selected.clear();
                return;
            }
            if (s)
                selected.insert(i);
            else
                selected.erase(i);
        };
        m.OnTopIndexChanged = [this](int t) { tops.push_back(t); };
        m.OnClick = [this] { ++clicks; };
    }
};

} // namespace

TEST(VirtualList, DefaultCountAndNegativeCountAreMaxInt)
{
    TVirtualListModel m;
    EXPECT_EQ(m.NumItems(), 2147483647);
    m.SetNumItems(10);
    m.SetNumItems(-3);
    EXPECT_EQ(m.NumItems(), 2147483647);
}

TEST(VirtualList, ThumbAtItsEndShowsTheTrueLastPage)
{
    // The old 16-bit scaling stopped at item 99,936; the bar now runs in items.
    ListFixture f(100000);
    EXPECT_EQ(f.m.Rows(), 10);
    EXPECT_EQ(f.m.VScrollMax(), 99990);
    f.m.ThumbTo(f.m.VScrollMax());
    EXPECT_EQ(f.m.TopIndex(), 99990);
    EXPECT_EQ(f.m.TopIndex() + f.m.Rows() - 1, 99999);
    f.m.ThumbTo(0);
    EXPECT_EQ(f.m.TopIndex(), 0);
}

TEST(VirtualList, MaxIntItemsScrollToTheLastItems)
{
    ListFixture f(2147483647);
    f.m.ThumbTo(f.m.VScrollMax());
    EXPECT_EQ(f.m.TopIndex(), 2147483647 - 10);
    f.m.DoCommand(ccEnd);
    EXPECT_EQ(f.m.ItemIndex(), 2147483646);
    f.m.Scroll(0, 32767);
    EXPECT_EQ(f.m.TopIndex(), 2147483637);
    f.m.LineScroll(1);
    EXPECT_EQ(f.m.TopIndex(), 2147483637) << "no overflow past the end";
    f.m.DoCommand(ccHome);
    EXPECT_EQ(f.m.TopIndex(), 0);
}

struct ListScrollCase {
    int count, startTop, delta, top;
};
class VirtualListScroll : public ::testing::TestWithParam<ListScrollCase> {};
TEST_P(VirtualListScroll, ClampsToTheLastPage)
{
    const auto& c = GetParam();
    ListFixture f(c.count);
    f.m.SetTopIndex(c.startTop);
    f.m.Scroll(0, c.delta);
    EXPECT_EQ(f.m.TopIndex(), c.top) << c.count << " items, " << c.delta;
}
INSTANTIATE_TEST_SUITE_P(Cases, VirtualListScroll, ::testing::Values(
    ListScrollCase{100, 0, 32767, 90},
    ListScrollCase{100, 50, -60, 0},
    ListScrollCase{5, 0, 3, 0},              // all fit
    ListScrollCase{2147483647, 2147483637, 2147483647, 2147483637}));

TEST(VirtualList, WheelScrollsThreeRowsPerNotch)
{
    ListFixture f(100);
    f.m.Wheel(-1);
    EXPECT_EQ(f.m.TopIndex(), 3);
    f.m.Wheel(-720);
    EXPECT_EQ(f.m.TopIndex(), 6);
    f.m.Wheel(120);
    EXPECT_EQ(f.m.TopIndex(), 3);
}

TEST(VirtualList, CtrlAndShiftSelectOnlyThroughOnSelect)
{
    ListFixture f(50, true);
    f.m.MouseDown(2 * 17 + 3, false, false); // plain click on item 2
    f.m.MouseUp();
    EXPECT_EQ(f.m.ItemIndex(), 2);
    EXPECT_EQ(f.selected, (std::set<int>{2}));
    f.m.MouseDown(5 * 17 + 3, true, false); // Ctrl: toggles 5 in
    EXPECT_EQ(f.selected, (std::set<int>{2, 5}));
    f.m.MouseDown(2 * 17 + 3, true, false); // and 2 out
    EXPECT_EQ(f.selected, (std::set<int>{5}));
    f.m.MouseDown(8 * 17 + 3, false, true); // Shift: anchor (2) to 8
    EXPECT_EQ(f.selected, (std::set<int>{2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(f.m.ItemIndex(), 8);
    f.m.DoCommand(ccExtendUp);
    EXPECT_EQ(f.selected, (std::set<int>{2, 3, 4, 5, 6, 7}));
    f.m.DoCommand(ccDown); // a plain move clears the owner's selection
    EXPECT_EQ(f.selected, (std::set<int>{8}));
}

TEST(VirtualList, SingleSelectIgnoresExtendAndShift)
{
    ListFixture f(50);
    f.m.OnSelect = nullptr;
    f.m.OnIsSelected = nullptr;
    f.m.SetItemIndex(3);
    f.m.DoCommand(ccExtendDown);
    EXPECT_EQ(f.m.ItemIndex(), 3);
    f.m.MouseDown(6 * 17, false, true);
    f.m.MouseUp();
    EXPECT_EQ(f.m.ItemIndex(), 6) << "Shift+click is a plain click";
    EXPECT_TRUE(f.m.DoOnIsSelected(6));
}

TEST(VirtualList, MissingSelectionEventsRaise)
{
    TVirtualListModel m;
    m.MultiSelect = true;
    m.SetNumItems(10);
    EXPECT_THROW(m.DoOnIsSelected(1), EOnIsSelectedNotAssigned);
    try {
        m.DoOnSelect(1, true);
        FAIL();
    } catch (const EVirtualListBoxError& e) {
        EXPECT_STREQ(e.what(), "OnSelect event is not assigned");
    }
}

TEST(VirtualList, ProtectedItemIsNotSelected)
{
    ListFixture f(20, true);
    f.m.OnGetItemStatus = [](int i, bool& p) { p = i == 4; };
    f.m.SetItemIndex(4);
    EXPECT_EQ(f.m.ItemIndex(), 4);
    EXPECT_TRUE(f.selected.empty());
}

TEST(VirtualList, ShrinkingBelowTheCurrentItemClearsIt)
{
    ListFixture f(20, true);
    f.m.SetItemIndex(15);
    f.selects.clear();
    f.m.SetNumItems(10);
    EXPECT_EQ(f.m.ItemIndex(), -1);
    ASSERT_FALSE(f.selects.empty());
    EXPECT_EQ(f.selects.front(), std::make_pair(15, false));
    EXPECT_EQ(f.m.TopIndex(), 0);
}

struct ListKeyCase {
    int start, command, index, top;
};
class VirtualListKeys : public ::testing::TestWithParam<ListKeyCase> {};
TEST_P(VirtualListKeys, MovesAndScrollsIntoView)
{
    const auto& c = GetParam();
    ListFixture f(100);
    f.m.SetItemIndex(c.start);
    f.m.DoCommand(c.command);
    EXPECT_EQ(f.m.ItemIndex(), c.index) << "command " << c.command << " from " << c.start;
    EXPECT_EQ(f.m.TopIndex(), c.top) << "command " << c.command << " from " << c.start;
}
INSTANTIATE_TEST_SUITE_P(Commands, VirtualListKeys, ::testing::Values(
    ListKeyCase{0, ccDown, 1, 0},
    ListKeyCase{9, ccDown, 10, 1},
    ListKeyCase{0, ccUp, 0, 0},
    ListKeyCase{99, ccDown, 99, 90},
    ListKeyCase{0, ccNextPage, 9, 0},
    ListKeyCase{9, ccNextPage, 18, 9},
    ListKeyCase{95, ccNextPage, 99, 90},
    ListKeyCase{5, ccPrevPage, 0, 0},
    ListKeyCase{50, ccEnd, 99, 90},
    ListKeyCase{50, ccHome, 0, 0},
    ListKeyCase{4, ccRight, 5, 0}));      // no horizontal bar: Right is Down

TEST(VirtualList, UserCommandsAndCharToItem)
{
    ListFixture f(100);
    int got = 0;
    f.m.OnUserCommand = [&](int c) { got = c; };
    f.m.DoCommand(257);
    EXPECT_EQ(got, 257);
    f.m.OnCharToItem = [](char ch, int& index) { index = ch == 'z' ? 60 : 500; };
    f.m.DoChar('z');
    EXPECT_EQ(f.m.ItemIndex(), 60);
    f.m.DoChar('a'); // beyond the last: ignored
    EXPECT_EQ(f.m.ItemIndex(), 60);
}

TEST(VirtualList, ItemAtCursorWalksBeyondTheEdges)
{
    ListFixture f(100);
    f.m.ShowHeader = true;
    f.m.SetGeometry(175, 17); // header + 9 rows, a partial row below
    f.m.SetTopIndex(20);
    EXPECT_EQ(f.m.ItemAtCursor(17), 20);
    EXPECT_EQ(f.m.ItemAtCursor(172), 28) << "partial row: the last visible row";
    EXPECT_EQ(f.m.ItemAtCursor(5), 19) << "on the header: one above the top";
    EXPECT_EQ(f.m.ItemAtCursor(-40), 17) << "further above walks further up";
    EXPECT_EQ(f.m.ItemAtCursor(180), 30);
    EXPECT_TRUE(f.m.OnHeader(5));
}

TEST(VirtualList, UnbalancedEndUpdateRaises)
{
    TVirtualListModel m;
    m.BeginUpdate();
    m.EndUpdate();
    try {
        m.EndUpdate();
        FAIL();
    } catch (const EOvcException& e) {
        EXPECT_STREQ(e.what(), "Mismatched BeginUpdate/EndUpdate");
    }
    EXPECT_EQ(m.UpdateCount(), 0);
}

TEST(VirtualList, MissingOnGetItemShowsTheWarning)
{
    TVirtualListModel m;
    EXPECT_EQ(m.DoOnGetItem(7), "7. *** Warning *** OnGetItem not assigned!");
}

TEST(VirtualList, ListBoxMessages)
{
    ListFixture f(100, true);
    TVirtualListModel& m = f.m;
    EXPECT_EQ(m.Perform(LB_GETCOUNT, 0, 0), 100);
    EXPECT_EQ(m.Perform(LB_SETCURSEL, 5, 0), LB_ERR) << "multi-select takes no single selection";
    EXPECT_EQ(m.Perform(LB_SETSEL, 1, 7), 0);
    EXPECT_EQ(m.Perform(LB_GETSEL, 7, 0), 1);
    EXPECT_EQ(m.Perform(LB_GETSEL, 100, 0), LB_ERR);
    EXPECT_EQ(m.Perform(LB_SETSEL, 1, 100), LB_ERR);
    EXPECT_EQ(m.Perform(LB_SELITEMRANGE, 1, (12 << 16) | 10), 0);
    EXPECT_EQ(f.selected, (std::set<int>{7, 10, 11, 12}));
    EXPECT_EQ(m.Perform(LB_SETSEL, 0, -1), 0);
    EXPECT_TRUE(f.selected.empty());
    EXPECT_EQ(m.Perform(LB_SETTOPINDEX, 40, 0), 0);
    EXPECT_EQ(m.Perform(LB_GETTOPINDEX, 0, 0), 40);
    EXPECT_EQ(m.Perform(LB_SETTOPINDEX, 100, 0), LB_ERR);
    TListRect r;
    m.ClientWidth = 120;
    m.Perform(LB_GETITEMRECT, 42, reinterpret_cast<intptr_t>(&r));
    EXPECT_EQ(r.top, 34);
    EXPECT_EQ(r.bottom, 51);
    EXPECT_EQ(r.right, 120);
    EXPECT_EQ(m.Perform(LB_GETITEMHEIGHT, 0, 0), 17);

    m.DialogUnitWidth = 2;
    std::vector<int> stops(200, 10);
    EXPECT_EQ(m.Perform(LB_SETTABSTOPS, 200, reinterpret_cast<intptr_t>(stops.data())), 0);
    EXPECT_EQ(m.TabStops().size(), 128u);
    EXPECT_EQ(m.TabStops()[0], 20);
    EXPECT_EQ(m.Perform(LB_SETTABSTOPS, 2, reinterpret_cast<intptr_t>(stops.data())), 1);

    EXPECT_EQ(m.Perform(LB_RESETCONTENT, 0, 0), 0);
    EXPECT_EQ(m.NumItems(), 0);

    ListFixture single(100);
    EXPECT_EQ(single.m.Perform(LB_SETCURSEL, 5, 0), 0);
    EXPECT_EQ(single.m.Perform(LB_GETCURSEL, 0, 0), 5);
    EXPECT_EQ(single.m.Perform(LB_SETCURSEL, 100, 0), LB_ERR);
    EXPECT_EQ(single.m.Perform(LB_SETSEL, 1, 3), LB_ERR);
}

TEST(VirtualList, TopChangeFiresOncePerChange)
{
    ListFixture f(100);
    f.m.SetTopIndex(10);
    f.m.SetTopIndex(10);
    f.m.SetTopIndex(95); // clamped to the last page
    EXPECT_EQ(f.tops, (std::vector<int>{10, 90}));
}
