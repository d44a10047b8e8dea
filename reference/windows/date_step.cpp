#include "reference/windows/date_step.h"

#include <QKeyEvent>

#include "entry/windows/ovc_base_field.h"
#include "logbook/base/day_number.h"
#include "entry/ovc_date.h"

namespace korval {

bool StepDateField(TOvcBaseEntryField* field, int days)
{
    const TStDate date = field->GetAsStDate();
    const TStDate next = date < 0 ? DayNumberToStDate(UtcToday()) : date + days;
    if (next < 0 || next > MaxDate)
        return false;
    field->SetAsStDate(next);
    field->SetModified(true);
    field->update();
    return true;
}

void TDateStepper::Watch(TOvcBaseEntryField* field) { field->installEventFilter(this); }

bool TDateStepper::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* k = static_cast<QKeyEvent*>(event);
    if ((k->key() != Qt::Key_Up && k->key() != Qt::Key_Down) || k->modifiers() != Qt::ControlModifier)
        return false;
    auto* field = static_cast<TOvcBaseEntryField*>(watched);
    if (StepDateField(field, k->key() == Qt::Key_Up ? 1 : -1) && Stepped)
        Stepped(field);
    return true;
}

} // namespace korval
