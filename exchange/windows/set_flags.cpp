#include "exchange/windows/set_flags.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "exchange/award_flags.h"
#include "grids/windows/popup_box.h"
#include "logbook/qso_data.h"
#include "logbook/qso_entry.h"
#include "logbook/windows/form_fonts.h"
#include "logbook/windows/qso_form.h"

namespace korval {

TSetFlags::TSetFlags(TQSOForm* qso) : QDialog(qso), qso_(qso)
{
    setWindowTitle("Change award flags");
    F_award = new TWheelx(this);
    F_award->setObjectName("F_award");
    for (const TAwardFlagName& a : AwardFlagNames)
        F_award->GetItems().Add(a.name);
    F_award->SetSelection(1);
    F_action = new TWheelx(this);
    F_action->setObjectName("F_action");
    for (const char* a : AwardFlagActionNames)
        F_action->GetItems().Add(a);
    F_action->SetSelection(1);
    F_Count = new QLabel("0", this);
    F_Count->setObjectName("F_Count");
    BtnOK = new QPushButton("Change", this);
    BtnOK->setObjectName("BtnOK");
    BtnOK->setDefault(true);
    BtnCancel = new QPushButton("Close", this);
    BtnCancel->setObjectName("BtnCancel");
    connect(BtnOK, &QPushButton::clicked, this, [this] { OKBtnClick(); });
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow("Award", F_award);
    form->addRow("Action", F_action);
    form->addRow("Flags Changed", F_Count);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BtnOK);
    buttons->addWidget(BtnCancel);
    form->addRow(buttons);
}

void TSetFlags::showEvent(QShowEvent* e)
{
    SetFormFont(this);
    QDialog::showEvent(e);
}

void TSetFlags::OKBtnClick()
{
    const int award = F_award->GetSelection(), action = F_action->GetSelection();
    if (!qso_ || award < 1 || award > 16 || action < 1 || action > 4)
        return;
    const long n = ChangeAwardFlags(*qso_->Entry().Log(), AwardFlagNames[award - 1].mask, action - 1);
    F_Count->setText(QString::number(n));
    if (n > 0)
        qso_->RunOnEntry([](TQsoEntry& e) { e.LogChanged(false); });
}

void OpenSetFlags(TQSOForm* qso)
{
    if (!qso)
        return;
    TSetFlags dlg(qso);
    dlg.exec();
}

} // namespace korval
