#pragma once
// Custom awards defined by the operator in SAVE/KORVAL.AWD: sections and keys, one award per
// section, with optional value tables (short value -> long value).
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korval {

class TCustAward {
public:
    std::string ID;         // up to 4 characters
    std::string LongName;   // up to 20 characters
    std::string Prefixes;   // ",P1,P2," or empty (no restriction)
    std::array<std::uint8_t, 4> Modes{1, 1, 1, 1};   // 1..3: phone, CW, digital
    std::array<std::uint8_t, 16> Bands{};             // 1..15
    std::string PictureMask = "XXXXXXXX";

    TCustAward() { Bands.fill(1); }

    // The value table: short value (upper case, up to 8) -> long value, in short-value order.
    bool HasValueTable() const { return hasValues_; }
    const std::vector<std::pair<std::string, std::string>>& Values() const { return values_; }
    // The long value of a short value (compared ignoring letter case); empty when absent.
    std::string LongValue(std::string_view shortValue) const;
    // True when Prefixes is empty, else when ",prefix," occurs in it; false for an empty prefix.
    bool HasPrefix(std::string_view prefix) const;

    // Adds a value pair; returns the message of a duplicate ("Duplicate key = "...) or empty.
    std::string AddValue(const std::string& shortValue, const std::string& longValue);

private:
    bool hasValues_ = false;
    std::vector<std::pair<std::string, std::string>> values_;
};

class TCustAwardList {
public:
    TCustAwardList() = default;
    // Reads a definition file; a missing file leaves the list empty. Each bad line is reported
    // with the file's name and the line's number and skipped; the rest of the file loads.
    static std::unique_ptr<TCustAwardList> LoadFromFile(const std::string& fileName);
    // Parses definition text (fileName only names it in messages).
    static std::unique_ptr<TCustAwardList> LoadFromText(std::string_view text, const std::string& fileName);

    int Count() const { return static_cast<int>(awards_.size()); }
    // In ID order (ignoring letter case).
    const TCustAward& At(int i) const { return *awards_[i]; }
    // The award with this ID (ignoring letter case), or null.
    const TCustAward* Find(std::string_view id) const;
    // Adds an award; a duplicate ID shows "Duplicate award = " and the award is dropped.
    bool Add(std::unique_ptr<TCustAward> award);

private:
    std::vector<std::unique_ptr<TCustAward>> awards_;
};

// The program's list, read at start-up from SAVE/KORVAL.AWD (empty until then).
TCustAwardList& CustAwardList();
void SetCustAwardList(std::unique_ptr<TCustAwardList> list);
// Reads SAVE/KORVAL.AWD of the Korval home into the program's list.
void LoadCustAwards();

// The long name of an award; empty for an empty or unknown id.
std::string LongAwdName(std::string_view id);
// The long value of an award's value: from its table when it has one (empty when absent),
// else the value itself; empty for an empty or unknown id.
std::string LongAwdVal(std::string_view id, std::string_view value);

} // namespace korval
