#include "exchange/windows/change_qsl.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "grids/windows/my_grid.h"
#include "grids/windows/ovc_meter.h"
#include "logbook/base/string_utils.h"
#include "logbook/qso_data.h"
#include "logbook/qso_entry.h"
#include "logbook/windows/form_fonts.h"
#include "logbook/windows/qso_form.h"
#include "platform/windows/win1252.h"

namespace korval {

namespace {

const char* const kColumns[] = {"Buro", "QSLSvc", "Direct", "$$$$"};

QPointer<TChangeQSL>& OpenWindow()
{
    static QPointer<TChangeQSL> window;
    return window;
}

} // namespace

TChangeQSL::TChangeQSL(TQSOForm* qso) : QWidget(qso, Qt::Window), qso_(qso), routing_(*qso->Entry().Log())
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Change QSL routing");
    DG = new TMyGrid(this);
    DG->setObjectName("DG");
    DG->RowSelect = false;
    DG->AddColumn("", 10, gaLeft);
    for (const char* c : kColumns)
        DG->AddColumn(c, 7, gaRight);
    DG->OnGetCell = [this](TMyGrid*, int col, int row, std::string& value) {
        if (row < 1 || row > TQslRouting::kClasses)
            return;
        value = col == 0 ? TQslRouting::ClassName(row - 1) : std::to_string(routing_.Cell(row - 1, col));
    };
    DG->OnDblClick = [this](TMyGrid* g) { DGDblClick(g->Col, g->Row); };
    OvcMeter1 = new TOvcMeter(this);
    OvcMeter1->setObjectName("OvcMeter1");
    OvcMeter1->setFixedHeight(16);
    OvcMeter1->hide();
    Panel1 = new QLabel(this);
    Panel1->setObjectName("Panel1");
    Panel1->setAlignment(Qt::AlignCenter);
    routing_.OnProgress = [this](int percent) {
        if (Panel1->isVisible())
            Panel1->hide();
        OvcMeter1->show();
        OvcMeter1->SetPercent(percent);
    };
    Button1 = new QPushButton("Mark QSOs going to same station or manager", this);
    Button4 = new QPushButton("Remove duplicate QSLs", this);
    Button3 = new QPushButton("Change Direct to Service for non-USA managers", this);
    Button2 = new QPushButton("Change Buro to Direct if no buro", this);
    connect(Button1, &QPushButton::clicked, this, [this] { RunRework(&TQslRouting::MarkSameStationOrManager); });
    connect(Button4, &QPushButton::clicked, this, [this] { RunRework(&TQslRouting::RemoveDuplicates); });
    connect(Button3, &QPushButton::clicked, this, [this] { RunRework(&TQslRouting::DirectToService); });
    connect(Button2, &QPushButton::clicked, this, [this] { RunRework(&TQslRouting::BuroToDirect); });
    auto* l = new QVBoxLayout(this);
    l->addWidget(DG, 1);
    l->addWidget(OvcMeter1);
    l->addWidget(Panel1, 0, Qt::AlignHCenter);
    for (QPushButton* b : {Button1, Button4, Button3, Button2})
        l->addWidget(b, 0, Qt::AlignHCenter);
}

TChangeQSL::~TChangeQSL() = default;

void TChangeQSL::CountTable()
{
    routing_.Count();
    DG->SetRows(TQslRouting::kClasses + 1, 1);
    DG->viewport()->update();
}

void TChangeQSL::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    SetFormFont(this);
    DG->ApplyHeader();
    CountTable();
    OvcMeter1->hide();
    // As wide as the grid and high enough for it whole.
    DG->setMinimumSize(DG->GridWith() + 2 * DG->frameWidth() + 4, DG->GridHeight() + 2 * DG->frameWidth() + 4);
    resize(std::max(DG->minimumWidth() + 24, sizeHint().width()), sizeHint().height());
}

void TChangeQSL::DGDblClick(int col, int row)
{
    if (!qso_ || col < 1 || col > 4 || row < 1 || row > TQslRouting::kClasses)
        return;
    const TQsoData* log = qso_->Entry().Log();
    const int cls = row - 1, route = col;
    qso_->RunOnEntry([log, cls, route](TQsoEntry& e) {
        e.SetExternalFilter([log, cls, route](const TQsoRecord& q) { return TQslRouting::InCell(*log, q, cls, route); });
        e.First();
    });
    browsing_ = true;
}

void TChangeQSL::RunRework(long (TQslRouting::*rework)())
{
    const long n = (routing_.*rework)();
    OvcMeter1->hide();
    Panel1->show();
    if (n > 0 && qso_) {
        qso_->RunOnEntry([](TQsoEntry& e) { e.LogChanged(true); });
        CountTable();
        OvcMeter1->hide();
    }
    Panel1->setText(FromWin1252(CountText(n, "QSO") + " changed"));
}

void TChangeQSL::closeEvent(QCloseEvent* e)
{
    if (browsing_ && qso_)
        qso_->RunOnEntry([](TQsoEntry& e) { e.SetExternalFilter(nullptr); });
    QWidget::closeEvent(e);
}

TChangeQSL* OpenChangeQsl(TQSOForm* qso)
{
    QPointer<TChangeQSL>& w = OpenWindow();
    if (!w) {
        if (!qso)
            return nullptr;
        w = new TChangeQSL(qso);
    }
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

} // namespace korval
