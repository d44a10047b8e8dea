#include "logbook/windows/same_call.h"

#include <QAction>
#include <QMenu>
#include <QVBoxLayout>

#include <algorithm>

#include "entry/windows/ovc_base_field.h"
#include "grids/windows/my_grid.h"
#include "logbook/bands_modes.h"
#include "logbook/base/day_number.h"
#include "logbook/child_window.h"
#include "logbook/config_record.h"
#include "logbook/configured_formats.h"
#include "logbook/entry_mode.h"
#include "logbook/qso_data.h"
#include "logbook/windows/qso_form.h"
#include "platform/message_dlg.h"
#include "platform/windows/win1252.h"

namespace korval {

TSameCall::TSameCall(TQSOForm* owner) : TChildForm(owner, cwSameCall, psCall), owner_(owner), index_(owner->Entry().Log())
{
    setObjectName(QStringLiteral("SameCall"));
    setWindowTitle(QStringLiteral("Double-click to go to QSO"));
    resize(460, 220);
    DG = new TMyGrid(this);
    DG->setObjectName(QStringLiteral("DG"));
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(DG);
    DG->AddColumn("Date", 8, gaLeft);
    DG->AddColumn("Time", 5, gaLeft);
    DG->AddColumn("Band", BandNameWidth(), gaLeft);
    DG->AddColumn("Mode", 4, gaLeft);
    DG->AddColumn("Cnf", 3, gaLeft);
    DG->AddColumn("QSLDate", 8, gaLeft);
    DG->AddColumn("Groupname", 25, gaLeft);
    DG->ApplyHeader();
    DG->OnGetCell = [this](TMyGrid*, int col, int row, std::string& value) {
        const TQsoRecord* q = QsoAt(row);
        if (!q)
            return;
        switch (col) {
        case 0: value = FormatDayNumber(q->Date); break;
        case 1: value = SecondsToHHMM(q->Time); break;
        case 2: value = BandName(q->Band); break;
        case 3: value = ModeName(q->Mode); break;
        case 4: value = q->HasFlag(qfQslReceived) ? "Y" : "N"; break;
        case 5: value = q->QslSentDate ? FormatDayNumber(q->QslSentDate) : std::string(); break;
        case 6: value = owner_->Entry().Log()->GroupName(*q); break;
        default: break;
        }
    };
    DG->OnGetColor = [this](TMyGrid*, int, int row, QColor& fg, QColor&) {
        if (DupeRow(row))
            fg = QColor(255, 0, 0);
    };
    DG->OnDblClick = [this](TMyGrid*) { GotoQSO1Click(); };

    PopupMenu1 = new QMenu(this);
    GotoQSO1 = PopupMenu1->addAction(QStringLiteral("Goto QSO"), this, &TSameCall::GotoQSO1Click);
    Confirmlabel1 = PopupMenu1->addAction(QStringLiteral("Confirm / Label"));
    ConfirmSWL1 = PopupMenu1->addAction(QStringLiteral("Confirm SWL"));
    // The QSL confirmation comes with later work.
    Confirmlabel1->setEnabled(false);
    ConfirmSWL1->setEnabled(false);
    DG->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DG, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->exec(DG->mapToGlobal(at)); });

    // A QSO of the station shown came or went (or the log changed whole): the rows again.
    index_.OnChanged = [this](const std::string& base, const TQsoRecord* rec) {
        if (base.empty() || base == base_ || std::find(rows_.begin(), rows_.end(), rec) != rows_.end()) {
            rows_ = base_.empty() ? std::vector<TQsoRecord*>() : index_.QsosOf(base_);
            ShowRows();
        }
    };
}

TQsoRecord* TSameCall::QsoAt(int row) const
{
    return row >= 1 && row <= QsoCount() ? rows_[static_cast<std::size_t>(row - 1)] : nullptr;
}

void TSameCall::Refresh()
{
    base_ = TSameCallIndex::KeyOf(owner_->Field(fCall)->GetEditString());
    setWindowTitle(base_.empty() ? QStringLiteral("Other QSOs") : FromWin1252(base_));
    rows_ = base_.empty() ? std::vector<TQsoRecord*>() : index_.QsosOf(base_);
    ShowRows();
}

void TSameCall::ShowRows()
{
    const TQsoEntry& e = owner_->Entry();
    const bool adding = e.EntryMode() == emRealTime || e.EntryMode() == emOffline;
    int current = 1;
    if (!adding) {
        const TQsoRecord* shown = e.ViewAt(e.CurrentIndex());
        for (std::size_t i = 0; i < rows_.size(); ++i)
            if (rows_[i] == shown)
                current = static_cast<int>(i) + 1;
    }
    // While the QSO window adds QSOs no row is its QSO, and none is marked.
    DG->RowSelect = !adding;
    DG->CellFrame = !adding;
    DG->SetRows(QsoCount() + 1, current);
    DG->viewport()->update();
}

bool TSameCall::DupeRow(int row) const
{
    const TQsoRecord* q = QsoAt(row);
    const TQsoEntry& e = owner_->Entry();
    if (!q || !Config.ContestMode() || e.EntryMode() != emRealTime)
        return false;
    const bool afterStart = q->Date > Config.ContestStartDate() ||
                            (q->Date == Config.ContestStartDate() && q->Time >= Config.ContestStartTime());
    return afterStart && q->Band == e.GetBand() && q->Mode == e.GetMode();
}

void TSameCall::GotoQSO1Click()
{
    TQsoRecord* q = QsoAt(DG->Row);
    if (!q || !owner_->FinishEntry())
        return;
    const TQsoEntry& e = owner_->Entry();
    if (!e.Log()->InSelection(*q)) {
        MessageDlg("QSO is not in current Selection", TMsgDlgType::mtWarning, mbOK);
        return;
    }
    if (e.EntryMode() == emBrowse && !e.MatchesSearch(*q)) {
        MessageDlg("QSO does not match current filter", TMsgDlgType::mtWarning, mbOK);
        return;
    }
    owner_->ShowQso(q);
}

} // namespace korval
