#include "globe/globe_units.h"

#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace korval {

std::string GlobeFormat(const char* format, ...)
{
    char buf[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    return buf;
}

namespace {

struct UnitRow {
    double perUnit;
    const char* name;
};

// Thousandths were once written as "T", the same letter as thirds, so a file saved in
// thousandths read back as thirds; they get their own name and "T" keeps meaning thirds.
constexpr UnitRow kUnits[GLOBE_UNIT_COUNT] = {
    {5400000.0, "D"}, {90000.0, "MN"}, {90000.0, "NM"}, {48596.11231101512, "KM"},
    {78157.89483968144, "MI"}, {1500.0, "S"}, {250.0, "T"}, {15.0, "H"}, {1.0, "TH"},
    {48.59611231101512, "M"}, {0.48596112311015116, "CM"}, {44.40789479527355, "YD"},
    {14.802631598424515, "FT"}, {1.233552633202043, "IN"}, {1.0, "GU"}, {0.0, "PI"},
};

} // namespace

std::int32_t NormalizeLongitude(std::int64_t v)
{
    if (v >= GU_180)
        v -= GU_360;
    else if (v < -GU_180)
        v += GU_360;
    return static_cast<std::int32_t>(v);
}

TGlobePoint MakeGlobePoint(std::int64_t longitude, std::int32_t latitude, std::int32_t height)
{
    return {NormalizeLongitude(longitude), latitude, height};
}

double UnitsPerUnit(TGlobeUnits unit) { return kUnits[static_cast<int>(unit)].perUnit; }
const char* UnitName(TGlobeUnits unit) { return kUnits[static_cast<int>(unit)].name; }

long double GlobeUnitsToUnit(double value, TGlobeUnits unit)
{
    double per = UnitsPerUnit(unit);
    return per == 0 ? 0.0L : static_cast<long double>(value) / per;
}

std::int32_t UnitToGlobeUnits(TGlobeUnits unit, double value)
{
    return RoundGU(static_cast<long double>(value) * UnitsPerUnit(unit));
}

TGlobeUnits StrToUnits(std::string_view text)
{
    for (int i = 0; i < GLOBE_UNIT_COUNT; ++i) {
        std::string_view name = kUnits[i].name;
        if (name.size() != text.size())
            continue;
        bool same = true;
        for (std::size_t c = 0; c < name.size() && same; ++c)
            same = std::toupper(static_cast<unsigned char>(text[c])) == name[c];
        if (same)
            return static_cast<TGlobeUnits>(i);
    }
    throw EGlobeException(GlobeFormat("StrToUnits: Unknown Unit %.*s", int(text.size()), text.data()));
}

bool UnitFromOrdinal(int ordinal, TGlobeUnits& unit)
{
    if (ordinal < 0 || ordinal >= GLOBE_UNIT_COUNT)
        return false;
    unit = static_cast<TGlobeUnits>(ordinal);
    return true;
}

std::string FormatGlobeCoord(std::int32_t value, std::string_view format)
{
    const bool negative = value < 0;
    const std::int64_t v = std::llabs(static_cast<std::int64_t>(value));
    const std::int64_t d = v / GU_DEGREE;
    const std::int64_t m = (v % GU_DEGREE) / GU_MINUTE;
    const std::int64_t rem = v % GU_MINUTE;
    const std::int64_t s = rem / GU_SECOND;
    const std::int64_t t = (rem % GU_SECOND) / 250;
    const std::int64_t u = rem % 250;
    std::string out;
    char buf[32];
    for (std::size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (c != '%' || i + 1 >= format.size()) {
            out += c;
            continue;
        }
        char f = static_cast<char>(std::toupper(static_cast<unsigned char>(format[++i])));
        switch (f) {
        case 'D': std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(d)); out += buf; break;
        case 'M': std::snprintf(buf, sizeof buf, "%2.2lld", static_cast<long long>(m)); out += buf; break;
        case 'S': std::snprintf(buf, sizeof buf, "%2.2lld", static_cast<long long>(s)); out += buf; break;
        case 'T': std::snprintf(buf, sizeof buf, "%2.2lld", static_cast<long long>(t)); out += buf; break;
        case 'U': std::snprintf(buf, sizeof buf, "%2.2lld", static_cast<long long>(u)); out += buf; break;
        case 'E': out += negative ? 'W' : 'E'; break;
        case 'N': out += negative ? 'S' : 'N'; break;
        default: out += format[i]; break;
        }
    }
    return out;
}

long double ArcSin(long double x)
{
    if (x >= 1)
        return PI / 2;
    if (x <= -1)
        return -PI / 2;
    return std::atan2(x, std::sqrt(1 - x * x));
}

long double ArcCos(long double x)
{
    long double r = 1 - x * x;
    if (r > 0)
        return std::atan2(std::sqrt(r), x);
    return x < 0 ? PI : 0.0L;
}

long double AngleInRange(long double a)
{
    if (a > PI)
        a -= 2 * PI;
    else if (a < -PI)
        a += 2 * PI;
    return a;
}

std::int32_t RoundGU(long double v)
{
    if (!(v == v))
        return 0;
    long double r = std::round(v);
    if (r >= std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (r <= std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(r);
}

TPoint3D PointToVector(const TGlobePoint& p)
{
    long double r = GLOBE_RADIUS + p.iHeightZ;
    long double lon = p.iLongX * static_cast<long double>(GU_TO_RADIANS);
    long double lat = p.iLatY * static_cast<long double>(GU_TO_RADIANS);
    return {RoundGU(r * std::cos(lat) * std::sin(lon)), RoundGU(r * std::sin(lat)),
            RoundGU(r * std::cos(lat) * std::cos(lon))};
}

TVector PointToUnitVector(const TGlobePoint& p)
{
    long double lon = p.iLongX * static_cast<long double>(GU_TO_RADIANS);
    long double lat = p.iLatY * static_cast<long double>(GU_TO_RADIANS);
    return {std::cos(lat) * std::sin(lon), std::sin(lat), std::cos(lat) * std::cos(lon)};
}

TGlobePoint UnitVectorToPoint(const TVector& v, std::int32_t height)
{
    long double lon = std::atan2(v.x, v.z) * GU_PER_RADIAN;
    long double lat = ArcSin(v.y) * GU_PER_RADIAN;
    return MakeGlobePoint(static_cast<std::int64_t>(std::trunc(lon)), static_cast<std::int32_t>(std::trunc(lat)),
                          height);
}

TVector Normalize(TVector v)
{
    long double len2 = v.x * v.x + v.y * v.y + v.z * v.z;
    if (len2 > 1e-10L) {
        long double len = std::sqrt(len2);
        v.x /= len;
        v.y /= len;
        v.z /= len;
    }
    return v;
}

long double Dot(const TVector& a, const TVector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

TVector CrossNormalized(const TVector& a, const TVector& b)
{
    return Normalize({a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x});
}

TVector RotateVector(const TVector& v, const TVector& axis, long double angle)
{
    long double c = std::cos(angle), s = std::sin(angle), d = Dot(axis, v);
    TVector x{axis.y * v.z - axis.z * v.y, axis.z * v.x - axis.x * v.z, axis.x * v.y - axis.y * v.x};
    return Normalize({v.x * c + x.x * s + axis.x * d * (1 - c), v.y * c + x.y * s + axis.y * d * (1 - c),
                      v.z * c + x.z * s + axis.z * d * (1 - c)});
}

TVector MatrixTimesVector(const TMatrix& m, const TVector& v)
{
    return Normalize({m.m[0] * v.x + m.m[1] * v.y + m.m[2] * v.z, m.m[3] * v.x + m.m[4] * v.y + m.m[5] * v.z,
                      m.m[6] * v.x + m.m[7] * v.y + m.m[8] * v.z});
}

TQuaternion AxisAngleQuaternion(const TVector& axis, long double angle)
{
    long double s = std::sin(angle / 2);
    return {axis.x * s, axis.y * s, axis.z * s, std::cos(angle / 2)};
}

TQuaternion RotationQuaternion(std::int32_t xRot, std::int32_t yRot, std::int32_t zRot)
{
    const long double k = GU_TO_RADIANS;
    long double a = (PI - xRot * k) / 2, b = yRot * k / 2, c = zRot * k / 2;
    long double sa = std::sin(a), ca = std::cos(a), sb = std::sin(b), cb = std::cos(b), sc = std::sin(c),
                cc = std::cos(c);
    return {cb * sa * cc - sb * ca * sc, cb * sa * sc + sb * ca * cc, cb * ca * sc - sb * sa * cc,
            cb * ca * cc + sb * sa * sc};
}

TMatrix QuaternionToMatrix(const TQuaternion& q)
{
    const long double x = q.x, y = q.y, z = q.z, w = q.w;
    TMatrix m;
    m.m[0] = double(1 - 2 * (y * y + z * z));
    m.m[1] = double(2 * (x * y + w * z));
    m.m[2] = double(2 * (x * z - w * y));
    m.m[3] = double(2 * (x * y - w * z));
    m.m[4] = double(1 - 2 * (x * x + z * z));
    m.m[5] = double(2 * (y * z + w * x));
    m.m[6] = double(2 * (x * z + w * y));
    m.m[7] = double(2 * (y * z - w * x));
    m.m[8] = double(1 - 2 * (x * x + y * y));
    return m;
}

TMatrix ScaleMatrix(const TMatrix& m, double s)
{
    TMatrix r = m;
    for (double& v : r.m)
        v *= s;
    return r;
}

TMatrix TransposeMatrix(const TMatrix& m)
{
    TMatrix r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r.m[i * 3 + j] = m.m[j * 3 + i];
    return r;
}

} // namespace korval
