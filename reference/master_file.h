#pragma once
// The master callsign file KORVAL.MAS: a packed, sorted list of known active calls that the
// master lookup window searches while a call is typed.
//
//   0   8  "ZOLTMAS1" (no length byte)
//   8   1  length of the longest call
//   9   n  the calls in ascending order, 128 added to the first character of each
//   9+n 1  0xFF, end of the list
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korval {

inline constexpr char MasterFileMagic[] = "ZOLTMAS1";
inline constexpr std::size_t MasterCallMax = 12;
inline constexpr std::size_t MasterCallMin = 3;

// The sorted unique calls of a text list, with the length of the longest.
struct TMasterCallList {
    std::vector<std::string> Calls;
    int Longest = 0;
};

// Called every MasterProgressStep bytes while a list is read, and at its end: bytes done, bytes in all.
inline constexpr std::size_t MasterProgressStep = 65536;
using TMasterProgress = std::function<void(std::size_t done, std::size_t total)>;

// Tokens of "/", digits and letters (upper-cased), cut to 12 characters; any other byte ends a
// token; tokens of fewer than 3 characters are dropped, duplicates kept once.
TMasterCallList ParseMasterList(std::string_view text, const TMasterProgress& progress = {});
// The file's bytes for a list of sorted calls.
std::string EncodeMasterFile(const TMasterCallList& list);
// Reads the text list at source and writes the master file at target atomically (the old file
// stays as it was on any failure). Returns the number of calls. Throws std::runtime_error
// (EFileWriteError when writing fails) naming the file.
std::size_t ConvertMasterFile(const std::string& source, const std::string& target,
                              const TMasterProgress& progress = {});

enum class TMasterLoadResult { Loaded, NotFound, NotMasterFile, Damaged };

// The loaded list and its searches.
class TMasterLookupEngine {
public:
    // Frees what was loaded, then loads the file. Only a file that ends with its end byte is
    // taken: a truncated one would otherwise be scanned past its end.
    TMasterLoadResult LoadFile(const std::string& fileName);
    TMasterLoadResult LoadBytes(std::string_view bytes);
    void Free();

    bool Loaded() const { return loaded_; }
    int Longest() const { return longest_; }
    std::size_t CallCount() const { return starts_.empty() ? 0 : starts_.size() - 1; }

    bool SubString() const { return subString_; }
    void SetSubString(bool on) { subString_ = on; }
    const std::string& LastSearched() const { return last_; }
    void ClearLastSearched() { last_.clear(); }

    // Fills Matches() for a partial call; false (matches untouched) when nothing is loaded or the
    // call equals the one searched last. A leading "?" forces a substring search, trailing ones
    // are dropped, an inner "?" matches any one character; patterns under 2 characters list nothing.
    bool Search(std::string_view partial);
    const std::vector<std::string>& Matches() const { return matches_; }

private:
    std::string_view CallAt(std::size_t i) const;

    std::string block_;                 // the list after the header, end byte included
    std::vector<std::uint32_t> starts_; // offset of each call in block_, plus one past the last
    int longest_ = MasterCallMax;
    bool loaded_ = false;
    bool subString_ = false;
    std::string last_;
    std::vector<std::string> matches_;
};

} // namespace korval
