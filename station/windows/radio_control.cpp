#include "station/windows/radio_control.h"

#include "logbook/config_record.h"
#include "logbook/main_form_code.h"
#include "logbook/paths.h"
#include "platform/message_dlg.h"
#include "station/morse_sender.h"
#include "station/radio_list.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <memory>

namespace korval {

namespace {

// The engine's outside world in the program.
class TQtRadioHost : public TRadioHost {
public:
    void ProcessRadioMessages() override
    {
        // Only the ports' deliveries (posted calls to the application object). Timers, user input
        // and every other posted event wait for the event loop: running them here would let a
        // window whose deletion is pending be freed under the exchange it started.
        QCoreApplication::sendPostedEvents(QCoreApplication::instance(), QEvent::MetaCall);
        QThread::usleep(200);
    }
    std::int64_t TickCount() override
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    bool Monitoring() const override { return RadioMonitor() != nullptr; }
    void Monitor(const std::string& line) override
    {
        if (TRadioMonitor* m = RadioMonitor())
            m->MonitorLine(line);
    }
    void NotifyRadioChanged() override;
    void RadioDisabled(const std::string& text) override;
};

TQtRadioHost g_host;
// The context of this file's deferred calls (never the application object, whose posted calls
// run during an exchange).
QObject& Later()
{
    static QObject context;
    return context;
}
std::unique_ptr<TRadio> g_radio;
TRadioFeed g_feed;
std::function<void(int)> g_notifier;
TRadioMonitor* g_monitor = nullptr;

void Notify(int code)
{
    if (g_notifier)
        g_notifier(code);
}

void TQtRadioHost::NotifyRadioChanged()
{
    if (g_monitor && g_radio)
        g_monitor->RadioRead(*g_radio);
    Notify(mfRadioChanged);
}

void TQtRadioHost::RadioDisabled(const std::string& text)
{
    // Shown once the failed operation has returned: a message box's own event loop must not
    // run inside the engine.
    QTimer::singleShot(0, &Later(), [text] { MessageDlg(text, TMsgDlgType::mtError, mbOK); });
    Notify(mfRadioStopped);
}

class TRadioProxy : public TCatRadio {
public:
    bool ReadFrequencyAndMode(double& rxKHz, double& txKHz, std::uint8_t& mode, bool& split) override
    {
        return !g_radio || g_radio->ReadFrequencyAndMode(rxKHz, txKHz, mode, split);
    }
    bool SetFrequencyAndMode(std::uint8_t mode, bool split, double rxKHz, double txKHz) override
    {
        return !g_radio || g_radio->SetFrequencyAndMode(mode, split, rxKHz, txKHz);
    }
    bool SetFrequency(double kHz) override { return !g_radio || g_radio->SetFrequency(kHz); }
    bool ReadSMeter(std::uint8_t& s) override { return !g_radio || g_radio->ReadSMeter(s); }
    bool Busy() const override { return g_radio && g_radio->Busy(); }
};

TRadioProxy g_proxy;

bool Start(const TRadioDefinition& definition)
{
    // The keyer may hold the port for DTR or RTS keying while no radio runs: the radio takes it,
    // and the keyer keys through the radio's handle once it selects its line again.
    if (TMorseSender* sender = MorseSender())
        sender->DropKeyLine();
    try {
        g_radio = std::make_unique<TRadio>(definition, RadioSettingsFromConfig(), g_host);
    } catch (const std::exception& e) {
        g_radio.reset();
        MessageDlg(e.what(), TMsgDlgType::mtError, mbOK);
        return false;
    }
    g_feed.SetRadio(g_radio.get());
    return true;
}

void Release(bool notify)
{
    if (!g_radio)
        return;
    if (g_radio->Busy()) {
        // Never under a running exchange: again once it has ended.
        QTimer::singleShot(10, &Later(), [notify] { Release(notify); });
        return;
    }
    g_feed.SetRadio(nullptr);
    g_radio.reset();
    if (notify)
        Notify(mfRadioStopped);
}

} // namespace

TRadio* Radio() { return g_radio.get(); }
TCatRadio& RadioProxy() { return g_proxy; }
TRadioFeed& RadioFeed() { return g_feed; }

void SetRadioNotifier(std::function<void(int)> notifier) { g_notifier = std::move(notifier); }
void SetRadioMonitor(TRadioMonitor* monitor) { g_monitor = monitor; }
TRadioMonitor* RadioMonitor() { return g_monitor; }

TRadioSettings RadioSettingsFromConfig()
{
    TRadioSettings s;
    s.comPort = Config.RadioComPort();
    s.baud = Config.RadioBaud();
    s.address = Config.RadioAddress();
    s.retries = Config.RadioRetries();
    s.dtr = Config.RadioDtr();
    s.rts = Config.RadioRts();
    s.cwKeyingInterface = Config.CwKeyingInterface();
    return s;
}

bool CreateRadio()
{
    Release(false);
    const std::string model = Config.RadioModel();
    if (model.empty())
        return false;
    const std::string file = GetRigFileName(model);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        ShowRadioError(reNoDefinition);
        return false;
    }
    TRadioDefinition definition;
    try {
        TRadioList(false).LoadItem(file, definition);
    } catch (const std::exception& e) {
        MessageDlg(e.what(), TMsgDlgType::mtError, mbOK);
        return false;
    }
    if (!Start(definition))
        return false;
    if (g_radio->Initialize()) {
        if (g_radio->Error() != 0)
            ShowRadioError(g_radio->Error());
        Release(false);
        return false;
    }
    Notify(mfRadioCreated);
    return true;
}

bool CreateRadioFrom(const TRadioDefinition& definition)
{
    Release(false);
    return Start(definition);
}

void FreeRadio(bool notify) { Release(notify); }

void ShowRadioError(int n)
{
    MessageDlg("Radio error number " + std::to_string(n) + "\rPress Help for details", TMsgDlgType::mtError, mbOK);
}

} // namespace korval
