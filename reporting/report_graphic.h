#pragma once
// A picture handed to the report engine, held as the bytes its own class saves (a bitmap as a
// BMP file, a metafile as its file, ...). The stream writer stores the bytes; devices decode them.
#include <cstdint>
#include <string>

namespace korval {

enum TGraphicKind : std::uint8_t { gkBitmap = 1, gkMetafile = 2, gkIcon = 3, gkOther = 4 };

struct TReportGraphic {
    TGraphicKind Kind = gkBitmap;
    std::string Data;
    int Width = 0;   // pixels
    int Height = 0;

    bool Empty() const { return Data.empty(); }
};

} // namespace korval
