#pragma once
// The QSO window's entry modes: showing and editing logged QSOs, adding in real time (the clock
// and the radio fill date, time, band and mode) or off-line, filling the search fields, and
// browsing the QSOs the search found.
namespace korval {

enum TEntryMode : int { emIdle = 0, emRealTime = 1, emOffline = 2, emSearch = 3, emBrowse = 4 };

} // namespace korval
