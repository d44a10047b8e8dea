#pragma once
// TElementsDialog ("Editing group names"): adds, changes, inserts and deletes the log's group
// names through TGroupNamesEditor; OK hands the names to the log, the QSOs keeping theirs.
#include <QDialog>

#include "exchange/group_names_editor.h"

class QPushButton;

namespace korval {

class TOvcSimpleField;
class TOvcVirtualListBox;
class TQSOForm;
class TQsoData;

class TElementsDialog : public QDialog {
    Q_OBJECT
public:
    explicit TElementsDialog(TQsoData* log, QWidget* parent = nullptr);

    TOvcVirtualListBox* F_VLBElements;
    TOvcSimpleField* F_ElementName;
    QPushButton* AddSetButton;
    QPushButton* ChangeSetButton;
    QPushButton* DeleteSetButton;
    QPushButton* InsertSetButton;
    QPushButton* BtnOk;
    QPushButton* BtnCancel;

    const TGroupNamesEditor& Editor() const { return editor_; }

    void F_VLBElementsClick();
    void AddSetButtonClick();
    void ChangeSetButtonClick();
    void DeleteSetButtonClick();
    void InsertSetButtonClick();
    void BtnOkClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    // The list and the name field after a change.
    void ShowList();
    // The operator's row, as the list box has it.
    void TakeListRow();

    TQsoData* log_;
    TGroupNamesEditor editor_;
};

// Filter, "Edit Group Names": runs the editor over the QSO window's log.
void EditGroupNames(TQSOForm* qso);

} // namespace korval
