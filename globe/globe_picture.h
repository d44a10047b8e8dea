#pragma once
// A picture for point symbols: 32-bit pixels (0xAARRGGBB, rows top to bottom). The engine does
// not decode image files itself: the windows install a loader for the formats they can read.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace korval {

struct TGlobePicture {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;
    bool Empty() const { return Width <= 0 || Height <= 0; }
};

// Reads a picture file; null when it cannot.
using TGlobePictureLoader = std::function<std::shared_ptr<TGlobePicture>(const std::string& fileName)>;

// Installs the loader; returns the previous one. Without one no picture loads.
TGlobePictureLoader SetGlobePictureLoader(TGlobePictureLoader loader);
// The picture in the file, or null when the file is missing or unreadable.
std::shared_ptr<TGlobePicture> LoadGlobePicture(const std::string& fileName);

} // namespace korval
