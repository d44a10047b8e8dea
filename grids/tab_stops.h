#pragma once
// Tab stops given in average character widths, turned into pixels and dialog units.
#include <stdexcept>
#include <string>
#include <vector>

namespace korval {

// The 52 letters whose mean width is the "average character width" of a font.
inline constexpr const char* kAverageWidthLetters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

// Thrown for a tab-stop entry that is not a decimal integer (nothing is changed then).
class EConvertError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// Converts the text entries; throws EConvertError "'x' is not a valid integer value".
std::vector<int> ParseTabStops(const std::vector<std::string>& entries);

struct TTabStopSet {
    std::vector<int> pixels;
    std::vector<int> dialogUnits;
};

// averageWidth = width of kAverageWidthLetters div 52; baseUnitX = the dialog base unit width.
TTabStopSet ComputeTabStops(const std::vector<int>& stops, int averageWidth, int baseUnitX);

} // namespace korval
