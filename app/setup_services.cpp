#include "app/setup_services.h"

#include <QCoreApplication>

#include "app/main_form.h"
#include "logbook/base/ini_file.h"
#include "logbook/own_callsign.h"
#include "logbook/paths.h"
#include "logbook/qso_data.h"
#include "logbook/windows/form_fonts.h"
#include "logbook/windows/qso_form.h"
#include "platform/alsa_sound.h"
#include "platform/korval_home.h"
#include "station/morse_sender.h"
#include "station/snd_thread.h"

namespace korval {

// ---- Not in the program yet: the radio object, the packet and RTTY terminals with their spot
// window, and the rotator's port. Until they come these report "not running" and do nothing.

bool TMainSetupServices::RadioRunning() const { return false; }
bool TMainSetupServices::TerminalOpen(int) const { return false; }
bool TMainSetupServices::SpotWindowOpen() const { return false; }
void TMainSetupServices::FreeRadio() {}
void TMainSetupServices::CreateRadio() {}
void TMainSetupServices::FreeTerminal(int) {}
void TMainSetupServices::CreateTerminal(int) {}
void TMainSetupServices::DeleteNoInterestSpots() {}
void TMainSetupServices::CloseRotator() {}
void TMainSetupServices::OpenRotator() {}

// ---- What the program has.

bool TMainSetupServices::QsoWindowOpen() const { return main_.QsoForm() != nullptr; }
bool TMainSetupServices::LogOpen() const { return CurrentLog() != nullptr; }

void TMainSetupServices::ProcessPendingMessages() { QCoreApplication::processEvents(); }

void TMainSetupServices::UpdateRadioMenu() { main_.UpdateRadioMenu(); }

void TMainSetupServices::SelectKeyingPort()
{
    if (TMorseSender* sender = MorseSender())
        sender->SelectKeyingPort(true);
}

void TMainSetupServices::ScaleAllForms(int oldScale) { korval::ScaleAllForms(oldScale, &main_); }

void TMainSetupServices::MarkAwardSummaryStale()
{
    if (TQsoData* log = CurrentLog())
        log->MarkAwardStatusNotBuilt();
}

void TMainSetupServices::PostToMainForm(int code) { korval::PostToMainForm(code); }

int TMainSetupServices::SoundDeviceCount() { return AlsaPlaybackDeviceCount(); }

bool TMainSetupServices::PlaySoundToken(const std::string& token)
{
    TAlsaSound sound;
    return korval::PlaySoundToken(sound, FindFileNoCase(GetProgramDir(), "sounds"), token);
}

void TMainSetupServices::ApplyOwnCallsign() { korval::ApplyOwnCallsign(); }

void TMainSetupServices::ApplyDateFormats()
{
    if (TQSOForm* qso = main_.QsoForm())
        qso->ApplyDateFormats();
}

std::vector<std::string> SetupReportNames()
{
    // The report definitions are the sections of the report-definition file; without any the
    // log list has its one unnamed report.
    const TIniFile reports(GetDataFileName(dfReports));
    std::vector<std::string> names = reports.SectionNames();
    if (names.empty())
        names.push_back("??noname report??");
    return names;
}

} // namespace korval
