#include "logbook/log_list_view.h"

#include "logbook/country_fixture.h"
#include "logbook/custom_award.h"
#include "logbook/qso_data.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace korval;
using korval::test::Day;

namespace {

// Six QSOs whose calls, dates, bands, countries and zones each order them differently.
class LogListViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Add("OE1AA", Day(2020, 1, 3), 7, 6, 15);
        Add("DL1AA", Day(2020, 1, 1), 5, 1, 14);
        Add("W1AW", Day(2020, 1, 6), 3, 3, 5);
        Add("F5XY", Day(2020, 1, 2), 5, 2, 14);
        Add("DL2BB", Day(2020, 1, 5), 3, 1, 14);
        Add("K1ABC", Day(2020, 1, 4), 9, 3, 5);
    }
    TQsoRecord* Add(const char* call, TDayNumber date, int band, int country, int zone)
    {
        auto* q = new TQsoRecord;
        q->Call.assign(call);
        q->Date = date;
        q->Band = static_cast<std::uint8_t>(band);
        q->Country = static_cast<std::uint16_t>(country);
        q->Zone = static_cast<std::uint8_t>(zone);
        log_.InsertQso(q);
        return q;
    }
    static std::string Calls(const TLogListView& v)
    {
        std::string s;
        for (int i = 0; i < v.Count(); ++i)
            s += (i ? " " : "") + v.At(i)->Call.str();
        return s;
    }
    TQsoData log_;
};

struct OrderCase {
    int order;
    const char* calls;
};
class LogListOrders : public LogListViewTest, public ::testing::WithParamInterface<OrderCase> {};

} // namespace

TEST_P(LogListOrders, RebuildSortsTheViewByTheOrder)
{
    TLogListView view(&log_);
    view.SetSortOrder(GetParam().order);
    view.Rebuild();
    EXPECT_EQ(Calls(view), GetParam().calls) << SortOrderNames[GetParam().order];
}
INSTANTIATE_TEST_SUITE_P(
    EveryKindOfOrder, LogListOrders,
    ::testing::Values(OrderCase{soDate, "DL1AA F5XY OE1AA K1ABC DL2BB W1AW"},
                      OrderCase{soCallsign, "DL1AA DL2BB F5XY K1ABC OE1AA W1AW"},
                      OrderCase{soBand, "DL2BB W1AW DL1AA F5XY OE1AA K1ABC"},    // band, then country
                      OrderCase{soPrefix, "DL2BB DL1AA F5XY W1AW K1ABC OE1AA"},  // country number, band
                      OrderCase{soZone, "W1AW K1ABC DL2BB DL1AA F5XY OE1AA"}));

TEST_F(LogListViewTest, FilterAndPostedQsosKeepTheViewInOrder)
{
    TLogListView view(&log_);
    std::vector<std::pair<int, bool>> changes;
    view.OnRowChanged = [&](int row, bool inserted) { changes.emplace_back(row, inserted); };
    view.SetFilter([](const TQsoRecord& r) { return r.Zone == 14; });
    view.SetSortOrder(soCallsign);
    view.Rebuild();
    EXPECT_EQ(Calls(view), "DL1AA DL2BB F5XY");

    TQsoRecord* posted = Add("DL1ZZ", Day(2021, 1, 1), 5, 1, 14);
    Add("JA1AA", Day(2021, 1, 2), 5, 0, 25);  // outside the filter
    EXPECT_EQ(Calls(view), "DL1AA DL1ZZ DL2BB F5XY");
    EXPECT_EQ(view.IndexOf(posted), 1);
    EXPECT_EQ(changes, (std::vector<std::pair<int, bool>>{{1, true}}));

    // A replaced QSO goes from where it was to where its new call puts it.
    TQsoRecord edited = *posted;
    edited.Call.assign("F6ZZ");
    posted->Note = nullptr;
    TQsoRecord* now = log_.ReplaceQso(edited, posted);
    EXPECT_EQ(Calls(view), "DL1AA DL2BB F5XY F6ZZ");
    EXPECT_EQ(view.IndexOf(now), 3);

    log_.DeleteQso(now);
    EXPECT_EQ(Calls(view), "DL1AA DL2BB F5XY");
    EXPECT_EQ(changes.back(), std::make_pair(3, false));
}

// A view of fewer rows than a tenth of the log is sorted again as it stands; a larger one is
// taken from the log again (and so follows a filter changed since).
TEST_F(LogListViewTest, ChangingTheOrderResortsASmallViewAndRebuildsALargeOne)
{
    for (int i = 0; i < 100; ++i)
        Add(("G" + std::to_string(i) + "AA").c_str(), Day(2019, 1, 1), 4, 0, 0);
    TLogListView view(&log_);
    view.SetFilter([](const TQsoRecord& r) { return r.Zone == 14; });
    view.SetSortOrder(soCallsign);
    view.Rebuild();
    view.SetFilter([](const TQsoRecord& r) { return r.Zone == 5; });
    EXPECT_TRUE(view.SetSortOrder(soDate));
    EXPECT_EQ(Calls(view), "DL1AA F5XY DL2BB") << "3 of 106 QSOs: re-sorted in place";
    EXPECT_FALSE(view.SetSortOrder(soDate)) << "the same order does nothing";

    view.SetFilter({});
    view.Rebuild();
    view.SetFilter([](const TQsoRecord& r) { return r.Zone == 5; });
    view.SetSortOrder(soCallsign);
    EXPECT_EQ(Calls(view), "K1ABC W1AW") << "the whole log: rebuilt";
}

TEST_F(LogListViewTest, ABulkInsertionRebuildsAndAFreedLogEmptiesTheView)
{
    auto log = std::make_unique<TQsoData>();
    TLogListView view(log.get());
    int resets = 0;
    view.OnReset = [&] { ++resets; };
    log->BeginBulk(false, 2);
    for (const char* call : {"B2", "A1"}) {
        auto* q = new TQsoRecord;
        q->Call.assign(call);
        log->BulkAdd(q);
    }
    log->EndBulk(false);
    EXPECT_EQ(Calls(view), "A1 B2");
    EXPECT_EQ(resets, 1);
    log.reset();
    EXPECT_EQ(view.Count(), 0);
    EXPECT_EQ(view.Log(), nullptr);
    EXPECT_EQ(resets, 2);
}

namespace {

// Every order over a log whose fields collide often: calls that begin alike, the longest calls,
// a zero byte in a call and in a grid, equal dates and times, custom awards with and without
// long names. The sorted view must agree with the order's compare from row to row.
class LogListSortAgreement : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        SetCustAwardList(TCustAwardList::LoadFromText("[ZZ]\nawdname=Alpha award\nVAL=Vee\n[AA]\nawdname=Zulu award\n", "AWD"));
        std::mt19937 rng(5);
        const char* calls[] = {"W1AW", "W1AWX", "W1AW/P", "DL1ABCDEFGHI", "DL1ABCDEFGHJ", "DL1ABCDEFGH", "K", "", "EA8/DL1AB"};
        for (int i = 0; i < 3000; ++i) {
            auto* q = new TQsoRecord;
            std::string call = calls[rng() % std::size(calls)];
            if (rng() % 50 == 0)
                call += std::string(1, '\0') + (rng() % 2 ? "Z" : "");
            q->Call.assign(call);
            q->Date = static_cast<std::uint16_t>(40000 + rng() % 3);
            q->Time = static_cast<std::int32_t>(rng() % 3) - 1;
            q->Band = static_cast<std::uint8_t>(rng() % 3);
            q->Mode = static_cast<std::uint8_t>(rng() % 2);
            q->Country = static_cast<std::uint16_t>(rng() % 3 * 300);
            q->Zone = static_cast<std::uint8_t>(rng() % 2);
            q->State = static_cast<std::uint8_t>(rng() % 2);
            q->County = static_cast<std::uint16_t>(rng() % 2 * 999);
            q->Group = static_cast<std::uint8_t>(rng() % 2 * 253);
            q->SeqPrtNr = static_cast<std::uint16_t>(rng() % 2 * 65535);
            q->Iota.assign(std::string("EU00").substr(0, rng() % 5));
            q->Grid.assign(rng() % 7 == 0 ? std::string("FN\0" "31", 2 + rng() % 4) : std::string("FN31pr").substr(0, rng() % 7));
            q->WpxPrefix.assign(std::string("DL1ABCD").substr(0, rng() % 8));
            q->CustAwdId.assign(rng() % 3 == 0 ? "ZZ" : rng() % 2 ? "AA" : "");
            q->CustAwdVal.assign(std::string("VAL").substr(0, rng() % 4));
            log_.InsertQso(q);
        }
    }
    void TearDown() override { SetCustAwardList(std::make_unique<TCustAwardList>()); }
    TQsoData log_;
};

} // namespace

// The whole log is rebuilt in the new order; a twentieth of it is sorted again as it stands.
TEST_P(LogListSortAgreement, EveryRowFollowsTheOrdersCompare)
{
    const int order = GetParam();
    for (int share : {1, 20}) {
        TLogListView view(&log_);
        int n = 0;
        view.SetFilter([&n, share](const TQsoRecord&) { return n++ % share == 0; });
        view.SetSortOrder(order == soDate ? soCallsign : soDate);
        view.Rebuild();
        ASSERT_TRUE(view.SetSortOrder(order));
        ASSERT_EQ(view.Count(), (log_.Count() + share - 1) / share);
        const TCompareFunc compare = QsoOrderCompare(order);
        for (int i = 1; i < view.Count(); ++i)
            ASSERT_LE(compare(view.At(i - 1), view.At(i)), 0) << SortOrderNames[order] << " row " << i << " of 1/" << share;
    }
}
INSTANTIATE_TEST_SUITE_P(EveryOrder, LogListSortAgreement, ::testing::Range(0, kSortOrderCount));
