#pragma once
// TSetDialog ("Selection Editor / Select"): edits the log's saved selections (date range, group
// set, QRP and YL) and makes one of them the current selection, through TSelectionEditor.
#include <QDialog>

#include <memory>

#include "exchange/selection_editor.h"

class QCheckBox;
class QGroupBox;
class QPushButton;

namespace korval {

class TOvcPictureField;
class TOvcVirtualListBox;
class TPopupBox;

class TSetDialog : public QDialog {
    Q_OBJECT
public:
    explicit TSetDialog(TQsoData* log, QWidget* parent = nullptr);
    ~TSetDialog() override;

    TPopupBox* F_SelectionName;
    QGroupBox* EnabledFilters;
    QCheckBox* F_DateActive;
    QCheckBox* F_SetActive;
    QGroupBox* DateFilter;
    TOvcPictureField* F_DateStart;
    TOvcPictureField* F_DateEnd;
    TOvcVirtualListBox* VLBSets;
    QGroupBox* AdditionalFilters;
    QCheckBox* F_QRP;
    QCheckBox* F_YL;
    QPushButton* AddButton;
    QPushButton* DeleteButton;
    QPushButton* UpdateButton;
    QPushButton* BtnOk;
    QPushButton* CancelButton;

    const TSelectionEditor& Editor() const { return editor_; }
    // What OK did (arCancelled when it closed as cancelled).
    TSelectionEditor::TAcceptResult Result() const { return result_; }

    void ShowEntry(int i);
    void AddButtonClick();
    void DeleteButtonClick();
    void UpdateButtonClick();
    void VLBSetsDblClick();
    void BtnOkClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    void FillNames();

    TQsoData* log_;
    TSelectionEditor editor_;
    TSelectionEditor::TAcceptResult result_ = TSelectionEditor::arCancelled;
    bool showing_ = false;
};

// Filter, "Selection": runs the editor over the log. 0 cancelled (nothing changed), 1 another
// current selection, 2 that and the saved selections changed (the log is then modified).
int RunSelectionDialog(TQsoData* log, QWidget* parent);

} // namespace korval
