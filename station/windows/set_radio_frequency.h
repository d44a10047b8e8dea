#pragma once
// "Radio Frequency control": the radio's main and QSX frequencies, mode and split in fields the
// operator edits; every change is sent to the radio, and the fields follow the radio when it
// changes. Up and Down step the frequency by the mode's step (Shift ten times, Ctrl a hundredth
// of a kHz; Ctrl+Shift jumps to the band's CW/phone cut-off).
#include <QWidget>

#include <cstdint>

class QCheckBox;
class QPushButton;

namespace korval {

class TOvcController;
class TOvcNumericField;
class TWheelx;

class TSetRadioFrequency : public QWidget {
    Q_OBJECT
public:
    // Lists the modes the running radio can write.
    explicit TSetRadioFrequency(QWidget* parent = nullptr);
    ~TSetRadioFrequency() override;

    // The radio changed (the main window's notification): the fields follow it; without a radio
    // the window closes.
    void UpdateFromRadio();
    // Sends the fields to the radio.
    void ApplyToRadio();

    TOvcNumericField* F_AVFO;
    TWheelx* Radio_Mode;
    TOvcNumericField* F_BVFO;
    QCheckBox* F_Split;
    QPushButton* Button1;

    double MainKHz() const { return main_; }
    double QsxKHz() const { return qsx_; }
    std::uint8_t Mode() const { return mode_; }

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void ReadRadio();
    void ModeChosen();
    void FieldLeft(TOvcNumericField* field);
    void SplitClicked();
    bool FrequencyKey(TOvcNumericField* field, QKeyEvent* e);

    TOvcController* controller_;
    double main_ = 0, qsx_ = 0;
    std::uint8_t mode_ = 14;
    int updating_ = 0;
    bool sending_ = false;
    bool shown_ = false;
};

} // namespace korval
