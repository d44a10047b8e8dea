#pragma once
// One layer of a globe: its objects and presenters, its settings in the profile, its layer file
// and its drawing.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "globe/globe_objects.h"
#include "globe/globe_presenters.h"

namespace korval {

constexpr std::uint16_t LAYER_FILE_VERSION = 769;
constexpr std::uint16_t LAYER_FILE_OLD_VERSION = 768;

class TGlobeLayer {
public:
    explicit TGlobeLayer(TGlobeCore* globe);
    ~TGlobeLayer();
    TGlobeLayer(const TGlobeLayer&) = delete;
    TGlobeLayer& operator=(const TGlobeLayer&) = delete;

    TGlobeCore* Globe() const { return globe_; }
    void Reset();
    void ClearObjects();

    // Takes the object, fires OnObjectCreate; the layer's rectangle becomes unknown.
    TGlobeObject* AddObject(std::unique_ptr<TGlobeObject> object);
    TGlobePresenter* AddPresenter(std::unique_ptr<TGlobePresenter> presenter);
    void DeleteObject(TGlobeObject* object);
    // Clears the presenter of every object using it, then frees it.
    void DeletePresenter(TGlobePresenter* presenter);
    void RemoveUnusedPresenters();
    int ObjectCount() const { return static_cast<int>(objects_.size()); }
    int PresenterCount() const { return static_cast<int>(presenters_.size()); }
    TGlobeObject* Object(int i) const;
    TGlobePresenter* PresenterAt(int i) const;
    int IndexOfPresenter(const TGlobePresenter* p) const;
    TGlobePresenter* FindPresenter(const std::string& name, std::int16_t featureID) const;

    // Layer file: parsing works on the bytes alone and refuses damaged input.
    void LoadFromFile();
    void LoadFromStream(std::string_view bytes, const std::string& fileName);
    std::string SaveToBytes();
    void SaveToFile(const std::string& fileName);
    void ReadLayerSettings(const std::string& fileName);
    void WriteLayerSettings();

    void UpdateExtent();
    bool IsVisible();
    void UpdateObjects();
    void Render();

    TGlobeObject* ObjectAtLL(std::int32_t longitude, std::int32_t latitude);
    TGlobeObject* ObjectAtXY(std::int32_t x, std::int32_t y);
    TGlobeObject* FindByTitle(const std::string& title, const TGlobeObject* after) const;
    TGlobeObject* FindByID(std::int32_t id) const;

    void SetZoomUnits(TGlobeUnits unit);
    TGlobeUnits ZoomUnits() const { return zoomUnits_; }
    bool Loaded() const { return loaded_; }

    bool Animated = false, Enabled = true, Visible = true, LoadOnDemand = false;
    std::string FilePath, Filename, Name;
    std::int32_t MaxFontHeight = 0, ZoomMin = 0, ZoomMax = 0;
    TGlobeRect rect;
    // The message of a load that failed while drawing (the layer is then disabled).
    std::string LoadError;

private:
    TGlobeCore* globe_;
    TGlobeUnits zoomUnits_ = TGlobeUnits::NauticalMile;
    bool loaded_ = false;
    std::vector<std::unique_ptr<TGlobeObject>> objects_;
    std::vector<std::unique_ptr<TGlobePresenter>> presenters_;
};

} // namespace korval
