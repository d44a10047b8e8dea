#pragma once
// Names of the program's folders and data files, all under the Korval home (korval::KorvalHome,
// which stands in for the program directory), and the safe rewrite of a data file.
#include "platform/atomic_file.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace korval {

// Data files in the SAVE folder, by index into the data-file extension table.
enum TDataFile : int {
    dfLog = 0, dfCountry = 1, dfConfig = 2, dfSpots = 3, dfFilters = 4, dfReports = 5, dfCalendar = 6,
    dfLabels = 7, dfSettingsIni = 8, dfTelnet = 9, dfAwards = 10, dfDeletedWpx = 11, dfAnt = 12,
};
inline constexpr int DataFileCount = 13;
// Files in the program directory, by index into the program-directory extension table.
enum TProgramDirFile : int { pfLogBackup = 0, pfCountryBackup = 1, pfScratch = 2, pfMaster = 3 };
inline constexpr int ProgramDirFileCount = 4;

// "KVL", "CTY", ... ; an index outside the table throws std::out_of_range.
const char* DataFileExtension(int index);
const char* ProgramDirFileExtension(int index);

std::string GetProgramDir();                        // the Korval home, no trailing '/'
std::string GetSaveDir();                           // home/SAVE
std::string GetDataFileName(int index);             // home/SAVE/KORVAL.<ext>
std::string GetProgramDirFileName(int index);       // home/KORVAL.<ext>
std::string GetImportDir();                         // home/IMPORT
std::string GetImportFileName(const std::string& name);
std::string GetImportProfileName(const std::string& name);  // name + ".PMP" in IMPORT
std::string GetExtDataDir();                        // home/EXTDATA
std::string GetRadiosDir();                         // home/RADIOS
std::string GetRigFileName(const std::string& name);  // name + ".rig" in RADIOS
std::string GetHelpFileName();                      // home/korval.hlp

// Starts the safe rewrite of a data file: the new contents go to a temporary file in the same
// folder and replace the file only on commit(); with the keep-backup setting of the
// configuration, the old file is then kept under its "~" name (KORVAL.CTY -> KORVAL.~TY).
// Nothing on disk changes before commit(), so a failed write leaves the old file as it was.
// The file's folder is created when missing. Throws EFileWriteError when it cannot start.
std::unique_ptr<AtomicFile> PrepareFileRewrite(const std::string& name);
// The same for a whole file's contents at once.
void RewriteDataFile(const std::string& name, std::string_view bytes);

// No short (8.3) forms here: the path itself.
std::string ShortPathName(const std::string& path);

} // namespace korval
