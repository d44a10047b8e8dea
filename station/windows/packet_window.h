#pragma once
// The terminal window of a DX cluster or TNC (the packet terminal and the RTTY terminal): the
// received text in a scrollback list above, the typing area below, the function-key bar at the
// bottom. It talks through a serial TNC, a telnet connection (or fetches one web page of
// spots), or, without a port, hands its text to another program; every received line is
// offered to the spot list.
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "station/copy_data.h"
#include "station/http_fetch.h"
#include "station/internet_address.h"
#include "station/terminal_lines.h"
#include "station/terminal_typing.h"
#include "station/windows/announce_dx_dialog.h"

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;

namespace korval {

class TApdComPort;
class TApdWinsockPort;
class TButtonFrame;
class TMessageLink;
class TOvcSplitter;
class TOvcVirtualListBox;
class TQSOForm;
class TSpotRadio;

// What a terminal window is given by its owner.
struct TPacketEnv {
    int kind = 0;                       // 0 packet, 1 RTTY
    TApdComPort* serial = nullptr;      // the TNC's line, already set up and open
    TApdWinsockPort* tcp = nullptr;     // the connection of a telnet terminal
    bool fake = false;                  // typed lines go to the spot list instead of out
    bool takesSpots = false;            // the spot window lives with this terminal
    bool queuesLines = false;           // received lines go to the spot list
    std::string addressFile;            // SAVE/KORVAL.TCP
    QString listenName;                 // the local socket other programs send text to
    std::function<void(const std::string&)> spotLine;  // the spot window's pending lines
    std::function<void(bool)> suspendSpotUpdates;
    std::function<TQSOForm*()> qsoWindow;
    TSpotRadio* radio = nullptr;
    // An announcement for every terminal that takes one (and the spot list); without it the
    // window types it into itself.
    std::function<void(const std::string& command)> announce;
    // Opens the setup dialog; without it "Settings" is disabled.
    std::function<void()> settings;
};

class TPacketW : public QWidget, private THttpFetchHost {
    Q_OBJECT
public:
    explicit TPacketW(TPacketEnv env, QWidget* parent = nullptr);
    ~TPacketW() override;

    TOvcVirtualListBox* VLB = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    TOvcSplitter* OvcSplitter1 = nullptr;
    TButtonFrame* ButtonFrame = nullptr;
    QWidget* MsgPanel = nullptr;
    QLabel* LabProgress = nullptr;
    QMenu* FormPopUp = nullptr;

    int Kind() const { return env_.kind; }
    bool HandlesSpots() const { return env_.takesSpots; }
    bool Fake() const { return env_.fake; }
    TApdComPort* SerialPort() const { return env_.serial; }
    TApdWinsockPort* TcpPort() const { return env_.tcp; }

    // Received characters: shown, and each finished line offered to the spot list.
    void ReceiveText(std::string_view data);
    // Typed or generated text to the TNC, the telnet node or the other program.
    void SendText(const std::string& text);
    // Types text into the typing area as if typed there (by the program: a control character
    // does not switch immediate mode on).
    void TypeText(const std::string& text);
    // Expands function-key macro 1..16 of this terminal and types it.
    void SendFunctionKey(int index);
    // Asks for a DX announcement and sends it; send false only queues it for the spot list.
    void AnnounceDX(bool send = true);
    // An announcement may be typed here (not an RTTY terminal without spots, not while a web
    // page is set).
    bool TakesAnnouncements() const;
    // Restores a minimised window, brings it up and puts the caret in the typing area.
    void RestoreAndFocusInput();

    // Popup menu commands.
    void InternetConnection();
    void ConnectTo(const TInternetAddress& address);
    void CloseConnection() override;
    void ToggleHolding();
    void ToggleImmediate();
    void CopyToClipboard();
    void ClearAllText();
    void PasteFromClipboard();
    void TypeEsc();
    void SetShowFunctionKeys(bool on);
    void ReadMessage(int line);
    QAction* MenuItem(const QString& text) const;

    bool holding() const { return holding_; }
    bool pasting() const { return pasting_; }
    bool WebAddressSet() const { return webSet_; }
    const TInternetAddress& Address() const { return address_; }
    TTerminalLines& Lines() { return lines_; }
    TTerminalTyping& Typing() { return typing_; }
    THttpFetch& Fetch() { return fetch_; }
    QString CaptionText() const;

protected:
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // THttpFetchHost
    void ShowCaption(const std::string& caption) override;
    void OpenConnection(const TInternetAddress& address) override;
    void SendRequest(const std::string& request) override;
    void DeliverLine(const std::string& line) override;
    void Warn(const std::string& text) override;
    void SuspendSpotUpdates(bool suspend) override;

    void BuildControls();
    void BuildMenu();
    void BindPorts();
    void UpdateCaption();
    void UpdateView(const TTerminalLines::TChange& change);
    void JumpToEnd();
    void Rewrap();
    void PlaceSplitter();
    void TypeChar(char c, bool byProgram);
    bool MemoKey(QKeyEvent* e);
    void ShowMemo();
    void SyncCaret();
    void OpenWhenClosed(const TInternetAddress& address, int tries);
    void TextFromOtherProgram(const std::string& data);

    TPacketEnv env_;
    TTerminalLines lines_;
    TTerminalTyping typing_;
    THttpFetch fetch_{*this};
    TCopyDataLines copied_;
    TMessageLink* link_ = nullptr;
    TInternetAddress address_;
    std::string shownMemo_;
    QAction* announce_ = nullptr;
    QAction* internet_ = nullptr;
    QAction* escItem_ = nullptr;
    QAction* showKeys_ = nullptr;
    bool webSet_ = false;
    bool holding_ = false;
    bool pasting_ = false;
    bool stopPaste_ = false;
    bool started_ = false;
    bool placingSplitter_ = false;
};

} // namespace korval
