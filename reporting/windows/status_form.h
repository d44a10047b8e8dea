#pragma once
// TRPStatusForm: the progress of a run ("Printing page 3") with a Cancel button that aborts
// the running surface; at the end it may wait for OK.
#include <QDialog>
#include <memory>

#include "reporting/base_report.h"

class QLabel;
class QPushButton;

namespace korval {

class TReportSystem;

class TRPStatusForm : public QDialog {
    Q_OBJECT
public:
    explicit TRPStatusForm(TReportSystem& runner, QWidget* parent = nullptr);

    QLabel* StatusLabel;
    QPushButton* CancelButton;
    // Where the running surface writes its progress.
    std::shared_ptr<TReportStatusLabel> Label() const { return label_; }
    // The button becomes OK; returns when it is pressed.
    void WaitForOK();

private:
    TReportSystem& runner_;
    std::shared_ptr<TReportStatusLabel> label_;
    bool waiting_ = false;
};

} // namespace korval
