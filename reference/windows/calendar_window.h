#pragma once
// The events calendar window: the events of a chosen day, and the list of events to edit.
#include <QWidget>

#include <string>

#include "reference/cal_collection.h"

class QPushButton;

namespace korval {

class TOvcController;
class TOvcCustomListBox;
class TOvcNotebook;
class TOvcPictureField;
class TPopupBox;
class TDateStepper;

class TFCalendar : public QWidget {
    Q_OBJECT
public:
    // The calendar of that file (SAVE/KORVAL.CAL); a damaged file is reported and left alone.
    explicit TFCalendar(std::string fileName, QWidget* parent = nullptr);

    const TCalCollection& Events() const { return events_; }

    // The page "Today": the notes of the events on the day in F_today.
    void ShowToday();
    // The page "Edit events".
    void AddNewClick();
    void DeleteClick();
    void CleanupClick();
    void SaveClick();
    void CancelClick();
    // The event chosen in F_Note: its dates into F_start and F_end.
    void NoteChosen();

    TOvcController* Controller = nullptr;
    TOvcNotebook* NB = nullptr;
    TOvcPictureField* F_today = nullptr;
    TOvcCustomListBox* LB = nullptr;
    TPopupBox* F_Note = nullptr;
    TOvcPictureField* F_start = nullptr;
    TOvcPictureField* F_end = nullptr;
    QPushButton* AddBtn = nullptr;
    QPushButton* DeleteBtn = nullptr;
    QPushButton* CleanupBtn = nullptr;
    QPushButton* SaveBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillNotes(int select);
    // The end follows a start that moved past it.
    void KeepEndAfterStart();

    std::string fileName_;
    TCalCollection events_;
    TDateStepper* stepper_ = nullptr;
};

} // namespace korval
