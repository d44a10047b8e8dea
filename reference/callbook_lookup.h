#pragma once
// Callsign lookups in the outside callbook libraries and through an outside QSL-manager program.
//
// The callbook libraries are shared objects in the EXTDATA folder of the program directory, with
// the base name of the library the source names ("AMSOFT32.DLL" is looked for as AMSOFT32.so,
// any case) and C entry points as declared below. Every result buffer handed to a library is
// CallbookResultSize bytes, zero-filled, and its last byte is forced to zero afterwards. The
// current directory is never changed: libraries are opened by full path.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korval {

inline constexpr std::size_t CallbookResultSize = 4096;
inline constexpr int BuckmasterResultSize = 500;
inline constexpr int QslProgramTimeoutMs = 30000;

// Entry points the libraries export (C linkage). Length-prefixed strings: a length byte, then
// the characters.
extern "C" {
using TAmsoftLookup = int (*)(const unsigned char* dataPath, const unsigned char* call, char* result);
using TOctaviaLookup = unsigned char (*)(const unsigned char* dataPath, const unsigned char* call, char* result);
using TLookupCallSign = int (*)(const char* dataPath, const char* call, int size, char* result);
using TQRZInit = int (*)(const char* dataPath);
using TQRZSearch = int (*)(int kind, const char* call1, const char* call2, const char* call3, char* result, int mode);
using TQRZExit = void (*)();
// 0 when the library takes the data on the CD.
using TrCheckDatabaseFormat = int (*)(const char* dataPath, std::int16_t* status1, std::int16_t* status2);
// 0 found (result: name, street, town, state, postal code, county, separated by tabs),
// 1 no record, other values an error whose text is in the result.
using TrGetCallInfo = std::int16_t (*)(const char* dataPath, const char* call, char* result);
using TrGetVersionNr = int (*)();
}

// The library file name of a callbook source (1..5), empty for 0 and unknown values.
std::string CallbookLibraryName(int source);
// The shared object the library is looked for as ("AMSOFT32.so"), empty for 0 and unknown values.
std::string CallbookLibraryFile(int source);
// The source's shared object is in the folder (under any letter case).
bool CallbookLibraryPresent(const std::string& extDataDir, int source);

// The library cached for the run. Load returns true at once when the name is the cached one;
// otherwise frees the cached one and opens the named one from the folder.
bool LoadCallbookDll(const std::string& extDataDir, const std::string& name);
void FreeCallbookDll();
const std::string& CachedCallbookDllName();

struct TCallbookSettings {
    int Source = 0;              // 0 none, 1..5
    std::string DataDir;         // the callbook data directory; empty means the root folder
    std::string ExtDataDir;      // where the libraries are
};

// Appends the result lines for a call.
void CallbookLookup(const TCallbookSettings& settings, const std::string& call, std::vector<std::string>& lines);

// Runs the QSL-manager program with the call as its one argument (no shell), in the program's
// folder, at most timeoutMs; its standard output goes to "manager.res" in that folder, from which
// the lines are taken.
void QslManagerProgramLookup(const std::string& program, const std::string& call, std::vector<std::string>& lines,
                             int timeoutMs = QslProgramTimeoutMs);

// The manager named in the lines: from the second line on, the first line whose upper-case text
// holds "VIA " and the call gives the callsign characters after "VIA " (at most 12).
std::string ExtractManager(const std::vector<std::string>& lines, const std::string& call);

// Buckmaster result fields into lines (exposed for tests).
void BuckmasterLines(std::string_view result, const std::string& call, const std::string& libraryName,
                     std::vector<std::string>& lines);

} // namespace korval
