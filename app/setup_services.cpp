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
#include "station/windows/cluster_terminals.h"
#include "station/windows/radio_control.h"
#include "station/windows/rotate_form.h"

namespace korval {

// ---- The packet and RTTY terminals with their spot window.

bool TMainSetupServices::TerminalOpen(int terminal) const
{
    return main_.Terminals() && main_.Terminals()->Window(terminal);
}
bool TMainSetupServices::SpotWindowOpen() const { return main_.Terminals() && main_.Terminals()->SpotWindow(); }
void TMainSetupServices::FreeTerminal(int terminal)
{
    if (main_.Terminals())
        main_.Terminals()->FreePacketWindow(terminal);
}
void TMainSetupServices::CreateTerminal(int terminal)
{
    if (main_.Terminals())
        main_.Terminals()->CreatePacketWindow(terminal);
}
// The spot window has no way yet to drop the "No interest" spots at once; they go as they age.
void TMainSetupServices::DeleteNoInterestSpots() {}

// ---- The radio and the rotator.

bool TMainSetupServices::RadioRunning() const { return Radio() != nullptr; }
void TMainSetupServices::FreeRadio() { korval::FreeRadio(); }
void TMainSetupServices::CreateRadio() { korval::CreateRadio(); }
void TMainSetupServices::CloseRotator() { RotatorControl().CloseRotator(); }
void TMainSetupServices::OpenRotator() { RotatorControl().OpenRotator(); }

// ---- What the program has.

bool TMainSetupServices::QsoWindowOpen() const { return main_.QsoForm() != nullptr; }
bool TMainSetupServices::LogOpen() const { return CurrentLog() != nullptr; }

void TMainSetupServices::ProcessPendingMessages() { QCoreApplication::processEvents(); }

void TMainSetupServices::UpdateRadioMenu() { main_.UpdateRadioMenu(); }

void TMainSetupServices::SelectKeyingPort()
{
    // The keyer takes the interface just saved, not the one it started with.
    if (TMorseSender* sender = MorseSender()) {
        sender->SetTiming();
        sender->SelectKeyingPort(true);
    }
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
