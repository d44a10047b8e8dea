#include "app/child_window_kinds.h"

#include "logbook/base/string_utils.h"
#include "logbook/country_db.h"
#include "logbook/paths.h"
#include "logbook/qso_fields.h"
#include "logbook/windows/child_windows.h"
#include "logbook/windows/qso_form.h"
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

} // namespace

void PlugChildWindows(TChildWindows& children, std::function<TQSOForm*()> qsoWindow)
{
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
}

} // namespace korval
