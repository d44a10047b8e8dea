#pragma once
// What the setup window restarts, as the program has it: the main window's radio menu, the CW
// keyer, the windows' fonts and scale, the open log's award summary, the QSO window's date
// pictures, the own callsign, and ALSA for the sound check.
#include <string>
#include <vector>

#include "reference/setup_restart.h"

namespace korval {

class TMainForm;

class TMainSetupServices : public TSetupServices {
public:
    explicit TMainSetupServices(TMainForm& mainForm) : main_(mainForm) {}

    bool RadioRunning() const override;
    bool TerminalOpen(int terminal) const override;
    bool QsoWindowOpen() const override;
    bool SpotWindowOpen() const override;
    bool LogOpen() const override;

    void FreeRadio() override;
    void ProcessPendingMessages() override;
    void FreeTerminal(int terminal) override;
    void CloseRotator() override;
    void UpdateRadioMenu() override;
    void CreateRadio() override;
    void SelectKeyingPort() override;
    void CreateTerminal(int terminal) override;
    void DeleteNoInterestSpots() override;
    void ScaleAllForms(int oldScale) override;
    void MarkAwardSummaryStale() override;
    void PostToMainForm(int code) override;
    void OpenRotator() override;
    int SoundDeviceCount() override;
    bool PlaySoundToken(const std::string& token) override;
    void ApplyOwnCallsign() override;
    void ApplyDateFormats() override;

private:
    TMainForm& main_;
};

// The names of the report definitions the setup offers as the default report.
std::vector<std::string> SetupReportNames();

} // namespace korval
