#include "exchange/windows/contest_dialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "entry/windows/ovc_controller.h"
#include "entry/windows/ovc_numeric_field.h"
#include "entry/windows/ovc_picture_field.h"
#include "entry/windows/ovc_simple_field.h"
#include "grids/windows/ovc_spinner.h"
#include "logbook/config_record.h"
#include "logbook/configured_formats.h"
#include "logbook/qso_entry.h"
#include "logbook/windows/date_field_keys.h"
#include "logbook/windows/entry_field_error_dialog.h"
#include "logbook/windows/form_fonts.h"
#include "logbook/windows/qso_form.h"

namespace korval {

TContestDialog::TContestDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle("Contest Mode");
    auto* controller = new TOvcController(this);
    controller->OnError = [](QObject* sender, uint16_t code, const std::string& text) {
        ShowEntryFieldError(sender, code, text);
    };
    F_enabled = new QCheckBox("Contest Mode Enabled", this);
    F_enabled->setObjectName("F_enabled");
    auto* contest = new QGroupBox("Contest", this);
    F_Date = NewDateField(contest, "F_Date");
    F_Time = new TOvcPictureField(contest);
    F_Time->setObjectName("F_Time");
    F_Time->SetDataType(pftTime);
    F_Time->SetPictureMask(TimeFormatString());
    auto* keys = new TDateFieldKeys(this);
    keys->AddDate(F_Date);
    keys->AddDateTime(F_Date, F_Time);
    F_seqnr = new TOvcNumericField(contest);
    F_seqnr->setObjectName("F_seqnr");
    F_seqnr->SetDataType(nftWord);
    F_seqnr->SetPictureMask("99999");
    F_seqnr->SetRangeLo("0");
    F_seqnr->SetRangeHi("65535");
    F_seqnr->setToolTip("Set to 0 if no sequence numbers wanted");
    SeqSpinner = new TOvcSpinner(contest);
    SeqSpinner->SetFocusedControl(F_seqnr);
    FContest_Text = new TOvcSimpleField(contest);
    FContest_Text->setObjectName("FContest_Text");
    FContest_Text->SetMaxLength(static_cast<int>(TConfigRecord::ContestExchangeCapacity));
    auto* seq = new QHBoxLayout;
    seq->addWidget(F_seqnr);
    seq->addWidget(SeqSpinner);
    auto* fields = new QFormLayout(contest);
    fields->addRow("Date", F_Date);
    fields->addRow("Time", F_Time);
    fields->addRow("Next sequence\nnumber", seq);
    fields->addRow("Text to add to QSO  note", FContest_Text);
    OKBtn = new QPushButton("OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton("Cancel", this);
    CancelBtn->setObjectName("CancelBtn");
    connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* l = new QVBoxLayout(this);
    l->addWidget(F_enabled);
    l->addWidget(contest);
    l->addLayout(buttons);

    F_enabled->setChecked(Config.ContestMode());
    ShowDay(F_Date, Config.ContestStartDate());
    F_Time->SetAsStTime(Config.ContestStartTime());
    F_seqnr->SetAsInteger(Config.ContestSerial());
    FContest_Text->SetAsString(Config.ContestExchange());
}

void TContestDialog::showEvent(QShowEvent* e)
{
    SetFormFont(this);
    QDialog::showEvent(e);
}

void TContestDialog::OKBtnClick()
{
    if (F_seqnr->ValidateContents(true) != 0)
        return;
    Config.SetContestMode(F_enabled->isChecked());
    Config.SetContestStartDate(FieldDay(F_Date));
    const std::int32_t t = F_Time->GetAsStTime();
    Config.SetContestStartTime(t < 0 ? 0 : t);
    Config.SetContestSerial(static_cast<std::uint16_t>(F_seqnr->GetAsInteger()));
    Config.SetContestExchange(FContest_Text->GetAsString());
    accept();
}

void EditContestMode(TQSOForm* qso)
{
    TContestDialog dlg(qso);
    if (dlg.exec() != QDialog::Accepted || !qso)
        return;
    qso->RunOnEntry([](TQsoEntry& e) {
        e.ShowSerialNumber();
        e.CheckDupe();
    });
}

} // namespace korval
