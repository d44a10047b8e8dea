#pragma once
// Start-up recovery from the crash backups: KORVAL.KVB (the log) and KORVAL.CTB (the country
// database) exist at start only when the last run ended abnormally. The operator may keep the
// log backup under a new name; the country backup then replaces the country file.
// Nothing is deleted before its replacement is in place, and a country backup that does not load
// never replaces a working country file.
#include <functional>
#include <optional>
#include <string>

namespace korval {

// The question asked when a log backup is found.
extern const char* const kCrashBackupPrompt;
extern const char* const kRenameProblemMessage;
extern const char* const kBadCountryBackupMessage;

struct TCrashRecoveryFiles {
    std::string logBackup;      // KORVAL.KVB
    std::string countryBackup;  // KORVAL.CTB
    std::string countryFile;    // SAVE/KORVAL.CTY
};

struct TCrashRecoveryEnv {
    // The save dialog: the chosen file name, or nothing when cancelled.
    std::function<std::optional<std::string>()> askSaveName;
    // Loads the file as a country database without keeping it; true when it reads completely.
    std::function<bool(const std::string&)> testCountryFile;
    // Reloads the country database (with its statistics) after the file was replaced.
    std::function<void()> reloadCountry;
};

enum class TCrashRecoveryResult {
    NoBackup,   // no log backup: nothing asked
    Declined,   // the operator did not want it: both backups deleted
    Saved,      // the log backup now lives under the chosen name
    Cancelled,  // a save dialog was cancelled
};

TCrashRecoveryResult RecoverCrashBackup(const TCrashRecoveryFiles& files, const TCrashRecoveryEnv& env);

// Moves a file onto a target, replacing it in one step (the target is never missing in between);
// across file systems the bytes are copied through a temporary first. False when it failed; the
// source and any old target are then unchanged.
bool MoveFileReplacing(const std::string& from, const std::string& to);

} // namespace korval
