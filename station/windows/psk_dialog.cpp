#include "station/windows/psk_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMenu>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "logbook/config_record.h"
#include "station/psk31/psk_key_port.h"
#include "station/windows/psk31_window.h"

namespace korval {

namespace {

// The highest COM port offered for keying.
constexpr int kKeyingPorts = 16;

QSpinBox* Spinner(const char* name, int low, int high, QWidget* parent)
{
    auto* s = new QSpinBox(parent);
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(low, high);
    return s;
}

QCheckBox* Check(const char* name, const QString& caption, QWidget* parent)
{
    auto* c = new QCheckBox(caption, parent);
    c->setObjectName(QString::fromLatin1(name));
    return c;
}

} // namespace

TPskDialog::TPskDialog(TPSK31Window* window) : QDialog(window, Qt::Window), window_(window)
{
    setObjectName(QStringLiteral("PskDialog"));
    setWindowTitle(QStringLiteral("PSK31 Settings"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    OvcNotebook1 = new QTabWidget(this);
    OvcNotebook1->setObjectName(QStringLiteral("OvcNotebook1"));
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(OvcNotebook1);
    auto page = [this](const QString& name) {
        auto* w = new QWidget(OvcNotebook1);
        auto* f = new QFormLayout(w);
        OvcNotebook1->addTab(w, name);
        return std::make_pair(w, f);
    };

    auto [rx, rxLay] = page(QStringLiteral("Rx"));
    RxFreq = Spinner("RxFreq", 100, 3200, rx);
    AFC = Check("AFC", QStringLiteral("AFC"), rx);
    AFCRnge = Spinner("AFCRnge", 0, 255, rx);
    rxLay->addRow(QStringLiteral("RX Frequency"), RxFreq);
    rxLay->addRow(AFC);
    rxLay->addRow(QStringLiteral("AFC  Range"), AFCRnge);

    auto [tx, txLay] = page(QStringLiteral("Tx"));
    TxFreq = Spinner("TxFreq", 100, 3200, tx);
    Net = Check("Net", QStringLiteral("Net"), tx);
    Keying = new QComboBox(tx);
    Keying->setObjectName(QStringLiteral("Keying"));
    Keying->addItem(QStringLiteral("VOX"));
    Keying->addItem(QStringLiteral("CW interface"));
    for (int i = 1; i <= kKeyingPorts; ++i)
        Keying->addItem(QStringLiteral("COM%1").arg(i));
    auto* lineBox = new QGroupBox(QStringLiteral("Key line"), tx);
    lineBox->setObjectName(QStringLiteral("RadioGroup1"));
    auto* lineLay = new QVBoxLayout(lineBox);
    KeyLineDtr = new QRadioButton(QStringLiteral("DTR"), lineBox);
    KeyLineRts = new QRadioButton(QStringLiteral("RTS"), lineBox);
    lineLay->addWidget(KeyLineDtr);
    lineLay->addWidget(KeyLineRts);
    F_Other = Check("F_Other", QStringLiteral("Other RS232 line high"), tx);
    txLay->addRow(QStringLiteral("Tx Frequency"), TxFreq);
    txLay->addRow(Net);
    txLay->addRow(QStringLiteral("Tx Keying"), Keying);
    txLay->addRow(lineBox);
    txLay->addRow(F_Other);

    auto [display, displayLay] = page(QStringLiteral("Display"));
    Smoothing = Spinner("Smoothing", 0, 20, display);
    BaseLine = Spinner("BaseLine", 0, 100, display);
    SquelchMode = Check("SquelchMode", QStringLiteral("Slow IMD Meter"), display);
    AlternateColors = Check("AlternateColors", QStringLiteral("Alternate colors"), display);
    displayLay->addRow(QStringLiteral("Smoothing"), Smoothing);
    displayLay->addRow(QStringLiteral("Baseline "), BaseLine);
    displayLay->addRow(SquelchMode);
    displayLay->addRow(AlternateColors);

    auto [other, otherLay] = page(QStringLiteral("Other"));
    Mode = new QComboBox(other);
    Mode->setObjectName(QStringLiteral("Mode"));
    Mode->addItem(QStringLiteral("BPSK"));
    CenterFreq = Spinner("CenterFreq", 100, 3200, other);
    otherLay->addRow(QStringLiteral("Mode"), Mode);
    otherLay->addRow(QStringLiteral("Central Frequency"), CenterFreq);

    Load();
    Bind();
}

void TPskDialog::Load()
{
    RxFreq->setValue(window_->RxFrequency());
    TxFreq->setValue(window_->TxFrequency());
    AFC->setChecked(Config.PskAfc());
    AFCRnge->setValue(Config.PskAfcRange());
    Net->setChecked(Config.PskNet());
    Keying->setCurrentIndex(std::clamp(Config.PskKeying() - 1, 0, Keying->count() - 1));
    (Config.PskKeyLine() == 0 ? KeyLineDtr : KeyLineRts)->setChecked(true);
    F_Other->setChecked(Config.PskOtherLineHigh());
    Smoothing->setValue(Config.PskSmoothing());
    BaseLine->setValue(Config.PskBaseline());
    SquelchMode->setChecked(Config.PskSlowImd());
    AlternateColors->setChecked(Config.PskAltColours());
    Mode->setCurrentIndex(std::clamp<int>(Config.PskMode(), 0, Mode->count() - 1));
    CenterFreq->setValue(Config.PskCenterFreq());
    EnableSpinners();
}

// Bound after loading, so that loading stores nothing.
void TPskDialog::Bind()
{
    auto spin = [this](QSpinBox* s, std::function<void(int)> f) {
        connect(s, &QSpinBox::valueChanged, this, std::move(f));
    };
    auto check = [this](QAbstractButton* c, std::function<void(bool)> f) {
        connect(c, &QAbstractButton::toggled, this, std::move(f));
    };
    TPskCore& core = window_->Core();
    TPSK31Window* w = window_;
    spin(RxFreq, [w, &core](int v) {
        Config.SetPskRxFreq(static_cast<std::uint16_t>(v));
        if (w->Running())
            core.fnSetRXFrequency(v, 0, 0);
    });
    check(AFC, [this](bool on) {
        Config.SetPskAfc(on);
        EnableSpinners();
        SendAfc();
    });
    spin(AFCRnge, [this](int v) {
        Config.SetPskAfcRange(static_cast<std::uint8_t>(v));
        SendAfc();
    });
    spin(TxFreq, [w](int v) { w->SetTxFrequency(v); });
    check(Net, [this, w](bool on) {
        Config.SetPskNet(on);
        EnableSpinners();
        w->SetTxFrequency(w->TxFrequency());
    });
    connect(Keying, &QComboBox::currentIndexChanged, this, [this](int index) {
        Config.SetPskKeying(static_cast<std::uint8_t>(index + 1));
        KeyingChanged(true);
    });
    check(KeyLineRts, [this](bool on) {
        Config.SetPskKeyLine(on ? 1 : 0);
        KeyingChanged(false);
    });
    check(F_Other, [this](bool on) {
        Config.SetPskOtherLineHigh(on);
        KeyingChanged(false);
    });
    spin(Smoothing, [this](int v) {
        Config.SetPskSmoothing(static_cast<std::uint8_t>(v));
        SendFftMode();
    });
    spin(BaseLine, [this](int v) {
        Config.SetPskBaseline(static_cast<std::uint8_t>(v));
        SendFftMode();
    });
    check(SquelchMode, [w, &core](bool on) {
        Config.SetPskSlowImd(on);
        if (!w->Running())
            return;
        for (int ch = 0; ch < 2; ++ch)
            core.fnSetSquelchThreshold(Config.PskSquelch(), on ? 1 : 0, ch);
    });
    check(AlternateColors, [](bool on) { Config.SetPskAltColours(on); });
    connect(Mode, &QComboBox::currentIndexChanged, this, [w, &core](int index) {
        Config.SetPskMode(static_cast<std::uint8_t>(index));
        if (!w->Running())
            return;
        for (int ch = 0; ch < 2; ++ch)
            core.fnSetRXPSKMode(index, ch);
    });
    spin(CenterFreq, [](int v) { Config.SetPskCenterFreq(static_cast<std::uint16_t>(v)); });
}

void TPskDialog::SendAfc()
{
    if (!window_->Running())
        return;
    const int limit = Config.PskAfc() ? Config.PskAfcRange() : 0;
    for (int ch = 0; ch < 2; ++ch)
        window_->Core().fnSetAFCLimit(limit, ch);
}

void TPskDialog::SendFftMode()
{
    if (window_->Running())
        window_->Core().fnSetFFTMode(Config.PskSmoothing(), 100, std::max<int>(1, Config.PskBaseline()));
}

// A new keying setting never leaves the transmitter keyed by the old one.
void TPskDialog::KeyingChanged(bool closePort)
{
    TPskKeyPort& port = PskKeyPort();
    if (!port.IsOpen())
        return;
    port.DropLines();
    if (closePort)
        port.Close();
}

void TPskDialog::EnableSpinners()
{
    RxFreq->setEnabled(!AFC->isChecked());
    TxFreq->setEnabled(!Net->isChecked());
}

void TPskDialog::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(e);
}

void TPskDialog::contextMenuEvent(QContextMenuEvent* e)
{
    QMenu menu(this);
    QAction* a = menu.addAction(QStringLiteral("Switch to PSK31 Windows"));
    a->setObjectName(QStringLiteral("SwitchToPsk1"));
    connect(a, &QAction::triggered, this, [this] {
        window_->raise();
        window_->activateWindow();
    });
    menu.exec(e->globalPos());
}

} // namespace korval
