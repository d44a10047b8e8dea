#pragma once
// Presenters: how the objects of a layer are drawn (point symbols, lines, filled areas) and
// where their titles go.
#include <cstdint>
#include <memory>
#include <string>

#include "globe/globe_attributes.h"
#include "globe/globe_picture.h"

namespace korval {

class TGlobeObject;

enum TTitleAlignment : std::uint8_t {
    taNone, taCenter, taLeft, taRight, taTopLeft, taTop, taTopRight, taBottomLeft, taBottom, taBottomRight
};
enum TPointPresenterType : std::uint8_t {
    ppNone, ppFontSymbol, ppImage, ppDot, ppCircle, ppSquare, ppDiamond, ppTriangleUp, ppTriangleDown,
    ppTriangleLeft, ppTriangleRight
};

class TGlobePresenter : public TGlobePersistent {
public:
    explicit TGlobePresenter(TGlobeLayer* layer);
    TGlobeLayer* Layer() const { return layer_; }
    TGlobeCore* Globe() const;
    // The second constructor's naming: id 0 takes the position in the layer (negated in the
    // global layer), an empty name the class name without its T plus the id.
    void Name_FeatureID(std::int16_t featureID, const std::string& name);

    void SaveToStream(TGlobeWriter& w) const override;
    void LoadFromStream(TGlobeReader& r) override;
    virtual bool Contains(TGlobeObject& object, const TGlobePoint& p);
    virtual void UpdateBounds(TGlobeObject& object);
    virtual void RenderObject(TGlobeObject& object) = 0;
    virtual bool Accepts(TGlobeObject&) { return true; }
    // Titles of the layer's on-screen objects that use this presenter.
    void RenderTitles(TGlobeLayer& layer);

    std::int16_t FeatureID = 0;
    std::string Name;
    TGlobeFont TitleFont;
    TTitleAlignment TitleAlignment = taNone;
    std::int16_t TitleOffset = 0;
    bool InUse = false;

protected:
    // The objects of the layer that use this presenter recompute their bounds.
    void MarkBoundsOutOfDate();

    TGlobeLayer* layer_;
};

class TPointPresenter : public TGlobePresenter {
public:
    explicit TPointPresenter(TGlobeLayer* layer);
    const char* ClassName() const override { return "TPointPresenter"; }
    void SaveToStream(TGlobeWriter& w) const override;
    void LoadFromStream(TGlobeReader& r) override;
    void UpdateBounds(TGlobeObject& object) override;
    void RenderObject(TGlobeObject& object) override;
    bool Contains(TGlobeObject& object, const TGlobePoint& p) override;

    TGlobePen PointPen;
    TGlobeBrush PointBrush;
    TGlobeFont PointFont;
    std::uint16_t SymbolIndex = 0;
    TPointPresenterType PointType = ppCircle;
    TGlobeUnits PointUnit = TGlobeUnits::Pixel;
    std::int32_t PointSize = 6;
    std::int32_t MaxPointSize = 0;

    // The picture of ppImage. A name loads the picture from that file when it exists, else
    // clears it; a picture set directly is shared with whoever gave it and clears the name.
    const std::string& ImageName() const { return imageName_; }
    void SetImageName(const std::string& fileName);
    const std::shared_ptr<const TGlobePicture>& Image() const { return image_; }
    void SetImage(std::shared_ptr<const TGlobePicture> picture);

private:
    std::string imageName_;
    std::shared_ptr<const TGlobePicture> image_;
};

class TPolylinePresenter : public TGlobePresenter {
public:
    explicit TPolylinePresenter(TGlobeLayer* layer);
    const char* ClassName() const override { return "TPolylinePresenter"; }
    void SaveToStream(TGlobeWriter& w) const override;
    void LoadFromStream(TGlobeReader& r) override;
    void RenderObject(TGlobeObject& object) override;
    bool Contains(TGlobeObject& object, const TGlobePoint& p) override;
    TGlobePen PolylinePen;
};

class TPolygonPresenter : public TGlobePresenter {
public:
    explicit TPolygonPresenter(TGlobeLayer* layer);
    const char* ClassName() const override { return "TPolygonPresenter"; }
    void SaveToStream(TGlobeWriter& w) const override;
    void LoadFromStream(TGlobeReader& r) override;
    void RenderObject(TGlobeObject& object) override;
    bool Contains(TGlobeObject& object, const TGlobePoint& p) override;
    TGlobePen PolygonPen;
    TGlobeBrush PolygonBrush;
};

// Drawing a point chain, split at the map edge in flat projections.
void DrawChainAsPolyline(TGlobeObject& object);
void DrawChainAsPolygon(TGlobeObject& object);

} // namespace korval
