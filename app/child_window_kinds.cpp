#include "app/child_window_kinds.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "app/main_form.h"
#include "entry/windows/ovc_base_field.h"
#include "exchange/report_kinds.h"
#include "exchange/windows/report_form.h"
#include "exchange/windows/x_summary.h"
#include "globe/windows/world_map.h"
#include "logbook/entry_mode.h"
#include "logbook/ext_data_qso_link.h"
#include "logbook/qso_map_position.h"
#include "logbook/base/string_utils.h"
#include "logbook/country_db.h"
#include "logbook/paths.h"
#include "logbook/qso_fields.h"
#include "logbook/windows/child_windows.h"
#include "logbook/windows/logbook.h"
#include "logbook/windows/same_call.h"
#include "logbook/windows/qso_form.h"
#include "station/windows/cluster_terminals.h"
#include "station/windows/psk31_window.h"
#include "station/windows/putout_window.h"
#include "reference/windows/ext_data_lookup.h"
#include "reference/windows/master_lookup.h"
#include "reference/windows/sun_windows.h"

namespace korval {

namespace {

// The country of the QSO the QSO window shows; 0 when there is none.
std::uint16_t ShownCountry(TQSOForm* qso)
{
    if (!qso)
        return 0;
    const std::string prefix = TrimSpaces(qso->Entry().Fields.Text[fPrefix]);
    if (prefix.empty())
        return 0;
    const std::int32_t n = CountryNumberOfPrefix(prefix);
    return n > 0 ? static_cast<std::uint16_t>(n) : 0;
}

std::string ShownCall(TQSOForm* qso)
{
    return qso ? UpperAscii(TrimSpaces(qso->Entry().Fields.Text[fCall])) : std::string();
}

// Where the shown QSO is for the world map: what the heading display was computed from; the
// display reads "label: heading..." when it has a position.
TQsoMapPosition ShownPosition(TQSOForm* qso)
{
    TQsoMapPosition pos;
    if (!qso)
        return pos;
    const std::string& dirDist = qso->Entry().Fields.DirDist;
    const auto colon = dirDist.find(':');
    if (colon == std::string::npos || colon == 0)
        return pos;
    pos.Label = dirDist.substr(0, std::min<std::size_t>(colon, 6));
    pos.Longitude = qso->Entry().HeadingLongitude();
    pos.Latitude = qso->Entry().HeadingLatitude();
    return pos;
}

// The lookup window's view of the QSO window: the call and manager fields as they stand on the
// screen, so a call being typed is the one looked up.
class TQsoWindowLink : public TExtDataQsoLink {
public:
    explicit TQsoWindowLink(std::function<TQSOForm*()> qsoWindow) : qsoWindow_(std::move(qsoWindow)) {}

    std::string QsoCallsign() const override { return Text(fCall); }
    bool QsoReadOnly() const override
    {
        TQSOForm* qso = qsoWindow_();
        return !qso || qso->EntryMode() == emSearch;
    }
    std::string QsoManager() const override { return Text(fQslMgr); }
    void SetQsoManager(const std::string& call) override
    {
        if (TOvcBaseEntryField* f = Field(fQslMgr)) {
            f->SetAsString(call);
            f->SetModified(true);
            f->SetEverModified(true);
        }
    }
    void EditManagerAddress(bool startModified) override
    {
        TMainForm* main = MainForm();
        if (!main)
            return;
        std::string manager = UpperAscii(TrimSpaces(QsoManager())).substr(0, 12);
        main->EditManagerAddress(manager, startModified, qsoWindow_());
    }
    void ActivateQsoWindow() override
    {
        if (TQSOForm* qso = qsoWindow_()) {
            qso->showNormal();
            qso->raise();
            qso->activateWindow();
        }
    }

private:
    TOvcBaseEntryField* Field(int field) const
    {
        TQSOForm* qso = qsoWindow_();
        return qso ? qso->Field(field) : nullptr;
    }
    std::string Text(int field) const
    {
        TOvcBaseEntryField* f = Field(field);
        return f ? f->GetAsString() : std::string();
    }

    std::function<TQSOForm*()> qsoWindow_;
};

} // namespace

void PlugChildWindows(TChildWindows& children, std::function<TQSOForm*()> qsoWindow)
{
    // The worked-status summaries: a summary kind is its slot's number.
    for (int slot : {cwCountrySummary, cwZoneSummary, cwStateSummary, cwIotaSummary, cwGridSummary, cwWpxSummary}) {
        TChildWindowKind summary;
        summary.Create = [qsoWindow, slot](QWidget*) -> QWidget* { return new TXSummary(qsoWindow(), slot); };
        summary.Refresh = [](QWidget* w) { static_cast<TXSummary*>(w)->UpdateForQso(); };
        summary.UpdateSummary = [](QWidget* w) { static_cast<TXSummary*>(w)->UpdateForQso(); };
        summary.Rebuild = [](QWidget* w) { static_cast<TXSummary*>(w)->SetupGrid(); };
        children.Plug(slot, std::move(summary));
    }

    TChildWindowKind sameCall;
    sameCall.Create = [qsoWindow](QWidget*) -> QWidget* { return new TSameCall(qsoWindow()); };
    sameCall.Refresh = [](QWidget* w) { static_cast<TSameCall*>(w)->RefreshChild(); };
    children.Plug(cwSameCall, std::move(sameCall));

    TChildWindowKind logList;
    logList.Create = [qsoWindow](QWidget*) -> QWidget* { return new TLogbook(qsoWindow()); };
    logList.Refresh = [](QWidget* w) { static_cast<TLogbook*>(w)->RefreshChild(); };
    children.Plug(cwLogbook, std::move(logList));

    TChildWindowKind sun;
    sun.Create = [qsoWindow](QWidget* owner) -> QWidget* {
        return new TCountryInfo([qsoWindow] { return ShownCountry(qsoWindow()); }, owner);
    };
    sun.Refresh = [](QWidget* w) { static_cast<TCountryInfo*>(w)->ShowCountry(); };
    children.Plug(cwCountryInfo, std::move(sun));

    TChildWindowKind master;
    master.Create = [](QWidget* owner) -> QWidget* { return new TMasterLookup(GetProgramDirFileName(pfMaster), owner); };
    master.Refresh = [qsoWindow](QWidget* w) { static_cast<TMasterLookup*>(w)->Search(ShownCall(qsoWindow())); };
    children.Plug(cwMasterCalls, std::move(master));

    TChildWindowKind lookup;
    auto link = std::make_shared<TQsoWindowLink>(qsoWindow);
    lookup.Create = [link](QWidget* owner) -> QWidget* {
        auto* w = new TExtDataLookup(link.get(), owner);
        w->OnClosed = [link] {};  // the window keeps the link as long as it lives
        return w;
    };
    lookup.Refresh = [](QWidget* w) { static_cast<TExtDataLookup*>(w)->AutoUpdate(); };
    lookup.LookupCall = [](QWidget* w, const std::string& call, bool asManager) {
        static_cast<TExtDataLookup*>(w)->LookupCall(call, asManager);
    };
    children.Plug(cwExternalData, std::move(lookup));

    // One map for the QSO window's slot and the main window's File menu.
    TChildWindowKind map;
    map.Create = [qsoWindow](QWidget* owner) -> QWidget* {
        auto* w = new TWorldMap([qsoWindow] { return ShownPosition(qsoWindow()); }, owner);
        // "Propagation" draws the paths to the countries of the running cluster's spots: the
        // list of the spot window while there is one.
        w->SpotList = []() -> const std::vector<TSpotRecord>* {
            TMainForm* main = MainForm();
            TClusterTerminals* terminals = main ? main->Terminals() : nullptr;
            TPutoutW* spots = terminals ? terminals->SpotWindow() : nullptr;
            return spots ? &spots->List().spots() : nullptr;
        };
        return w;
    };
    map.Refresh = [](QWidget* w) { static_cast<TWorldMap*>(w)->ShowQsoCountry(); };
    children.Plug(cwWorldMap, std::move(map));

    // The PSK31 terminal tells the main window it opened; the main window answers it.
    TChildWindowKind psk;
    psk.Create = [](QWidget* owner) -> QWidget* {
        auto* w = new TPSK31Window(owner);
        QObject::connect(w, &TPSK31Window::notifyMainWindow, w, [w](int code) { PostToMainFormEx(code, w); });
        return w;
    };
    children.Plug(cwPsk31, std::move(psk));
}

void OpenQsoReport(const TReportEntry& entry, TQSOForm* qso)
{
    TReportClass cls{};
    if (!ReportClassOfName(entry.reportClass, cls))
        throw std::logic_error(std::string("no report class ") + entry.reportClass);
    // A submission marks the QSOs it submits.
    if (OpenReport(cls, entry.argument, qso) && qso && ReportSubmits(cls, entry.argument))
        qso->LogChanged(false);
}

} // namespace korval
