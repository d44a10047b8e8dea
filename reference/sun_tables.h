#pragma once
// The tables of the sunrise and sunset windows: a year of rise and set times at home and at a
// DX place, and the grey-line list of a day, the countries whose sunrise or sunset falls near
// the home station's sunset or sunrise.
#include "reference/astronomy.h"

#include <string>
#include <vector>

namespace korval {

// A place of the country list as the grey-line list reads it.
struct TSunCountry {
    std::string Prefix;
    std::string Name;
    double Longitude = 0;
    double Latitude = 0;
    // The country still exists (its end date is open); others are never listed.
    bool Current = true;
};

struct TGreyLineRow {
    std::string Prefix;
    std::string Name;
    TStTime DxRise = 0;
    TStTime DxSet = 0;
    TStTime Diff = 0;
};

struct TSunYearRow {
    TStDate Date = 0;
    TStRiseSetRec Home;
    TStRiseSetRec Dx;
};

// How far apart two times of day are around the clock (0..43200): 23:50 and 00:10 are 20
// minutes apart.
TStTime ClockDistance(TStTime a, TStTime b);

// The smaller of |home rise - DX set| and |home set - DX rise| around the clock; each term
// counts only when both of its times exist. Negative when neither does.
TStTime GreyLineDifference(const TStRiseSetRec& home, const TStRiseSetRec& dx);

// The current countries of the list whose difference on the date is at most the window, in
// list order. Beyond the polar circle at home the list is empty.
std::vector<TGreyLineRow> GreyLineCountries(TStDate date, double homeLongitude, double homeLatitude,
                                            const std::vector<TSunCountry>& countries, TStTime window);

// Rise and set at home and at the DX place for days consecutive days from the first.
std::vector<TSunYearRow> SunYearTable(TStDate first, int days, double homeLongitude, double homeLatitude,
                                      double dxLongitude, double dxLatitude);

} // namespace korval
