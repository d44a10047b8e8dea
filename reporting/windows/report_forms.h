#pragma once
// The runner's built-in forms in Qt: the setup form asked modally, the status form shown while
// a report runs, the preview form shown modally or left open until the operator closes it.
#include "reporting/report_system.h"

namespace korval {

class TQtReportForms : public TReportForms {
public:
    void Setup(TReportSystem& system, TOverrideMode mode, std::unique_ptr<TReportStepForm>& form) override;
    void Status(TReportSystem& system, TOverrideMode mode, std::unique_ptr<TReportStepForm>& form) override;
    void Preview(TReportSystem& system, TOverrideMode mode, std::unique_ptr<TReportStepForm>& form) override;
};

// The program's printer-setup command: the print system's dialog over the report printer, or
// the no-printer message.
void PrinterSetupCommand();

} // namespace korval
