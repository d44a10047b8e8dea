#include "logbook/call_lookup.h"

#include "logbook/call_lookup_index.h"
#include "logbook/config_record.h"
#include "logbook/paths.h"
#include "logbook/position.h"
#include "logbook/qso_lookup.h"
#include "logbook/base/record_bytes.h"
#include "logbook/base/string_utils.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

namespace korval {

namespace {

std::unique_ptr<TWPXDeleted> gWpxDeleted;

// CQ zone of a US call area given as a one-digit designator.
constexpr std::array<std::uint8_t, 10> CallAreaZone = {4, 5, 5, 5, 5, 4, 3, 3, 4, 4};

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), IsDigit);
}

// Positions count from 1; 0 means none.
std::size_t FirstSlash(std::string_view w)
{
    std::size_t p = w.find('/');
    return p == std::string_view::npos ? 0 : p + 1;
}
std::size_t LastSlash(std::string_view w)
{
    std::size_t p = w.rfind('/');
    return p == std::string_view::npos ? 0 : p + 1;
}

// Splits w at slash position p: the designator is the part after the slash when the slash
// stands in the second half, else the part before; w becomes the other part.
void Split(std::string_view& w, std::size_t p, std::string_view& d)
{
    std::string_view before = w.substr(0, p - 1), after = w.substr(p);
    if (p > w.size() / 2) {
        d = after;
        w = before;
    } else {
        d = before;
        w = after;
    }
}

// Byte-wise short-string compare of a record's key with a text.
inline int CompareKeyText(const std::uint8_t* rec, std::string_view t)
{
    const std::size_t lr = rec[0], lt = t.size(), n = std::min(lr, lt);
    for (std::size_t k = 0; k < n; ++k) {
        const unsigned a = rec[1 + k], b = static_cast<unsigned char>(t[k]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    return lr < lt ? -1 : lr > lt ? 1 : 0;
}

inline bool KeyEquals(const std::uint8_t* rec, std::string_view t)
{
    return rec[0] == t.size() && std::memcmp(rec + 1, t.data(), t.size()) == 0;
}

// The first position whose (key, date) is not below (text, date): the collections' own binary
// search with their compare inlined, for the lookup's hot path.
std::int32_t LowerBound(const TOneIndex& c, std::string_view text, TDayNumber date, std::size_t dateOff,
                        std::int32_t hi = -1, std::int32_t lo = 0)
{
    void* const* items = c.Items();
    if (hi < 0 || hi > c.Count())
        hi = c.Count();
    while (lo < hi) {
        const std::int32_t mid = static_cast<std::int32_t>((static_cast<std::uint32_t>(lo) + hi) >> 1);
        const auto* rec = static_cast<const std::uint8_t*>(items[mid]);
        int r = CompareKeyText(rec, text);
        if (r == 0) {
            const TDayNumber d = GetU16(rec, dateOff);
            r = d < date ? -1 : d > date ? 1 : 0;
        }
        if (r < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

// Whether a text is the key of a country (case-insensitive, as the countries are ordered).
bool IsCountryPrefix(std::string_view d)
{
    if (!CountryDb.Countries || d.empty() || d.size() > 255)
        return false;
    const TTwoIndex& c = *CountryDb.Countries;
    void* const* items = c.Items();
    std::int32_t lo = 0, hi = c.Count();
    while (lo < hi) {
        const std::int32_t mid = static_cast<std::int32_t>((static_cast<std::uint32_t>(lo) + hi) >> 1);
        const auto* rec = static_cast<const std::uint8_t*>(items[mid]);
        const std::size_t lr = rec[0], n = std::min(lr, d.size());
        int r = 0;
        for (std::size_t k = 0; k < n && r == 0; ++k) {
            const unsigned a = static_cast<unsigned char>(UpperAscii(static_cast<char>(rec[1 + k])));
            const unsigned b = static_cast<unsigned char>(UpperAscii(d[k]));
            r = a < b ? -1 : a > b ? 1 : 0;
        }
        if (r == 0)
            r = lr < d.size() ? -1 : lr > d.size() ? 1 : 0;
        if (r == 0)
            return true;
        if (r < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return false;
}

void ApplyStatesKind(const std::uint8_t* country, int area, std::uint8_t& state, std::uint8_t& zone)
{
    switch (GetU8(country, cty_off::StatesKind)) {
    case skUsStates:
        if (state != 0 && CountryDb.States && state < CountryDb.States->Count())
            zone = GetU8(CountryDb.States->Record(state), 3);
        else if (area >= 0)
            zone = CallAreaZone[static_cast<std::size_t>(area)];
        break;
    case skNoState:
        state = 0;
        break;
    case skHawaii:
        state = StateNumber("HI");
        break;
    case skAlaska:
        state = StateNumber("AK");
        break;
    default:
        break;
    }
}

// What the prefix mappings give a call start (at most 4 characters) at a date: the first mapping
// in force, longest prefix first and for one prefix the latest start date first. Also the dates
// [lo, hi) around the date over which that answer holds: every mapping passed over is out of
// force there too, and the one taken is in force.
bool SearchPrefixMapping(std::string_view w, TDayNumber date, std::uint16_t& country, std::uint8_t& zone,
                         std::uint32_t& lo, std::uint32_t& hi)
{
    const std::int32_t countryCount = CountryDb.Countries->Count();
    lo = 0;
    hi = std::uint32_t(OpenEndDate) + 1;
    // The table of keys keeps each mapping's dates, country and zone beside the ranges (a
    // mapping that starts on OpenEndDate is never in force, wherever it is looked at).
    static TKeyRanges prefixKeys([](const std::uint8_t* m) {
        return std::uint64_t(GetU16(m, 8)) | std::uint64_t(GetU16(m, 10)) << 16 | std::uint64_t(GetU16(m, 5)) << 32 |
               std::uint64_t(GetU8(m, 7)) << 48;
    });
    auto inForce = [&](TDayNumber start, TDayNumber end, std::uint16_t c, std::uint8_t z) {
        if (c >= countryCount)
            return false;  // passed over at every date
        if (date < start) {
            hi = std::min<std::uint32_t>(hi, start);
            return false;
        }
        if (date >= end) {
            lo = std::max<std::uint32_t>(lo, end);
            return false;
        }
        lo = std::max<std::uint32_t>(lo, start);
        hi = std::min<std::uint32_t>(hi, end);
        country = c;
        zone = z;
        return true;
    };
    const TSuffixIndex& px = *CountryDb.Prefixes;
    if (prefixKeys.Usable(px, CountryDb.Countries->Version())) {
        std::int32_t first = 0, last = -1;
        for (; !w.empty(); w.remove_suffix(1)) {
            if (!prefixKeys.Find(w, first, last))
                continue;
            for (std::int32_t i = last - 1; i >= first; --i) {
                const std::uint64_t m = prefixKeys.Value(i);
                if (inForce(static_cast<TDayNumber>(m), static_cast<TDayNumber>(m >> 16),
                            static_cast<std::uint16_t>(m >> 32), static_cast<std::uint8_t>(m >> 48)))
                    return true;
            }
        }
        return false;
    }
    std::int32_t bound = -1; // a shorter prefix sorts before a longer one it begins
    for (; !w.empty(); w.remove_suffix(1)) {
        std::int32_t i = LowerBound(px, w, OpenEndDate, 8, bound);
        bound = i;
        for (--i; i >= 0; --i) {
            const std::uint8_t* m = px.Record(i);
            if (!KeyEquals(m, w))
                break;
            if (inForce(GetU16(m, 8), GetU16(m, 10), GetU16(m, 5), GetU8(m, 7)))
                return true;
        }
    }
    return false;
}

// The answers of SearchPrefixMapping by call start, each with its date range. A log holds a
// million QSOs but a few ten thousand call starts, and their mappings rarely change with the
// date. The answers follow the mappings and the countries by their versions.
class TPrefixMemo {
public:
    bool Find(std::string_view w, TDayNumber date, std::uint16_t& country, std::uint8_t& zone)
    {
        const std::uint64_t v1 = CountryDb.Prefixes->Version(), v2 = CountryDb.Countries->Version();
        if (v1 != prefixesVersion_ || v2 != countriesVersion_ || slots_.empty()) {
            slots_.assign(kSlots, TSlot{});
            prefixesVersion_ = v1;
            countriesVersion_ = v2;
        }
        std::uint64_t key = w.size();
        for (std::size_t i = 0; i < w.size(); ++i)
            key |= std::uint64_t(static_cast<unsigned char>(w[i])) << (8 * (i + 1));
        std::uint64_t h = key * 0x9E3779B97F4A7C15ull;
        TSlot& s = slots_[static_cast<std::size_t>(h >> (64 - kSlotBits))];
        if (s.key != key || date < s.first || date > s.last) {
            std::uint32_t lo = 0, hi = 0;
            std::uint16_t c = 0;
            std::uint8_t z = 0;
            const bool found = SearchPrefixMapping(w, date, c, z, lo, hi);
            s = {key, static_cast<TDayNumber>(lo), static_cast<TDayNumber>(hi - 1), c, z, found};
        }
        country = s.country;
        zone = s.zone;
        return s.found;
    }

private:
    static constexpr unsigned kSlotBits = 16;
    static constexpr std::size_t kSlots = std::size_t(1) << kSlotBits;
    struct TSlot {
        std::uint64_t key = 0;  // length and characters; 0: empty (a call start is never empty)
        TDayNumber first = 0, last = 0;  // the dates the answer holds for
        std::uint16_t country = 0;
        std::uint8_t zone = 0;
        bool found = false;
    };
    std::vector<TSlot> slots_;
    std::uint64_t prefixesVersion_ = 0, countriesVersion_ = 0;
};

bool PrefixMapping(std::string_view w, TDayNumber date, std::uint16_t& country, std::uint8_t& zone)
{
    static TPrefixMemo memo;
    return memo.Find(w, date, country, zone);
}

} // namespace

bool IsIgnorableDesignator(std::string_view d)
{
    static constexpr std::array<std::string_view, 14> List = {"A",  "B",  "E",  "J",  "M",  "P",   "R",
                                                              "T",  "AA", "AE", "AM", "MM", "QRP", "WG"};
    if (d.empty() || d.size() > 3)
        return false;
    char u[3] = {};
    for (std::size_t i = 0; i < d.size(); ++i)
        u[i] = UpperAscii(d[i]);
    const std::string_view ud(u, d.size());
    return std::find(List.begin(), List.end(), ud) != List.end();
}

void LookupCall(std::string_view call, TDayNumber date, std::uint8_t& state, std::uint16_t& country,
                std::uint8_t& zone)
{
    country = 0;
    zone = 0;
    if (!CountryDb.Countries || !CountryDb.Prefixes || !CountryDb.ExceptionCalls)
        return;
    const std::int32_t countryCount = CountryDb.Countries->Count();
    std::string_view w = call;
    int area = -1;

    // Exception calls: the entry of this call with the latest start date not after the date,
    // while its country exists at that date. The table of keys narrows the search to the call's
    // own records, or skips it for a call that has none.
    static TKeyRanges exceptionKeys;
    const bool exceptionTable = exceptionKeys.Usable(*CountryDb.ExceptionCalls);
    std::int32_t first = 0, last = -1;
    if (!exceptionTable || exceptionKeys.Find(w, first, last)) {
        const TDefcallIndex& ex = *CountryDb.ExceptionCalls;
        std::int32_t i = LowerBound(ex, w, date, 16, last, first);
        if (i >= ex.Count() || !(KeyEquals(ex.Record(i), w) && GetU16(ex.Record(i), 16) == date))
            --i;
        if (i >= 0) {
            const std::uint8_t* e = ex.Record(i);
            const std::uint16_t c = GetU16(e, 13);
            if (KeyEquals(e, w) && date >= GetU16(e, 16) && c < countryCount &&
                date <= GetU16(CountryDb.Countries->Record(c), cty_off::EndDate)) {
                country = c;
                zone = GetU8(e, 15);
                return;
            }
        }
    }

    // Designators.
    std::size_t p = LastSlash(w);
    while (p > 0) {
        std::string_view d;
        Split(w, p, d);
        if (d.empty() || IsIgnorableDesignator(d)) {
            p = FirstSlash(w);
            continue;
        }
        if (IsDigit(d[0])) {
            if (d.size() == 1) {
                area = d[0] - '0';
                p = FirstSlash(w);
                continue;
            }
            if (AllDigits(d)) {
                p = FirstSlash(w);
                continue;
            }
        }
        if (IsCountryPrefix(d)) {
            w = d;
            break;
        }
        if (d.size() < w.size())
            w = d;
        p = FirstSlash(w);
    }
    if (w.size() > 4)
        w = w.substr(0, 4);

    // Prefix mappings: the country and zone depend only on the (cut) call and the date, not on
    // the designators, so they are looked up once per call start and date range.
    std::uint16_t c = 0;
    std::uint8_t z = 0;
    if (w.empty() || !PrefixMapping(w, date, c, z))
        return;
    country = c;
    zone = z;
    ApplyStatesKind(CountryDb.Countries->Record(c), area, state, zone);
}

void LookupCall(TQsoRecord& rec)
{
    LookupCall(rec.Call.view(), rec.Date, rec.State, rec.Country, rec.Zone);
}

namespace {
class TCountryQsoLookup : public TQsoLookup {
public:
    void LookupCall(TQsoRecord& rec) override { korval::LookupCall(rec); }
    void CalcWPXPrefix(std::string_view call, TShortStr<7>& prefix) override { korval::CalcWPXPrefix(call, prefix); }
    TAwardStatusBlock* CountryStatusBlock(std::uint16_t country) override { return CountryStatistics(country); }
    void ClearCountryStatus() override
    {
        for (auto& b : CountryDb.Statistics)
            b->Clear();
    }
    TAwardStatusBlock* WpxStatusBlock(std::string_view prefix, bool create) override
    {
        return WpxStatistics(prefix, create);
    }
    void ClearWpxStatus() override
    {
        if (CountryDb.WpxStats)
            CountryDb.WpxStats->FreeAll();
    }
};
} // namespace

void InstallCountryLookup()
{
    static TCountryQsoLookup lookup;
    SetQsoLookup(&lookup);
}

bool HomePosition(double& latitude, double& longitude)
{
    latitude = Config.OwnLatitude();
    longitude = Config.OwnLongitude();
    if (latitude != 0 || longitude != 0)
        return true;
    const std::string grid = TrimSpaces(Config.OwnGrid());
    return !grid.empty() && GridToPosition(grid, longitude, latitude);
}

void CalcBearingDistance(bool fromHome, int& heading, int& distanceKm, double latitude, double longitude)
{
    double homeLat = 0, homeLon = 0;
    HomePosition(homeLat, homeLon);
    CalcBearingDistanceFrom(homeLat, homeLon, fromHome, heading, distanceKm, latitude, longitude);
}

std::uint16_t CountryOfCall(std::string_view call, TDayNumber date)
{
    std::uint8_t state = 0, zone = 0;
    std::uint16_t country = 0;
    LookupCall(call.substr(0, CallCap), date, state, country, zone);
    return country;
}

std::uint8_t ZoneOfCall(std::string_view call, TDayNumber date)
{
    std::uint8_t state = 0, zone = 0;
    std::uint16_t country = 0;
    LookupCall(call.substr(0, CallCap), date, state, country, zone);
    return zone;
}

std::string BaseCall(std::string_view call)
{
    std::string_view w = call;
    for (std::size_t p = FirstSlash(w); p > 0; p = FirstSlash(w))
        w = p > w.size() / 2 ? w.substr(0, p - 1) : w.substr(p);
    return std::string(w.substr(0, CallCap));
}

namespace {
// The WPX prefix of a call into out; its length (at most 7). The call's parts are looked at in
// place: a log load derives a prefix per QSO.
std::size_t WpxPrefixOf(std::string_view call, char (&out)[7])
{
    std::string_view w = call, d;
    std::string joined; // a country designator with a slash in it, the slash taken out
    std::size_t p = LastSlash(w);
    while (p > 0) {
        Split(w, p, d);
        if (d.empty() || IsIgnorableDesignator(d) || AllDigits(d)) {
            p = FirstSlash(w);
        } else if (IsCountryPrefix(d)) {
            w = d;
            if (std::size_t s = w.find('/'); s != std::string_view::npos) {
                joined.assign(w).erase(s, 1);
                w = joined;
            }
            break;
        } else {
            if (d.size() < w.size())
                w = d;
            p = FirstSlash(w);
        }
    }
    std::size_t i = 0; // position of the last digit, from 1
    for (std::size_t k = w.size(); k > 0; --k)
        if (IsDigit(w[k - 1])) {
            i = k;
            break;
        }
    std::size_t n = 0;
    auto put = [&out, &n](std::string_view part) {
        const std::size_t take = std::min(part.size(), sizeof out - n);
        std::memcpy(out + n, part.data(), take);
        n += take;
    };
    if (i > 0 && d.size() == 1 && IsDigit(d[0])) {
        while (i > 0 && IsDigit(w[i - 1]))
            --i;
        put(w.substr(0, i)); // a portable call-area digit replaces the call's own
        put(d);
    } else if (i > 0) {
        put(w.substr(0, i == 1 ? 2 : i));
    } else {
        put(w.substr(0, 2));
        put("0");
    }
    return n;
}
} // namespace

std::string CalcWPXPrefix(std::string_view call)
{
    char out[7];
    return std::string(out, WpxPrefixOf(call, out));
}

void CalcWPXPrefix(std::string_view call, TShortStr<7>& prefix)
{
    char out[7];
    prefix.assign(std::string_view(out, WpxPrefixOf(call, out)));
}

// ---- deleted WPX prefixes ----

void LoadWPXDeletedFrom(const std::string& path)
{
    gWpxDeleted = std::make_unique<TWPXDeleted>();
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return; // no list: nothing is deleted
    std::string line;
    while (std::getline(in, line)) {
        line = std::string(TrimLeft(TrimRight(line, " \t\r"), kBlanksAndTabs));
        if (line.empty() || line.find('?') != std::string::npos || line.find('x') != std::string::npos)
            continue;
        std::uint8_t flag = 0;
        if (line.back() == '*') {
            line.pop_back();
            flag = 1;
            if (line.empty())
                continue;
        }
        std::uint8_t rec[9] = {};
        PutShortStr(rec, 0, 7, line);
        rec[8] = flag;
        if (gWpxDeleted->IndexOfKey(rec) < 0)
            gWpxDeleted->InsertRecord(rec);
    }
}

void LoadWPXDeleted() { LoadWPXDeletedFrom(GetDataFileName(dfDeletedWpx)); }

void FreeWPXDeleted() { gWpxDeleted.reset(); }

bool IsDeletedWPXPrefix(std::string_view prefix)
{
    if (prefix.empty() || !gWpxDeleted)
        return false;
    std::uint8_t key[256];
    PutShortStr(key, 0, 255, prefix.substr(0, 255));
    if (gWpxDeleted->IndexOfKey(key) >= 0)
        return true;
    std::string_view stripped = prefix;
    while (!stripped.empty() && IsDigit(stripped.back()))
        stripped.remove_suffix(1);
    if (stripped.empty())
        return false;
    PutShortStr(key, 0, 255, stripped);
    std::int32_t i = gWpxDeleted->IndexOfKey(key);
    if (i < 0)
        return false;
    const std::uint8_t* r = gWpxDeleted->Record(i);
    return r[8] == 1 && KeyEquals(r, stripped);
}

// ---- QSL managers ----

std::int32_t FindQslManagerIndex(std::string_view call, TDayNumber date)
{
    if (!CountryDb.QslManagers)
        return -1;
    const TQSLMgrIndex& q = *CountryDb.QslManagers;
    std::int32_t i = LowerBound(q, call, date, 13);
    if (i >= q.Count() || !(KeyEquals(q.Record(i), call) && GetU16(q.Record(i), 13) == date))
        --i;
    return i;
}

std::string GetQslManager(std::string_view call, TDayNumber date)
{
    if (call.empty())
        return {};
    std::int32_t i = FindQslManagerIndex(call, date);
    if (i < 0)
        return {};
    const std::uint8_t* r = CountryDb.QslManagers->Record(i);
    if (KeyEquals(r, call) && date >= GetU16(r, 13))
        return GetShortStr(r, 15, CallCap);
    return {};
}

void SetQslManager(std::string_view call, TDayNumber date, std::string_view manager)
{
    if (!CountryDb.QslManagers)
        return;
    TQslManagerRecord n{std::string(call.substr(0, CallCap)), date, std::string(manager.substr(0, CallCap))};
    const std::string bytes = n.ToBytes();
    std::int32_t i = FindQslManagerIndex(n.Call, date);
    bool insert = true;
    if (i >= 0) {
        const std::uint8_t* r = CountryDb.QslManagers->Record(i);
        if (KeyEquals(r, n.Call) && GetShortStr(r, 15, CallCap) == n.Manager) {
            if (GetU16(r, 13) > date)
                CountryDb.QslManagers->DeleteRecord(i);
            else
                insert = false; // that manager is already in force
        }
    }
    if (insert)
        CountryDb.QslManagers->InsertRecord(bytes.data());
    SetCountryDataModified();
}

int QslRouteClass(std::string_view call, TDayNumber date, std::uint8_t qslRoute, std::uint16_t country,
                  bool useManager)
{
    std::uint16_t c = CountryOfCall(BaseCall(call), date);
    std::string m;
    if (useManager) {
        m = GetQslManager(call, date);
        if (!m.empty())
            c = CountryOfCall(m, date);
    }
    bool bureauOK = false;
    if (const std::uint8_t* rec = c != 0 ? CountryRecordPtr(c) : nullptr) {
        if (GetU8(rec, cty_off::Bureau) != NoQslBureau)
            bureauOK = true;
        else
            bureauOK = !m.empty() && CountryPrefix(c) == "K" && CountryPrefix(country) != "K";
    }
    if (qslRoute == 1 && !bureauOK)
        return 0;
    if (m.empty())
        return 1;
    return CountryPrefix(c) == "K" ? 2 : 3;
}

// ---- counties ----

std::uint16_t CountyNumber(std::string_view state, std::string_view name)
{
    if (!CountryDb.Counties || name.size() > 255)
        return 0;
    const TTwoIndex& ct = *CountryDb.Counties;
    std::int32_t i = 0;
    ct.SearchTail(name, i);
    const TShortStrKey key = MakeShortStrKey(name);
    for (; i < ct.ByTail().Count(); ++i) {
        const std::uint8_t* r = ct.AtByTail(i);
        if (CompareShortText(r + CountyKeyLen, key.data()) != 0)
            break;
        const std::string k = GetShortStr(r, 0, 5);
        if (k.size() == 5 && IsDigit(k[2]) && IsDigit(k[3]) && IsDigit(k[4]) && !state.empty() &&
            k.compare(0, state.size(), state) == 0)
            return static_cast<std::uint16_t>((k[2] - '0') * 100 + (k[3] - '0') * 10 + (k[4] - '0'));
    }
    return 0;
}

std::string CountyName(std::uint8_t state, std::uint16_t county)
{
    TUsStateRecord st;
    if (!CountryDb.Counties || !GetState(state, st) || county > 999)
        return {};
    char num[4];
    num[0] = static_cast<char>('0' + county / 100);
    num[1] = static_cast<char>('0' + county / 10 % 10);
    num[2] = static_cast<char>('0' + county % 10);
    num[3] = 0;
    const TShortStrKey key = MakeShortStrKey(st.Abbrev + num);
    std::int32_t i = CountryDb.Counties->IndexOfKey(key.data());
    if (i < 0)
        return {};
    std::string name;
    CountryDb.Counties->GetTail(i, name);
    return name;
}

} // namespace korval
