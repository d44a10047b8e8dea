#include "exchange/filter_record.h"

#include "logbook/config_record.h"
#include "logbook/paths.h"
#include "logbook/base/record_bytes.h"
#include "platform/atomic_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace korval {

namespace {

const TFilterFieldInfo fieldTable[FilterFieldCount] = {
    {"Awd group", fkPlain, 1},      {"Awd value", fkPlain, 1},      {"AwdX Award", fkAward, 0},
    {"Band", fkBand, 0},            {"Callsign", fkPlain, 1},       {"Confrm", fkYesNo, 0},
    {"County", fkPlain, 1},         {"County award", fkAward, 0},   {"Date", fkDate, 0},
    {"DXCC Band award", fkAward, 0}, {"DXCC Mixed award", fkAward, 0}, {"DXCC Mode award", fkAward, 0},
    {"DXCC valid", fkYesNo, 0},     {"Grid", fkPlain, 1},           {"Group", fkPlain, 2},
    {"IOTA", fkPlain, 1},           {"IOTA award", fkAward, 0},     {"Label", fkYesNo, 0},
    {"Mode", fkMode, 0},            {"Note1", fkNote, 0},           {"Note2", fkNote, 0},
    {"Note3", fkNote, 0},           {"Prefix", fkPlain, 1},         {"QRP", fkYesNo, 0},
    {"QSL Date", fkDate, 0},        {"QSL Method", fkQslMethod, 0}, {"Recvd", fkPlain, 1},
    {"rstR", fkPlain, 2},           {"rstS", fkPlain, 2},           {"Satellite", fkSatellite, 0},
    {"State", fkState, 0},          {"TenTen", fkPlain, 2},         {"Time", fkTime, 0},
    {"VUCC Award", fkAward, 0},     {"WAS Band award", fkAward, 0}, {"WAS Mixed award", fkAward, 0},
    {"WAS Mode award", fkAward, 0}, {"WAZ Band award", fkAward, 0}, {"WAZ Mixed award", fkAward, 0},
    {"WAZ Mode award", fkAward, 0}, {"WPX Band award", fkAward, 0}, {"WPX Mixed award", fkAward, 0},
    {"WPX Mode award", fkAward, 0}, {"YLop", fkYesNo, 0},           {"Zone", fkPlain, 2},
};

const TDateLayout dateLayouts[DateFormatCount] = {
    {"YYMMDD", 6, 1, 2, 3, 2, 5, 2},       {"YYYYMMDD", 8, 1, 4, 5, 2, 7, 2},
    {"MM/DD/YY", 8, 7, 2, 1, 2, 4, 2},     {"MM/DD/YYYY", 10, 7, 4, 1, 2, 4, 2},
    {"DD/MM/YY", 8, 7, 2, 4, 2, 1, 2},     {"DD/MM/YYYY", 10, 7, 4, 4, 2, 1, 2},
    {"DD-Mon-YY", 9, 8, 2, 4, 3, 1, 2},    {"DD-Mon-YYYY", 11, 8, 4, 4, 3, 1, 2},
    {"Mon-DD-YY", 9, 8, 2, 1, 3, 5, 2},    {"Mon-DD-YYYY", 11, 8, 4, 1, 3, 5, 2},
    {"DDMMYY", 6, 5, 2, 3, 2, 1, 2},       {"DDMMYYYY", 8, 5, 4, 3, 2, 1, 2},
    {"DDMMM-YY", 8, 7, 2, 3, 3, 1, 2},     {"YY\\MM\\DD", 8, 1, 2, 4, 2, 7, 2},
    {"MMDDYY", 6, 5, 2, 1, 2, 3, 2},       {"DDMonYY", 7, 6, 2, 3, 3, 1, 2},
    {"YYYY-MM-DD", 10, 1, 4, 6, 2, 9, 2},
};

std::vector<std::vector<std::string>> makeKindFormats()
{
    std::vector<std::vector<std::string>> k(FieldKindCount);
    k[fkPlain] = {"?????", "String", "Number"};
    k[fkBand] = {"160,80,40", "16,80,40", "Freq MHz", "Freq KHz", "160m, 10m lft", "160, 10 lft",
                 "1=10,2=15,3=20", "1=6,2=10,3=12", "1=160,2=80"};
    for (const auto& d : dateLayouts)
        k[fkDate].push_back(d.Name);
    k[fkNote] = {"Store with Call", "Store with QSO", "Note follows QSO"};
    k[fkUse] = {"Ignore", "Use"};
    k[fkQslMethod] = {"Korval", "DXBASE"};
    k[fkMode] = {"CW,PHO,FSK", "CW,SSB,RTT", "1=CW,2=FSK,3=PHO", "0=CW,1=PHO,2=FSK", "C=CW,P=PHO,R=FSK",
                 " CW,SSB,RTT rght", "C=CW,S=PHO,R=RTTY", "0=USB,1=LSB,2=CW", "SSB,AM,FM,PSK3"};
    k[fkYesNo] = {"Y/N", "1/0"};
    k[fkAward] = {"Y/N/*", "1/0/*", "0/1/2", "Logwin"};
    k[fkSatellite] = {"Flag", "Korval", "DXBASE"};
    k[fkState] = {"CA, VA", "CA, LAX", "Spokane, WA"};
    k[fkTime] = {"HH:MM", "HHMM", "HHMMSS"};
    return k;
}

std::string upperId(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return s;
}

} // namespace

const TFilterFieldInfo& FilterFieldInfo(int field)
{
    if (field < 0 || field >= FilterFieldCount)
        throw std::out_of_range("filter field");
    return fieldTable[field];
}

const char* FilterFieldName(int field) { return FilterFieldInfo(field).Name; }

const std::vector<std::string>& KindFormats(int kind)
{
    static const std::vector<std::vector<std::string>> formats = makeKindFormats();
    if (kind < 0 || kind >= FieldKindCount)
        throw std::out_of_range("field kind");
    return formats[static_cast<std::size_t>(kind)];
}

std::vector<std::string> FieldFormats(int field)
{
    std::vector<std::string> f = KindFormats(FilterFieldInfo(field).Kind);
    if (field == fiQslDate)
        f.push_back("Flag QSO date");
    return f;
}

const TDateLayout& DateLayout(int format)
{
    if (format < 0 || format >= DateFormatCount)
        format = 0;
    return dateLayouts[format];
}

TFieldLength FieldLengthRule(int field, int format)
{
    switch (FilterFieldInfo(field).Kind) {
    case fkBand:
        switch (format) {
        case bfKey3: case bfKeyLeft: return {3, false};
        case bfKey2: case bf1to6: case bf1to160: return {2, false};
        case bfKeyM: return {4, false};
        case bf1to3: return {1, false};
        default: return {0, true};
        }
    case fkDate:
        if (field == fiQslDate && format == QslDateFlagFormat)
            return {1, false};
        return {DateLayout(format).Length, false};
    case fkQslMethod: case fkYesNo: case fkAward: case fkSatellite:
        return {1, false};
    case fkMode:
        switch (format) {
        case mfGroup: case mfGroupSsb: case mfGroupRight: return {3, false};
        case mfName: return {4, false};
        default: return {1, false};
        }
    case fkState:
        if (format == 0)
            return {2, false};
        if (format == 1)
            return {3, false};
        return {0, true};
    case fkTime:
        return {format == tfHHcMM ? 5 : format == tfHHMM ? 4 : 6, false};
    default:
        if (field == fiZone)
            return {2, false};
        return {0, true};
    }
}

std::string TFilterRecord::ToBytes() const
{
    std::string out(FilterRecordSize, '\0');
    auto* b = reinterpret_cast<std::uint8_t*>(out.data());
    PutShortStr(b, flt_off::Ext, 3, Ext);
    PutU8(b, flt_off::RecLen, RecLen);
    PutShortStr(b, flt_off::Id, 8, Id);
    PutU8(b, flt_off::Usage, Usage);
    PutShortStr(b, flt_off::Description, 30, Description);
    PutU8(b, flt_off::DateChar, static_cast<std::uint8_t>(DateChar));
    PutI32(b, flt_off::Modified, Modified);
    PutShortStr(b, flt_off::NoteExt, 3, NoteExt);
    PutU8(b, flt_off::FilterFreq, FilterFreq ? 1 : 0);
    PutU8(b, flt_off::FilterImport, FilterImport ? 1 : 0);
    PutU8(b, flt_off::FilterDupes, FilterDupes ? 1 : 0);
    for (int i = 0; i < FilterFieldCount; ++i) {
        std::size_t o = flt_off::Fields + 3 * static_cast<std::size_t>(i);
        PutU8(b, o, Field(i).Pos);
        PutU8(b, o + 1, Field(i).Fmt);
        PutU8(b, o + 2, Field(i).Len);
    }
    return out;
}

TFilterRecord TFilterRecord::FromBytes(const std::uint8_t* b)
{
    TFilterRecord r;
    r.Ext = GetShortStr(b, flt_off::Ext, 3);
    r.RecLen = GetU8(b, flt_off::RecLen);
    r.Id = GetShortStr(b, flt_off::Id, 8);
    r.Usage = GetU8(b, flt_off::Usage);
    r.Description = GetShortStr(b, flt_off::Description, 30);
    r.DateChar = static_cast<char>(GetU8(b, flt_off::DateChar));
    r.Modified = GetI32(b, flt_off::Modified);
    r.NoteExt = GetShortStr(b, flt_off::NoteExt, 3);
    r.FilterFreq = GetU8(b, flt_off::FilterFreq) != 0;
    r.FilterImport = GetU8(b, flt_off::FilterImport) != 0;
    r.FilterDupes = GetU8(b, flt_off::FilterDupes) != 0;
    for (int i = 0; i < FilterFieldCount; ++i) {
        std::size_t o = flt_off::Fields + 3 * static_cast<std::size_t>(i);
        r.Field(i) = {GetU8(b, o), GetU8(b, o + 1), GetU8(b, o + 2)};
    }
    return r;
}

bool IsValidFilterId(std::string_view id)
{
    if (id.size() > 8)
        return false;
    for (char c : id)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '&'))
            return false;
    return true;
}

std::vector<TFilterRecord> LoadFilterFile(const std::string& path, bool* damaged)
{
    std::vector<TFilterRecord> out;
    if (damaged)
        *damaged = false;
    std::ifstream f(path, std::ios::binary);
    if (!f)
        return out;
    std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    bool bad = bytes.size() % FilterRecordSize != 0;
    for (std::size_t o = 0; o + FilterRecordSize <= bytes.size(); o += FilterRecordSize) {
        TFilterRecord r = TFilterRecord::FromBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()) + o);
        // The ID names the filter's files in IMPORT: one that is no such name is left out.
        if (!IsValidFilterId(upperId(r.Id))) {
            bad = true;
            continue;
        }
        out.push_back(std::move(r));
    }
    if (damaged)
        *damaged = bad;
    return out;
}

void SaveFilterFile(const std::string& path, std::vector<TFilterRecord> filters)
{
    std::stable_sort(filters.begin(), filters.end(),
                     [](const TFilterRecord& a, const TFilterRecord& b) { return a.Id < b.Id; });
    std::string bytes;
    bytes.reserve(filters.size() * FilterRecordSize);
    for (const auto& r : filters)
        bytes += r.ToBytes();
    auto file = PrepareFileRewrite(path);
    file->write(bytes);
    file->commit();
}

std::string FilterFileName() { return GetDataFileName(dfFilters); }

const char* UsageText(std::uint8_t usage)
{
    switch (usage) {
    case fuImport: return "Imp";
    case fuImpExp: return "I/E";
    default: return "BIN";
    }
}

int TFilterList::IndexOf(std::string_view id) const
{
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].Id == id)
            return static_cast<int>(i);
    return -1;
}

bool TFilterList::Add(const TFilterRecord& r, int* index)
{
    if (IndexOf(r.Id) >= 0)
        return false;
    auto it = std::lower_bound(items_.begin(), items_.end(), r,
                               [](const TFilterRecord& a, const TFilterRecord& b) { return a.Id < b.Id; });
    it = items_.insert(it, r);
    if (index)
        *index = static_cast<int>(it - items_.begin());
    return true;
}

void TFilterList::Delete(int i)
{
    if (i >= 0 && i < Count())
        items_.erase(items_.begin() + i);
}

bool TFilterList::Replace(int i, const TFilterRecord& r, int* index)
{
    int other = IndexOf(r.Id);
    if (other >= 0 && other != i)
        return false;
    Delete(i);
    return Add(r, index);
}

int TFilterList::Copy(int i, std::int32_t today)
{
    if (i < 0 || i >= Count())
        return -1;
    TFilterRecord c = items_[static_cast<std::size_t>(i)];
    c.Modified = today;
    c.Description = ("Cpy " + c.Description).substr(0, 30);
    const bool adif = c.IsAdif();
    std::string base = adif ? (c.Id + "&").substr(0, 8) : ("&" + c.Id).substr(0, 8);
    if (adif && base.size() == 8 && base[7] != '&')
        base[7] = '&';
    std::string id = base;
    for (int n = 1; IndexOf(id) >= 0; ++n) {
        if (n > 99)
            return -1;
        std::string suffix = std::to_string(n);
        id = base.substr(0, std::min<std::size_t>(base.size(), 8 - suffix.size())) + suffix;
    }
    c.Id = id;
    int index = -1;
    Add(c, &index);
    return index;
}

int TFilterList::New(std::int32_t today)
{
    int existing = IndexOf("");
    if (existing >= 0)
        return existing;
    TFilterRecord r;
    r.DateChar = '\0';
    r.Modified = today;
    int index = -1;
    Add(r, &index);
    return index;
}

void TFilterList::Assign(const std::vector<TFilterRecord>& records)
{
    items_.clear();
    for (const auto& r : records) {
        TFilterRecord c = r;
        c.Id = upperId(c.Id);
        Add(c);
    }
}

} // namespace korval
