#pragma once
// The code byte that windows and engines post to the main window (WM_USER+1) to ask for its
// attention. Codes 0, 7 and 10 exist but ask for nothing.
namespace korval {

enum TMainFormCode : int {
    mfQsoWindowClosed = 1,     // the spot list updates its radio menus, the CW keyboard closes
    mfQsoWindowShown = 2,      // the spot list updates its radio menus
    mfRadioStopped = 3,        // the radio was stopped or failed
    mfRadioCreated = 4,
    mfSpotListClosed = 5,
    mfSpotListCreated = 6,
    mfSetupSaved = 8,
    mfSetupChanged = 9,        // the setup was saved or the windows were rescaled
    mfWorkedStatusChanged = 11, // the QSO window's band, mode, call or prefix changed
    mfRadioChanged = 12,       // the radio's frequency or mode changed
};

} // namespace korval
