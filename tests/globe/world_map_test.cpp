// The world-map window offscreen, over the shipped map (data/maps) and the default country file.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QTest>

#include <cstring>
#include <filesystem>
#include <set>

#include "entry/windows/ovc_picture_field.h"
#include "globe/globe_core.h"
#include "globe/great_circle.h"
#include "globe/windows/globe3.h"
#include "globe/windows/world_map.h"
#include "grids/windows/popup_box.h"
#include "logbook/config_record.h"
#include "logbook/country_db.h"
#include "platform/message_dlg.h"
#include "station/spot_record.h"
#include "test_support.h"
#include "window_fit.h"

namespace korval {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kNoon = 1737806400; // 2025-01-25 12:00 UTC

TGlobePoint At(double lon, double lat)
{
    return MakeGlobePoint(std::llround(lon * GU_DEGREE), static_cast<std::int32_t>(std::llround(lat * GU_DEGREE)));
}

// The window's map block of the configuration: projection to the option bytes.
std::string MapBlock()
{
    const auto* b = reinterpret_cast<const char*>(Config.Bytes());
    return std::string(b + TConfigRecord::MapProjectionOffset, b + TConfigRecord::MapOptionOffset + 5);
}

class WorldMapWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::string reason;
        ASSERT_TRUE(LoadCountryFileFrom(KORVAL_SOURCE_DIR "/data/SAVE/KORVAL.CTY", false, &reason)) << reason;
    }
    static void TearDownTestSuite() { FreeCountryData(false); }
    void SetUp() override
    {
        saved_ = Config;
        Config.SetDistanceUnit(2); // kilometres
        Config.SetOwnLongitude(10);
        Config.SetOwnLatitude(50);
        SetUtcClockSource([this] { return now_; });
        CopyMaps({});
    }
    void TearDown() override
    {
        SetUtcClockSource({});
        Config = saved_;
    }
    // The shipped map in the home's maps folder, without the files named.
    void CopyMaps(const std::set<std::string>& leaveOut)
    {
        fs::remove_all(dir.file("maps"));
        fs::create_directories(dir.file("maps"));
        for (const auto& e : fs::directory_iterator(KORVAL_SOURCE_DIR "/data/maps"))
            if (!leaveOut.count(e.path().filename().string()))
                fs::copy_file(e.path(), dir.file("maps/" + e.path().filename().string()));
    }
    std::unique_ptr<TWorldMap> Open(std::function<TQsoMapPosition()> position = {})
    {
        auto w = std::make_unique<TWorldMap>(std::move(position));
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        return w;
    }
    // The colour the window shows at a place of the map.
    static QColor ShownAt(TWorldMap& w, const QImage& shot, double lon, double lat)
    {
        TScreenPoint s;
        EXPECT_TRUE(w.Globe->Core().Model().Project(At(lon, lat), s));
        const QPoint p = w.Globe->viewport()->mapTo(&w, QPoint(s.x, s.y));
        return QColor(shot.pixel(p));
    }
    TGlobeCore& Core(TWorldMap& w) { return w.Globe->Core(); }

    test::TempDir dir;
    test::ScopedHome home{dir.path()};
    TConfigRecord saved_;
    std::int64_t now_ = kNoon;
};

TEST_F(WorldMapWindow, OpensWithTheShippedMapAndPreparesItsLayers)
{
    auto w = Open();
    test::ExpectControlsFit(w.get(), "world map");
    EXPECT_EQ(w->windowTitle(), QStringLiteral("World Map"));
    TGlobeCore& core = Core(*w);
    ASSERT_EQ(core.LayerCount(), 6); // four of the profile, great circle, propagation
    EXPECT_TRUE(w->LayerErrors().empty());
    // One Draw item per layer up to the great circle; the propagation layer has none.
    const QList<QAction*> items = w->Draw1->actions();
    ASSERT_EQ(items.size(), 5);
    EXPECT_EQ(items[0]->text(), QStringLiteral("Countries"));
    EXPECT_EQ(items[4]->text(), QStringLiteral("Great circle"));
    EXPECT_FALSE(w->PropagationLayer()->Visible);
    // The projection shown is the one checked.
    for (int i = TWorldMap::prSpherical; i <= TWorldMap::prSinusoidal; ++i)
        EXPECT_EQ(w->ProjectionItems[std::size_t(i)]->isChecked(), i == TWorldMap::prSpherical) << i;

    // States keep only objects of known states; the objects of one state or country share a
    // number, and different ones differ.
    TGlobeLayer& states = core.GetLayer(1);
    ASSERT_GT(states.ObjectCount(), 40);
    std::map<std::string, std::int32_t> rows;
    std::set<std::int32_t> numbers;
    for (int layer : {0, 1})
        for (int i = 0; i < core.GetLayer(layer).ObjectCount(); ++i) {
            TGlobeObject* o = core.GetLayer(layer).Object(i);
            if (layer == 1) {
                EXPECT_NE(StateNumber(o->Title.substr(0, 2)), 0) << o->Title;
            }
            auto [it, added] = rows.emplace(o->Title, o->RowID);
            EXPECT_EQ(it->second, o->RowID) << o->Title;
            if (added) {
                EXPECT_TRUE(numbers.insert(o->RowID).second) << o->Title;
            }
        }
    for (int i = 0; i < core.GetLayer(3).ObjectCount(); ++i)
        EXPECT_EQ(core.GetLayer(3).Object(i)->Title.find(','), std::string::npos);
}

TEST_F(WorldMapWindow, ScreenshotShowsLandSeaAndNight)
{
    auto w = Open();
    w->SetProjection(TWorldMap::prCartesian);
    w->World1Click();
    w->Draw1->actions()[3]->trigger(); // no titles over the probes
    const QImage day = w->grab().toImage();
    const QColor land(0, 128, 0), sea(0, 255, 255);
    // Probes away from the grid lines (every 15 degrees) and the borders.
    EXPECT_EQ(ShownAt(*w, day, 2.5, 47), land);   // France
    EXPECT_EQ(ShownAt(*w, day, 134, -25), land);  // Australia
    EXPECT_EQ(ShownAt(*w, day, -37, 33), sea);    // mid-Atlantic
    EXPECT_EQ(ShownAt(*w, day, -160, 7), sea);    // Pacific

    // Map colours: chosen land and water colours are drawn and kept in the configuration.
    w->AskColour = [](std::uint32_t& c) {
        c = c == 0x008000 ? 0x00FF0000 : 0x00804000; // land blue, water dark teal
        return true;
    };
    w->Land1Click();
    w->Water1Click();
    QImage recoloured = w->grab().toImage();
    EXPECT_EQ(ShownAt(*w, recoloured, 2.5, 47), QColor(0, 0, 255));
    EXPECT_EQ(ShownAt(*w, recoloured, -37, 33), QColor(0, 64, 128));
    EXPECT_EQ(Config.MapLandColour(), 0x00FF0000u);
    EXPECT_EQ(Config.MapWaterColour(), 0x00804000u);
    // "Color Countries": France in its entry of the eleven colours (maroon, green, olive, ...).
    w->ColorCountries1Click();
    recoloured = w->grab().toImage();
    const TGlobeObject* france = Core(*w).GetLayer(0).FindByTitle("France", nullptr);
    ASSERT_NE(france, nullptr);
    const QColor table[11] = {QColor(128, 0, 0),   QColor(0, 128, 0),   QColor(128, 128, 0), QColor(128, 0, 128),
                              QColor(0, 128, 128), QColor(128, 128, 128), QColor(192, 192, 192), QColor(255, 0, 0),
                              QColor(0, 255, 0),   QColor(0, 0, 255),   QColor(255, 0, 255)};
    EXPECT_EQ(ShownAt(*w, recoloured, 2.5, 47), table[france->RowID % 11]);
    w->ColorCountries1Click();
    w->AskColour = [](std::uint32_t& c) { // back to aqua
        c = 0x00FFFF00;
        return true;
    };
    w->Water1Click();
    w->AskColour = [](std::uint32_t&) { return false; }; // cancelled: nothing changes
    w->Land1Click();
    EXPECT_EQ(Config.MapLandColour(), 0x00FF0000u);

    // At noon UTC the Pacific lies in the night: its pixels are shaded; the Atlantic's are not.
    const QImage day2 = w->grab().toImage();
    w->DayandNight1Click();
    const QImage night = w->grab().toImage();
    auto blackened = [&](double lon, double lat) {
        TScreenPoint s;
        Core(*w).Model().Project(At(lon, lat), s);
        const QPoint p = w->Globe->viewport()->mapTo(w.get(), QPoint(s.x, s.y));
        int n = 0;
        for (int dx = 0; dx < 4; ++dx)
            for (int dy = 0; dy < 4; ++dy)
                n += QColor(night.pixel(p + QPoint(dx, dy))) == QColor(0, 0, 0) &&
                     QColor(day2.pixel(p + QPoint(dx, dy))) != QColor(0, 0, 0);
        return n;
    };
    EXPECT_GE(blackened(-160, 7), 2);
    EXPECT_EQ(blackened(-37, 33), 0);
}

TEST_F(WorldMapWindow, ReadoutGivesBearingsFromNorthAndDistance)
{
    auto w = Open();
    w->SetProjection(TWorldMap::prEquidistant);
    // Home is the centre of the azimuthal map: straight up is north, straight down south.
    TScreenPoint c;
    ASSERT_TRUE(Core(*w).Model().Project(w->Home(), c));
    auto readout = [&](int x, int y) {
        w->GlobeMouseMove(x, y);
        return w->InfoPanel->text().toStdString();
    };
    EXPECT_TRUE(readout(c.x, c.y - 60).ends_with(", 360 degrees")) << readout(c.x, c.y - 60);
    EXPECT_TRUE(readout(c.x + 1, c.y - 60).ends_with(", 360 degrees")) << readout(c.x + 1, c.y - 60);
    EXPECT_TRUE(readout(c.x, c.y + 60).ends_with(", 180 degrees")) << readout(c.x, c.y + 60);
    EXPECT_TRUE(readout(c.x + 60, c.y).ends_with(", 90 degrees")) << readout(c.x + 60, c.y);
    // Beyond the rim there is no place to measure to.
    EXPECT_EQ(readout(1, 1), "");

    // 1000 km east of 0 N 0 E, zoomed in so a pixel is a fraction of a kilometre.
    w->SetHome(At(0, 0));
    Core(*w).SetScale(1 / (0.1 * UnitsPerUnit(TGlobeUnits::Kilometer)));
    TGlobePoint east;
    DestinationPoint(0, 0, UnitToGlobeUnits(TGlobeUnits::Kilometer, 1000), east.iLatY, east.iLongX, -GU_90);
    TScreenPoint s;
    ASSERT_TRUE(Core(*w).Model().Project(east, s));
    const std::string text = readout(s.x, s.y);
    const auto dist = text.find(", Dist = ");
    ASSERT_NE(dist, std::string::npos) << text;
    EXPECT_NEAR(std::stoi(text.substr(dist + 9)), 1000, 1) << text;
    EXPECT_TRUE(text.ends_with(" KM, 90 degrees")) << text;
    EXPECT_EQ(MapReadout(At(0, 0), east, false).substr(0, 11), "8.59E 0.00N");
}

struct WindowCase {
    int spotDay, spotMinute, band;
    bool counted;
};

TEST(SpottedCountries, WindowAcrossMidnightBandAndSpotsWithoutTime)
{
    // The window ends 00:10 on day 1000 and is 20 minutes long: it starts 23:50 on day 999.
    const WindowCase cases[] = {
        {999, 23 * 60 + 55, 5, true}, {999, 23 * 60 + 50, 5, true}, {999, 23 * 60 + 45, 5, false},
        {1000, 10, 5, true},          {1000, 11, 5, false},         {1000, 5, 7, false},
        {999, NoSpotTime, 5, false}};
    for (const WindowCase& c : cases) {
        TSpotRecord s;
        s.country = 3;
        s.date = static_cast<TDayNumber>(c.spotDay);
        s.time = static_cast<std::uint16_t>(c.spotMinute);
        s.band = static_cast<std::uint8_t>(c.band);
        const std::vector<bool> flags = SpottedCountries({s}, 10, 1000, 10, 20, 5);
        EXPECT_EQ(flags[3], c.counted) << c.spotDay << " " << c.spotMinute << " band " << c.band;
        EXPECT_EQ(SpottedCountries({s}, 10, 1000, 10, 20, 0)[3], c.counted || c.band == 7);
    }
    TSpotRecord unknown; // country 0 never counts
    unknown.date = 1000;
    unknown.time = 5;
    EXPECT_EQ(SpottedCountries({unknown}, 10, 1000, 10, 20, 0), std::vector<bool>(10, false));
}

TEST_F(WorldMapWindow, PropagationFollowsTheSpotsOfTheWindowBeforeTheStoredTime)
{
    now_ = kNoon + 12 * 3600 + 10 * 60; // 00:10 the next day
    std::vector<TSpotRecord> spots(1);
    spots[0].country = 5;
    spots[0].date = static_cast<TDayNumber>(StDateToDayNumber(DMYToDate(25, 1, 2025, 1900)));
    spots[0].time = 23 * 60 + 55;
    spots[0].band = 5;
    auto w = Open();
    EXPECT_TRUE(w->PropagationCountries().empty()); // no spot window
    w->SpotList = [&] { return &spots; };
    w->Propagation1Click();
    ASSERT_TRUE(w->Panel1->isVisible());
    EXPECT_EQ(w->F_Mins->GetAsInteger(), 20);
    ASSERT_GT(w->PropagationCountries().size(), 5u);
    EXPECT_TRUE(w->PropagationCountries()[5]);
    // Down in the time field moves date and time back five minutes, across midnight.
    w->F_Time->setFocus();
    QTest::keyClick(w->F_Time, Qt::Key_Down);
    QTest::keyClick(w->F_Time, Qt::Key_Down);
    QTest::keyClick(w->F_Time, Qt::Key_Down);
    EXPECT_EQ(w->StoredTime(), 23 * 3600 + 55 * 60);
    EXPECT_EQ(w->StoredDate(), DMYToDate(25, 1, 2025, 1900));
    EXPECT_TRUE(w->PropagationCountries()[5]);
    QTest::keyClick(w->F_Time, Qt::Key_Down);
    EXPECT_FALSE(w->PropagationCountries()[5]) << "the spot is after the window's end now";
}

TEST_F(WorldMapWindow, UpdateDayAndNightAndPropagationExcludeEachOther)
{
    auto w = Open();
    EXPECT_FALSE(w->UpdateDayandNight1->isEnabled());
    w->DayandNight1Click();
    EXPECT_TRUE(w->UpdateDayandNight1->isEnabled());
    EXPECT_TRUE(w->Panel1->isVisible());
    EXPECT_FALSE(w->F_Mins->isVisible()); // no propagation: only date and time
    w->UpdateDayandNight1Click();
    EXPECT_FALSE(w->Panel1->isVisible()); // following the clock: nothing to set
    w->Propagation1Click();
    EXPECT_TRUE(w->Propagation1->isChecked());
    EXPECT_FALSE(w->UpdateDayandNight1->isChecked());
    EXPECT_TRUE(w->Panel1->isVisible());
    EXPECT_TRUE(w->F_Mins->isVisible());
    EXPECT_TRUE(w->PropagationLayer()->Visible);
    w->UpdateDayandNight1Click();
    EXPECT_FALSE(w->Propagation1->isChecked());
    EXPECT_FALSE(w->PropagationLayer()->Visible);
    w->DayandNight1Click();
    EXPECT_FALSE(w->UpdateDayandNight1->isChecked());
    EXPECT_FALSE(w->UpdateDayandNight1->isEnabled());
    EXPECT_FALSE(w->Panel1->isVisible());

    // The clock: a new minute asks for a redraw; the same minute does not.
    const TDayNumber today = UtcToday();
    EXPECT_FALSE(w->TimeChanged(today, 12 * 60));
    EXPECT_TRUE(w->TimeChanged(today, 12 * 60 + 1));
    EXPECT_FALSE(w->TimeChanged(today + 1, 12 * 60)); // the day only with "Update Day and Night"
    w->DayandNight1Click();
    w->UpdateDayandNight1Click();
    EXPECT_TRUE(w->TimeChanged(today + 1, 12 * 60));
}

TEST_F(WorldMapWindow, EquidistantHidesTheAntipodeAndStopsRotation)
{
    Config.SetOwnLongitude(-46); // the antipode is in Australia
    Config.SetOwnLatitude(25);
    auto w = Open();
    w->SetProjection(TWorldMap::prEquidistant);
    ASSERT_NE(w->HiddenObject(), nullptr);
    TGlobeObject* australia = w->HiddenObject();
    EXPECT_EQ(australia->Title, "Australia");
    EXPECT_TRUE(australia->Hidden());
    EXPECT_EQ(w->Globe->MouseRotateButton, mzbNone);
    EXPECT_TRUE(w->ProjectionItems[TWorldMap::prEquidistant]->isChecked());
    w->SetProjection(TWorldMap::prSinusoidal);
    EXPECT_FALSE(australia->Hidden());
    EXPECT_EQ(w->HiddenObject(), nullptr);
    EXPECT_EQ(w->Globe->MouseRotateButton, mzbLeft);
    EXPECT_FALSE(w->ProjectionItems[TWorldMap::prEquidistant]->isChecked());
    w->Globe->RenderedImage(); // every projection draws
    for (int p = 1; p <= TWorldMap::ProjectionCount; ++p) {
        w->SetProjection(p);
        w->World1Click();
        EXPECT_FALSE(w->Globe->RenderedImage().isNull()) << p;
    }
}

// Open ocean, chosen by hand from an atlas: every point lies at least 300 km from any coast or
// island (the nearest ones are named where they come within 1000 km). Rows at 35 to 45 N cross
// the Atlantic and the Pacific, where a map cut at the wrong meridian paints whole rows of land.
const std::pair<double, double> kOpenOcean[] = {
    {-40, 40}, {-50, 37}, {-35, 43}, {-25, 45} /* Azores */, {-60, 35} /* Bermuda */, {-45, 50},
    {-30, 55}, {-35, 25}, {-45, 20}, {-30, 10}, {-20, -5} /* Ascension */, {-25, -20}, {-10, -30} /* Tristan */,
    {-30, -40}, {-20, -50}, {0, -45} /* Gough */, {160, 40}, {170, 35}, {-170, 40}, {-150, 40}, {-140, 35},
    {-160, 45}, {-135, 45}, {175, 45}, {155, 30} /* Marcus */, {-145, 25}, {-160, 10} /* Palmyra */,
    {-130, 10}, {-120, 0}, {-150, -30} /* Rapa */, {-120, -40}, {-100, -20} /* Easter */, {-130, -50},
    {-90, -35} /* Juan Fernandez */, {160, -40}, {-170, -40}, {-160, -50}, {178, -55} /* Antipodes */,
    {80, -30}, {70, -20} /* Rodrigues */, {90, -40} /* Amsterdam */, {60, -40} /* Crozet */,
    {100, -20} /* Cocos */, {85, -10}, {65, 5}, {105, -35},
};
// Inside large countries, away from borders (and from the US state lines) and from the grid's
// lines every 15 degrees.
const std::pair<double, double> kInland[] = {
    {100, 32}, {-98, 38}, {-55, -10}, {23, 2}, {134, -25}, {95, 62}, {46, 23}, {78, 22},
};

TEST_F(WorldMapWindow, NoLandOverTheOceansInAnyProjectionAroundAnyHome)
{
    // West and east of Greenwich, and the North Pole, whose antipode is the South Pole inside
    // Antarctica. Each home is the centre of the equidistant map, and of the flat maps chosen
    // after it.
    const std::pair<double, double> homes[] = {{-72.7, 41.7}, {139.7, 35.7}, {0, 90}};
    const int flat[] = {TWorldMap::prCartesian, TWorldMap::prMercator, TWorldMap::prCylEqualArea, TWorldMap::prAlbers,
                        TWorldMap::prSinusoidal};
    const QColor land(0, 128, 0);
    for (auto [lon, lat] : homes) {
        Config.SetOwnLongitude(lon);
        Config.SetOwnLatitude(lat);
        auto w = Open();
        if (w->Draw1->actions()[3]->isChecked())
            w->Draw1->actions()[3]->trigger(); // no titles over the probes
        std::vector<int> projections{TWorldMap::prEquidistant};
        projections.insert(projections.end(), std::begin(flat), std::end(flat));
        for (int p : projections) {
            w->SetProjection(p);
            const QImage shot = w->grab().toImage();
            int shown = 0, painted = 0;
            auto colourAt = [&](double plon, double plat, QColor& c) {
                TScreenPoint s;
                if (!Core(*w).Model().Project(At(plon, plat), s) || !w->Globe->viewport()->rect().contains(s.x, s.y))
                    return false;
                c = QColor(shot.pixel(w->Globe->viewport()->mapTo(w.get(), QPoint(s.x, s.y))));
                return true;
            };
            for (auto [olon, olat] : kOpenOcean) {
                QColor c;
                if (!colourAt(olon, olat, c))
                    continue;
                ++shown;
                if (c == land) {
                    ++painted;
                    ADD_FAILURE() << "land at " << olon << "," << olat << " in projection " << p << " around " << lon
                                  << "," << lat;
                }
            }
            EXPECT_EQ(painted, 0) << "projection " << p << " around " << lon << "," << lat;
            EXPECT_GT(shown, int(std::size(kOpenOcean)) / 2) << "projection " << p << " around " << lon << "," << lat;
            for (auto [llon, llat] : kInland) {
                QColor c;
                if (colourAt(llon, llat, c)) {
                    EXPECT_EQ(c, land) << llon << "," << llat << " in projection " << p << " around " << lon << "," << lat;
                }
            }
        }
    }
}

TEST_F(WorldMapWindow, SettingsSurviveCloseAndReopen)
{
    Config.SetFormScale(80); // the scale applies to the first size only, not to a stored one
    double scale = 0;
    {
        auto w = Open();
        w->SetProjection(TWorldMap::prAlbers);
        w->Zoomin1Click();
        w->ColorCountries1Click();
        w->Gridlinesinfront1Click();
        w->Draw1->actions()[2]->trigger(); // coast lines off
        scale = Core(*w).Scale();
    }
    const std::string first = MapBlock();
    const TFormPlacement placed = Config.Placement(psWorld);
    EXPECT_GT(placed.Width, 0);
    EXPECT_EQ(Config.MapProjection(), TWorldMap::prAlbers);
    EXPECT_FALSE(Config.MapLayerVisible(2));
    EXPECT_TRUE(Config.MapLayerVisible(0));
    EXPECT_TRUE(Config.MapOption(TWorldMap::opColorCountries));
    EXPECT_TRUE(Config.MapOption(TWorldMap::opGridInFront));
    TGlobeView view;
    ASSERT_TRUE(GlobeViewFromBytes(std::string_view(reinterpret_cast<const char*>(Config.Bytes()) +
                                                        TConfigRecord::MapViewOffset, GLOBE_VIEW_BYTES), view));
    EXPECT_EQ(view.scale, scale); // the 10-byte scale keeps every bit of the double
    {
        auto w = Open();
        EXPECT_EQ(w->Projection(), TWorldMap::prAlbers);
        EXPECT_TRUE(w->ColorCountries1->isChecked());
        EXPECT_FALSE(Core(*w).GetLayer(2).Visible);
        EXPECT_EQ(Core(*w).Scale(), scale);
    }
    EXPECT_EQ(MapBlock(), first);
    EXPECT_EQ(Config.Placement(psWorld), placed);
}

TEST_F(WorldMapWindow, OpensWithoutAProfileOrWithALayerFileMissing)
{
    fs::remove_all(dir.file("maps"));
    {
        auto w = Open();
        EXPECT_EQ(Core(*w).LayerCount(), 2);
        EXPECT_EQ(w->Draw1->actions().size(), 1);
        EXPECT_FALSE(w->Globe->RenderedImage().isNull());
        w->GlobeMouseMove(100, 100);
    }
    CopyMaps({"states.lyr"});
    auto w = Open();
    ASSERT_EQ(w->LayerErrors().size(), 1u);
    EXPECT_NE(w->LayerErrors()[0].find("states.lyr"), std::string::npos);
    TGlobeCore& core = Core(*w);
    ASSERT_EQ(core.LayerCount(), 6); // the missing one keeps its place, empty
    EXPECT_EQ(core.GetLayer(1).ObjectCount(), 0);
    EXPECT_FALSE(w->Draw1->actions()[1]->isEnabled());
    EXPECT_GT(core.GetLayer(0).ObjectCount(), 200);
    EXPECT_GT(core.GetLayer(3).ObjectCount(), 200);
    EXPECT_FALSE(w->Globe->RenderedImage().isNull());
}

TEST_F(WorldMapWindow, QsoPositionDrawsThePathAndSelectsTheCountry)
{
    TQsoMapPosition pos{"F", 2.5, 47, false};
    int asked = 0;
    auto w = Open([&] {
        ++asked;
        return pos;
    });
    w->SetProjection(TWorldMap::prCartesian);
    w->World1Click();
    w->Draw1->actions()[3]->trigger(); // no titles
    w->RefreshQsoCountry();
    EXPECT_EQ(w->DestinationLabel(), "F");
    // The short path home (10 E 50 N) -> France is red on the map, halfway as well.
    const QImage shot = w->grab().toImage();
    bool red = false;
    TScreenPoint s;
    Core(*w).Model().Project(At(6.2, 48.7), s);
    const QPoint mid = w->Globe->viewport()->mapTo(w.get(), QPoint(s.x, s.y));
    for (int dx = -3; dx <= 3; ++dx)
        for (int dy = -3; dy <= 3; ++dy)
            red = red || QColor(shot.pixel(mid + QPoint(dx, dy))) == QColor(255, 0, 0);
    EXPECT_TRUE(red);
    EXPECT_TRUE(Core(*w).Selection().empty());
    // With "Show spot country" the QSO's country is selected.
    w->ShowSpotCountry1Click();
    w->ShowQsoCountry();
    ASSERT_EQ(Core(*w).Selection().size(), 1u);
    EXPECT_EQ(Core(*w).Selection()[0]->Title, "France");
    // The same position again changes nothing; a new one is taken.
    Core(*w).SetSelectedObject(nullptr);
    w->RefreshQsoCountry();
    EXPECT_TRUE(Core(*w).Selection().empty());
    pos = {"", 0, 0, false};
    w->RefreshQsoCountry();
    EXPECT_EQ(w->DestinationLabel(), "");
    EXPECT_GE(asked, 3);
}

} // namespace
} // namespace korval
