#include "globe/globe_objects.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "globe/globe_core.h"
#include "globe/globe_layer.h"
#include "globe/globe_presenters.h"
#include "globe/texture_data.h"

namespace korval {

namespace {
constexpr std::int32_t kMaxPoints = 134217728;

std::int32_t CheckedLongitude(TGlobeReader& r, std::int64_t v)
{
    if (v < -GU_180 || v > GU_180)
        r.Truncated();
    return NormalizeLongitude(v);
}
std::int32_t CheckedLatitude(TGlobeReader& r, std::int64_t v)
{
    if (v < -GU_180 || v > GU_180)
        r.Truncated();
    return static_cast<std::int32_t>(v);
}
std::int32_t CheckedHeight(TGlobeReader& r, std::int64_t v)
{
    if (v < INT32_MIN || v > INT32_MAX)
        r.Truncated();
    return static_cast<std::int32_t>(v);
}
bool OnMinutes(const TGlobePoint& p)
{
    return p.iLongX % GU_MINUTE == 0 && p.iLatY % GU_MINUTE == 0 && p.iHeightZ % GU_MINUTE == 0;
}
} // namespace

TGlobeObject::TGlobeObject(TGlobeLayer* layer) : layer_(layer) {}

TGlobeObject::~TGlobeObject()
{
    if (TGlobeCore* g = Globe())
        g->ForgetObject(this);
}

TGlobeCore* TGlobeObject::Globe() const { return layer_ ? layer_->Globe() : nullptr; }

void TGlobeObject::SetHidden(bool h)
{
    if (h)
        State |= osHidden;
    else
        State &= ~osHidden;
    if (TGlobeCore* g = Globe())
        g->RedrawGlobe();
}

void TGlobeObject::Changed()
{
    State &= ~osBoundsValid;
    HasCache3D = false;
    if (layer_)
        layer_->rect = {};
    if (TGlobeCore* g = Globe())
        g->RedrawGlobe();
}

void TGlobeObject::SetPresenter(TGlobePresenter* p)
{
    if (p == presenter_ || !p)
        return;
    if (!p->Accepts(*this))
        return;
    presenter_ = p;
    FeatureID = p->FeatureID;
    Changed();
}

const TGlobeRect& TGlobeObject::Bounds()
{
    if (!(State & osBoundsValid))
        ComputeBounds();
    return bounds;
}

bool TGlobeObject::ZoomRangeShows() const
{
    if (ZoomMin == ZoomMax)
        return true;
    TGlobeCore* g = Globe();
    std::int32_t alt = g ? g->Altitude() : 0;
    return ZoomMin < alt && alt <= ZoomMax;
}

TGlobePoint TGlobeObject::Centroid()
{
    const TGlobeRect& b = Bounds();
    return MakeGlobePoint(std::int64_t(b.left) + b.width / 2, static_cast<std::int32_t>(std::int64_t(b.top) + b.height / 2));
}

void TGlobeObject::ComputeBounds()
{
    State &= ~(osDateLine | osPole);
    const int n = Count();
    TGlobeCore* g = Globe();
    if (n > 1) {
        int crossings = 0;
        std::int64_t minLon = INT64_MAX, maxLon = INT64_MIN, minLat = INT64_MAX, maxLat = INT64_MIN;
        std::int64_t minPos = INT64_MAX, maxNeg = INT64_MIN;
        TGlobePoint prev = Get(0);
        for (int i = 0; i < n; ++i) {
            TGlobePoint p = Get(i);
            if (i > 0 && ((prev.iLongX >= GU_90 && p.iLongX <= -GU_90) || (prev.iLongX <= -GU_90 && p.iLongX >= GU_90)))
                ++crossings;
            minLon = std::min<std::int64_t>(minLon, p.iLongX);
            maxLon = std::max<std::int64_t>(maxLon, p.iLongX);
            minLat = std::min<std::int64_t>(minLat, p.iLatY);
            maxLat = std::max<std::int64_t>(maxLat, p.iLatY);
            if (p.iLongX >= 0)
                minPos = std::min<std::int64_t>(minPos, p.iLongX);
            else
                maxNeg = std::max<std::int64_t>(maxNeg, p.iLongX);
            prev = p;
        }
        if (crossings == 0) {
            bounds = {static_cast<std::int32_t>(minLon - 1), static_cast<std::int32_t>(minLat - 1),
                      static_cast<std::int32_t>(maxLon - minLon + 2), static_cast<std::int32_t>(maxLat - minLat + 2)};
        } else {
            State |= osDateLine;
            if (crossings % 2 == 1) {
                // Around a pole: every longitude, and latitudes down (or up) to the pole.
                State |= osPole;
                if (minLat + maxLat < 0)
                    minLat = -GU_90;
                else
                    maxLat = GU_90;
            }
            if (minPos == INT64_MAX)
                minPos = 0;
            if (maxNeg == INT64_MIN)
                maxNeg = -1;
            std::int64_t right = maxNeg + GU_360;
            if (State & osPole) {
                minPos = -GU_180;
                right = GU_180;
            }
            bounds = {static_cast<std::int32_t>(minPos - 1), static_cast<std::int32_t>(minLat - 1),
                      static_cast<std::int32_t>(right - minPos + 2), static_cast<std::int32_t>(maxLat - minLat + 2)};
        }
    } else {
        TGlobePoint p = n == 1 ? Get(0) : TGlobePoint{};
        std::int32_t half = 0;
        if (g && g->Scale() > 0)
            half = static_cast<std::int32_t>(std::min<long double>(std::llround(3.0L / g->Scale()), 4e8L)) / 2;
        bounds = {static_cast<std::int32_t>(std::int64_t(p.iLongX) - half), static_cast<std::int32_t>(std::int64_t(p.iLatY) - half),
                  2 * half, 2 * half};
    }
    if (presenter_)
        presenter_->UpdateBounds(*this);
    HasCache3D = false;
    Cache3D.clear();
    State |= osBoundsValid;
}

bool TGlobeObject::ContainsLL(const TGlobePoint& p)
{
    if (Hidden())
        return false;
    const TGlobeRect& b = Bounds();
    if (p.iLatY < b.top || std::int64_t(p.iLatY) >= std::int64_t(b.top) + b.height)
        return false;
    const std::int64_t right = std::int64_t(b.left) + b.width;
    if (right > GU_180) {
        bool east = p.iLongX >= b.left;
        bool west = std::int64_t(p.iLongX) < right - GU_360;
        if (!east && !west)
            return false;
    } else if (p.iLongX < b.left || p.iLongX >= right) {
        return false;
    }
    return presenter_ ? presenter_->Contains(*this, p) : true;
}

bool TGlobeObject::IsOnScreen()
{
    if (!ZoomRangeShows())
        return false;
    int outcode = 0;
    return Globe()->Model().ExtentVisible(Bounds(), this, outcode);
}

void TGlobeObject::Render()
{
    if (presenter_)
        presenter_->RenderObject(*this);
    else
        DefaultRender();
}

void TGlobeObject::DefaultRender() {}

std::uint16_t TGlobeObject::HeaderFlags() const
{
    std::uint16_t flags = Flags & ~(gofTitle | gofID | gofHeight | gofCompact | gofDelta | gofSinglePoint | gofLongCount | gofZoom);
    if (!Title.empty())
        flags |= gofTitle;
    if (ID != 0)
        flags |= gofID;
    if (ZoomMin != ZoomMax)
        flags |= gofZoom;
    return flags;
}

void TGlobeObject::SaveHeader(TGlobeWriter& w) const
{
    w.U16(Flags);
    if (Flags & gofTitle)
        w.ShortString(Title);
    if (Flags & gofID)
        w.I32(ID);
    if (Flags & gofZoom) {
        w.I32(ZoomMin);
        w.I32(ZoomMax);
    }
    w.I16(FeatureID);
}

void TGlobeObject::LoadHeader(TGlobeReader& r)
{
    Flags = r.U16();
    if (Flags & gofTitle)
        Title = r.ShortString();
    if (Flags & gofID)
        ID = r.I32();
    if (Flags & gofZoom) {
        ZoomMin = r.I32();
        ZoomMax = r.I32();
    }
    FeatureID = r.I16();
    presenter_ = layer_ ? layer_->FindPresenter("", FeatureID) : nullptr;
}

void TGlobeObject::SavePoint(TGlobeWriter& w, const TGlobePoint& p, std::uint16_t flags)
{
    if (flags & gofCompact) {
        w.I16(static_cast<std::int16_t>(p.iLongX / GU_MINUTE));
        w.I16(static_cast<std::int16_t>(p.iLatY / GU_MINUTE));
        if (flags & gofHeight)
            w.I16(static_cast<std::int16_t>(p.iHeightZ / GU_MINUTE));
    } else {
        w.I32(p.iLongX);
        w.I32(p.iLatY);
        if (flags & gofHeight)
            w.I32(p.iHeightZ);
    }
}

TGlobePoint TGlobeObject::LoadPoint(TGlobeReader& r, std::uint16_t flags)
{
    TGlobePoint p;
    if (flags & gofCompact) {
        p.iLongX = CheckedLongitude(r, std::int64_t(r.I16()) * GU_MINUTE);
        p.iLatY = CheckedLatitude(r, std::int64_t(r.I16()) * GU_MINUTE);
        if (flags & gofHeight)
            p.iHeightZ = CheckedHeight(r, std::int64_t(r.I16()) * GU_MINUTE);
    } else {
        p.iLongX = CheckedLongitude(r, r.I32());
        p.iLatY = CheckedLatitude(r, r.I32());
        if (flags & gofHeight)
            p.iHeightZ = r.I32();
    }
    return p;
}

// ---- point chains ----

TGlobePoint TGeoDataObject::Get(int index) const
{
    if (index < 0)
        throw EGlobeException(GlobeFormat("PointList.%s: Bad Index %d", "Get", index));
    if (index >= Count())
        return {};
    return points_[static_cast<std::size_t>(index)];
}

void TGeoDataObject::Put(int index, const TGlobePoint& p)
{
    if (index < 0 || index >= kMaxPoints)
        throw EGlobeException(GlobeFormat("PointList.%s: Bad Index %d", "Put", index));
    if (index >= Count())
        points_.resize(static_cast<std::size_t>(index) + 1);
    points_[static_cast<std::size_t>(index)] = p;
    Changed();
}

void TGeoDataObject::Add(const TGlobePoint& p)
{
    if (Count() + 1 >= kMaxPoints)
        throw EGlobeException(GlobeFormat("PointList.SetCapacity: Bad Size %d", Count() + 1));
    points_.push_back(p);
    Changed();
}

void TGeoDataObject::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw EGlobeException(GlobeFormat("PointList.%s: Bad Index %d", "Delete", index));
    points_.erase(points_.begin() + index);
    Changed();
}

void TGeoDataObject::SetCount(int count)
{
    if (count < 0 || count >= kMaxPoints)
        throw EGlobeException(GlobeFormat("PointList.SetCount: Bad Count %d", count));
    points_.resize(static_cast<std::size_t>(count));
    Changed();
}

void TGeoDataObject::RemoveRepeats()
{
    if (points_.size() < 3)
        return;
    std::vector<TGlobePoint> kept(points_.begin(), points_.begin() + 2);
    for (std::size_t i = 2; i < points_.size(); ++i)
        if (!(points_[i] == kept.back()))
            kept.push_back(points_[i]);
    if (kept.size() != points_.size()) {
        points_ = std::move(kept);
        Changed();
    }
}

TGlobePoint TGeoDataObject::Centroid()
{
    if (points_.empty())
        return {};
    long double lon = 0, lat = 0;
    for (const TGlobePoint& p : points_) {
        lon += p.iLongX;
        lat += p.iLatY;
    }
    return MakeGlobePoint(std::llround(lon / points_.size()), static_cast<std::int32_t>(std::llround(lat / points_.size())));
}

void TGeoDataObject::SaveToStream(TGlobeWriter& w) const
{
    TGeoDataObject& self = const_cast<TGeoDataObject&>(*this);
    std::uint16_t flags = HeaderFlags();
    flags |= gofCompact;
    for (const TGlobePoint& p : points_) {
        if (!OnMinutes(p))
            flags &= ~gofCompact;
        if (p.iHeightZ != 0)
            flags |= gofHeight;
    }
    const std::int64_t u = (flags & gofCompact) ? GU_MINUTE : 1;
    const std::int64_t e = (flags & gofCompact) ? 127 : 32767;
    const std::size_t n = points_.size();
    auto diffs = [&](std::size_t i, std::int64_t d[3]) {
        const TGlobePoint &a = points_[i - 1], &b = points_[i];
        d[0] = (std::int64_t(b.iLongX) - a.iLongX) / u;
        d[1] = (std::int64_t(b.iLatY) - a.iLatY) / u;
        d[2] = (flags & gofHeight) ? (std::int64_t(b.iHeightZ) - a.iHeightZ) / u : 0;
        return std::llabs(d[0]) < e && std::llabs(d[1]) < e && std::llabs(d[2]) < e;
    };
    if (n > 1) {
        std::int64_t estimate = 8 + 4 * std::int64_t(n - 1), d[3];
        for (std::size_t i = 1; i < n; ++i)
            if (!diffs(i, d))
                estimate += 6;
        if (8 * std::int64_t(n) > estimate)
            flags |= gofDelta;
    }
    if (n <= 1)
        flags |= gofSinglePoint;
    else if (n > 32767)
        flags |= gofLongCount; // a 2-byte count is signed: anything larger needs the 4-byte one
    self.Flags = flags;
    SaveHeader(w);
    if (!(flags & gofSinglePoint)) {
        if (flags & gofLongCount)
            w.I32(static_cast<std::int32_t>(n));
        else
            w.I16(static_cast<std::int16_t>(n));
    }
    SavePoint(w, n ? points_[0] : TGlobePoint{}, flags);
    for (std::size_t i = 1; i < n; ++i) {
        std::int64_t d[3];
        if ((flags & gofDelta) && diffs(i, d)) {
            for (int c = 0; c < ((flags & gofHeight) ? 3 : 2); ++c) {
                if (flags & gofCompact)
                    w.I8(static_cast<std::int8_t>(d[c]));
                else
                    w.I16(static_cast<std::int16_t>(d[c]));
            }
            continue;
        }
        if (flags & gofDelta) {
            if (flags & gofCompact)
                w.I8(127);
            else
                w.I16(32767);
        }
        SavePoint(w, points_[i], flags);
    }
}

void TGeoDataObject::LoadFromStream(TGlobeReader& r)
{
    LoadHeader(r);
    const std::uint16_t f = Flags;
    const bool compact = f & gofCompact, heights = f & gofHeight, delta = f & gofDelta;
    std::int64_t count = 1;
    if (!(f & gofSinglePoint)) {
        // Read unsigned: older writers stored chains of up to 65,535 points in the 2-byte count.
        count = (f & gofLongCount) ? std::int64_t(r.I32()) : std::int64_t(r.U16());
        if (count < 0 || count >= kMaxPoints)
            r.Truncated();
    }
    const std::size_t coords = heights ? 3 : 2;
    const std::size_t fullSize = coords * (compact ? 2 : 4);
    const std::size_t minSize = delta ? coords * (compact ? 1 : 2) : fullSize;
    if (count > 0)
        r.CheckCount(std::uint64_t(count - 1), minSize);
    if (count > 0 && r.Remaining() < fullSize)
        r.Truncated();
    points_.clear();
    points_.reserve(static_cast<std::size_t>(count));
    const std::int64_t u = compact ? GU_MINUTE : 1;
    for (std::int64_t i = 0; i < count; ++i) {
        if (i == 0 || !delta) {
            points_.push_back(LoadPoint(r, f));
            continue;
        }
        std::int64_t first = compact ? std::int64_t(r.I8()) : std::int64_t(r.I16());
        if (first == (compact ? 127 : 32767)) {
            points_.push_back(LoadPoint(r, f));
            continue;
        }
        const TGlobePoint& prev = points_.back();
        std::int64_t dlat = compact ? r.I8() : r.I16();
        std::int64_t dh = heights ? (compact ? r.I8() : r.I16()) : 0;
        TGlobePoint p;
        p.iLongX = CheckedLongitude(r, prev.iLongX + first * u);
        p.iLatY = CheckedLatitude(r, prev.iLatY + dlat * u);
        p.iHeightZ = CheckedHeight(r, prev.iHeightZ + dh * u);
        points_.push_back(p);
    }
    if (!presenter_ && layer_ && layer_->Globe())
        presenter_ = layer_->Globe()->GlobalLayer().FindPresenter("", points_.size() > 1 ? -2 : -1);
    State &= ~osBoundsValid;
}

bool TGeoDataObject::IsOnScreen() { return TGlobeObject::IsOnScreen(); }

void TGeoDataObject::DefaultRender()
{
    TGlobeCore* g = Globe();
    if (!g || !g->Surface)
        return;
    g->Surface->SetPen(Selected() ? g->SelectedPen : g->DefaultPen);
    if (Count() >= 2) {
        DrawChainAsPolyline(*this);
    } else if (Count() == 1) {
        TScreenPoint s;
        if (g->Model().Project(points_[0], s)) {
            g->Surface->SetBrush(g->DefaultBrush);
            g->Surface->Ellipse(s.x - 3, s.y - 3, s.x + 3, s.y + 3);
        }
    }
}

// ---- single points ----

void TSinglePointObject::Put(const TGlobePoint& p)
{
    point_ = p;
    Changed();
}

void TSinglePointObject::SaveToStream(TGlobeWriter& w) const
{
    TSinglePointObject& self = const_cast<TSinglePointObject&>(*this);
    std::uint16_t flags = HeaderFlags();
    if (point_.iLongX % GU_MINUTE == 0 && point_.iLatY % GU_MINUTE == 0)
        flags |= gofCompact;
    self.Flags = flags;
    SaveHeader(w);
    SavePoint(w, point_, flags);
}

void TSinglePointObject::LoadFromStream(TGlobeReader& r)
{
    LoadHeader(r);
    point_ = LoadPoint(r, Flags);
    State &= ~osBoundsValid;
}

bool TSinglePointObject::IsOnScreen()
{
    if (!ZoomRangeShows())
        return false;
    TGlobeCore* g = Globe();
    const TGlobeRect& b = Bounds();
    g->EnsureBuffer(8);
    int n = 0;
    const std::int64_t l = b.left, t = b.top, r = l + b.width, bt = t + b.height;
    const std::int64_t corners[4][2] = {{l, t}, {r, t}, {r, bt}, {l, bt}};
    for (const auto& c : corners)
        if (g->Model().LLToXY(c[0], static_cast<std::int32_t>(std::clamp<std::int64_t>(c[1], -GU_180, GU_180)), n))
            ++n;
    if (n == 0)
        return false;
    State |= osNearPart;
    int outcode = 0;
    return BoundsOnCanvas(*g, n, outcode);
}

void TSinglePointObject::DefaultRender()
{
    TGlobeCore* g = Globe();
    TScreenPoint s;
    if (!g || !g->Surface || !g->Model().Project(point_, s))
        return;
    g->Surface->SetPen(Selected() ? g->SelectedPen : g->DefaultPen);
    g->Surface->SetBrush(g->DefaultBrush);
    g->Surface->Ellipse(s.x - 3, s.y - 3, s.x + 3, s.y + 3);
}

// ---- bitmap objects ----

TBitmapObject::TBitmapObject(TGlobeLayer* layer) : TSinglePointObject(layer), texture_(std::make_unique<TTextureData>()) {}
TBitmapObject::~TBitmapObject() = default;

void TBitmapObject::SetBMPFilename(const std::string& name)
{
    bmpFilename_ = name;
    std::string path = name;
    if (!name.empty() && std::filesystem::path(name).is_relative() && layer_)
        path = layer_->FilePath + name;
    texture_->Clear();
    try {
        if (!name.empty())
            texture_->LoadTexture(path);
    } catch (const EGlobeException&) {
        texture_->Clear();
    }
    texture_->TransparentIndex = transparentIndex_;
    Changed();
}

void TBitmapObject::SetTransparentColor(std::uint32_t colour)
{
    transparentIndex_ = texture_->IndexOfColor(colour);
    texture_->TransparentIndex = transparentIndex_;
}

std::uint32_t TBitmapObject::TransparentColor() const { return texture_->ColorOfIndex(transparentIndex_); }

void TBitmapObject::SaveToStream(TGlobeWriter& w) const
{
    TSinglePointObject::SaveToStream(w);
    w.I32(GlobeUnitsPerXPixel);
    w.I32(GlobeUnitsPerYPixel);
    w.U32(TransparentColor());
    w.ShortString(bmpFilename_);
}

void TBitmapObject::LoadFromStream(TGlobeReader& r)
{
    TSinglePointObject::LoadFromStream(r);
    GlobeUnitsPerXPixel = r.I32();
    GlobeUnitsPerYPixel = r.Version >= LAYER_FILE_VERSION ? r.I32() : GlobeUnitsPerXPixel;
    std::uint32_t transparent = r.U32();
    SetBMPFilename(r.ShortString());
    transparentIndex_ = -1;
    if (texture_->HasData())
        SetTransparentColor(transparent);
}

void TBitmapObject::ComputeBounds()
{
    if (texture_->HasData()) {
        std::int64_t h = std::int64_t(texture_->Height()) * GlobeUnitsPerYPixel;
        std::int64_t w = std::int64_t(texture_->Width()) * GlobeUnitsPerXPixel;
        texture_->rect = {point_.iLongX, static_cast<std::int32_t>(std::clamp<std::int64_t>(point_.iLatY - h, INT32_MIN, INT32_MAX)),
                          static_cast<std::int32_t>(std::clamp<std::int64_t>(w, 0, INT32_MAX)),
                          static_cast<std::int32_t>(std::clamp<std::int64_t>(h, 0, INT32_MAX))};
    } else {
        texture_->rect = {-GU_180, -GU_90, static_cast<std::int32_t>(GU_360 - 1), GU_180};
    }
    bounds = texture_->rect;
    if (presenter_)
        presenter_->UpdateBounds(*this);
    HasCache3D = false;
    State |= osBoundsValid;
}

void TBitmapObject::DefaultRender()
{
    if (TGlobeCore* g = Globe(); g && texture_->HasData())
        DrawTexturedRect(*g, texture_->rect, *texture_);
}

} // namespace korval
