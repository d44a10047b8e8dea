#pragma once
// TGetReportMode ("Select Band/Mode"): the band or the mode group a listing or summary is made
// for. Two check lists, each with one checked item; choosing an item other than "ALL" in one list
// puts the other back to "ALL", so at most one of the two is chosen.
#include <QDialog>

class QPushButton;

namespace korval {

class TOvcCheckList;

class TGetReportMode : public QDialog {
    Q_OBJECT
public:
    explicit TGetReportMode(QWidget* parent = nullptr);

    TOvcCheckList* CL_station_modes;
    TOvcCheckList* CL_station_bands;
    QPushButton* BtnOk;

    // The choice: mode group 0 (all) to 3, band 0 (all) to 15.
    int ModeGroup() const { return mode_; }
    int Band() const { return band_; }
    // Checks an item as a click on its box does.
    void Choose(TOvcCheckList* list, int index);

protected:
    void showEvent(QShowEvent* e) override;

private:
    void StateChanged(TOvcCheckList* list, int index, bool checked);
    int mode_ = 0;
    int band_ = 0;
    bool syncing_ = false;
};

} // namespace korval
