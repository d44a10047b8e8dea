#pragma once
// Projection models: globe points to pixels of one globe's canvas and back. The globe owns one
// model at a time; every forward projection writes its pixel into a slot of the globe's shared
// screen-point buffer.
#include <cstdint>

#include "globe/globe_units.h"

namespace korval {

class TGlobeCore;
class TGlobeObject;

enum TXAxisChanges : std::uint8_t { xaYOrigin, xaCentralParallel };
enum TYAxisChanges : std::uint8_t { yaXOrigin, yaCentralMeridian };

struct TScreenPoint {
    std::int32_t x = 0, y = 0;
    bool operator==(const TScreenPoint&) const = default;
};

// left, top, width, height in globe units.
struct TGlobeRect {
    std::int32_t left = 0, top = 0, width = 0, height = 0;
};

// Flags of a model.
constexpr std::uint8_t PRJ_SPHERICAL = 1;
constexpr std::uint8_t PRJ_TEXTURE = 2;

// Property indexes of SetIntegerProperty.
enum TPrjProperty : int {
    ppXRotation, ppYRotation, ppZRotation, ppCentralMeridian, ppFirstParallel, ppSecondParallel,
    ppCentralParallel
};

class TPrjModel {
public:
    virtual ~TPrjModel() = default;
    TPrjModel(const TPrjModel&) = delete;
    TPrjModel& operator=(const TPrjModel&) = delete;

    virtual void SetIntegerProperty(int index, std::int32_t value);
    virtual void SetScaleFactor(double value);
    // Whether a longitude/latitude rectangle can be on screen; with an object also sets its
    // far-part, near-part and map-edge flags.
    virtual bool ExtentVisible(const TGlobeRect& r, TGlobeObject* object, int& outcode);
    // Projects the object's points into the shared buffer, dropping points within one pixel of
    // the last one kept; returns the number kept.
    virtual int PointListToXY(TGlobeObject& object);
    bool LLToXY(std::int64_t longitude, std::int32_t latitude, int index);
    virtual bool PointLLToXY(const TGlobePoint& p, int index) = 0;
    // false when the pixel is off the map (or the scale is 0).
    virtual bool XYToLL(std::int32_t x, std::int32_t y, TGlobePoint& p) = 0;
    virtual void PaintSurface();
    virtual void PaintGraticule();

    // Projects one point without touching the shared buffer.
    bool Project(const TGlobePoint& p, TScreenPoint& out);

    double ScaleFactor() const { return scale_; }
    std::int32_t XOrigin = 0, YOrigin = 0;
    TXAxisChanges XAxisChanges = xaYOrigin;
    TYAxisChanges YAxisChanges = yaCentralMeridian;
    std::int32_t XRotation() const { return prop_[ppXRotation]; }
    std::int32_t YRotation() const { return prop_[ppYRotation]; }
    std::int32_t ZRotation() const { return prop_[ppZRotation]; }
    std::int32_t CentralMeridian() const { return prop_[ppCentralMeridian]; }
    std::int32_t FirstParallel() const { return prop_[ppFirstParallel]; }
    std::int32_t SecondParallel() const { return prop_[ppSecondParallel]; }
    std::int32_t CentralParallel() const { return prop_[ppCentralParallel]; }
    // left = min longitude, top = min latitude, right = max longitude, bottom = max latitude.
    std::int32_t ExtentLeft = 0, ExtentTop = 0, ExtentRight = 0, ExtentBottom = 0;
    std::uint8_t Flags = 0;
    int GridLongitudes = 72, GridLatitudes = 144;
    bool IsSpherical() const { return Flags & PRJ_SPHERICAL; }
    TGlobeCore& Globe() const { return globe_; }

protected:
    explicit TPrjModel(TGlobeCore& globe);
    // Sets rotations, origin and scale from the globe's canvas; descendants call it after setting
    // their extent.
    void Init();
    bool InsideExtent(const TGlobePoint& p) const;
    // Pixel from x, y in globe units.
    bool Store(double x, double y, int index);
    // x', y' in globe units of a pixel; false for a scale of 0.
    bool Unproject(std::int32_t X, std::int32_t Y, long double& x, long double& y) const;
    // Projects a path in steps of one degree and draws its projectable runs as polylines.
    void DrawLLPath(std::int64_t lon1, std::int32_t lat1, std::int64_t lon2, std::int32_t lat2);
    void FillBufferPolygon(int count, std::uint32_t colour);

    TGlobeCore& globe_;
    double scale_ = 0;
    std::int32_t prop_[7] = {};
};

// Box of the first count buffer points against the canvas; outcode gets the Cohen-Sutherland
// codes of its corners (min corner x 16 + max corner). false for fewer than 2 points or a box
// wholly beyond one side.
bool BoundsOnCanvas(TGlobeCore& globe, int count, int& outcode);

class TCartesianPrj : public TPrjModel {
public:
    explicit TCartesianPrj(TGlobeCore& globe);
    void SetIntegerProperty(int index, std::int32_t value) override;
    bool PointLLToXY(const TGlobePoint& p, int index) override;
    bool XYToLL(std::int32_t x, std::int32_t y, TGlobePoint& p) override;
    void PaintSurface() override;

protected:
    TCartesianPrj(TGlobeCore& globe, std::int32_t latLimit);
    // lon = normalise(round(x) + CentralMeridian).
    TGlobePoint Result(long double lon, long double lat) const;
    std::int32_t Dl(const TGlobePoint& p) const;
};

class TMercatorPrj : public TCartesianPrj {
public:
    explicit TMercatorPrj(TGlobeCore& globe);
    bool PointLLToXY(const TGlobePoint& p, int index) override;
    bool XYToLL(std::int32_t x, std::int32_t y, TGlobePoint& p) override;
};

class TCylEqualAreaPrj : public TCartesianPrj {
public:
    explicit TCylEqualAreaPrj(TGlobeCore& globe);
    bool PointLLToXY(const TGlobePoint& p, int index) override;
    bool XYToLL(std::int32_t x, std::int32_t y, TGlobePoint& p) override;
};

class TSinusoidalPrj : public TCartesianPrj {
public:
    explicit TSinusoidalPrj(TGlobeCore& globe);
    bool PointLLToXY(const TGlobePoint& p, int index) override;
    bool XYToLL(std::int32_t x, std::int32_t y, TGlobePoint& p) override;
};

class TAlbersEqualAreaConicPrj : public TCartesianPrj {
public:
    explicit TAlbersEqualAreaConicPrj(TGlobeCore& globe);
    void SetIntegerProperty(int index, std::int32_t value) override;
    bool PointLLToXY(const TGlobePoint& p, int index) override;
    bool XYToLL(std::int32_t x, std::int32_t y, TGlobePoint& p) override;

private:
    void Constants();
    long double n_ = 1, C_ = 1, rho0_ = 1;
};

// Azimuthal equidistant around a centre (the station's home). Pixels beyond the rim (more than
// half the world away) are not on the map.
class TQZEquidistantPrj : public TCartesianPrj {
public:
    explicit TQZEquidistantPrj(TGlobeCore& globe);
    void SetCentre(std::int32_t longitude, std::int32_t latitude);
    bool PointLLToXY(const TGlobePoint& p, int index) override;
    bool XYToLL(std::int32_t x, std::int32_t y, TGlobePoint& p) override;
    void PaintSurface() override;

private:
    long double lambda0_ = 0, phi0_ = 0, sinPhi0_ = 0, cosPhi0_ = 1;
};

// Orthographic view of the sphere, rotated by the three rotations.
class TSphericalPrj : public TPrjModel {
public:
    explicit TSphericalPrj(TGlobeCore& globe);
    void SetIntegerProperty(int index, std::int32_t value) override;
    void SetScaleFactor(double value) override;
    int PointListToXY(TGlobeObject& object) override;
    bool PointLLToXY(const TGlobePoint& p, int index) override;
    bool XYToLL(std::int32_t x, std::int32_t y, TGlobePoint& p) override;
    void PaintSurface() override;

private:
    TMatrix m_, minv_;
    double r_ = 0, r2_ = 0;
};

} // namespace korval
