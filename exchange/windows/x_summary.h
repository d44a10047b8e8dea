#pragma once
// TXSummary: the small child window of the QSO window that shows how far the operator has got
// with one award entity of the call being entered (its country, CQ zone, US state, IOTA
// reference, grid square or WPX prefix): bands by mode groups, one status character a cell,
// the entry's band and mode group marked.
#include "exchange/worked_summary.h"
#include "logbook/windows/child_form.h"

namespace korval {

class TMyGrid;
class TQSOForm;

class TXSummary : public TChildForm {
    Q_OBJECT
public:
    // kind: a TSummaryKind (the child-window slot); other values show nothing.
    TXSummary(TQSOForm* owner, int kind);

    int Kind() const { return summary_.Kind(); }
    const TWorkedSummary& Summary() const { return summary_; }

    // The idle refresh, and after the call, its fields, band or mode changed.
    void RefreshChild() override { UpdateForQso(); }
    void UpdateForQso();
    void UpdateWPX(const std::string& call);
    // Bands and mode groups again from the configuration (after the setup changed).
    void SetupGrid();

    TMyGrid* DG = nullptr;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void ShowCells();
    void SizeToGrid();
    TQSOForm* owner_;
    TWorkedSummary summary_;
};

// The configuration's placement slot of a summary kind.
int SummaryPlacementSlot(int kind);

} // namespace korval
