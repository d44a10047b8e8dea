#include "logbook/log_list_view.h"

#include "logbook/country_fixture.h"
#include "logbook/qso_data.h"

#include <gtest/gtest.h>

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
