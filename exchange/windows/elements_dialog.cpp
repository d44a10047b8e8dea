#include "exchange/windows/elements_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "entry/windows/ovc_controller.h"
#include "entry/windows/ovc_simple_field.h"
#include "grids/windows/ovc_virtual_list_box.h"
#include "logbook/qso_data.h"
#include "logbook/qso_entry.h"
#include "logbook/windows/form_fonts.h"
#include "logbook/windows/qso_form.h"

namespace korval {

TElementsDialog::TElementsDialog(TQsoData* log, QWidget* parent) : QDialog(parent), log_(log), editor_(*log)
{
    setWindowTitle("Editing group names");
    new TOvcController(this);
    F_VLBElements = new TOvcVirtualListBox(this);
    F_VLBElements->setObjectName("F_VLBElements");
    F_VLBElements->setToolTip("Listing of known group names");
    F_VLBElements->OnGetItem = [this](int index, std::string& text) {
        if (index >= 0 && index < editor_.Count())
            text = editor_.Row(index);
    };
    F_VLBElements->OnClick = [this] { F_VLBElementsClick(); };
    F_VLBElements->setMinimumSize(260, 200);
    F_ElementName = new TOvcSimpleField(this);
    F_ElementName->setObjectName("F_ElementName");
    F_ElementName->SetMaxLength(TGroupNamesEditor::kNameLength);
    AddSetButton = new QPushButton("Add name", this);
    ChangeSetButton = new QPushButton("Accept changed name", this);
    DeleteSetButton = new QPushButton("Delete name", this);
    InsertSetButton = new QPushButton("Insert new name", this);
    BtnOk = new QPushButton("OK", this);
    BtnCancel = new QPushButton("Cancel", this);
    AddSetButton->setObjectName("AddSetButton");
    ChangeSetButton->setObjectName("ChangeSetButton");
    DeleteSetButton->setObjectName("DeleteSetButton");
    InsertSetButton->setObjectName("InsertSetButton");
    BtnOk->setObjectName("BtnOk");
    BtnCancel->setObjectName("BtnCancel");
    connect(AddSetButton, &QPushButton::clicked, this, [this] { AddSetButtonClick(); });
    connect(ChangeSetButton, &QPushButton::clicked, this, [this] { ChangeSetButtonClick(); });
    connect(DeleteSetButton, &QPushButton::clicked, this, [this] { DeleteSetButtonClick(); });
    connect(InsertSetButton, &QPushButton::clicked, this, [this] { InsertSetButtonClick(); });
    connect(BtnOk, &QPushButton::clicked, this, [this] { BtnOkClick(); });
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(F_VLBElements, 0, 0, 1, 2);
    grid->addWidget(new QLabel("Current Groupname", this), 1, 0);
    grid->addWidget(F_ElementName, 1, 1);
    auto* edits = new QHBoxLayout;
    for (QPushButton* b : {AddSetButton, ChangeSetButton, DeleteSetButton, InsertSetButton})
        edits->addWidget(b);
    grid->addLayout(edits, 2, 0, 1, 2);
    auto* closing = new QHBoxLayout;
    closing->addWidget(BtnOk);
    closing->addWidget(BtnCancel);
    grid->addLayout(closing, 3, 0, 1, 2);
    ShowList();
}

void TElementsDialog::showEvent(QShowEvent* e)
{
    SetFormFont(this);
    QDialog::showEvent(e);
}

void TElementsDialog::ShowList()
{
    F_VLBElements->SetNumItems(editor_.Count());
    F_VLBElements->SetItemIndex(editor_.Selected());
    F_VLBElements->viewport()->update();
    F_ElementName->SetAsString(editor_.SelectedName());
}

void TElementsDialog::TakeListRow()
{
    editor_.Select(F_VLBElements->ItemIndex());
}

void TElementsDialog::F_VLBElementsClick()
{
    TakeListRow();
    F_ElementName->SetAsString(editor_.SelectedName());
}

void TElementsDialog::AddSetButtonClick()
{
    if (editor_.Add(F_ElementName->GetAsString()))
        ShowList();
}

void TElementsDialog::ChangeSetButtonClick()
{
    TakeListRow();
    if (editor_.Change(F_ElementName->GetAsString()))
        ShowList();
}

void TElementsDialog::DeleteSetButtonClick()
{
    TakeListRow();
    if (editor_.Delete())
        ShowList();
}

void TElementsDialog::InsertSetButtonClick()
{
    TakeListRow();
    if (editor_.Insert(F_ElementName->GetAsString()))
        ShowList();
}

void TElementsDialog::BtnOkClick()
{
    editor_.Apply(*log_);
    accept();
}

void EditGroupNames(TQSOForm* qso)
{
    if (!qso)
        return;
    TElementsDialog dlg(qso->Entry().Log(), qso);
    if (dlg.exec() == QDialog::Accepted)
        qso->RunOnEntry([](TQsoEntry& e) { e.LogChanged(false); });
}

} // namespace korval
