#include "logbook/qso_call_entry.h"

#include <initializer_list>
#include <string_view>

#include "logbook/call_lookup.h"
#include "logbook/child_window.h"
#include "logbook/country_db.h"
#include "logbook/call_syntax.h"
#include "logbook/main_form_code.h"
#include "logbook/qso_data.h"
#include "logbook/qso_entry_host.h"
#include "logbook/qso_location.h"
#include "logbook/qso_lookup.h"
#include "logbook/base/string_utils.h"

namespace korval {

namespace {

// The most recent QSO of a call in the by-call index, or null.
const TQsoRecord* LastQsoOfCall(const TQsoData& log, std::string_view call)
{
    TQsoRecord key;
    key.Call.assign(call);
    key.Date = 65535;
    key.Time = 0x7fffffff;
    key.Band = 255;
    key.Mode = 255;
    int i = 0;
    log.ByCall().Find(key, i);
    if (i > 0 && log.ByCall().At(i - 1)->Call == call)
        return log.ByCall().At(i - 1);
    return nullptr;
}

} // namespace

std::string TQsoCallEntry::EnteredCall() const { return UpperAscii(TrimSpaces(fields_.Text[fCall])).substr(0, 12); }

TQsoRecord TQsoCallEntry::LookUpEntered() const
{
    TQsoRecord look;
    look.Call.assign(EnteredCall());
    look.Date = FieldDayNumber(fields_.Date);
    QsoLookup().LookupCall(look);
    return look;
}

void TQsoCallEntry::MarkDirty(std::initializer_list<int> slots)
{
    for (int s : slots)
        host_.MarkChildDirty(s);
}

bool TQsoCallEntry::Entered()
{
    auto& T = fields_.Text;
    const std::string call = EnteredCall();
    const bool valid = IsValidCall(call);
    T[fCallNotes] = log_.GetCallNote(call);
    TQsoRecord look;
    look.Call.assign(call);
    look.Date = FieldDayNumber(fields_.Date);
    QsoLookup().LookupCall(look);
    fields_.Sel[fValid] = call.find("/MM") != std::string::npos ? ynNo : ynYes;
    T[fQslMgr] = GetQslManager(call, look.Date);
    T[fIota].clear();
    T[fCnty].clear();
    T[fGrid].clear();
    T[fZone] = std::to_string(look.Zone);
    T[fState] = StateAbbrev(look.State);
    if (const TQsoRecord* last = LastQsoOfCall(log_, call)) {
        T[fState] = StateAbbrev(last->State);
        T[fIota] = last->Iota.str();
        T[fGrid] = last->Grid.str();
        T[fCnty] = (last->State && last->County) ? CountyName(last->State, last->County) : std::string();
        fields_.Sel[fYl] = last->HasFlag(qfYL) ? ynYes : ynNo;
    }
    if (T[fIota].empty() && look.Country) {
        TCountryRecord c;
        if (GetCountry(look.Country, c))
            T[fIota] = c.DefaultIota;
    }
    location_.ShowCountry(look.Country);
    location_.ShowHeading();
    fields_.ClearModified();
    MarkDirty({cwSameCall, cwWpxSummary, cwZoneSummary, cwIotaSummary, cwGridSummary, cwStateSummary, cwMasterCalls});
    host_.PostToMainForm(mfWorkedStatusChanged);
    return valid;
}

void TQsoCallEntry::DateExit()
{
    if (!fields_.Modified[fDate])
        return;
    const TQsoRecord look = LookUpEntered();
    fields_.Text[fQslMgr] = GetQslManager(look.Call.view(), look.Date);
    fields_.Text[fZone] = std::to_string(look.Zone);
    location_.ShowCountry(look.Country);
}

void TQsoCallEntry::PrefixExit()
{
    if (!fields_.Modified[fPrefix])
        return;
    std::int32_t c = CountryNumberOfPrefix(UpperAscii(TrimSpaces(fields_.Text[fPrefix])).substr(0, 5));
    if (c < 0)
        c = 0;
    TCountryRecord rec;
    fields_.Text[fZone] = std::to_string(GetCountry(static_cast<std::uint16_t>(c), rec) ? rec.CqZone : 0);
    host_.MarkChildDirty(cwZoneSummary);
    location_.ShowCountry(static_cast<std::uint16_t>(c));
    fields_.Modified[fPrefix] = true;
    fields_.EverModified[fPrefix] = true;
    host_.PostToMainForm(mfWorkedStatusChanged);
}

void TQsoCallEntry::StateExit()
{
    if (!fields_.Modified[fState])
        return;
    const TQsoRecord look = LookUpEntered();
    fields_.Text[fCnty].clear();
    std::uint8_t st = StateNumber(TrimSpaces(fields_.Text[fState]));
    TUsStateRecord s;
    int zone = (st && GetState(st, s)) ? s.CqZone : look.Zone;
    if (std::to_string(zone) != TrimSpaces(fields_.Text[fZone])) {
        fields_.Text[fZone] = std::to_string(zone);
        host_.MarkChildDirty(cwZoneSummary);
    }
    MarkDirty({cwStateSummary, cwCountryInfo});
}

void TQsoCallEntry::Preview(const std::string& call, TDayNumber date)
{
    if (!TrimSpaces(fields_.Text[fCall]).empty())
        return;
    TQsoRecord look;
    look.Call.assign(UpperAscii(call).substr(0, 12));
    look.Date = date;
    QsoLookup().LookupCall(look);
    TCountryRecord c;
    if (look.Country && GetCountry(look.Country, c)) {
        fields_.Text[fPrefix] = c.Prefix;
        fields_.CountryText = "SPOT: " + c.Name.substr(0, 34);
        fields_.Text[fZone] = std::to_string(look.Zone);
        MarkDirty({cwCountrySummary, cwCountryInfo, cwZoneSummary});
    } else {
        fields_.CountryText.clear();
        fields_.Text[fPrefix].clear();
        fields_.Text[fZone].clear();
    }
}

} // namespace korval
