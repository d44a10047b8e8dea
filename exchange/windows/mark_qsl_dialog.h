#pragma once
// TMarkQSLDialog ("Mark QSOs for QSL"): queues QSL cards for the QSOs that would bring a needed
// award entity, county, island or DX station, with a QSL route and a re-send period per row
// ("Mixed", "Band", "Mode") and a date limit.
#include <QDialog>

#include "exchange/mark_for_qsl.h"

class QLabel;
class QPushButton;

namespace korval {

class TOvcNumericField;
class TOvcPictureField;
class TOvcSpinner;
class TQSOForm;
class TWheelx;

class TMarkQSLDialog : public QDialog {
    Q_OBJECT
public:
    explicit TMarkQSLDialog(TQSOForm* qso);

    TWheelx* F_award;
    TWheelx* F_Mixed;
    TWheelx* F_Band;
    TWheelx* F_Mode;
    TOvcNumericField* F_Mixed_weeks;
    TOvcNumericField* F_Band_weeks;
    TOvcNumericField* F_Mode_weeks;
    TOvcSpinner* MixedSpinner;
    TOvcSpinner* BandSpinner;
    TOvcSpinner* ModeSpinner;
    QLabel* WeeksLabel;
    TOvcPictureField* F_DateAfter;
    QPushButton* BtnOK;
    QPushButton* BtnCancel;

    // The dialog's choices as the marking takes them (today: the UTC date).
    TMarkForQslRequest Request() const;
    void F_awardChange();
    void OKBtnClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    struct TRow {
        QLabel* label;
        TWheelx* route;
        TOvcNumericField* weeks;
        TOvcSpinner* spinner;
    };
    TRow rows_[3];
    TQSOForm* qso_;
};

// Labels, "Mark for QSL": runs the dialog modally and shows the QSO window again.
void OpenMarkForQsl(TQSOForm* qso);

} // namespace korval
