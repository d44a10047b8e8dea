#include "exchange/windows/label_print_run.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "exchange/windows/report_setup.h"
#include "platform/message_dlg.h"
#include "reporting/report_system.h"
#include "reporting/rp_device.h"

namespace korval {

namespace {

std::string upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

TLabelPaper::TLabelPaper(TRPDevice& device, const TLabelLayout& layout) : device_(device)
{
    TDevMode* dm = device_.HasPrinters() ? device_.GetDevMode() : nullptr;
    if (!dm)
        return;
    saved_ = true;
    paper_ = dm->dmPaperSize;
    width_ = dm->dmPaperWidth;
    length_ = dm->dmPaperLength;
    orientation_ = dm->dmOrientation;
    device_.SetOrientation(layout.Portrait ? poPortrait : poLandScape);
    if (layout.CustomPaper()) {
        const int w = int(std::lround(layout.PageWidth * 254)), l = int(std::lround(layout.PageHeight * 254));
        const bool already = dm->dmPaperSize == DMPAPER_USER && dm->dmPaperWidth == w && dm->dmPaperLength == l;
        if (!already && !device_.SetPaperSize(DMPAPER_USER, w, l))
            MessageDlg("Not able to set custom Paper Size", TMsgDlgType::mtWarning, mbOK);
        return;
    }
    const std::string want = upper(layout.PaperName);
    for (const auto& [name, code] : device_.GetPapers()) {
        if (upper(name).find(want) == std::string::npos)
            continue;
        if (dm->dmPaperSize != code && !device_.SetPaperSize(code, 0, 0))
            MessageDlg("Not able to select paper: " + name, TMsgDlgType::mtWarning, mbOK);
        return;
    }
    MessageDlg("Unknown Paper", TMsgDlgType::mtWarning, mbOK);
}

TLabelPaper::~TLabelPaper()
{
    if (!saved_)
        return;
    try {
        device_.SetOrientation(orientation_ == 2 ? poLandScape : poPortrait);
        if (paper_ == DMPAPER_USER)
            device_.SetPaperSize(DMPAPER_USER, width_, length_);
        else
            device_.SetPaperSize(paper_, 0, 0);
    } catch (...) {
        // The printer went away meanwhile: nothing to give back.
    }
}

TLabelRunResult PrintQslLabels(TLabelQueue& queue, const TLabelLayout& layout, const TLabelSettings& settings,
                               int skip, QWidget* owner)
{
    TLabelRunResult result;
    double w = 0, h = 0;
    LabelPageSize(layout, w, h);
    const std::string problem = ValidateLabelLayout(layout, w, h);
    if (!problem.empty()) {
        MessageDlg(problem, TMsgDlgType::mtError, mbOK);
        return result;
    }
    TReportSystem report;
    report.SystemPrinter.Title = "QSL labels";
    TMyLabPr printer(layout, settings, queue.Kind());
    printer.Attach(report, TMyLabPr::FillFrom(queue));
    if (!RunReportSetup(true, report, owner))
        return result;
    printer.Skip = std::max(0, skip);
    queue.PlanRun();
    result.ToPaper = report.DefaultDest != rdPreview;
    printer.MarkPrinted = result.ToPaper;
    {
        TLabelPaper paper(report.Device(), layout);
        report.Execute();
    }
    result.Placed = printer.Placed();
    result.Printed = !report.Aborted() && !printer.Aborted();
    if (result.Printed) {
        queue.CommitRun();
        result.PrintedQsos = printer.Printed();
        result.PrintedSwl = printer.PrintedSwl();
    } else {
        // The planned routes are dropped with the list they were made for.
        queue.Build(queue.Choice());
    }
    return result;
}

} // namespace korval
