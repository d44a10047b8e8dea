#pragma once
// The listing printer: a TFprint's rows in its columns on pages with the title, the date and the
// page number above the column headings, and a footer line at the bottom margin. It draws through
// the report engine's events, so the same run goes to a printer, the preview or a PDF file.
#include <ctime>
#include <string>

#include "exchange/fprint.h"

namespace korval {

class TBaseReport;
class TReportSystem;

// "mmmm d, yyyy" ("January 5, 2026") of a local time.
std::string LongDateText(std::time_t t);

// The program's footer line under every listing.
std::string ListingFooterText();

struct TListingOptions {
    std::string FontName = "Arial";
    int FontSize = 10;          // points; the title is one point larger and bold
    bool MultiColumn = false;   // as many listing columns side by side as fit the page
    std::string Footer;         // empty: ListingFooterText()
    std::time_t Today = 0;      // 0: the time of the run
};

// The listing printer (it owned the report component on a hidden form once, hence its name).
class TFPrintDialog {
public:
    TFPrintDialog(const TFprint& fprint, TListingOptions options);

    // Hooks the events of a run onto the report system.
    void Attach(TReportSystem& system);

    void BeforePrint(TBaseReport& r);
    void PrintHeader(TBaseReport& r);
    void PrintFooter(TBaseReport& r);
    void PrintBody(TBaseReport& r);

    int RowsPrinted() const { return rowsPrinted_; }
    // Width of the listing in inches (the sum of its tab stops), known once a run began.
    double ListingWidth() const { return listingWidth_; }

private:
    void setTabs(TBaseReport& r, double left);

    const TFprint& fprint_;
    TListingOptions options_;
    int rowsPrinted_ = 0;
    double listingWidth_ = 0;
    double charWidth_ = 0;
};

} // namespace korval
