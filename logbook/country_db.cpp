#include "logbook/country_db.h"

#include "logbook/paths.h"
#include "logbook/base/record_bytes.h"
#include "platform/message_dlg.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace korval {

TCountryData CountryDb;

static_assert(sizeof(TAwardStatusBlock) == CountryStatsSize && alignof(TAwardStatusBlock) == 1,
              "statistics blocks are kept inside WPX records");

namespace {

bool gModified = false;
bool gOutdated = false;
std::function<void()> gModifiedHook;
std::function<void()> gFailHandler;

std::uint8_t* Bytes(std::string& s) { return reinterpret_cast<std::uint8_t*>(s.data()); }

// Short string of a record cut to its capacity: lengths above it come only from damaged data.
std::string ShortStr(const std::uint8_t* rec, std::size_t off, std::size_t cap) { return GetShortStr(rec, off, cap); }

int CompareDates(TDayNumber a, TDayNumber b) { return a < b ? -1 : a > b ? 1 : 0; }

// Key string and then a date at a fixed offset.
std::int32_t CompareStrThenDate(const void* a, const void* b, std::size_t dateOff)
{
    std::int32_t r = CompareShortStr(a, b);
    if (r != 0)
        return r;
    return CompareDates(GetU16(static_cast<const std::uint8_t*>(a), dateOff),
                        GetU16(static_cast<const std::uint8_t*>(b), dateOff));
}


// A tail record: key part, then the name as a short string (cut to 255).
std::string TailRecord(std::size_t keyLen, std::string_view tail)
{
    std::size_t n = tail.size() < 255 ? tail.size() : 255;
    std::string r(keyLen + 1 + n, '\0');
    PutShortStr(Bytes(r), keyLen, n, tail.substr(0, n));
    return r;
}

// The tail of a tail record given its key length.
std::string Tail(const std::uint8_t* rec, std::size_t keyLen) { return GetShortStr(rec, keyLen, 255); }

} // namespace

// ---- records ----

std::string TCountryRecord::ToBytes() const
{
    std::string r = TailRecord(CountryKeyLen, Name);
    auto* b = Bytes(r);
    PutShortStr(b, cty_off::Prefix, CountryPrefixCap, Prefix);
    PutU8(b, cty_off::Continent, Continent);
    PutU8(b, cty_off::ItuZone, ItuZone);
    PutU8(b, cty_off::CqZone, CqZone);
    PutDouble(b, cty_off::UtcOffset, UtcOffset);
    PutU8(b, cty_off::MapNumber, MapNumber);
    PutDouble(b, cty_off::Longitude, Longitude);
    PutDouble(b, cty_off::Latitude, Latitude);
    PutU16(b, cty_off::StartDate, StartDate);
    PutU16(b, cty_off::EndDate, EndDate);
    PutShortStr(b, cty_off::DefaultIota, 5, DefaultIota);
    PutU8(b, cty_off::Bureau, Bureau);
    PutU8(b, cty_off::FieldCheck, FieldCheck);
    PutU8(b, cty_off::StatesKind, StatesKind);
    PutU8(b, cty_off::HomeMark, HomeCountry);
    return r;
}

TCountryRecord TCountryRecord::FromBytes(const std::uint8_t* b)
{
    TCountryRecord c;
    c.Prefix = ShortStr(b, cty_off::Prefix, CountryPrefixCap);
    c.Continent = GetU8(b, cty_off::Continent);
    c.ItuZone = GetU8(b, cty_off::ItuZone);
    c.CqZone = GetU8(b, cty_off::CqZone);
    c.UtcOffset = GetDouble(b, cty_off::UtcOffset);
    c.MapNumber = GetU8(b, cty_off::MapNumber);
    c.Longitude = GetDouble(b, cty_off::Longitude);
    c.Latitude = GetDouble(b, cty_off::Latitude);
    c.StartDate = GetU16(b, cty_off::StartDate);
    c.EndDate = GetU16(b, cty_off::EndDate);
    c.DefaultIota = ShortStr(b, cty_off::DefaultIota, 5);
    c.Bureau = GetU8(b, cty_off::Bureau);
    c.FieldCheck = GetU8(b, cty_off::FieldCheck);
    c.StatesKind = GetU8(b, cty_off::StatesKind);
    c.HomeCountry = GetU8(b, cty_off::HomeMark);
    c.Name = Tail(b, CountryKeyLen);
    return c;
}

std::string TPrefixMapRecord::ToBytes() const
{
    std::string r(PrefixMapSize, '\0');
    auto* b = Bytes(r);
    PutShortStr(b, 0, MappedPrefixCap, Prefix);
    PutU16(b, 5, Country);
    PutU8(b, 7, CqZone);
    PutU16(b, 8, StartDate);
    PutU16(b, 10, EndDate);
    return r;
}

TPrefixMapRecord TPrefixMapRecord::FromBytes(const std::uint8_t* b)
{
    return {ShortStr(b, 0, MappedPrefixCap), GetU16(b, 5), GetU8(b, 7), GetU16(b, 8), GetU16(b, 10)};
}

std::string TExceptionCallRecord::ToBytes() const
{
    std::string r(ExceptionCallSize, '\0');
    auto* b = Bytes(r);
    PutShortStr(b, 0, CallCap, Call);
    PutU16(b, 13, Country);
    PutU8(b, 15, CqZone);
    PutU16(b, 16, StartDate);
    return r;
}

TExceptionCallRecord TExceptionCallRecord::FromBytes(const std::uint8_t* b)
{
    return {ShortStr(b, 0, CallCap), GetU16(b, 13), GetU8(b, 15), GetU16(b, 16)};
}

std::string TQslManagerRecord::ToBytes() const
{
    std::string r(QslManagerSize, '\0');
    auto* b = Bytes(r);
    PutShortStr(b, 0, CallCap, Call);
    PutU16(b, 13, StartDate);
    PutShortStr(b, 15, CallCap, Manager);
    return r;
}

TQslManagerRecord TQslManagerRecord::FromBytes(const std::uint8_t* b)
{
    return {ShortStr(b, 0, CallCap), GetU16(b, 13), ShortStr(b, 15, CallCap)};
}

std::string TUsStateRecord::ToBytes() const
{
    std::string r = TailRecord(StateKeyLen, Name);
    PutShortStr(Bytes(r), 0, 2, Abbrev);
    PutU8(Bytes(r), 3, CqZone);
    return r;
}

TUsStateRecord TUsStateRecord::FromBytes(const std::uint8_t* b, std::size_t keyLen)
{
    return {ShortStr(b, 0, 2), GetU8(b, 3), Tail(b, keyLen)};
}

std::string TStateCodeRecord::ToBytes() const
{
    std::string r(StateCodeSize, '\0');
    PutShortStr(Bytes(r), 0, 3, Code);
    PutU8(Bytes(r), 4, State);
    return r;
}

TStateCodeRecord TStateCodeRecord::FromBytes(const std::uint8_t* b) { return {ShortStr(b, 0, 3), GetU8(b, 4)}; }

std::string TIotaRecord::ToBytes() const
{
    std::string r = TailRecord(IotaKeyLen, Name);
    PutShortStr(Bytes(r), 0, 9, Reference);
    PutDouble(Bytes(r), 10, Longitude);
    PutDouble(Bytes(r), 18, Latitude);
    return r;
}

TIotaRecord TIotaRecord::FromBytes(const std::uint8_t* b)
{
    return {ShortStr(b, 0, 9), GetDouble(b, 10), GetDouble(b, 18), Tail(b, IotaKeyLen)};
}

std::string TCountyRecord::ToBytes() const
{
    std::string r = TailRecord(CountyKeyLen, Name);
    PutShortStr(Bytes(r), 0, 5, Key);
    return r;
}

TCountyRecord TCountyRecord::FromBytes(const std::uint8_t* b) { return {ShortStr(b, 0, 5), Tail(b, CountyKeyLen)}; }

// ---- collections ----

std::int32_t TSuffixIndex::Compare(const void* a, const void* b) const { return CompareStrThenDate(a, b, 8); }
bool TSuffixIndex::RecordIsSound(const std::uint8_t* rec, std::size_t size) const
{
    return size == PrefixMapSize && rec[0] <= MappedPrefixCap;
}

std::int32_t TDefcallIndex::Compare(const void* a, const void* b) const { return CompareStrThenDate(a, b, 16); }
bool TDefcallIndex::RecordIsSound(const std::uint8_t* rec, std::size_t size) const
{
    return size == ExceptionCallSize && rec[0] <= CallCap;
}

std::int32_t TQSLMgrIndex::Compare(const void* a, const void* b) const { return CompareStrThenDate(a, b, 13); }
bool TQSLMgrIndex::RecordIsSound(const std::uint8_t* rec, std::size_t size) const
{
    return size == QslManagerSize && rec[0] <= CallCap && rec[15] <= CallCap;
}

std::int32_t TWPXIndex::Compare(const void* a, const void* b) const { return CompareShortStr(a, b); }

TCountryData TCountryData::Empty()
{
    TCountryData d;
    d.Countries = std::make_unique<TTwoIndex>(CountryKeyLen);
    d.Prefixes = std::make_unique<TSuffixIndex>();
    d.ExceptionCalls = std::make_unique<TDefcallIndex>();
    d.States = std::make_unique<TTwoIndex>(StateKeyLen);
    d.StateCodes = std::make_unique<TOneIndex>(StateCodeSize);
    d.Iota = std::make_unique<TTwoIndex>(IotaKeyLen);
    d.QslManagers = std::make_unique<TQSLMgrIndex>();
    d.Counties = std::make_unique<TTwoIndex>(CountyKeyLen);
    d.ManagerAddresses = std::make_unique<TOneIndexTail>(ManagerAddressKeyLen);
    d.WpxStats = std::make_unique<TWPXIndex>();
    return d;
}

// ---- the file ----

bool IsOldCountryFile(TStream& s)
{
    char magic[4] = {};
    if (s.Read(magic, 4) == 4 && std::memcmp(magic, "CTYB", 4) == 0)
        return false;
    s.SetPosition(0);
    return true;
}

bool ReadCountryDatabase(const std::string& bytes, TCountryData& out, bool withStats, std::string* reason)
{
    try {
        TMemoryStream s(bytes);
        const bool shortCount = IsOldCountryFile(s);
        TCountryData d;
        d.Countries = std::make_unique<TTwoIndex>(CountryKeyLen);
        d.Countries->Load(s, shortCount);
        d.Prefixes = std::make_unique<TSuffixIndex>();
        d.Prefixes->Load(s, shortCount);
        d.ExceptionCalls = std::make_unique<TDefcallIndex>();
        d.ExceptionCalls->Load(s, shortCount);
        d.States = std::make_unique<TTwoIndex>(0); // key length at least 4, taken from the file
        d.States->Load(s, shortCount);
        if (d.States->KeyLen() < StateKeyLen)
            throw EReadError("US states with a key shorter than 4 bytes");
        d.StateCodes = std::make_unique<TOneIndex>(StateCodeSize);
        d.StateCodes->Load(s, shortCount);
        d.Iota = std::make_unique<TTwoIndex>(IotaKeyLen);
        d.Iota->Load(s, shortCount);
        d.QslManagers = std::make_unique<TQSLMgrIndex>();
        d.QslManagers->Load(s, shortCount);
        d.Counties = std::make_unique<TTwoIndex>(CountyKeyLen);
        d.Counties->Load(s, shortCount);
        d.ManagerAddresses = std::make_unique<TOneIndexTail>(ManagerAddressKeyLen);
        d.ManagerAddresses->Load(s, shortCount);
        d.WpxStats = std::make_unique<TWPXIndex>();
        for (std::int32_t i = 0; i < d.Countries->Count(); ++i) {
            std::uint32_t slot = 0;
            if (withStats) {
                d.Statistics.push_back(std::make_unique<TAwardStatusBlock>());
                slot = static_cast<std::uint32_t>(d.Statistics.size());
            }
            PutU32(d.Countries->Record(i), cty_off::Statistics, slot);
        }
        out = std::move(d);
        return true;
    } catch (const std::exception& e) {
        if (reason)
            *reason = e.what();
        return false;
    }
}

std::string CountryDatabaseBytes(const TCountryData& db)
{
    // The statistics slot means nothing outside this run: the file gets zeros there, so one
    // database always gives the same bytes.
    std::vector<std::uint32_t> slots;
    for (std::int32_t i = 0; i < db.Countries->Count(); ++i) {
        slots.push_back(GetU32(db.Countries->Record(i), cty_off::Statistics));
        PutU32(db.Countries->Record(i), cty_off::Statistics, 0);
    }
    struct Restore {
        const TCountryData& db;
        const std::vector<std::uint32_t>& slots;
        ~Restore()
        {
            for (std::size_t i = 0; i < slots.size(); ++i)
                PutU32(db.Countries->Record(static_cast<std::int32_t>(i)), cty_off::Statistics, slots[i]);
        }
    } restore{db, slots};
    TMemoryStream s;
    s.WriteBuffer("CTYB", 4);
    db.Countries->SaveToStream(s);
    db.Prefixes->SaveToStream(s);
    db.ExceptionCalls->SaveToStream(s);
    db.States->SaveToStream(s);
    db.StateCodes->SaveToStream(s);
    db.Iota->SaveToStream(s);
    db.QslManagers->SaveToStream(s);
    db.Counties->SaveToStream(s);
    db.ManagerAddresses->SaveToStream(s);
    return s.Bytes();
}

namespace {
bool ReadFileBytes(const std::string& path, std::string& bytes, std::string* reason)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (reason)
            *reason = "cannot open " + path;
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        if (reason)
            *reason = "cannot read " + path;
        return false;
    }
    return true;
}
} // namespace

bool CountryFileLoads(const std::string& path)
{
    std::string bytes;
    TCountryData d;
    return ReadFileBytes(path, bytes, nullptr) && ReadCountryDatabase(bytes, d, false, nullptr);
}

bool LoadCountryFileFrom(const std::string& path, bool withStats, std::string* reason)
{
    std::string bytes;
    if (!ReadFileBytes(path, bytes, reason))
        return false;
    TCountryData d;
    if (!ReadCountryDatabase(bytes, d, withStats, reason))
        return false;
    CountryDb = std::move(d);
    gModified = false;
    gOutdated = false;
    return true;
}

bool LoadCountryFile(bool withStats)
{
    if (!LoadCountryFileFrom(GetDataFileName(dfCountry), withStats)) {
        FailCountryFile();
        return false;
    }
    return true;
}

void SaveCountryFile(bool toCountryFile)
{
    if (!CountryDb.Loaded())
        throw EFileWriteError("No country data to save");
    // Written to a temporary and renamed over the old file: a failed save leaves the old file.
    const std::string name = toCountryFile ? GetDataFileName(dfCountry) : GetProgramDirFileName(pfCountryBackup);
    RewriteDataFile(name, CountryDatabaseBytes(CountryDb));
    if (toCountryFile)
        gOutdated = false;
    else if (gModified)
        gOutdated = true;
    gModified = false;
}

void CountryDataOnClose(bool save)
{
    if (!CountryDataChanged())
        return;
    if (save) {
        SaveCountryFile(true);
    } else {
        const bool withStats = !CountryDb.Statistics.empty();
        LoadCountryFile(withStats);
    }
}

void FreeCountryData(bool /*withStats*/)
{
    // Statistics blocks belong to the database and go with it.
    CountryDb = TCountryData();
}

void FailCountryFile()
{
    MessageDlg("Failed reading the country file", TMsgDlgType::mtError, mbOK);
    if (gFailHandler)
        gFailHandler();
}

void SetCountryFileFailHandler(std::function<void()> handler) { gFailHandler = std::move(handler); }

void SetCountryDataModified()
{
    gModified = true;
    if (gModifiedHook)
        gModifiedHook();
}

bool CountryDataModified() { return gModified; }
bool CountryFileOutdated() { return gOutdated; }
bool CountryDataChanged() { return gModified || gOutdated; }
void SetCountryModifiedHook(std::function<void()> hook) { gModifiedHook = std::move(hook); }

// ---- access ----

std::int32_t CountryCount() { return CountryDb.Countries ? CountryDb.Countries->Count() : 0; }

const std::uint8_t* CountryRecordPtr(std::uint16_t number)
{
    if (number >= CountryCount())
        return nullptr;
    return CountryDb.Countries->Record(number);
}

bool GetCountry(std::uint16_t number, TCountryRecord& rec)
{
    const std::uint8_t* r = CountryRecordPtr(number);
    if (!r)
        return false;
    rec = TCountryRecord::FromBytes(r);
    return true;
}

std::string CountryPrefix(std::uint16_t number)
{
    const std::uint8_t* r = CountryRecordPtr(number);
    return r ? ShortStr(r, cty_off::Prefix, CountryPrefixCap) : std::string();
}

std::string CountryName(std::uint16_t number)
{
    const std::uint8_t* r = CountryRecordPtr(number);
    return r ? Tail(r, CountryKeyLen) : std::string();
}

TAwardStatusBlock* CountryStatistics(std::uint16_t number)
{
    const std::uint8_t* r = CountryRecordPtr(number);
    if (!r)
        return nullptr;
    std::uint32_t slot = GetU32(r, cty_off::Statistics);
    if (slot == 0 || slot > CountryDb.Statistics.size())
        return nullptr;
    return CountryDb.Statistics[slot - 1].get();
}

TAwardStatusBlock* WpxStatistics(std::string_view prefix, bool create)
{
    if (!CountryDb.WpxStats)
        return nullptr;
    prefix = prefix.substr(0, 7);
    std::uint8_t rec[WpxStatSize] = {};
    PutShortStr(rec, 0, 7, prefix);
    std::int32_t i = CountryDb.WpxStats->IndexOfKey(rec);
    if (i < 0) {
        if (!create)
            return nullptr;
        i = CountryDb.WpxStats->InsertRecord(rec);
    }
    // The block follows the prefix and the class byte; records never move once made.
    return reinterpret_cast<TAwardStatusBlock*>(CountryDb.WpxStats->Record(i) + 9);
}

std::int32_t CountryNumberOfPrefixIn(const TTwoIndex& countries, std::string_view prefix)
{
    if (prefix.size() > 255)
        return -1;
    TShortStrKey key = MakeShortStrKey(prefix);
    return countries.IndexOfKey(key.data());
}

std::int32_t CountryNumberOfPrefix(std::string_view prefix)
{
    return CountryDb.Countries ? CountryNumberOfPrefixIn(*CountryDb.Countries, prefix) : -1;
}

bool GetState(std::uint8_t number, TUsStateRecord& rec)
{
    if (!CountryDb.States || number == 0 || number >= CountryDb.States->Count())
        return false;
    rec = TUsStateRecord::FromBytes(CountryDb.States->Record(number), CountryDb.States->KeyLen());
    return true;
}

std::string StateAbbrev(std::uint8_t number)
{
    TUsStateRecord s;
    return GetState(number, s) ? s.Abbrev : std::string();
}

std::uint8_t StateNumber(std::string_view abbrev)
{
    if (!CountryDb.States || abbrev.empty() || abbrev.size() > 255)
        return 0;
    TShortStrKey key = MakeShortStrKey(abbrev);
    std::int32_t i = CountryDb.States->IndexOfKey(key.data());
    return i > 0 && i <= 255 ? static_cast<std::uint8_t>(i) : 0;
}

void MarkHomeCountry(std::uint16_t number)
{
    for (std::int32_t i = 0; i < CountryCount(); ++i)
        PutU8(CountryDb.Countries->Record(i), cty_off::HomeMark, i == number ? 1 : 0);
}

std::uint16_t HomeCountry()
{
    for (std::int32_t i = 0; i < CountryCount(); ++i)
        if (GetU8(CountryDb.Countries->Record(i), cty_off::HomeMark) == 1)
            return static_cast<std::uint16_t>(i);
    return 0;
}

} // namespace korval
