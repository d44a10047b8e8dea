#pragma once
// The main window's decisions that need no window: the command line, which log opens at the
// first idle time, the auto-save countdown and the texts of the status panels.
#include <cstdint>
#include <string>
#include <vector>

namespace korval {

struct TCommandLine {
    bool flagF = false;       // "/F": read by the packet terminal
    bool hasS = false;        // "/S" was given
    std::string argS;         // the parameter after "/S", handed to the spot list once
    std::string firstParam;   // the first parameter when it is not a switch: the log to open
};

// Parameters without the program name. A parameter of exactly two characters starting with '/'
// is a switch (its letter in upper case); a first parameter that is not a switch names the log.
TCommandLine ParseCommandLine(const std::vector<std::string>& params);

// The log to open at the first idle time: the first parameter; else the configuration's last log,
// where "<none>" means none; when the configuration names none at all, the default log.
// Empty: open nothing.
std::string ChooseStartLog(const std::string& firstParam, const std::string& lastLog, const std::string& defaultLog);

// The mode texts of the status panel, by the QSO window's mode (0 = no QSO window).
std::string QsoModeText(int mode);

// The auto-save countdown of trigger 7 (5-second ticks).
class TAutoSaveCountdown {
public:
    // Starts minutes x 12 ticks; false (nothing started) when minutes is 0.
    bool Start(int minutes);
    void Stop() { running_ = false; }
    // One tick: the count goes down; true when it reached 0 (the auto-save is due).
    bool Tick();
    bool running() const { return running_; }
    int count() const { return count_; }
    // "Modified[" + count + "]"
    std::string Text() const;

private:
    int count_ = 0;
    bool running_ = false;
};

} // namespace korval
