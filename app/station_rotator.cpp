#include "app/station_rotator.h"

#include <QApplication>

#include "logbook/config_record.h"
#include "logbook/windows/qso_form.h"
#include "platform/message_dlg.h"

namespace korval {

namespace {

// The rotator block of the configuration record: the band rules follow the correction.
constexpr std::size_t kRotatorRulesOffset = 7248;

} // namespace

TStationRotator::TStationRotator(std::function<TQSOForm*()> qsoWindow) : qsoWindow_(std::move(qsoWindow)) {}

TStationRotator::~TStationRotator() = default;

TRotatorSettings TStationRotator::SettingsFromConfig()
{
    TRotatorSettings s;
    s.type = Config.RotatorKind();
    s.comPort = Config.RotatorPort();
    s.extraOffset = Config.RotatorOffset();
    s.correction = Config.RotatorCorrection();
    for (std::size_t band = 0; band < s.rules.size(); ++band)
        s.rules[band] = Config.Bytes()[kRotatorRulesOffset + band];
    return s;
}

void TStationRotator::Open()
{
    settings_ = SettingsFromConfig();
    rotator_.OpenRotator();
}

void TStationRotator::Close() { rotator_.CloseRotator(); }

void TStationRotator::Turn(int azimuth)
{
    // The rules and offsets are read afresh: the setup may have changed them.
    settings_ = SettingsFromConfig();
    rotator_.TurnRotator(azimuth);
}

void TStationRotator::Stop() { rotator_.StopRotator(); }

int TStationRotator::SelectedBand() const
{
    TQSOForm* qso = qsoWindow_();
    return qso ? qso->Entry().GetBand() : 0;
}

void TStationRotator::ReportRotator(const std::string& text)
{
    lastReport_ = text;
    if (!text.empty() && text[0] == '!')
        QApplication::beep();
}

void TStationRotator::OpenFailed()
{
    MessageDlg(RotatorOpenFailedText, TMsgDlgType::mtWarning, mbOK);
}

void TStationRotator::EnableRotatorMenu(bool on)
{
    if (TQSOForm* qso = qsoWindow_())
        qso->EnableRotatorMenu(on);
}

} // namespace korval
