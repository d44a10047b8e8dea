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
#include "logbook/base/record_bytes.h"
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
    int chosen = host_.ShowPicklist("Prefix", *CountryDb.Countries, 0);
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
        int chosen = host_.ShowPicklist("States", *CountryDb.States, 1);
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
    // The state's counties, keyed by code and number as the county index keeps them.
    TTwoIndex counties(CountryDb.Counties->KeyLen());
    for (std::int32_t i = 0; i < CountryDb.Counties->Count(); ++i) {
        TCountyRecord c = TCountyRecord::FromBytes(CountryDb.Counties->Record(i));
        if (UpperAscii(c.Key).rfind(st, 0) == 0)
            counties.InsertRecord(CountryDb.Counties->Record(i));
    }
    TUsStateRecord s;
    GetState(stateNo, s);
    int chosen = host_.ShowPicklist(s.Name + " Counties", counties, 0);
    if (chosen < 0 || chosen >= counties.Count())
        return;
    std::string name = CountyName(stateNo, static_cast<std::uint16_t>(chosen + 1));
    if (name.empty())
        counties.GetTail(chosen, name);
    fields_.Edit(fCnty, name);
}

void TQsoValidators::ShowIotaListing()
{
    if (!CountryDb.Iota)
        return;
    int chosen = host_.ShowPicklist("Select IOTA", *CountryDb.Iota, 1);
    if (chosen <= 0 || chosen >= CountryDb.Iota->Count())
        return;
    fields_.Text[fIota] = TIotaRecord::FromBytes(CountryDb.Iota->Record(chosen)).Reference.substr(0, 5);
    fields_.EverModified[fIota] = true;
    host_.MarkChildDirty(cwIotaSummary);
}

void TQsoValidators::ShowGroupNames()
{
    // Records of the group number right-aligned in 3 characters (a short string) and the name.
    constexpr std::uint16_t keyLen = 4;
    TTwoIndex groups(keyLen);
    for (std::size_t i = 0; i < log_.GroupNames.size(); ++i) {
        std::vector<std::uint8_t> rec(keyLen + 256, 0);
        PutShortStr(rec.data(), 0, keyLen - 1, PadLeft(std::to_string(i + 1), 3));
        PutShortStr(rec.data(), keyLen, 255, log_.GroupNames[i]);
        groups.InsertRecord(rec.data());
    }
    int chosen = host_.ShowPicklist("Select Group", groups, 0);
    if (chosen > 0 && chosen < groups.Count()) {
        std::string key;
        groups.GetKeyString(chosen, key);
        fields_.Edit(fGroup, key);
    }
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
