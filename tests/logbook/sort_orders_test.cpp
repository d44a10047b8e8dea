#include "logbook/sort_orders.h"

#include <gtest/gtest.h>

#include "fake_lookup.h"
#include "logbook/custom_award.h"
#include "platform/message_dlg.h"

using namespace korval;
using korval::test::NewQso;

namespace {
int Sign(std::int32_t v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

struct OrderCase {
    const char* name;
    TCompareFunc compare;
    void (*change)(TQsoRecord& b);  // applied to the second of two equal records
    int expected;                   // sign of compare(a, b)
};

void Base(TQsoRecord& r)
{
    r.Call.assign("K1ABC");
    r.Date = 100;
    r.Time = 600;
    r.Band = 5;
    r.Mode = 4;
}
} // namespace

class SortOrderTable : public ::testing::TestWithParam<OrderCase> {};

TEST_P(SortOrderTable, ComparesByItsKeys)
{
    TQsoRecord a, b;
    Base(a);
    Base(b);
    GetParam().change(b);
    EXPECT_EQ(Sign(GetParam().compare(&a, &b)), GetParam().expected) << GetParam().name;
    EXPECT_EQ(Sign(GetParam().compare(&b, &a)), -GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Orders, SortOrderTable,
    ::testing::Values(
        OrderCase{"date before time", CompareQsoByDate, [](TQsoRecord& b) { b.Date = 101; b.Time = 0; }, -1},
        OrderCase{"same moment: by call", CompareQsoByDate, [](TQsoRecord& b) { b.Call.assign("K1ABD"); }, -1},
        OrderCase{"same call: by band", CompareQsoByDate, [](TQsoRecord& b) { b.Band = 4; }, 1},
        OrderCase{"then mode", CompareQsoByDate, [](TQsoRecord& b) { b.Mode = 5; }, -1},
        OrderCase{"shorter call first", CompareQsoByCall, [](TQsoRecord& b) { b.Call.assign("K1ABCD"); b.Date = 1; }, -1},
        OrderCase{"call bytes unsigned", CompareQsoByCall, [](TQsoRecord& b) { b.Call.assign("K1AB\xC9"); }, -1},
        OrderCase{"call equal: by date", CompareQsoByCall, [](TQsoRecord& b) { b.Date = 99; }, 1},
        OrderCase{"country number, not text", CompareQsoByCountry, [](TQsoRecord& b) { b.Country = 1; b.Call.assign("A"); }, -1},
        OrderCase{"band before country", CompareQsoByBand, [](TQsoRecord& b) { b.Band = 6; b.Country = 0; }, -1},
        OrderCase{"zone first", CompareQsoByZone, [](TQsoRecord& b) { b.Zone = 1; b.Band = 1; }, -1},
        OrderCase{"state first", CompareQsoByState, [](TQsoRecord& b) { b.State = 2; b.Band = 1; }, -1},
        OrderCase{"iota text", CompareQsoByIota, [](TQsoRecord& b) { b.Iota.assign("EU001"); }, -1},
        OrderCase{"grid text", CompareQsoByGrid, [](TQsoRecord& b) { b.Grid.assign("AA"); b.Band = 1; }, -1},
        OrderCase{"county ignores the rest", CompareQsoByCounty, [](TQsoRecord& b) { b.Call.assign("Z"); b.Date = 1; }, 0},
        OrderCase{"county number", CompareQsoByCounty, [](TQsoRecord& b) { b.County = 300; }, -1},
        OrderCase{"group, then date", CompareQsoByGroup, [](TQsoRecord& b) { b.Date = 1; }, 1},
        OrderCase{"wpx text", CompareQsoByWpx, [](TQsoRecord& b) { b.WpxPrefix.assign("K1"); }, -1},
        OrderCase{"print sequence only", CompareQsoByPrintSeq, [](TQsoRecord& b) { b.SeqPrtNr = 65535; b.Date = 1; }, -1},
        OrderCase{"band mode call", CompareQsoBandModeCall, [](TQsoRecord& b) { b.Mode = 3; b.Call.assign("A"); }, 1}));

TEST(SortOrders, NamesAndTable)
{
    EXPECT_STREQ(SortOrderNames[soCustAwd], "Cust Awd");
    EXPECT_STREQ(SortOrderNames[soPrtSeqNr], "PrtSeqNr");
    EXPECT_EQ(SortOrderCompare(soPrefix), &CompareQsoByCountry);
    EXPECT_EQ(SortOrderCompare(soCallsign), nullptr);
    EXPECT_EQ(SortOrderCompare(soDate), nullptr);
    EXPECT_EQ(SortOrderCompare(13), nullptr);
    EXPECT_EQ(SortOrderCompare(-1), nullptr);
}

TEST(SortOrders, CustomAwardOrderUsesLongNamesAndValues)
{
    SetCustAwardList(TCustAwardList::LoadFromText("[ZZZ]\nawdname=Alpha\nb=Bravo\na=Zulu\n[AAA]\nawdname=Omega\n", "x"));
    TQsoRecord a, b;
    Base(a);
    Base(b);
    a.CustAwdId.assign("ZZZ");
    b.CustAwdId.assign("AAA");
    EXPECT_LT(CompareQsoByCustomAward(&a, &b), 0);  // "Alpha" before "Omega"
    b.CustAwdId.assign("zzz");
    a.CustAwdVal.assign("A");  // Zulu
    b.CustAwdVal.assign("B");  // Bravo
    EXPECT_GT(CompareQsoByCustomAward(&a, &b), 0);
    b.CustAwdVal.assign("a");
    EXPECT_EQ(CompareQsoByCustomAward(&a, &b), 0);
    SetCustAwardList(nullptr);
}
