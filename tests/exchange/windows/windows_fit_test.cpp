// Every dialog and window of the import/export and logbook layers opens at a size that shows
// all its controls whole. A new dialog gets a row here.
#include <QTest>
#include <functional>
#include <memory>

#include "exchange/filter_record.h"
#include "exchange/rate_report.h"
#include "exchange/windows/filter_windows.h"
#include "exchange/windows/get_cust_awd_form.h"
#include "exchange/windows/get_report_mode.h"
#include "exchange/windows/report_form.h"
#include "logbook/custom_award.h"
#include "exchange/windows/import_dialogs.h"
#include "exchange/windows/label_windows.h"
#include "logbook/report_definitions.h"
#include "logbook/windows/report_designer.h"
#include "exchange_fixture.h"
#include "exchange/windows/x_summary.h"
#include "logbook/windows/help_window.h"
#include "logbook/windows/log_dialogs.h"
#include "logbook/windows/logbook.h"
#include "logbook/windows/picklist.h"
#include "logbook/windows/prog_status.h"
#include "logbook/windows/progress_bar.h"
#include "logbook/windows/qso_form.h"
#include "logbook/windows/same_call.h"
#include "window_fit.h"

namespace korval {
namespace {

class WindowsFit : public test::ExchangeTest {};

TEST_F(WindowsFit, EveryWindowShowsAllItsControls)
{
    TQsoData log("FIT.KVL");
    TQsoRecord qso;
    qso.Call.assign("DL1ABC");
    qso.Date = 45000;
    SaveFilterFile(FilterFileName(), {AdifFilter()});
    TFilterRecord filter = AdifFilter();
    auto awards = TCustAwardList::LoadFromText("[IOTA]\nawdname=Islands on the air\n", "T");
    TLogStatusInfo info;
    info.open = true;
    info.fileName = "/home/op/.local/share/korval/SAVE/A-RATHER-LONG-LOG-NAME.KVL";
    info.qsos = 123456;
    TQSOForm owner(&log);
    const std::pair<const char*, std::function<QWidget*()>> windows[] = {
        {"duplicate options", [] { return new TAskDupesImport; }},
        {"prefix/zone change", [&] { return new TConfirmPZC(qso, 2, 14); }},
        {"filter list", [] { return new TPickIEFilter; }},
        {"filter editor", [&] { return new TIEDialog2(filter, nullptr, -1); }},
        {"status", [&] { return new TProgStatus(info); }},
        {"help", [] { return new THelpWindow; }},
        {"progress", [] { return new TProgressbar; }},
        {"QSO window", [&] { return new TQSOForm(&log); }},
        {"pick list", [] { return new TPicklist(nullptr, "Prefix", *CountryDb.Countries, 0); }},
        {"note editor", [] { return new TEditNote(nullptr, "QSO Notes"); }},
        {"address editor", [] { return new TEditAddress(nullptr, "Address for W3HNK"); }},
        {"disabled fields", [] { return new TDisabledFields; }},
        {"log list", [&] { return new TLogbook(&owner); }},
        {"same call", [&] { return new TSameCall(&owner); }},
        {"zone summary", [&] { return new TXSummary(&owner, 1); }},
        {"band/mode choice", [] { return new TGetReportMode; }},
        {"custom-award choice", [&] { return new TGetCustAwdForm(*awards); }},
        {"report window", [&] { return new TReportForm(std::make_unique<TRateReport>(&log), nullptr); }},
        {"label editor", [] { return new TLabelEditor(Config); }},
        {"label printing", [&] { return new TPrintLabelsDialog(log, lkLabelFlag, TLabelLookups{}); }},
        {"report designer", [] { return new TReportDesignerDialog(ReportDefinitions(), 0); }},
        {"report selector", [] { return new TSelectReport(ReportDefinitions(), 0, 4); }},
    };
    for (const auto& [what, make] : windows) {
        std::unique_ptr<QWidget> w(make());
        test::ExpectControlsFit(w.get(), what);
    }
}

} // namespace
} // namespace korval
