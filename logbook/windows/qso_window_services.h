#pragma once
// What the QSO window's commands need of windows outside the logbook: the rotator, the CW
// keyboard, the terminals, the radio's set-frequency window, the reports and the log dialogs.
// The main window fills in what the program has; a command whose service is missing raises an
// error when it runs (it should have stayed disabled).
#include <functional>
#include <string>

#include "logbook/windows/qso_commands.h"

namespace korval {

struct TQsoWindowServices {
    // The rotator (the main window opens it with the QSO window and closes it with it); the
    // turning commands are enabled while it is open (TQSOForm::EnableRotatorMenu).
    std::function<void(int azimuth)> TurnRotator;
    std::function<void()> StopRotator;
    // Opens the rotator window or brings it up.
    std::function<void()> RotatorParameters;

    // Opens the CW keyboard window (with its function-key bar and the keying driver) or brings
    // it up; CwKeyboardOpen tells whether it is open (kept in the configuration).
    std::function<void()> OpenCwKeyboard;
    std::function<bool()> CwKeyboardOpen;
    // Escape while the function keys are the macros': true when a busy CW sender had its text
    // cleared (and nothing else is to happen).
    std::function<bool()> ClearBusyCw;
    // Function key 1..8 to the CW keyboard when open, else to the RTTY terminal when open;
    // false when neither took it.
    std::function<bool(int key)> SendFunctionKey;

    // The packet and RTTY terminals.
    std::function<bool()> TerminalHandlesSpots;
    std::function<bool()> PacketWindowExists;
    std::function<void(const std::string& call)> AnnounceDx;
    std::function<void()> SwitchToPacket;

    // Shift+F12: the radio's set-frequency window, when the main window's item is enabled.
    std::function<void()> SetFrequency;

    // Makes and shows a report of the Reports menu; after a submission the QSO window's views
    // follow the changed award flags (LogChanged).
    std::function<void(const TReportEntry& entry)> OpenReport;
    // The selection dialog: 0 cancelled, 1 OK, 2 OK and the stored selections changed.
    std::function<int()> RunSelectionDialog;
    std::function<void()> RunGroupNamesDialog;
    std::function<void()> RunAwardFlagsDialog;
};

} // namespace korval
