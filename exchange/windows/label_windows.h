#pragma once
// The label editor ("Label Editor": the layout used for printing, the two custom layouts with
// their units, the label fonts and options, a preview of sample labels) and the label print
// dialog ("Print QSL labels": what is printed, the re-routing of QSOs to countries without a
// bureau, the skipped positions of the first sheet).
#include <QDialog>

#include <memory>
#include <string>

#include "exchange/label_layout.h"
#include "exchange/label_print.h"
#include "logbook/config_record.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace korval {

class TLabelEditor : public QDialog {
    Q_OBJECT
public:
    // Works on the configuration record; Cancel puts the record back as it was.
    explicit TLabelEditor(TConfigRecord& config, QWidget* parent = nullptr);

    QComboBox *CBW, *F_Units;
    QDoubleSpinBox *F_LabelWidth, *F_LabelHeight, *F_SpacingWidth, *F_SpacingHeight, *F_SpacingLeft, *F_SpacingTop,
        *F_PageWidth, *F_PageHeight, *F_RightShift, *F_DownShift;
    QSpinBox *F_NumAcross, *F_NumDown, *F_LabMaxQSOs;
    QLineEdit *F_PaperName, *F_LabHeaderFontName, *F_LabBodyFontName;
    QLabel *PageWidthLabel, *PageHeightLabel;
    QCheckBox *F_Portrait, *F_LabUseLines, *F_Commercial, *F_LabCallRightAlgn;
    QPushButton *BtnCopy, *BtnPreview, *BtnOK, *BtnCancel;

    const TLabelLayoutList& Layouts() const { return list_; }
    int Shown() const { return shown_; }
    void ShowLayout(int index);
    void StoreLayout(int index);
    void SelectLayout(int index);
    void UnitsChanged();
    void BtnCopyClick();
    void SaveAll();
    void BtnPreviewClick();
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chooseFont(bool callFont);
    void updatePaperFields();

    TConfigRecord& config_;
    TConfigRecord kept_;
    TLabelLayoutList list_;
    TLabelSettings settings_;
    int shown_ = 0;
    bool holdUnits_ = false;
};

class TPrintLabelsDialog : public QDialog {
    Q_OBJECT
public:
    TPrintLabelsDialog(TQsoData& log, int kind, TLabelLookups lookups, QWidget* parent = nullptr);

    QComboBox *F_CurrentLabel, *F_QSL_method, *Fqso_methodx;
    QCheckBox *F_PrintQSLMgr, *F_PrintMethod, *F_PrintGroup;
    QSpinBox* F_skip;
    QLineEdit* F_Count;
    QLabel* Panel1;
    QPushButton *BtnPrint, *BtnEdit, *BtnMarkAll, *BtnClose;

    TLabelQueue& Queue() { return queue_; }
    void BuildList();
    // Prints; closes with 2 when the labels went to the printer, which marks the QSOs (or SWL
    // reports) printed on them.
    void BtnPrintClick();
    // Marks every listed QSO (or SWL report) printed; closes with 1.
    void BtnMarkAllClick();
    void BtnEditClick();

private:
    void loadLayouts();
    TLabelChoice choice() const;

    TQsoData& log_;
    TLabelQueue queue_;
    TLabelLayoutList list_;
};

// The sample labels of the editor's preview on the layout (a grid every half inch, or every
// centimetre for mm layouts).
void PreviewSampleLabels(const TLabelLayout& layout, const TLabelSettings& settings, QWidget* owner);

} // namespace korval
