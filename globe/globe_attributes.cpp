#include "globe/globe_attributes.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "globe/globe_core.h"
#include "globe/globe_layer.h"

namespace korval {

namespace {
int MulDiv(long long a, long long b, long long c) { return c == 0 ? 0 : static_cast<int>(std::llround(double(a) * b / c)); }
} // namespace

TGlobeCore* TGlobeAttribute::Globe() const { return owner_ ? owner_->Globe() : nullptr; }

TGlobePen::TGlobePen(TGlobeLayer* owner) : TGlobeAttribute(owner)
{
    if (TGlobeCore* g = Globe())
        data = g->DefaultPen;
}
TGlobePen::TGlobePen(std::uint32_t color, std::uint8_t style, std::uint8_t width)
    : TGlobeAttribute(nullptr), data{color, style, width}
{
}
void TGlobePen::SaveToStream(TGlobeWriter& w) const
{
    w.U32(data.color);
    w.U8(data.style);
    w.U8(data.width);
}
void TGlobePen::LoadFromStream(TGlobeReader& r)
{
    data.color = r.U32();
    data.style = r.U8();
    data.width = r.U8();
}
void TGlobePen::Select(bool selected) const
{
    TGlobeCore* g = Globe();
    if (!g || !g->Surface)
        return;
    g->Surface->SetPen(selected ? g->SelectedPen : g->DrawingFarSide ? g->TransparentPen : data);
}

TGlobeBrush::TGlobeBrush(TGlobeLayer* owner) : TGlobeAttribute(owner)
{
    if (TGlobeCore* g = Globe())
        data = g->DefaultBrush;
}
TGlobeBrush::TGlobeBrush(std::uint32_t color, std::uint8_t style) : TGlobeAttribute(nullptr), data{color, style} {}
void TGlobeBrush::SaveToStream(TGlobeWriter& w) const
{
    w.U32(data.color);
    w.U8(data.style);
}
void TGlobeBrush::LoadFromStream(TGlobeReader& r)
{
    data.color = r.U32();
    data.style = r.U8();
}
void TGlobeBrush::Select(bool selected) const
{
    TGlobeCore* g = Globe();
    if (!g || !g->Surface)
        return;
    g->Surface->SetBrush(selected ? g->SelectedBrush : g->DrawingFarSide ? g->TransparentBrush : data);
}

TGlobeFont::TGlobeFont(TGlobeLayer* owner) : TGlobeAttribute(owner) {}
TGlobeFont::TGlobeFont(std::string name, std::uint32_t color, TGlobeUnits unit, std::int16_t size,
                       std::int16_t angle, std::uint8_t style)
    : TGlobeAttribute(nullptr), FontName(std::move(name)), FontColor(color), FontUnit(unit), FontSize(size),
      FontAngle(angle), FontStyle(style)
{
}
void TGlobeFont::SaveToStream(TGlobeWriter& w) const
{
    w.U32(FontColor);
    w.U8(static_cast<std::uint8_t>(FontUnit));
    w.I16(FontSize);
    w.I16(FontAngle);
    w.U8(FontStyle);
    w.ShortString(FontName);
}
void TGlobeFont::LoadFromStream(TGlobeReader& r)
{
    FontColor = r.U32();
    if (!UnitFromOrdinal(r.U8(), FontUnit))
        r.Truncated();
    FontSize = r.I16();
    FontAngle = r.I16();
    FontStyle = r.U8();
    FontName = r.ShortString();
}
bool TGlobeFont::Equals(const TGlobeFont& o) const
{
    if (FontName.size() != o.FontName.size())
        return false;
    for (std::size_t i = 0; i < FontName.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(FontName[i])) != std::toupper(static_cast<unsigned char>(o.FontName[i])))
            return false;
    return FontColor == o.FontColor && FontStyle == o.FontStyle && FontUnit == o.FontUnit && FontSize == o.FontSize &&
           FontAngle == o.FontAngle;
}
void TGlobeFont::Assign(const TGlobeFont& o)
{
    FontName = o.FontName;
    FontColor = o.FontColor;
    FontStyle = o.FontStyle;
    FontUnit = o.FontUnit;
    FontSize = o.FontSize;
    FontAngle = o.FontAngle;
}
int TGlobeFont::PixelHeight() const
{
    TGlobeCore* g = Globe();
    if (!g)
        return FontSize;
    auto px = [&](int size) {
        if (FontUnit == TGlobeUnits::Pixel)
            return MulDiv(size, g->CanvasPPI(), g->ScreenPPI);
        return static_cast<int>(std::lround(double(::korval::UnitToGlobeUnits(FontUnit, size)) * g->Scale()));
    };
    int h = px(FontSize);
    if (owner_ && owner_->MaxFontHeight != 0)
        h = std::min(h, px(owner_->MaxFontHeight));
    return h;
}
bool TGlobeFont::Select(bool selected) const
{
    TGlobeCore* g = Globe();
    if (!g || !g->Surface)
        return false;
    int h = PixelHeight();
    if (h < g->MinTextHeight)
        return false;
    g->Surface->SetFont({FontName, selected ? g->SelectedPen.color : FontColor, h, FontAngle, FontStyle});
    return true;
}

} // namespace korval
