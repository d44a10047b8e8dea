// Writes the layouts file the program ships (data/SAVE/KORVAL.LAB): the common sheets of
// self-adhesive labels, by their makers' published sizes, so that labels print without first
// measuring a sheet.
//   make_label_layouts <output file>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "exchange/label_layout.h"
#include "platform/atomic_file.h"

namespace {

using korval::TLabelLayout;

constexpr double kMm = 1 / 25.4;

// A sheet given in the unit its maker uses (inches, or millimetres with mm true).
TLabelLayout Sheet(const char* name, const char* paper, bool mm, int across, int down, double width, double height,
                   double top, double left, double horzPitch, double vertPitch)
{
    const double f = mm ? kMm : 1.0;
    TLabelLayout l;
    l.Name = name;
    l.Units = mm ? 1 : 0;
    l.PaperName = paper;
    l.NumAcross = static_cast<std::uint8_t>(across);
    l.NumDown = static_cast<std::uint8_t>(down);
    l.LabelWidth = width * f;
    l.LabelHeight = height * f;
    l.SpacingTop = top * f;
    l.SpacingLeft = left * f;
    l.HorzPitch = horzPitch * f;
    l.VertPitch = vertPitch * f;
    return l;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_label_layouts <output file>\n");
        return 2;
    }
    const std::vector<TLabelLayout> sheets = {
        Sheet("Avery 5160", "Letter", false, 3, 10, 2.625, 1.0, 0.5, 0.1875, 2.75, 1.0),
        Sheet("Avery 5161", "Letter", false, 2, 10, 4.0, 1.0, 0.5, 0.15625, 4.1875, 1.0),
        Sheet("Avery 5162", "Letter", false, 2, 7, 4.0, 1.3333, 0.8333, 0.15625, 4.1875, 1.3333),
        Sheet("Avery 5163", "Letter", false, 2, 5, 4.0, 2.0, 0.5, 0.15625, 4.1875, 2.0),
        Sheet("AveryL7160", "A4", true, 3, 7, 63.5, 38.1, 15.15, 7.25, 66.0, 38.1),
        Sheet("AveryL7161", "A4", true, 3, 6, 63.5, 46.6, 8.7, 7.25, 66.0, 46.6),
        Sheet("AveryL7163", "A4", true, 2, 7, 99.1, 38.1, 15.15, 4.65, 101.6, 38.1),
        Sheet("AveryL7165", "A4", true, 2, 4, 99.1, 67.7, 13.1, 4.65, 101.6, 67.7),
    };
    std::string bytes;
    for (const TLabelLayout& l : sheets) {
        std::uint8_t record[TLabelLayout::kSize] = {};
        l.ToBytes(record);
        bytes.append(reinterpret_cast<const char*>(record), sizeof record);
    }
    try {
        korval::WriteFileAtomically(argv[1], bytes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
