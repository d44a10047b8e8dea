#pragma once
// The arithmetic of the progress meter: its percentage text and how a bar of a given inner
// length splits into a used and an unused part.
#include <string>

namespace korval {

// "%d%%" of the percentage clamped to 0..100 (150 shows as "100%").
std::string MeterPercentText(int percent);

struct TMeterParts {
    int used = 0;   // pixels from the start edge (left, or bottom when vertical)
    int unused = 0; // pixels after the used part
};

// Splits an inner length: parts under 3 pixels are not drawn; a part bar that is not full keeps
// a visible unused strip of at least 2 pixels after a one-pixel gap.
TMeterParts MeterSplit(int percent, int length);

} // namespace korval
