#pragma once
// "PSK31 Settings": a modeless dialog over the PSK31 terminal. Every change is stored in the
// configuration at once and, where the modem uses it, sent to both receive channels.
#include <QDialog>

class QCheckBox;
class QComboBox;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace korval {

class TPSK31Window;

class TPskDialog : public QDialog {
    Q_OBJECT
public:
    // Loads every control from the settings and the window's frequencies.
    explicit TPskDialog(TPSK31Window* window);

    QTabWidget* OvcNotebook1 = nullptr;
    QSpinBox *RxFreq = nullptr, *AFCRnge = nullptr, *TxFreq = nullptr, *Smoothing = nullptr,
             *BaseLine = nullptr, *CenterFreq = nullptr;
    QCheckBox *AFC = nullptr, *Net = nullptr, *F_Other = nullptr, *SquelchMode = nullptr,
              *AlternateColors = nullptr;
    QComboBox *Keying = nullptr, *Mode = nullptr;
    QRadioButton *KeyLineDtr = nullptr, *KeyLineRts = nullptr;  // RadioGroup1

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void Load();
    void Bind();
    void SendAfc();
    void SendFftMode();
    void KeyingChanged(bool closePort);
    void EnableSpinners();

    TPSK31Window* window_;
};

} // namespace korval
