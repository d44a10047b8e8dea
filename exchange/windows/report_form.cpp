#include "exchange/windows/report_form.h"

#include "exchange/windows/report_setup.h"

#include <QContextMenuEvent>
#include <QFileDialog>
#include <QMenu>
#include <QVBoxLayout>

#include "exchange/windows/get_cust_awd_form.h"
#include "exchange/windows/get_report_mode.h"
#include "grids/windows/my_grid.h"
#include "logbook/custom_award.h"
#include "logbook/qso_data.h"
#include "logbook/qso_entry.h"
#include "logbook/windows/form_fonts.h"
#include "logbook/windows/qso_form.h"
#include "platform/message_dlg.h"
#include "platform/windows/korval_application.h"
#include "platform/windows/win1252.h"

namespace korval {

TReportForm::TReportForm(std::unique_ptr<TReport> report, TQSOForm* qsoForm)
    : QWidget(qsoForm, Qt::Window), report_(std::move(report)), qso_(qsoForm)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(QFont("Fixedsys"));
    DG = new TMyGrid(this);
    DG->setObjectName("DG");
    // The grid scrolls: the window's size, not the grid's hint, decides how much it shows.
    DG->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    DG->RowSelect = report_->RowSelect();
    DG->OnGetCell = [this](TMyGrid*, int col, int row, std::string& value) { value = report_->Cell(col, row); };
    DG->OnDblClick = [this](TMyGrid* g) { DGDblClick(g->Col, g->Row); };
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(DG);
    PopupMenu1 = new QMenu(this);
    Print1 = PopupMenu1->addAction("Print", this, [this] { Print(); });
    WritetoFile1 = PopupMenu1->addAction("Write to File", this, [this] { WritetoFile1Click(); });
    DG->setToolTip(FromWin1252(report_->Hint()));
    resize(640, 480);
}

TReportForm::~TReportForm() = default;

void TReportForm::ShowHeading()
{
    setWindowTitle(FromWin1252(report_->Heading.Title));
    DG->ClearHeader();
    for (const TFprintColumn& c : report_->Heading.Columns)
        DG->AddColumn(c.Title, c.Width, c.Align == faRight ? gaRight : c.Align == faCenter ? gaCenter : gaLeft);
    DG->ApplyHeader();
}

void TReportForm::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (made_)
        return;
    made_ = true;
    SetFormFont(this);
    report_->MakeReport();
    ShowHeading();
    DG->SetRows(report_->RowCount() + 1, 1);
    // A grid smaller than the window takes the window down to its size and a margin.
    const int w = DG->GridWith() + 30, h = DG->GridHeight() + 30;
    if (w < width() || h < height())
        resize(std::min(w, width()), std::min(h, height()));
}

void TReportForm::contextMenuEvent(QContextMenuEvent* e) { PopupMenu1->popup(e->globalPos()); }

bool TReportForm::Print()
{
    if (!made_)
        return false;
    TFprint listing = report_->Heading;
    listing.Rows = &report_->Lines;
    return PrintReport(listing, this, false);
}

bool TReportForm::WriteToFile(const std::string& fileName)
{
    return RunShowingExceptions([&] { WriteReportFile(*report_, fileName); });
}

void TReportForm::WritetoFile1Click()
{
    QFileDialog dlg(this);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setDefaultSuffix("csv");
    dlg.setNameFilter("Comma separated values (*.csv)");
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return;
    WriteToFile(dlg.selectedFiles().front().toStdString());
}

void TReportForm::DGDblClick(int col, int row)
{
    if (!qso_ || !report_->Browses() || !qso_->FinishEntry())
        return;
    bool searched = false;
    qso_->RunOnEntry([&](TQsoEntry& entry) { searched = report_->Browse(col, row, entry); });
    if (!searched)
        return;
    if (qso_->isMinimized())
        qso_->showNormal();
    qso_->raise();
    qso_->activateWindow();
}

// ---- opening a report ----

namespace {

class TDialogReportQuestions : public TReportQuestions {
public:
    bool AskModeBand(QWidget* parent, int& modeGroup, int& band) override
    {
        TGetReportMode d(parent);
        if (d.exec() != QDialog::Accepted)
            return false;
        modeGroup = d.ModeGroup();
        band = d.Band();
        return true;
    }
    bool AskCustomAward(QWidget* parent, int& index) override
    {
        TGetCustAwdForm d(CustAwardList(), parent);
        if (d.exec() != QDialog::Accepted)
            return false;
        index = d.AwardIndex();
        return index >= 0;
    }
};

TReportQuestions*& Installed()
{
    static TReportQuestions* q = nullptr;
    return q;
}

TReportQuestions& Questions()
{
    static TDialogReportQuestions dialogs;
    return Installed() ? *Installed() : dialogs;
}

} // namespace

TReportQuestions* SetReportQuestions(TReportQuestions* questions)
{
    TReportQuestions* old = Installed();
    Installed() = questions;
    return old;
}

TReportForm* OpenReport(TReportClass cls, int argument, TQSOForm* qsoForm)
{
    TQsoData* log = qsoForm ? qsoForm->Entry().Log() : CurrentLog();
    if (!log)
        return nullptr;
    TReportChoice choice;
    if (ReportAsksModeBand(cls) && !Questions().AskModeBand(qsoForm, choice.ModeGroup, choice.Band))
        return nullptr;
    if (cls == TReportClass::CustomReport) {
        if (CustAwardList().Count() == 0) {
            MessageDlg("No custom award is defined", TMsgDlgType::mtInformation, mbOK);
            return nullptr;
        }
        int index = -1;
        if (!Questions().AskCustomAward(qsoForm, index) || index < 0 || index >= CustAwardList().Count())
            return nullptr;
        choice.Award = &CustAwardList().At(index);
    }
    std::unique_ptr<TReport> report = CreateReport(cls, argument, log, choice);
    if (!report)
        return nullptr;
    auto* form = new TReportForm(std::move(report), qsoForm);
    form->show();
    return form;
}

} // namespace korval
