#include "globe/prj_model.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "globe/globe_core.h"
#include "globe/globe_objects.h"

namespace korval {

namespace {
constexpr long double k = GU_TO_RADIANS;
constexpr long double K = GU_PER_RADIAN;
// Pixels are kept well inside the 32-bit range so the clipper's products cannot overflow.
constexpr std::int64_t kPixelLimit = 1 << 29;

std::int32_t ClampPixel(std::int64_t v) { return static_cast<std::int32_t>(std::clamp(v, -kPixelLimit, kPixelLimit)); }
std::int64_t Round64(long double v)
{
    if (!(v == v))
        return 0;
    return static_cast<std::int64_t>(std::round(std::clamp(v, -4e18L, 4e18L)));
}
} // namespace

TPrjModel::TPrjModel(TGlobeCore& globe) : globe_(globe) {}

void TPrjModel::Init()
{
    prop_[ppXRotation] = 126900000;
    for (int i = 1; i < 7; ++i)
        prop_[i] = 0;
    GridLongitudes = 72;
    GridLatitudes = 144;
    YAxisChanges = yaCentralMeridian;
    XAxisChanges = xaYOrigin;
    double ew = double(ExtentRight) - ExtentLeft, eh = double(ExtentBottom) - ExtentTop;
    double w = globe_.CanvasWidth(), h = globe_.CanvasHeight();
    scale_ = (ew > 0 && eh > 0) ? std::min(w / ew, h / eh) : 0;
    XOrigin = globe_.CanvasWidth() / 2;
    YOrigin = globe_.CanvasHeight() / 2;
}

void TPrjModel::SetIntegerProperty(int index, std::int32_t value)
{
    if (index >= 0 && index < 7)
        prop_[index] = value;
}

void TPrjModel::SetScaleFactor(double value) { scale_ = value; }

bool TPrjModel::InsideExtent(const TGlobePoint& p) const
{
    return p.iLongX >= ExtentLeft && p.iLongX <= ExtentRight && p.iLatY >= ExtentTop && p.iLatY <= ExtentBottom;
}

bool TPrjModel::Store(double x, double y, int index)
{
    auto px = [](double v) { return v == v ? std::llround(std::clamp(v, -4e18, 4e18)) : 0LL; };
    TScreenPoint s{ClampPixel(px(x * scale_) + XOrigin), ClampPixel(YOrigin - px(y * scale_))};
    globe_.SetBufferPoint(index, s);
    return true;
}

bool TPrjModel::Unproject(std::int32_t X, std::int32_t Y, long double& x, long double& y) const
{
    if (!(scale_ > 0))
        return false; // a scale of 0 has no inverse
    x = (static_cast<long double>(X) - XOrigin) / scale_;
    y = (static_cast<long double>(YOrigin) - Y) / scale_;
    return true;
}

bool TPrjModel::LLToXY(std::int64_t longitude, std::int32_t latitude, int index)
{
    return PointLLToXY(MakeGlobePoint(longitude, latitude), index);
}

bool TPrjModel::Project(const TGlobePoint& p, TScreenPoint& out)
{
    TScreenPoint saved = globe_.Buffer()[0];
    bool ok = PointLLToXY(p, 0);
    out = globe_.Buffer()[0];
    globe_.Buffer()[0] = saved;
    return ok;
}

int TPrjModel::PointListToXY(TGlobeObject& object)
{
    int n = 0, count = object.Count();
    globe_.EnsureBuffer(static_cast<std::size_t>(count) + 1);
    // Points closer than half a pixel's worth of globe units to the last one projected are not
    // projected at all: at world zoom most points of a detailed outline fall together.
    const std::int64_t t = scale_ > 0 ? static_cast<std::int64_t>(0.5 / scale_) : 0;
    TGlobePoint last{};
    bool haveLast = false;
    for (int i = 0; i < count; ++i) {
        const TGlobePoint p = object.Get(i);
        if (haveLast && i + 1 < count && std::llabs(std::int64_t(p.iLongX) - last.iLongX) <= t &&
            std::llabs(std::int64_t(p.iLatY) - last.iLatY) <= t)
            continue;
        last = p;
        haveLast = true;
        if (!PointLLToXY(p, n))
            continue;
        if (n > 0) {
            const TScreenPoint& a = globe_.Buffer()[n - 1];
            const TScreenPoint& b = globe_.Buffer()[n];
            if (std::abs(a.x - b.x) < 2 && std::abs(a.y - b.y) < 2)
                continue;
        }
        ++n;
    }
    return n;
}

bool BoundsOnCanvas(TGlobeCore& globe, int count, int& outcode)
{
    if (count < 2)
        return false;
    const TScreenPoint* b = globe.Buffer();
    std::int32_t minX = b[0].x, maxX = b[0].x, minY = b[0].y, maxY = b[0].y;
    for (int i = 1; i < count; ++i) {
        minX = std::min(minX, b[i].x);
        maxX = std::max(maxX, b[i].x);
        minY = std::min(minY, b[i].y);
        maxY = std::max(maxY, b[i].y);
    }
    const int w = globe.CanvasWidth(), h = globe.CanvasHeight();
    auto code = [&](std::int32_t x, std::int32_t y) {
        return (x < 0 ? 1 : 0) | (x > w ? 2 : 0) | (y < 0 ? 4 : 0) | (y > h ? 8 : 0);
    };
    outcode = code(minX, minY) * 16 + code(maxX, maxY);
    return !(minX > w || maxX < 0 || minY > h || maxY < 0);
}

bool TPrjModel::ExtentVisible(const TGlobeRect& r, TGlobeObject* object, int& outcode)
{
    if (object) {
        if (std::int64_t(NormalizeLongitude(std::int64_t(r.left) - CentralMeridian())) + r.width > GU_180)
            object->State |= osMapEdge;
        else
            object->State &= ~osMapEdge;
    }
    auto piece = [&](std::int64_t x1, std::int64_t x2, std::int64_t y1, std::int64_t y2) {
        int n = 0, visible = 0;
        globe_.EnsureBuffer(64);
        auto sample = [&](std::int64_t x, std::int64_t y) {
            std::int32_t lat = static_cast<std::int32_t>(std::clamp<std::int64_t>(y, -GU_180, GU_180));
            if (LLToXY(x, lat, n)) {
                ++visible;
                ++n;
                globe_.EnsureBuffer(static_cast<std::size_t>(n) + 1);
            }
        };
        sample(x1, y1);
        sample(x1, y2);
        sample(x2, y2);
        sample(x2, y1);
        for (std::int64_t x = x1 + 81000000; x < x2; x += 81000000) {
            sample(x, y1);
            sample(x, y2);
        }
        for (std::int64_t y = y1 + 81000000; y < y2; y += 81000000) {
            sample(x1, y);
            sample(x2, y);
        }
        int total = 4 + 2 * int(std::max<std::int64_t>(0, (x2 - x1 - 1) / 81000000)) +
                    2 * int(std::max<std::int64_t>(0, (y2 - y1 - 1) / 81000000));
        if (object) {
            if (visible < total)
                object->State |= osFarPart;
            if (visible > 0)
                object->State |= osNearPart;
        } else if (visible == 0) {
            return false;
        }
        // A sphere shows a piece when one sample projects even if the box of the visible ones is
        // one pixel (a single corner).
        if (visible == 1 && IsSpherical())
            return true;
        return BoundsOnCanvas(globe_, n, outcode);
    };
    const std::int64_t left = r.left, right = std::int64_t(r.left) + r.width;
    const std::int64_t top = r.top, bottom = std::int64_t(r.top) + r.height;
    if (right <= GU_180)
        return piece(left, right, top, bottom);
    if (piece(left, GU_180, top, bottom))
        return true;
    return piece(-GU_180, right - GU_360 - 1, top, bottom);
}

void TPrjModel::FillBufferPolygon(int count, std::uint32_t colour)
{
    if (!globe_.Surface)
        return;
    globe_.Surface->SetPen({colour, psSolid, 1});
    globe_.Surface->SetBrush({colour, bsSolid});
    globe_.PolygonClipped(count);
}

void TPrjModel::PaintSurface()
{
    int n = 0;
    globe_.EnsureBuffer(120);
    // Longitudes run from the central meridian, so the border stays the map's edge after the
    // map has been turned.
    auto add = [&](std::int64_t lon, std::int64_t lat) {
        TGlobePoint p{NormalizeLongitude(lon + CentralMeridian()), static_cast<std::int32_t>(lat), 0};
        if (PointLLToXY(p, n))
            ++n;
    };
    const std::int64_t l = ExtentLeft, r = ExtentRight, t = ExtentTop, b = ExtentBottom;
    for (int i = 0; i < 36; ++i)
        add(l + (r - l) * i / 36, b);
    for (int i = 0; i < 18; ++i)
        add(r - 1, b - (b - t) * i / 18);
    for (int i = 0; i < 36; ++i)
        add(r - 1 - (r - l) * i / 36, t);
    for (int i = 0; i < 18; ++i)
        add(l, t + (b - t) * i / 18);
    FillBufferPolygon(n, globe_.GlobeColor);
}

void TPrjModel::DrawLLPath(std::int64_t lon1, std::int32_t lat1, std::int64_t lon2, std::int32_t lat2)
{
    const std::int64_t dlon = lon2 - lon1, dlat = std::int64_t(lat2) - lat1;
    const std::int64_t steps = std::max<std::int64_t>(1, std::max(std::llabs(dlon), std::llabs(dlat)) / GU_DEGREE);
    globe_.EnsureBuffer(static_cast<std::size_t>(steps) + 2);
    int n = 0;
    std::int64_t lastRel = 0;
    for (std::int64_t i = 0; i <= steps; ++i) {
        std::int64_t lon = lon1 + dlon * i / steps;
        std::int32_t lat = static_cast<std::int32_t>(lat1 + dlat * i / steps);
        TGlobePoint p{static_cast<std::int32_t>(lon), lat, 0};
        // A flat map turned away from 0 degrees has its edge elsewhere: the line breaks there
        // instead of running back across the map.
        const std::int64_t rel = NormalizeLongitude(lon - CentralMeridian());
        if (n > 0 && !IsSpherical() && std::llabs(rel - lastRel) > GU_180) {
            if (n > 1)
                globe_.PolylineClipped(n);
            n = 0;
        }
        lastRel = rel;
        if (lon >= -GU_180 && lon < GU_180 && PointLLToXY(p, n)) {
            ++n;
            continue;
        }
        if (n > 1)
            globe_.PolylineClipped(n);
        n = 0;
    }
    if (n > 1)
        globe_.PolylineClipped(n);
}

void TPrjModel::PaintGraticule()
{
    const int lonStep = globe_.LongitudeStep(), latStep = globe_.LatitudeStep();
    if (lonStep > 0)
        for (std::int64_t lon = -GU_180; lon < GU_180; lon += std::int64_t(lonStep) * GU_DEGREE)
            DrawLLPath(lon, 89 * GU_DEGREE, lon, -89 * GU_DEGREE);
    if (latStep > 0)
        for (int lat = 0; lat < 85; lat += latStep)
            for (int sign : {1, -1}) {
                if (lat == 0 && sign < 0)
                    continue;
                DrawLLPath(0, sign * lat * GU_DEGREE, 971999999, sign * lat * GU_DEGREE);
                DrawLLPath(0, sign * lat * GU_DEGREE, -971999999, sign * lat * GU_DEGREE);
            }
}

// ---- flat models ----

TCartesianPrj::TCartesianPrj(TGlobeCore& globe) : TCartesianPrj(globe, GU_90) {}

TCartesianPrj::TCartesianPrj(TGlobeCore& globe, std::int32_t latLimit) : TPrjModel(globe)
{
    ExtentLeft = -GU_180;
    ExtentRight = GU_180;
    ExtentTop = -latLimit;
    ExtentBottom = latLimit;
    Flags = PRJ_TEXTURE;
    Init();
}

std::int32_t TCartesianPrj::Dl(const TGlobePoint& p) const
{
    return NormalizeLongitude(std::int64_t(p.iLongX) - CentralMeridian());
}

TGlobePoint TCartesianPrj::Result(long double lon, long double lat) const
{
    return {NormalizeLongitude(std::int64_t(RoundGU(lon)) + CentralMeridian()), RoundGU(lat), 0};
}

void TCartesianPrj::SetIntegerProperty(int index, std::int32_t value)
{
    if (index == ppYRotation) {
        if (YAxisChanges == yaCentralMeridian) {
            prop_[ppCentralMeridian] =
                NormalizeLongitude(std::int64_t(CentralMeridian()) + (std::int64_t(value) - YRotation()));
        } else if (LLToXY(std::int64_t(YRotation()) - value, -XRotation(), 0)) {
            XOrigin = globe_.Buffer()[0].x;
        }
        globe_.RedrawGlobe();
    } else if (index == ppXRotation) {
        if (XAxisChanges == xaCentralParallel) {
            std::int64_t cp = std::int64_t(CentralParallel()) + (std::int64_t(value) - XRotation());
            if (cp > -GU_90 && cp < GU_90)
                prop_[ppCentralParallel] = static_cast<std::int32_t>(cp);
        } else {
            TGlobePoint p{YRotation(), static_cast<std::int32_t>(std::clamp<std::int64_t>(
                                           std::int64_t(XRotation()) - value, -GU_90, GU_90)), 0};
            // The row of that latitude at the central meridian gives the new origin row.
            p.iLongX = CentralMeridian();
            if (PointLLToXY(p, 0))
                YOrigin = globe_.Buffer()[0].y;
        }
        globe_.RedrawGlobe();
    }
    TPrjModel::SetIntegerProperty(index, value);
}

bool TCartesianPrj::PointLLToXY(const TGlobePoint& p, int index)
{
    if (!InsideExtent(p))
        return false;
    return Store(Dl(p), p.iLatY, index);
}

bool TCartesianPrj::XYToLL(std::int32_t X, std::int32_t Y, TGlobePoint& p)
{
    long double x, y;
    if (!Unproject(X, Y, x, y))
        return false;
    x = std::round(x);
    y = std::round(y);
    if (x < ExtentLeft || x > ExtentRight || y < ExtentTop || y > ExtentBottom)
        return false;
    p = Result(x, y);
    return true;
}

void TCartesianPrj::PaintSurface()
{
    if (globe_.TextureBackground() && globe_.Texture().HasData()) {
        for (std::int64_t lon = ExtentLeft; lon < ExtentRight; lon += 16200000)
            for (std::int64_t lat = ExtentTop; lat < ExtentBottom; lat += 21600000)
                DrawTexturedRect(globe_,
                                 {static_cast<std::int32_t>(lon), static_cast<std::int32_t>(lat), 16200000,
                                  static_cast<std::int32_t>(std::min<std::int64_t>(21600000, ExtentBottom - lat))},
                                 globe_.Texture());
        return;
    }
    TPrjModel::PaintSurface();
}

TMercatorPrj::TMercatorPrj(TGlobeCore& globe) : TCartesianPrj(globe, 89 * GU_DEGREE) {}

bool TMercatorPrj::PointLLToXY(const TGlobePoint& p, int index)
{
    if (!InsideExtent(p))
        return false;
    const double phi = p.iLatY * GU_TO_RADIANS;
    return Store(Dl(p), std::log(std::tan(phi / 2 + PI / 4)) * GU_PER_RADIAN, index);
}

bool TMercatorPrj::XYToLL(std::int32_t X, std::int32_t Y, TGlobePoint& p)
{
    long double x, y;
    if (!Unproject(X, Y, x, y))
        return false;
    long double lat = std::round((2 * std::atan(std::exp(y * k)) - PI / 2) * K);
    x = std::round(x);
    if (x < ExtentLeft || x > ExtentRight || lat < ExtentTop || lat > ExtentBottom)
        return false;
    p = Result(x, lat);
    return true;
}

TCylEqualAreaPrj::TCylEqualAreaPrj(TGlobeCore& globe) : TCartesianPrj(globe) {}

bool TCylEqualAreaPrj::PointLLToXY(const TGlobePoint& p, int index)
{
    if (!InsideExtent(p))
        return false;
    const double c1 = std::cos(FirstParallel() * GU_TO_RADIANS);
    return Store(Dl(p) * c1, std::sin(p.iLatY * GU_TO_RADIANS) / c1 * GU_PER_RADIAN, index);
}

bool TCylEqualAreaPrj::XYToLL(std::int32_t X, std::int32_t Y, TGlobePoint& p)
{
    long double x, y;
    if (!Unproject(X, Y, x, y))
        return false;
    long double c1 = std::cos(FirstParallel() * k);
    long double s = y * k * c1;
    if (std::fabs(s) > 1)
        return false;
    long double lambda = x * k / c1, phi = ArcSin(s);
    if (std::fabs(lambda) > PI || std::fabs(phi) > PI / 2)
        return false;
    p = Result(lambda * K, phi * K);
    return true;
}

TSinusoidalPrj::TSinusoidalPrj(TGlobeCore& globe) : TCartesianPrj(globe) {}

bool TSinusoidalPrj::PointLLToXY(const TGlobePoint& p, int index)
{
    if (!InsideExtent(p))
        return false;
    const double phi = p.iLatY * GU_TO_RADIANS;
    return Store(Dl(p) * std::cos(phi), p.iLatY, index);
}

bool TSinusoidalPrj::XYToLL(std::int32_t X, std::int32_t Y, TGlobePoint& p)
{
    long double x, y;
    if (!Unproject(X, Y, x, y))
        return false;
    long double phi = y * k;
    if (std::fabs(phi) > PI / 2)
        return false;
    long double c = std::cos(phi);
    long double lambda = c > 1e-12L ? x * k / c : (std::fabs(x) < 1 ? 0.0L : 2 * PI);
    if (std::fabs(lambda) > PI)
        return false;
    p = Result(lambda * K, phi * K);
    return true;
}

TAlbersEqualAreaConicPrj::TAlbersEqualAreaConicPrj(TGlobeCore& globe) : TCartesianPrj(globe)
{
    prop_[ppFirstParallel] = 243000000;
    prop_[ppSecondParallel] = 0;
    Constants();
}

void TAlbersEqualAreaConicPrj::Constants()
{
    long double p1 = FirstParallel() * k, p2 = SecondParallel() * k;
    n_ = (std::sin(p1) + std::sin(p2)) / 2;
    if (n_ == 0)
        n_ = 1;
    C_ = std::cos(p1) * std::cos(p1) + 2 * n_ * std::sin(p1);
    rho0_ = std::sqrt(C_) / n_;
}

void TAlbersEqualAreaConicPrj::SetIntegerProperty(int index, std::int32_t value)
{
    TCartesianPrj::SetIntegerProperty(index, value);
    if (index == ppFirstParallel || index == ppSecondParallel)
        Constants();
}

bool TAlbersEqualAreaConicPrj::PointLLToXY(const TGlobePoint& p, int index)
{
    if (!InsideExtent(p))
        return false;
    const double n = double(n_), theta = n * Dl(p) * GU_TO_RADIANS;
    const double rho = std::sqrt(std::max(0.0, double(C_) - 2 * n * std::sin(p.iLatY * GU_TO_RADIANS))) / n;
    return Store(rho * std::sin(theta) * GU_PER_RADIAN, (double(rho0_) - rho * std::cos(theta)) * GU_PER_RADIAN, index);
}

bool TAlbersEqualAreaConicPrj::XYToLL(std::int32_t X, std::int32_t Y, TGlobePoint& p)
{
    long double x, y;
    if (!Unproject(X, Y, x, y))
        return false;
    x *= k;
    y *= k;
    // The signed form: for a negative cone constant both the radius and the angle turn over.
    const long double sign = n_ < 0 ? -1 : 1;
    long double rho = sign * std::hypot(x, rho0_ - y);
    long double theta = std::atan2(sign * x, sign * (rho0_ - y));
    long double s = (C_ - rho * rho * n_ * n_) / (2 * n_);
    if (std::fabs(s) > 1 + 1e-12L)
        return false;
    long double phi = ArcSin(s), lambda = theta / n_;
    if (std::fabs(lambda) > PI || std::fabs(phi) > PI / 2)
        return false;
    p = Result(lambda * K, phi * K);
    return true;
}

TQZEquidistantPrj::TQZEquidistantPrj(TGlobeCore& globe) : TCartesianPrj(globe, GU_180)
{
    Flags |= PRJ_SPHERICAL;
    SetCentre(0, 0);
}

void TQZEquidistantPrj::SetCentre(std::int32_t longitude, std::int32_t latitude)
{
    lambda0_ = longitude * k;
    phi0_ = latitude * k;
    sinPhi0_ = std::sin(phi0_);
    cosPhi0_ = std::cos(phi0_);
}

bool TQZEquidistantPrj::PointLLToXY(const TGlobePoint& p, int index)
{
    if (!InsideExtent(p))
        return false;
    const double phi = p.iLatY * GU_TO_RADIANS, dl = p.iLongX * GU_TO_RADIANS - double(lambda0_);
    const double sp = std::sin(phi), cp = std::cos(phi), sd = std::sin(dl), cd = std::cos(dl);
    const double s0 = double(sinPhi0_), c0 = double(cosPhi0_);
    const double c = std::acos(std::clamp(c0 * cp * cd + s0 * sp, -1.0, 1.0));
    // The azimuth in its atan2 form stays defined for a centre at a pole, where the arccos form
    // divides by cos(latitude) = 0 and puts every point on one line.
    const double ey = cp * sd, ny = c0 * sp - s0 * cp * cd, h = std::hypot(ey, ny);
    if (c < 1e-12 || h == 0)
        return Store(0, 0, index);
    const double rho = c * GU_PER_RADIAN;
    return Store(rho * ey / h, rho * ny / h, index);
}

bool TQZEquidistantPrj::XYToLL(std::int32_t X, std::int32_t Y, TGlobePoint& p)
{
    long double x, y;
    if (!Unproject(X, Y, x, y))
        return false;
    x *= k;
    y *= k;
    long double rho = std::hypot(x, y);
    if (rho > PI)
        return false; // beyond the rim: not on the map
    long double lambda = lambda0_, phi = phi0_;
    if (rho > 1e-10L) {
        long double sr = std::sin(rho), cr = std::cos(rho);
        phi = ArcSin(cr * sinPhi0_ + y * sr * cosPhi0_ / rho);
        lambda = AngleInRange(lambda0_ + std::atan2(x * sr, rho * cosPhi0_ * cr - y * sinPhi0_ * sr));
    }
    p = {NormalizeLongitude(RoundGU(lambda * K)), RoundGU(phi * K), 0};
    return true;
}

void TQZEquidistantPrj::PaintSurface()
{
    globe_.EnsureBuffer(92);
    long double r = GLOBE_RADIUS * scale_ * PI;
    for (int i = 0; i < 90; ++i) {
        long double a = i * 0.0698131700797732L;
        globe_.SetBufferPoint(i, {ClampPixel(Round64(r * std::cos(a)) + XOrigin), ClampPixel(Round64(r * std::sin(a)) + YOrigin)});
    }
    FillBufferPolygon(90, globe_.GlobeColor);
}

// ---- the sphere ----

TSphericalPrj::TSphericalPrj(TGlobeCore& globe) : TPrjModel(globe)
{
    ExtentLeft = -static_cast<std::int32_t>(GLOBE_RADIUS);
    ExtentTop = ExtentLeft;
    ExtentRight = static_cast<std::int32_t>(GLOBE_RADIUS);
    ExtentBottom = ExtentRight;
    Flags = PRJ_SPHERICAL | PRJ_TEXTURE;
    Init();
    GridLongitudes = 36;
    GridLatitudes = 72;
    SetScaleFactor(scale_);
}

void TSphericalPrj::SetScaleFactor(double value)
{
    scale_ = value;
    r_ = GLOBE_RADIUS * value;
    r2_ = r_ * r_;
    TMatrix rot = QuaternionToMatrix(RotationQuaternion(XRotation(), YRotation(), ZRotation()));
    m_ = ScaleMatrix(rot, value);
    minv_ = value > 0 ? ScaleMatrix(TransposeMatrix(rot), 1.0 / value) : TransposeMatrix(rot);
    globe_.RedrawGlobe();
}

void TSphericalPrj::SetIntegerProperty(int index, std::int32_t value)
{
    if (index == ppXRotation)
        value = std::clamp(value, -GU_90, GU_90);
    else if (index == ppYRotation || index == ppZRotation)
        value = NormalizeLongitude(value);
    TPrjModel::SetIntegerProperty(index, value);
    SetScaleFactor(scale_);
}

bool TSphericalPrj::PointLLToXY(const TGlobePoint& p, int index)
{
    TPoint3D v = PointToVector(p);
    const double* m = m_.m;
    double X = m[0] * v.x + m[1] * v.y + m[2] * v.z;
    double Y = m[3] * v.x + m[4] * v.y + m[5] * v.z;
    double depth = m[6] * v.x + m[7] * v.y + m[8] * v.z;
    globe_.SetBufferPoint(index, {ClampPixel(Round64(X) + XOrigin), ClampPixel(Round64(Y) + YOrigin)});
    return globe_.DrawingFarSide ? depth > 0 : depth <= 0;
}

bool TSphericalPrj::XYToLL(std::int32_t X, std::int32_t Y, TGlobePoint& p)
{
    if (!(scale_ > 0))
        return false;
    double x = double(X) - XOrigin, y = double(Y) - YOrigin;
    double d = r2_ - x * x - y * y;
    if (d < 0)
        return false;
    double z = -std::sqrt(d);
    const double* m = minv_.m;
    double u0 = m[0] * x + m[1] * y + m[2] * z;
    double u1 = m[3] * x + m[4] * y + m[5] * z;
    double u2 = m[6] * x + m[7] * y + m[8] * z;
    p = {NormalizeLongitude(RoundGU(std::atan2(u0, u2) * K)), RoundGU(ArcSin(u1 / GLOBE_RADIUS) * K), 0};
    return true;
}

int TSphericalPrj::PointListToXY(TGlobeObject& object)
{
    if (!object.HasCache3D) {
        object.Cache3D.clear();
        std::int64_t t = scale_ > 0 ? Round64(1.0L / scale_) : 0;
        const int count = object.Count();
        TGlobePoint last{};
        for (int i = 0; i < count; ++i) {
            TGlobePoint p = object.Get(i);
            if (i > 0 && std::llabs(std::int64_t(p.iLongX) - last.iLongX) <= t &&
                std::llabs(std::int64_t(p.iLatY) - last.iLatY) <= t)
                continue;
            last = p;
            object.Cache3D.push_back(PointToVector(p));
        }
        object.Cache3D.shrink_to_fit();
        object.HasCache3D = true;
    }
    const bool straddles = (object.State & osFarPart) && (object.State & osNearPart);
    const double* m = m_.m;
    globe_.EnsureBuffer(object.Cache3D.size() + 1);
    int n = 0;
    double lastX = 0, lastY = 0;
    for (const TPoint3D& v : object.Cache3D) {
        double X = m[0] * v.x + m[1] * v.y + m[2] * v.z;
        double Y = m[3] * v.x + m[4] * v.y + m[5] * v.z;
        if (straddles) {
            double depth = m[6] * v.x + m[7] * v.y + m[8] * v.z;
            bool hiddenSide = globe_.DrawingFarSide ? depth <= 0 : depth > 0;
            double h = std::hypot(X, Y);
            if (hiddenSide && h > 0) {
                X *= r_ / h;
                Y *= r_ / h;
            }
        }
        if (n > 0 && std::fabs(X - lastX) < 1 && std::fabs(Y - lastY) < 1)
            continue;
        lastX = X;
        lastY = Y;
        globe_.SetBufferPoint(n++, {ClampPixel(Round64(X) + XOrigin), ClampPixel(Round64(Y) + YOrigin)});
    }
    return n;
}

void TSphericalPrj::PaintSurface()
{
    if (globe_.TextureBackground() && globe_.Texture().HasData()) {
        PaintTexturedSphere(globe_);
        return;
    }
    globe_.EnsureBuffer(92);
    double x = r_, y = 0;
    const double c = std::cos(2 * PI / 90), s = std::sin(2 * PI / 90);
    for (int i = 0; i < 90; ++i) {
        globe_.SetBufferPoint(i, {ClampPixel(Round64(x) + XOrigin), ClampPixel(Round64(y) + YOrigin)});
        double nx = x * c - y * s, ny = x * s + y * c;
        x = nx;
        y = ny;
    }
    FillBufferPolygon(90, globe_.GlobeColor);
}

} // namespace korval
