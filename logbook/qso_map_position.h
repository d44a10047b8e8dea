#pragma once
// Where the current QSO is for the world map, as the QSO window's heading display found it
// (grid locator, IOTA island, US state or country).
#include <string>

namespace korval {

struct TQsoMapPosition {
    std::string Label;     // at most six characters; empty: no position
    double Longitude = 0;  // degrees, East positive
    double Latitude = 0;   // degrees, North positive
    bool UsState = false;  // the position is a US state's
    bool operator==(const TQsoMapPosition&) const = default;
};

} // namespace korval
