#include "grids/meter_layout.h"

#include <algorithm>

namespace korval {

std::string MeterPercentText(int percent)
{
    return std::to_string(std::clamp(percent, 0, 100)) + "%";
}

TMeterParts MeterSplit(int percent, int length)
{
    TMeterParts p;
    if (length <= 0)
        return p;
    int used = static_cast<int>(static_cast<long long>(std::clamp(percent, 0, 100)) * length / 100);
    if (used < 3) {
        p.used = 0;
        p.unused = length;
    } else if (used == length) {
        p.used = length;
        p.unused = 0;
    } else {
        p.used = std::min(used, length - 3);
        p.unused = length - p.used - 1;
    }
    return p;
}

} // namespace korval
