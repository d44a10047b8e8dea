#pragma once
// The cluster terminals of the program: the packet terminal and the RTTY terminal with their
// serial and TCP ports, the DX spot window that lives while a terminal takes spots, and the
// talk window. The main window owns one of these, creates the terminals its settings ask for,
// lets the spot window work at idle time and hands it the QSOs that were logged.
#include <QObject>
#include <QPointer>

#include <functional>
#include <string>

#include "comms/apd_com_port.h"
#include "comms/apd_winsock_port.h"
#include "station/talk_router.h"

class QWidget;

namespace korval {

class TFTalkMessages;
class TMyGrid;
class TPacketW;
class TPutoutW;
class TQSOForm;
class TSpotAnnouncer;
class TSpotRadio;

struct TClusterEnv {
    bool fake = false;                            // "/F": typed lines go to the spot list
    std::function<TQSOForm*()> qsoWindow;
    TSpotAnnouncer* announcer = nullptr;          // the spot announcements, when there are any
    TSpotRadio* radio = nullptr;                  // the running radio, when there is one
    std::function<void()> settings;               // the setup dialog, when there is one
    std::function<void(int code)> postToMainForm; // codes 5 and 6: the spot window went or came
};

class TClusterTerminals : public QObject {
    Q_OBJECT
public:
    // parent: the main window, over which the windows stand.
    TClusterTerminals(TClusterEnv env, QWidget* parent);
    ~TClusterTerminals() override;

    // The ports of the two terminals.
    TApdComPort PortTNC, PortRTTY;
    TApdWinsockPort IPPortTNC, IPPortRTTY;

    // Opens each terminal whose settings ask for it (terminal kind above 1).
    void CreateConfigured();
    // kind 0 packet, 1 RTTY. An open terminal of the kind is freed first.
    TPacketW* CreatePacketWindow(int kind);
    void FreePacketWindow(int kind);
    TPacketW* Window(int kind) const;
    TPacketW* PacketWindow() const { return Window(0); }
    TPacketW* RttyWindow() const { return Window(1); }
    // The terminal takes spots (its spot list is open for it).
    bool HandlesSpots(int kind) const;

    TPutoutW* SpotWindow() const;
    TFTalkMessages* TalkWindow() const;
    const TTalkLines& Talk() const { return talkLines_; }

    // Idle time: the spot window takes the pending cluster lines.
    void AppIdle();
    // The lines of a text file for the spot window ("/S").
    void LoadSpotFile(const std::string& fileName);
    // A QSO was logged or changed (its country), or the log as a whole changed.
    void QsoLogged(std::uint16_t country);
    void RecheckAllSpots();
    // The auto-save's part: the spots, when changed. True when they were written.
    bool SaveSpots();

    // A cluster line that is no spot (the talk action is set).
    void RouteTalkLine(const std::string& line);
    void ViewAnnouncements();
    // An announcement from a terminal: typed into it, and into the other one when the RTTY
    // setting says so; always to the spot list.
    void Announce(int fromKind, const std::string& command);

signals:
    // A terminal window opened or closed.
    void windowsChanged();

private:
    void SetUpPorts(int kind, TApdComPort* serial, TApdWinsockPort* tcp);
    void CreateSpotWindow();
    void FreeSpotWindow();
    void SuspendSpotUpdates(bool on);

    TClusterEnv env_;
    QWidget* parent_;
    QPointer<TPacketW> windows_[2];
    QPointer<TPutoutW> spot_;
    QPointer<TFTalkMessages> talk_;
    QPointer<TMyGrid> suspendedGrid_;
    TTalkLines talkLines_;
};

} // namespace korval
