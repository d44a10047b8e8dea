#include "exchange/windows/set_dialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "entry/windows/ovc_controller.h"
#include "entry/windows/ovc_picture_field.h"
#include "grids/windows/ovc_virtual_list_box.h"
#include "grids/windows/popup_box.h"
#include "logbook/qso_data.h"
#include "logbook/qso_entry.h"
#include "logbook/windows/date_field_keys.h"
#include "logbook/windows/entry_field_error_dialog.h"
#include "logbook/windows/form_fonts.h"
#include "logbook/windows/qso_form.h"

namespace korval {

TSetDialog::TSetDialog(TQsoData* log, QWidget* parent) : QDialog(parent), log_(log), editor_(*log)
{
    setWindowTitle("Selection Editor / Select");
    auto* controller = new TOvcController(this);
    controller->OnError = [](QObject* sender, uint16_t code, const std::string& text) {
        ShowEntryFieldError(sender, code, text);
    };
    F_SelectionName = new TPopupBox(this);
    F_SelectionName->setObjectName("F_SelectionName");
    F_SelectionName->SetStyle(pbsDropDown);
    F_SelectionName->OnChange = [this](TCustomPopupBox* box) {
        // A pick from the list (its text is the item's); typing a new name picks nothing.
        const int i = box->GetItemIndex();
        if (!showing_ && i >= 0 && i != editor_.Shown() && box->GetText() == box->GetItems()[i])
            ShowEntry(i);
    };

    EnabledFilters = new QGroupBox("Enabled Filters", this);
    F_DateActive = new QCheckBox("Date Filter", EnabledFilters);
    F_DateActive->setObjectName("F_DateActive");
    F_SetActive = new QCheckBox("Group Filter", EnabledFilters);
    F_SetActive->setObjectName("F_SetActive");
    auto* enabled = new QVBoxLayout(EnabledFilters);
    enabled->addWidget(F_DateActive);
    enabled->addWidget(F_SetActive);

    DateFilter = new QGroupBox("Date Filter", this);
    F_DateStart = NewDateField(DateFilter, "F_DateStart");
    F_DateEnd = NewDateField(DateFilter, "F_DateEnd");
    auto* keys = new TDateFieldKeys(this);
    keys->AddDate(F_DateStart);
    keys->AddDate(F_DateEnd);
    auto* dates = new QFormLayout(DateFilter);
    dates->addRow("First Date", F_DateStart);
    dates->addRow("Last Date", F_DateEnd);

    AdditionalFilters = new QGroupBox("Additional QSO Filters", this);
    F_QRP = new QCheckBox("QRP", AdditionalFilters);
    F_QRP->setObjectName("F_QRP");
    F_YL = new QCheckBox("YLop", AdditionalFilters);
    F_YL->setObjectName("F_YL");
    auto* extra = new QVBoxLayout(AdditionalFilters);
    extra->addWidget(F_QRP);
    extra->addWidget(F_YL);

    VLBSets = new TOvcVirtualListBox(this);
    VLBSets->setObjectName("VLBSets");
    VLBSets->setToolTip("Double click to toggle");
    VLBSets->OnGetItem = [this](int index, std::string& text) {
        if (index >= 0 && index < static_cast<int>(log_->GroupNames.size()))
            text = editor_.GroupRow(index + 1, log_->GroupNames[static_cast<std::size_t>(index)]);
    };
    VLBSets->OnDblClick = [this] { VLBSetsDblClick(); };

    AddButton = new QPushButton("Add new Selection", this);
    DeleteButton = new QPushButton("Delete current selection", this);
    UpdateButton = new QPushButton("Update changes", this);
    BtnOk = new QPushButton("Accept changes and use new selection", this);
    CancelButton = new QPushButton("Cancel all changes", this);
    AddButton->setObjectName("AddButton");
    DeleteButton->setObjectName("DeleteButton");
    UpdateButton->setObjectName("UpdateButton");
    BtnOk->setObjectName("BtnOk");
    CancelButton->setObjectName("CancelButton");
    connect(AddButton, &QPushButton::clicked, this, [this] { AddButtonClick(); });
    connect(DeleteButton, &QPushButton::clicked, this, [this] { DeleteButtonClick(); });
    connect(UpdateButton, &QPushButton::clicked, this, [this] { UpdateButtonClick(); });
    connect(BtnOk, &QPushButton::clicked, this, [this] { BtnOkClick(); });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout(this);
    auto* name = new QHBoxLayout;
    name->addWidget(new QLabel("Current selection", this));
    name->addWidget(F_SelectionName, 1);
    grid->addLayout(name, 0, 0, 1, 2);
    grid->addWidget(EnabledFilters, 1, 0);
    grid->addWidget(DateFilter, 2, 0);
    grid->addWidget(AdditionalFilters, 3, 0);
    grid->addWidget(VLBSets, 1, 1, 3, 1);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {AddButton, DeleteButton, UpdateButton, BtnOk, CancelButton})
        buttons->addWidget(b);
    grid->addLayout(buttons, 4, 0, 1, 2);
    VLBSets->setMinimumSize(260, 160);

    FillNames();
    ShowEntry(editor_.Shown());
}

TSetDialog::~TSetDialog() = default;

void TSetDialog::showEvent(QShowEvent* e)
{
    SetFormFont(this);
    QDialog::showEvent(e);
}

void TSetDialog::FillNames()
{
    showing_ = true;
    F_SelectionName->GetItems().Clear();
    for (int i = 0; i < editor_.Count(); ++i)
        F_SelectionName->GetItems().Add(editor_.Name(i));
    showing_ = false;
}

void TSetDialog::ShowEntry(int i)
{
    showing_ = true;
    editor_.Show(i);
    const bool editable = editor_.Editable();
    for (QWidget* w : {static_cast<QWidget*>(DateFilter), static_cast<QWidget*>(EnabledFilters),
                       static_cast<QWidget*>(AdditionalFilters), static_cast<QWidget*>(VLBSets),
                       static_cast<QWidget*>(DeleteButton), static_cast<QWidget*>(UpdateButton)})
        w->setEnabled(editable);
    if (i < 0 || i >= editor_.Count()) {
        F_SelectionName->SetText("");
        VLBSets->SetNumItems(0);
    } else {
        F_SelectionName->SetItemIndex(editor_.Shown());
        VLBSets->SetNumItems(static_cast<int>(log_->GroupNames.size()));
    }
    const TQsoSelection& s = editor_.Edited();
    F_DateActive->setChecked(s.DateRange != 0);
    F_SetActive->setChecked(s.GroupFlag != 0);
    ShowDay(F_DateStart, s.FromDate);
    ShowDay(F_DateEnd, s.ToDate == TSelectionEditor::kOpenEnd ? 0 : s.ToDate);
    F_QRP->setChecked(s.Bit(TQsoSelection::kQrpOnlyBit));
    F_YL->setChecked(s.Bit(TQsoSelection::kYlOnlyBit));
    VLBSets->viewport()->update();
    showing_ = false;
}

void TSetDialog::AddButtonClick()
{
    editor_.Add();
    FillNames();
    ShowEntry(editor_.Shown());
}

void TSetDialog::DeleteButtonClick()
{
    editor_.Delete();
    FillNames();
    ShowEntry(editor_.Shown());
}

void TSetDialog::UpdateButtonClick()
{
    editor_.Update(F_DateActive->isChecked(), F_SetActive->isChecked(), FieldDay(F_DateStart), FieldDay(F_DateEnd),
                   F_SelectionName->GetText(), F_QRP->isChecked(), F_YL->isChecked());
    FillNames();
    ShowEntry(editor_.Shown());
}

void TSetDialog::VLBSetsDblClick()
{
    if (!editor_.Editable() || VLBSets->ItemIndex() < 0)
        return;
    editor_.ToggleGroup(VLBSets->ItemIndex() + 1);
    VLBSets->viewport()->update();
}

void TSetDialog::BtnOkClick()
{
    result_ = editor_.Accept(*log_);
    if (result_ == TSelectionEditor::arCancelled)
        reject();
    else
        accept();
}

int RunSelectionDialog(TQsoData* log, QWidget* parent)
{
    if (!log)
        return 0;
    TSetDialog dlg(log, parent);
    if (dlg.exec() != QDialog::Accepted)
        return 0;
    return dlg.Result() == TSelectionEditor::arReplaced ? 2 : 1;
}

} // namespace korval
