#pragma once
// TReport: the engine of a report window: the heading (title and columns), the lines, each a row
// of TAB-separated cells, the band and mode-group choice, and what a double-click on a cell does
// in the QSO window's search. Descendants compute the lines (MakeReport); the window shows,
// writes and browses them. No Qt: the QSO window's search is reached through its entry engine.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/fprint.h"

namespace korval {

class TQsoData;
class TQsoEntry;

// One character per award status: not worked (the middle dot of the program's character set),
// worked, QSL sent, confirmed, submitted, checked.
inline constexpr std::string_view kStatusChars = "\xB7WMCS*";
char StatusChar(int status);
// The status a cell's text shows; -1 for a text that is not one status character.
int StatusOfCell(std::string_view cell);
// "." for 0, else the number.
std::string CountOrDot(long n);

class TReport {
public:
    explicit TReport(TQsoData* log) : log_(log) {}
    virtual ~TReport() = default;
    TReport(const TReport&) = delete;
    TReport& operator=(const TReport&) = delete;

    // Computes the heading and every line; runs once, when the window is first shown.
    virtual void MakeReport() = 0;
    // A double-click on data row `row` (from 1), column `col` (from 0): leads the QSO window's
    // search to the QSOs behind the cell. True when a search ran.
    virtual bool Browse(int col, int row, TQsoEntry& entry);
    // The report answers double-clicks (listings and per-entity reports); the others ignore them.
    virtual bool Browses() const { return false; }
    // Per-entity reports select whole rows in the grid.
    virtual bool RowSelect() const { return false; }
    virtual std::string Hint() const { return "(popup)"; }
    // Big reports rebuild the logbook's award status with their own cut-off dates.
    virtual bool UsesAwardStatus() const { return false; }

    TFprint Heading;
    std::vector<std::string> Lines;
    std::string Line;  // the line under construction
    int ModeGroup = 0; // 0 all, 1 phone, 2 CW, 3 digital
    int Band = 0;      // 0 all, 1..15
    std::string WpxCondition;
    bool NumberEveryTenth = false;

    TQsoData* Log() const { return log_; }
    // The report set award flags of QSOs (the log is then marked modified).
    bool ChangedAwardFlags() const { return changedFlags_; }

    // Appends the line under construction to the lines and empties it.
    void NewLine();
    // Appends TAB and text to the line under construction.
    void AddCell(std::string_view text)
    {
        Line += '\t';
        Line += text;
    }
    // " (Mode = CW, ALL bands)" and the like: the end of listing and summary titles.
    std::string SelectedModeBand() const;
    // The text of data row `row` (from 1) and column `col` (from 0); empty without a heading.
    std::string Cell(int col, int row) const;
    int RowCount() const { return static_cast<int>(Lines.size()); }

protected:
    // A summary line: the label, the counts of statuses 1 to 5 and their sum, "." for 0.
    void CountLine(const std::string& label, const long (&byStatus)[6]);

    TQsoData* log_;
    bool changedFlags_ = false;
};

// The report's file: the column titles joined by commas, then each line, every TAB-separated
// field as one comma-separated field (RFC 4180: a field holding a comma, a double quote or a line
// break is quoted and its quotes doubled). Lines end in CR LF.
std::string CsvLine(std::string_view tabLine);
std::string ReportCsv(const TReport& report);
// Writes the report's file atomically (the folders of the name are made, the keep-backup copy as
// configured). Throws EFileWriteError when it cannot.
void WriteReportFile(const TReport& report, const std::string& fileName);

} // namespace korval
