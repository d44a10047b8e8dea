#pragma once
// The main window's child-window slots: the QSO window marks a slot for refresh after an entry
// changed what the window shows, and the main window refreshes marked windows at idle time.
namespace korval {

enum TChildWindow : int {
    cwCountrySummary = 0,
    cwZoneSummary = 1,
    cwStateSummary = 2,
    cwIotaSummary = 3,
    cwSameCall = 4,
    cwLogbook = 5,
    cwExternalData = 6,
    cwCountryInfo = 7,   // sunrise and sunset, heading
    cwGridSummary = 8,
    cwMasterCalls = 9,
    cwWorldMap = 10,
    cwWpxSummary = 11,
    cwPsk31 = 12,
    kChildWindowCount = 13
};

} // namespace korval
