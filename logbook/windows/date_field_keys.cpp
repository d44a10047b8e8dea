#include "logbook/windows/date_field_keys.h"

#include <QKeyEvent>

#include "entry/windows/ovc_picture_field.h"
#include "logbook/configured_formats.h"
#include "logbook/date_time_steps.h"
#include "logbook/qso_fields.h"

namespace korval {

TOvcPictureField* NewDateField(QWidget* parent, const char* name, TDayNumber day)
{
    auto* f = new TOvcPictureField(parent);
    f->setObjectName(name);
    f->SetDataType(pftDate);
    f->SetPictureMask(DateFormatString());
    ShowDay(f, day);
    return f;
}

TDayNumber FieldDay(TOvcPictureField* field) { return FieldDayNumber(field->GetAsStDate()); }

void ShowDay(TOvcPictureField* field, TDayNumber day) { field->SetAsStDate(day ? FieldDateOfDay(day) : -1); }

void TDateFieldKeys::AddDate(TOvcPictureField* date, std::function<void()> stepped)
{
    entries_.push_back({date, nullptr, std::move(stepped)});
    date->installEventFilter(this);
}

void TDateFieldKeys::AddDateTime(TOvcPictureField* date, TOvcPictureField* time)
{
    entries_.push_back({time, date, {}});
    time->installEventFilter(this);
}

bool TDateFieldKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* k = static_cast<QKeyEvent*>(event);
    if ((k->key() != Qt::Key_Up && k->key() != Qt::Key_Down) || k->modifiers() != Qt::NoModifier)
        return false;
    const int command = k->key() == Qt::Key_Up ? ccStepUp : ccStepDown;
    for (const TEntry& e : entries_) {
        if (e.field != watched)
            continue;
        if (e.date) {
            std::int32_t date = e.date->GetAsStDate(), time = e.field->GetAsStTime();
            if (StepDateTime(date, time, 1, command)) {
                e.date->SetAsStDate(date);
                e.field->SetAsStTime(time);
            }
        } else {
            std::int32_t date = e.field->GetAsStDate();
            if (StepDate(date, command)) {
                e.field->SetAsStDate(date);
                if (e.stepped)
                    e.stepped();
            }
        }
        return true;
    }
    return false;
}

} // namespace korval
