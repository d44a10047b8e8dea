#pragma once
// The log file: written always in format version H ("MERXLOGH"), read in every version from B
// to H with the older QSO records converted on the fly, either as a new log or merged into the
// open one with a policy for duplicates. The same writer produces the crash backup KORVAL.KVB.
#include <cstddef>
#include <cstdint>
#include <string>

#include "logbook/qso_data.h"

namespace korval {

enum TDuplicatePolicy : int { dpAbort = 0, dpReplace = 1, dpSkip = 2 };

// The crash backup in the Korval home.
std::string CrashBackupFileName();

// With showProgress writes the log's own file (with progress and a disk-panel text), without
// it the crash backup. Every write replaces the old file atomically; a failure is reported to
// the operator, leaves the old file and the log's flags as they were, and returns false.
// A log without QSOs is written as a valid file so that its notes and lists survive.
bool WriteLogFile(TQsoData& log, bool showProgress);

// Reads a log file into log: as its whole contents (intoNewLog, log freshly created) or merged
// into it with a duplicate policy (dpAbort, dpReplace, dpSkip). Problems are reported to the
// operator; returns false on any failure or an aborted merge. After a failed load the caller
// discards log; a failed merge keeps what was merged before the failure.
bool LoadLogFileInto(TQsoData& log, const std::string& fileName, bool intoNewLog, int duplicatePolicy);

// The same on the current logbook. With intoNewLog a current logbook is created when there is
// none; a failed load frees it.
bool LoadLogFile(const std::string& fileName, bool intoNewLog, int duplicatePolicy);

// Closes the log: with save writes it (false when that fails: the log stays as it was, named
// and flagged) and a changed country database; without save a changed country database is
// reloaded. The file name and both flags are then cleared.
bool CloseLog(TQsoData& log, bool save);

// ---- record forms of the older versions ----

inline constexpr std::size_t kVersionFRecordSize = 61;
// Bytes per stored QSO record of a version letter 'B'..'H'; 0 for other letters.
std::size_t QsoRecordBytes(char version);
// Versions F to H store a note after each QSO.
bool VersionHasQsoNote(char version);
// Brings a record of version B to E (read into the start of a zeroed buffer of the version-F
// layout) up to version F. Version F records are left as they are.
void ConvertToVersionF(char version, std::uint8_t f[kVersionFRecordSize]);
// The run of QSOs that share date and stored minutes, numbered by added seconds.
struct TSecondsRule {
    bool any = false;
    std::uint16_t date = 0;
    std::uint16_t minutes = 0;
    int run = 0;
};
// Converts a version-F record to the current record (without prefix and note).
void ConvertVersionF(const std::uint8_t f[kVersionFRecordSize], TQsoRecord& rec, TSecondsRule& rule);
// Old mode numbers: 1 -> SSB (14), 2 -> CW (4), 3 -> RTTY (13); others kept.
std::uint8_t TranslateOldMode(std::uint8_t mode);

// The date in the configured short form (for messages).
std::string FormatLogDate(std::uint16_t day, int dateFormat);

} // namespace korval
