#pragma once
// Great-circle routines on the globe's sphere and the ellipsoidal (Vincenty) distance.
#include <vector>

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

// The vertices of the great-circle path from one point to another, one segment per degree of
// arc: mode 0 the short path from `from`, mode 1 the long path from `to`, any other mode the
// whole circle from `from`. Empty when the path is shorter than a degree (a straight line does)
// or when no circle is defined (the long path or whole circle of a point and itself). For
// (nearly) antipodal points every great circle through both is a shortest path: the one through
// the North Pole is taken (from a pole, the one along the meridian of 0 degrees).
std::vector<TVector> GreatCirclePath(const TGlobePoint& from, const TGlobePoint& to, int mode);

struct TSpheroidData {
    double a;        // semi-major axis, globe units
    double inverseF; // 1/f
};
TSpheroidData SpheroidData(TSpheroid s);

// Vincenty's inverse method. Near antipodal points the iteration may not converge: after a fixed
// number of rounds the distance falls back to the great circle on the mean radius.
std::int32_t SpheroidDistance(const TGlobePoint& p1, const TGlobePoint& p2, TSpheroid spheroid);

} // namespace korval
