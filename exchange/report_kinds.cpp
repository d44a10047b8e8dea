#include "exchange/report_kinds.h"

#include <iterator>

#include "exchange/award_submission.h"
#include "exchange/listing_reports.h"
#include "exchange/rate_report.h"
#include "exchange/small_report.h"
#include "exchange/summary_reports.h"

namespace korval {

namespace {
struct TClassName {
    const char* name;
    TReportClass cls;
};
constexpr TClassName kNames[] = {
    {"TCountryListing", TReportClass::CountryListing},
    {"TCountryNeededListing", TReportClass::CountryNeededListing},
    {"TCountrySummaryReport", TReportClass::CountrySummaryReport},
    {"TDXCCReport", TReportClass::DXCCReport},
    {"TStateListing", TReportClass::StateListing},
    {"TStateSummaryReport", TReportClass::StateSummaryReport},
    {"TWASReport", TReportClass::WASReport},
    {"TZoneListing", TReportClass::ZoneListing},
    {"TZoneSummaryReport", TReportClass::ZoneSummaryReport},
    {"TWAZReport", TReportClass::WAZReport},
    {"TWPXListing", TReportClass::WPXListing},
    {"TWPXSummaryReport", TReportClass::WPXSummaryReport},
    {"TWPXSubmission", TReportClass::WPXSubmission},
    {"TIOTAReport", TReportClass::IOTAReport},
    {"TCountyReport", TReportClass::CountyReport},
    {"TVUCCReport", TReportClass::VUCCReport},
    {"TCustomReport", TReportClass::CustomReport},
    {"TRateReport", TReportClass::RateReport},
};
} // namespace

bool ReportClassOfName(std::string_view name, TReportClass& cls)
{
    for (const TClassName& n : kNames)
        if (name == n.name) {
            cls = n.cls;
            return true;
        }
    return false;
}

bool ReportAsksModeBand(TReportClass cls)
{
    switch (cls) {
    case TReportClass::CountryListing:
    case TReportClass::CountryNeededListing:
    case TReportClass::CountrySummaryReport:
    case TReportClass::StateListing:
    case TReportClass::StateSummaryReport:
    case TReportClass::ZoneListing:
    case TReportClass::ZoneSummaryReport:
    case TReportClass::WPXListing:
    case TReportClass::WPXSummaryReport:
        return true;
    default:
        return false;
    }
}

bool ReportSubmits(TReportClass cls, int argument)
{
    switch (cls) {
    case TReportClass::DXCCReport:
    case TReportClass::WASReport:
    case TReportClass::WAZReport:
        return argument == 0;
    case TReportClass::WPXSubmission:
        return true;
    case TReportClass::IOTAReport:
    case TReportClass::CountyReport:
    case TReportClass::VUCCReport:
    case TReportClass::CustomReport:
        return argument == srSubmission;
    default:
        return false;
    }
}

std::unique_ptr<TReport> CreateReport(TReportClass cls, int argument, TQsoData* log, const TReportChoice& choice)
{
    const bool on = argument != 0;
    const int kind = argument >= srListing && argument <= srNeededListing ? argument : srListing;
    std::unique_ptr<TReport> r;
    switch (cls) {
    case TReportClass::CountryListing: r = std::make_unique<TCountryListing>(log, on); break;
    case TReportClass::CountryNeededListing: r = std::make_unique<TCountryNeededListing>(log); break;
    case TReportClass::CountrySummaryReport: r = std::make_unique<TCountrySummaryReport>(log, on); break;
    case TReportClass::DXCCReport: r = std::make_unique<TDXCCReport>(log, on); break;
    case TReportClass::StateListing: r = std::make_unique<TStateListing>(log); break;
    case TReportClass::StateSummaryReport: r = std::make_unique<TStateSummaryReport>(log); break;
    case TReportClass::WASReport: r = std::make_unique<TWASReport>(log, on); break;
    case TReportClass::ZoneListing: r = std::make_unique<TZoneListing>(log); break;
    case TReportClass::ZoneSummaryReport: r = std::make_unique<TZoneSummaryReport>(log); break;
    case TReportClass::WAZReport: r = std::make_unique<TWAZReport>(log, on); break;
    case TReportClass::WPXListing: r = std::make_unique<TWPXListing>(log); break;
    case TReportClass::WPXSummaryReport: r = std::make_unique<TWPXSummaryReport>(log, on); break;
    case TReportClass::WPXSubmission: r = std::make_unique<TWPXSubmission>(log); break;
    case TReportClass::IOTAReport: r = std::make_unique<TIOTAReport>(log, kind); break;
    case TReportClass::CountyReport: r = std::make_unique<TCountyReport>(log, kind); break;
    case TReportClass::VUCCReport: r = std::make_unique<TVUCCReport>(log, kind); break;
    case TReportClass::CustomReport:
        if (!choice.Award)
            return nullptr;
        r = std::make_unique<TCustomReport>(log, kind, *choice.Award);
        break;
    case TReportClass::RateReport: r = std::make_unique<TRateReport>(log); break;
    }
    if (r && ReportAsksModeBand(cls)) {
        // At most one of the two is chosen.
        r->ModeGroup = choice.Band != 0 ? 0 : choice.ModeGroup;
        r->Band = choice.Band;
    }
    return r;
}

} // namespace korval
