#include "station/windows/cluster_terminals.h"

#include <QApplication>
#include <QWidget>

#include "grids/windows/my_grid.h"
#include "logbook/config_record.h"
#include "logbook/main_form_code.h"
#include "logbook/paths.h"
#include "platform/korval_home.h"
#include "platform/windows/korval_application.h"
#include "station/windows/packet_window.h"
#include "station/windows/putout_window.h"
#include "station/windows/talk_window.h"

namespace korval {

namespace {
// COM selections of a terminal beyond the serial ports.
constexpr int kTelnet = 9;
constexpr int kNoPort = 10;
} // namespace

TClusterTerminals::TClusterTerminals(TClusterEnv env, QWidget* parent) : QObject(parent), env_(std::move(env)), parent_(parent)
{
    for (TApdCustomComPort* p : {static_cast<TApdCustomComPort*>(&PortTNC), static_cast<TApdCustomComPort*>(&PortRTTY)})
        p->SetPromptForPort(false);
}

TClusterTerminals::~TClusterTerminals()
{
    FreePacketWindow(1);
    FreePacketWindow(0);
    FreeSpotWindow();
    delete talk_.data();
}

TPutoutW* TClusterTerminals::SpotWindow() const
{
    return spot_.data();
}

TFTalkMessages* TClusterTerminals::TalkWindow() const
{
    return talk_.data();
}

TPacketW* TClusterTerminals::Window(int kind) const
{
    return kind == 0 || kind == 1 ? windows_[kind].data() : nullptr;
}

bool TClusterTerminals::HandlesSpots(int kind) const
{
    const TPacketW* w = Window(kind);
    return w && w->HandlesSpots();
}

void TClusterTerminals::CreateConfigured()
{
    for (int kind = 0; kind < 2; ++kind)
        if (Config.PortSettings(kind).TerminalKind() > 1)
            CreatePacketWindow(kind);
}

void TClusterTerminals::SetUpPorts(int kind, TApdComPort* serial, TApdWinsockPort* tcp)
{
    const TPortSettings ps = Config.PortSettings(kind);
    if (serial)
        RunShowingExceptions([&] {
            serial->SetOpen(false);
            const int baud = TPortSettings::BaudRate(ps.BaudIndex());
            serial->SetBaud(baud > 0 ? baud : 9600);
            serial->SetComNumber(ps.ComPort());
            serial->SetDataBits(ps.Parity() == 1 ? 8 : 7);
            serial->SetParity(ps.Parity() == 1 ? pNone : pEven);
            serial->SetHWFlowOptions(0);
            serial->SetSWFlowOptions(swfNone);
            if (ps.FlowControl() == 2) {
                serial->SetSWFlowOptions(swfBoth);
                serial->SetBufferResume(serial->InSize() / 25);
            } else if (ps.FlowControl() == 3) {
                serial->SetHWFlowOptions(hwfUseRTS | hwfRequireCTS);
                serial->SetBufferResume(serial->InSize() / 10);
            }
            serial->SetOpen(true);
        });
    if (tcp)
        RunShowingExceptions([&] {
            tcp->SetOpen(false);
            tcp->SetDeviceLayer(dlWinsock);
            tcp->SetAutoOpen(false);
        });
}

TPacketW* TClusterTerminals::CreatePacketWindow(int kind)
{
    if (kind != 0 && kind != 1)
        return nullptr;
    if (windows_[kind])
        FreePacketWindow(kind);
    const TPortSettings ps = Config.PortSettings(kind);
    const int com = ps.ComPort();
    TPacketEnv e;
    e.kind = kind;
    if (kind == 0) {
        if (com != kNoPort) {
            e.serial = &PortTNC;
            e.tcp = &IPPortTNC;
        }
        e.fake = env_.fake;
        e.takesSpots = true;
        e.queuesLines = true;
    } else {
        e.serial = &PortRTTY;
        e.tcp = &IPPortRTTY;
        e.takesSpots = ps.TakesSpots() && com == kTelnet;
        e.queuesLines = ps.TakesSpots();
    }
    if (com != kTelnet)
        e.tcp = nullptr;
    if (com == kTelnet || com < 1 || com > kTelnet)
        e.serial = nullptr;
    SetUpPorts(kind, e.serial, e.tcp);
    e.addressFile = GetDataFileName(dfTelnet);
    e.listenName = QString::fromStdString(KorvalHome() + (kind == 0 ? "/PACKET.SOCK" : "/RTTY.SOCK"));
    e.spotLine = [this](const std::string& line) {
        if (spot_)
            spot_->AddPendingLine(line);
    };
    e.suspendSpotUpdates = [this](bool on) { SuspendSpotUpdates(on); };
    e.qsoWindow = env_.qsoWindow;
    e.radio = env_.radio;
    e.settings = env_.settings;
    e.announce = [this, kind](const std::string& command) { Announce(kind, command); };

    if (e.takesSpots && !spot_)
        CreateSpotWindow();
    auto* w = new TPacketW(std::move(e), parent_);
    windows_[kind] = w;
    w->show();
    QCoreApplication::processEvents();
    emit windowsChanged();
    return w;
}

void TClusterTerminals::FreePacketWindow(int kind)
{
    TPacketW* w = Window(kind);
    if (!w)
        return;
    TApdComPort& serial = kind == 0 ? PortTNC : PortRTTY;
    RunShowingExceptions([&] { serial.SetOpen(false); });
    // The spot window stays while the other terminal still takes spots.
    const bool otherTakesSpots = HandlesSpots(1 - kind);
    if (!otherTakesSpots)
        FreeSpotWindow();
    windows_[kind] = nullptr;
    delete w;
    emit windowsChanged();
}

void TClusterTerminals::CreateSpotWindow()
{
    TPutoutEnv pe;
    pe.spotFile = GetDataFileName(dfSpots);
    pe.qsoWindow = env_.qsoWindow;
    pe.announcer = env_.announcer;
    pe.radio = env_.radio;
    pe.talk = [this](const std::string& line) { RouteTalkLine(line); };
    pe.viewAnnouncements = [this] { ViewAnnouncements(); };
    spot_ = new TPutoutW(std::move(pe), parent_);
    if (env_.postToMainForm)
        env_.postToMainForm(mfSpotListCreated);
    spot_->show();
}

void TClusterTerminals::FreeSpotWindow()
{
    if (!spot_)
        return;
    SuspendSpotUpdates(false);
    spot_->SaveState();
    delete spot_.data();
    spot_ = nullptr;
    if (env_.postToMainForm)
        env_.postToMainForm(mfSpotListClosed);
}

void TClusterTerminals::SuspendSpotUpdates(bool on)
{
    // Balanced on the grid that was suspended, even when the spot window went meanwhile.
    if (on && !suspendedGrid_ && spot_) {
        suspendedGrid_ = spot_->Grid();
        suspendedGrid_->BeginUpdate();
    } else if (!on && suspendedGrid_) {
        TMyGrid* grid = suspendedGrid_;
        suspendedGrid_ = nullptr;
        grid->EndUpdate();
    }
}

void TClusterTerminals::AppIdle()
{
    if (spot_)
        spot_->AppIdle();
}

void TClusterTerminals::LoadSpotFile(const std::string& fileName)
{
    if (spot_)
        spot_->LoadSpotFile(fileName);
}

void TClusterTerminals::QsoLogged(std::uint16_t country)
{
    if (spot_)
        spot_->RecheckSpotsForQso(country);
}

void TClusterTerminals::RecheckAllSpots()
{
    if (spot_)
        spot_->RecheckAllSpots();
}

bool TClusterTerminals::SaveSpots()
{
    return spot_ && spot_->SaveSpots();
}

void TClusterTerminals::RouteTalkLine(const std::string& line)
{
    const int action = Config.TalkAction();
    if (action < 1)
        return;
    std::array<std::string, 4> patterns;
    for (int i = 0; i < 4; ++i)
        patterns[static_cast<std::size_t>(i)] = Config.TalkPattern(i);
    if (!talkLines_.Route(patterns, Config.OwnCall(), line))
        return;
    if (action == 1) {
        QApplication::beep();
        return;
    }
    ViewAnnouncements();
    if (action >= 3) {
        QApplication::beep();
        if (parent_ && parent_->isMinimized())
            parent_->showNormal();
        talk_->showNormal();
        talk_->raise();
        talk_->activateWindow();
    }
}

void TClusterTerminals::ViewAnnouncements()
{
    if (!talk_)
        talk_ = new TFTalkMessages(parent_);
    talk_->show();
    talk_->ShowLines(talkLines_.Text());
}

void TClusterTerminals::Announce(int fromKind, const std::string& command)
{
    TPacketW* targets[2] = {Window(fromKind), Config.RttyPort().AnnounceBoth() ? Window(1 - fromKind) : nullptr};
    for (TPacketW* w : targets)
        if (w && !w->Fake() && w->TakesAnnouncements())
            w->TypeText(command + "\r");
    if (spot_)
        spot_->AddPendingLine(command);
}

} // namespace korval
