#pragma once
// An 8-bit palette bitmap (Windows BMP, 256 colours, uncompressed) kept in memory, and the
// affine texture-mapped triangle drawn from it.
#include <cstdint>
#include <string>
#include <string_view>

#include "globe/prj_model.h"

namespace korval {

class TTextureData {
public:
    // The rectangle it covers, globe units (the whole world at creation).
    TGlobeRect rect{-972000000, -486000000, 1944000000, 972000000};
    std::int32_t TransparentIndex = -1;

    // Nothing when the file does not exist. A file that is not an 8-bit uncompressed bitmap (or
    // whose pixel rows are not all present) raises EGlobeException and leaves no data.
    void LoadTexture(const std::string& fileName);
    void LoadFromBytes(std::string_view bytes);
    void Clear();
    bool HasData() const { return !bytes_.empty(); }
    int IndexOfColor(std::uint32_t colour) const;
    std::uint32_t ColorOfIndex(int index) const;
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Bytes per stored row (rounded up to 4 bytes as in the file).
    int Stride() const { return stride_; }
    // Palette index at column u, stored row v (0 = bottom row); -1 outside the image.
    int Texel(int u, int v) const;

private:
    std::string bytes_;
    std::uint32_t palette_[256] = {};
    int width_ = 0, height_ = 0, stride_ = 0;
    std::size_t offBits_ = 0;
};

class TGlobeCore;
void DrawTexturedTriangle(TGlobeCore& globe, const TGlobePoint& a, const TGlobePoint& b, const TGlobePoint& c,
                          const TTextureData& texture);
void DrawTexturedRect(TGlobeCore& globe, const TGlobeRect& r, const TTextureData& texture);
// The sphere's surface from the globe's texture: an octahedron subdivided by the zoom.
void PaintTexturedSphere(TGlobeCore& globe);

} // namespace korval
