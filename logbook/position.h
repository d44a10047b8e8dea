#pragma once
// Maidenhead locators and great-circle heading and distance. Longitudes are degrees East
// (negative = West), latitudes degrees North (negative = South).
#include <string>
#include <string_view>

namespace korval {

// Upper-cased: empty, two field letters A-R, then two digits, then two subsquare letters A-X.
bool IsValidGrid(std::string_view s);

// The centre of the locator's field, square or subsquare. False (nothing written) for an
// invalid or empty locator: an empty locator has no position.
bool GridToPosition(std::string_view grid, double& longitude, double& latitude);

// Six characters, the subsquare letters in lower case. Longitudes outside -180..180 are
// wrapped; latitudes are kept inside the grid (90 North lies in the top row).
std::string PositionToGrid(double longitude, double latitude);

// Radians; the argument is clamped to [-1, 1] first so rounding just past 1 gives 0, not NaN.
double ArcCos(double x);

// Initial great-circle bearing from point 1 to point 2 in degrees, 0 <= result < 360.
double GreatCircleBearing(double lat1, double lon1, double lat2, double lon2);
// Central angle between two points in radians.
double GreatCircleAngle(double lat1, double lon1, double lat2, double lon2);

// Mean earth radius used for every distance shown.
inline constexpr double EarthRadiusKm = 6371.0;

// Heading in whole degrees 0..359 and distance in whole km between a home position and a
// point. With fromHome the path runs from home to the point, otherwise from the point home.
void CalcBearingDistanceFrom(double homeLatitude, double homeLongitude, bool fromHome, int& heading,
                             int& distanceKm, double latitude, double longitude);

} // namespace korval
