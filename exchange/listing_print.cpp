#include "exchange/listing_print.h"

#include <algorithm>
#include <cmath>

#include "reporting/base_report.h"
#include "reporting/report_system.h"

namespace korval {

namespace {

constexpr const char* kMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};
constexpr double kColumnGap = 0.05;  // inches between the listing's columns side by side
constexpr double kCellGap = 0.1;     // inches added to each tab stop

} // namespace

std::string LongDateText(std::time_t t)
{
    std::tm tm{};
    localtime_r(&t, &tm);
    return std::string(kMonths[tm.tm_mon]) + " " + std::to_string(tm.tm_mday) + ", " +
           std::to_string(tm.tm_year + 1900);
}

std::string ListingFooterText()
{
    return "Printed with Korval, the logbook for radio amateurs - Version 5.02";
}

TFPrintDialog::TFPrintDialog(const TFprint& fprint, TListingOptions options)
    : fprint_(fprint), options_(std::move(options))
{
    if (options_.Footer.empty())
        options_.Footer = ListingFooterText();
}

void TFPrintDialog::Attach(TReportSystem& system)
{
    system.OnBeforePrint = [this](TBaseReport& r) { BeforePrint(r); };
    system.OnPrintHeader = [this](TBaseReport& r) { PrintHeader(r); };
    system.OnPrintFooter = [this](TBaseReport& r) { PrintFooter(r); };
    system.OnPrint = [this](TBaseReport& r) { PrintBody(r); };
}

void TFPrintDialog::BeforePrint(TBaseReport& r)
{
    r.SetUnits(unInch);
    r.SetMarginLeft(std::max(0.8, r.GetUnprintableLeft()));
    r.SetMarginRight(std::max(0.5, r.GetUnprintableRight()));
    r.SetMarginTop(1.0);
    r.SetMarginBottom(1.0);
    r.LineHeightMethod = lhmFont;
    rowsPrinted_ = 0;
}

void TFPrintDialog::setTabs(TBaseReport& r, double left)
{
    r.ClearTabs();
    double x = left;
    for (const TFprintColumn& c : fprint_.Columns) {
        const double w = c.Width * charWidth_ + kCellGap;
        const TTextJustify j = c.Align == faRight ? pjRight : c.Align == faCenter ? pjCenter : pjLeft;
        r.SetTab(x, j, w, 5, BOXLINENONE, 0);  // 0.05 inch inside each side
        x += w;
    }
    listingWidth_ = x - left;
}

void TFPrintDialog::PrintHeader(TBaseReport& r)
{
    r.ResetColumns();
    r.SetSectionTop(r.MarginLineTop());
    r.GotoFirstLine();
    r.SetFont(options_.FontName, options_.FontSize + 1);
    r.SetBold(true);
    const double left = r.GetSectionLeft();
    const double right = r.GetSectionRight();
    r.PrintCenter(fprint_.Title, (left + right) / 2);
    r.NewLine();
    r.PrintLeft(LongDateText(options_.Today ? options_.Today : r.ReportDateTime()), left);
    r.PrintRight("Page " + std::to_string(r.CurrentPage()), right);
    r.NewLine();
    r.SetBold(false);
    r.SetFont(options_.FontName, options_.FontSize);
    // Column widths count characters of the body font.
    charWidth_ = r.TextWidth("0000000000") / 10;
    setTabs(r, left);
    int across = 1;
    if (options_.MultiColumn && listingWidth_ > 0)
        across = std::max(1, int(std::floor((right - left + kColumnGap) / (listingWidth_ + kColumnGap))));
    const std::string heading = fprint_.HeadingLine();
    for (int c = 0; c < across; ++c) {
        setTabs(r, left + c * (listingWidth_ + kColumnGap));
        r.Print("\t" + heading);
    }
    r.NewLine();
    // The rows begin under the headings, in every column of the page.
    r.SetSectionTop(r.GetLineTop());
    if (across > 1)
        r.SetColumns(across, kColumnGap);
    setTabs(r, r.GetSectionLeft());
}

void TFPrintDialog::PrintFooter(TBaseReport& r)
{
    r.PushFont();
    r.SetFont(options_.FontName, std::max(6, options_.FontSize - 2));
    const double bottom = r.GetSectionBottom();
    r.SetSectionBottom(r.MarginLineBottom() + r.GetLineHeight());
    r.PrintFooterLine(options_.Footer, pjCenter);
    r.SetSectionBottom(bottom);
    r.PopFont();
}

void TFPrintDialog::PrintBody(TBaseReport& r)
{
    std::string line;
    const int rows = fprint_.RowCount();
    for (int i = 0; i < rows && !r.Aborted(); ++i) {
        if (r.CurrentPage() > r.LastPage)
            break;
        if (r.LinesLeft() <= 1) {
            r.NewPage();
        }
        setTabs(r, r.ColumnStartX());
        fprint_.GetLine(i, line);
        r.Print("\t" + line);
        r.NewLine();
        ++rowsPrinted_;
    }
}

} // namespace korval
