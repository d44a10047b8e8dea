#pragma once
// The two bulk-change dialogs of "Multiple QSOs operations": TAskGroupNr ("Set Group Number")
// and TAskNewMode ("Set New Mode") give the QSOs the QSO window selects a new group number or
// mode, and report how many changed.
#include <QDialog>

class QLabel;
class QPushButton;

namespace korval {

class TOvcNumericField;
class TQSOForm;
class TWheelx;

class TAskGroupNr : public QDialog {
    Q_OBJECT
public:
    explicit TAskGroupNr(TQSOForm* qso);

    QLabel* Label1;
    TOvcNumericField* F_NR;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

    void OKBtnClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    TQSOForm* qso_;
};

class TAskNewMode : public QDialog {
    Q_OBJECT
public:
    explicit TAskNewMode(TQSOForm* qso);

    QLabel* Label1;
    TWheelx* F_Modex;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

    void OKBtnClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    TQSOForm* qso_;
};

// "Set Group number" and "Set Mode": the dialogs run modally over a non-empty log.
void AskGroupNumber(TQSOForm* qso);
void AskNewMode(TQSOForm* qso);

} // namespace korval
