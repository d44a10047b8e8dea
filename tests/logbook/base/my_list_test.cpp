#include "logbook/base/my_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

using namespace korval;

namespace {

struct Item {
    int key;
    int tag;
};

std::int32_t ByKey(const void* a, const void* b)
{
    return static_cast<const Item*>(a)->key - static_cast<const Item*>(b)->key;
}
std::int32_t ByTag(const void* a, const void* b)
{
    return static_cast<const Item*>(a)->tag - static_cast<const Item*>(b)->tag;
}

const Item& ItemAt(const TMyList& l, int i) { return *static_cast<const Item*>(l.At(i)); }

} // namespace

struct GrowCase {
    std::int32_t from;
    std::int32_t to;
};
class ListGrowth : public ::testing::TestWithParam<GrowCase> {};
TEST_P(ListGrowth, AddToAFullListGrowsBySteps)
{
    TMyList list;
    list.SetCount(GetParam().from);
    list.Add(nullptr);
    EXPECT_EQ(list.Capacity(), GetParam().to) << "from " << GetParam().from;
}
INSTANTIATE_TEST_SUITE_P(Steps, ListGrowth, ::testing::Values(
    GrowCase{0, 4}, GrowCase{8, 12}, GrowCase{9, 25}, GrowCase{64, 80}, GrowCase{65, 81}, GrowCase{100, 125}));

TEST(MyList, CapacityAndCountOutOfBoundsRaiseAndLeaveTheListUnchanged)
{
    TMyList list;
    int a = 1, b = 2;
    list.Add(&a);
    list.Add(&b);
    struct Bad { std::int32_t n; bool count; const char* text; };
    for (const Bad& c : {Bad{1, false, "List capacity out of bounds (1)"},
                         Bad{MaxListSize, false, "List capacity out of bounds (134217728)"},
                         Bad{-1, true, "List count out of bounds (-1)"},
                         Bad{MaxListSize, true, "List count out of bounds (134217728)"}}) {
        try {
            c.count ? list.SetCount(c.n) : list.SetCapacity(c.n);
            ADD_FAILURE() << c.text << " not raised";
        } catch (const EListError& e) {
            EXPECT_STREQ(e.what(), c.text);
        }
        EXPECT_EQ(list.Count(), 2);
        EXPECT_EQ(list.Capacity(), 4);
        EXPECT_EQ(list.At(1), &b);
    }
}

TEST(MyList, InsertDeleteAndSetCountKeepPointersInPlace)
{
    TMyList list;
    int v[5] = {};
    for (int i = 0; i < 4; ++i)
        list.Add(&v[i]);
    list.Insert(0, &v[4]);  // full list: grows, then moves everything up
    EXPECT_EQ(list.Capacity(), 8);
    EXPECT_EQ(list.At(0), &v[4]);
    EXPECT_EQ(list.At(4), &v[3]);
    list.Delete(1);
    EXPECT_EQ(list.At(1), &v[1]);
    EXPECT_EQ(list.IndexOf(&v[0]), -1);
    EXPECT_EQ(list.IndexOf(&v[3]), 3);
    list.SetCount(6);  // new entries are cleared
    EXPECT_EQ(list.At(4), nullptr);
    EXPECT_EQ(list.At(5), nullptr);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 0);
}

TEST(BAI, FindGivesTheFirstPositionNotBelowTheKey)
{
    TBAI list(ByKey);
    std::int32_t index = -5;
    Item key{20, 0};
    EXPECT_FALSE(list.Find(&key, index));
    EXPECT_EQ(index, 0);

    std::vector<Item> items = {{10, 0}, {20, 1}, {20, 2}, {20, 3}, {20, 4}, {30, 5}, {20, 6}, {20, 7}};
    for (auto& it : items)
        list.Add(&it);
    // Equal keys: every new one went in before those already there.
    std::vector<int> tags;
    for (int i = 0; i < list.Count(); ++i)
        tags.push_back(ItemAt(list, i).tag);
    EXPECT_EQ(tags, (std::vector<int>{0, 7, 6, 4, 3, 2, 1, 5}));

    struct Q { int key; bool found; std::int32_t index; };
    for (const Q& q : {Q{20, true, 1}, Q{5, false, 0}, Q{10, true, 0}, Q{15, false, 1}, Q{25, false, 7},
                       Q{30, true, 7}, Q{99, false, 8}}) {
        Item k{q.key, 0};
        EXPECT_EQ(list.Find(&k, index), q.found) << q.key;
        EXPECT_EQ(index, q.index) << q.key;
    }
}

TEST(BAI, SortOrdersLargeListsWithManyEqualKeys)
{
    std::mt19937 rng(7);
    for (int n : {2, 11, 12, 13, 100, 5000}) {
        std::vector<Item> items(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            items[static_cast<std::size_t>(i)] = {static_cast<int>(rng() % 50), i};
        TBAI list(nullptr);
        for (auto& it : items)
            list.Add(&it);
        EXPECT_EQ(list.Count(), n);
        list.SetCompare(ByKey);
        EXPECT_FALSE(list.Sorted());
        list.SetSorted(true);
        EXPECT_TRUE(list.Sorted());
        std::vector<int> tagsSeen;
        for (int i = 0; i < n; ++i) {
            if (i > 0) {
                ASSERT_LE(ItemAt(list, i - 1).key, ItemAt(list, i).key) << "n=" << n << " at " << i;
            }
            tagsSeen.push_back(ItemAt(list, i).tag);
        }
        std::sort(tagsSeen.begin(), tagsSeen.end());
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(tagsSeen[static_cast<std::size_t>(i)], i) << "an item was lost or doubled";
    }
}

namespace {
std::vector<bool> g_notices;
void RecordNotice(bool starting) { g_notices.push_back(starting); }
} // namespace

TEST(BAI, OnlyLongSortsAreAnnounced)
{
    TSortNotify old = SetSortNotify(RecordNotice);
    for (int n : {4999, 5000}) {
        g_notices.clear();
        std::vector<Item> items(static_cast<std::size_t>(n));
        TBAI list(nullptr);
        for (int i = 0; i < n; ++i) {
            items[static_cast<std::size_t>(i)] = {n - i, i};
            list.Add(&items[static_cast<std::size_t>(i)]);
        }
        list.SetCompare(ByKey);
        list.SetSorted(true);
        std::vector<bool> expected;
        if (n >= 5000)
            expected = {true, false};
        EXPECT_EQ(g_notices, expected) << n;
    }
    SetSortNotify(old);
}

namespace {
int g_freed = 0;
class CountingList : public TBRSorted {
public:
    using TBRSorted::TBRSorted;
    ~CountingList() override { FreeAll(); }

protected:
    void FreeItem(void* item) override
    {
        ++g_freed;
        TBRSorted::FreeItem(item);
    }
};
} // namespace

TEST(BRSorted, SecondaryIndexesFollowAddAndDeleteAndOwnNothing)
{
    g_freed = 0;
    {
        CountingList list(ByKey);
        for (int i = 0; i < 6; ++i)
            list.Add(new Item{i % 3, 10 - i});  // keys 0 1 2 0 1 2, tags 10..5
        TBAI* byTag = list.AddIndex(ByTag);
        EXPECT_TRUE(byTag->Sorted());
        EXPECT_EQ(ItemAt(*byTag, 0).tag, 5);
        list.Add(new Item{1, 1});  // enters both orders
        EXPECT_EQ(ItemAt(*byTag, 0).tag, 1);
        EXPECT_EQ(ItemAt(list, 2).tag, 1);  // before the equal keys 1
        // Remove the item with tag 7 (key 0): from the key order and from the tag order.
        std::int32_t at = -1;
        for (int i = 0; i < list.Count(); ++i)
            if (ItemAt(list, i).tag == 7)
                at = i;
        list.DeleteAndFree(at);
        EXPECT_EQ(g_freed, 1);
        EXPECT_EQ(list.Count(), 6);
        EXPECT_EQ(byTag->Count(), 6);
        for (int i = 0; i < byTag->Count(); ++i)
            EXPECT_NE(ItemAt(*byTag, i).tag, 7);
        TBAI* byKey2 = list.AddIndex(ByKey);
        list.RemoveIndex(byKey2);  // the items stay
        EXPECT_EQ(list.Count(), 6);
        EXPECT_EQ(g_freed, 1);
    }
    EXPECT_EQ(g_freed, 7);
}

TEST(BRSorted, BulkLoadAppendsAndEndUpdateSortsEachIndexOnce)
{
    TBRSorted list(ByKey);
    TBAI* byTag = list.AddIndex(ByTag);
    list.SetCapacityAll(100);
    EXPECT_EQ(byTag->Capacity(), 100);
    list.BeginUpdate(false);
    // Deliberately out of key order: EndUpdate(true) trusts the caller and keeps it.
    for (int i = 0; i < 5; ++i)
        list.Add(new Item{5 - i, (i * 3) % 5});
    list.EndUpdate(true);
    EXPECT_TRUE(list.Sorted());
    EXPECT_EQ(ItemAt(list, 0).key, 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(ItemAt(*byTag, i).tag, i);
    list.BeginUpdate(false);
    list.EndUpdate(false);
    EXPECT_EQ(ItemAt(list, 0).key, 1);
}
