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
        RestoreFormPlacement(this, placementSlot_);
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
