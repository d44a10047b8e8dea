#include "logbook/position.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace korval {
namespace {

constexpr double Rad = std::numbers::pi / 180.0;

// The point reached from (lat, lon) after an angular distance on an initial bearing.
void Destination(double lat, double lon, double bearingDeg, double angle, double& lat2, double& lon2)
{
    const double p1 = lat * Rad, l1 = lon * Rad, b = bearingDeg * Rad;
    const double p2 = std::asin(std::sin(p1) * std::cos(angle) + std::cos(p1) * std::sin(angle) * std::cos(b));
    const double l2 = l1 + std::atan2(std::sin(b) * std::sin(angle) * std::cos(p1),
                                      std::cos(angle) - std::sin(p1) * std::sin(p2));
    lat2 = p2 / Rad;
    lon2 = std::remainder(l2 / Rad, 360.0);
}

double AngleDiff(double a, double b)
{
    double d = std::fabs(a - b);
    return d > 180 ? 360 - d : d;
}

TEST(Grid, ValidLocators)
{
    for (const char* ok : {"", "JO", "jo31", "JO31nc", "AA00aa", "RR99xx"})
        EXPECT_TRUE(IsValidGrid(ok)) << ok;
    for (const char* bad : {"J", "S0", "AA0", "JO3", "JO31n", "JO31ny", "JOA1", "JO31nc1", "J031"})
        EXPECT_FALSE(IsValidGrid(bad)) << bad;
}

TEST(Grid, PositionsAreCentresOfFieldSquareAndSubsquare)
{
    double lon = 99, lat = 99;
    ASSERT_TRUE(GridToPosition("JO31", lon, lat));
    EXPECT_DOUBLE_EQ(lon, 7.0);
    EXPECT_DOUBLE_EQ(lat, 51.5);
    ASSERT_TRUE(GridToPosition("jo31nc", lon, lat));
    EXPECT_NEAR(lon, 6.0 + 13.5 / 12, 1e-12);
    EXPECT_NEAR(lat, 51.0 + 2.5 / 24, 1e-12);
    // two characters: the field's centre, no characters read beyond the locator
    ASSERT_TRUE(GridToPosition("JO", lon, lat));
    EXPECT_DOUBLE_EQ(lon, 10.0);
    EXPECT_DOUBLE_EQ(lat, 55.0);
    // nothing to place: false, the outputs untouched
    lon = lat = 99;
    EXPECT_FALSE(GridToPosition("", lon, lat));
    EXPECT_FALSE(GridToPosition("S0", lon, lat));
    EXPECT_EQ(lon, 99);
    EXPECT_EQ(lat, 99);
}

TEST(Grid, PositionToGridRoundTripsAndStaysInside)
{
    EXPECT_EQ(PositionToGrid(6.0 + 13.5 / 12, 51.0 + 2.5 / 24), "JO31nc");
    EXPECT_EQ(PositionToGrid(-180, -90), "AA00aa");
    EXPECT_EQ(PositionToGrid(180, 0), "AJ00aa") << "180 East is the grid's west edge";
    EXPECT_EQ(PositionToGrid(179.99, 90), "RR99xx") << "the north pole lies in the top row";
    EXPECT_EQ(PositionToGrid(0, 90).substr(0, 2), "JR");
    EXPECT_EQ(PositionToGrid(-77.04, 38.9), "FM18lv"); // Washington, DC
    EXPECT_EQ(PositionToGrid(540.0, 0), "AJ00aa") << "longitudes wrap";
    EXPECT_TRUE(IsValidGrid(PositionToGrid(std::nan(""), 95)));
    for (double lon = -180; lon < 180; lon += 7.3)
        for (double lat = -89.5; lat < 90; lat += 6.1) {
            double l2 = 0, p2 = 0;
            ASSERT_TRUE(GridToPosition(PositionToGrid(lon, lat), l2, p2));
            EXPECT_NEAR(l2, lon, 1.0 / 24 + 1e-9);
            EXPECT_NEAR(p2, lat, 1.0 / 48 + 1e-9);
        }
}

// Positions on the lines of the grid, as operators type them (whole degrees and minutes). The
// locators were computed from the published definition with exact fractions (Python's
// fractions.Fraction on the degrees and minutes as typed: the subsquare column is
// floor((lon + 180) x 12), the row floor((lat + 90) x 24)), so that a position on a line belongs
// to the square to its north and east.
struct OnLineCase {
    int lonDeg, lonMin, latDeg, latMin; // signed degrees; minutes take the degrees' sign
    double latExtraMin;                 // half minutes of the subsquare lines
    const char* locator;
};

TEST(Grid, PositionsOnTheLinesBelongToTheSquareNorthAndEast)
{
    const OnLineCase cases[] = {
        {-72, 0, 41, 0, 0, "FN41aa"},   {2, 0, 1, 0, 0, "JJ11aa"},      {100, 0, 45, 7, 0.5, "ON05ad"},
        {0, 0, 0, 0, 0, "JJ00aa"},      {-180, 0, -90, 0, 0, "AA00aa"}, {180, 0, 90, 0, 0, "AR09ax"},
        {0, -5, 0, -2, -0.5, "II99xx"}, {-2, 0, -1, 0, 0, "II99aa"},    {13, 25, 52, 30, 0, "JO62rm"},
        {-77, -5, 38, 55, 0, "FM18lw"}, {151, 10, -33, -50, 0, "QF56oe"}, {-60, 0, -40, 0, 0, "GF00aa"},
        {139, 40, 35, 40, 0, "PM95uq"}, {0, -10, 51, 27, 0.5, "IO91wl"}, {20, 0, 10, 0, 0, "KK00aa"},
        {-19, -55, 64, 7, 0.5, "IP04bd"}, {179, 55, -89, -57, -0.5, "RA90xb"},
    };
    for (const OnLineCase& c : cases) {
        const double lon = c.lonDeg + c.lonMin / 60.0;
        const double lat = c.latDeg + (c.latMin + c.latExtraMin) / 60.0;
        EXPECT_EQ(PositionToGrid(lon, lat), c.locator) << lon << ", " << lat;
    }
}

TEST(ArcCos, ClampsJustOutsideTheRange)
{
    EXPECT_EQ(ArcCos(1.0000000000000002), 0.0);
    EXPECT_NEAR(ArcCos(-1.0000000000000002), std::numbers::pi, 1e-15);
    EXPECT_NEAR(ArcCos(0.0), std::numbers::pi / 2, 1e-15);
    EXPECT_NEAR(ArcCos(0.5), std::numbers::pi / 3, 1e-15);
}

TEST(Bearing, KnownBearingsComeBackWithinATenthOfADegree)
{
    const double origins[][2] = {{51.5, -0.1}, {0, 0}, {-33.9, 151.2}, {64.1, -21.9}, {40.7, -74.0}};
    for (const auto& o : origins)
        for (double b = 0; b < 360; b += 7.5)
            for (double angle : {0.01, 0.5, 1.5, 3.0}) {
                double lat = 0, lon = 0;
                Destination(o[0], o[1], b, angle, lat, lon);
                EXPECT_LT(AngleDiff(GreatCircleBearing(o[0], o[1], lat, lon), b), 0.1)
                    << o[0] << "," << o[1] << " bearing " << b << " angle " << angle;
            }
}

TEST(Bearing, HeadingAndDistanceInWholeUnits)
{
    int heading = -1, dist = -1;
    struct Case {
        double lat, lon;
        int heading;
    };
    // from (0, 0): due north, east, south and west along the axes
    for (Case c : {Case{10, 0, 0}, Case{0, 10, 90}, Case{-10, 0, 180}, Case{0, -10, 270}, Case{0, -179, 270},
                   Case{0, 179, 90}, Case{1, 1, 45}, Case{-1, -1, 225}}) {
        CalcBearingDistanceFrom(0, 0, true, heading, dist, c.lat, c.lon);
        EXPECT_EQ(heading, c.heading) << c.lat << "," << c.lon;
    }
    // towards home instead: the reverse path
    CalcBearingDistanceFrom(0, 0, false, heading, dist, 0, 10);
    EXPECT_EQ(heading, 270);
    EXPECT_EQ(dist, 1112);
    // a point due west of a home away from the equator
    CalcBearingDistanceFrom(50, 10, true, heading, dist, 50, 9.99);
    EXPECT_EQ(heading, 270);
}

TEST(Bearing, DegeneratePointsGiveNumbers)
{
    int heading = -1, dist = -1;
    CalcBearingDistanceFrom(48.2, 16.4, true, heading, dist, 48.2, 16.4);
    EXPECT_EQ(dist, 0);
    EXPECT_TRUE(heading >= 0 && heading < 360);
    CalcBearingDistanceFrom(48.2, 16.4, true, heading, dist, -48.2, -163.6); // antipode
    EXPECT_EQ(dist, 20015);
    EXPECT_TRUE(heading >= 0 && heading < 360);
    CalcBearingDistanceFrom(90, 0, true, heading, dist, 0, 0); // from the pole
    EXPECT_EQ(dist, 10008);
    EXPECT_TRUE(heading >= 0 && heading < 360);
    CalcBearingDistanceFrom(10, 20, true, heading, dist, -90, 0); // to the south pole
    EXPECT_EQ(heading, 180);
    CalcBearingDistanceFrom(10, 20, true, heading, dist, 90, 123);
    EXPECT_EQ(heading, 0);
    for (double x : {1e-300, 1.0 - 1e-17, 89.9999999999})
        EXPECT_FALSE(std::isnan(GreatCircleAngle(x, x, x, x)));
    CalcBearingDistanceFrom(std::nan(""), 0, true, heading, dist, 0, 0);
    EXPECT_EQ(heading, 0);
    EXPECT_EQ(dist, 0);
}

TEST(Distance, KnownCityPairs)
{
    // published great-circle distances (spherical earth, 6371 km)
    struct Pair {
        double lat1, lon1, lat2, lon2, km;
    };
    for (Pair p : {Pair{51.5074, -0.1278, 40.7128, -74.0060, 5570},    // London - New York
                   Pair{48.8566, 2.3522, 35.6762, 139.6503, 9714},     // Paris - Tokyo
                   Pair{-33.8688, 151.2093, 51.5074, -0.1278, 16994}}) { // Sydney - London
        int heading = 0, dist = 0;
        CalcBearingDistanceFrom(p.lat1, p.lon1, true, heading, dist, p.lat2, p.lon2);
        EXPECT_NEAR(dist, p.km, p.km * 0.005) << p.km;
    }
    int heading = 0, dist = 0;
    CalcBearingDistanceFrom(51.5074, -0.1278, true, heading, dist, 40.7128, -74.0060);
    EXPECT_EQ(heading, 288) << "London to New York starts west-north-west";
}

} // namespace
} // namespace korval
