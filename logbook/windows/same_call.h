#pragma once
// TSameCall: the child window of the QSO window that lists the other QSOs of the station being
// entered: every QSO whose base call is that of the call field (W1XYZ, W1XYZ/P and DL/W1XYZ are
// one station), in by-call order. The QSOs are grouped by base call once, and the logbook tells
// the window of every QSO posted or deleted, so a refresh is one look-up.
#include <string>
#include <vector>

#include "logbook/same_call_index.h"
#include "logbook/windows/child_form.h"

class QAction;
class QMenu;

namespace korval {

class TMyGrid;
class TQSOForm;
struct TQsoRecord;

class TSameCall : public TChildForm {
    Q_OBJECT
public:
    explicit TSameCall(TQSOForm* owner);

    // The idle refresh: the QSOs of the call field's base call.
    void RefreshChild() override { Refresh(); }
    void Refresh();
    const std::string& BaseCallShown() const { return base_; }
    int QsoCount() const { return static_cast<int>(rows_.size()); }
    // The QSO of a grid row (row 1 is the first); null outside the list.
    TQsoRecord* QsoAt(int row) const;
    // Whether a row shows in the contest-duplicate colour.
    bool DupeRow(int row) const;

    // The pop-up menu's Goto QSO (and a double click).
    void GotoQSO1Click();

    TMyGrid* DG = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction *GotoQSO1 = nullptr, *Confirmlabel1 = nullptr, *ConfirmSWL1 = nullptr;

private:
    void ShowRows();
    TQSOForm* owner_;
    TSameCallIndex index_;
    std::string base_;
    std::vector<TQsoRecord*> rows_;
};

} // namespace korval
