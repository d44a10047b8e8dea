#pragma once
// Globe units and the geometry everything in the globe engine is built on: integer positions
// (360 degrees = 1,944,000,000 units), unit conversions and names, the coordinate formatter,
// angle helpers, unit vectors, quaternions and rotation matrices.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace korval {

class EGlobeException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// printf-style message for EGlobeException texts.
std::string GlobeFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

constexpr std::int32_t GU_DEGREE = 5400000;
constexpr std::int32_t GU_MINUTE = 90000;
constexpr std::int32_t GU_SECOND = 1500;
constexpr std::int32_t GU_180 = 972000000;
constexpr std::int32_t GU_90 = 486000000;
constexpr std::int64_t GU_360 = 1944000000;
constexpr double GU_TO_RADIANS = 3.2320912073969064e-09; // k
constexpr double GU_PER_RADIAN = 309397209.3706445;       // K
constexpr double GLOBE_RADIUS = 309397230.0;              // Rg, radius of the 3-D code
constexpr double PI = 3.14159265358979323846;

struct TGlobePoint {
    std::int32_t iLongX = 0;
    std::int32_t iLatY = 0;
    std::int32_t iHeightZ = 0;
    bool operator==(const TGlobePoint&) const = default;
};

struct TPoint3D {
    std::int32_t x = 0, y = 0, z = 0;
};

struct TVector {
    long double x = 0, y = 0, z = 0;
};

struct TQuaternion {
    long double x = 0, y = 0, z = 0, w = 1;
};

struct TMatrix {
    double m[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
};

enum class TGlobeUnits : std::uint8_t {
    Degree, Minute, NauticalMile, Kilometer, Mile, Second, Third, Hundreth, Thousanth, Meter,
    CentiMeter, Yard, Foot, Inch, GlobeUnit, Pixel
};
constexpr int GLOBE_UNIT_COUNT = 16;

enum class TSpheroid : std::uint8_t {
    Airy1830, Australian1965, Bessel1841, Clarke1866, Clarke1880, Everest1830, GRS1967, GRS1980,
    Helmert1906, Hough, International1920, Krassovsky1940, SouthAmerican1969, WGS60, WGS66, WGS72,
    WGS84
};

std::int32_t NormalizeLongitude(std::int64_t v);
TGlobePoint MakeGlobePoint(std::int64_t longitude, std::int32_t latitude, std::int32_t height = 0);

// Globe units per unit (0 for Pixel, which the globe converts with its scale factor).
double UnitsPerUnit(TGlobeUnits unit);
const char* UnitName(TGlobeUnits unit);
long double GlobeUnitsToUnit(double value, TGlobeUnits unit);
std::int32_t UnitToGlobeUnits(TGlobeUnits unit, double value);
TGlobeUnits StrToUnits(std::string_view text);
// Inside a file a unit is its ordinal byte; an unknown byte is refused by the reader.
bool UnitFromOrdinal(int ordinal, TGlobeUnits& unit);

std::string FormatGlobeCoord(std::int32_t value, std::string_view format);

// Angles: both give the limit for arguments beyond +-1 instead of NaN.
long double ArcSin(long double x);
long double ArcCos(long double x);
// Brings an angle difference into [-pi, pi] by adding or subtracting 2 pi once.
long double AngleInRange(long double a);
// Rounds to the nearest integer, saturating at the 32-bit range.
std::int32_t RoundGU(long double v);

TPoint3D PointToVector(const TGlobePoint& p);
TVector PointToUnitVector(const TGlobePoint& p);
TGlobePoint UnitVectorToPoint(const TVector& v, std::int32_t height = 0);
TVector Normalize(TVector v);
long double Dot(const TVector& a, const TVector& b);
TVector CrossNormalized(const TVector& a, const TVector& b);
// Rodrigues rotation of v about the unit axis (right-handed), normalised.
TVector RotateVector(const TVector& v, const TVector& axis, long double angle);
TVector MatrixTimesVector(const TMatrix& m, const TVector& v);
TQuaternion AxisAngleQuaternion(const TVector& axis, long double angle);
TQuaternion RotationQuaternion(std::int32_t xRot, std::int32_t yRot, std::int32_t zRot);
TMatrix QuaternionToMatrix(const TQuaternion& q);
TMatrix ScaleMatrix(const TMatrix& m, double s);
TMatrix TransposeMatrix(const TMatrix& m);

} // namespace korval
