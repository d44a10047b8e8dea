#pragma once
// "CW Parameters": the keyer's speeds, weight and side tone, marquee and immediate sending, the
// speed measurement and the Tune carrier. It changes the configuration directly; the CW
// keyboard keeps a copy to put back when the operator cancels.
#include <QDialog>

class QCheckBox;
class QPushButton;
class QTimer;

namespace korval {

class TOvcController;
class TOvcNumericField;
class TOvcSpinner;

class TMorseDialog : public QDialog {
    Q_OBJECT
public:
    // Tune keys the transmitter for at most this long, so a forgotten carrier ends by itself.
    static constexpr int DefaultTuneLimitMs = 30000;

    explicit TMorseDialog(QWidget* parent = nullptr);
    ~TMorseDialog() override;

    // Field changes (the fields' and spinners' handlers).
    void F_speedChange();
    void F_wpmChange();
    void F_weightChange();
    void F_ToneChange();
    void F_MarqueeClick();
    void F_ImmediateClick();
    void F_SideToneClick();
    void F_ShowFuncClick();
    void CalibrateBtnClick();
    void TuneBtnClick();

    bool Tuning() const { return tuning_; }
    bool Measuring() const;
    void SetTuneLimitMs(int ms);

    TOvcNumericField *F_speed, *F_wpm, *F_wpm_calc, *F_weight, *F_Tone, *F_measured;
    QCheckBox *F_SideTone, *F_Marquee, *F_Immediate, *F_ShowFunc;
    QPushButton *CalibrateBtn, *TuneBtn, *OkBtn, *CancelBtn;

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void FillFields();
    void RefreshSpeeds();
    void StopTuning();
    void CheckMeasurement();

    TOvcController* controller_ = nullptr;
    QTimer* tuneLimit_ = nullptr;
    QTimer* measure_ = nullptr;
    bool tuning_ = false;
    bool filling_ = false;
};

} // namespace korval
