#pragma once
// TChildForm: a child window of the QSO window that the main window keeps in one of its
// child-window slots (summary windows, same call, log list, ...). It is owned by the QSO window,
// frees itself when closed, applies the user's font and its saved placement when first shown,
// and tells when it closes so that its slot is emptied.
//
// The main window's side: create the window with the QSO window as owner, show it, call
// RefreshChild at idle time when the slot's refresh flag is set, and connect
// ChildWindowClosed (emitted from the close, with the placement already saved) to empty the slot.
#include <QWidget>

namespace korval {

class TChildForm : public QWidget {
    Q_OBJECT
public:
    // childIndex: a TChildWindow slot; placementSlot: a TPlacementSlot of the configuration.
    TChildForm(QWidget* owner, int childIndex, int placementSlot);

    int ChildIndex() const { return childIndex_; }
    int PlacementSlot() const { return placementSlot_; }
    // Brings the window up to date with the QSO window (its slot's refresh at idle time).
    virtual void RefreshChild() = 0;

signals:
    void ChildWindowClosed(int childIndex);

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    int childIndex_;
    int placementSlot_;
    bool placed_ = false;
};

} // namespace korval
