#pragma once
// Great-circle routines on the globe's sphere and the ellipsoidal (Vincenty) distance.
#include "globe/globe_units.h"

namespace korval {

// Initial bearing from p to q, counter-clockwise from north (positive toward the west).
std::int32_t GreatCircleBearing(const TGlobePoint& p, const TGlobePoint& q);
// Haversine distance in globe units of arc.
std::int32_t GreatCircleDistance(const TGlobePoint& p, const TGlobePoint& q);
// The point at distance (globe units) and bearing (counter-clockwise from north) from (lon1, lat1).
void DestinationPoint(std::int32_t lon1, std::int32_t lat1, std::int32_t distance, std::int32_t& lat2,
                      std::int32_t& lon2, std::int32_t bearing);
long double FloatMod(long double m, long double x);

struct TSpheroidData {
    double a;        // semi-major axis, globe units
    double inverseF; // 1/f
};
TSpheroidData SpheroidData(TSpheroid s);

// Vincenty's inverse method. Near antipodal points the iteration may not converge: after a fixed
// number of rounds the distance falls back to the great circle on the mean radius.
std::int32_t SpheroidDistance(const TGlobePoint& p1, const TGlobePoint& p2, TSpheroid spheroid);

} // namespace korval
