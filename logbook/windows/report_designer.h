#pragma once
// The report designer ("Report Generator") and the report selector ("Select Report") of the log
// list: the designer edits the report definitions (name, the columns from the 52 report fields
// in order, sort order, note width) and saves them at once on OK; the selector only picks a
// report and a sort order.
#include <QDialog>

#include <functional>

class QComboBox;
class QListWidget;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace korval {

class TReportDefinitions;

class TReportDesignerDialog : public QDialog {
    Q_OBJECT
public:
    // report: the definition shown first.
    TReportDesignerDialog(TReportDefinitions& defs, int report, QWidget* parent = nullptr);

    QComboBox *F_CurrentReport, *F_SortIndex;
    QSpinBox* F_NoteWidth;
    QListWidget *SrcList, *DstList;
    QToolButton *IncludeBtn, *ExcludeBtn, *ExAllBtn, *ButtonUp, *ButtonDown;
    QPushButton *BtnOk, *NewReportButton, *BtnCancel;

    int Report() const { return report_; }
    void LoadReport(int n);
    void IncludeBtnClick();
    void ExcludeBtnClick();
    void ExAllBtnClick();
    void MoveSelected(int step);
    void NewReportButtonClick();
    // Stores the shown definition and saves the file; false when the file could not be written
    // (the operator was told, the dialog stays open).
    bool BtnOkClick();

private:
    void moveItem(QListWidget* from, QListWidget* to);
    void updateButtons();

    TReportDefinitions& defs_;
    int report_ = 0;
    bool loading_ = false;
};

class TSelectReport : public QDialog {
    Q_OBJECT
public:
    TSelectReport(const TReportDefinitions& defs, int report, int sortOrder, QWidget* parent = nullptr);

    QComboBox *F_CurrentReport, *F_CurrentSortIndex;
    QPushButton *BtnOk, *BtnCancel;

    int Report() const;
    int SortOrder() const;

private:
    const TReportDefinitions& defs_;
};

} // namespace korval
