#include "globe/texture_data.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "globe/globe_core.h"

namespace korval {

namespace {
const char* const kBadTexture = "Globe texture must be a 256 color RGB encoded bitmap";

std::uint32_t Le32(std::string_view b, std::size_t at)
{
    return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8 |
           std::uint32_t(std::uint8_t(b[at + 2])) << 16 | std::uint32_t(std::uint8_t(b[at + 3])) << 24;
}
std::uint16_t Le16(std::string_view b, std::size_t at)
{
    return static_cast<std::uint16_t>(std::uint8_t(b[at]) | std::uint8_t(b[at + 1]) << 8);
}
} // namespace

void TTextureData::Clear()
{
    bytes_.clear();
    width_ = height_ = stride_ = 0;
    offBits_ = 0;
    std::fill(std::begin(palette_), std::end(palette_), 0u);
}

void TTextureData::LoadTexture(const std::string& fileName)
{
    std::error_code ec;
    if (fileName.empty() || !std::filesystem::is_regular_file(fileName, ec))
        return;
    std::ifstream in(fileName, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    LoadFromBytes(bytes);
}

// Rows are read with the stride computed from the width (biSizeImage may be 0); the height must
// be non-zero (a negative one is a top-down image) and every row must be present.
void TTextureData::LoadFromBytes(std::string_view b)
{
    Clear();
    auto refuse = [this]() {
        Clear();
        throw EGlobeException(kBadTexture);
    };
    if (b.size() < 54 || Le16(b, 0) != 19778)
        refuse();
    const std::uint32_t offBits = Le32(b, 10), biSize = Le32(b, 14);
    const std::int32_t w = static_cast<std::int32_t>(Le32(b, 18)), h = static_cast<std::int32_t>(Le32(b, 22));
    const std::uint16_t bitCount = Le16(b, 28);
    const std::uint32_t compression = Le32(b, 30), clrUsed = Le32(b, 46);
    if (biSize < 40 || bitCount != 8 || compression != 0 || w <= 0 || h == 0 || h == INT32_MIN || w > 1 << 20 ||
        std::abs(h) > 1 << 20)
        refuse();
    const std::uint64_t colours = (clrUsed == 0 || clrUsed > 256) ? 256 : clrUsed;
    const std::uint64_t palAt = 14ull + biSize;
    if (palAt + colours * 4 > b.size())
        refuse();
    const std::uint64_t stride = ((std::uint64_t(w) * 8 + 31) / 32) * 4;
    if (offBits < palAt || std::uint64_t(offBits) + stride * std::uint64_t(std::abs(h)) > b.size())
        refuse();
    bytes_.assign(b.data(), b.size());
    for (std::uint64_t i = 0; i < colours; ++i) {
        std::size_t at = static_cast<std::size_t>(palAt + i * 4);
        // RGBQUAD is blue, green, red, reserved: turned into a COLORREF.
        palette_[i] = std::uint32_t(std::uint8_t(b[at + 2])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8 |
                      std::uint32_t(std::uint8_t(b[at])) << 16 | std::uint32_t(std::uint8_t(b[at + 3])) << 24;
    }
    width_ = w;
    height_ = h;
    stride_ = static_cast<int>(stride);
    offBits_ = offBits;
}

int TTextureData::IndexOfColor(std::uint32_t colour) const
{
    if (!HasData())
        return -1;
    for (int i = 0; i < 256; ++i)
        if (palette_[i] == (colour & 0xFFFFFF))
            return i;
    return -1;
}

std::uint32_t TTextureData::ColorOfIndex(int index) const
{
    if (!HasData() || index < 0 || index > 255)
        return 0;
    return palette_[index] & 0xFFFFFF;
}

int TTextureData::Texel(int u, int v) const
{
    const int rows = std::abs(height_);
    if (!HasData() || u < 0 || u >= width_ || v < 0 || v >= rows)
        return -1;
    const int stored = height_ < 0 ? rows - 1 - v : v; // top-down files store the top row first
    return std::uint8_t(bytes_[offBits_ + std::size_t(stored) * std::size_t(stride_) + std::size_t(u)]);
}

void DrawTexturedTriangle(TGlobeCore& globe, const TGlobePoint& a, const TGlobePoint& b, const TGlobePoint& c,
                          const TTextureData& texture)
{
    if (!globe.Surface || !texture.HasData() || texture.rect.width == 0 || texture.rect.height == 0)
        return;
    const std::int32_t edge = NormalizeLongitude(std::int64_t(globe.Model().CentralMeridian()) + GU_180);
    const TGlobePoint pts[3] = {a, b, c};
    int positives = 0;
    for (const TGlobePoint& p : pts)
        positives += (std::int64_t(p.iLongX) - edge) >= 0;
    if (positives != 0 && positives != 3)
        return;
    TScreenPoint s[3];
    for (int i = 0; i < 3; ++i)
        if (!globe.Model().Project(pts[i], s[i]))
            return;
    globe.EnsureBuffer(8);
    for (int i = 0; i < 3; ++i)
        globe.Buffer()[i] = s[i];
    if (globe.Clip(3, true) < 2)
        return;
    const int rows = std::abs(texture.Height());
    long double u[3], v[3];
    for (int i = 0; i < 3; ++i) {
        u[i] = std::round((static_cast<long double>(pts[i].iLongX) - texture.rect.left) / texture.rect.width * texture.Width());
        v[i] = std::round((static_cast<long double>(pts[i].iLatY) - texture.rect.top) / texture.rect.height * (rows - 1));
    }
    int order[3] = {0, 1, 2};
    std::sort(order, order + 3, [&](int x, int y) { return s[x].y < s[y].y; });
    const int i0 = order[0], i1 = order[1], i2 = order[2];
    const int W = globe.CanvasWidth(), H = globe.CanvasHeight();
    const int yTop = std::max(0, s[i0].y), yEnd = std::min(H - 1, s[i2].y);
    auto lerp = [&](int p, int q, int y, long double& x, long double& tu, long double& tv) {
        long double t = s[q].y == s[p].y ? 0 : static_cast<long double>(y - s[p].y) / (s[q].y - s[p].y);
        x = s[p].x + t * (s[q].x - s[p].x);
        tu = u[p] + t * (u[q] - u[p]);
        tv = v[p] + t * (v[q] - v[p]);
    };
    for (int y = yTop; y <= yEnd && s[i2].y > s[i0].y; ++y) {
        long double xa, ua, va, xb, ub, vb;
        lerp(i0, i2, y, xa, ua, va);
        if (y < s[i1].y)
            lerp(i0, i1, y, xb, ub, vb);
        else
            lerp(i1, i2, y, xb, ub, vb);
        int ia = static_cast<int>(std::lround(xa)), ib = static_cast<int>(std::lround(xb));
        if (ia > ib) {
            std::swap(ia, ib);
            std::swap(ua, ub);
            std::swap(va, vb);
        }
        const int w = ib - ia;
        if (w <= 0)
            continue;
        const long double du = (ub - ua) / w, dv = (vb - va) / w;
        int k0 = ia < 0 ? -ia : 0;
        for (int k = k0, x = ia + k0; x < std::min(ib, W); ++k, ++x) {
            int t = texture.Texel(static_cast<int>(std::lround(ua + k * du)), static_cast<int>(std::lround(va + k * dv)));
            if (t < 0 || (texture.TransparentIndex != -1 && t == texture.TransparentIndex))
                continue;
            globe.Surface->SetPixel(x, y, texture.ColorOfIndex(t));
        }
    }
}

void DrawTexturedRect(TGlobeCore& globe, const TGlobeRect& r, const TTextureData& texture)
{
    if (r.width == 0 || r.height == 0)
        return;
    const std::int64_t l = r.left, t = r.top, rr = l + r.width - 1, b = t + r.height;
    auto pt = [](std::int64_t lon, std::int64_t lat) {
        return TGlobePoint{static_cast<std::int32_t>(std::clamp<std::int64_t>(lon, -GU_180, GU_180 - 1)),
                           static_cast<std::int32_t>(std::clamp<std::int64_t>(lat, -GU_90, GU_90)), 0};
    };
    DrawTexturedTriangle(globe, pt(l, t), pt(rr, t), pt(rr, b - 1), texture);
    DrawTexturedTriangle(globe, pt(l, t), pt(l, b), pt(rr, b - 1), texture);
}

namespace {
TGlobePoint VectorToPoint(const TVector& v, bool west)
{
    std::int64_t lon = std::llround(std::atan2(v.x, v.z) * GU_PER_RADIAN) - 1;
    if (west)
        lon = -std::llabs(lon);
    return {NormalizeLongitude(lon), RoundGU(ArcSin(v.y) * GU_PER_RADIAN), 0};
}

void Subdivide(TGlobeCore& g, const TVector& a, const TVector& b, const TVector& c, int depth, bool west)
{
    if (depth == 0) {
        DrawTexturedTriangle(g, VectorToPoint(a, west), VectorToPoint(b, west), VectorToPoint(c, west), g.Texture());
        return;
    }
    TScreenPoint s;
    if (!g.Model().Project(VectorToPoint(a, west), s) && !g.Model().Project(VectorToPoint(b, west), s) &&
        !g.Model().Project(VectorToPoint(c, west), s))
        return;
    auto mid = [](const TVector& p, const TVector& q) { return Normalize({p.x + q.x, p.y + q.y, p.z + q.z}); };
    TVector ab = mid(a, b), ac = mid(a, c), bc = mid(b, c);
    Subdivide(g, a, ac, ab, depth - 1, west);
    Subdivide(g, b, ab, bc, depth - 1, west);
    Subdivide(g, c, bc, ac, depth - 1, west);
    Subdivide(g, ab, ac, bc, depth - 1, west);
}
} // namespace

void PaintTexturedSphere(TGlobeCore& globe)
{
    int depth = 3;
    if (globe.Scale() > 2e-7)
        ++depth;
    if (globe.Scale() > 2e-6)
        ++depth;
    const TVector x{1, 0, 0}, y{0, 1, 0}, z{0, 0, 1}, nx{-1, 0, 0}, ny{0, -1, 0}, nz{0, 0, -1};
    const TVector faces[8][3] = {{x, z, y}, {x, y, nz}, {ny, z, x}, {ny, x, nz},
                                 {y, nx, nz}, {y, z, nx}, {nx, ny, nz}, {nx, z, ny}};
    for (int f = 0; f < 8; ++f)
        Subdivide(globe, faces[f][0], faces[f][1], faces[f][2], depth, f >= 4);
}

} // namespace korval
