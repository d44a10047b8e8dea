#include "logbook/windows/child_form.h"

#include <QCloseEvent>

#include "logbook/windows/form_fonts.h"
#include "logbook/windows/form_placement.h"

namespace korval {

TChildForm::TChildForm(QWidget* owner, int childIndex, int placementSlot)
    : QWidget(owner, Qt::Tool), childIndex_(childIndex), placementSlot_(placementSlot)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

void TChildForm::showEvent(QShowEvent* e)
{
    if (!placed_) {
        placed_ = true;
        SetFormFont(this);
        // Without a place of its own the window opens below its owner, not over the fields it
        // follows (a double click in the log list shows its QSO in the QSO window, which must
        // not lie hidden under the list).
        if (!RestoreFormPlacement(this, placementSlot_))
            if (QWidget* owner = parentWidget(); owner && owner->isVisible()) {
                move(owner->frameGeometry().left(), owner->frameGeometry().bottom() + 1);
                KeepFormOnScreen(this);
            }
    }
    QWidget::showEvent(e);
}

void TChildForm::closeEvent(QCloseEvent* e)
{
    SaveFormPlacement(this, placementSlot_);
    QWidget::closeEvent(e);
    if (e->isAccepted())
        emit ChildWindowClosed(childIndex_);
}

} // namespace korval
