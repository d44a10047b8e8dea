#include "reporting/printer_report.h"

namespace korval {

void TPrinterReport::BeginDoc()
{
    if (!device_.HasPrinters()) {
        ShowReportError(ReportText(kNoPrinters));
        return;
    }
    CheckNotPrinting();
    const bool started = OpenDocument([this] {
        device_.SetTitle(Title);
        device_.BeginDoc();
        return device_.Printing();
    });
    if (started)
        BeginFirstPage();
}

void TPrinterReport::EndDoc()
{
    CheckPrinting();
    FinishLastPage();
    FinishPrintJob();
}

} // namespace korval
