#include "exchange/windows/x_summary.h"

#include <QVBoxLayout>

#include "entry/windows/ovc_base_field.h"
#include "grids/windows/my_grid.h"
#include "grids/windows/popup_box.h"
#include "logbook/bands_modes.h"
#include "logbook/config_record.h"
#include "logbook/qso_fields.h"
#include "logbook/windows/qso_form.h"
#include "platform/windows/win1252.h"

namespace korval {

int SummaryPlacementSlot(int kind)
{
    switch (kind) {
    case skwCountry: return psCty;
    case skwZone: return psZone;
    case skwState: return psState;
    case skwIota: return psIota;
    case skwGrid: return psGrid;
    case skwWpx: return psWpx;
    default: return psCty;
    }
}

TXSummary::TXSummary(TQSOForm* owner, int kind)
    : TChildForm(owner, kind, SummaryPlacementSlot(kind)), owner_(owner), summary_(kind)
{
    setObjectName(QStringLiteral("XSummary"));
    DG = new TMyGrid(this);
    DG->setObjectName(QStringLiteral("DG"));
    DG->setFrameShape(QFrame::NoFrame);
    DG->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    DG->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    DG->RowSelect = false;
    // The window is sized to the grid's cells.
    DG->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    DG->OnGetCell = [this](TMyGrid*, int col, int row, std::string& value) { value = summary_.CellText(col, row); };
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(DG);
    SetupGrid();
}

void TXSummary::SetupGrid()
{
    summary_.SetupGrid();
    DG->BeginUpdate();
    DG->ClearHeader();
    DG->AddColumn("", 4, gaLeft);
    for (int band : summary_.Bands())
        DG->AddColumn(BandName(band), 0, gaCenter);
    DG->SetRows(summary_.RowCount(), 1);
    DG->ApplyHeader();
    DG->EndUpdate();
    SizeToGrid();
    ShowCells();
}

void TXSummary::SizeToGrid()
{
    int width = 4;
    for (int c = 0; c < DG->ColCount; ++c)
        width += DG->ColWidth(c) + 1;
    const int rows = DG->RowCount;
    const int height = rows * (DG->DefaultRowHeight + 2) + (rows == 2 ? 2 : 0);
    setFixedSize(width, height);
}

void TXSummary::showEvent(QShowEvent* e)
{
    TChildForm::showEvent(e);
    // The user's font may have changed the widths and the row height.
    DG->FontChanged();
    SizeToGrid();
}

void TXSummary::UpdateForQso()
{
    auto text = [this](int field) { return owner_->Field(field)->GetEditString(); };
    TSummaryEntry e;
    e.Call = text(fCall);
    e.Prefix = text(fPrefix);
    e.Zone = text(fZone);
    e.State = text(fState);
    e.Iota = text(fIota);
    e.Grid = text(fGrid);
    summary_.UpdateForQso(e, *owner_->Entry().Log());
    ShowCells();
}

void TXSummary::UpdateWPX(const std::string& call)
{
    summary_.UpdateWPX(call);
    ShowCells();
}

void TXSummary::ShowCells()
{
    setWindowTitle(FromWin1252(summary_.Caption()));
    int col = 0, row = 0;
    const bool marked = summary_.HighlightCell(owner_->Wheel(fBand)->GetSelection(),
                                               owner_->Wheel(fMode)->GetSelection(), col, row);
    DG->CellFrame = marked;
    if (marked) {
        DG->Col = col;
        DG->SetRows(summary_.RowCount(), row);
    }
    DG->viewport()->update();
}

} // namespace korval
