#pragma once
// TCanvasReport: the report surface that draws its output operations on a canvas: text with
// its alignment and inline font codes, shapes, pictures and raw device data. The printer
// surface draws on the printer device's canvas; the stream player and the preview draw on
// their own.
#include <string>

#include "reporting/base_report.h"

namespace korval {

class TCanvasReport : public TBaseReport {
public:
    explicit TCanvasReport(TRPDevice& device = ReportDevice());
    ~TCanvasReport() override;

    KORVAL_REPORT_OUTPUT_OPERATIONS(, override)

protected:
    // Requires a print job; false when the output of this page or destination is skipped.
    bool Drawing();
    // A page of the device begins (after the surface's page change): the device starts one
    // unless the page is skipped, and its metrics are read again.
    void StartPageOutput() override;

private:
    void drawText(const std::string& text, unsigned align, double x);
    void formattedLeft(const std::string& text, double x);
    // The pixel corners of a shape whose pen lies as the pen style and drawing mode say.
    TPixelRect penRect(double x1, double y1, double x2, double y2);
    // Raw device data goes nowhere here; said once in the trace.
    void passThrough();
    bool passThroughTraced_ = false;
};

} // namespace korval
