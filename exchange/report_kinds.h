#pragma once
// The report classes a Reports-menu entry names, with the one argument each takes, and their
// creation: one call makes any report engine from its class, its argument and the operator's
// choices (band and mode for listings and summaries, the award for a custom-award report).
#include <memory>
#include <string_view>

#include "exchange/report.h"

namespace korval {

class TCustAward;

enum class TReportClass {
    CountryListing,        // argument: 1 including deleted countries
    CountryNeededListing,
    CountrySummaryReport,  // argument: 1 including deleted countries
    DXCCReport,            // argument: 1 five-band
    StateListing,
    StateSummaryReport,
    WASReport,             // argument: 1 five-band
    ZoneListing,
    ZoneSummaryReport,
    WAZReport,             // argument: 1 five-band
    WPXListing,
    WPXSummaryReport,      // argument: 1 deleted prefixes counted, 0 the Honor Roll
    WPXSubmission,
    IOTAReport,            // argument: the kind 0..7 (TSmallReportKind)
    CountyReport,          // argument: the kind
    VUCCReport,            // argument: the kind
    CustomReport,          // argument: the kind
    RateReport,
};

// The class by its name ("TCountryListing" ... "TRateReport"); false for another name.
bool ReportClassOfName(std::string_view name, TReportClass& cls);
// Listings and summaries of the award status ask for a band or a mode group first.
bool ReportAsksModeBand(TReportClass cls);
// Submissions that change award flags (the QSO window refreshes its views after them).
bool ReportSubmits(TReportClass cls, int argument);

struct TReportChoice {
    int ModeGroup = 0;                   // 0 all, 1..3
    int Band = 0;                        // 0 all, 1..15
    const TCustAward* Award = nullptr;   // the custom-award report's award
};

// The report engine; null for a custom-award report without an award.
std::unique_ptr<TReport> CreateReport(TReportClass cls, int argument, TQsoData* log, const TReportChoice& choice);

} // namespace korval
