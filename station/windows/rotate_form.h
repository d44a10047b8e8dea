#pragma once
// The antenna rotator in the program: TRotatorControl opens it on its serial port with the
// configured kind, turns it by the band rules of the configuration and tells its menu state;
// TRotateForm ("Rotator Control") edits the heading, the correction, the extra offset and the
// rule of each band, and shows the rotator's status texts in its caption.
//
// What the QSO window uses (its rotator menu):
//   TRotatorControl& r = RotatorControl();
//   r.SetRotatorAzimuth(heading);        // Short Path; Long Path with heading + 180
//   r.StopRotator();                     // Stop Rotator
//   r.ShowRotateForm(parent);            // Parameters: opens or brings up the one window
//   connect(&r, &TRotatorControl::rotatorMenuEnabled, ...);  // EnableRotatorMenu
//   r.IsOpen();                          // the menu's state when the QSO window is created
// and the band the rotator turns for comes from BandSource, which the main window sets.
#include <QDialog>
#include <QObject>
#include <QPointer>

#include "logbook/config_record.h"
#include "station/rotator.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class QPushButton;

namespace korval {

class TOvcController;
class TOvcNumericField;
class TRotateForm;
class TWheelx;

class TRotatorControl : public QObject, private TRotatorHost {
    Q_OBJECT
public:
    TRotatorControl();
    ~TRotatorControl() override;

    // The band selected in the QSO window (0: none); the main window sets it.
    std::function<int()> BandSource;

    void OpenRotator();
    void CloseRotator();
    bool IsOpen() const { return rotator_.IsOpen(); }
    // Shows the bearing in the rotator window (when open) and turns to it.
    void SetRotatorAzimuth(std::int32_t azimuth);
    void StopRotator();
    // Opens the rotator window, or brings it up when it is open.
    TRotateForm* ShowRotateForm(QWidget* parent);
    TRotateForm* RotateForm() const { return form_.data(); }
    // The last status text.
    const std::string& Status() const { return status_; }

    // Tests: where the command bytes go instead of the serial port.
    void SetSender(TRotator::TSender sender) { rotator_.SetSender(std::move(sender)); }

signals:
    void rotatorMenuEnabled(bool on);

private:
    friend class TRotateForm;
    // TRotatorHost
    int SelectedBand() const override;
    void ReportRotator(const std::string& text) override;
    void OpenFailed() override;
    void EnableRotatorMenu(bool on) override { emit rotatorMenuEnabled(on); }

    // The engine's settings from the configuration.
    void ReadSettings();

    TRotatorSettings settings_;
    TRotator rotator_;
    QPointer<TRotateForm> form_;
    std::string status_;
};

// The program's rotator.
TRotatorControl& RotatorControl();

class TRotateForm : public QDialog {
    Q_OBJECT
public:
    explicit TRotateForm(TRotatorControl& control, QWidget* parent = nullptr);
    ~TRotateForm() override;

    TOvcNumericField* F_Heading;
    QPushButton *Btn_rotate, *Btn_Stop;
    TOvcNumericField* F_Corr;
    TOvcNumericField* F_offset;
    TWheelx* F_Band;
    TWheelx* F_Status;
    QPushButton *Button1, *Button2;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void ShowBand(int band);
    void StoreRule();
    void StoreOffsets();

    TRotatorControl& control_;
    TOvcController* controller_;
    std::array<std::uint8_t, TConfigRecord::RotatorBlockSize> saved_ {};  // the block at creation
    int band_ = 1;
    bool showing_ = false;
};

} // namespace korval
