#pragma once
// TContestDialog ("Contest Mode"): the contest fields of the configuration: contest mode on, its
// start date and time (the dupe check reaches back to it), the next serial number and the text
// added to each QSO's note.
#include <QDialog>

class QCheckBox;
class QPushButton;

namespace korval {

class TOvcNumericField;
class TOvcPictureField;
class TOvcSimpleField;
class TOvcSpinner;
class TQSOForm;

class TContestDialog : public QDialog {
    Q_OBJECT
public:
    explicit TContestDialog(QWidget* parent = nullptr);

    QCheckBox* F_enabled;
    TOvcPictureField* F_Date;
    TOvcPictureField* F_Time;
    TOvcNumericField* F_seqnr;
    TOvcSpinner* SeqSpinner;
    TOvcSimpleField* FContest_Text;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

    void OKBtnClick();

protected:
    void showEvent(QShowEvent* e) override;
};

// QSO, "Contest Mode": runs the dialog; on OK the QSO window shows the serial number and checks
// the call shown for a dupe again. The menu item's check mark follows Config.ContestMode().
void EditContestMode(TQSOForm* qso);

} // namespace korval
