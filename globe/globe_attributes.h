#pragma once
// The persistent base of everything stored in a layer file, and the drawing attributes (pen,
// brush, font) of presenters, selected onto the globe's surface when drawing.
#include <cstdint>
#include <memory>
#include <string>

#include "globe/globe_stream.h"
#include "globe/globe_surface.h"
#include "globe/globe_units.h"

namespace korval {

class TGlobeLayer;
class TGlobeCore;

class TGlobePersistent {
public:
    virtual ~TGlobePersistent() = default;
    virtual const char* ClassName() const = 0;
    virtual void SaveToStream(TGlobeWriter& w) const = 0;
    virtual void LoadFromStream(TGlobeReader& r) = 0;
};

class TGlobeAttribute : public TGlobePersistent {
public:
    explicit TGlobeAttribute(TGlobeLayer* owner) : owner_(owner) {}
    TGlobeLayer* Owner() const { return owner_; }
    TGlobeCore* Globe() const;

protected:
    TGlobeLayer* owner_;
};

class TGlobePen : public TGlobeAttribute {
public:
    explicit TGlobePen(TGlobeLayer* owner);
    TGlobePen(std::uint32_t color, std::uint8_t style, std::uint8_t width);
    const char* ClassName() const override { return "TGlobePen"; }
    void SaveToStream(TGlobeWriter& w) const override;
    void LoadFromStream(TGlobeReader& r) override;
    bool Equals(const TGlobePen& o) const { return data.color == o.data.color && data.style == o.data.style && data.width == o.data.width; }
    void Assign(const TGlobePen& o) { data = o.data; }
    // Selects the pen: the globe's selected pen for a selected object.
    void Select(bool selected) const;
    TPenSpec data;
};

class TGlobeBrush : public TGlobeAttribute {
public:
    explicit TGlobeBrush(TGlobeLayer* owner);
    TGlobeBrush(std::uint32_t color, std::uint8_t style);
    const char* ClassName() const override { return "TGlobeBrush"; }
    void SaveToStream(TGlobeWriter& w) const override;
    void LoadFromStream(TGlobeReader& r) override;
    bool Equals(const TGlobeBrush& o) const { return data.color == o.data.color && data.style == o.data.style; }
    void Assign(const TGlobeBrush& o) { data = o.data; }
    void Select(bool selected) const;
    TBrushSpec data;
};

class TGlobeFont : public TGlobeAttribute {
public:
    explicit TGlobeFont(TGlobeLayer* owner);
    TGlobeFont(std::string name, std::uint32_t color, TGlobeUnits unit, std::int16_t size, std::int16_t angle,
               std::uint8_t style);
    const char* ClassName() const override { return "TGlobeFont"; }
    void SaveToStream(TGlobeWriter& w) const override;
    void LoadFromStream(TGlobeReader& r) override;
    bool Equals(const TGlobeFont& o) const;
    void Assign(const TGlobeFont& o);
    // Pixel height at the current scale, limited by the layer's MaxFontHeight.
    int PixelHeight() const;
    // false (nothing selected) when the height is below the globe's MinTextHeight.
    bool Select(bool selected) const;

    std::string FontName = "WingDings";
    std::uint32_t FontColor = 0;
    TGlobeUnits FontUnit = TGlobeUnits::Pixel;
    std::int16_t FontSize = 9;
    std::int16_t FontAngle = 0;
    std::uint8_t FontStyle = 0;
};

} // namespace korval
