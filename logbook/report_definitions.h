#pragma once
// Report definitions: named choices of columns, a sort order and a note width through which the
// log list shows, prints and writes the log. They are kept in SAVE/KORVAL.REP, an INI file of
// one section per definition (keys "SORT", "NOTEWIDTH", then one empty key per column named
// after its report field), read at start-up and written back only when something changed.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace korval {

// The report fields; the number is the position in the field table, as the definitions keep it.
enum TReportFieldId : int {
    rpfAward = 0, rpfAWD, rpfAwdStrng, rpfAwdVal, rpfBand, rpfCallsign, rpfCallsignNotes, rpfConf, rpfCountry, rpfCounty,
    rpfCountyMix, rpfDate, rpfDXCCbnd, rpfDXCCmix, rpfDXCCmod, rpfGrid, rpfGroup, rpfGroupname, rpfIOTA, rpfIOTAName,
    rpfIOTAmix, rpfLabel, rpfMode, rpfNumber, rpfPrefix, rpfQRP, rpfQSLDate, rpfQSLMgr, rpfQSLMthd, rpfQSONotes, rpfRecvd,
    rpfRstR, rpfRstS, rpfSatell, rpfSeqPrtNr, rpfState, rpfStateName, rpfTime, rpfValidDX, rpfVUCC, rpfWASbnd, rpfWASmix,
    rpfWASmod, rpfWAZbnd, rpfWAZmix, rpfWAZmod, rpfWPX, rpfWPXbnd, rpfWPXmix, rpfWPXmod, rpfYLop, rpfZone,
    kReportFieldCount
};

// Alignment codes of the field table.
enum TReportAlign : int { raCentre = 0, raLeft = 1, raRight = 2 };

struct TReportField {
    const char* Name;  // up to 14 characters; the column key in the file
    int Width;         // default column width in characters
    int Align;         // a TReportAlign
};
extern const TReportField ReportFields[kReportFieldCount];
// The field whose name is exactly name (letter case counts); -1 for none.
int ReportFieldNumber(std::string_view name);

inline constexpr std::size_t kReportNameCapacity = 25;
inline constexpr int kMaxReportColumns = kReportFieldCount;

struct TReportDefinition {
    std::string Name;               // at most 25 characters: the section name
    std::uint8_t SortOrder = 4;     // a TQsoSortOrder
    std::uint8_t NoteWidth = 15;    // characters of a note shown
    std::vector<std::uint8_t> Columns;  // field numbers in display order, at most 52
    bool operator==(const TReportDefinition&) const = default;
};

class TReportDefinitions {
public:
    // No file: the default definition alone.
    TReportDefinitions();
    // Reads the file: every section it can, the default definition when there is none. What
    // could not be read (a section's damaged keys, unknown names) is listed in Problems.
    explicit TReportDefinitions(std::string fileName);

    int Count() const { return static_cast<int>(items_.size()); }
    // False (and nothing set) for an index outside the list.
    bool GetName(int index, std::string& name) const;
    bool GetItem(int index, TReportDefinition& def) const;
    // Stores the definition (name cut to 25 characters, columns to 52) and marks the list changed.
    void SetItem(int index, const TReportDefinition& def);
    // Appends "??noname report??" (order 0, note width 25, the one column "Callsign").
    void AddDefault();
    // The definition named so, letter case ignored; -1 for none.
    int IndexOfName(std::string_view name) const;

    bool Modified() const { return modified_; }
    const std::string& FileName() const { return fileName_; }
    // Writes the file anew when changed, atomically (with the keep-backup copy when configured).
    // Raises EFileWriteError with the old file left as it was and the list still marked changed.
    void Save();
    // The text of the file Save writes.
    std::string Text() const;

    const std::vector<std::string>& Problems() const { return problems_; }

private:
    void Read();
    std::string fileName_;
    std::vector<TReportDefinition> items_;
    std::vector<std::string> problems_;
    bool modified_ = false;
};

// The program's definitions (the default one alone until LoadReportDefinitions ran).
TReportDefinitions& ReportDefinitions();
// Reads SAVE/KORVAL.REP into the program's definitions; what could not be read is shown to the
// operator in one warning.
void LoadReportDefinitions();
// Writes them back when changed; a failed write is shown as an error and nothing is lost.
void SaveReportDefinitions();
// Replaces the program's definitions (tests).
void SetReportDefinitions(std::unique_ptr<TReportDefinitions> defs);

} // namespace korval
