#pragma once
// Ctrl+Up and Ctrl+Down step a date field by one day, as every dated window of the program does.
#include <QObject>
#include <functional>

class QEvent;

namespace korval {

class TOvcBaseEntryField;

// Steps the field's date by days (an empty field starts from today); false when the result
// would leave the valid dates.
bool StepDateField(TOvcBaseEntryField* field, int days);

// An event filter on date fields: Ctrl+Up adds a day, Ctrl+Down takes one off. Stepped() runs
// after each step.
class TDateStepper : public QObject {
public:
    explicit TDateStepper(QObject* parent) : QObject(parent) {}
    void Watch(TOvcBaseEntryField* field);
    std::function<void(TOvcBaseEntryField*)> Stepped;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace korval
