#pragma once
// Queues QSL cards where a card would bring something new: a needed entity of DXCC, WAZ, WAS or
// WPX (by the award status and the award's settings), a needed county or IOTA reference (one
// card per band), or a DX station not yet carded on a band (or band and mode group). A marked
// QSO gets the label-to-print flag and the chosen QSL route.
#include <cstdint>

#include "logbook/base/day_number.h"

namespace korval {

class TQsoData;

// The choices of the award list, numbered as the dialog numbers them.
enum TMarkAward : int {
    maDxcc = 1, maWaz = 2, maWas = 3, maWpx = 4, maCounty = 5, maIota = 6, maDxSingleBand = 7, maDxAllBandMode = 8,
};
// Rows of routes and re-send periods.
enum TMarkRow : int { mrMixed = 0, mrBand = 1, mrMode = 2 };

struct TMarkForQslRequest {
    int Award = maDxcc;
    int Route[3] = {};         // per row: 0 none, 1 "Buro" .. 5 "Other"
    int Weeks[3] = {};         // per row: re-send period
    TDayNumber After = 0;      // only QSOs dated on or after; 0 no limit
    TDayNumber Today = 0;
};

// Marks the QSOs of the log's selection; returns how many it marked. Shows progress.
long MarkForQsl(TQsoData& log, const TMarkForQslRequest& request);

} // namespace korval
