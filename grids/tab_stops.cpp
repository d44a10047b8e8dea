#include "grids/tab_stops.h"

#include "logbook/base/string_utils.h"

#include <cctype>
#include <climits>

namespace korval {

namespace {

bool ParseInt(const std::string& entry, int& value)
{
    // Leading and trailing blanks are allowed, as the runtime's integer conversion allows them.
    const std::string_view text = Trim(entry);
    size_t i = 0, n = text.size();
    bool negative = false;
    if (i < n && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    if (i >= n)
        return false;
    long long v = 0;
    for (; i < n; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
        v = v * 10 + (text[i] - '0');
        if (v > static_cast<long long>(INT_MAX) + 1)
            return false;
    }
    v = negative ? -v : v;
    if (v > INT_MAX || v < INT_MIN)
        return false;
    value = static_cast<int>(v);
    return true;
}

} // namespace

std::vector<int> ParseTabStops(const std::vector<std::string>& entries)
{
    std::vector<int> result;
    result.reserve(entries.size());
    for (const auto& e : entries) {
        int v = 0;
        if (!ParseInt(e, v))
            throw EConvertError("'" + e + "' is not a valid integer value");
        result.push_back(v);
    }
    return result;
}

TTabStopSet ComputeTabStops(const std::vector<int>& stops, int averageWidth, int baseUnitX)
{
    TTabStopSet set;
    for (int s : stops) {
        int px = s * averageWidth;
        set.pixels.push_back(px);
        set.dialogUnits.push_back(baseUnitX > 0 ? px * 4 / baseUnitX : 0);
    }
    return set;
}

} // namespace korval
