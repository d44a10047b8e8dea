#pragma once
// First start: the files the program ships (default country database, radio definitions, ...)
// are copied into the Korval home where they are missing. The operator's files are never
// overwritten; each copy is written atomically so a crash cannot leave half a file behind.
#include <string>
#include <vector>

namespace korval {

// Copies every regular file below shippedDir to the same relative path below home when no file
// of that name (compared ignoring case) exists there. Returns the relative paths copied.
// Throws EFileWriteError when a copy cannot be written.
std::vector<std::string> CopyShippedDefaults(const std::string& shippedDir, const std::string& home);

// Where the shipped files are: $KORVAL_DATA_DIR when set, else <exe dir>/../share/korval,
// else the fallback given (the source tree's data folder for a build that is not installed).
std::string FindShippedDataDir(const std::string& exeDir, const std::string& fallback);

} // namespace korval
