#include "exchange/windows/ask_group_nr.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "entry/windows/ovc_controller.h"
#include "entry/windows/ovc_numeric_field.h"
#include "grids/windows/popup_box.h"
#include "logbook/bands_modes.h"
#include "logbook/base/string_utils.h"
#include "logbook/qso_bulk_edits.h"
#include "logbook/qso_data.h"
#include "logbook/qso_entry.h"
#include "logbook/windows/entry_field_error_dialog.h"
#include "logbook/windows/form_fonts.h"
#include "logbook/windows/qso_form.h"
#include "platform/message_dlg.h"
#include "platform/windows/win1252.h"

namespace korval {

namespace {

// "Changing up to " and the number of QSOs the QSO window selects.
QLabel* CountLabel(QDialog* dialog, TQSOForm* qso)
{
    long n = 0;
    qso->RunOnEntry([&n](TQsoEntry& e) { n = TQsoBulkEdits(e).CountSelected(); });
    auto* label = new QLabel(FromWin1252("Changing up to " + CountText(n, "QSO")), dialog);
    label->setObjectName("Label1");
    return label;
}

// The OK and Cancel row under a form.
void AddButtons(QDialog* dialog, QFormLayout* form, QPushButton*& ok, QPushButton*& cancel)
{
    ok = new QPushButton("OK", dialog);
    ok->setObjectName("OKBtn");
    ok->setDefault(true);
    cancel = new QPushButton("Cancel", dialog);
    cancel->setObjectName("CancelBtn");
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addWidget(ok);
    row->addWidget(cancel);
    form->addRow(row);
}

} // namespace

TAskGroupNr::TAskGroupNr(TQSOForm* qso) : QDialog(qso), qso_(qso)
{
    setWindowTitle("Set Group Number");
    auto* controller = new TOvcController(this);
    controller->OnError = [](QObject* sender, uint16_t code, const std::string& text) {
        ShowEntryFieldError(sender, code, text);
    };
    Label1 = CountLabel(this, qso);
    F_NR = new TOvcNumericField(this);
    F_NR->setObjectName("F_NR");
    F_NR->SetDataType(nftByte);
    F_NR->SetPictureMask("999");
    F_NR->SetRangeLo("0");
    F_NR->SetRangeHi("253");
    F_NR->SetAsInteger(0);
    auto* form = new QFormLayout(this);
    form->addRow(Label1);
    form->addRow("New Group number", F_NR);
    AddButtons(this, form, OKBtn, CancelBtn);
    connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
}

void TAskGroupNr::showEvent(QShowEvent* e)
{
    SetFormFont(this);
    QDialog::showEvent(e);
}

void TAskGroupNr::OKBtnClick()
{
    // Only a number the field accepts (0 to 253) is given.
    if (F_NR->ValidateContents(true) != 0)
        return;
    const auto group = static_cast<std::uint8_t>(F_NR->GetAsInteger());
    long n = 0;
    qso_->RunOnEntry([&](TQsoEntry& e) { n = TQsoBulkEdits(e).SetGroup(group); });
    MessageDlg("Changed " + CountText(n, "QSO"), TMsgDlgType::mtInformation, mbOK);
    accept();
}

TAskNewMode::TAskNewMode(TQSOForm* qso) : QDialog(qso), qso_(qso)
{
    setWindowTitle("Set New Mode");
    Label1 = CountLabel(this, qso);
    F_Modex = new TWheelx(this);
    F_Modex->setObjectName("F_Modex");
    for (int m = 1; m <= ModeCount; ++m)
        F_Modex->GetItems().Add(ModeName(m));
    F_Modex->SetSelection(14);
    auto* form = new QFormLayout(this);
    form->addRow(Label1);
    form->addRow("New Mode", F_Modex);
    AddButtons(this, form, OKBtn, CancelBtn);
    connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
}

void TAskNewMode::showEvent(QShowEvent* e)
{
    SetFormFont(this);
    QDialog::showEvent(e);
}

void TAskNewMode::OKBtnClick()
{
    const int mode = F_Modex->GetSelection();
    if (mode < 1 || mode > ModeCount)
        return;
    TModeChange r;
    qso_->RunOnEntry([&](TQsoEntry& e) { r = TQsoBulkEdits(e).SetMode(mode); });
    std::string text = "Changed " + CountText(r.Changed, "QSO");
    // A report the new mode cannot carry would leave a QSO that no longer passes its own check.
    if (r.Refused > 0)
        text += "\r" + CountText(r.Refused, "QSO") + "kept their mode: their reports do not fit " + ModeName(mode);
    MessageDlg(text, TMsgDlgType::mtInformation, mbOK);
    accept();
}

void AskGroupNumber(TQSOForm* qso)
{
    if (!qso || qso->Entry().Log()->Count() == 0)
        return;
    TAskGroupNr dlg(qso);
    dlg.exec();
}

void AskNewMode(TQSOForm* qso)
{
    if (!qso || qso->Entry().Log()->Count() == 0)
        return;
    TAskNewMode dlg(qso);
    dlg.exec();
}

} // namespace korval
