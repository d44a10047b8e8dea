// Projections, units, coordinate texts and great circles against outside reference values.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "geod_reference.h"
#include "globe/globe_core.h"
#include "globe/great_circle.h"
#include "proj_reference.h"

using namespace korval;

namespace {

std::int32_t Deg(double d) { return static_cast<std::int32_t>(std::llround(d * GU_DEGREE)); }

std::unique_ptr<TPrjModel> MakeModel(TGlobeCore& g, const std::string& name)
{
    if (name == "Mercator")
        return std::make_unique<TMercatorPrj>(g);
    if (name == "CylEqualArea")
        return std::make_unique<TCylEqualAreaPrj>(g);
    if (name == "Sinusoidal")
        return std::make_unique<TSinusoidalPrj>(g);
    if (name == "Albers")
        return std::make_unique<TAlbersEqualAreaConicPrj>(g);
    if (name == "AlbersSouth") {
        auto m = std::make_unique<TAlbersEqualAreaConicPrj>(g);
        m->SetIntegerProperty(ppFirstParallel, Deg(-45));
        m->SetIntegerProperty(ppSecondParallel, Deg(-10));
        return m;
    }
    auto m = std::make_unique<TQZEquidistantPrj>(g);
    if (name == "Equidistant")
        m->SetCentre(Deg(-75), Deg(40));
    else
        m->SetCentre(0, Deg(90));
    return m;
}

// A quarter pixel per globe unit keeps every model's pixels inside the 32-bit range.
constexpr double kScale = 0.25;

} // namespace

void PrintTo(const ProjRow& r, std::ostream* os) { *os << r.model << " " << r.lon << "," << r.lat; }
void PrintTo(const GeodRow& r, std::ostream* os) { *os << r.lat1 << "," << r.lon1 << " to " << r.lat2 << "," << r.lon2; }

class ProjTable : public ::testing::TestWithParam<ProjRow> {};

TEST_P(ProjTable, ForwardMatchesProjAndInverseReturnsToTheSamePixel)
{
    const ProjRow& row = GetParam();
    TGlobeCore g;
    auto m = MakeModel(g, row.model);
    m->SetScaleFactor(kScale);
    m->XOrigin = 0;
    m->YOrigin = 0;
    TGlobePoint p{Deg(row.lon), Deg(row.lat), 0};
    TScreenPoint s;
    ASSERT_TRUE(m->Project(p, s)) << row.model << " " << row.lon << "," << row.lat;
    EXPECT_NEAR(s.x, row.x * GU_PER_RADIAN * kScale, 1.0) << row.model << " " << row.lon << "," << row.lat;
    EXPECT_NEAR(s.y, -row.y * GU_PER_RADIAN * kScale, 1.0) << row.model << " " << row.lon << "," << row.lat;
    TGlobePoint back;
    ASSERT_TRUE(m->XYToLL(s.x, s.y, back)) << row.model << " " << row.lon << "," << row.lat;
    TScreenPoint again;
    ASSERT_TRUE(m->Project(back, again));
    EXPECT_LE(std::abs(again.x - s.x), 1) << row.model << " " << row.lon << "," << row.lat;
    EXPECT_LE(std::abs(again.y - s.y), 1) << row.model << " " << row.lon << "," << row.lat;
}

INSTANTIATE_TEST_SUITE_P(Grid, ProjTable, ::testing::ValuesIn(kProjRows));

TEST(Projections, CartesianRoundTripWithinOneUnitAtFullZoom)
{
    TGlobeCore g;
    TCartesianPrj m(g);
    m.SetScaleFactor(1.0 / 4); // exact inverse of the pixel, 4 units per pixel
    m.XOrigin = m.YOrigin = 0;
    for (double lon : {-179.99, -45.0, 0.0, 179.99})
        for (double lat : {-89.0, 0.0, 89.0}) {
            TGlobePoint p{Deg(lon), Deg(lat), 0}, back;
            TScreenPoint s;
            ASSERT_TRUE(m.Project(p, s));
            ASSERT_TRUE(m.XYToLL(s.x, s.y, back));
            EXPECT_LE(std::abs(back.iLongX - p.iLongX), 4) << lon;
            EXPECT_LE(std::abs(back.iLatY - p.iLatY), 4) << lat;
        }
    m.SetScaleFactor(4.0);
    m.XOrigin = m.YOrigin = 0;
    TGlobePoint p{123457, -98765, 0}, back;
    TScreenPoint s;
    ASSERT_TRUE(m.Project(p, s));
    ASSERT_TRUE(m.XYToLL(s.x, s.y, back));
    EXPECT_LE(std::abs(back.iLongX - p.iLongX), 1);
    EXPECT_LE(std::abs(back.iLatY - p.iLatY), 1);
}

TEST(Projections, MercatorRefusesLatitudesBeyond89Degrees)
{
    TGlobeCore g;
    TMercatorPrj m(g);
    TScreenPoint s;
    EXPECT_TRUE(m.Project({0, 480600000, 0}, s));
    EXPECT_FALSE(m.Project({0, 480600001, 0}, s));
    EXPECT_FALSE(m.Project({0, -480600001, 0}, s));
    TGlobePoint p;
    EXPECT_FALSE(m.XYToLL(m.XOrigin, -100000, p)); // far above the map
}

TEST(Projections, AlbersWithOppositeParallelsUsesConeConstantOne)
{
    TGlobeCore g;
    TAlbersEqualAreaConicPrj m(g);
    m.SetIntegerProperty(ppFirstParallel, Deg(30));
    m.SetIntegerProperty(ppSecondParallel, Deg(-30));
    m.SetScaleFactor(kScale);
    m.XOrigin = m.YOrigin = 0;
    TScreenPoint s;
    ASSERT_TRUE(m.Project({Deg(20), Deg(10), 0}, s));
    TGlobePoint back;
    ASSERT_TRUE(m.XYToLL(s.x, s.y, back));
    EXPECT_NEAR(back.iLongX, Deg(20), 20);
    EXPECT_NEAR(back.iLatY, Deg(10), 20);
}

TEST(Projections, EquidistantCentreRadiusAndRim)
{
    TGlobeCore g;
    g.SetSize(400, 400, 96);
    TQZEquidistantPrj m(g);
    m.SetCentre(Deg(10), Deg(50));
    m.SetScaleFactor(200.0 / (PI * GU_PER_RADIAN)); // the rim at 200 pixels
    m.XOrigin = m.YOrigin = 200;
    TScreenPoint s;
    ASSERT_TRUE(m.Project({Deg(10), Deg(50), 0}, s));
    EXPECT_EQ(s, (TScreenPoint{200, 200}));
    ASSERT_TRUE(m.Project({Deg(10), Deg(80), 0}, s)); // 30 degrees due north
    EXPECT_NEAR(s.x, 200, 1);
    EXPECT_NEAR(s.y, 200 - 200.0 / 6, 1);
    TGlobePoint p;
    EXPECT_TRUE(m.XYToLL(200, 200, p));
    EXPECT_EQ(p.iLongX, Deg(10));
    EXPECT_TRUE(m.XYToLL(200 + 199, 200, p));
    // Window corners lie beyond the rim: they are not on the map.
    EXPECT_FALSE(m.XYToLL(0, 0, p));
    EXPECT_FALSE(m.XYToLL(399, 399, p));
    EXPECT_FALSE(m.XYToLL(200 + 202, 200, p));
}

TEST(Projections, EquidistantAroundAPoleKeepsBearings)
{
    TGlobeCore g;
    TQZEquidistantPrj m(g);
    m.SetCentre(0, GU_90);
    m.SetScaleFactor(kScale);
    m.XOrigin = m.YOrigin = 0;
    TScreenPoint east, west;
    ASSERT_TRUE(m.Project({Deg(90), Deg(0), 0}, east));
    ASSERT_TRUE(m.Project({Deg(-90), Deg(0), 0}, west));
    EXPECT_GT(east.x, 0);
    EXPECT_LT(west.x, 0);
    TGlobePoint p;
    ASSERT_TRUE(m.XYToLL(east.x, east.y, p));
    EXPECT_NEAR(p.iLongX, Deg(90), 20);
    EXPECT_NEAR(p.iLatY, 0, 20);
}

TEST(Projections, ScaleZeroHasNoInverse)
{
    TGlobeCore g;
    TCartesianPrj c(g);
    TMercatorPrj me(g);
    TQZEquidistantPrj q(g);
    TSinusoidalPrj si(g);
    TCylEqualAreaPrj cy(g);
    TAlbersEqualAreaConicPrj al(g);
    TSphericalPrj sp(g);
    TPrjModel* models[] = {&c, &me, &q, &si, &cy, &al, &sp};
    for (TPrjModel* m : models) {
        m->SetScaleFactor(0);
        TGlobePoint p;
        EXPECT_FALSE(m->XYToLL(10, 10, p));
    }
}

TEST(Projections, SphereInverseOnlyInsideTheDisc)
{
    TGlobeCore g;
    g.SetSize(300, 300, 96);
    TSphericalPrj m(g);
    m.SetScaleFactor(100.0 / GLOBE_RADIUS);
    m.XOrigin = m.YOrigin = 150;
    TGlobePoint p;
    EXPECT_TRUE(m.XYToLL(150, 150, p));
    EXPECT_TRUE(m.XYToLL(150 + 99, 150, p));
    EXPECT_FALSE(m.XYToLL(150 + 101, 150, p));
    EXPECT_FALSE(m.XYToLL(0, 0, p));
    // The point under the centre projects back onto the centre, on the near side.
    ASSERT_TRUE(m.XYToLL(170, 130, p));
    TScreenPoint s;
    ASSERT_TRUE(m.Project(p, s));
    EXPECT_NEAR(s.x, 170, 1);
    EXPECT_NEAR(s.y, 130, 1);
}

TEST(Projections, BoundsOnCanvas)
{
    TGlobeCore g;
    g.SetSize(100, 100, 96);
    int code = 0;
    g.SetBufferPoint(0, {50, 50});
    EXPECT_FALSE(BoundsOnCanvas(g, 1, code));
    g.SetBufferPoint(0, {-10, 50});
    g.SetBufferPoint(1, {110, 50});
    EXPECT_TRUE(BoundsOnCanvas(g, 2, code));
    EXPECT_EQ(code, 1 * 16 + 2);
    g.SetBufferPoint(0, {-30, 50});
    g.SetBufferPoint(1, {-10, 60});
    EXPECT_FALSE(BoundsOnCanvas(g, 2, code));
}

// ---- units and texts ----

TEST(GlobeUnits, NormalizeLongitude)
{
    EXPECT_EQ(NormalizeLongitude(972000000), -972000000);
    EXPECT_EQ(NormalizeLongitude(-972000000), -972000000);
    EXPECT_EQ(NormalizeLongitude(971999999), 971999999);
    EXPECT_EQ(NormalizeLongitude(-972000001), 971999999);
    EXPECT_EQ(NormalizeLongitude(1000000000), 1000000000 - 1944000000);
}

TEST(GlobeUnits, FormatGlobeCoord)
{
    EXPECT_EQ(FormatGlobeCoord(-(38 * GU_DEGREE + 50 * GU_MINUTE), "%d.%m%N"), "38.50S");
    EXPECT_EQ(FormatGlobeCoord(-(77 * GU_DEGREE + 2 * GU_MINUTE + 3 * GU_SECOND), "%D %M %S %E"), "77 02 03 W");
    EXPECT_EQ(FormatGlobeCoord(12 * GU_DEGREE + 1 * GU_SECOND + 2 * 250 + 7, "%d:%s.%t.%u%e%%"), "12:01.02.07E%");
    EXPECT_EQ(FormatGlobeCoord(0, "%n%x"), "Nx");
}

TEST(GlobeUnits, NamesAndThousandthsReadBackAsThousandths)
{
    EXPECT_EQ(StrToUnits("nm"), TGlobeUnits::NauticalMile);
    EXPECT_EQ(StrToUnits("KM"), TGlobeUnits::Kilometer);
    EXPECT_EQ(StrToUnits("T"), TGlobeUnits::Third); // the old shared letter keeps meaning thirds
    EXPECT_EQ(StrToUnits(UnitName(TGlobeUnits::Thousanth)), TGlobeUnits::Thousanth);
    for (int i = 0; i < GLOBE_UNIT_COUNT; ++i) {
        auto u = static_cast<TGlobeUnits>(i);
        EXPECT_EQ(StrToUnits(UnitName(u)), u) << UnitName(u);
    }
    try {
        StrToUnits("XX");
        FAIL();
    } catch (const EGlobeException& e) {
        EXPECT_STREQ(e.what(), "StrToUnits: Unknown Unit XX");
    }
    EXPECT_EQ(UnitToGlobeUnits(TGlobeUnits::Kilometer, 185.2), 9000000);
}

// ---- great circles ----

class GeodTable : public ::testing::TestWithParam<GeodRow> {};

TEST_P(GeodTable, BearingDistanceAndVincentyMatchGeographicLib)
{
    const GeodRow& r = GetParam();
    TGlobePoint p{Deg(r.lon1), Deg(r.lat1), 0}, q{Deg(r.lon2), Deg(r.lat2), 0};
    // Our bearing counts counter-clockwise, so it is the negated azimuth. Near the pole the
    // azimuth depends on rounding; there only the distance is compared.
    if (std::fabs(r.lat1) < 89 && r.sphereDistance < 3.13) {
        EXPECT_NEAR(GreatCircleBearing(p, q), -r.azimuth * GU_DEGREE, 2000) << r.lat1 << "," << r.lon1;
    }
    EXPECT_NEAR(GreatCircleDistance(p, q), r.sphereDistance * GU_PER_RADIAN, 50) << r.lat1 << "," << r.lon1;
    const double expected = r.wgs84Metres * (309952662.0 / 6378137.0);
    const std::int32_t d = SpheroidDistance(p, q, TSpheroid::WGS84);
    if (r.sphereDistance < 3.13) {
        EXPECT_NEAR(d, expected, 50) << r.lat1 << "," << r.lon1;
    } else { // near antipodes the iteration may give up: the sphere's answer is within a few km
        EXPECT_NEAR(d, expected, expected * 0.002) << r.lat1 << "," << r.lon1;
    }
}

INSTANTIATE_TEST_SUITE_P(Pairs, GeodTable, ::testing::ValuesIn(kGeodRows));

TEST(GreatCircle, EdgeCases)
{
    EXPECT_NEAR(GreatCircleBearing({0, 0, 0}, {Deg(10), 0, 0}), -486000000, 10);
    EXPECT_EQ(SpheroidDistance({Deg(5), Deg(5), 0}, {Deg(5), Deg(5), 0}, TSpheroid::WGS84), 0);
    // Exactly antipodal points terminate.
    const std::int32_t d = SpheroidDistance({0, 0, 0}, {-GU_180, 0, 0}, TSpheroid::WGS84);
    EXPECT_GT(d, 900000000);
    std::int32_t lat = 0, lon = 0;
    DestinationPoint(0, 0, Deg(10), lat, lon, -486000000); // 10 degrees toward the east
    EXPECT_NEAR(lon, Deg(10), 100);
    EXPECT_NEAR(lat, 0, 100);
    EXPECT_NEAR(FloatMod(10, -3), 7, 1e-12);
    EXPECT_NEAR(FloatMod(10, 23), 3, 1e-12);
}

namespace {
double Degrees(std::int32_t units) { return units / double(GU_DEGREE); }
} // namespace

TEST(GreatCircle, PathsNearAndAtTheAntipodeFollowTheGreatCircle)
{
    // Vertex i of a path of n segments lies i/n of the way. Waypoints from GeographicLib 2.1.2 on
    // the unit sphere: `GeodSolve -i -e 1 0` for the azimuth and length, then `GeodSolve -L lat1
    // lon1 azi1 -e 1 0` at i/n of the length.
    struct Waypoint {
        int index;
        double lat, lon;
    };
    struct PathCase {
        double lon1, lat1, lon2, lat2;
        int vertices;
        std::vector<Waypoint> waypoints;
    };
    const PathCase cases[] = {
        // 0.0001 degrees off the antipode (15 m): azimuth 45, length 3.14159018530.
        {0, 0, 179.9999, 0.0001, 180,
         {{0, 0, 0},
          {1, 0.711038286508353, 0.711093045323769},
          {30, 20.814460975526167, 22.343172797977662},
          {60, 37.910517372558118, 51.148424998351622},
          {90, 44.997794573868440, 90.710938295444748},
          {120, 37.459063937065061, 129.986803786560841},
          {150, 20.154988892169435, 158.467022712564471},
          {179, 0.000100000870817, 179.999899999129184}}},
        // Exactly antipodal: GeographicLib goes over the North Pole (azimuth 0), as the map does.
        {0, 0, 180, 0, 181, {{45, 45, 0}, {135, 45, 180}}},
        // From the North Pole to the South Pole: along the meridian of 0 degrees (azimuth 180).
        {0, 90, 0, -90, 181, {{45, 45, 0}, {135, -45, 0}}},
    };
    for (const PathCase& c : cases) {
        const std::vector<TVector> path =
            GreatCirclePath({Deg(c.lon1), Deg(c.lat1), 0}, MakeGlobePoint(Deg(c.lon2), Deg(c.lat2)), 0);
        ASSERT_EQ(int(path.size()), c.vertices) << c.lon2 << "," << c.lat2;
        for (const Waypoint& w : c.waypoints) {
            const TGlobePoint p = UnitVectorToPoint(path[std::size_t(w.index)]);
            EXPECT_NEAR(Degrees(p.iLatY), w.lat, 1e-5) << c.lon2 << "," << c.lat2 << " vertex " << w.index;
            if (std::fabs(w.lat) < 89.9) {
                const double dlon = std::remainder(Degrees(p.iLongX) - w.lon, 360.0);
                EXPECT_NEAR(dlon, 0, 1e-5) << c.lon2 << "," << c.lat2 << " vertex " << w.index;
            }
        }
        // No gap: every step is one n-th of the way.
        for (std::size_t i = 1; i < path.size(); ++i)
            EXPECT_LT(std::acos(std::clamp(double(Dot(path[i - 1], path[i])), -1.0, 1.0)), 1.01 * PI / 180)
                << c.lon2 << "," << c.lat2 << " step " << i;
    }
}

TEST(GreatCircle, DestinationPointLiesAtTheDistanceThatDistancesMeasure)
{
    // GeographicLib 2.1.2 on the unit sphere, `GeodSolve -e 1 0` (direct problem): the distance
    // is the globe units divided by the units per radian of every other distance, the bearing
    // the negated azimuth.
    struct DirectCase {
        double lat1, lon1, azimuth;
        std::int32_t units;
        double lat2, lon2;
    };
    const DirectCase cases[] = {
        {40, -75, 60, 971922246, -39.992799417108998, 104.983723543754479},   // 20,000 km
        {0, 0, 90, 485961123, 0, 89.992800555555576},                         // 10,000 km
        {-33.9, 151.2, -130, 97192225, -44.051602127477693, 131.971176441802328}, // 2,000 km
    };
    for (const DirectCase& c : cases) {
        std::int32_t lat = 0, lon = 0;
        DestinationPoint(Deg(c.lon1), Deg(c.lat1), c.units, lat, lon, Deg(-c.azimuth));
        EXPECT_NEAR(lat, c.lat2 * GU_DEGREE, 3) << c.lat1 << "," << c.lon1;
        EXPECT_NEAR(lon, c.lon2 * GU_DEGREE, 3) << c.lat1 << "," << c.lon1;
        EXPECT_NEAR(GreatCircleDistance({Deg(c.lon1), Deg(c.lat1), 0}, {lon, lat, 0}), c.units, 3) << c.lat1 << "," << c.lon1;
    }
}

TEST(Projections, CentreOnLLLeavesAPoleInOneCall)
{
    // After one call the view is the orthographic one around the point. PROJ 9.1.1:
    // `proj +proj=ortho +lat_0=41.7 +lon_0=-72.7 +R=1 -f %.12f` gives 0.141314416195 0.154817674771
    // for -60 E 50 N, and with +lat_0=-20 +lon_0=150 -0.171010071663 0.168531062918 for 140 E 10 S.
    struct CentreCase {
        double lon, lat, probeLon, probeLat, x, y;
    };
    for (const CentreCase& c : {CentreCase{-72.7, 41.7, -60, 50, 0.141314416195, 0.154817674771},
                                CentreCase{150, -20, 140, -10, -0.171010071663, 0.168531062918}}) {
        for (double pole : {90.0, -90.0}) {
            TGlobeCore g;
            g.SetSize(400, 400, 96);
            g.SetProjection(gpSpherical);
            g.CentreOnLL(0, Deg(pole));
            g.CentreOnLL(Deg(c.lon), Deg(c.lat));
            const double r = GLOBE_RADIUS * g.Scale();
            TScreenPoint s;
            ASSERT_TRUE(g.Model().Project({Deg(c.probeLon), Deg(c.probeLat), 0}, s));
            EXPECT_NEAR(s.x - 200, c.x * r, 1.5) << c.lon << "," << c.lat << " from " << pole;
            EXPECT_NEAR(200 - s.y, c.y * r, 1.5) << c.lon << "," << c.lat << " from " << pole;
        }
    }
}
