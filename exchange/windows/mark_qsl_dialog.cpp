#include "exchange/windows/mark_qsl_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "entry/windows/ovc_controller.h"
#include "entry/windows/ovc_numeric_field.h"
#include "entry/windows/ovc_picture_field.h"
#include "grids/windows/ovc_spinner.h"
#include "grids/windows/popup_box.h"
#include "logbook/base/string_utils.h"
#include "logbook/qso_data.h"
#include "logbook/qso_entry.h"
#include "logbook/windows/date_field_keys.h"
#include "logbook/windows/entry_field_error_dialog.h"
#include "logbook/windows/form_fonts.h"
#include "logbook/windows/qso_form.h"
#include "platform/message_dlg.h"

namespace korval {

namespace {

const char* const kAwards[] = {"DXCC", "WAZ", "WAS", "WPX", "County", "IOTA", "DX single band", "DX all band/mode"};
// The QSL-route list without its last entry, "Ignore".
const char* const kRoutes[] = {"Buro", "QSLSvc", "Direct", "$$$$", "Other"};

} // namespace

TMarkQSLDialog::TMarkQSLDialog(TQSOForm* qso) : QDialog(qso), qso_(qso)
{
    setWindowTitle("Mark QSOs for QSL");
    auto* controller = new TOvcController(this);
    controller->OnError = [](QObject* sender, uint16_t code, const std::string& text) {
        ShowEntryFieldError(sender, code, text);
    };
    F_award = new TWheelx(this);
    F_award->setObjectName("F_award");
    for (const char* a : kAwards)
        F_award->GetItems().Add(a);
    F_award->OnChange = [this](TCustomPopupBox*) { F_awardChange(); };
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("Award", this), 0, 0);
    grid->addWidget(F_award, 0, 1, 1, 3);
    WeeksLabel = new QLabel("Weeks", this);
    grid->addWidget(WeeksLabel, 1, 2);
    const char* const names[3] = {"Mixed", "Band", "Mode"};
    const char* const routeNames[3] = {"F_Mixed", "F_Band", "F_Mode"};
    const char* const weekNames[3] = {"F_Mixed_weeks", "F_Band_weeks", "F_Mode_weeks"};
    for (int r = 0; r < 3; ++r) {
        TRow& row = rows_[r];
        row.label = new QLabel(names[r], this);
        row.route = new TWheelx(this);
        row.route->setObjectName(routeNames[r]);
        for (const char* route : kRoutes)
            row.route->GetItems().Add(route);
        row.weeks = new TOvcNumericField(this);
        row.weeks->setObjectName(weekNames[r]);
        row.weeks->SetDataType(nftByte);
        row.weeks->SetPictureMask("99");
        row.weeks->SetRangeLo("0");
        row.weeks->SetRangeHi("99");
        row.weeks->SetAsInteger(0);
        row.spinner = new TOvcSpinner(this);
        row.spinner->SetFocusedControl(row.weeks);
        grid->addWidget(row.label, 2 + r, 0);
        grid->addWidget(row.route, 2 + r, 1);
        grid->addWidget(row.weeks, 2 + r, 2);
        grid->addWidget(row.spinner, 2 + r, 3);
    }
    F_Mixed = rows_[mrMixed].route;
    F_Band = rows_[mrBand].route;
    F_Mode = rows_[mrMode].route;
    F_Mixed_weeks = rows_[mrMixed].weeks;
    F_Band_weeks = rows_[mrBand].weeks;
    F_Mode_weeks = rows_[mrMode].weeks;
    MixedSpinner = rows_[mrMixed].spinner;
    BandSpinner = rows_[mrBand].spinner;
    ModeSpinner = rows_[mrMode].spinner;
    F_DateAfter = NewDateField(this, "F_DateAfter");
    (new TDateFieldKeys(this))->AddDate(F_DateAfter);
    grid->addWidget(new QLabel("Only QSOs after", this), 5, 0);
    grid->addWidget(F_DateAfter, 5, 1, 1, 3);
    BtnOK = new QPushButton("OK", this);
    BtnOK->setObjectName("BtnOK");
    BtnOK->setDefault(true);
    BtnCancel = new QPushButton("Cancel", this);
    BtnCancel->setObjectName("BtnCancel");
    connect(BtnOK, &QPushButton::clicked, this, [this] { OKBtnClick(); });
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BtnOK);
    buttons->addWidget(BtnCancel);
    grid->addLayout(buttons, 6, 0, 1, 4);
    // Every route may be "none"; the award starts at DXCC.
    for (const TRow& row : rows_)
        row.route->SetAllowDefault(true);
    F_award->SetSelection(1);
    F_awardChange();
}

void TMarkQSLDialog::showEvent(QShowEvent* e)
{
    SetFormFont(this);
    QDialog::showEvent(e);
}

void TMarkQSLDialog::F_awardChange()
{
    const int award = F_award->GetSelection();
    const bool awardRows = award >= maDxcc && award <= maWpx;
    const bool dx = award == maDxSingleBand || award == maDxAllBandMode;
    F_Mixed->SetSelection(awardRows ? 0 : 1);
    F_Band->SetSelection(0);
    F_Mode->SetSelection(0);
    for (int r : {mrBand, mrMode}) {
        const TRow& row = rows_[r];
        for (QWidget* w : {static_cast<QWidget*>(row.label), static_cast<QWidget*>(row.route),
                           static_cast<QWidget*>(row.weeks), static_cast<QWidget*>(row.spinner)})
            w->setVisible(awardRows);
    }
    F_Mixed_weeks->setVisible(!dx);
    MixedSpinner->setVisible(!dx);
    WeeksLabel->setVisible(!dx);
}

TMarkForQslRequest TMarkQSLDialog::Request() const
{
    TMarkForQslRequest r;
    r.Award = F_award->GetSelection();
    for (int i = 0; i < 3; ++i) {
        r.Route[i] = rows_[i].route->GetSelection();
        r.Weeks[i] = rows_[i].weeks->GetAsInteger();
    }
    // A date the field cannot read is no limit.
    r.After = FieldDay(F_DateAfter);
    r.Today = UtcToday();
    return r;
}

void TMarkQSLDialog::OKBtnClick()
{
    if (!qso_)
        return;
    const TMarkForQslRequest request = Request();
    qso_->activateWindow();
    hide();
    const long n = MarkForQsl(*qso_->Entry().Log(), request);
    MessageDlg(CountText(n, "Additional QSO") + "marked", TMsgDlgType::mtInformation, mbOK);
    if (n > 0)
        qso_->RunOnEntry([](TQsoEntry& e) { e.LogChanged(false); });
    accept();
}

void OpenMarkForQsl(TQSOForm* qso)
{
    if (!qso)
        return;
    TMarkQSLDialog dlg(qso);
    dlg.exec();
    qso->show();
    qso->raise();
}

} // namespace korval
