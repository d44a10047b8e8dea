#pragma once
// Geographic objects of a layer: point chains, single points and bitmap objects, with their
// file records, bounds (across the date line and around the poles) and containment test.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "globe/globe_attributes.h"
#include "globe/prj_model.h"

namespace korval {

class TGlobePresenter;
class TTextureData;

// Flags stored in the file.
enum : std::uint16_t {
    gofTitle = 1, gofID = 2, gofHeight = 4, gofCompact = 8, gofDelta = 16, gofSinglePoint = 32,
    gofLongCount = 64, gofZoom = 128
};
// Run-time state bits.
enum : std::uint16_t {
    osSelected = 1, osHidden = 2, osBoundsValid = 4, osTest = 8, osSubPixel = 16, osDraw = 32, osFarPart = 64,
    osNearPart = 128, osMapEdge = 256, osDateLine = 512, osPole = 1024
};

class TGlobeObject : public TGlobePersistent {
public:
    explicit TGlobeObject(TGlobeLayer* layer);
    ~TGlobeObject() override;

    TGlobeLayer* Layer() const { return layer_; }
    TGlobeCore* Globe() const;

    virtual int Count() const = 0;
    virtual TGlobePoint Get(int index) const = 0;
    // Average of the points for a chain, middle of the bounds otherwise.
    virtual TGlobePoint Centroid();
    virtual void ComputeBounds();
    virtual bool IsOnScreen();
    // Draws through the presenter, or the object's own default drawing.
    virtual void Render();
    virtual void DefaultRender();

    bool ContainsLL(const TGlobePoint& p);
    bool ZoomRangeShows() const;
    void SetPresenter(TGlobePresenter* p);
    TGlobePresenter* Presenter() const { return presenter_; }
    void ClearPresenter() { presenter_ = nullptr; }
    bool Selected() const { return State & osSelected; }
    bool Hidden() const { return State & osHidden; }
    void SetHidden(bool h);
    // After any change of the points.
    void Changed();
    const TGlobeRect& Bounds();

    std::uint16_t Flags = 0;
    std::uint16_t State = 0;
    std::int16_t FeatureID = 0;
    std::int32_t ID = 0, RowID = 0;
    std::string Title;
    double Value = 0;
    std::int32_t ZoomMin = 0, ZoomMax = 0;
    TGlobeRect bounds;
    // The sphere's cache of 3-D vectors, dropped when the bounds are recomputed.
    std::vector<TPoint3D> Cache3D;
    bool HasCache3D = false;

protected:
    // The stored flags before the points are looked at: the layout bits cleared, the title, ID
    // and zoom range bits as the object stands.
    std::uint16_t HeaderFlags() const;
    void SaveHeader(TGlobeWriter& w) const;
    void LoadHeader(TGlobeReader& r);
    static void SavePoint(TGlobeWriter& w, const TGlobePoint& p, std::uint16_t flags);
    static TGlobePoint LoadPoint(TGlobeReader& r, std::uint16_t flags);

    TGlobeLayer* layer_;
    TGlobePresenter* presenter_ = nullptr;
};

class TGeoDataObject : public TGlobeObject {
public:
    using TGlobeObject::TGlobeObject;
    const char* ClassName() const override { return "TGeoDataObject"; }
    void SaveToStream(TGlobeWriter& w) const override;
    void LoadFromStream(TGlobeReader& r) override;
    int Count() const override { return static_cast<int>(points_.size()); }
    TGlobePoint Get(int index) const override;
    TGlobePoint Centroid() override;
    bool IsOnScreen() override;
    void DefaultRender() override;

    void Put(int index, const TGlobePoint& p);
    void Add(const TGlobePoint& p);
    void Delete(int index);
    void SetCount(int count);
    const std::vector<TGlobePoint>& Points() const { return points_; }
    // Drops repeated points from the third point on, as the writer does.
    void RemoveRepeats();

private:
    std::vector<TGlobePoint> points_;
};

class TSinglePointObject : public TGlobeObject {
public:
    using TGlobeObject::TGlobeObject;
    const char* ClassName() const override { return "TSinglePointObject"; }
    void SaveToStream(TGlobeWriter& w) const override;
    void LoadFromStream(TGlobeReader& r) override;
    int Count() const override { return 1; }
    TGlobePoint Get(int) const override { return point_; }
    void Put(const TGlobePoint& p);
    bool IsOnScreen() override;
    void DefaultRender() override;

protected:
    TGlobePoint point_;
};

class TBitmapObject : public TSinglePointObject {
public:
    explicit TBitmapObject(TGlobeLayer* layer);
    ~TBitmapObject() override;
    const char* ClassName() const override { return "TBitmapObject"; }
    void SaveToStream(TGlobeWriter& w) const override;
    void LoadFromStream(TGlobeReader& r) override;
    void ComputeBounds() override;
    void DefaultRender() override;

    // Loads the image (a missing file leaves the texture empty).
    void SetBMPFilename(const std::string& name);
    const std::string& BMPFilename() const { return bmpFilename_; }
    void SetTransparentColor(std::uint32_t colour);
    std::uint32_t TransparentColor() const;
    TTextureData& TextureData() { return *texture_; }
    std::int32_t GlobeUnitsPerXPixel = 90000, GlobeUnitsPerYPixel = 90000;

private:
    std::unique_ptr<TTextureData> texture_;
    std::string bmpFilename_;
    std::int32_t transparentIndex_ = -1;
};

} // namespace korval
