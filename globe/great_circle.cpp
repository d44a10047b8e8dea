#include "globe/great_circle.h"

#include <cmath>

namespace korval {

namespace {
constexpr long double k = GU_TO_RADIANS;
constexpr TSpheroidData kSpheroids[] = {
    {309924787, 299.3249646}, {309953780, 298.25}, {309916708, 299.1528128}, {309956035, 294.9786982},
    {309958112, 293.465}, {309910838, 300.8017}, {309953780, 298.247167427}, {309952662, 298.257222101},
    {309955724, 298.3}, {309959125, 297.0}, {309964860, 297.0}, {309957910, 298.3}, {309953780, 298.25},
    {309954023, 298.3}, {309953051, 298.25}, {309952565, 298.26}, {309952662, 298.257223563},
};
constexpr int kVincentyRounds = 200;
} // namespace

std::int32_t GreatCircleBearing(const TGlobePoint& p, const TGlobePoint& q)
{
    long double lp = p.iLongX * k, fp = p.iLatY * k, lq = q.iLongX * k, fq = q.iLatY * k;
    long double b = std::atan2(std::sin(lp - lq) * std::cos(fq),
                               std::cos(fp) * std::sin(fq) - std::sin(fp) * std::cos(fq) * std::cos(lp - lq));
    return RoundGU(AngleInRange(b) * GU_PER_RADIAN);
}

std::int32_t GreatCircleDistance(const TGlobePoint& p, const TGlobePoint& q)
{
    long double lp = p.iLongX * k, fp = p.iLatY * k, lq = q.iLongX * k, fq = q.iLatY * k;
    long double s1 = std::sin((fp - fq) / 2), s2 = std::sin((lp - lq) / 2);
    long double h = s1 * s1 + std::cos(fp) * std::cos(fq) * s2 * s2;
    return RoundGU(2 * ArcSin(std::sqrt(h)) * GU_PER_RADIAN);
}

long double FloatMod(long double m, long double x)
{
    if (x >= 0)
        return x - std::trunc(x / m) * m;
    return (std::trunc(-x / m) + 1) * m + x;
}

void DestinationPoint(std::int32_t lon1, std::int32_t lat1, std::int32_t distance, std::int32_t& lat2,
                      std::int32_t& lon2, std::int32_t bearing)
{
    // The same radius as the distances: a point at the distance GreatCircleDistance measures.
    long double delta = distance * k, theta = bearing * k;
    long double f1 = lat1 * k, l1 = lon1 * k;
    long double f2 = ArcSin(std::sin(f1) * std::cos(delta) + std::cos(f1) * std::sin(delta) * std::cos(theta));
    long double dl = std::atan2(std::sin(theta) * std::sin(delta) * std::cos(f1),
                                std::cos(delta) - std::sin(f1) * std::sin(f2));
    long double l2 = FloatMod(2 * PI, l1 - dl + PI) - PI;
    lat2 = RoundGU(f2 * GU_PER_RADIAN);
    lon2 = NormalizeLongitude(RoundGU(l2 * GU_PER_RADIAN));
}

std::vector<TVector> GreatCirclePath(const TGlobePoint& from, const TGlobePoint& to, int mode)
{
    const TVector u = PointToUnitVector(from), v = PointToUnitVector(to);
    TVector c{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
    const long double sine = std::sqrt(c.x * c.x + c.y * c.y + c.z * c.z);
    const long double base = std::atan2(sine, Dot(u, v));
    const long double angle = mode == 0 ? base : mode == 1 ? 2 * PI - base : 2 * PI;
    // One segment a degree; a whole number of degrees (half the world between antipodes) is not
    // cut short by the rounding of its last bits.
    const int n = static_cast<int>(std::trunc(angle / (PI / 180) + 1e-9L));
    if (n < 1)
        return {};
    // The plane of two points is well defined down to a sine of about 1e-15 (positions are whole
    // globe units, 1e-9 radians); below that the points are the same or each other's antipode.
    TVector axis;
    if (sine > 1e-15L) {
        axis = {c.x / sine, c.y / sine, c.z / sine};
    } else if (Dot(u, v) > 0) {
        return {}; // one point: no circle through it is the one meant
    } else {
        const TVector north{0, 1, 0};
        const TVector p{u.y * north.z - u.z * north.y, u.z * north.x - u.x * north.z, u.x * north.y - u.y * north.x};
        const long double len = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
        if (len > 1e-15L)
            axis = {p.x / len, p.y / len, p.z / len};
        else // at a pole: the meridian of 0 degrees
            axis = {u.y > 0 ? 1.0L : -1.0L, 0, 0};
    }
    const TVector start = mode == 1 ? v : u;
    const long double step = angle / n;
    std::vector<TVector> pts;
    pts.reserve(static_cast<std::size_t>(n) + 1);
    for (int i = 0; i <= n; ++i)
        pts.push_back(RotateVector(start, axis, step * i));
    return pts;
}

TSpheroidData SpheroidData(TSpheroid s) { return kSpheroids[static_cast<int>(s)]; }

std::int32_t SpheroidDistance(const TGlobePoint& p1, const TGlobePoint& p2, TSpheroid spheroid)
{
    if (p1.iLongX == p2.iLongX && p1.iLatY == p2.iLatY)
        return 0;
    const TSpheroidData sd = SpheroidData(spheroid);
    const long double a = sd.a, f = 1.0L / sd.inverseF, b = a * (1 - f);
    const long double L = AngleInRange((p2.iLongX - static_cast<long double>(p1.iLongX)) * k);
    const long double U1 = std::atan((1 - f) * std::tan(p1.iLatY * k));
    const long double U2 = std::atan((1 - f) * std::tan(p2.iLatY * k));
    const long double sinU1 = std::sin(U1), cosU1 = std::cos(U1), sinU2 = std::sin(U2), cosU2 = std::cos(U2);
    long double lambda = L, sinSigma = 0, cosSigma = 0, sigma = 0, cos2Alpha = 0, cos2SigmaM = 0;
    bool converged = false;
    for (int round = 0; round < kVincentyRounds; ++round) {
        long double sinL = std::sin(lambda), cosL = std::cos(lambda);
        long double t1 = cosU2 * sinL, t2 = cosU1 * sinU2 - sinU1 * cosU2 * cosL;
        sinSigma = std::sqrt(t1 * t1 + t2 * t2);
        if (sinSigma == 0)
            return 0; // coincident points
        cosSigma = sinU1 * sinU2 + cosU1 * cosU2 * cosL;
        sigma = std::atan2(sinSigma, cosSigma);
        long double sinAlpha = cosU1 * cosU2 * sinL / sinSigma;
        cos2Alpha = 1 - sinAlpha * sinAlpha;
        cos2SigmaM = cos2Alpha != 0 ? cosSigma - 2 * sinU1 * sinU2 / cos2Alpha : 0; // equatorial line
        long double C = f / 16 * cos2Alpha * (4 + f * (4 - 3 * cos2Alpha));
        long double prev = lambda;
        lambda = L + (1 - C) * f * sinAlpha *
                         (sigma + C * sinSigma * (cos2SigmaM + C * cosSigma * (-1 + 2 * cos2SigmaM * cos2SigmaM)));
        if (!std::isfinite(lambda))
            break;
        if (std::fabs(lambda - prev) < 5e-14L) {
            converged = true;
            break;
        }
    }
    if (!converged) {
        long double meanRadius = a * (1 - f / 3);
        return RoundGU(GreatCircleDistance(p1, p2) * k * meanRadius);
    }
    long double u2 = cos2Alpha * (a * a - b * b) / (b * b);
    long double A = 1 + u2 / 16384 * (4096 + u2 * (-768 + u2 * (320 - 175 * u2)));
    long double B = u2 / 1024 * (256 + u2 * (-128 + u2 * (74 - 47 * u2)));
    long double dSigma =
        B * sinSigma *
        (cos2SigmaM + B / 4 * (cosSigma * (-1 + 2 * cos2SigmaM * cos2SigmaM) -
                               B / 6 * cos2SigmaM * (-3 + 4 * sinSigma * sinSigma) * (-3 + 4 * cos2SigmaM * cos2SigmaM)));
    return RoundGU(b * A * (sigma - dSigma));
}

} // namespace korval
