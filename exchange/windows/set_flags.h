#pragma once
// TSetFlags ("Change award flags"): clears or advances the submitted and checked bits of one
// award category over the selected QSOs. "Change" acts and keeps the dialog open with the number
// of QSOs changed; "Close" closes it.
#include <QDialog>

class QLabel;
class QPushButton;

namespace korval {

class TQSOForm;
class TWheelx;

class TSetFlags : public QDialog {
    Q_OBJECT
public:
    // qso: the QSO window whose log is changed and told about it.
    explicit TSetFlags(TQSOForm* qso);

    TWheelx* F_award;
    TWheelx* F_action;
    QLabel* F_Count;
    QPushButton* BtnOK;
    QPushButton* BtnCancel;

    void OKBtnClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    TQSOForm* qso_;
};

// Reports, "Change Award Flags": runs the dialog over the QSO window's log.
void OpenSetFlags(TQSOForm* qso);

} // namespace korval
