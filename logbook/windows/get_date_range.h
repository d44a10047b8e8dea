#pragma once
// TGetDateRange ("Get date range"): a start and an end date. The end is shown no earlier than
// the start, stepping it below the start puts it on the start, and OK closes the dialog only
// while the end is not before the start.
#include <QDialog>

#include "logbook/base/day_number.h"

class QPushButton;

namespace korval {

class TOvcPictureField;

class TGetDateRange : public QDialog {
    Q_OBJECT
public:
    TGetDateRange(QWidget* parent, TDayNumber start, TDayNumber end);

    TOvcPictureField* F_start;
    TOvcPictureField* F_end;
    QPushButton* Button1;

    // The dates as the fields hold them (0 for an empty field).
    TDayNumber Start() const;
    TDayNumber End() const;
    void Button1Click();

protected:
    void showEvent(QShowEvent* e) override;
};

} // namespace korval
