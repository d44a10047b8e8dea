#pragma once
// The program's one radio: started from the configured model's definition file, stopped on
// request or when it fails, and served to the windows that tune it.
//
// While the engine waits for a reply it runs only the ports' deliveries; user input, timers and
// every other posted event (a window's pending deletion among them) wait for the event loop, so
// nothing can close a window or stop the radio in the middle of an exchange. A failure is shown
// after the exchange has ended, and the radio is freed only when no exchange runs.
#include "station/radio.h"
#include "station/radio_feed.h"

#include <functional>
#include <string>

namespace korval {

// The running radio; null when none runs.
TRadio* Radio();
// What windows tune through: the running radio while there is one; every call fails while there
// is none, so a window that outlives the radio stays safe.
TCatRadio& RadioProxy();
// The radio as the QSO window and the spot tuner see it.
TRadioFeed& RadioFeed();

// The engine's settings from the configuration.
TRadioSettings RadioSettingsFromConfig();

// Starts the configured model (nothing without one). A missing definition file shows radio error
// 1; a definition or port that cannot be opened shows why; a failing "Init" shows its error and
// stops the radio again. True when a radio runs afterwards.
bool CreateRadio();
// Starts a radio from a definition (the definition window's test bench); messages as above,
// the "Init" command is not run.
bool CreateRadioFrom(const TRadioDefinition& definition);
// Stops the radio (when one runs) and tells the main window, unless that is the main window's
// own handling of the stop.
void FreeRadio(bool notify = true);
// "Radio error number " n.
void ShowRadioError(int n);

// Where the radio's notifications go (the main window's WM_USER+1 codes 3, 4, 12).
void SetRadioNotifier(std::function<void(int code)> notifier);

// The definition window: it receives the monitor lines and the values of every read.
class TRadioMonitor {
public:
    virtual ~TRadioMonitor() = default;
    virtual void MonitorLine(const std::string& line) = 0;
    virtual void RadioRead(const TRadio& radio) { (void)radio; }
};
void SetRadioMonitor(TRadioMonitor* monitor);
TRadioMonitor* RadioMonitor();

} // namespace korval
