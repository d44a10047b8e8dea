#pragma once
// Import/export filters: one foreign file format each (ADIF, or a fixed-field text layout with
// its columns and notations), stored as 193-byte records in SAVE/KORVAL.IEP.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korval {

// Field table positions (the order of the stored field entries).
enum TFilterField : int {
    fiAwdGroup = 0, fiAwdValue, fiAwdXAward, fiBand, fiCallsign, fiConfrm, fiCounty, fiCountyAward, fiDate,
    fiDxccBand, fiDxccMixed, fiDxccMode, fiDxccValid, fiGrid, fiGroup, fiIota, fiIotaAward, fiLabel, fiMode,
    fiNote1, fiNote2, fiNote3, fiPrefix, fiQrp, fiQslDate, fiQslMethod, fiRecvd, fiRstR, fiRstS, fiSatellite,
    fiState, fiTenTen, fiTime, fiVucc, fiWasBand, fiWasMixed, fiWasMode, fiWazBand, fiWazMixed, fiWazMode,
    fiWpxBand, fiWpxMixed, fiWpxMode, fiYLop, fiZone,
};
inline constexpr int FilterFieldCount = 45;

// Format kinds of the fields.
enum TFieldKind : int {
    fkPlain = 0, fkBand, fkDate, fkNote, fkUse, fkQslMethod, fkMode, fkYesNo, fkAward, fkSatellite, fkState, fkTime,
};
inline constexpr int FieldKindCount = 12;

struct TFilterFieldInfo {
    const char* Name;
    int Kind;
    int DefaultNotation;  // kind 0: 1 text, 2 number; otherwise 0
};
const TFilterFieldInfo& FilterFieldInfo(int field);
const char* FilterFieldName(int field);

// The formats of a kind (the QSL Date field offers one more: "Flag QSO date").
const std::vector<std::string>& KindFormats(int kind);
std::vector<std::string> FieldFormats(int field);
inline constexpr int QslDateFlagFormat = 17;

// Band formats.
enum : int { bfKey3 = 0, bfKey2, bfFreqMHz, bfFreqKHz, bfKeyM, bfKeyLeft, bf1to3, bf1to6, bf1to160 };
// Mode formats.
enum : int { mfGroup = 0, mfGroupSsb, mf123, mf012, mfCPR, mfGroupRight, mfCSR, mfUsbLsbCw, mfName };
// Note formats.
enum : int { nfWithCall = 0, nfWithQso, nfFollows };
// Time formats.
enum : int { tfHHcMM = 0, tfHHMM, tfHHMMSS };

// Layout of a date format: total length, year position and length, month and day (1-based).
struct TDateLayout {
    const char* Name;
    int Length, YearPos, YearLen, MonthPos, MonthLen, DayPos, DayLen;
};
const TDateLayout& DateLayout(int format);  // 0..16
inline constexpr int DateFormatCount = 17;

// The length a field takes by its format, and whether the operator may edit it.
struct TFieldLength {
    int Length;
    bool Editable;
};
TFieldLength FieldLengthRule(int field, int format);

struct TFieldEntry {
    std::uint8_t Pos = 0;  // 1-based column; 0 = absent
    std::uint8_t Fmt = 0;
    std::uint8_t Len = 0;
    bool operator==(const TFieldEntry&) const = default;
};

enum TFilterUsage : std::uint8_t { fuImport = 0, fuImpExp = 1, fuBinaryImp = 2 };

struct TFilterRecord {
    std::string Ext;          // string[3]
    std::uint8_t RecLen = 0;
    std::string Id;           // string[8]
    std::uint8_t Usage = fuImport;
    std::string Description;  // string[30]
    char DateChar = '/';
    std::int32_t Modified = 0;  // days since 1 January 1600
    std::string NoteExt;      // string[3]
    bool FilterFreq = false;
    bool FilterImport = false;
    bool FilterDupes = false;
    std::array<TFieldEntry, FilterFieldCount> Fields{};

    bool IsAdif() const { return Id.rfind("ADIF", 0) == 0; }
    const TFieldEntry& Field(int f) const { return Fields[static_cast<std::size_t>(f)]; }
    TFieldEntry& Field(int f) { return Fields[static_cast<std::size_t>(f)]; }

    std::string ToBytes() const;                            // 193 bytes
    static TFilterRecord FromBytes(const std::uint8_t* b);  // 193 bytes
    bool operator==(const TFilterRecord&) const = default;
};

inline constexpr std::size_t FilterRecordSize = 193;
namespace flt_off {
inline constexpr std::size_t Ext = 0, RecLen = 4, Id = 5, Usage = 14, Description = 15, DateChar = 46, Modified = 47,
                             NoteExt = 51, FilterFreq = 55, FilterImport = 56, FilterDupes = 57, Fields = 58;
}

// IDs name files (translation tables, conversion scripts): upper case letters, digits, '_', '-'
// and '&', at most 8. An empty ID is allowed only for a filter not yet named.
bool IsValidFilterId(std::string_view id);

// The filters of a file in stored order. A missing file gives none; a file whose size is not a
// multiple of 193 bytes keeps its whole records and reports the damage in *damaged; so does a
// record whose ID (in upper case) is no valid ID, which is left out.
std::vector<TFilterRecord> LoadFilterFile(const std::string& path, bool* damaged = nullptr);
// Writes the filters (sorted by ID) atomically with the keep-backup setting. An empty list
// writes an empty file, so that deleting every filter is kept. Throws EFileWriteError.
void SaveFilterFile(const std::string& path, std::vector<TFilterRecord> filters);
std::string FilterFileName();  // SAVE/KORVAL.IEP

// A list of filters keyed by ID (unique), as the filter list window holds them.
class TFilterList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    const TFilterRecord& At(int i) const { return items_[static_cast<std::size_t>(i)]; }
    int IndexOf(std::string_view id) const;  // -1 when absent
    // Adds in ID order; false (nothing added) when the ID is taken.
    bool Add(const TFilterRecord& r, int* index = nullptr);
    void Delete(int i);
    // Replaces record i by r (which may carry a new ID); false when that ID belongs to another.
    bool Replace(int i, const TFilterRecord& r, int* index = nullptr);
    // A copy of record i under a new unique ID: ADIF filters stay ADIF ("ADIF" + '&' ...), others
    // get "&" in front. Description "Cpy " + description. Returns the new index, -1 when no ID is free.
    int Copy(int i, std::int32_t today);
    // A zeroed filter under the empty ID (the existing one when there is one).
    int New(std::int32_t today);
    const std::vector<TFilterRecord>& Items() const { return items_; }
    void Assign(const std::vector<TFilterRecord>& records);  // duplicates after the first dropped

private:
    std::vector<TFilterRecord> items_;
};

// The usage column text: "Imp", "I/E", "BIN".
const char* UsageText(std::uint8_t usage);

} // namespace korval
