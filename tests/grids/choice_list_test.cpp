// The choice box model: Selection and AllowDefault, keys on a closed list, type-ahead search,
// matching the text when the list opens, and the change event a form may hold off.
#include <gtest/gtest.h>

#include "grids/choice_list.h"

using namespace korval;

namespace {
void Fill(TChoiceModel& m, std::initializer_list<const char*> items)
{
    for (auto* s : items)
        m.Items.Add(s);
}
} // namespace

struct WheelxSelCase {
    bool allowDefault;
    int items;
    int set;
    int itemIndex;
    int get;
};
class WheelxSelection : public ::testing::TestWithParam<WheelxSelCase> {};
TEST_P(WheelxSelection, ClampsToTheItems)
{
    const auto& c = GetParam();
    TWheelxModel m;
    for (int i = 0; i < c.items; ++i)
        m.Items.Add("Item" + std::to_string(i));
    m.SetAllowDefault(c.allowDefault);
    m.SetSelection(c.set);
    EXPECT_EQ(m.ItemIndex(), c.itemIndex) << "set " << c.set;
    EXPECT_EQ(m.GetSelection(), c.get) << "set " << c.set;
}
INSTANTIATE_TEST_SUITE_P(Cases, WheelxSelection, ::testing::Values(
    WheelxSelCase{false, 5, 0, 0, 1},     // below the first item: the first
    WheelxSelCase{false, 5, 99, 4, 5},    // beyond the last: the last
    WheelxSelCase{false, 5, 3, 2, 3},
    WheelxSelCase{true, 5, 0, 0, 0},      // 0 is the blank item
    WheelxSelCase{true, 5, 1, 1, 1},      // 1 the first real item
    WheelxSelCase{true, 5, 99, 5, 5},
    WheelxSelCase{false, 0, 1, -1, 0},    // empty box: nothing selected, -1 + 1
    WheelxSelCase{true, 0, 3, 0, 0}));    // only the blank item

TEST(Wheelx, NothingSelectedReadsOffsetMinusOne)
{
    TWheelxModel m;
    Fill(m, {"A", "B"});
    EXPECT_EQ(m.GetSelection(), 0);
    m.SetAllowDefault(true);
    EXPECT_EQ(m.GetSelection(), -1);
}

TEST(Wheelx, AllowDefaultTwiceAddsOneBlankAndOffKeepsTheItems)
{
    TWheelxModel m;
    Fill(m, {"CW", "SSB"});
    m.SetAllowDefault(true);
    m.SetAllowDefault(true);
    ASSERT_EQ(m.Items.Count(), 3);
    EXPECT_EQ(m.Items[0], " ");
    EXPECT_EQ(m.Items[1], "CW");
    m.SetSelection(2);
    EXPECT_EQ(m.Text(), "SSB");
    m.SetAllowDefault(false);
    m.SetAllowDefault(false);
    ASSERT_EQ(m.Items.Count(), 2);
    EXPECT_EQ(m.Items[0], "CW");
    EXPECT_EQ(m.GetSelection(), 2); // still SSB
}

// The QSO window's band box: the switch is on while the items are given afresh, then a QSO
// with a band turns it off. Its first real item must stay and band 5 must read as the fifth.
TEST(Wheelx, ItemsGivenAfterTheSwitchKeepTheirFirstItem)
{
    TWheelxModel m;
    m.SetAllowDefault(true);
    m.Items.Clear();
    Fill(m, {"160m", "80m", "40m", "30m", "20m", "17m"});
    m.SetAllowDefault(false);
    ASSERT_EQ(m.Items.Count(), 6);
    EXPECT_EQ(m.Items[0], "160m");
    m.SetSelection(5);
    EXPECT_EQ(m.Text(), "20m");
    m.SetAllowDefault(true);
    m.SetSelection(0);
    EXPECT_EQ(m.Text(), " ");
    m.SetSelection(1);
    EXPECT_EQ(m.Text(), "160m");
}

TEST(Wheelx, FirstLetterSearchWrapsAndIgnoresCase)
{
    TWheelxModel m;
    Fill(m, {"Mike", "alpha", "mode", "Bravo", "MIX"});
    m.SetSelection(5); // MIX, the last M item
    m.KeyChar('m');
    EXPECT_EQ(m.ItemIndex(), 0);
    EXPECT_EQ(m.Text(), "Mike");
    m.KeyChar('M');
    EXPECT_EQ(m.ItemIndex(), 2);
    m.KeyChar('z'); // no item: nothing moves
    EXPECT_EQ(m.ItemIndex(), 2);
    m.KeyChar('b');
    EXPECT_EQ(m.Text(), "Bravo");
}

// What the operator typed, one key every stepMs, and the line it must pick.
struct TypeAheadCase {
    const char* typed;
    int stepMs;
    const char* picked;
};
class TypeAhead : public ::testing::TestWithParam<TypeAheadCase> {};
TEST_P(TypeAhead, TypedPrefixSelectsTheItem)
{
    TWheelxModel m;
    Fill(m, {"AM", "ATV", "CLOV", "CW", "FM", "FSTV", "GTOR", "MTOR", "PACK", "PSK", "PSK3", "PTOR", "RTTY", "SSB",
             "SSTV", "160m", "80m", "40m", "30m", "20m", "17m", "15m", "12m", "10m"});
    m.SetSelection(5); // FM
    std::int64_t t = 5000;
    for (const char* c = GetParam().typed; *c; ++c, t += GetParam().stepMs)
        m.KeyChar(*c, t);
    EXPECT_EQ(m.Text(), GetParam().picked) << "typed " << GetParam().typed << " every " << GetParam().stepMs << " ms";
}
INSTANTIATE_TEST_SUITE_P(Choices, TypeAhead, ::testing::Values(
    TypeAheadCase{"CW", 100, "CW"}, TypeAheadCase{"cw", 100, "CW"}, TypeAheadCase{"SSB", 100, "SSB"},
    TypeAheadCase{"SST", 100, "SSTV"}, TypeAheadCase{"15", 100, "15m"}, TypeAheadCase{"PSK3", 100, "PSK3"},
    // A repeated letter steps through the lines that start with it.
    TypeAheadCase{"S", 100, "SSB"}, TypeAheadCase{"SS", 100, "SSTV"}, TypeAheadCase{"PPPP", 100, "PTOR"},
    // After a pause each key starts afresh; a letter no prefix continues starts a new one.
    TypeAheadCase{"CW", 1500, "CLOV"}, TypeAheadCase{"CX", 100, "CLOV"}, TypeAheadCase{"SR", 100, "RTTY"}));

TEST(Wheelx, LetterOnOpenListMovesTheLineButNotTheText)
{
    TWheelxModel m;
    Fill(m, {"one", "two", "three"});
    m.SetSelection(1);
    m.Dropped = true;
    m.KeyChar('t');
    EXPECT_EQ(m.ItemIndex(), 1);
    EXPECT_EQ(m.Text(), "one");
}

struct ChoiceKeyCase {
    TPopupBoxStyle style;
    int start;
    TChoiceKey key;
    bool consumed;
    int index;
};
class ClosedListKeys : public ::testing::TestWithParam<ChoiceKeyCase> {};
TEST_P(ClosedListKeys, StepWithinTheEnds)
{
    const auto& c = GetParam();
    TChoiceModel m;
    m.Style = c.style;
    Fill(m, {"160m", "80m", "40m", "20m"});
    m.SetItemIndex(c.start);
    EXPECT_EQ(m.KeyDown(c.key), c.consumed) << static_cast<int>(c.key);
    EXPECT_EQ(m.ItemIndex(), c.index) << static_cast<int>(c.key);
    if (c.index >= 0) {
        EXPECT_EQ(m.Text(), m.Items[c.index]);
    }
}
INSTANTIATE_TEST_SUITE_P(Keys, ClosedListKeys, ::testing::Values(
    ChoiceKeyCase{pbsDropDownList, 1, TChoiceKey::Right, true, 2},
    ChoiceKeyCase{pbsDropDownList, 1, TChoiceKey::Left, true, 0},
    ChoiceKeyCase{pbsDropDownList, 0, TChoiceKey::Left, true, 0},    // beyond the first: nothing
    ChoiceKeyCase{pbsDropDownList, 3, TChoiceKey::Right, true, 3},   // beyond the last: nothing
    ChoiceKeyCase{pbsDropDownList, 1, TChoiceKey::PgDn, true, 2},
    ChoiceKeyCase{pbsDropDownList, 2, TChoiceKey::Up, true, 1},
    ChoiceKeyCase{pbsDropDownList, 1, TChoiceKey::End, true, 3},
    ChoiceKeyCase{pbsDropDownList, 2, TChoiceKey::Home, true, 0},
    ChoiceKeyCase{pbsDropDown, 1, TChoiceKey::Right, false, 1},      // the edit keeps Left/Right/Home/End
    ChoiceKeyCase{pbsDropDown, 1, TChoiceKey::Home, false, 1},
    ChoiceKeyCase{pbsDropDown, 1, TChoiceKey::Down, true, 2}));

TEST(ChoiceBox, IgnoreArrowKeysLeavesKeysToTheForm)
{
    TChoiceModel m;
    Fill(m, {"a", "b"});
    m.SetItemIndex(0);
    m.IgnoreArrowKeys = true;
    EXPECT_FALSE(m.KeyDown(TChoiceKey::Down));
    EXPECT_EQ(m.ItemIndex(), 0);
}

TEST(ChoiceBox, OnChangeHeldOffWhileTheFormSetsTheSelection)
{
    TWheelxModel m;
    Fill(m, {"Buro", "Direct", "Other"});
    int changes = 0;
    auto handler = [&] { ++changes; };
    m.OnChange = handler;
    // The form detaches its handler while it shows a record, then attaches it again.
    m.OnChange = nullptr;
    m.SetSelection(2);
    m.OnChange = handler;
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(m.Changed, 0);
    m.KeyDown(TChoiceKey::Down); // the operator's pick
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(m.Changed, 1);
    m.SetSelection(1);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(m.Changed, 0) << "SetSelection clears the changed mark";
}

TEST(ChoiceBox, SetFieldValueMayRewriteOrRefuse)
{
    TChoiceModel m;
    Fill(m, {"a", "b"});
    m.OnSetFieldValue = [](int index, std::string& value, bool& allowed) {
        if (index == 1)
            allowed = false;
        value = "<" + value + ">";
    };
    m.SetItemIndex(0);
    EXPECT_EQ(m.Text(), "<a>");
    m.SetItemIndex(1);
    EXPECT_EQ(m.Text(), "<a>");
    m.ReadOnly = true;
    m.OnSetFieldValue = nullptr;
    m.SetItemIndex(0);
    EXPECT_FALSE(m.TakeTextFromSelection());
}

TEST(ChoiceBox, MatchTextOnOpen)
{
    TChoiceModel m;
    Fill(m, {"Germany", "Greece", "Greenland"});
    m.SetText("greece");
    m.MatchText();
    EXPECT_EQ(m.ItemIndex(), 1);
    m.SetText("Gre");
    m.MatchText();
    EXPECT_EQ(m.ItemIndex(), 1) << "longest prefix, first of equals";
    m.SetText("Greenl");
    m.MatchText();
    EXPECT_EQ(m.ItemIndex(), 2);
    m.Style = pbsDropDown;
    m.SetText("Gre");
    m.MatchText();
    EXPECT_EQ(m.ItemIndex(), -1) << "a free-text box selects only an equal item";
    m.SetText("");
    m.MatchText();
    EXPECT_EQ(m.ItemIndex(), 0);
}

TEST(ChoiceBox, TypingInAnOpenFreeTextBoxClearsTheLine)
{
    TChoiceModel m;
    m.Style = pbsDropDown;
    Fill(m, {"a", "b"});
    m.SetItemIndex(1);
    m.Dropped = true;
    m.EditText("bx");
    EXPECT_EQ(m.ItemIndex(), -1);
}

TEST(ChoiceBox, SelectionFollowsInsertedAndDeletedLines)
{
    TChoiceModel m;
    Fill(m, {"a", "b", "c"});
    m.SetItemIndex(1);
    m.Items.Insert(0, "z");
    EXPECT_EQ(m.ItemIndex(), 2);
    m.Items.Delete(2);
    EXPECT_EQ(m.ItemIndex(), -1);
    m.Items.SetSorted(true);
    EXPECT_EQ(m.Items[0], "a");
    EXPECT_EQ(m.Items.Add("B"), 1);
}
