#include "station/windows/morse_kb.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>

#include <cstring>

#include "logbook/config_record.h"
#include "logbook/qso_macro_context.h"
#include "logbook/text_macros.h"
#include "logbook/windows/form_placement.h"
#include "logbook/windows/help_window.h"
#include "logbook/windows/qso_form.h"
#include "platform/message_dlg.h"
#include "platform/windows/win1252.h"
#include "station/morse_sender.h"
#include "station/function_keys.h"
#include "station/windows/button_frame.h"
#include "station/windows/morse_dialog.h"

namespace korval {

namespace {

QPointer<TMorseKb> g_kb;
std::function<TQSOForm*()> g_qsoWindow;

TQSOForm* QsoWindow()
{
    return g_qsoWindow ? g_qsoWindow() : nullptr;
}

// Upper case in the 8-bit character set: ASCII letters and the accented ones (0xE0..0xFE).
std::string Upper1252(std::string s)
{
    for (char& c : s) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7))
            c = static_cast<char>(u - 0x20);
    }
    return s;
}

// The characters the keyboard sends; everything else is passed on.
bool Sendable(unsigned char c)
{
    return c == '\r' || c == ' ' || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == 196 || c == 214 ||
           std::strchr("!*,./=?", static_cast<char>(c)) != nullptr;
}

std::string TooLongText(std::size_t dropped)
{
    return "The send buffer is full: the last " + std::to_string(dropped) + " characters were not queued";
}

} // namespace

TMorseKb* TMorseKb::Instance()
{
    return g_kb.data();
}

void TMorseKb::SetQsoWindowProvider(std::function<TQSOForm*()> provider)
{
    g_qsoWindow = std::move(provider);
}

TMorseKb* TMorseKb::Open(QWidget* owner)
{
    if (!g_kb) {
        g_kb = new TMorseKb(owner);
        g_kb->BuildFunctionKeys();
    }
    if (TMorseSender* sender = MorseSender()) {
        sender->SetTiming(); // the interface chosen since the keyer started counts
        if (!sender->HasKeyLine() && sender->Settings().keyingInterface != 1)
            sender->SelectKeyingPort(true);
    }
    g_kb->show();
    g_kb->raise();
    g_kb->activateWindow();
    return g_kb;
}

void TMorseKb::CloseWindow()
{
    if (g_kb)
        g_kb->close();
}

TMorseKb::TMorseKb(QWidget* owner) : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("MorseKb"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    KbInp = new QLabel(this);
    KbInp->setObjectName(QStringLiteral("KbInp"));
    KbInp->setFrameShape(QFrame::Panel);
    KbInp->setFrameShadow(QFrame::Sunken);
    KbInp->setMinimumHeight(KbInp->fontMetrics().height() + 8);
    KbInp->setTextFormat(Qt::PlainText);
    KbInp->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    ButtonFrame = new TButtonFrame(this);
    layout->addWidget(KbInp, 1);
    layout->addWidget(ButtonFrame);
    ButtonFrame->OnSendMacro = [this](int index) { SendFunctionKey(index); };

    FormPopUp = new QMenu(this);
    FormPopUp->setObjectName(QStringLiteral("FormPopUp"));
    auto add = [this](const char* name, const QString& text, void (TMorseKb::*slot)()) {
        QAction* a = FormPopUp->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        if (slot)
            connect(a, &QAction::triggered, this, [this, slot] { (this->*slot)(); });
        return a;
    };
    Help1 = add("Help1", QStringLiteral("Help"), &TMorseKb::Help1Click);
    Settings1 = add("Settings1", QStringLiteral("Settings"), &TMorseKb::Settings1Click);
    StopSending1 = add("StopSending1", QStringLiteral("Stop Sending"), &TMorseKb::StopSending1Click);
    EnterQSO1 = add("EnterQSO1", QStringLiteral("Enter QSO"), &TMorseKb::EnterQSO1Click);
    Slower1 = add("Slower1", QStringLiteral("Slower (-)"), &TMorseKb::Slower1Click);
    Faster1 = add("Faster1", QStringLiteral("Faster (+)"), &TMorseKb::Faster1Click);
    SwitchToQSO1 = add("SwitchToQSO1", QStringLiteral("Switch to QSO Window"), &TMorseKb::SwitchToQSO1Click);
    ShowFunctionKeys1 = add("ShowFunctionKeys1", QStringLiteral("Show function keys"),
                            &TMorseKb::ShowFunctionKeys1Click);
    ShowFunctionKeys1->setCheckable(true);
    // The key editor comes with the terminals' function-key bar.
    EditFunctionKeys1 = add("EditFunctionKeys1", QStringLiteral("Edit function Keys"), nullptr);
    EditFunctionKeys1->setEnabled(false);
    connect(FormPopUp, &QMenu::aboutToShow, this, [this] {
        TQSOForm* qso = QsoWindow();
        EnterQSO1->setEnabled(qso && qso->EntryMode() == emRealTime);
    });

    marquee_ = new QTimer(this);
    marquee_->setInterval(100);
    connect(marquee_, &QTimer::timeout, this, &TMorseKb::ShowMarquee);
    marquee_->start();

    if (TMorseSender* sender = MorseSender())
        sender->OnTimingChanged = [this] { UpdateCaption(); };
    UpdateCaption();
    resize(420, 90);
}

TMorseKb::~TMorseKb()
{
    if (TMorseSender* sender = MorseSender())
        sender->OnTimingChanged = nullptr;
    SaveFormPlacement(this, psCw);
}

QString TMorseKb::CaptionText() const
{
    const TMorseSender* sender = MorseSender();
    const int wpm = sender ? sender->EffectiveWpm() : 0;
    return QStringLiteral("CW Keyboard %1 WPM").arg(wpm);
}

void TMorseKb::UpdateCaption()
{
    setWindowTitle(CaptionText());
}

void TMorseKb::BuildFunctionKeys()
{
    ButtonFrame->Assign(CwKeySet());
    const bool show = Config.CwShowFunctionKeys() != 0;
    ButtonFrame->setVisible(show);
    ShowFunctionKeys1->setChecked(show);
}

void TMorseKb::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (TMorseSender* sender = MorseSender())
        sender->SetTiming();
    QFont f = font();
    ApplyConfiguredFont(f, 1);
    KbInp->setFont(f);
    RestoreFormPlacement(this, psCw);
}

void TMorseKb::ShowMarquee()
{
    TMorseSender* sender = MorseSender();
    if (!sender || !Config.CwEcho())
        return;
    const QString text = FromWin1252(sender->BufferText());
    if (KbInp->text() != text)
        KbInp->setText(text);
}

void TMorseKb::keyPressEvent(QKeyEvent* e)
{
    ButtonFrame->SetShifted(e->modifiers());
    TMorseSender* sender = MorseSender();
    const int key = e->key();
    if (key == Qt::Key_Backspace) {
        if (sender)
            sender->DeleteLastChar();
        return;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F8)
        return; // sent on release
    std::string text = key == Qt::Key_Return || key == Qt::Key_Enter ? std::string("\r")
                                                                      : ToWin1252(e->text().toUpper());
    if (text.size() != 1 || (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        QWidget::keyPressEvent(e);
        return;
    }
    const auto c = static_cast<unsigned char>(text[0]);
    if (c == '-') {
        Slower1Click();
    } else if (c == '+') {
        Faster1Click();
    } else if (Sendable(c)) {
        if (sender && sender->QueueText(text) > 0)
            QApplication::beep(); // the buffer is full
    } else {
        QWidget::keyPressEvent(e);
    }
}

void TMorseKb::keyReleaseEvent(QKeyEvent* e)
{
    int index = 0;
    if (ButtonFrame->KeyUp(e->key(), e->modifiers(), index)) {
        if (index > 0)
            SendFunctionKey(index);
        return;
    }
    QWidget::keyReleaseEvent(e);
}

void TMorseKb::contextMenuEvent(QContextMenuEvent* e)
{
    FormPopUp->popup(e->globalPos());
}

void TMorseKb::SendFunctionKey(int index)
{
    TMorseSender* sender = MorseSender();
    if (!sender || index < 1 || index > 16)
        return;
    const TFunctionKeys keys = CwKeySet().load();
    TQSOForm* qso = QsoWindow();
    TQsoMacroContext context(qso ? &qso->Entry() : nullptr);
    const std::string text = Upper1252(ExpandMacros(index, keys, false, context)) + " ";
    if (const std::size_t dropped = sender->QueueText(text); dropped > 0)
        MessageDlg(TooLongText(dropped), TMsgDlgType::mtWarning, mbOK);
}

void TMorseKb::StopSending1Click()
{
    if (TMorseSender* sender = MorseSender())
        sender->ClearBuffer();
}

void TMorseKb::ChangeSpeeds(int step)
{
    const int c = Config.CwCharWpm(), s = Config.CwSpacingWpm();
    if (step < 0 ? (c < 7 || s < 7) : (c >= 59 || s >= 59))
        return;
    Config.SetCwCharWpm(c + step);
    Config.SetCwSpacingWpm(s + step);
    if (TMorseSender* sender = MorseSender())
        sender->SetTiming();
    UpdateCaption();
}

void TMorseKb::Slower1Click()
{
    ChangeSpeeds(-2);
}

void TMorseKb::Faster1Click()
{
    ChangeSpeeds(2);
}

void TMorseKb::Settings1Click()
{
    TMorseSender* sender = MorseSender();
    if (sender)
        sender->ClearBuffer();
    std::uint8_t* block = Config.Bytes() + TConfigRecord::CwCharWpmOffset;
    const std::string saved(reinterpret_cast<const char*>(block), TConfigRecord::CwBlockSize);
    TMorseDialog dialog(this);
    if (dialog.exec() == QDialog::Accepted) {
        BuildFunctionKeys();
    } else {
        std::memcpy(block, saved.data(), saved.size());
        if (sender)
            sender->SetTiming();
    }
    UpdateCaption();
}

void TMorseKb::EnterQSO1Click()
{
    TQSOForm* qso = QsoWindow();
    if (!qso || qso->EntryMode() != emRealTime)
        return;
    // Enter in the QSO window logs the real-time QSO, as the operator's own key press would.
    QWidget* target = qso->focusWidget() ? qso->focusWidget() : qso->Control(fCall);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
}

void TMorseKb::SwitchToQSO1Click()
{
    if (TQSOForm* qso = QsoWindow()) {
        qso->raise();
        qso->activateWindow();
    }
}

void TMorseKb::ShowFunctionKeys1Click()
{
    const bool show = Config.CwShowFunctionKeys() == 0;
    Config.SetCwShowFunctionKeys(show ? 1 : 0);
    ShowFunctionKeys1->setChecked(show);
    ButtonFrame->setVisible(show);
}

void TMorseKb::Help1Click()
{
    ShowHelp(this);
}

} // namespace korval
