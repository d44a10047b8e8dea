#pragma once
// The globe itself without any window: canvas size, projection model and view (scale, origin,
// altitude), layers and the class registry, the profile, selection, rendering onto a surface,
// clipping and the overlay drawing (great circles, circles, text, day and night). The TGlobe3
// control owns one and realises its surface.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "globe/globe_layer.h"
#include "globe/globe_profile.h"
#include "globe/globe_surface.h"
#include "globe/prj_model.h"
#include "globe/texture_data.h"

namespace korval {

enum TGlobeProjection : std::uint8_t { gpSpherical, gpCartesian, gpMercator, gpUnknown };
enum TDrawGrid : std::uint8_t { dgNone, dgBehind, dgInFront };

// Scale factor, view centre and rotations: what SaveView keeps and RestoreView brings back.
struct TGlobeView {
    double scale = 0;
    std::int32_t xOrigin = 0, yOrigin = 0;
    std::int32_t xRotation = 0, yRotation = 0, zRotation = 0;
};

// The 32-byte view block kept in the configuration record: the scale as a 10-byte extended
// value, 2 unused bytes, the view centre and the X, Y and Z rotations (32-bit, little-endian).
constexpr std::size_t GLOBE_VIEW_BYTES = 32;
std::string GlobeViewToBytes(const TGlobeView& v);
// false for a block of another size or a scale that is not a finite number >= 0.
bool GlobeViewFromBytes(std::string_view bytes, TGlobeView& v);

class TGlobeCore {
public:
    TGlobeCore();
    virtual ~TGlobeCore();
    TGlobeCore(const TGlobeCore&) = delete;
    TGlobeCore& operator=(const TGlobeCore&) = delete;

    // Canvas.
    int CanvasWidth() const { return width_; }
    int CanvasHeight() const { return height_; }
    int CanvasPPI() const { return canvasPPI_; }
    int ScreenPPI = 96;
    // Resizing rescales the view by the ratio of the diagonals.
    void SetSize(int width, int height, int ppi);
    TGlobeSurface* Surface = nullptr;

    // The shared screen-point buffers: slot writes grow them as needed.
    TScreenPoint* Buffer() { return buf_.data(); }
    void SetBufferPoint(int index, TScreenPoint p);
    void EnsureBuffer(std::size_t count);

    // Projection and view.
    TPrjModel& Model() { return *model_; }
    void SetProjectionModel(std::unique_ptr<TPrjModel> model);
    void SetProjection(TGlobeProjection p);
    TGlobeProjection Projection() const { return projection_; }
    double Scale() const { return model_->ScaleFactor(); }
    void SetScale(double s);
    // Rectangle in globe units (screen pixels divided by the scale).
    void ViewRect(const TGlobeRect& r);
    void ScrollBy(std::int32_t dx, std::int32_t dy);
    void SetViewCentre(TScreenPoint p);
    std::int32_t Altitude() const { return altitude_; }
    void SetAltitude(std::int32_t a);
    TGlobeView SaveView() const;
    void RestoreView(const TGlobeView& v);
    bool ScreenToGlobe(std::int32_t x, std::int32_t y, TGlobePoint& p);
    void CentreOnLL(std::int32_t longitude, std::int32_t latitude);
    void SetRotation(int index, std::int32_t value);
    std::int32_t GetRotation(int index) const;
    // Scroll-bar range, page and position (globe units) of the view.
    void ScrollInfo(bool horizontal, std::int32_t& min, std::int32_t& max, std::int32_t& page, std::int32_t& pos) const;
    const TGlobeRect& ViewRectangle() const { return viewRect_; }

    // Units with the Pixel unit converted through the scale factor.
    std::int32_t UnitToGlobeUnits(TGlobeUnits unit, double value) const;
    long double GlobeUnitsToUnit(double value, TGlobeUnits unit) const;
    int SizeToPixels(double size, TGlobeUnits unit) const;

    // Layers.
    TGlobeLayer* AddLayer();
    int LayerCount() const { return static_cast<int>(layers_.size()); }
    TGlobeLayer& GetLayer(int index);
    TGlobeLayer& GlobalLayer() { return *globalLayer_; }
    void RemoveLayer(TGlobeLayer* layer);
    void ClearLayers();
    TGlobeObject* ObjectAtLL(std::int32_t longitude, std::int32_t latitude);
    TGlobeObject* ObjectAtXY(std::int32_t x, std::int32_t y);

    // Class registry (the class names of the layer file).
    using Factory = std::function<std::unique_ptr<TGlobePersistent>(TGlobeLayer*)>;
    void RegisterGlobeClass(const std::string& name, Factory factory);
    const Factory* FindClass(const std::string& name) const;
    const std::vector<std::string>& ClassOrder() const { return classOrder_; }

    // Profile. A layer file that cannot be read raises its load error; with layerErrors given
    // its layer stays in its place empty and switched off, the message is added there and the
    // next layers are loaded.
    void SetProfileName(const std::string& name, std::vector<std::string>* layerErrors = nullptr);
    std::string ProfileName() const;
    void SaveProfile(const std::string& name);
    TGlobeProfile* Profile() { return profile_.get(); }
    std::string DataDirectory;

    // Selection.
    void SetSelectedObject(TGlobeObject* object);
    void SetObjectSelected(TGlobeObject* object, bool selected);
    void ForgetObject(TGlobeObject* object);
    const std::vector<TGlobeObject*>& Selection() const { return selection_; }

    // Rendering: background, surface, layers, grid and OnRender onto Surface.
    void Render(bool printing = false);
    void RenderAnimated();
    void RedrawGlobe();
    // Clips the first count points of the buffer to the canvas and draws them.
    void PolylineClipped(int count);
    void PolygonClipped(int count);
    int Clip(int count, bool closed);

    // Overlay drawing.
    void DrawGreatCircle(const TGlobePoint& from, const TGlobePoint& to, int mode);
    void DrawCircle(const TGlobePoint& centre, std::int32_t radius, int vertices);
    void DrawLineLL(const TGlobePoint& from, const TGlobePoint& to);
    void DrawPolylineLL(const std::vector<TVector>& vectors);
    void DrawTextLL(std::int32_t longitude, std::int32_t latitude, TGlobeUnits unit, const std::string& text,
                    const TFontSpec& font, double fontSize);
    // dateTime: days since 1899-12-30 and fraction (UTC).
    void DrawDayNight(std::uint32_t night, std::uint32_t twilight, TGlobePoint& sun, int step, double dateTime);
    std::int32_t SpheroidDistance(const TGlobePoint& p1, const TGlobePoint& p2) const;

    // Texture of the surface.
    void SetTextureFilename(const std::string& name);
    const std::string& TextureFilename() const { return textureFilename_; }
    void SetTextureBackground(bool on);
    bool TextureBackground() const { return textureBackground_; }
    TTextureData& Texture() { return texture_; }

    // Properties.
    void SetLongitudeStep(int v);
    void SetLatitudeStep(int v);
    int LongitudeStep() const { return longitudeStep_; }
    int LatitudeStep() const { return latitudeStep_; }
    int MinTextHeight = 5;
    std::uint32_t GlobeColor = 0xFFFF00;
    std::uint32_t Color = 0;
    bool TransparentGlobe = false;
    TDrawGrid DrawGrid = dgBehind;
    TSpheroid Spheroid = TSpheroid::WGS84;
    int PeriodicUpdateTime = 0;
    TPenSpec SelectedPen{0x0000FF, psSolid, 1}, TransparentPen{0x808080, psSolid, 1}, GridPen{0xC0C0C0, psSolid, 1};
    TBrushSpec SelectedBrush{0x00FFFF, bsSolid}, TransparentBrush{0xC0C0C0, bsSolid};
    TPenSpec DefaultPen{0, psSolid, 1};
    TBrushSpec DefaultBrush{0xFFFFFF, bsSolid};

    // Run-time flags.
    bool ScaleChanged = false, ReRender = true, LayersModified = false, DrawingFarSide = false;
    bool Printing = false, PrintAborted = false;

    // Events.
    std::function<void()> OnInvalidate, OnRender, OnPaintGraticule, OnZoomed, OnPanned;
    std::function<void(int type, const std::string& text, bool& abort)> OnProgress;
    std::function<void(TGlobeObject*, bool& done)> OnRenderObject, OnRenderTitle;
    std::function<void(TGlobeObject*)> OnObjectCreate, OnObjectFree, OnObjectSelect, OnSelected, OnDeSelected;
    bool DoProgress(int type, const std::string& text);

private:
    void RenderLayers();
    void PaintGrid();
    void UpdateViewRect();

    int width_ = 150, height_ = 150, canvasPPI_ = 96;
    std::vector<TScreenPoint> buf_, buf2_;
    std::unique_ptr<TPrjModel> model_;
    TGlobeProjection projection_ = gpSpherical;
    std::int32_t altitude_ = 0;
    TGlobeRect viewRect_;
    std::vector<std::unique_ptr<TGlobeLayer>> layers_;
    std::unique_ptr<TGlobeLayer> globalLayer_;
    std::map<std::string, Factory> classes_;
    std::vector<std::string> classOrder_;
    std::unique_ptr<TGlobeProfile> profile_;
    std::vector<TGlobeObject*> selection_;
    TTextureData texture_;
    std::string textureFilename_;
    bool textureBackground_ = false;
    int longitudeStep_ = 15, latitudeStep_ = 15;
    bool destroying_ = false;
};

} // namespace korval
