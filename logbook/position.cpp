#include "logbook/position.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace korval {

namespace {

constexpr double Rad = std::numbers::pi / 180.0;

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool InRange(char c, char lo, char hi) { return c >= lo && c <= hi; }

} // namespace

bool IsValidGrid(std::string_view s)
{
    const std::size_t n = s.size();
    if (n == 0)
        return true;
    if (n != 2 && n != 4 && n != 6)
        return false;
    if (!InRange(Upper(s[0]), 'A', 'R') || !InRange(Upper(s[1]), 'A', 'R'))
        return false;
    if (n >= 4 && (!InRange(s[2], '0', '9') || !InRange(s[3], '0', '9')))
        return false;
    if (n == 6 && (!InRange(Upper(s[4]), 'A', 'X') || !InRange(Upper(s[5]), 'A', 'X')))
        return false;
    return true;
}

bool GridToPosition(std::string_view grid, double& longitude, double& latitude)
{
    if (grid.empty() || !IsValidGrid(grid))
        return false;
    // Field: 20 x 10 degrees; square: 2 x 1 degrees; subsquare: 1/12 x 1/24 degrees.
    double lon = (Upper(grid[0]) - 'A') * 20.0 - 180.0;
    double lat = (Upper(grid[1]) - 'A') * 10.0 - 90.0;
    if (grid.size() == 2) {
        lon += 10.0;
        lat += 5.0;
    } else {
        lon += (grid[2] - '0') * 2.0;
        lat += (grid[3] - '0');
        if (grid.size() == 4) {
            lon += 1.0;
            lat += 0.5;
        } else {
            lon += ((Upper(grid[4]) - 'A') + 0.5) / 12.0;
            lat += ((Upper(grid[5]) - 'A') + 0.5) / 24.0;
        }
    }
    longitude = lon;
    latitude = lat;
    return true;
}

std::string PositionToGrid(double longitude, double latitude)
{
    if (!std::isfinite(longitude))
        longitude = 0.0;
    if (!std::isfinite(latitude))
        latitude = 0.0;
    // Counted in subsquares (5 minutes of longitude, 2.5 of latitude), so that a position on a
    // line of the grid belongs to the square north and east of it. Whole degrees and minutes are
    // what operators type; most of them are lines, and many (41 05' N) have no exact binary
    // value: what lies within a hair (far below a millimetre) of a line is on it.
    constexpr double OnTheLine = 1e-9;
    double x = std::fmod(longitude + 180.0, 360.0);
    if (x < 0)
        x += 360.0;
    long col = static_cast<long>(std::floor(x * 12.0 + OnTheLine)) % 4320; // 180 East is 180 West
    long row = static_cast<long>(std::floor((std::clamp(latitude, -90.0, 90.0) + 90.0) * 24.0 + OnTheLine));
    row = std::clamp(row, 0L, 4319L); // 90 North lies in the top row

    std::string g(6, ' ');
    g[0] = static_cast<char>('A' + col / 240);
    g[1] = static_cast<char>('A' + row / 240);
    g[2] = static_cast<char>('0' + col % 240 / 24);
    g[3] = static_cast<char>('0' + row % 240 / 24);
    g[4] = static_cast<char>('a' + col % 24);
    g[5] = static_cast<char>('a' + row % 24);
    return g;
}

double ArcCos(double x)
{
    if (std::isnan(x))
        return 0.0;
    return std::acos(std::clamp(x, -1.0, 1.0));
}

double GreatCircleAngle(double lat1, double lon1, double lat2, double lon2)
{
    const double p1 = lat1 * Rad, p2 = lat2 * Rad, dl = (lon2 - lon1) * Rad;
    return ArcCos(std::sin(p1) * std::sin(p2) + std::cos(p1) * std::cos(p2) * std::cos(dl));
}

double GreatCircleBearing(double lat1, double lon1, double lat2, double lon2)
{
    // atan2 keeps every quadrant right, including due west and a zero north component,
    // where a plain arctangent of the ratio breaks down.
    const double p1 = lat1 * Rad, p2 = lat2 * Rad, dl = (lon2 - lon1) * Rad;
    const double east = std::sin(dl) * std::cos(p2);
    const double north = std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl);
    double deg = std::atan2(east, north) / Rad;
    if (deg < 0)
        deg += 360.0;
    if (deg >= 360.0)
        deg -= 360.0;
    return deg;
}

void CalcBearingDistanceFrom(double homeLatitude, double homeLongitude, bool fromHome, int& heading,
                             int& distanceKm, double latitude, double longitude)
{
    double lat1 = homeLatitude, lon1 = homeLongitude, lat2 = latitude, lon2 = longitude;
    if (!fromHome) {
        std::swap(lat1, lat2);
        std::swap(lon1, lon2);
    }
    if (!std::isfinite(lat1 + lon1 + lat2 + lon2)) {
        heading = 0;
        distanceKm = 0;
        return;
    }
    const double d = GreatCircleAngle(lat1, lon1, lat2, lon2);
    int h = static_cast<int>(std::lround(GreatCircleBearing(lat1, lon1, lat2, lon2)));
    heading = h >= 360 ? h - 360 : h;
    distanceKm = static_cast<int>(std::lround(EarthRadiusKm * d));
}

} // namespace korval
