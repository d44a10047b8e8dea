#include "globe/globe_presenters.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "globe/globe_core.h"
#include "globe/globe_layer.h"
#include "globe/globe_objects.h"

namespace korval {

TGlobePresenter::TGlobePresenter(TGlobeLayer* layer) : TitleFont(layer), layer_(layer) {}

TGlobeCore* TGlobePresenter::Globe() const { return layer_ ? layer_->Globe() : nullptr; }

void TGlobePresenter::Name_FeatureID(std::int16_t featureID, const std::string& name)
{
    TGlobeCore* g = Globe();
    const bool global = g && layer_ == &g->GlobalLayer();
    if (featureID == 0) {
        int pos = layer_ ? layer_->IndexOfPresenter(this) + 1 : 1;
        featureID = static_cast<std::int16_t>(global ? -pos : pos);
    }
    FeatureID = featureID;
    Name = name.empty() ? std::string(global ? "Global" : "") + (ClassName() + 1) + std::to_string(FeatureID) : name;
    TitleFont.FontName = "Arial";
    TitleFont.FontSize = 9;
    TitleFont.FontUnit = TGlobeUnits::Pixel;
}

void TGlobePresenter::SaveToStream(TGlobeWriter& w) const
{
    w.I32(FeatureID);
    w.U8(static_cast<std::uint8_t>(TitleOffset));
    w.ShortString(Name);
    w.U8(TitleAlignment);
    TitleFont.SaveToStream(w);
}

void TGlobePresenter::LoadFromStream(TGlobeReader& r)
{
    FeatureID = static_cast<std::int16_t>(r.I32());
    if (r.Version >= LAYER_FILE_VERSION)
        TitleOffset = r.U8();
    Name = r.ShortString();
    std::uint8_t a = r.U8();
    if (a > taBottomRight)
        r.Truncated();
    TitleAlignment = static_cast<TTitleAlignment>(a);
    TitleFont.LoadFromStream(r);
}

bool TGlobePresenter::Contains(TGlobeObject&, const TGlobePoint&) { return true; }

void TGlobePresenter::UpdateBounds(TGlobeObject& object)
{
    TGlobeCore* g = Globe();
    double s = g ? g->Scale() : 0;
    long double px = s > 0 ? std::round(1.0L / s) : 0;
    if (px >= object.bounds.width && px >= object.bounds.height)
        object.State |= osSubPixel;
    else
        object.State &= ~osSubPixel;
}

void TGlobePresenter::MarkBoundsOutOfDate()
{
    if (!layer_)
        return;
    for (int i = 0; i < layer_->ObjectCount(); ++i)
        if (TGlobeObject* o = layer_->Object(i); o && o->Presenter() == this)
            o->Changed();
}

void TGlobePresenter::RenderTitles(TGlobeLayer& layer)
{
    TGlobeCore* g = Globe();
    if (TitleAlignment == taNone || !g || !g->Surface)
        return;
    if (TitleFont.PixelHeight() < std::max(2, g->MinTextHeight) || !TitleFont.Select(false))
        return;
    int offset = TitleOffset;
    if (TitleFont.FontUnit != TGlobeUnits::Pixel)
        offset = static_cast<int>(std::lround(double(::korval::UnitToGlobeUnits(TitleFont.FontUnit, TitleOffset)) * g->Scale()));
    static constexpr int kAlign[10] = {0, 30, 26, 24, 10, 14, 8, 2, 6, 0};
    static constexpr int kDx[10] = {0, 0, -1, 1, -1, 0, 1, -1, 0, 1};
    static constexpr int kDy[10] = {0, 0, 0, 0, -1, -1, -1, 1, 1, 1};
    for (int i = 0; i < layer.ObjectCount(); ++i) {
        TGlobeObject* o = layer.Object(i);
        if (o->Presenter() != this || (o->State & (osDraw | osNearPart)) != (osDraw | osNearPart))
            continue;
        bool done = false;
        if (g->OnRenderTitle)
            g->OnRenderTitle(o, done);
        if (done || o->Title.empty())
            continue;
        TScreenPoint s;
        if (!g->Model().Project(o->Centroid(), s))
            continue;
        g->Surface->Text(s.x + kDx[TitleAlignment] * offset, s.y + kDy[TitleAlignment] * offset, o->Title,
                         kAlign[TitleAlignment]);
    }
}

// ---- point presenter ----

TPointPresenter::TPointPresenter(TGlobeLayer* layer)
    : TGlobePresenter(layer), PointPen(layer), PointBrush(layer), PointFont(layer)
{
}

void TPointPresenter::SaveToStream(TGlobeWriter& w) const
{
    TGlobePresenter::SaveToStream(w);
    w.U8(PointType);
    w.U8(static_cast<std::uint8_t>(PointUnit));
    if (MaxPointSize > 0) {
        w.I32(-PointSize);
        w.I32(MaxPointSize);
    } else {
        w.I32(PointSize);
    }
    w.U16(SymbolIndex);
    w.ShortString(imageName_);
    PointPen.SaveToStream(w);
    PointBrush.SaveToStream(w);
    PointFont.SaveToStream(w);
}

void TPointPresenter::LoadFromStream(TGlobeReader& r)
{
    TGlobePresenter::LoadFromStream(r);
    std::uint8_t type = r.U8();
    if (type > ppTriangleRight || !UnitFromOrdinal(r.U8(), PointUnit))
        r.Truncated();
    PointType = static_cast<TPointPresenterType>(type);
    std::int32_t size = r.I32();
    MaxPointSize = 0;
    if (size < 0) {
        size = size == INT32_MIN ? INT32_MAX : -size;
        MaxPointSize = r.I32();
    }
    PointSize = size;
    SymbolIndex = r.U16();
    SetImageName(r.ShortString());
    PointPen.LoadFromStream(r);
    PointBrush.LoadFromStream(r);
    PointFont.LoadFromStream(r);
}

void TPointPresenter::UpdateBounds(TGlobeObject& object)
{
    TGlobeCore* g = Globe();
    if (!g || object.Count() != 1 || dynamic_cast<TBitmapObject*>(&object)) {
        TGlobePresenter::UpdateBounds(object);
        return;
    }
    std::int64_t size = g->UnitToGlobeUnits(PointUnit, PointSize);
    if (MaxPointSize != 0 && g->Scale() > 0)
        size = std::min<std::int64_t>(size, std::llround(MaxPointSize / g->Scale()));
    size = std::clamp<std::int64_t>(size, 0, GU_180);
    TGlobePoint p = object.Get(0);
    // A title without a symbol: the title's extent at the current scale, from the point on (a
    // surface that cannot measure text yet leaves the point's own box).
    if (PointType == ppNone && TitleAlignment != taNone && !object.Title.empty() && g->Surface && g->Scale() > 0 &&
        TitleFont.Select(false)) {
        int w = 0, h = 0;
        g->Surface->TextExtent(object.Title, w, h);
        if (w > 0 && h > 0) {
            const auto toUnits = [&](int px) {
                return static_cast<std::int32_t>(std::clamp<long double>(std::llround(px / g->Scale()), 0, GU_180));
            };
            object.bounds = {p.iLongX, p.iLatY, toUnits(w), toUnits(h)};
            object.State &= ~osSubPixel;
            return;
        }
    }
    std::int64_t half = size / 2;
    std::int64_t halfHeight = half;
    if (PointType == ppImage && image_ && !image_->Empty())
        halfHeight = std::llround(double(half) * image_->Height / image_->Width);
    halfHeight = std::clamp<std::int64_t>(halfHeight, 0, GU_180);
    object.bounds = {static_cast<std::int32_t>(p.iLongX - half), static_cast<std::int32_t>(p.iLatY - halfHeight),
                     static_cast<std::int32_t>(2 * half), static_cast<std::int32_t>(2 * halfHeight)};
    object.State &= ~osSubPixel;
}

void TPointPresenter::SetImageName(const std::string& fileName)
{
    imageName_ = fileName;
    image_ = LoadGlobePicture(fileName);
    MarkBoundsOutOfDate();
}

void TPointPresenter::SetImage(std::shared_ptr<const TGlobePicture> picture)
{
    imageName_.clear();
    image_ = std::move(picture);
    MarkBoundsOutOfDate();
}

bool TPointPresenter::Contains(TGlobeObject&, const TGlobePoint&) { return true; }

void TPointPresenter::RenderObject(TGlobeObject& object)
{
    TGlobeCore* g = Globe();
    if (!g || !g->Surface)
        return;
    TGlobeSurface& s = *g->Surface;
    PointPen.Select(object.Selected());
    PointBrush.Select(object.Selected());
    const int count = object.Count();
    for (int i = 0; i < count; ++i) {
        TScreenPoint p;
        if (!g->Model().Project(object.Get(i), p))
            continue;
        const int x = p.x, y = p.y;
        int size = g->SizeToPixels(PointSize, PointUnit);
        if (MaxPointSize != 0)
            size = std::min(size, MaxPointSize);
        const int h = size / 2;
        auto poly = [&](std::initializer_list<TScreenPoint> pts) {
            std::vector<TScreenPoint> v(pts);
            s.Polygon(v.data(), static_cast<int>(v.size()));
        };
        switch (PointType) {
        case ppNone: break;
        case ppFontSymbol: {
            if (!PointFont.Select(object.Selected()))
                break;
            std::string ch(1, static_cast<char>(SymbolIndex & 0xFF));
            int w = 0, hh = 0;
            s.TextExtent(ch, w, hh);
            w /= 2;
            hh /= 2;
            double a = (-PointFont.FontAngle / 10) * PI / 180;
            s.Text(x - int(std::trunc(w * std::cos(a) - hh * std::sin(a))), y - int(std::trunc(w * std::sin(a) + hh * std::cos(a))), ch, 0);
            break;
        }
        case ppImage:
            // Stretched to the symbol's width, its height kept in proportion.
            if (image_ && !image_->Empty()) {
                const int v = static_cast<int>(std::lround(double(image_->Height) * h / image_->Width));
                s.StretchPicture(*image_, x - h, y - v, x + h, y + v);
            }
            break;
        case ppDot: s.SetPixel(x, y, object.Selected() ? g->SelectedPen.color : PointPen.data.color); break;
        case ppCircle: s.Ellipse(x - h, y - h, x + h, y + h); break;
        case ppSquare: s.Rectangle(x - h, y - h, x + h, y + h); break;
        case ppDiamond: poly({{x, y - h}, {x + h, y}, {x, y + h}, {x - h, y}}); break;
        case ppTriangleUp: poly({{x + h, y + h}, {x, y - h}, {x - h, y + h}}); break;
        case ppTriangleDown: poly({{x - h, y - h}, {x, y + h}, {x + h, y - h}}); break;
        case ppTriangleLeft: poly({{x + h, y + h}, {x - h, y}, {x + h, y - h}}); break;
        case ppTriangleRight: poly({{x - h, y - h}, {x + h, y}, {x - h, y + h}}); break;
        }
    }
}

// ---- polyline presenter ----

TPolylinePresenter::TPolylinePresenter(TGlobeLayer* layer) : TGlobePresenter(layer), PolylinePen(layer) {}

void TPolylinePresenter::SaveToStream(TGlobeWriter& w) const
{
    TGlobePresenter::SaveToStream(w);
    PolylinePen.SaveToStream(w);
}

void TPolylinePresenter::LoadFromStream(TGlobeReader& r)
{
    TGlobePresenter::LoadFromStream(r);
    PolylinePen.LoadFromStream(r);
}

void TPolylinePresenter::RenderObject(TGlobeObject& object)
{
    PolylinePen.Select(object.Selected());
    DrawChainAsPolyline(object);
}

// A hit is a point within one pixel (in globe units) of a segment: the distance to the segment,
// not a comparison of integer slopes, which hits nearly everything at world zoom and misses
// steep segments zoomed in.
bool TPolylinePresenter::Contains(TGlobeObject& object, const TGlobePoint& p)
{
    TGlobeCore* g = Globe();
    long double t = (g && g->Scale() > 0) ? std::max(1.0L, std::round(1.0L / g->Scale())) : 1.0L;
    const int n = object.Count();
    for (int i = 1; i < n; ++i) {
        TGlobePoint a = object.Get(i - 1), b = object.Get(i);
        long double x1 = a.iLongX, y1 = a.iLatY, x2 = b.iLongX, y2 = b.iLatY, px = p.iLongX, py = p.iLatY;
        if (px < std::min(x1, x2) - t || px > std::max(x1, x2) + t || py < std::min(y1, y2) - t || py > std::max(y1, y2) + t)
            continue;
        long double dx = x2 - x1, dy = y2 - y1, len2 = dx * dx + dy * dy;
        long double u = len2 > 0 ? std::clamp(((px - x1) * dx + (py - y1) * dy) / len2, 0.0L, 1.0L) : 0.0L;
        if (std::hypot(px - (x1 + u * dx), py - (y1 + u * dy)) <= t)
            return true;
    }
    return false;
}

// ---- polygon presenter ----

TPolygonPresenter::TPolygonPresenter(TGlobeLayer* layer) : TGlobePresenter(layer), PolygonPen(layer), PolygonBrush(layer) {}

void TPolygonPresenter::SaveToStream(TGlobeWriter& w) const
{
    TGlobePresenter::SaveToStream(w);
    PolygonPen.SaveToStream(w);
    PolygonBrush.SaveToStream(w);
}

void TPolygonPresenter::LoadFromStream(TGlobeReader& r)
{
    TGlobePresenter::LoadFromStream(r);
    PolygonPen.LoadFromStream(r);
    PolygonBrush.LoadFromStream(r);
}

void TPolygonPresenter::RenderObject(TGlobeObject& object)
{
    PolygonPen.Select(object.Selected());
    PolygonBrush.Select(object.Selected());
    DrawChainAsPolygon(object);
}

// Even-odd containment. Objects that cross the 180-degree meridian are tested with their
// longitudes unwrapped eastward from the bounds' left edge, so the ray meets the edges beyond the
// meridian; objects around a pole count the crossings of the meridian from the point to that pole
// (inside when even), leaving out the seam edges that jump across the date line.
bool TPolygonPresenter::Contains(TGlobeObject& object, const TGlobePoint& p)
{
    const TGlobeRect& b = object.Bounds();
    const int n = object.Count();
    if (n < 3)
        return false;
    if (object.State & osPole) {
        const bool south = std::int64_t(b.top) < 0 && std::int64_t(b.top) + b.height < GU_90;
        int crossings = 0;
        TGlobePoint prev = object.Get(n - 1);
        for (int i = 0; i < n; ++i) {
            TGlobePoint v = object.Get(i);
            const std::int64_t span = std::llabs(std::int64_t(v.iLongX) - prev.iLongX);
            if (span <= GU_180 && (v.iLongX <= p.iLongX) != (prev.iLongX <= p.iLongX)) {
                long double lat = v.iLatY + (static_cast<long double>(p.iLongX) - v.iLongX) *
                                                (static_cast<long double>(prev.iLatY) - v.iLatY) /
                                                (static_cast<long double>(prev.iLongX) - v.iLongX);
                if (south ? lat < p.iLatY : lat > p.iLatY)
                    ++crossings;
            }
            prev = v;
        }
        return crossings % 2 == 0;
    }
    const bool unwrap = std::int64_t(b.left) + b.width > GU_180;
    auto lon = [&](std::int32_t x) { return static_cast<long double>(unwrap && x < b.left ? std::int64_t(x) + GU_360 : x); };
    const long double px = lon(p.iLongX);
    bool inside = false;
    TGlobePoint prev = object.Get(n - 1);
    for (int i = 0; i < n; ++i) {
        TGlobePoint v = object.Get(i);
        if ((v.iLatY <= p.iLatY) != (prev.iLatY <= p.iLatY)) {
            long double x = lon(v.iLongX) + (static_cast<long double>(p.iLatY) - v.iLatY) * (lon(prev.iLongX) - lon(v.iLongX)) /
                                                (static_cast<long double>(prev.iLatY) - v.iLatY);
            if (px < x)
                inside = !inside;
        }
        prev = v;
    }
    return inside;
}

// ---- chains split at the map edge ----

namespace {

struct EdgeWalker {
    TGlobeCore& g;
    std::int32_t cm;
    std::int32_t Rel(const TGlobePoint& p) const { return NormalizeLongitude(std::int64_t(p.iLongX) - cm); }
    TGlobePoint AtRel(std::int64_t rel, std::int32_t lat) const { return {NormalizeLongitude(rel + cm), lat, 0}; }
    static bool Crosses(std::int32_t a, std::int32_t b) { return (a >= GU_90 && b <= -GU_90) || (a <= -GU_90 && b >= GU_90); }
    // Latitude where the segment from a to b meets the edge (over the shorter way round).
    static std::int32_t EdgeLatitude(std::int32_t relA, std::int32_t latA, std::int32_t relB, std::int32_t latB)
    {
        long double toEdge = relA > 0 ? GU_180 - static_cast<long double>(relA) : static_cast<long double>(relA) + GU_180;
        long double total = relA > 0 ? (static_cast<long double>(relB) + GU_360) - relA : relA + GU_360 - static_cast<long double>(relB);
        total = std::max(total, 1.0L);
        return RoundGU(latA + (static_cast<long double>(latB) - latA) * toEdge / total);
    }
};

// How often the chain crosses the map's edge (the meridian opposite the central meridian), the
// closing edge of a polygon included. That edge, not the 180-degree meridian, is where a flat map
// has to cut: centred elsewhere, an outline that never reaches 180 degrees may still cross it.
int EdgeCrossings(const TGlobeObject& object, std::int32_t cm, bool closed)
{
    const int n = object.Count();
    int crossings = 0;
    auto rel = [&](int i) { return NormalizeLongitude(std::int64_t(object.Get(i).iLongX) - cm); };
    std::int32_t prev = rel(closed ? n - 1 : 0);
    for (int i = closed ? 0 : 1; i < n; ++i) {
        const std::int32_t r = rel(i);
        if (EdgeWalker::Crosses(prev, r))
            ++crossings;
        prev = r;
    }
    return crossings;
}

void DrawProjected(TGlobeCore& g, const std::vector<TGlobePoint>& pts, bool polygon)
{
    g.EnsureBuffer(pts.size() + 1);
    int n = 0;
    for (const TGlobePoint& p : pts)
        if (g.Model().PointLLToXY(p, n))
            ++n;
    if (polygon && n > 2)
        g.PolygonClipped(n);
    else if (!polygon && n > 1)
        g.PolylineClipped(n);
}

} // namespace

void DrawChainAsPolyline(TGlobeObject& object)
{
    TGlobeCore* g = object.Globe();
    if (!g || !g->Surface)
        return;
    if (g->TransparentGlobe && !object.Selected())
        g->Surface->SetPen(g->TransparentPen);
    if (g->Model().IsSpherical() || object.Count() < 2 || EdgeCrossings(object, g->Model().CentralMeridian(), false) == 0) {
        int n = g->Model().PointListToXY(object);
        if (n > 1)
            g->PolylineClipped(n);
        return;
    }
    EdgeWalker w{*g, g->Model().CentralMeridian()};
    std::vector<TScreenPoint> piece;
    auto flush = [&]() {
        if (piece.size() > 1) {
            g->EnsureBuffer(piece.size() + 1);
            std::copy(piece.begin(), piece.end(), g->Buffer());
            g->PolylineClipped(static_cast<int>(piece.size()));
        }
        piece.clear();
    };
    auto add = [&](const TGlobePoint& p) {
        TScreenPoint s;
        if (g->Model().Project(p, s))
            piece.push_back(s);
        else
            flush();
    };
    const int n = object.Count();
    for (int i = 0; i < n; ++i) {
        TGlobePoint p = object.Get(i);
        if (i > 0) {
            TGlobePoint q = object.Get(i - 1);
            std::int32_t a = w.Rel(q), b = w.Rel(p);
            if (EdgeWalker::Crosses(a, b)) {
                std::int32_t lat = EdgeWalker::EdgeLatitude(a, q.iLatY, b, p.iLatY);
                add(w.AtRel(a > 0 ? GU_180 - 1 : -GU_180 + 1, lat));
                flush();
                add(w.AtRel(a > 0 ? -GU_180 + 1 : GU_180 - 1, lat));
            }
        }
        add(p);
    }
    flush();
}

void DrawChainAsPolygon(TGlobeObject& object)
{
    TGlobeCore* g = object.Globe();
    if (!g || !g->Surface)
        return;
    if (g->TransparentGlobe && !object.Selected()) {
        g->Surface->SetPen(g->TransparentPen);
        g->Surface->SetBrush(g->TransparentBrush);
    }
    const int n = object.Count();
    const int crossings = g->Model().IsSpherical() || n < 3 ? 0 : EdgeCrossings(object, g->Model().CentralMeridian(), true);
    if (crossings == 0) {
        int count = g->Model().PointListToXY(object);
        if (count > 2)
            g->PolygonClipped(count);
        return;
    }
    EdgeWalker w{*g, g->Model().CentralMeridian()};
    // An outline that crosses the edge an odd number of times goes round a pole.
    const bool pole = crossings % 2 == 1;
    const TGlobeRect& bounds = object.Bounds();
    const std::int32_t poleLat = 2 * std::int64_t(bounds.top) + bounds.height < 0 ? -89 * GU_DEGREE : 89 * GU_DEGREE;
    std::vector<TGlobePoint> parts[2];
    int cur = w.Rel(object.Get(n - 1)) >= 0 ? 0 : 1;
    // Where each part last left the edge, to run along the edge when it comes back.
    std::int32_t exitLat[2] = {0, 0};
    bool exited[2] = {false, false};
    auto enterEdge = [&](int part, std::int64_t rel, std::int32_t lat) {
        if (exited[part]) {
            std::int32_t from = exitLat[part];
            int steps = static_cast<int>(std::llabs(std::int64_t(lat) - from) / GU_DEGREE);
            for (int s = 1; s < steps; ++s)
                parts[part].push_back(w.AtRel(rel, static_cast<std::int32_t>(from + (std::int64_t(lat) - from) * s / steps)));
            exited[part] = false;
        }
        parts[part].push_back(w.AtRel(rel, lat));
    };
    for (int i = 0; i < n; ++i) {
        TGlobePoint q = object.Get(i == 0 ? n - 1 : i - 1), p = object.Get(i);
        std::int32_t a = w.Rel(q), b = w.Rel(p);
        if (EdgeWalker::Crosses(a, b)) {
            std::int32_t lat = EdgeWalker::EdgeLatitude(a, q.iLatY, b, p.iLatY);
            std::int64_t side = a > 0 ? GU_180 - 1 : -GU_180 + 1;
            if (pole) {
                parts[cur].push_back(w.AtRel(side, lat));
                for (std::int64_t l = lat; poleLat < 0 ? l > poleLat : l < poleLat; l += poleLat < 0 ? -GU_DEGREE : GU_DEGREE)
                    parts[cur].push_back(w.AtRel(side, static_cast<std::int32_t>(l)));
                // Along the pole's parallel degree by degree: in a conic or pseudo-cylindrical
                // map it is a curve, and one straight line would cut across the whole map.
                for (std::int64_t r = side; side > 0 ? r > -side : r < -side; r += side > 0 ? -GU_DEGREE : GU_DEGREE)
                    parts[cur].push_back(w.AtRel(r, poleLat));
                parts[cur].push_back(w.AtRel(-side, poleLat));
                for (std::int64_t l = poleLat; poleLat < 0 ? l < lat : l > lat; l += poleLat < 0 ? GU_DEGREE : -GU_DEGREE)
                    parts[cur].push_back(w.AtRel(-side, static_cast<std::int32_t>(l)));
                parts[cur].push_back(w.AtRel(-side, lat));
            } else {
                parts[cur].push_back(w.AtRel(side, lat));
                exitLat[cur] = lat;
                exited[cur] = true;
                cur = 1 - cur;
                enterEdge(cur, -side, lat);
            }
        }
        parts[cur].push_back(p);
    }
    for (int part = 0; part < 2; ++part)
        if (!parts[part].empty())
            DrawProjected(*g, parts[part], true);
}

} // namespace korval
