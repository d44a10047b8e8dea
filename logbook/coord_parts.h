#pragma once
// A coordinate shown as its absolute value and a sign choice (East/West, North/South).

namespace korval {

// Selection 1 positive (East, North), 2 negative.
struct TCoordParts {
    double magnitude;
    int selection;
};
TCoordParts SplitCoord(double value);
double JoinCoord(double magnitude, int selection);

} // namespace korval
