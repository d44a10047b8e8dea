#include "station/windows/psk31_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSplitter>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "logbook/bands_modes.h"
#include "logbook/call_syntax.h"
#include "logbook/config_record.h"
#include "logbook/qso_macro_context.h"
#include "logbook/text_macros.h"
#include "logbook/windows/qso_form.h"
#include "platform/message_dlg.h"
#include "platform/windows/win1252.h"
#include "platform/windows/window_message.h"
#include "station/psk31/psk_key_port.h"
#include "station/psk31/psk_modem.h"
#include "station/function_keys.h"
#include "station/windows/button_frame.h"
#include "station/windows/psk_dialog.h"
#include "station/windows/radio_control.h"

namespace korval {

namespace {

std::function<TQSOForm*()> g_qsoWindow;

TQSOForm* QsoWindow()
{
    return g_qsoWindow ? g_qsoWindow() : nullptr;
}

constexpr int kFullLow = 100, kFullHigh = 3200;
// A retune by at least this much starts a new line of received text.
constexpr int kNewLineHz = 50;
// The display's receive frequency jumping further than this clears the IMD and clock figures.
constexpr int kJumpHz = 15;

int BinOf(int hz)
{
    return static_cast<int>(std::lround(hz / PskBinHz));
}

} // namespace

TPskSpan PskDisplaySpan(int zoom, int rxHz)
{
    TPskSpan s;
    if (zoom >= 2) {
        const int half = zoom == 2 ? 999 : 499;
        const int centre = static_cast<int>(std::lround(rxHz / 10.0)) * 10;
        s.lowHz = centre - half;
        s.highHz = centre + half;
        if (s.lowHz < kFullLow) {
            s.highHz += kFullLow - s.lowHz;
            s.lowHz = kFullLow;
        }
        if (s.highHz > kFullHigh) {
            s.lowHz -= s.highHz - kFullHigh;
            s.highHz = kFullHigh;
        }
    }
    s.firstBin = BinOf(s.lowHz);
    s.lastBin = BinOf(s.highHz);
    return s;
}

std::array<unsigned, 256> PskWaterfallPalette(bool alternate)
{
    std::array<unsigned, 256> palette {};
    const int length = alternate ? 128 : 256;
    const int ramp = length / 4;
    auto clip = [](int v) { return v >= 250 ? 255 : v; };
    for (int i = 0; i < 256; ++i) {
        const int k = i % length;
        const int step = k % ramp, which = k / ramp;
        const int up = step * 256 / ramp;
        int r = 0, g = 0, b = 0;
        switch (which) {
        case 0: b = up; break;                         // black to blue
        case 1: b = 255; g = up; break;                // blue to cyan
        case 2: g = 255; r = up; b = 255 - up; break;  // cyan to yellow
        default: r = 255; g = 255; b = up; break;      // yellow to white
        }
        palette[static_cast<std::size_t>(i)] = qRgb(clip(r), clip(g), clip(b));
    }
    return palette;
}

void TPskView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (OnPaint)
        OnPaint(p);
}

void TPskView::mousePressEvent(QMouseEvent* e)
{
    if (OnClick)
        OnClick(e);
    else
        QWidget::mousePressEvent(e);
}

// The modem's reports, carried to the window's thread. The modem is stopped before the window
// goes, and a report queued for a window that has gone is dropped by Qt.
class TPSK31Window::TEvents : public TPskCoreEvents {
public:
    explicit TEvents(TPSK31Window* w) : w_(w) {}
    void DisplayData(int hz, int level) override { Post([=](TPSK31Window* w) { w->DisplayData(hz, level); }); }
    void RxChar(int ch, int channel) override { Post([=](TPSK31Window* w) { w->RxChar(ch, channel); }); }
    void TxStatus(int status) override { Post([=](TPSK31Window* w) { w->TxStatus(status); }); }
    void Imd(int dB, int channel) override { Post([=](TPSK31Window* w) { w->Imd(dB, channel); }); }
    void ClockError(int ppm, int channel) override { Post([=](TPSK31Window* w) { w->ClockError(ppm, channel); }); }

private:
    template <typename F>
    void Post(F f)
    {
        TPSK31Window* w = w_;
        QMetaObject::invokeMethod(w, [w, f] { f(w); }, Qt::QueuedConnection);
    }
    TPSK31Window* w_;
};

void TPSK31Window::SetQsoWindowProvider(std::function<TQSOForm*()> provider)
{
    g_qsoWindow = std::move(provider);
}

TPSK31Window::TPSK31Window(QWidget* owner, std::unique_ptr<TPskCore> core)
    : QWidget(owner), core_(core ? std::move(core) : std::make_unique<TPskModem>()),
      events_(std::make_unique<TEvents>(this))
{
    setObjectName(QStringLiteral("PSK31Window"));
    rxHz_ = Config.PskRxFreq();
    txHz_ = rxHz_;
    secondChannel_ = Config.PskSecondChannel();
    displayKind_ = Config.PskDisplayKind() <= 2 ? Config.PskDisplayKind() : 1;
    zoom_ = Config.PskDisplaySpan();
    BuildControls();
    BuildMenus();
    UpdateCaption();
    resize(720, 560);
}

TPSK31Window::~TPSK31Window()
{
    Stop();
}

void TPSK31Window::BuildControls()
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(2, 2, 2, 2);
    outer->setSpacing(2);

    auto* tuning = new QWidget(this);
    auto* tuningLay = new QHBoxLayout(tuning);
    tuningLay->setContentsMargins(0, 0, 0, 0);
    tuningLay->setSpacing(2);
    MeterDisplay = new TPskView(tuning);
    MeterDisplay->setObjectName(QStringLiteral("MeterDisplay"));
    MeterDisplay->setFixedWidth(16);
    MeterDisplay->OnPaint = [this](QPainter& p) { PaintMeter(p); };
    MeterDisplay->OnClick = [this](QMouseEvent* e) {
        if (e->button() == Qt::LeftButton)
            MeterClick(static_cast<int>(e->position().y()), MeterDisplay->height());
    };
    auto tuneClick = [this](TPskView* view) {
        return [this, view](QMouseEvent* e) {
            if (e->button() == Qt::LeftButton)
                TuneClick(static_cast<int>(e->position().x()), view->width(),
                          e->modifiers().testFlag(Qt::ControlModifier));
            else if (e->button() == Qt::RightButton)
                SpectrumPopUp->popup(e->globalPosition().toPoint());
        };
    };
    SpectrumDisplay = new TPskView(tuning);
    SpectrumDisplay->setObjectName(QStringLiteral("SpectrumDisplay"));
    SpectrumDisplay->OnPaint = [this](QPainter& p) { PaintSpectrum(p); };
    SpectrumDisplay->OnClick = tuneClick(SpectrumDisplay);
    WaterFallDisplay = new TPskView(tuning);
    WaterFallDisplay->setObjectName(QStringLiteral("WaterFallDisplay"));
    WaterFallDisplay->OnPaint = [this](QPainter& p) { PaintWaterfall(p); };
    WaterFallDisplay->OnClick = tuneClick(WaterFallDisplay);
    auto* views = new QVBoxLayout;
    views->setSpacing(1);
    views->addWidget(SpectrumDisplay);
    views->addWidget(WaterFallDisplay);
    auto* buttons = new QVBoxLayout;
    TxBtn = new QPushButton(QStringLiteral("Tx"), tuning);
    TxBtn->setObjectName(QStringLiteral("TxBtn"));
    TxBtn->setCheckable(true);
    TxBtn->setFocusPolicy(Qt::NoFocus);
    connect(TxBtn, &QPushButton::clicked, this, [this](bool down) { SetTransmit(down); });
    DisplayBtn = new QPushButton(tuning);
    DisplayBtn->setObjectName(QStringLiteral("DisplayBtn"));
    DisplayBtn->setFocusPolicy(Qt::NoFocus);
    connect(DisplayBtn, &QPushButton::clicked, this, &TPSK31Window::CycleDisplay);
    Rewind = new QPushButton(QStringLiteral("Play"), tuning);
    Rewind->setObjectName(QStringLiteral("Rewind"));
    Rewind->setFocusPolicy(Qt::NoFocus);
    connect(Rewind, &QPushButton::clicked, this, [this] {
        if (running_)
            core_->fnRewindInput();
    });
    buttons->addWidget(TxBtn);
    buttons->addWidget(DisplayBtn);
    buttons->addWidget(Rewind);
    buttons->addStretch();
    tuningLay->addWidget(MeterDisplay);
    tuningLay->addLayout(views, 1);
    tuningLay->addLayout(buttons);

    auto text = [this](const char* name, bool readOnly) {
        auto* e = new QPlainTextEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setReadOnly(readOnly);
        e->setContextMenuPolicy(Qt::CustomContextMenu);
        QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        e->setFont(f);
        return e;
    };
    Terminal = text("Terminal", true);
    Terminal->viewport()->installEventFilter(this);
    Channel2 = text("Channel2", true);
    TxBuf = text("TxBuf", false);
    TxBuf->installEventFilter(this);

    OvcSplitter3 = new QSplitter(Qt::Vertical);
    OvcSplitter3->setObjectName(QStringLiteral("OvcSplitter3"));
    OvcSplitter3->addWidget(Terminal);
    OvcSplitter3->addWidget(Channel2);
    OvcSplitter2 = new QSplitter(Qt::Vertical);
    OvcSplitter2->setObjectName(QStringLiteral("OvcSplitter2"));
    OvcSplitter2->addWidget(OvcSplitter3);
    OvcSplitter2->addWidget(TxBuf);
    OvcSplitter1 = new QSplitter(Qt::Vertical, this);
    OvcSplitter1->setObjectName(QStringLiteral("OvcSplitter1"));
    OvcSplitter1->addWidget(tuning);
    OvcSplitter1->addWidget(OvcSplitter2);
    for (QSplitter* s : {OvcSplitter1, OvcSplitter2, OvcSplitter3})
        s->setChildrenCollapsible(false);
    outer->addWidget(OvcSplitter1, 1);

    ButtonFrame = new TButtonFrame(PskKeySet(), this);
    ButtonFrame->setObjectName(QStringLiteral("ButtonFrame"));
    ButtonFrame->OnSendMacro = [this](int index) { SendFunctionKey(index); };
    outer->addWidget(ButtonFrame);

    auto* status = new QHBoxLayout;
    status->setSpacing(2);
    const int widths[5] = {90, 100, 100, 110, 0};
    for (int i = 0; i < 5; ++i) {
        auto* l = new QLabel(this);
        l->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        if (widths[i] > 0)
            l->setMinimumWidth(widths[i]);
        StatusBar[static_cast<std::size_t>(i)] = l;
        status->addWidget(l, widths[i] > 0 ? 0 : 1);
    }
    outer->addLayout(status);
}

void TPSK31Window::BuildMenus()
{
    auto add = [this](QMenu* m, const char* name, const QString& text, std::function<void()> slot) {
        QAction* a = m->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        if (slot)
            connect(a, &QAction::triggered, this, std::move(slot));
        return a;
    };
    auto copy = [](QPlainTextEdit* e) {
        return [e] {
            const QString t = e->textCursor().hasSelection() ? e->textCursor().selectedText() : e->toPlainText();
            QApplication::clipboard()->setText(t);
        };
    };
    auto clear = [](QPlainTextEdit* e) { return [e] { e->clear(); }; };

    TerminalPopup = new QMenu(this);
    add(TerminalPopup, "Clear1", QStringLiteral("Clear"), clear(Terminal));
    add(TerminalPopup, "Copy1", QStringLiteral("Copy"), copy(Terminal));
    HoldText1 = add(TerminalPopup, "HoldText1", QStringLiteral("Hold Text"), [this] { SetHolding(!holding_); });
    HoldText1->setCheckable(true);
    connect(Terminal, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { TerminalPopup->popup(Terminal->mapToGlobal(p)); });

    TxBufPopup = new QMenu(this);
    add(TxBufPopup, "Clear2", QStringLiteral("Clear"), clear(TxBuf));
    add(TxBufPopup, "Copy2", QStringLiteral("Copy"), copy(TxBuf));
    add(TxBufPopup, "Paste1", QStringLiteral("Paste"), [this] { Paste1Click(); });
    add(TxBufPopup, "HoldText2", QStringLiteral("Hold text"), [this] { SetHolding(!holding_); });
    connect(TxBuf, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { TxBufPopup->popup(TxBuf->mapToGlobal(p)); });

    SpectrumPopUp = new QMenu(this);
    add(SpectrumPopUp, "Zoom1x", QStringLiteral("Zoom 1x"), [this] { SetZoom(1); });
    add(SpectrumPopUp, "Zoom2x", QStringLiteral("Zoom 2x"), [this] { SetZoom(2); });
    add(SpectrumPopUp, "Zoom4x", QStringLiteral("Zoom 4x"), [this] { SetZoom(4); });

    FormPopUp = new QMenu(this);
    add(FormPopUp, "Help1", QStringLiteral("Help"), [] {
        ShowMessage("PSK31 terminal: click a signal on the spectrum or waterfall to receive it, type to send, "
                    "Tx or Ctrl+X to transmit. Up and Down search the next signal.");
    });
    add(FormPopUp, "Settings1", QStringLiteral("Settings"), [this] { Settings1Click(); });
    StopTransmission1 = add(FormPopUp, "StopTransmission1", QStringLiteral("Stop transmission"),
                            [this] { SetTransmit(false); });
    StartTransmission1 = add(FormPopUp, "StartTransmission1", QStringLiteral("Start transmission"),
                             [this] { SetTransmit(true); });
    EnterQSO1 = add(FormPopUp, "EnterQSO1", QStringLiteral("Enter QSO"), [this] { EnterQSO1Click(); });
    add(FormPopUp, "HoldText3", QStringLiteral("Hold text"), [this] { SetHolding(!holding_); });
    CenterRadio1 = add(FormPopUp, "CenterRadio1", QStringLiteral("Center Radio"), [this] { CenterRadio(); });
    add(FormPopUp, "MonitorFreq1", QStringLiteral("Monitor freq"), [this] { MonitorFreq(); });
    add(FormPopUp, "PlayBack1", QStringLiteral("Play back"), [this] {
        if (running_)
            core_->fnRewindInput();
    });
    add(FormPopUp, "RxVolume1", QStringLiteral("Rx Volume"), [this] { RxVolume1Click(); });
    add(FormPopUp, "TxVolume1", QStringLiteral("Tx Volume"), [this] { TxVolume1Click(); });
    add(FormPopUp, "SetMarker1", QStringLiteral("Set marker 1"), [this] { SetMarker(1); });
    add(FormPopUp, "SetMarker2", QStringLiteral("Set marker 2"), [this] { SetMarker(2); });
    add(FormPopUp, "GotoMarker1", QStringLiteral("Goto marker 1"), [this] { GotoMarker(1); });
    add(FormPopUp, "GotoMarker2", QStringLiteral("Goto marker 2"), [this] { GotoMarker(2); });
    add(FormPopUp, "EditFunctionKeys1", QStringLiteral("Edit function keys"), [this] { EditFunctionKeys1Click(); });
    connect(FormPopUp, &QMenu::aboutToShow, this, [this] {
        TQSOForm* qso = QsoWindow();
        EnterQSO1->setEnabled(qso && qso->EntryMode() == emRealTime);
        StopTransmission1->setEnabled(TxBtn->isChecked());
        StartTransmission1->setEnabled(!TxBtn->isChecked());
        CenterRadio1->setEnabled(Radio() != nullptr);
    });
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { FormPopUp->popup(mapToGlobal(p)); });

    Chan2PopUp = new QMenu(this);
    add(Chan2PopUp, "Clear3", QStringLiteral("Clear"), clear(Channel2));
    add(Chan2PopUp, "SetAsMainFreq1", QStringLiteral("Set as main freq"), [this] {
        if (running_)
            TuneTo(core_->fnGetRXFrequency(1), 0);
    });
    add(Chan2PopUp, "Close1", QStringLiteral("Close"), [this] { SetSecondChannel(false); });
    connect(Channel2, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { Chan2PopUp->popup(Channel2->mapToGlobal(p)); });
}

void TPSK31Window::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (!started_)
        Start();
}

void TPSK31Window::Start()
{
    if (started_)
        return;
    started_ = true;
    RestoreSplitters();
    ShowDisplays();
    ShowFrequencies();
    span_ = PskDisplaySpan(zoom_, rxHz_);
    const int squelch = Config.PskSquelch(), slow = Config.PskSlowImd() ? 1 : 0;
    core_->fnSetSquelchThreshold(squelch, slow, 0);
    core_->fnSetSquelchThreshold(squelch, slow, 1);
    if (core_->fnStartSoundCard(events_.get(), 0, 2) != 0) {
        MessageDlg("Error starting the soundcard: " + core_->fnGetErrorString(), TMsgDlgType::mtError, mbOK);
        return;
    }
    core_->fnSetFFTMode(Config.PskSmoothing(), 100, std::max<int>(1, Config.PskBaseline()));
    for (int ch = 0; ch < 2; ++ch)
        core_->fnSetRXPSKMode(Config.PskMode(), ch);
    const int afc = Config.PskAfc() ? Config.PskAfcRange() : 0;
    for (int ch = 0; ch < 2; ++ch)
        core_->fnSetAFCLimit(afc, ch);
    for (int ch = 0; ch < 2; ++ch)
        core_->fnSetSquelchThreshold(squelch, slow, ch);
    core_->fnSetRXFrequency(rxHz_, 0, 0);
    core_->fnSetRXFrequency(Config.PskSecondFreq(), 0, 1);
    waterfall_ = QImage();
    TxBuf->setFocus();
    emit notifyMainWindow(2);
    running_ = true;
}

void TPSK31Window::Stop()
{
    if (!started_)
        return;
    const bool wasRunning = running_;
    running_ = false;
    started_ = false;
    StoreSplitters();
    Config.SetPskRxFreq(static_cast<std::uint16_t>(std::clamp(rxHz_, 0, 65535)));
    if (wasRunning) {
        Config.SetPskSecondFreq(static_cast<std::uint16_t>(std::clamp(core_->fnGetRXFrequency(1), 0, 65535)));
        if (TxBtn->isChecked())
            Key(false);
        core_->fnStopSoundCard();
    }
    delete dialog_;
    dialog_ = nullptr;
}

void TPSK31Window::closeEvent(QCloseEvent* e)
{
    Stop();
    QWidget::closeEvent(e);
}

bool TPSK31Window::event(QEvent* e)
{
    if (e->type() == TWindowMessageEvent::EventType()) {
        auto* m = static_cast<TWindowMessageEvent*>(e);
        if (m->msg() == WM_USER + 3)
            Notify(static_cast<int>(m->wParam()));
        return true;
    }
    return QWidget::event(e);
}

void TPSK31Window::RestoreSplitters()
{
    auto set = [](QSplitter* s, int percent) {
        const int total = 1000;
        percent = std::clamp(percent, 5, 95);
        s->setSizes({total * percent / 100, total - total * percent / 100});
    };
    set(OvcSplitter1, Config.PskSplitter(0));
    set(OvcSplitter2, 100 - Config.PskSplitter(1));
    set(OvcSplitter3, Config.PskSplitter(2));
    Channel2->setVisible(secondChannel_);
}

void TPSK31Window::StoreSplitters()
{
    auto percent = [](QSplitter* s) {
        const QList<int> sizes = s->sizes();
        const int total = sizes.value(0) + sizes.value(1);
        return total > 0 ? static_cast<std::uint8_t>(sizes.value(0) * 100 / total) : std::uint8_t {0};
    };
    Config.SetPskSplitter(0, percent(OvcSplitter1));
    Config.SetPskSplitter(1, static_cast<std::uint8_t>(100 - percent(OvcSplitter2)));
    if (secondChannel_)
        Config.SetPskSplitter(2, percent(OvcSplitter3));
}

void TPSK31Window::ShowFrequencies()
{
    StatusBar[0]->setText(QStringLiteral("Rx: %1").arg(rxHz_));
    StatusBar[2]->setText(QStringLiteral("Tx: %1").arg(Config.PskNet() ? rxHz_ : txHz_));
}

void TPSK31Window::ShowDisplays()
{
    SpectrumDisplay->setVisible(displayKind_ != 2);
    WaterFallDisplay->setVisible(displayKind_ != 1);
    // The button names the kind a press switches to: 1 -> 2 -> 0 -> 1.
    static const char* const next[3] = {"Spectrum", "Waterfall", "Both"};
    DisplayBtn->setText(QString::fromLatin1(next[displayKind_]));
}

void TPSK31Window::CycleDisplay()
{
    displayKind_ = displayKind_ == 1 ? 2 : displayKind_ == 2 ? 0 : 1;
    Config.SetPskDisplayKind(static_cast<std::uint8_t>(displayKind_));
    ShowDisplays();
}

void TPSK31Window::SetZoom(int zoom)
{
    zoom_ = zoom;
    Config.SetPskDisplaySpan(static_cast<std::uint8_t>(zoom));
    span_ = PskDisplaySpan(zoom_, rxHz_);
    SpectrumDisplay->update();
}

void TPSK31Window::DisplayData(int rxHz, int level)
{
    if (!running_)
        return;
    core_->fnGetVectorData(vectors_.data(), 0);
    fft_.assign(static_cast<std::size_t>(span_.lastBin - span_.firstBin + 1), 0);
    overload_ = core_->fnGetFFTData(fft_.data(), span_.firstBin, span_.lastBin) != 0;
    level_ = level;
    if (rxHz != rxHz_) {
        if (std::abs(rxHz - rxHz_) > kJumpHz) {
            StatusBar[3]->clear();
            StatusBar[4]->clear();
        }
        rxHz_ = rxHz;
        if (zoom_ != 1)
            span_ = PskDisplaySpan(zoom_, rxHz_);
        ShowFrequencies();
    }
    // One waterfall line per report, the newest on top.
    const int w = std::max(1, WaterFallDisplay->width()), h = std::max(1, WaterFallDisplay->height());
    if (waterfall_.size() != QSize(w, h)) {
        waterfall_ = QImage(w, h, QImage::Format_RGB32);
        waterfall_.fill(Qt::black);
    }
    static const std::array<unsigned, 256> normal = PskWaterfallPalette(false);
    static const std::array<unsigned, 256> alternate = PskWaterfallPalette(true);
    const auto& palette = Config.PskAltColours() ? alternate : normal;
    std::memmove(waterfall_.scanLine(1), waterfall_.scanLine(0),
                 static_cast<std::size_t>(waterfall_.bytesPerLine()) * static_cast<std::size_t>(h - 1));
    auto* line = reinterpret_cast<QRgb*>(waterfall_.scanLine(0));
    const int bins = static_cast<int>(fft_.size());
    for (int x = 0; x < w; ++x) {
        const int v = fft_[static_cast<std::size_t>(std::min(bins - 1, x * bins / w))];
        line[x] = palette[static_cast<std::size_t>(std::clamp(v * 255 / 100, 0, 255))];
    }
    if (secondChannel_)
        StatusBar[1]->setText(QStringLiteral("Rx2: %1").arg(core_->fnGetRXFrequency(1)));
    MeterDisplay->update();
    SpectrumDisplay->update();
    WaterFallDisplay->update();
}

void TPSK31Window::AppendTo(QPlainTextEdit* edit, int ch)
{
    QTextCursor c(edit->document());
    c.movePosition(QTextCursor::End);
    if (ch == 8)
        c.deletePreviousChar();
    else if (ch == 13)
        c.insertBlock();
    else
        c.insertText(FromWin1252(std::string(1, static_cast<char>(ch))));
    edit->ensureCursorVisible();
    edit->moveCursor(QTextCursor::End);
}

void TPSK31Window::RxChar(int ch, int channel)
{
    if (!running_ || !(ch == 8 || ch == 13 || (ch >= 32 && ch <= 255)))
        return;
    if (channel == 1) {
        if (secondChannel_)
            AppendTo(Channel2, ch);
        return;
    }
    if (channel != 0)
        return;
    if (holding_) {
        if (ch == 8)
            held_.chop(1);
        else
            held_ += ch == 13 ? QStringLiteral("\n") : FromWin1252(std::string(1, static_cast<char>(ch)));
    } else {
        AppendTo(Terminal, ch);
    }
}

void TPSK31Window::TxStatus(int status)
{
    if (!running_)
        return;
    switch (status) {
    case tsEnded:
        if (TxBtn->isChecked())
            Key(false);
        TxBtn->setChecked(false);
        TxBtn->setStyleSheet(QString());
        break;
    case tsTransmitting: TxBtn->setStyleSheet(QStringLiteral("color: red")); break;
    case tsCpuBusy: StatusBar[4]->setText(QStringLiteral("CPU busy")); break;
    default: StatusBar[4]->setText(QString::fromStdString(core_->fnGetErrorString())); break;
    }
}

void TPSK31Window::Imd(int dB, int channel)
{
    if (running_ && channel == 0)
        StatusBar[3]->setText(QStringLiteral("IMD: %1dB").arg(dB));
}

void TPSK31Window::ClockError(int ppm, int channel)
{
    if (!running_ || channel != 0)
        return;
    StatusBar[4]->setText(ppm > 2000 ? QStringLiteral("Clk Err: %1ppm").arg(ppm) : QString());
}

void TPSK31Window::Notify(int code)
{
    if (code == 2)
        RestoreSplitters();
    if (code == 1 || code == 2)
        ButtonFrame->BuildSections();
}

void TPSK31Window::NewLine()
{
    if (!Terminal->document()->lastBlock().text().isEmpty())
        AppendTo(Terminal, 13);
}

void TPSK31Window::TuneTo(int hz, int capture)
{
    const int old = rxHz_;
    rxHz_ = hz;
    if (running_)
        core_->fnSetRXFrequency(hz, capture, 0);
    if (std::abs(hz - old) >= kNewLineHz)
        NewLine();
    if (zoom_ != 1)
        span_ = PskDisplaySpan(zoom_, rxHz_);
    ShowFrequencies();
    SpectrumDisplay->update();
    WaterFallDisplay->update();
}

void TPSK31Window::TuneClick(int x, int width, bool ctrl)
{
    if (width <= 0)
        return;
    if (ctrl && !secondChannel_) {
        SetSecondChannel(true);
        return;
    }
    const int hz = span_.lowHz + static_cast<int>(std::lround(static_cast<double>(x) * (span_.highHz - span_.lowHz) / width));
    TuneTo(hz, 15);
}

void TPSK31Window::MeterClick(int y, int height)
{
    if (height <= 0)
        return;
    const int percent = std::clamp((height - y) * 100 / height, 0, 100);
    Config.SetPskSquelch(static_cast<std::uint8_t>(percent));
    const int slow = Config.PskSlowImd() ? 1 : 0;
    if (running_) {
        core_->fnSetSquelchThreshold(percent, slow, 0);
        core_->fnSetSquelchThreshold(percent, slow, 1);
    }
    MeterDisplay->update();
}

void TPSK31Window::PeakSearch(bool up)
{
    if (!running_)
        return;
    const int hz = up ? core_->fnGetClosestPeak(rxHz_ + 5, span_.highHz) : core_->fnGetClosestPeak(rxHz_ - 5, span_.lowHz);
    if (hz > 0)
        TuneTo(hz, 0);
}

void TPSK31Window::SetSecondChannel(bool on)
{
    secondChannel_ = on;
    Config.SetPskSecondChannel(on);
    Channel2->setVisible(on);
    if (!on)
        StatusBar[1]->clear();
}

void TPSK31Window::SetMarker(int n)
{
    TMarker& m = markers_[static_cast<std::size_t>(n - 1)];
    if (m.hz == rxHz_) {
        m = {};
    } else {
        m.hz = rxHz_;
        TQSOForm* qso = QsoWindow();
        const std::string call = qso && qso->EntryMode() == emRealTime ? qso->Entry().Fields.Text[fCall] : std::string();
        m.label = call.empty() ? QString::number(n) : FromWin1252(call);
    }
    SpectrumDisplay->update();
    WaterFallDisplay->update();
}

void TPSK31Window::GotoMarker(int n)
{
    if (const int hz = MarkerHz(n); hz > 0)
        TuneTo(hz, 0);
}

void TPSK31Window::CenterRadio()
{
    const int centre = Config.PskCenterFreq();
    const int delta = rxHz_ - centre;
    if (delta == 0)
        return;
    TCatRadio& radio = RadioProxy();
    double rxKHz = 0, txKHz = 0;
    std::uint8_t mode = 0;
    bool split = false;
    if (radio.ReadFrequencyAndMode(rxKHz, txKHz, mode, split) || radio.SetFrequency(rxKHz + delta / 1000.0))
        return;
    TuneTo(centre, 0);
    if (running_)
        core_->fnSetRXFrequency(core_->fnGetRXFrequency(1) - delta, 0, 1);
    for (TMarker& m : markers_)
        if (m.hz > 0)
            m.hz -= delta;
}

void TPSK31Window::MonitorFreq()
{
    if (running_)
        core_->fnSetRXFrequency(rxHz_, 0, 1);
}

void TPSK31Window::SetTxFrequency(int hz)
{
    txHz_ = hz;
    ShowFrequencies();
}

void TPSK31Window::Key(bool on)
{
    std::string error;
    if (!PskKeyPort().Key(on, error))
        StatusBar[4]->setText(QString::fromStdString(error));
}

void TPSK31Window::SetTransmit(bool on)
{
    TxBtn->setChecked(on);
    if (!running_)
        return;
    if (on) {
        core_->fnSetTXFrequency(Config.PskNet() ? rxHz_ : txHz_);
        Key(true);
        core_->fnStartTX(Config.PskMode());
    } else if (core_->fnGetTXCharsRemaining() > 0) {
        core_->fnAbortTX();
        core_->fnClearTXBuffer();
    } else {
        core_->fnStopTX();
    }
}

void TPSK31Window::TypeKey(int key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    if (ctrl && key == Qt::Key_C) {
        if (running_) {
            core_->fnSetCWIDString(Config.OwnCall());
            core_->fnSetCWIDSpeed(1);
            core_->fnSendTXCharacter(2, 1);
        }
        return;
    }
    if (ctrl && key == Qt::Key_X) {
        if (!TxBtn->isChecked())
            SetTransmit(true);
        return;
    }
    if (key == Qt::Key_Escape) {
        if (running_)
            core_->fnSendTXCharacter(1, 1);
        return;
    }
    int ch = 0;
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        ch = 13;
    else if (key == Qt::Key_Backspace)
        ch = 8;
    else if (!text.isEmpty() && text[0] >= QChar(' '))
        ch = static_cast<unsigned char>(ToWin1252(text.left(1))[0]);
    if (ch == 0)
        return;
    AppendTo(TxBuf, ch);
    if (running_)
        core_->fnSendTXCharacter(ch, 0);
}

void TPSK31Window::TypeText(const QString& text)
{
    for (const QChar c : text) {
        if (c == QChar('\n') || c == QChar('\r'))
            TypeKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        else if (c.unicode() > 12)
            TypeKey(0, Qt::NoModifier, QString(c));
    }
}

void TPSK31Window::Paste1Click()
{
    QString text;
    for (const QChar c : QApplication::clipboard()->text())
        if (c.unicode() > 12 || c == QChar('\r'))
            text += c;
    TypeText(text);
}

void TPSK31Window::SendFunctionKey(int index)
{
    if (index < 1 || index > 16)
        return;
    const TFunctionKeys keys = PskKeySet().load();
    TQSOForm* qso = QsoWindow();
    TQsoMacroContext context(qso ? &qso->Entry() : nullptr);
    TypeText(FromWin1252(ExpandMacros(index, keys, false, context)));
}

void TPSK31Window::UpdateCaption()
{
    setWindowTitle(holding_ ? QStringLiteral("PSK31 Window [HOLDING]") : QStringLiteral("PSK31 Window"));
}

void TPSK31Window::SetHolding(bool on)
{
    holding_ = on;
    HoldText1->setChecked(on);
    UpdateCaption();
    if (!on && !held_.isEmpty()) {
        const QString text = held_;
        held_.clear();
        for (const QChar c : text)
            AppendTo(Terminal, c == QChar('\n') ? 13 : static_cast<unsigned char>(ToWin1252(QString(c))[0]));
    }
}

void TPSK31Window::TakeCallAt(int position)
{
    const QString all = Terminal->toPlainText();
    if (position < 0 || position > all.size())
        return;
    int a = position, b = position;
    auto word = [](QChar c) { return !c.isSpace(); };
    while (a > 0 && word(all[a - 1]))
        --a;
    while (b < all.size() && word(all[b]))
        ++b;
    const std::string call = ToWin1252(all.mid(a, b - a).trimmed().toUpper());
    TQSOForm* qso = QsoWindow();
    if (call.empty() || !IsValidCall(call) || !qso)
        return;
    qso->StartQsoFromSpot(call, mdPSK3, 0);
}

void TPSK31Window::EnterQSO1Click()
{
    TQSOForm* qso = QsoWindow();
    if (qso && qso->EntryMode() == emRealTime)
        qso->RunOnEntry([](TQsoEntry& e) { e.LogWithExchange(); });
}

void TPSK31Window::Settings1Click()
{
    if (!dialog_) {
        dialog_ = new TPskDialog(this);
        connect(dialog_, &QObject::destroyed, this, [this] { dialog_ = nullptr; });
    }
    dialog_->show();
    dialog_->raise();
    dialog_->activateWindow();
}

void TPSK31Window::EditFunctionKeys1Click()
{
    ButtonFrame->EditKeys();
}

namespace {

// The desktop's mixer: the first of these found on the path opens, else the operator is told.
void OpenMixer(bool playback)
{
    static const char* const mixers[] = {"pavucontrol", "pavucontrol-qt", "gnome-control-center", "alsamixer"};
    for (const char* name : mixers) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (path.isEmpty())
            continue;
        QStringList args;
        if (name == std::string("pavucontrol") || name == std::string("pavucontrol-qt"))
            args << QStringLiteral("--tab=%1").arg(playback ? 3 : 4);
        else if (name == std::string("gnome-control-center"))
            args << QStringLiteral("sound");
        else if (QStandardPaths::findExecutable(QStringLiteral("x-terminal-emulator")).isEmpty())
            continue;
        else {
            args = {QStringLiteral("-e"), path, QStringLiteral("--view=%1").arg(playback ? "playback" : "capture")};
            if (QProcess::startDetached(QStringLiteral("x-terminal-emulator"), args))
                return;
            continue;
        }
        if (QProcess::startDetached(path, args))
            return;
    }
    ShowMessage("No sound mixer found (looked for pavucontrol, pavucontrol-qt, gnome-control-center and "
                "alsamixer in a terminal): set the sound levels with your desktop's own tools.");
}

} // namespace

void TPSK31Window::RxVolume1Click()
{
    OpenMixer(false);
}

void TPSK31Window::TxVolume1Click()
{
    OpenMixer(true);
}

bool TPSK31Window::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == TxBuf && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        ButtonFrame->SetShifted(k->modifiers());
        if (k->key() == Qt::Key_Up || k->key() == Qt::Key_Down) {
            PeakSearch(k->key() == Qt::Key_Up);
            return true;
        }
        if (k->key() >= Qt::Key_F1 && k->key() <= Qt::Key_F8)
            return true;  // sent on release
        if (k->key() == Qt::Key_E && k->modifiers() == Qt::AltModifier)
            return true;  // the bar edits the keys on release
        if (k->matches(QKeySequence::Paste)) {
            Paste1Click();
            return true;
        }
        TypeKey(k->key(), k->modifiers(), k->text());
        return true;
    }
    if (watched == TxBuf && event->type() == QEvent::KeyRelease) {
        auto* k = static_cast<QKeyEvent*>(event);
        ButtonFrame->SetShifted(k->modifiers());
        int index = 0;
        if (ButtonFrame->KeyUp(k->key(), k->modifiers(), index)) {
            if (index > 0)
                SendFunctionKey(index);
            return true;
        }
    }
    if (watched == Terminal->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        auto* m = static_cast<QMouseEvent*>(event);
        TakeCallAt(Terminal->cursorForPosition(m->position().toPoint()).position());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TPSK31Window::PaintMarkers(QPainter& p, int width, int height)
{
    const int range = span_.highHz - span_.lowHz;
    if (range <= 0)
        return;
    auto xOf = [&](int hz) { return (hz - span_.lowHz) * width / range; };
    p.setPen(Qt::red);
    p.drawLine(xOf(rxHz_), 0, xOf(rxHz_), height);
    const QFontMetrics fm(p.font());
    for (const TMarker& m : markers_) {
        if (m.hz <= 0 || m.hz < span_.lowHz || m.hz > span_.highHz)
            continue;
        const int x = xOf(m.hz);
        p.setPen(Qt::yellow);
        p.drawLine(x, 0, x, height);
        const QRect box(x + 2, 1, fm.horizontalAdvance(m.label) + 4, fm.height());
        p.fillRect(box, Qt::yellow);
        p.setPen(Qt::black);
        p.drawText(box, Qt::AlignCenter, m.label);
    }
}

void TPSK31Window::PaintSpectrum(QPainter& p)
{
    const int w = SpectrumDisplay->width(), h = SpectrumDisplay->height();
    p.setPen(QColor(0, 80, 0));
    const int step = h < 100 ? 20 : 10;
    for (int pc = step; pc < 100; pc += step)
        p.drawLine(0, h * pc / 100, w, h * pc / 100);
    if (!fft_.empty()) {
        p.setPen(Qt::yellow);
        const int bins = static_cast<int>(fft_.size());
        QPoint last;
        for (int x = 0; x < w; ++x) {
            const int v = fft_[static_cast<std::size_t>(std::min(bins - 1, x * bins / w))];
            const QPoint pt(x, h - 1 - std::clamp(v, 0, 100) * (h - 1) / 100);
            if (x > 0)
                p.drawLine(last, pt);
            last = pt;
        }
    }
    PaintMarkers(p, w, h);
}

void TPSK31Window::PaintWaterfall(QPainter& p)
{
    if (!waterfall_.isNull())
        p.drawImage(0, 0, waterfall_);
    PaintMarkers(p, WaterFallDisplay->width(), WaterFallDisplay->height());
}

void TPSK31Window::PaintMeter(QPainter& p)
{
    const int w = MeterDisplay->width(), h = MeterDisplay->height();
    const int top = h - std::clamp(level_, 0, 100) * h / 100;
    p.fillRect(QRect(0, top, w, h - top), overload_ ? Qt::red : Qt::yellow);
    const int sq = h - Config.PskSquelch() * h / 100;
    p.setPen(Qt::white);
    p.drawLine(0, sq, w, sq);
}

} // namespace korval
