#include "station/rotator.h"

#include "comms/apd_com_port.h"
#include "logbook/bands_modes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>

namespace korval {

namespace {

struct TKindLine {
    int baud, stopBits;
};
constexpr TKindLine KindLines[5] = {{0, 0}, {1200, 2}, {4800, 1}, {9600, 1}, {4800, 1}};

} // namespace

TRotator::TRotator(TRotatorSettings& settings, TRotatorHost& host) : settings_(settings), host_(host) {}

TRotator::~TRotator()
{
    if (port_)
        port_->SetOpen(false);
}

void TRotator::OpenRotator()
{
    open_ = false;
    if (settings_.type > 1 && settings_.type <= 5) {
        kind_ = settings_.type - 1;
        try {
            if (!sender_) {
                port_ = std::make_unique<TApdComPort>();
                port_->SetPromptForPort(false);
                port_->SetComNumber(settings_.comPort);
                port_->SetBaud(KindLines[kind_].baud);
                port_->SetStopBits(KindLines[kind_].stopBits);
                port_->SetDataBits(8);
                port_->SetParity(pNone);
                port_->SetInSize(100);
                port_->SetOutSize(100);
                port_->SetDTR(true);
                port_->SetRTS(true);
                port_->SetHWFlowOptions(0);
                port_->SetOpen(true);
            }
            open_ = true;
        } catch (const std::exception&) {
            port_.reset();
            host_.OpenFailed();
        }
    }
    host_.EnableRotatorMenu(open_);
}

void TRotator::CloseRotator()
{
    if (port_) {
        port_->SetOpen(false);
        port_.reset();
    }
    open_ = false;
    host_.EnableRotatorMenu(false);
}

std::string TRotator::TurnCommand(int kind, std::int32_t a)
{
    char buf[64];
    switch (kind) {
    case 1: {
        std::int32_t b = a + 180;
        while (b > 360)
            b -= 360;
        b = std::clamp(b, 2, 358);
        const auto step = static_cast<int>(std::nearbyint(b * 255.0 / 360.0));
        return std::string(1, 'P') + static_cast<char>(step);
    }
    case 2:
        std::snprintf(buf, sizeof buf, "AP1%.3d;AM1;", std::min(a, 359));
        return buf;
    case 3:
        return "A\r" + std::to_string(a) + "\r";
    case 4:
        return std::to_string(a) + "\r";
    default:
        return "";
    }
}

std::string TRotator::StopCommand(int kind)
{
    switch (kind) {
    case 1: return std::string("P\0", 2);
    case 2: return "AS1;";
    case 3: return "S\r";
    case 4: return "\r";
    default: return "";
    }
}

void TRotator::Send(const std::string& bytes)
{
    if (sender_)
        sender_(bytes);
    else if (port_)
        port_->PutString(bytes);
}

void TRotator::TurnRotator(std::int32_t azimuth)
{
    const int band = host_.SelectedBand();
    if (band <= 0 || band > 15) {
        host_.ReportRotator("!No band specified");
        return;
    }
    std::int32_t bearing = azimuth + settings_.correction;
    switch (settings_.rules[static_cast<std::size_t>(band)]) {
    case rrNormal: break;
    case rrWithOffset: bearing += settings_.extraOffset; break;
    case rrReverse: bearing += 180; break;
    default:
        host_.ReportRotator("!Not turning on " + BandName(band));
        return;
    }
    // Into 0..360, 360 itself kept (what adding or taking 360 until in range gives).
    if (bearing < 0)
        bearing = (bearing % 360 + 360) % 360;
    else if (bearing > 360)
        bearing = (bearing - 1) % 360 + 1;
    // Saying "Turning to" with nothing listening would send the operator's beam nowhere.
    if (!open_) {
        host_.ReportRotator(RotatorNotConnectedText);
        return;
    }
    host_.ReportRotator("Turning to " + std::to_string(bearing));
    Send(TurnCommand(kind_, bearing));
}

void TRotator::StopRotator()
{
    host_.ReportRotator("Rotator Stopped");
    if (open_)
        Send(StopCommand(kind_));
}

} // namespace korval
