#include "reference/sun_tables.h"

#include <algorithm>
#include <cstdlib>

namespace korval {

TStTime ClockDistance(TStTime a, TStTime b)
{
    const TStTime d = std::abs(a - b) % 86400;
    return std::min(d, 86400 - d);
}

TStTime GreyLineDifference(const TStRiseSetRec& home, const TStRiseSetRec& dx)
{
    TStTime best = -1;
    auto consider = [&](TStTime a, TStTime b) {
        if (a < 0 || b < 0)
            return;
        const TStTime d = ClockDistance(a, b);
        if (best < 0 || d < best)
            best = d;
    };
    consider(home.ORise, dx.OSet);
    consider(home.OSet, dx.ORise);
    return best;
}

std::vector<TGreyLineRow> GreyLineCountries(TStDate date, double homeLongitude, double homeLatitude,
                                            const std::vector<TSunCountry>& countries, TStTime window)
{
    std::vector<TGreyLineRow> rows;
    const TStRiseSetRec home = SunRiseSet(date, homeLongitude, homeLatitude);
    if (home.ORise < 0 && home.OSet < 0)
        return rows;
    for (const TSunCountry& c : countries) {
        if (!c.Current)
            continue;
        const TStRiseSetRec dx = SunRiseSet(date, c.Longitude, c.Latitude);
        const TStTime diff = GreyLineDifference(home, dx);
        if (diff >= 0 && diff <= window)
            rows.push_back({c.Prefix, c.Name, dx.ORise, dx.OSet, diff});
    }
    return rows;
}

std::vector<TSunYearRow> SunYearTable(TStDate first, int days, double homeLongitude, double homeLatitude,
                                      double dxLongitude, double dxLatitude)
{
    std::vector<TSunYearRow> rows;
    rows.reserve(static_cast<std::size_t>(std::max(days, 0)));
    for (int i = 0; i < days; ++i) {
        const TStDate d = first + i;
        rows.push_back({d, SunRiseSet(d, homeLongitude, homeLatitude), SunRiseSet(d, dxLongitude, dxLatitude)});
    }
    return rows;
}

} // namespace korval
