// The sunrise and sunset windows offscreen, over a small country database, a fixed UTC clock
// and a home position set in the configuration.
#include "reference/windows/sun_windows.h"

#include "entry/windows/ovc_picture_field.h"
#include "entry/windows/ovc_simple_field.h"
#include "grids/windows/my_grid.h"
#include "logbook/config_record.h"
#include "logbook/country_db.h"
#include "logbook/base/day_number.h"
#include "logbook/position.h"
#include "logbook/configured_formats.h"

#include <QAction>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

#include "window_fit.h"

namespace korval {
namespace {

constexpr double LondonLon = -0.1278, LondonLat = 51.5074;
constexpr double TokyoLon = 139.6917, TokyoLat = 35.6895;

// Countries: 0 unknown, 1 G England, 2 JA Japan, 3 VK Australia, 4 Y2 East Germany (ended).
TCountryData SunDb()
{
    TCountryData db = TCountryData::Empty();
    auto add = [&](const char* prefix, const char* name, double lon, double lat, TDayNumber end = OpenEndDate) {
        TCountryRecord c;
        c.Prefix = prefix;
        c.Name = name;
        c.Longitude = lon;
        c.Latitude = lat;
        c.EndDate = end;
        db.Countries->InsertRecord(c.ToBytes().data());
    };
    add("", "Unknown", 0, 0);
    add("G", "England", LondonLon, LondonLat);
    add("JA", "Japan", TokyoLon, TokyoLat);
    add("VK", "Australia", 151.2093, -33.8688);
    add("Y2", "East Germany", 12.5, 52.5, EncodeDayNumber(1990, 10, 3));
    return db;
}

struct SunWindows : ::testing::Test {
    TConfigRecord savedConfig = Config;
    TCountryData savedDb = std::move(CountryDb);
    TStDate today = 0;
    std::uint16_t current = 0;

    void SetUp() override
    {
        CountryDb = SunDb();
        Config = TConfigRecord();
        Config.SetOwnLongitude(LondonLon);
        Config.SetOwnLatitude(LondonLat);
        // 2024-03-20 12:00 UTC
        SetUtcClockSource([] { return std::int64_t(1710936000); });
        today = SunToday();
    }
    void TearDown() override
    {
        SetUtcClockSource(nullptr);
        CountryDb = std::move(savedDb);
        Config = savedConfig;
    }
    static std::string Cell(TMyGrid* g, int col, int row)
    {
        std::string v;
        g->OnGetCell(g, col, row, v);
        return v;
    }
};

TEST_F(SunWindows, TimesShowAsHoursAndMinutesOrDashes)
{
    EXPECT_EQ(SunTimeText(0), "00:00");
    EXPECT_EQ(SunTimeText(23 * 3600 + 59 * 60 + 59), "23:59");
    EXPECT_EQ(SunTimeText(RiseSetAlwaysUp), "--:--");
    EXPECT_EQ(SunTimeText(RiseSetBadDate), "--:--");
    EXPECT_EQ(today, DMYToDate(20, 3, 2024, 0));
}

TEST_F(SunWindows, CountryInfoShowsHeadingsAndBothPlaces)
{
    TCountryInfo info([this] { return current; });
    EXPECT_EQ(info.windowTitle().toStdString(), "Info: unknown location");
    const TStRiseSetRec home = SunRiseSet(today, LondonLon, LondonLat);
    EXPECT_EQ(info.F_Sunrise->GetAsString(), SunTimeText(home.ORise));
    EXPECT_EQ(info.F_SunSet->GetAsString(), SunTimeText(home.OSet));
    EXPECT_EQ(info.F_DXSunRise->GetAsString(), "");
    EXPECT_EQ(info.F_Heading->GetAsString(), "");

    current = 2;
    info.ShowCountry();
    EXPECT_EQ(info.windowTitle().toStdString(), "Info: Japan");
    int heading = 0, back = 0, km = 0;
    CalcBearingDistanceFrom(LondonLat, LondonLon, true, heading, km, TokyoLat, TokyoLon);
    CalcBearingDistanceFrom(LondonLat, LondonLon, false, back, km, TokyoLat, TokyoLon);
    EXPECT_EQ(info.F_Heading->GetAsString(), std::to_string(heading));
    EXPECT_EQ(info.F_LongPath->GetAsString(), std::to_string((heading + 180) % 360));
    EXPECT_EQ(info.F_Reciprocal->GetAsString(), std::to_string(back));
    const TStRiseSetRec dx = SunRiseSet(today, TokyoLon, TokyoLat);
    EXPECT_EQ(info.F_DXSunRise->GetAsString(), SunTimeText(dx.ORise));
    EXPECT_EQ(info.F_DXSunSet->GetAsString(), SunTimeText(dx.OSet));

    // The country is lost again: the DX part is cleared.
    current = 0;
    info.ShowCountry();
    EXPECT_EQ(info.windowTitle().toStdString(), "Info: unknown location");
    EXPECT_EQ(info.F_DXSunSet->GetAsString(), "");
    EXPECT_EQ(info.F_Reciprocal->GetAsString(), "");
}

TEST_F(SunWindows, CountryInfoFollowsAChangedHomeAtOnce)
{
    current = 2;
    TCountryInfo info([this] { return current; });
    const std::string heading = info.F_Heading->GetAsString();
    // Same UTC day, new home: Sydney.
    Config.SetOwnLongitude(151.2093);
    Config.SetOwnLatitude(-33.8688);
    info.ShowCountry();
    const TStRiseSetRec home = SunRiseSet(today, 151.2093, -33.8688);
    EXPECT_EQ(info.F_Sunrise->GetAsString(), SunTimeText(home.ORise));
    EXPECT_EQ(info.F_SunSet->GetAsString(), SunTimeText(home.OSet));
    EXPECT_NE(info.F_Heading->GetAsString(), heading);
    // Beyond the polar circle in winter: no local event.
    Config.SetOwnLongitude(15.6267);
    Config.SetOwnLatitude(-78.2232);
    info.ShowCountry();
    EXPECT_EQ(info.F_Sunrise->GetAsString(), SunTimeText(SunRiseSet(today, 15.6267, -78.2232).ORise));
}

TEST_F(SunWindows, CountryInfoPopupOpensEachWindowOnce)
{
    current = 2;
    TCountryInfo info([this] { return current; });
    EXPECT_EQ(info.toolTip().toStdString(), "SunRise/Set (PopUp)");
    EXPECT_EQ(info.OneyearSunRiseSet1->text().toStdString(), "One year Sun Rise/Set");
    EXPECT_EQ(info.SunRiseSetbyDate1->text().toStdString(), "Sun Rise/Set by Date");
    info.OneyearSunRiseSet1->trigger();
    TOneYearSRS* year = info.OneYearWindow();
    ASSERT_NE(year, nullptr);
    EXPECT_EQ(year->Country(), 2);
    info.OneyearSunRiseSet1->trigger();
    EXPECT_EQ(info.OneYearWindow(), year);
    info.SunRiseSetbyDate1->trigger();
    ASSERT_NE(info.ByDateWindow(), nullptr);
    EXPECT_EQ(info.ByDateWindow()->windowTitle().toStdString(), "SunRise and SunSet by Date");
}

TEST_F(SunWindows, OneYearTableHas365RowsFromToday)
{
    TOneYearSRS year(2);
    EXPECT_EQ(year.windowTitle().toStdString(), "One Year Sun Rise/Set");
    EXPECT_EQ(year.F_Country->GetAsString(), "Japan");
    ASSERT_EQ(year.DG->RowCount, 366);
    const char* captions[] = {"Date", "Rise", "Set", "DX Rise", "DX Set"};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(year.DG->Header[static_cast<std::size_t>(c)].caption, captions[c]);
    for (int row : {1, 2, 365}) {
        const TStDate d = today + row - 1;
        const TStRiseSetRec home = SunRiseSet(d, LondonLon, LondonLat);
        const TStRiseSetRec dx = SunRiseSet(d, TokyoLon, TokyoLat);
        EXPECT_EQ(Cell(year.DG, 0, row), FormatDayNumber(StDateToDayNumber(d))) << row;
        EXPECT_EQ(Cell(year.DG, 1, row), SunTimeText(home.ORise)) << row;
        EXPECT_EQ(Cell(year.DG, 2, row), SunTimeText(home.OSet)) << row;
        EXPECT_EQ(Cell(year.DG, 3, row), SunTimeText(dx.ORise)) << row;
        EXPECT_EQ(Cell(year.DG, 4, row), SunTimeText(dx.OSet)) << row;
        EXPECT_EQ(year.RowText(row - 1), Cell(year.DG, 0, row) + "\t" + Cell(year.DG, 1, row) + "\t" +
                                             Cell(year.DG, 2, row) + "\t" + Cell(year.DG, 3, row) + "\t" +
                                             Cell(year.DG, 4, row));
    }
    EXPECT_EQ(Cell(year.DG, 0, 1), "03/20/24");
}

TEST_F(SunWindows, OneYearSelectCountryByPrefix)
{
    TOneYearSRS year(0);
    EXPECT_EQ(year.F_Country->GetAsString(), "");
    EXPECT_EQ(Cell(year.DG, 3, 1), "--:--");
    std::string caption;
    std::vector<std::string> offered;
    year.RunPicklist = [&](const std::string& c, const std::vector<std::string>& entries, int) {
        caption = c;
        offered = entries;
        return 2; // VK
    };
    year.SelectCountry1->trigger();
    EXPECT_EQ(caption, "Prefix");
    EXPECT_EQ(offered, (std::vector<std::string>{"G", "JA", "VK", "Y2"}));
    EXPECT_EQ(year.F_Country->GetAsString(), "Australia");
    EXPECT_EQ(Cell(year.DG, 3, 1), SunTimeText(SunRiseSet(today, 151.2093, -33.8688).ORise));
    // Cancelled: nothing changes.
    year.RunPicklist = [](const std::string&, const std::vector<std::string>&, int) { return -1; };
    year.SelectCountryClick();
    EXPECT_EQ(year.Country(), 3);
}

TEST_F(SunWindows, ByDateListsGreyLineCountriesOfTheDate)
{
    TCountrySRS byDate;
    EXPECT_EQ(byDate.F_Date->GetAsStDate(), today);
    const char* captions[] = {"Prfx", "Country", "DX Rise", " DX Set", "Diff"};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(byDate.DG->Header[static_cast<std::size_t>(c)].caption, captions[c]);

    // The widest window lists every current country and never the closed one.
    byDate.F_Max->SetAsStTime(12 * 3600);
    byDate.Update1->trigger();
    ASSERT_EQ(byDate.Rows().size(), 3u);
    EXPECT_EQ(byDate.DG->RowCount, 4);
    for (const TGreyLineRow& r : byDate.Rows())
        EXPECT_NE(r.Prefix, "Y2");
    const TStRiseSetRec home = SunRiseSet(today, LondonLon, LondonLat);
    EXPECT_EQ(byDate.F_SunRise->GetAsString(), SunTimeText(home.ORise));
    EXPECT_EQ(byDate.F_SunSet->GetAsString(), SunTimeText(home.OSet));
    const TStRiseSetRec jp = SunRiseSet(today, TokyoLon, TokyoLat);
    EXPECT_EQ(Cell(byDate.DG, 0, 2), "JA");
    EXPECT_EQ(Cell(byDate.DG, 1, 2), "Japan");
    EXPECT_EQ(Cell(byDate.DG, 2, 2), SunTimeText(jp.ORise));
    EXPECT_EQ(Cell(byDate.DG, 3, 2), SunTimeText(jp.OSet));
    EXPECT_EQ(Cell(byDate.DG, 4, 2), SunTimeText(GreyLineDifference(home, jp)));

    // A window of 00:00: only exact matches, none here.
    byDate.F_Max->SetAsStTime(0);
    byDate.UpdateClick();
    EXPECT_TRUE(byDate.Rows().empty());
    EXPECT_EQ(byDate.DG->RowCount, 1);
}

TEST_F(SunWindows, ByDateStepsTheDateWithCtrlArrows)
{
    TCountrySRS byDate;
    byDate.show();
    QApplication::setActiveWindow(&byDate);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&byDate));
    byDate.F_Date->setFocus();
    QTest::keyClick(byDate.F_Date, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(byDate.F_Date->GetAsStDate(), today + 1);
    QTest::keyClick(byDate.F_Date, Qt::Key_Down, Qt::ControlModifier);
    QTest::keyClick(byDate.F_Date, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(byDate.F_Date->GetAsStDate(), today - 1);
    byDate.F_Max->SetAsStTime(12 * 3600);
    QTest::keyClick(&byDate, Qt::Key_F10);
    EXPECT_EQ(byDate.Rows().size(), 3u);
}

TEST_F(SunWindows, ByDateIsEmptyBeyondThePolarCircle)
{
    Config.SetOwnLongitude(15.6267);
    Config.SetOwnLatitude(78.2232);
    TCountrySRS byDate;
    byDate.F_Date->SetAsStDate(DMYToDate(21, 6, 2024, 0));
    byDate.F_Max->SetAsStTime(12 * 3600);
    byDate.UpdateClick();
    EXPECT_EQ(byDate.F_SunRise->GetAsString(), "--:--");
    EXPECT_EQ(byDate.F_SunSet->GetAsString(), "--:--");
    EXPECT_TRUE(byDate.Rows().empty());
}

TEST_F(SunWindows, NothingIsShownFromHomeUntilAHomeIsSet)
{
    Config.SetOwnLongitude(0);
    Config.SetOwnLatitude(0);
    current = 2;
    TCountryInfo info([this] { return current; });
    for (TOvcSimpleField* f : {info.F_Heading, info.F_LongPath, info.F_Reciprocal, info.F_Sunrise, info.F_SunSet})
        EXPECT_EQ(f->GetAsString(), "");
    EXPECT_EQ(info.F_DXSunRise->GetAsString(), SunTimeText(SunRiseSet(today, TokyoLon, TokyoLat).ORise));
    TOneYearSRS year(2);
    EXPECT_EQ(Cell(year.DG, 1, 1), "--:--") << "as the DX columns without a country";
    EXPECT_EQ(Cell(year.DG, 3, 1), SunTimeText(SunRiseSet(today, TokyoLon, TokyoLat).ORise));
    TCountrySRS byDate;
    byDate.F_Max->SetAsStTime(12 * 3600);
    byDate.UpdateClick();
    EXPECT_EQ(byDate.F_SunRise->GetAsString(), "");
    EXPECT_TRUE(byDate.Rows().empty());

    // The home locator alone is a home.
    Config.SetOwnGrid("IO91wm");
    double lat = 0, lon = 0;
    ASSERT_TRUE(GridToPosition("IO91wm", lon, lat));
    info.ShowCountry();
    int heading = 0, km = 0;
    CalcBearingDistanceFrom(lat, lon, true, heading, km, TokyoLat, TokyoLon);
    EXPECT_EQ(info.F_Heading->GetAsString(), std::to_string(heading));
    EXPECT_EQ(info.F_Sunrise->GetAsString(), SunTimeText(SunRiseSet(today, lon, lat).ORise));
}

TEST_F(SunWindows, EachWindowOpensShowingAllItsControls)
{
    current = 2;
    TCountryInfo info([this] { return current; });
    test::ExpectControlsFit(&info, "country information");
    TOneYearSRS year(2);
    test::ExpectControlsFit(&year, "one year");
    TCountrySRS byDate;
    test::ExpectControlsFit(&byDate, "by date");
}

} // namespace
} // namespace korval
