#pragma once
// Making an edited configuration live: what changed between the setup's working copy and the
// live record, and the shut-downs and restarts that follow from it, in a fixed order. The
// program around it (radio, terminals, rotator, keyer, fonts, sound, windows) is reached
// through TSetupServices, so the order can be followed with a fake.
#include <functional>
#include <string>

#include "logbook/config_record.h"

namespace korval {

class TSetupServices {
public:
    virtual ~TSetupServices() = default;

    // What is running now.
    virtual bool RadioRunning() const = 0;
    // terminal: 0 the packet terminal, 1 the RTTY terminal.
    virtual bool TerminalOpen(int terminal) const = 0;
    virtual bool QsoWindowOpen() const = 0;
    virtual bool SpotWindowOpen() const = 0;
    virtual bool LogOpen() const = 0;

    // The shut-downs and restarts, declared in the order a save runs them.
    virtual void FreeRadio() = 0;
    // Lets the window messages a shut-down posted run.
    virtual void ProcessPendingMessages() = 0;
    // Closes the terminal's port and window; its window placement goes to the live record.
    virtual void FreeTerminal(int terminal) = 0;
    virtual void CloseRotator() = 0;
    virtual void UpdateRadioMenu() = 0;
    virtual void CreateRadio() = 0;
    virtual void SelectKeyingPort() = 0;
    virtual void CreateTerminal(int terminal) = 0;
    virtual void DeleteNoInterestSpots() = 0;
    virtual void ScaleAllForms(int oldScale) = 0;
    virtual void MarkAwardSummaryStale() = 0;
    virtual void PostToMainForm(int code) = 0;
    virtual void OpenRotator() = 0;
    // Sound output devices the system reports.
    virtual int SoundDeviceCount() = 0;
    // Plays sounds/<token>.WAV; false when the file is missing or did not play.
    virtual bool PlaySoundToken(const std::string& token) = 0;
    virtual void ApplyOwnCallsign() = 0;
    virtual void ApplyDateFormats() = 0;

    // What the setup window asks besides. The split position of an open terminal window
    // (fallback when the terminal is closed).
    virtual int TerminalSplitPosition(int terminal, int fallback) const
    {
        (void)terminal;
        return fallback;
    }
    // Column widths of the spot list read from a settings file, for an open spot window.
    virtual void ApplySpotColumnWidths(const std::uint16_t (&widths)[7]) { (void)widths; }
};

// The groups of settings that differ between the working copy and the live record.
struct TSetupChanges {
    bool ownStation = false;
    bool radio = false;
    bool packetPort = false;
    bool rttyPort = false;
    bool keyer = false;
    bool rotator = false;
    bool ignoreGrayOn = false;   // switched on in the copy
    bool fonts = false;
    bool timeDisplay = false;
    bool cutoffDates = false;
    bool stationLists = false;
    bool awards = false;
};

// The settings a terminal opens its port with differ.
bool PortSettingsChanged(const TPortSettings& a, const TPortSettings& b);

// merged: a settings file was merged into the copy (the own station then counts as changed);
// qsoWindowOpen: the rotator type counts only while the QSO window (which opens it) exists.
TSetupChanges CompareSetup(const TConfigRecord& copy, const TConfigRecord& live, bool merged, bool qsoWindowOpen);

inline constexpr const char* SoundNotDetectedText =
    "A sound system was not detected automatically\rdo want you want try if it works anyway?";
inline constexpr const char* SoundDidNotPlayText = "File did not play; sorry";
inline constexpr const char* SoundPlayedQuestion = "Did the file play correctly?";
// The message when the library of the configured callbook is missing from EXTDATA.
std::string CallbookFileMissingText(const std::string& fileName);

// Copies the working copy over the live record and restarts what changed; hideDialog runs when
// the setup window is to go. The checks afterwards may correct the live record (keying line,
// announcement kind, callbook source): what the caller saves is the record as they leave it.
void ApplySetup(TConfigRecord& copy, TConfigRecord& live, bool merged, TSetupServices& services,
                const std::function<void()>& hideDialog);

} // namespace korval
