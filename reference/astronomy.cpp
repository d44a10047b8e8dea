#include "reference/astronomy.h"

#include "reference/vsop87_earth.h"

#include <algorithm>
#include <cmath>

namespace korval {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double Rad = Pi / 180.0;
constexpr double J2000 = 2451545.0;
// Day count of 1970-01-01, the system clock's epoch.
constexpr TStDate UnixEpochStDate = 135140;
// Corrections of one rise or set converge in two or three steps; near the polar circles the
// correction's divisor (the sine of the hour angle) goes to zero and the steps may grow
// instead, so they are cut off here.
constexpr int MaxCorrections = 20;

double reduce360(double x)
{
    x = std::fmod(x, 360.0);
    return x < 0 ? x + 360.0 : x;
}

double reduce1(double x)
{
    x -= std::floor(x);
    return x >= 1.0 ? 0.0 : x;
}

double clampedAsin(double x) { return std::asin(std::clamp(x, -1.0, 1.0)); }

// Three-point interpolation (Meeus 3.3) at n days from the middle value.
double interpolate(double y1, double y2, double y3, double n)
{
    const double a = y2 - y1, b = y3 - y2, c = b - a;
    return y2 + n / 2.0 * (a + b + n * c);
}

double julianDay(const TStDateTimeRec& dt) { return AstroJulianDate(dt.D) + dt.T / 86400.0; }

// The Sun's apparent position for a Julian day: the Earth's heliocentric position turned
// geocentric, moved to the FK5 frame, with nutation in longitude and obliquity (the leading
// terms) and aberration.
TStPosRec sunPosition(double jd)
{
    const double tau = (jd - J2000) / 365250.0;
    const double T = tau * 10.0;
    const double L = EvaluateVsop(EarthLongitudeSeries, 6, tau) / Rad;
    const double B = EvaluateVsop(EarthLatitudeSeries, 2, tau) / Rad;
    const double R = EvaluateVsop(EarthRadiusSeries, 5, tau);

    double lambda = reduce360(L + 180.0);
    double beta = -B;
    const double lambdaP = (lambda - 1.397 * T - 0.00031 * T * T) * Rad;
    lambda += -0.09033 / 3600.0;
    beta += 0.03916 / 3600.0 * (std::cos(lambdaP) - std::sin(lambdaP));

    const double omega = (125.04452 - 1934.136261 * T + 0.0020708 * T * T + T * T * T / 450000.0) * Rad;
    const double sunMean = (280.4665 + 36000.7698 * T) * Rad;
    const double moonMean = (218.3165 + 481267.8813 * T) * Rad;
    const double dPsi = (-17.20 * std::sin(omega) - 1.32 * std::sin(2 * sunMean) - 0.23 * std::sin(2 * moonMean) +
                         0.21 * std::sin(2 * omega)) / 3600.0;
    const double dEps = (9.20 * std::cos(omega) + 0.57 * std::cos(2 * sunMean) + 0.10 * std::cos(2 * moonMean) -
                         0.09 * std::cos(2 * omega)) / 3600.0;
    const double eps0 = 23.0 + 26.0 / 60.0 + 21.448 / 3600.0 - (46.8150 * T + 0.00059 * T * T - 0.001813 * T * T * T) / 3600.0;
    const double eps = (eps0 + dEps) * Rad;
    lambda += dPsi - 20.4898 / 3600.0 / R;

    const double l = lambda * Rad, b = beta * Rad;
    TStPosRec p;
    p.RA = reduce360(std::atan2(std::sin(l) * std::cos(eps) - std::tan(b) * std::sin(eps), std::cos(l)) / Rad);
    p.DC = clampedAsin(std::sin(b) * std::cos(eps) + std::cos(b) * std::sin(eps) * std::sin(l)) / Rad;
    return p;
}

double siderealAt(double jd)
{
    const double d = jd - J2000;
    const double T = d / 36525.0;
    return reduce360(280.46061837 + 360.98564736629 * d + 0.000387933 * T * T - T * T * T / 38710000.0);
}

} // namespace

bool ValidDateTime(const TStDateTimeRec& dt) { return dt.D >= 0 && dt.D <= MaxDate && dt.T >= 0 && dt.T < 86400; }

TStDateTimeRec IncDateTime(const TStDateTimeRec& dt, std::int32_t days, std::int32_t seconds)
{
    std::int64_t t = std::int64_t(dt.T) + seconds;
    std::int64_t carry = t / 86400;
    t %= 86400;
    if (t < 0) {
        t += 86400;
        --carry;
    }
    return {static_cast<TStDate>(dt.D + days + carry), static_cast<TStTime>(t)};
}

TStDate DateTimeToStDate(std::chrono::sys_seconds t)
{
    const auto days = std::chrono::floor<std::chrono::days>(t).time_since_epoch().count();
    const std::int64_t d = days + UnixEpochStDate;
    return d < 0 || d > MaxDate ? BadDate : static_cast<TStDate>(d);
}

TStTime DateTimeToStTime(std::chrono::sys_seconds t)
{
    const auto day = std::chrono::floor<std::chrono::days>(t);
    return static_cast<TStTime>(std::chrono::floor<std::chrono::seconds>(t - day).count());
}

std::chrono::sys_seconds StDateToDateTime(TStDate d)
{
    return std::chrono::sys_seconds(std::chrono::days(std::int64_t(d) - UnixEpochStDate));
}

std::chrono::seconds StTimeToDateTime(TStTime t) { return std::chrono::seconds(t); }

double AstroJulianDate(TStDate d) { return d - 0.5 + 2305448.0; }

double SiderealTime(const TStDateTimeRec& dt)
{
    if (!ValidDateTime(dt))
        return -1;
    return siderealAt(julianDay(dt));
}

TStPosRec SunPos(const TStDateTimeRec& dt)
{
    if (!ValidDateTime(dt))
        return {-1, -99};
    return sunPosition(julianDay(dt));
}

TStRiseSetRec SunRiseSet(TStDate d, double longitude, double latitude)
{
    if (d - 1 < 0 || d + 1 > MaxDate)
        return {RiseSetBadDate, RiseSetBadDate};
    const double jd = AstroJulianDate(d);
    TStPosRec p[3];
    for (int i = 0; i < 3; ++i)
        p[i] = sunPosition(jd + i - 1);
    // The right ascensions must increase across the three days for the interpolation.
    for (int i = 1; i < 3; ++i)
        if (p[i].RA < p[i - 1].RA)
            p[i].RA += 360.0;

    const double phi = latitude * Rad;
    const double h0 = SunStandardAltitude * Rad;
    const double theta0 = siderealAt(jd);
    // The hour angle at a day fraction, -180..180 degrees.
    auto hourAngle = [&](double m) {
        double H = reduce360(theta0 + 360.985647 * m + longitude - interpolate(p[0].RA, p[1].RA, p[2].RA, m));
        return H > 180.0 ? H - 360.0 : H;
    };
    auto declination = [&](double m) { return interpolate(p[0].DC, p[1].DC, p[2].DC, m) * Rad; };
    double transit = reduce1((p[1].RA - longitude - theta0) / 360.0);
    for (int step = 0; step < 3; ++step)
        transit -= hourAngle(transit) / 360.0;

    // Whether the Sun rises and sets is decided from its altitudes during the day, at its upper
    // and lower culmination, not from the declination at 0h: on a day when the Sun just grazes
    // the horizon near a polar circle, the declination at midnight says it stays down (or up)
    // while at noon it is above (or at midnight below) the horizon for an hour.
    const double dcUpper = declination(transit);
    const double lower = transit < 0.5 ? transit + 0.5 : transit - 0.5;
    const double dcLower = declination(lower);
    const double highest = Pi / 2 - std::fabs(phi - dcUpper);
    const double lowest = std::fabs(phi + dcLower) - Pi / 2;
    if (lowest > h0)
        return {RiseSetAlwaysUp, RiseSetAlwaysUp};
    if (!(highest >= h0))
        return {RiseSetAlwaysDown, RiseSetAlwaysDown};
    // The first estimate of the hour angle at the horizon: from the declination at 0h, or, where
    // that has no such hour angle, from the one at the culmination that crosses the horizon.
    auto cosHourAngle = [&](double dc) { return (std::sin(h0) - std::sin(phi) * std::sin(dc)) / (std::cos(phi) * std::cos(dc)); };
    double cosH0 = cosHourAngle(p[1].DC * Rad);
    if (cosH0 > 1.0)
        cosH0 = cosHourAngle(dcUpper);
    else if (cosH0 < -1.0)
        cosH0 = cosHourAngle(dcLower);
    const double H0 = std::acos(std::clamp(cosH0, -1.0, 1.0)) / Rad;

    auto refine = [&](double m) {
        m = reduce1(m);
        for (int step = 0; step < MaxCorrections; ++step) {
            const double theta = theta0 + 360.985647 * m;
            const double ra = interpolate(p[0].RA, p[1].RA, p[2].RA, m);
            const double dc = interpolate(p[0].DC, p[1].DC, p[2].DC, m) * Rad;
            double H = reduce360(theta + longitude - ra);
            if (H > 180.0)
                H -= 360.0;
            const double h = clampedAsin(std::sin(phi) * std::sin(dc) + std::cos(phi) * std::cos(dc) * std::cos(H * Rad));
            const double divisor = 360.0 * std::cos(dc) * std::cos(phi) * std::sin(H * Rad);
            if (divisor == 0.0)
                break;
            const double dm = (h - h0) / Rad / divisor;
            m += dm;
            if (!std::isfinite(m) || std::fabs(dm) < 0.0005)
                break;
        }
        if (!std::isfinite(m))
            return TStTime(-1);
        // The day fraction wrapped into the day whatever the corrections did.
        auto s = static_cast<std::int64_t>(std::floor(reduce1(m) * 86400.0 + 0.5));
        return static_cast<TStTime>(s % 86400);
    };
    TStRiseSetRec r;
    r.ORise = refine(transit - H0 / 360.0);
    r.OSet = refine(transit + H0 / 360.0);
    return r;
}

} // namespace korval
