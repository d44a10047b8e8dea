#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "logbook/base/day_number.h"
#include "station/spot_list.h"
#include "test_support.h"

using namespace korval;

namespace {

constexpr std::int64_t kDay = 1737763200;  // 2025-01-25 00:00 UTC

struct Clock {
    explicit Clock(std::int64_t t) { Set(t); }
    ~Clock() { SetUtcClockSource({}); }
    void Set(std::int64_t t) { SetUtcClockSource([t] { return t; }); }
};

struct CountingAnnouncer : TSpotAnnouncer {
    std::vector<std::string> calls;
    void Announce(const TSpotRecord& s) override { calls.push_back(s.call); }
};

// Everything is a new country unless the test says otherwise.
struct Classifier : TSpotClassifier {
    char reason = '1';
    char AwardReason(const TSpotRecord&) override { return reason; }
    int Country(const std::string& call, TDayNumber) override { return call.rfind("DL", 0) == 0 ? 230 : call.rfind("K", 0) == 0 ? 291 : 0; }
    std::string CountryPrefix(int c) override { return c == 230 ? "DL" : c == 291 ? "K" : ""; }
    int CqZone(const std::string& call, TDayNumber) override { return call.rfind("DL", 0) == 0 ? 14 : 5; }
};

TSpotRecord Spot(const char* call, double freq, int time, const char* remarks = "CW", double qsx = 0) {
    TSpotRecord s;
    s.call = call;
    s.spotter = "DL1ABC";
    s.frequency = freq;
    s.qsxFrequency = qsx;
    s.time = static_cast<std::uint16_t>(time);
    s.date = EncodeDayNumber(2025, 1, 25);
    s.remarks = remarks;
    return s;
}

template <class F> TSpotListSettings Settings(F change) {
    TSpotListSettings s;
    change(s);
    return s;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class SpotListTest : public ::testing::Test {
protected:
    Clock clock{kDay + 12 * 3600};
    Classifier classifier;
    CountingAnnouncer announcer;
    TSpotList list{classifier, &announcer};
};

TEST_F(SpotListTest, ALaterReportReplacesTheListedSpotWithoutAnnouncingAgain) {
    ASSERT_TRUE(list.AddSpot(Spot("VP8LP", 14025.0, 600)));
    ASSERT_TRUE(list.AddSpot(Spot("VP8LP", 14027.0, 610, "CW UP")));
    ASSERT_EQ(list.spots().size(), 1u);
    EXPECT_DOUBLE_EQ(list.spots()[0].frequency, 14027.0);
    EXPECT_EQ(announcer.calls.size(), 1u);
    EXPECT_FALSE(list.AddSpot(Spot("VP8LP", 14020.0, 590)));  // an older report of it
    EXPECT_FALSE(list.AddSpot(Spot("VP8LP", 14027.0, 610, "CW UP")));  // the same report again
    EXPECT_TRUE(list.AddSpot(Spot("VP8LP", 7005.0, 620)));  // another band is another spot
    EXPECT_EQ(list.spots().size(), 2u);
    EXPECT_EQ(announcer.calls.size(), 2u);
}

TEST_F(SpotListTest, ShortQsxIsTakenAsLowDigitsOrDropped) {
    TSpotRecord s = Spot("K1ABC", 14195.0, 600, "QSX 225", 225);
    TSpotList::FixShortQsx(s);
    EXPECT_DOUBLE_EQ(s.qsxFrequency, 14225.0);
    s = Spot("K1ABC", 14195.0, 600, "QSX 3700", 3700);
    TSpotList::FixShortQsx(s);
    EXPECT_EQ(s.qsxFrequency, 0.0);
    EXPECT_EQ(s.remarks, "QSX? QSX 3700");
    s = Spot("K1ABC", 14195.0, 600, "QSX 14230", 14230);
    TSpotList::FixShortQsx(s);
    EXPECT_DOUBLE_EQ(s.qsxFrequency, 14230.0);
}

TEST_F(SpotListTest, CapacityIsNeverExceededAndBelowOneMeansOne) {
    list.SetSettings(Settings([](auto& c) { c.capacity = 100; }));
    for (int i = 0; i < 150; ++i) {
        list.AddSpot(Spot(("K" + std::to_string(i) + "AB").c_str(), 14000.0 + i, i));
        ASSERT_LE(list.spots().size(), 100u);
    }
    EXPECT_EQ(list.spots().front().call, "K50AB");  // the oldest went first
    list.SetSettings(Settings([](auto& c) { c.capacity = 0; }));
    EXPECT_TRUE(list.AddSpot(Spot("VP8LP", 14025.0, 800)));
    EXPECT_EQ(list.spots().size(), 1u);
}

TEST_F(SpotListTest, SpotsAreDatedAcrossMidnight) {
    clock.Set(kDay + 5 * 60);  // 00:05
    TSpotRecord s = Spot("K1ABC", 14025.0, 23 * 60 + 59);
    s.date = NoDate;
    list.AddSpot(s);
    EXPECT_EQ(list.spots()[0].date, EncodeDayNumber(2025, 1, 24));
    clock.Set(kDay - 2 * 60);  // 23:58 the day before
    s = Spot("DL1XYZ", 14025.0, 3);
    s.date = NoDate;
    list.AddSpot(s);
    EXPECT_EQ(list.spots().back().date, EncodeDayNumber(2025, 1, 25));
    clock.Set(kDay + 10 * 60);  // 00:10: a spot without time is as of now, today
    s = Spot("VP8LP", 7005.0, NoSpotTime);
    s.date = NoDate;
    list.AddSpot(s);
    auto it = std::find_if(list.spots().begin(), list.spots().end(), [](auto& r) { return r.call == "VP8LP"; });
    ASSERT_NE(it, list.spots().end());
    EXPECT_EQ(it->date, EncodeDayNumber(2025, 1, 25));
    EXPECT_EQ(it->time, 10);
}

TEST_F(SpotListTest, AlertAndSpotterListsMatchWholeEntries) {
    EXPECT_TRUE(TSpotList::InCommaList("XK1ABC, K1ABC", "K1ABC"));
    EXPECT_FALSE(TSpotList::InCommaList("XK1ABC,", "K1ABC"));
    EXPECT_FALSE(TSpotList::InCommaList("VK,DL", "K"));
    classifier.reason = '5';
    list.SetSettings(Settings([](auto& c) {
        c.callsignAlert = "XK1ABC";
        c.okPrefixes = "VK,#14";
        c.dxAlert = 0;
    }));
    list.AddSpot(Spot("K1ABC", 14025.0, 600));
    EXPECT_EQ(list.spots()[0].reason, '5');  // DL spotter: zone 14 is listed
    EXPECT_TRUE(announcer.calls.empty());
    list.SetSettings(Settings([](auto& c) {
        c.ignoreGray = true;
        c.okPrefixes = "VK";
        c.dxAlert = 0;
    }));
    TSpotRecord fromK = Spot("VP8LP", 14025.0, 600);
    fromK.spotter = "K1XX-2";
    EXPECT_FALSE(list.AddSpot(fromK));  // K is not VK: the spot is gray and dropped
}

TEST_F(SpotListTest, SpotFileRoundTripsAndDamagedFilesAreRefused) {
    test::TempDir dir;
    const std::string f1 = dir.file("KORVAL.PUT"), f2 = dir.file("B.PUT"), f3 = dir.file("C.PUT");
    list.AddSpot(Spot("VP8LP", 14025.0, 600, "CW UP 2", 14027.0));
    list.AddSpot(Spot("K1ABC", 7005.5, 610));
    list.Save(f1);
    std::string bytes = ReadAll(f1);
    ASSERT_EQ(bytes.size(), 6 + 2 * TSpotRecord::Size);
    EXPECT_EQ(bytes.substr(0, 6), std::string("\x05SPOTB"));

    auto reload = [&](const std::string& from, const std::string& to) {
        TSpotList other(classifier, nullptr);
        EXPECT_EQ(other.Load(from), TSpotFileResult::Loaded);
        other.RecheckAllSpots();
        other.Save(to);
        return other.spots();
    };
    auto loaded = reload(f1, f2);
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[0].call, "VP8LP");
    EXPECT_DOUBLE_EQ(loaded[0].qsxFrequency, 14027.0);
    EXPECT_EQ(loaded[0].remarks, "CW UP 2");
    reload(f2, f3);
    EXPECT_EQ(ReadAll(f2), ReadAll(f3));

    auto write = [&](const std::string& content) {
        std::ofstream(f2, std::ios::binary | std::ios::trunc) << content;
    };
    TSpotList other(classifier, nullptr);
    write(bytes.substr(0, bytes.size() - 1));
    EXPECT_EQ(other.Load(f2), TSpotFileResult::Damaged);
    std::string badLength = bytes;
    badLength[6 + 18] = static_cast<char>(200);
    write(badLength);
    EXPECT_EQ(other.Load(f2), TSpotFileResult::Damaged);
    write("\x05SPOTX" + bytes.substr(6));
    EXPECT_EQ(other.Load(f2), TSpotFileResult::Incompatible);
    write("\x05SP");
    EXPECT_EQ(other.Load(f2), TSpotFileResult::TooShort);
    EXPECT_TRUE(other.spots().empty());

    list.Clear();
    list.Save(f1);
    EXPECT_FALSE(std::filesystem::exists(f1));
}

TEST_F(SpotListTest, SpotsAsTextWriteTheFrequencyWithAPointInEveryDesktopLocale) {
    list.AddSpot(Spot("VP8LP", 14025.5, 600, "CW UP 2"));
    for (const char* locale : test::kDesktopLocales) {
        test::ScopedLocale scoped(locale);
        ASSERT_TRUE(scoped.Ok()) << locale << " is not installed (scripts/deps.sh generates it)";
        EXPECT_EQ(list.SpotsAsText(), "25-Jan-2025,10:00,VP8LP,14025.5,CW,DL1ABC,\"CW UP 2\"\n") << locale;
    }
}

TEST_F(SpotListTest, ALoggedQsoRechecksOnlyTheSpotsOfItsCountryAndUnknownOnes) {
    list.SetSettings(Settings([](TSpotListSettings& s) { s.ignoreGray = true; }));
    ASSERT_TRUE(list.AddSpot(Spot("DL7XX", 14025.0, 600)));
    ASSERT_TRUE(list.AddSpot(Spot("K1ABC", 14030.0, 601)));
    ASSERT_TRUE(list.AddSpot(Spot("ZZ9ZZ", 14035.0, 602)));  // no known country
    classifier.reason = '6';  // the QSO made every spot uninteresting, but only some are asked
    list.RecheckSpotsForCountry(230);
    ASSERT_EQ(list.spots().size(), 1u);
    EXPECT_EQ(list.spots()[0].call, "K1ABC");
    EXPECT_EQ(list.spots()[0].reason, '1');
}

TEST(SpotRecordBytes, SizeAndOffsets) {
    TSpotRecord s;
    s.call = "VP8LP";
    s.reason = '3';
    s.time = 0x0102;
    s.arrival = 7;
    auto b = s.toBytes();
    EXPECT_EQ(b.size(), 89u);
    EXPECT_EQ(b[18], 5);
    EXPECT_EQ(b[46], '3');
    EXPECT_EQ(b[49], 0x02);
    EXPECT_EQ(b[85], 7);
}

} // namespace
