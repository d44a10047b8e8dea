#pragma once
// The country database: countries (DXCC entities), prefix mappings, exception calls, US states,
// state codes, IOTA references, QSL managers, counties and manager addresses, held in sorted
// record collections and stored whole in SAVE/KORVAL.CTY (crash backup KORVAL.CTB).
//
// Records are byte blocks in the file's layout; the T...Record structs below read and write
// them field by field. A country's number is its position in the key order of the countries;
// number 0 is the placeholder for "unknown" (the shipped file keeps an empty-keyed record there),
// and likewise state 0 means "no state".
#include "logbook/award_status.h"
#include "logbook/base/day_number.h"
#include "logbook/base/sorted_collection.h"
#include "logbook/base/stream.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace korval {

// Sizes and key lengths of the stored collections.
inline constexpr std::uint16_t CountryKeyLen = 67;
inline constexpr std::uint16_t PrefixMapSize = 12;
inline constexpr std::uint16_t ExceptionCallSize = 18;
inline constexpr std::uint16_t StateKeyLen = 4;
inline constexpr std::uint16_t StateCodeSize = 5;
inline constexpr std::uint16_t IotaKeyLen = 41;
inline constexpr std::uint16_t QslManagerSize = 28;
inline constexpr std::uint16_t CountyKeyLen = 6;
inline constexpr std::uint16_t ManagerAddressKeyLen = 13;
inline constexpr std::uint16_t WpxStatSize = 122;
inline constexpr std::size_t CountryStatsSize = 113;
inline constexpr TDayNumber OpenEndDate = 65535;

// Short-string capacities of the key fields.
inline constexpr std::size_t CountryPrefixCap = 5;
inline constexpr std::size_t MappedPrefixCap = 4;
inline constexpr std::size_t CallCap = 12;

// States kinds of a country (byte 47).
enum TStatesKind : std::uint8_t { skNone = 0, skUsStates = 1, skNoState = 2, skHawaii = 3, skAlaska = 4 };
// The bureau byte of a country without a QSL bureau.
inline constexpr std::uint8_t NoQslBureau = 2;

// Offsets inside the 67-byte key part of a country record.
namespace cty_off {
inline constexpr std::size_t Prefix = 0, Continent = 6, ItuZone = 7, CqZone = 8, UtcOffset = 9, MapNumber = 17,
                             Longitude = 19, Latitude = 27, StartDate = 35, EndDate = 37, DefaultIota = 39,
                             Bureau = 45, FieldCheck = 46, StatesKind = 47, Statistics = 48, HomeMark = 52,
                             Name = 67;
}

struct TCountryRecord {
    std::string Prefix;        // up to 5 characters; the key
    std::uint8_t Continent = 0; // index of "???", "Africa", "Antarct", "Asia", "Europe", "North Am", "Oceania", "South Am"
    std::uint8_t ItuZone = 0;
    std::uint8_t CqZone = 0;
    double UtcOffset = 0;       // hours, positive = ahead of UTC
    std::uint8_t MapNumber = 0;
    double Longitude = 0;       // degrees, negative = West
    double Latitude = 0;        // degrees, negative = South
    TDayNumber StartDate = 0;
    TDayNumber EndDate = OpenEndDate;
    std::string DefaultIota;    // up to 5 characters
    std::uint8_t Bureau = 0;
    std::uint8_t FieldCheck = 0;
    std::uint8_t StatesKind = 0;
    // 1 on the country of the own callsign (ApplyOwnCallsign); kept in the reserved area at 52.
    std::uint8_t HomeCountry = 0;
    std::string Name;           // the tail

    std::string ToBytes() const; // key part + name short string
    static TCountryRecord FromBytes(const std::uint8_t* rec);
};

struct TPrefixMapRecord {
    std::string Prefix; // up to 4 characters
    std::uint16_t Country = 0;
    std::uint8_t CqZone = 0;
    TDayNumber StartDate = 0;
    TDayNumber EndDate = OpenEndDate; // exclusive
    std::string ToBytes() const;
    static TPrefixMapRecord FromBytes(const std::uint8_t* rec);
};

struct TExceptionCallRecord {
    std::string Call; // up to 12 characters
    std::uint16_t Country = 0;
    std::uint8_t CqZone = 0;
    TDayNumber StartDate = 0;
    std::string ToBytes() const;
    static TExceptionCallRecord FromBytes(const std::uint8_t* rec);
};

struct TQslManagerRecord {
    std::string Call;
    TDayNumber StartDate = 0; // the manager applies to QSOs from this date on
    std::string Manager;
    std::string ToBytes() const;
    static TQslManagerRecord FromBytes(const std::uint8_t* rec);
};

struct TUsStateRecord {
    std::string Abbrev; // two letters
    std::uint8_t CqZone = 0;
    std::string Name;
    std::string ToBytes() const;
    // keyLen: the key-part length of the collection the record comes from (older files have a
    // longer key part; the name follows it).
    static TUsStateRecord FromBytes(const std::uint8_t* rec, std::size_t keyLen = StateKeyLen);
};

struct TStateCodeRecord {
    std::string Code; // up to 3 characters
    std::uint8_t State = 0;
    std::string ToBytes() const;
    static TStateCodeRecord FromBytes(const std::uint8_t* rec);
};

struct TIotaRecord {
    std::string Reference; // without the dash, up to 9 characters
    double Longitude = 0;
    double Latitude = 0;
    std::string Name;
    std::string ToBytes() const;
    static TIotaRecord FromBytes(const std::uint8_t* rec);
};

struct TCountyRecord {
    std::string Key; // state abbreviation + three-digit county number
    std::string Name;
    std::string ToBytes() const;
    static TCountyRecord FromBytes(const std::uint8_t* rec);
};

// Prefix mappings: ordered by prefix (byte-wise), then start date.
class TSuffixIndex : public TOneIndex {
public:
    TSuffixIndex() : TOneIndex(PrefixMapSize) {}
    std::int32_t Compare(const void* key1, const void* key2) const override;

protected:
    bool RecordIsSound(const std::uint8_t* rec, std::size_t size) const override;
};

// Exception calls: ordered by call (byte-wise), then start date.
class TDefcallIndex : public TOneIndex {
public:
    TDefcallIndex() : TOneIndex(ExceptionCallSize) {}
    std::int32_t Compare(const void* key1, const void* key2) const override;

protected:
    bool RecordIsSound(const std::uint8_t* rec, std::size_t size) const override;
};

// QSL managers: ordered by call (byte-wise), then start date.
class TQSLMgrIndex : public TOneIndex {
public:
    TQSLMgrIndex() : TOneIndex(QslManagerSize) {}
    std::int32_t Compare(const void* key1, const void* key2) const override;

protected:
    bool RecordIsSound(const std::uint8_t* rec, std::size_t size) const override;
};

// WPX statistics built at run time (never stored): prefix string[7], class byte, 113-byte block.
class TWPXIndex : public TOneIndex {
public:
    TWPXIndex() : TOneIndex(WpxStatSize) {}
    std::int32_t Compare(const void* key1, const void* key2) const override;
};

// The ten collections. Country statistics blocks live beside them; a country record's slot
// at 48 holds the 1-based number of its block (0 = none) while loaded with statistics.
struct TCountryData {
    std::unique_ptr<TTwoIndex> Countries;
    std::unique_ptr<TSuffixIndex> Prefixes;
    std::unique_ptr<TDefcallIndex> ExceptionCalls;
    std::unique_ptr<TTwoIndex> States;
    std::unique_ptr<TOneIndex> StateCodes;
    std::unique_ptr<TTwoIndex> Iota;
    std::unique_ptr<TQSLMgrIndex> QslManagers;
    std::unique_ptr<TTwoIndex> Counties;
    std::unique_ptr<TOneIndexTail> ManagerAddresses;
    std::unique_ptr<TWPXIndex> WpxStats;
    std::vector<std::unique_ptr<TAwardStatusBlock>> Statistics;

    // Nine empty collections with their key lengths (and an empty WPX index).
    static TCountryData Empty();
    bool Loaded() const { return Countries != nullptr; }
};

// The live database: global, from start-up to exit.
extern TCountryData CountryDb;

// ---- The country file ----

// Reads 4 bytes: "CTYB" -> false (the stream stays after them); otherwise rewinds to 0 and
// returns true (an old file: every count is 2 bytes).
bool IsOldCountryFile(TStream& s);

// Parses a whole country file. Every count, size and short-string length is checked against
// the bytes present; false with a reason for a damaged file (nothing of it is kept).
bool ReadCountryDatabase(const std::string& bytes, TCountryData& out, bool withStats, std::string* reason = nullptr);
// The file's bytes: "CTYB" and the nine collections with 4-byte counts.
std::string CountryDatabaseBytes(const TCountryData& db);

// Loads SAVE/KORVAL.CTY into CountryDb. A missing, unreadable or damaged file leaves CountryDb
// as it was, calls FailCountryFile and returns false. Clears both modified flags on success.
bool LoadCountryFile(bool withStats);
// Whether a file reads completely as a country database (nothing is kept).
bool CountryFileLoads(const std::string& path);
// Loads any country file into CountryDb (same checks, no message); false when refused.
bool LoadCountryFileFrom(const std::string& path, bool withStats, std::string* reason = nullptr);
// Writes SAVE/KORVAL.CTY (true) or the backup KORVAL.CTB (false) atomically. A failed write
// raises EFileWriteError; the old file and the flags stay as they were.
void SaveCountryFile(bool toCountryFile);
void FreeCountryData(bool withStats);
// A log is being closed: a changed database is written (save) or thrown away and reloaded.
void CountryDataOnClose(bool save);

// "Failed reading the country file" (error, OK), then the terminate request.
void FailCountryFile();
// What FailCountryFile calls after the message (the application installs its quit request).
void SetCountryFileFailHandler(std::function<void()> handler);

// Modified flags.
void SetCountryDataModified();
bool CountryDataModified();
bool CountryFileOutdated();
bool CountryDataChanged();
// Called on every SetCountryDataModified (the main window restarts its auto-save countdown).
void SetCountryModifiedHook(std::function<void()> hook);

// ---- Access by number (range-checked) ----

std::int32_t CountryCount();
// False for a number outside the collection.
bool GetCountry(std::uint16_t number, TCountryRecord& rec);
// Raw record of a country, nullptr when out of range.
const std::uint8_t* CountryRecordPtr(std::uint16_t number);
std::string CountryPrefix(std::uint16_t number);
std::string CountryName(std::uint16_t number);
// The statistics block of a country, nullptr without statistics or out of range.
TAwardStatusBlock* CountryStatistics(std::uint16_t number);
// The statistics block of a WPX prefix in the WPX index; with create a missing prefix gets a
// cleared entry. nullptr when missing (and not created) or without a database.
TAwardStatusBlock* WpxStatistics(std::string_view prefix, bool create);
// Position of a country by prefix (case-insensitive), -1 when absent.
std::int32_t CountryNumberOfPrefix(std::string_view prefix);
std::int32_t CountryNumberOfPrefixIn(const TTwoIndex& countries, std::string_view prefix);
// State record by number (0 and out of range: false).
bool GetState(std::uint8_t number, TUsStateRecord& rec);
// The state's abbreviation, empty for 0 and unknown numbers.
std::string StateAbbrev(std::uint8_t number);
// State number of an abbreviation (case-insensitive), 0 when absent.
std::uint8_t StateNumber(std::string_view abbrev);
// Marks one country as the home country and clears the mark of every other.
void MarkHomeCountry(std::uint16_t number);
// The marked home country, 0 when none.
std::uint16_t HomeCountry();

} // namespace korval
