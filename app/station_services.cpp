#include "app/station_services.h"

#include <QApplication>
#include <QPointer>

#include "logbook/paths.h"
#include "platform/alsa_sound.h"
#include "platform/korval_home.h"
#include "platform/message_dlg.h"
#include "station/key_lines.h"
#include "station/morse_sender.h"

namespace korval {

namespace {

// The sound card's device; "default" follows the desktop's choice.
constexpr const char* SoundDevice = "default";

// Reports from the sound threads reach the operator through the main thread.
void ReportInMainThread(const std::string& text)
{
    QMetaObject::invokeMethod(qApp, [text] { MessageDlg(text, TMsgDlgType::mtWarning, mbOK); },
                              Qt::QueuedConnection);
}

} // namespace

TStationServices::TStationServices() = default;

TStationServices::~TStationServices()
{
    Shutdown();
}

void TStationServices::StartAnnouncer()
{
    if (announcer_)
        return;
    sound_ = std::make_unique<TAlsaSound>(SoundDevice, &ReportInMainThread);
    announcer_ = std::make_unique<Tsndthread>(static_cast<TAnnounceHost&>(*this), *sound_, FindFileNoCase(GetProgramDir(), "sounds"));
    announcer_->Start();
}

void TStationServices::StartSender()
{
    if (sender_)
        return;
    tone_ = std::make_shared<TAlsaSideTone>(SoundDevice, &ReportInMainThread);
    sender_ = std::make_unique<TMorseSender>(SystemPreciseClock(), &OpenKeyLine, tone_, MorseSettingsFromConfig());
    SetMorseSender(sender_.get());
    sender_->Start();
}

void TStationServices::Shutdown()
{
    // The announcer queues Morse to the sender: it ends first.
    if (announcer_)
        announcer_->Stop();
    if (sender_)
        sender_->Stop();
}

bool TStationServices::SenderIdle() const
{
    return !sender_ || sender_->IsIdle();
}

void TStationServices::Beep()
{
    QMetaObject::invokeMethod(qApp, [] { QApplication::beep(); }, Qt::QueuedConnection);
}

void TStationServices::SendMorse(const std::string& text)
{
    if (sender_)
        sender_->QueueText(text);
}

bool TStationServices::SpeakingBlocked()
{
    // Speech over CW that is going out, or over a keyed transmitter, would only confuse.
    return sender_ && (!sender_->IsIdle() || sender_->PttHeld() || sender_->KeyHeld());
}

} // namespace korval
