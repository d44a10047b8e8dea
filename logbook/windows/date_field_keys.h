#pragma once
// Dialogs' date fields. Up and Down in a date field step the date by one day; in a time field paired with a
// date field they step date and time together by one minute. A callback after each step lets
// the dialog keep its dates in order.
#include <QObject>

#include <functional>
#include <vector>

#include "logbook/base/day_number.h"

class QWidget;

namespace korval {

class TOvcPictureField;

// A date field with the configured date picture showing day (empty for 0).
TOvcPictureField* NewDateField(QWidget* parent, const char* name, TDayNumber day = 0);
// The day a date field holds; 0 when it is empty or holds no readable date.
TDayNumber FieldDay(TOvcPictureField* field);
void ShowDay(TOvcPictureField* field, TDayNumber day);

class TDateFieldKeys : public QObject {
public:
    explicit TDateFieldKeys(QObject* parent) : QObject(parent) {}

    void AddDate(TOvcPictureField* date, std::function<void()> stepped = {});
    void AddDateTime(TOvcPictureField* date, TOvcPictureField* time);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TEntry {
        TOvcPictureField* field;
        TOvcPictureField* date;  // for a time field: its date; else null
        std::function<void()> stepped;
    };
    std::vector<TEntry> entries_;
};

} // namespace korval
