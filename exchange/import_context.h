#pragma once
// The state of one import run, shared by the import driver and the ADIF and fixed-field record
// readers: the file's bytes, the QSO being built, its note buffers and error list, the values
// the file claims (country, zone, state, prefix), the counters of the summary and the settings.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/filter_record.h"
#include "logbook/qso_record.h"
#include "logbook/base/sorted_collection.h"

namespace korval {

class TQsoData;

// Duplicate policies.
enum TImportPolicy : int {
    ipWarnStop = 0, ipReplace = 1, ipIgnore = 2, ipNoCheck = 3, ipStopped = 4,
};

struct TImportCounters {
    long Read = 0;
    long SimpleErrors = 0;
    long ZoneExceptions = 0;
    long CountryExceptions = 0;
    long Duplicates = 0;
    long ExceptionRecords = 0;
    long ErrorItems = 0;
    long Added = 0;
    long NoCall = 0;  // records without a callsign, not imported
    long Kept = 0;    // QSOs with ADIF values kept in their note (mode, report or band the tables lack)
};

// The import page settings of the configuration, taken once per run.
struct TImportSettings {
    std::uint8_t DefaultBand = 5;
    std::uint8_t DefaultMode = 14;
    std::uint8_t DefaultQslRoute = 0;
    std::uint8_t DefaultLabel = 0;
    std::uint8_t DefaultGroup = 0;
    bool SimpleErrors = true;
    bool PrefixDiffs = true;
    bool ZoneDiffs = true;
    int ConflictAction = 0;  // 0 ask, 1 keep this program's values, 2 take the imported ones
    static TImportSettings FromConfig();
};

class TImportContext {
public:
    std::string FileName;
    TFilterRecord Filter;
    bool IsAdif = true;
    int Policy = ipNoCheck;
    TImportSettings Settings;

    // The file and the reading position (the bytes-read counter).
    std::string_view Data;
    std::size_t Pos = 0;
    bool AtEnd() const { return Pos >= Data.size(); }

    TQsoRecord Qso;
    std::string Note[3];
    std::string Errors;  // items each followed by ", "
    std::uint8_t ImpState = 0;
    std::string ImpStateText;  // a STATE value that names no US state
    std::uint8_t ImpZone = 0;
    std::int32_t ImpCountry = 0;
    std::string ImpPrefix;
    std::unique_ptr<TTwoIndex> Table;
    // The note line of the ADIF values the record cannot hold (TAdifKeptValues), or "".
    std::string KeptItem;

    int LastMinute = 1440;
    std::uint8_t Seconds = 0;

    TImportCounters Count;
    long RecordNumber = 0;
    std::vector<std::string> NoCallRecords;  // "record n, date, time" of the first few
    TQsoRecord Existing;                     // the duplicate that stopped the import
    bool StoppedAtDuplicate = false;

    // Starts a record: zeroed QSO with the defaults, empty buffers, cleared imported values.
    void ResetRecord();

    // Error items.
    void ReportImportError(int field, std::string_view text);
    void ReportSimpleError(int field, std::string_view text);
    void AddToNote(std::string_view item);
    bool ReportEmptyField(int field, bool isEmpty);
    void CountCountryException(std::string_view prefix);
    void CountZoneException(int zone);
};

} // namespace korval
