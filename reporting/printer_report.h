#pragma once
// TPrinterReport: the report surface that prints straight onto the selected printer, opening,
// paging and closing the print job itself.
#include "reporting/canvas_report.h"

namespace korval {

// Shown whenever a print is asked for and no printer is installed.
inline constexpr const char* kNoPrinters = "No printers are defined, aborting print job.";

class TPrinterReport : public TCanvasReport {
public:
    explicit TPrinterReport(TRPDevice& device = ReportDevice()) : TCanvasReport(device) {}

    void BeginDoc() override;
    void EndDoc() override;
};

} // namespace korval
