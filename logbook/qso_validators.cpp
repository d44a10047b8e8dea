#include "logbook/qso_validators.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "logbook/call_lookup.h"
#include "logbook/child_window.h"
#include "logbook/country_db.h"
#include "logbook/entry_field_errors.h"
#include "logbook/was_state.h"
#include "logbook/position.h"
#include "logbook/qso_data.h"
#include "logbook/qso_entry_host.h"
#include "logbook/qso_location.h"
#include "logbook/base/string_utils.h"
#include "platform/message_dlg.h"

namespace korval {

namespace {

bool IotaKnown(const std::string& ref)
{
    if (!CountryDb.Iota)
        return false;
    auto key = MakeShortStrKey(ref);
    return CountryDb.Iota->IndexOfKey(key.data()) >= 0;
}

std::uint8_t StatesKindOf(std::uint16_t country)
{
    TCountryRecord c;
    return country && GetCountry(country, c) ? c.StatesKind : 0;
}

std::uint16_t PrefixCountry(const std::string& prefix)
{
    std::int32_t c = CountryNumberOfPrefix(UpperAscii(TrimSpaces(prefix)).substr(0, 5));
    return static_cast<std::uint16_t>(c < 0 ? 0 : c);
}

} // namespace

int TQsoValidators::ValidateField(int field, bool search) const
{
    const std::string text = fields_.Text[static_cast<std::size_t>(field)];
    if (field == fPrefix) {
        std::string p = UpperAscii(text).substr(0, 5);
        if (search) {
            if (!p.empty() && p[0] == '!')
                p.erase(0, 1);
            if (!p.empty() && p[0] == '*')
                p.erase(0, 1);
        }
        p = TrimSpaces(p);
        return !p.empty() && CountryNumberOfPrefix(p) < 0 ? oeUnknownValue : 0;
    }
    if (search)
        return 0;
    switch (field) {
    case fZone: {
        long v = FieldTextToInt(text);
        return v < 0 || v > 40 ? oeRangeError : 0;
    }
    case fGroup: {
        long v = FieldTextToInt(text);
        return v < 0 || v > 253 ? oeRangeError : 0;
    }
    case fGrid:
        return IsValidGrid(TrimSpaces(text)) ? 0 : oeUnknownValue;
    case fIota: {
        std::string ref = UpperAscii(text);
        while (!ref.empty() && ref.back() == ' ')
            ref.pop_back();
        return ref.empty() || IotaKnown(ref) ? 0 : oeUnknownValue;
    }
    case fState: {
        const std::uint16_t country = PrefixCountry(fields_.Text[fPrefix]);
        const std::string st = UpperAscii(TrimSpaces(text));
        const std::string two = st.substr(0, 2);
        const bool known = StateNumber(two) != 0;
        if (WasStateFor(StatesKindOf(country), two, known) != two || (!st.empty() && !known))
            return oeUnknownValue;
        return 0;
    }
    case fCnty: {
        const std::string name = TrimSpaces(text).substr(0, 18);
        if (!fields_.Modified[fCnty] || name.empty())
            return 0;
        const std::string st = UpperAscii(TrimSpaces(fields_.Text[fState]));
        if (st.empty() || StateNumber(st) == 0 || CountyNumber(st, name) == 0)
            return oeUnknownValue;
        return 0;
    }
    default:
        return 0;
    }
}

void TQsoValidators::FieldError(int field, bool search)
{
    switch (field) {
    case fZone:
        MessageDlg("Valid range is 0..40", TMsgDlgType::mtWarning, mbOK);
        break;
    case fGroup:
        MessageDlg("Valid range is 0..253", TMsgDlgType::mtWarning, mbOK);
        break;
    case fGrid:
        MessageDlg("Not a good GRID", TMsgDlgType::mtError, mbOK);
        break;
    case fIota:
        ShowIotaListing();
        break;
    case fState:
        ShowStates();
        break;
    case fPrefix:
        ShowCountries(search);
        break;
    case fCnty:
        if (TrimSpaces(fields_.Text[fState]).empty())
            MessageDlg("No State information available", TMsgDlgType::mtError, mbOK);
        else
            ShowCounties();
        break;
    default:
        break;
    }
}

void TQsoValidators::ShowCountries(bool search)
{
    if (!CountryDb.Countries)
        return;
    std::vector<std::string> entries;
    for (std::int32_t i = 0; i < CountryDb.Countries->Count(); ++i)
        entries.push_back(CountryPrefix(static_cast<std::uint16_t>(i)) + "\t" +
                          CountryName(static_cast<std::uint16_t>(i)));
    int chosen = host_.ShowPicklist("Prefix", entries, 0);
    if (chosen <= 0)
        return;
    TCountryRecord c;
    if (!GetCountry(static_cast<std::uint16_t>(chosen), c))
        return;
    fields_.Text[fPrefix] = c.Prefix;
    if (!search) {
        fields_.Text[fZone] = std::to_string(c.CqZone);
        host_.MarkChildDirty(cwZoneSummary);
        location_.ShowCountry(static_cast<std::uint16_t>(chosen));
    }
    fields_.EverModified[fPrefix] = true;
}

void TQsoValidators::ShowStates()
{
    const std::uint16_t country = PrefixCountry(fields_.Text[fPrefix]);
    switch (StatesKindOf(country)) {
    case skUsStates: {
        if (!CountryDb.States)
            return;
        std::vector<std::string> entries;
        for (std::int32_t i = 0; i < CountryDb.States->Count(); ++i) {
            TUsStateRecord s = TUsStateRecord::FromBytes(CountryDb.States->Record(i), CountryDb.States->KeyLen());
            entries.push_back(s.Abbrev + "\t" + s.Name);
        }
        int chosen = host_.ShowPicklist("States", entries, 1);
        TUsStateRecord s;
        if (chosen > 0 && GetState(static_cast<std::uint8_t>(chosen), s))
            fields_.Edit(fState, s.Abbrev);
        break;
    }
    case skNoState:
        MessageDlg("There are no states in this country\r", TMsgDlgType::mtError, mbOK);
        fields_.Text[fState].clear();
        break;
    case skHawaii:
    case skAlaska: {
        const std::string st = StatesKindOf(country) == skHawaii ? "HI" : "AK";
        if (fields_.Text[fState] != st) {
            fields_.Text[fState] = st;
            host_.MarkChildDirty(cwStateSummary);
        }
        break;
    }
    default:
        break;
    }
}

void TQsoValidators::ShowCounties()
{
    const std::string st = UpperAscii(TrimSpaces(fields_.Text[fState])).substr(0, 2);
    std::uint8_t stateNo = StateNumber(st);
    if (st.empty() || stateNo == 0) {
        MessageDlg("No State Information Available", TMsgDlgType::mtError, mbOK);
        return;
    }
    if (!CountryDb.Counties)
        return;
    std::vector<std::string> entries;
    for (std::int32_t i = 0; i < CountryDb.Counties->Count(); ++i) {
        TCountyRecord c = TCountyRecord::FromBytes(CountryDb.Counties->Record(i));
        if (UpperAscii(c.Key).rfind(st, 0) == 0)
            entries.push_back(c.Name);
    }
    TUsStateRecord s;
    GetState(stateNo, s);
    int chosen = host_.ShowPicklist(s.Name + " Counties", entries, 0);
    if (chosen < 0)
        return;
    std::string name = CountyName(stateNo, static_cast<std::uint16_t>(chosen + 1));
    if (name.empty() && chosen < static_cast<int>(entries.size()))
        name = entries[static_cast<std::size_t>(chosen)];
    fields_.Edit(fCnty, name);
}

void TQsoValidators::ShowIotaListing()
{
    if (!CountryDb.Iota)
        return;
    std::vector<std::string> entries;
    for (std::int32_t i = 0; i < CountryDb.Iota->Count(); ++i) {
        TIotaRecord r = TIotaRecord::FromBytes(CountryDb.Iota->Record(i));
        entries.push_back(r.Reference + "\t" + r.Name);
    }
    int chosen = host_.ShowPicklist("Select IOTA", entries, 1);
    if (chosen <= 0 || chosen >= static_cast<int>(entries.size()))
        return;
    fields_.Text[fIota] = TIotaRecord::FromBytes(CountryDb.Iota->Record(chosen)).Reference.substr(0, 5);
    fields_.EverModified[fIota] = true;
    host_.MarkChildDirty(cwIotaSummary);
}

void TQsoValidators::ShowGroupNames()
{
    std::vector<std::string> entries;
    for (std::size_t i = 0; i < log_.GroupNames.size(); ++i)
        entries.push_back(PadLeft(std::to_string(i + 1), 3) + "\t" + log_.GroupNames[i]);
    int chosen = host_.ShowPicklist("Select Group", entries, 0);
    if (chosen > 0 && chosen < static_cast<int>(entries.size()))
        fields_.Edit(fGroup, PadLeft(std::to_string(chosen + 1), 3));
}

void TQsoValidators::GridExit(bool search)
{
    if (!fields_.Modified[fGrid] || search)
        return;
    fields_.Text[fGrid] = FormatGridLocator(TrimSpaces(fields_.Text[fGrid]));
    fields_.EverModified[fGrid] = true;
    host_.MarkChildDirty(cwGridSummary);
    location_.ShowHeading();
}

void TQsoValidators::ZoneExit()
{
    if (fields_.Modified[fZone])
        host_.MarkChildDirty(cwZoneSummary);
}

void TQsoValidators::IotaExit()
{
    if (fields_.Modified[fIota])
        host_.MarkChildDirty(cwIotaSummary);
}

} // namespace korval
