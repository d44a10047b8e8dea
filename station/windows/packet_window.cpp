#include "station/windows/packet_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>
#include <chrono>
#include <thread>

#include "comms/apd_com_port.h"
#include "comms/apd_winsock_port.h"
#include "entry/windows/ovc_controller.h"
#include "grids/windows/ovc_splitter.h"
#include "grids/windows/ovc_virtual_list_box.h"
#include "logbook/base/string_utils.h"
#include "logbook/config_record.h"
#include "logbook/qso_macro_context.h"
#include "logbook/windows/form_placement.h"
#include "logbook/windows/help_window.h"
#include "logbook/windows/qso_form.h"
#include "platform/message_dlg.h"
#include "platform/windows/korval_application.h"
#include "platform/windows/win1252.h"
#include "station/cluster_commands.h"
#include "station/function_keys.h"
#include "station/spot_tuner.h"
#include "station/windows/button_frame.h"
#include "station/windows/message_link.h"
#include "station/windows/select_ip_addr.h"

namespace korval {

namespace {

// Pasting waits while the TNC's output buffer holds this much.
constexpr unsigned kPasteBacklog = 100;
// Texts this long are confirmed before they are pasted and show their progress.
constexpr std::size_t kLongPaste = 80;

// The typing area: the window does the typing, the control only shows the text and the caret.
class TTerminalMemo : public QPlainTextEdit {
public:
    explicit TTerminalMemo(QWidget* parent) : QPlainTextEdit(parent) {}
    std::function<bool(QKeyEvent*)> OnKey;

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        if (OnKey && OnKey(e))
            return;
        QPlainTextEdit::keyPressEvent(e);
    }
};

bool IsScrollKey(int key)
{
    return key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Home || key == Qt::Key_End;
}

} // namespace

TPacketW::TPacketW(TPacketEnv env, QWidget* parent) : QWidget(parent), env_(std::move(env))
{
    setWindowFlag(Qt::Window, true);
    setObjectName(env_.kind == 0 ? QStringLiteral("PacketW") : QStringLiteral("RttyW"));
    const TPortSettings ps = Config.PortSettings(env_.kind);
    lines_.SetMaxLines(ps.MaxLines());
    lines_.SetUseBell(ps.UseBell());
    lines_.SetTakeLines(env_.queuesLines);
    lines_.OnLine = [this](const std::string& line) {
        if (env_.spotLine)
            env_.spotLine(line);
    };
    lines_.OnBell = [] { QApplication::beep(); };
    typing_.SetAlwaysImmediate(ps.AlwaysImmediate());
    typing_.OnBeep = [] { QApplication::beep(); };
    typing_.OnModeChanged = [this] { UpdateCaption(); };
    typing_.OnSend = [this](const std::string& s) {
        // In fake mode what is typed is a cluster line for the spot list; nothing goes out.
        if (env_.fake) {
            const bool control = s.size() == 1 && static_cast<unsigned char>(s[0]) < 32;
            if (!control && env_.spotLine)
                env_.spotLine(s);
            return;
        }
        SendText(s);
    };

    link_ = new TMessageLink(this);
    link_->OnText = [this](const std::string& data) { TextFromOtherProgram(data); };
    if (!env_.listenName.isEmpty())
        link_->Listen(env_.listenName);

    BuildControls();
    BuildMenu();
    BindPorts();
    UpdateCaption();
    resize(640, 420);
}

TPacketW::~TPacketW()
{
    if (started_)
        SaveFormPlacement(this, env_.kind == 0 ? psPack : psRtty);
    if (env_.serial)
        env_.serial->OnTriggerAvail = nullptr;
    if (env_.tcp) {
        env_.tcp->OnTriggerAvail = nullptr;
        env_.tcp->OnWsConnect = nullptr;
        env_.tcp->OnWsDisconnect = nullptr;
        env_.tcp->OnWsError = nullptr;
        try {
            env_.tcp->SetOpen(false);
        } catch (...) {
            // a trace that cannot be written is of no use to anyone now
        }
    }
    fetch_.SetAddress({}); // the spot grid repaints again
}

void TPacketW::BuildControls()
{
    new TOvcController(this);
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);

    OvcSplitter1 = new TOvcSplitter(this);
    OvcSplitter1->setObjectName(QStringLiteral("OvcSplitter1"));
    OvcSplitter1->SetOrientation(soHorizontal);
    OvcSplitter1->SetSplitterSize(4);
    OvcSplitter1->OnResize = [this](QObject*) {
        if (placingSplitter_ || !started_)
            return;
        const int h = OvcSplitter1->height();
        if (h <= 0)
            return;
        TPortSettings ps = Config.PortSettings(env_.kind);
        ps.SetSplitterPercent(std::clamp(OvcSplitter1->Position() * 100 / h, 5, 95));
        Config.SetPortSettings(env_.kind, ps);
        Rewrap();
    };

    QFont terminalFont = font();
    ApplyConfiguredFont(terminalFont, 2);
    terminalFont.setStyleHint(QFont::TypeWriter);
    terminalFont.setFixedPitch(true);

    VLB = new TOvcVirtualListBox(OvcSplitter1->Section(0));
    VLB->setObjectName(QStringLiteral("VLB"));
    VLB->setFont(terminalFont);
    VLB->SetMultiSelect(true);
    VLB->SetNumItems(0);
    VLB->OnGetItem = [this](int index, std::string& text) {
        if (index >= 0 && index < lines_.Count())
            text = lines_.Lines()[static_cast<std::size_t>(index)].text;
    };
    VLB->OnIsSelected = [this](int index, bool& selected) { selected = lines_.Selected(index); };
    VLB->OnSelect = [this](int index, bool selected) {
        if (index < 0)
            lines_.SelectAll(selected);
        else
            lines_.Select(index, selected);
    };
    VLB->OnDblClick = [this] {
        if (env_.kind == 0)
            ReadMessage(VLB->ItemIndex());
    };
    VLB->OnKeyPress = [this](char& key) {
        const char typed = key;
        key = 0;
        if (holding_)
            ToggleHolding();
        Memo1->setFocus();
        // The key goes on into the typing pane: the first letter of a call is not lost.
        if (static_cast<unsigned char>(typed) >= ' ')
            TypeChar(typed, false);
    };
    auto* top = new QVBoxLayout(OvcSplitter1->Section(0));
    top->setContentsMargins(0, 0, 0, 0);
    top->addWidget(VLB);

    auto* memo = new TTerminalMemo(OvcSplitter1->Section(1));
    memo->OnKey = [this](QKeyEvent* e) { return MemoKey(e); };
    Memo1 = memo;
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFont(terminalFont);
    Memo1->setUndoRedoEnabled(false);
    Memo1->setAcceptDrops(false);
    Memo1->setTabChangesFocus(false);
    // The window types; the control shows the text and lets the caret move.
    Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    auto* bottom = new QVBoxLayout(OvcSplitter1->Section(1));
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->addWidget(Memo1);
    lay->addWidget(OvcSplitter1, 1);

    MsgPanel = new QWidget(this);
    MsgPanel->setObjectName(QStringLiteral("MsgPanel"));
    auto* msg = new QHBoxLayout(MsgPanel);
    msg->setContentsMargins(4, 2, 4, 2);
    msg->addWidget(new QLabel(QStringLiteral("Sending Contents of ClipBoard"), MsgPanel));
    msg->addWidget(new QLabel(QStringLiteral("Press ESC to Abort"), MsgPanel));
    LabProgress = new QLabel(MsgPanel);
    LabProgress->setObjectName(QStringLiteral("LabProgress"));
    msg->addWidget(LabProgress, 1);
    MsgPanel->hide();
    lay->addWidget(MsgPanel);

    ButtonFrame = new TButtonFrame(this);
    ButtonFrame->OnSendMacro = [this](int index) { SendFunctionKey(index); };
    lay->addWidget(ButtonFrame);

    for (QWidget* w : {static_cast<QWidget*>(VLB), static_cast<QWidget*>(Memo1), static_cast<QWidget*>(ButtonFrame),
                       static_cast<QWidget*>(this)})
        w->installEventFilter(this);
}

void TPacketW::BuildMenu()
{
    FormPopUp = new QMenu(this);
    FormPopUp->setObjectName(QStringLiteral("FormPopUp"));
    auto add = [this](const char* text, auto slot) {
        QAction* a = FormPopUp->addAction(QString::fromLatin1(text));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    add("Help", [this] { ShowHelp(this); });
    QAction* settings = add("Settings", [this] {
        if (env_.settings)
            env_.settings();
    });
    settings->setEnabled(static_cast<bool>(env_.settings));
    announce_ = add("&Announce DX", [this] { AnnounceDX(true); });
    announce_->setEnabled(env_.takesSpots);
    add("Read message", [this] { ShowHelp(this); });
    FormPopUp->addSeparator();
    add("Toggle holding", [this] { ToggleHolding(); });
    add("Toggle immediate mode", [this] { ToggleImmediate(); });
    FormPopUp->addSeparator();
    add("Copy to ClipBoard", [this] { CopyToClipboard(); });
    add("Clear all text", [this] { ClearAllText(); });
    add("Paste from ClipBoard", [this] { PasteFromClipboard(); });
    escItem_ = add("Type Esc character", [this] { TypeEsc(); });
    FormPopUp->addSeparator();
    internet_ = add("Internet connection", [this] { InternetConnection(); });
    internet_->setEnabled(env_.tcp != nullptr);
    FormPopUp->addSeparator();
    showKeys_ = add("Show function keys", [this] { SetShowFunctionKeys(showKeys_->isChecked()); });
    showKeys_->setCheckable(true);
    add("Edit function keys", [this] { ButtonFrame->EditKeys(); });

    for (QWidget* w : {static_cast<QWidget*>(VLB), static_cast<QWidget*>(Memo1)}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint& at) { FormPopUp->exec(w->mapToGlobal(at)); });
    }
}

QAction* TPacketW::MenuItem(const QString& text) const
{
    for (QAction* a : FormPopUp->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

void TPacketW::BindPorts()
{
    auto readAll = [](TApdCustomComPort& port, std::uint16_t count) {
        std::string data;
        data.reserve(count);
        for (unsigned i = 0; i < count; ++i)
            data += port.GetChar();
        return data;
    };
    if (env_.serial)
        env_.serial->OnTriggerAvail = [this, readAll](TApdCustomComPort& port, std::uint16_t count) {
            ReceiveText(readAll(port, count));
        };
    if (!env_.tcp)
        return;
    env_.tcp->OnTriggerAvail = [this, readAll](TApdCustomComPort& port, std::uint16_t count) {
        const std::string data = readAll(port, count);
        if (webSet_)
            fetch_.Receive(data);
        else
            ReceiveText(data);
    };
    env_.tcp->OnWsConnect = [this](TApdWinsockPort&) {
        if (webSet_)
            fetch_.Connected();
        else
            ReceiveText("\rConnected to " + address_.Text() + "\r");
    };
    env_.tcp->OnWsDisconnect = [this](TApdWinsockPort&) {
        if (webSet_)
            fetch_.Disconnected();
        else if (!address_.host.empty())
            ReceiveText("\rConnection to " + address_.Text() + " closed\r");
    };
    env_.tcp->OnWsError = [this](TApdWinsockPort&, int code) {
        ReceiveText("\rWinsock error = " + std::to_string(code) + "\r");
    };
}

// ---- Showing and sizing ----

void TPacketW::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (started_)
        return;
    started_ = true;
    RestoreFormPlacement(this, env_.kind == 0 ? psPack : psRtty);
    const TPortSettings ps = Config.PortSettings(env_.kind);
    ButtonFrame->Assign(TerminalKeySet(env_.kind));
    showKeys_->setChecked(ps.ShowFunctionKeys());
    ButtonFrame->setVisible(ps.ShowFunctionKeys());
    layout()->activate(); // the sections get their sizes before the splitter is placed
    PlaceSplitter();
    Rewrap();
    QTimer::singleShot(0, this, [this] {
        PlaceSplitter();
        Rewrap();
    });
    // The first text appears at the bottom of the list.
    if (lines_.Count() == 0) {
        const int rows = std::max(1, VLB->viewport()->height() * 2 / (3 * QFontMetrics(VLB->font()).height()));
        lines_.Fill(rows - 1);
    }
    typing_.Clear();
    ShowMemo();
    JumpToEnd();
    UpdateCaption();
}

void TPacketW::PlaceSplitter()
{
    int percent = Config.PortSettings(env_.kind).SplitterPercent();
    if (percent < 5 || percent > 95)
        percent = 50;
    placingSplitter_ = true;
    OvcSplitter1->SetPosition(std::max(1, OvcSplitter1->height() * percent / 100));
    placingSplitter_ = false;
}

void TPacketW::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    if (!started_)
        return;
    PlaceSplitter();
    Rewrap();
    // A window manager's resize may reach the sections only after this event.
    QTimer::singleShot(0, this, [this] {
        PlaceSplitter();
        Rewrap();
    });
}

void TPacketW::Rewrap()
{
    const int x = std::max(1, QFontMetrics(VLB->font()).horizontalAdvance(QLatin1Char('X')));
    const int width = std::max(8, VLB->viewport()->width() / x - 2);
    if (width == lines_.WrapWidth())
        return;
    lines_.SetWrapWidth(width);
    VLB->SetNumItems(lines_.Count());
    if (!holding_)
        JumpToEnd();
    VLB->viewport()->update();
}

void TPacketW::closeEvent(QCloseEvent* e)
{
    // The terminal lives as long as its setting says; the operator cannot close it.
    e->ignore();
}

QString TPacketW::CaptionText() const
{
    return FromWin1252(TerminalCaption(
        {env_.kind, env_.fake, typing_.AlwaysImmediate(), typing_.ImmediateToggled(), holding_}));
}

void TPacketW::UpdateCaption()
{
    setWindowTitle(CaptionText());
}

// ---- Receiving ----

void TPacketW::ReceiveText(std::string_view data)
{
    UpdateView(lines_.Receive(data));
}

void TPacketW::UpdateView(const TTerminalLines::TChange& change)
{
    if (!change.Counted()) {
        if (lines_.Count() > 0)
            VLB->RepaintItem(lines_.Count() - 1);
        return;
    }
    const int top = VLB->TopIndex();
    VLB->SetNumItems(lines_.Count());
    if (holding_)
        VLB->SetTopIndex(std::max(0, top - change.removed));
    else
        JumpToEnd();
    VLB->viewport()->update();
}

void TPacketW::JumpToEnd()
{
    VLB->SetNumItems(lines_.Count());
    VLB->SetItemIndex(-1);
    VLB->SetTopIndex(std::max(0, lines_.Count() - VLB->Rows()));
}

void TPacketW::TextFromOtherProgram(const std::string& data)
{
    // Lines the receive path does not hand to the spot list itself go there from here.
    if (!env_.queuesLines && Config.PortSettings(env_.kind).ComPort() != 10 && env_.spotLine)
        for (const std::string& line : copied_.Take(data))
            env_.spotLine(line);
    ReceiveText(data);
}

// ---- Sending ----

void TPacketW::SendText(const std::string& text)
{
    if (env_.serial) {
        RunShowingExceptions([&] { env_.serial->PutString(text); });
        return;
    }
    if (!env_.tcp) {
        link_->Send(Config.MessageHandshake(), text);
        return;
    }
    if (webSet_)
        return;
    // A telnet node does not echo: the text is shown here, and a line ends in LF on the wire.
    std::string echo = text, out = text;
    if (!text.empty() && text.back() == '\r') {
        echo += '\n';
        out.back() = '\n';
    }
    ReceiveText(echo);
    RunShowingExceptions([&] { env_.tcp->PutString(out); });
}

void TPacketW::TypeText(const std::string& text)
{
    for (char c : text)
        TypeChar(c, true);
}

void TPacketW::SyncCaret()
{
    typing_.SetCaret(static_cast<std::size_t>(Memo1->textCursor().position()));
}

void TPacketW::TypeChar(char c, bool byProgram)
{
    if (webSet_) {
        // Any key starts the page's fetch, or stops it while it runs.
        fetch_.StartOrAbort();
        return;
    }
    const auto u = static_cast<unsigned char>(c);
    if (!byProgram) {
        const QTextCursor cursor = Memo1->textCursor();
        SyncCaret();
        if (cursor.hasSelection() && (u >= 32 || u == 8)) {
            const bool erased = typing_.EraseRange(static_cast<std::size_t>(cursor.selectionStart()),
                                                   static_cast<std::size_t>(cursor.selectionEnd()));
            if (!erased || u == 8) {
                ShowMemo();
                return;
            }
        }
    }
    typing_.KeyPress(c, byProgram);
    ShowMemo();
}

void TPacketW::ShowMemo()
{
    const std::string& text = typing_.Text();
    if (shownMemo_ != text) {
        // Typing mostly adds at the end: the control then only takes the new characters.
        if (text.size() > shownMemo_.size() && text.compare(0, shownMemo_.size(), shownMemo_) == 0) {
            QTextCursor end(Memo1->document());
            end.movePosition(QTextCursor::End);
            end.insertText(FromWin1252(std::string_view(text).substr(shownMemo_.size())));
        } else {
            Memo1->setPlainText(FromWin1252(text));
        }
        shownMemo_ = text;
    }
    QTextCursor cursor = Memo1->textCursor();
    cursor.setPosition(static_cast<int>(std::min<std::size_t>(typing_.Caret(), shownMemo_.size())));
    Memo1->setTextCursor(cursor);
    Memo1->ensureCursorVisible();
}

bool TPacketW::MemoKey(QKeyEvent* e)
{
    const int key = e->key();
    if (IsScrollKey(key)) {
        QKeyEvent copy(e->type(), key, e->modifiers(), e->text());
        QCoreApplication::sendEvent(VLB, &copy);
        return true;
    }
    if (key == Qt::Key_Escape) {
        QApplication::beep();
        if (pasting_) {
            stopPaste_ = true;
            return true;
        }
    }
    if (key == Qt::Key_Delete) {
        SyncCaret();
        if (webSet_) {
            fetch_.StartOrAbort();
        } else if (typing_.DeleteAllowed()) {
            const QTextCursor cursor = Memo1->textCursor();
            const auto from = static_cast<std::size_t>(cursor.hasSelection() ? cursor.selectionStart() : cursor.position());
            const auto to = cursor.hasSelection() ? static_cast<std::size_t>(cursor.selectionEnd()) : from + 1;
            typing_.EraseRange(from, to);
            ShowMemo();
        }
        return true;
    }
    if (e->modifiers() & (Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = e->text();
    if (text.size() != 1)
        return false;
    const std::string bytes = ToWin1252(text);
    TypeChar(bytes.empty() ? '?' : bytes[0], false);
    return true;
}

bool TPacketW::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) {
        auto* k = static_cast<QKeyEvent*>(e);
        ButtonFrame->SetShifted(k->modifiers());
        const bool fkey = k->key() >= Qt::Key_F1 && k->key() <= Qt::Key_F8;
        if (e->type() == QEvent::KeyPress)
            return fkey;
        if (k->isAutoRepeat())
            return fkey;
        if (watched == Memo1 && IsScrollKey(k->key())) {
            QKeyEvent copy(QEvent::KeyRelease, k->key(), k->modifiers(), k->text());
            QCoreApplication::sendEvent(VLB, &copy);
            return true;
        }
        int index = 0;
        if (ButtonFrame->KeyUp(k->key(), k->modifiers(), index)) {
            if (index > 0)
                SendFunctionKey(index);
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

void TPacketW::SendFunctionKey(int index)
{
    if (index < 1 || index > 16)
        return;
    const TFunctionKeys keys = TerminalKeySet(env_.kind).load();
    TQSOForm* qso = env_.qsoWindow ? env_.qsoWindow() : nullptr;
    TQsoMacroContext context(qso ? &qso->Entry() : nullptr);
    TypeText(ExpandMacros(index, keys, false, context));
}

// ---- Announcing ----

bool TPacketW::TakesAnnouncements() const
{
    if (env_.kind == 1 && !Config.PortSettings(1).TakesSpots())
        return false;
    return !(env_.tcp && webSet_);
}

void TPacketW::AnnounceDX(bool send)
{
    if (!env_.takesSpots)
        return;
    TAnnouncement a;
    if (TQSOForm* qso = env_.qsoWindow ? env_.qsoWindow() : nullptr) {
        a.call = UpperAscii(TrimSpaces(qso->Entry().Fields.Text[fCall]));
        a.remarks = AnnounceRemarks(qso->Entry().GetMode());
    }
    if (env_.radio) {
        double rx = 0, tx = 0;
        int mode = 0;
        bool split = false;
        env_.radio->Read(rx, tx, mode, split);
        a.kHz = rx;
        a.qsxKHz = split ? tx : 0;
    }
    TAnnounceDXDialog dialog(a, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    a = dialog.Result();
    if (a.call.empty())
        return;
    const std::string command = AnnounceDXCommand(a.kHz, a.call, a.qsxKHz, a.remarks);
    if (!send) {
        if (env_.spotLine)
            env_.spotLine(command);
        return;
    }
    if (env_.announce) {
        env_.announce(command);
        return;
    }
    if (!env_.fake && TakesAnnouncements())
        TypeText(command + "\r");
    if (env_.spotLine)
        env_.spotLine(command);
}

void TPacketW::RestoreAndFocusInput()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
    Memo1->setFocus();
}

// ---- Menu commands ----

void TPacketW::InternetConnection()
{
    if (!env_.tcp)
        return;
    TInternetAddress a;
    const int result = SelectInternetAddress(env_.addressFile, a, this);
    if (result == siConnect)
        ConnectTo(a);
    else if (result == siClose)
        CloseConnection();
}

void TPacketW::ConnectTo(const TInternetAddress& address)
{
    if (!env_.tcp)
        return;
    CloseConnection();
    address_ = address;
    webSet_ = address.Web();
    env_.tcp->SetTelnet(!webSet_);
    fetch_.SetAddress(address);
    if (webSet_) {
        fetch_.StartOrAbort();
    } else {
        UpdateCaption();
        OpenWhenClosed(address, 0);
    }
}

void TPacketW::CloseConnection()
{
    if (env_.tcp)
        RunShowingExceptions([&] { env_.tcp->SetOpen(false); });
}

void TPacketW::OpenConnection(const TInternetAddress& address)
{
    OpenWhenClosed(address, 0);
}

void TPacketW::OpenWhenClosed(const TInternetAddress& address, int tries)
{
    // A connection closed from inside its own data event finishes closing a little later.
    if (env_.tcp->State() != csClosed) {
        if (tries < 500)
            QTimer::singleShot(10, this, [this, address, tries] { OpenWhenClosed(address, tries + 1); });
        return;
    }
    try {
        env_.tcp->SetWsAddress(address.host);
        env_.tcp->SetWsPort(address.port);
        env_.tcp->SetOpen(true);
    } catch (const std::exception& e) {
        if (webSet_)
            fetch_.OpenFailed(e.what());
        else
            MessageDlg(AppExceptionText(e.what()), TMsgDlgType::mtError, mbOK);
    }
}

void TPacketW::ToggleHolding()
{
    holding_ = !holding_;
    if (!holding_)
        JumpToEnd();
    UpdateCaption();
}

void TPacketW::ToggleImmediate()
{
    typing_.SetImmediate(!typing_.ImmediateToggled());
    UpdateCaption();
}

void TPacketW::CopyToClipboard()
{
    QGuiApplication::clipboard()->setText(FromWin1252(lines_.SelectedText()));
}

void TPacketW::ClearAllText()
{
    lines_.Clear();
    VLB->SetNumItems(0);
    VLB->viewport()->update();
}

void TPacketW::TypeEsc()
{
    if (pasting_) {
        stopPaste_ = true;
        return;
    }
    TypeChar('\x1b', true);
}

void TPacketW::PasteFromClipboard()
{
    if (pasting_)
        return;
    SyncCaret();
    if (!typing_.CanPaste()) {
        QApplication::beep();
        return;
    }
    const QString clip = QGuiApplication::clipboard()->text();
    if (clip.isEmpty()) {
        MessageDlg("ClipBoard does not contain text", TMsgDlgType::mtWarning, mbOK);
        return;
    }
    const std::string text = ToWin1252(clip);
    const bool longText = text.size() >= kLongPaste;
    if (longText && MessageDlg("Paste " + std::to_string(text.size()) + " characters", TMsgDlgType::mtConfirmation,
                               mbYes | mbNo) != mrYes)
        return;
    QPointer<TPacketW> alive(this);
    pasting_ = true;
    stopPaste_ = false;
    escItem_->setText(QStringLiteral("Stop sending ClipBoard"));
    MsgPanel->setVisible(longText);
    int shownPercent = -1;
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    for (std::size_t i = 0; i < text.size() && !stopPaste_; ++i) {
        if (text[i] == '\n')
            continue;
        // A slow TNC is given time to take what waits before more is typed.
        while (env_.serial && env_.serial->Open() &&
               env_.serial->OutSize() - env_.serial->OutBuffFree() >= kPasteBacklog) {
            QCoreApplication::processEvents();
            if (!alive || stopPaste_)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (!alive)
            return;
        if (stopPaste_)
            break;
        TypeChar(text[i], true);
        const int percent = static_cast<int>((i + 1) * 100 / text.size());
        if (longText && percent != shownPercent) {
            shownPercent = percent;
            LabProgress->setText(QStringLiteral("Transfered %1%").arg(percent));
        }
        // Received text and the operator's ESC are taken between the characters.
        if (sinceEvents.elapsed() >= 10) {
            QCoreApplication::processEvents();
            if (!alive)
                return;
            sinceEvents.restart();
        }
    }
    pasting_ = false;
    escItem_->setText(QStringLiteral("Type Esc character"));
    MsgPanel->hide();
}

void TPacketW::SetShowFunctionKeys(bool on)
{
    TPortSettings ps = Config.PortSettings(env_.kind);
    ps.SetShowFunctionKeys(on);
    Config.SetPortSettings(env_.kind, ps);
    showKeys_->setChecked(on);
    ButtonFrame->setVisible(on);
}

void TPacketW::ReadMessage(int line)
{
    const std::string command = ReadMessageCommand(lines_.WholeLine(line));
    if (!command.empty())
        SendText(command);
}

// ---- The web page's connection ----

void TPacketW::ShowCaption(const std::string& caption)
{
    setWindowTitle(FromWin1252(caption));
}

void TPacketW::SendRequest(const std::string& request)
{
    RunShowingExceptions([&] { env_.tcp->PutString(request); });
}

void TPacketW::DeliverLine(const std::string& line)
{
    ReceiveText(line);
}

void TPacketW::Warn(const std::string& text)
{
    MessageDlg(text, TMsgDlgType::mtWarning, mbOK);
}

void TPacketW::SuspendSpotUpdates(bool suspend)
{
    if (env_.suspendSpotUpdates)
        env_.suspendSpotUpdates(suspend);
}

} // namespace korval
