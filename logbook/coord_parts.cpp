#include "logbook/coord_parts.h"

#include <cmath>

namespace korval {

TCoordParts SplitCoord(double value)
{
    return {std::fabs(value), value < 0 ? 2 : 1};
}

double JoinCoord(double magnitude, int selection)
{
    return selection == 2 ? -std::fabs(magnitude) : std::fabs(magnitude);
}

} // namespace korval
