#pragma once
// The station's antenna rotator as the main window keeps it: the rotator engine over the
// settings of the configuration record, turned by the QSO window's rotator commands for the band
// the QSO window shows. Without the rotator window its status texts are kept (LastReport) and
// the warnings among them beep.
#include <functional>
#include <memory>
#include <string>

#include "station/rotator.h"

namespace korval {

class TQSOForm;

class TStationRotator : private TRotatorHost {
public:
    // qsoWindow answers the QSO window, or null while there is none.
    explicit TStationRotator(std::function<TQSOForm*()> qsoWindow);
    ~TStationRotator() override;

    // The configuration's rotator block, as the engine takes it.
    static TRotatorSettings SettingsFromConfig();

    void Open();
    void Close();
    void Turn(int azimuth);
    void Stop();
    bool IsOpen() const { return rotator_.IsOpen(); }
    const std::string& LastReport() const { return lastReport_; }
    // For tests: the bytes go here instead of the serial port.
    void SetSender(TRotator::TSender sender) { rotator_.SetSender(std::move(sender)); }

private:
    int SelectedBand() const override;
    void ReportRotator(const std::string& text) override;
    void OpenFailed() override;
    void EnableRotatorMenu(bool on) override;

    std::function<TQSOForm*()> qsoWindow_;
    TRotatorSettings settings_;
    TRotator rotator_{settings_, *this};
    std::string lastReport_;
};

} // namespace korval
