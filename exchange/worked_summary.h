#pragma once
// The worked-status summary of one award entity for the call being entered: the country, CQ
// zone, US state, IOTA reference, grid square or WPX prefix, as a grid of bands by mode groups
// with one status character per cell.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "logbook/award_status.h"

namespace korval {

class TQsoData;

// Kinds of summary; the numbers are the QSO window's child-window slots.
enum TSummaryKind : int { skwCountry = 0, skwZone = 1, skwState = 2, skwIota = 3, skwGrid = 8, skwWpx = 11 };

// The QSO window's fields the summary reads.
struct TSummaryEntry {
    std::string Call, Prefix, Zone, State, Iota, Grid;
    int Band = 0;  // the entry's band and mode (for the highlighted cell)
    int Mode = 0;
};

// The character of a status: middle dot (183) not worked, "W" worked, "M" QSL sent, "C"
// confirmed; above 3 counts as confirmed.
char SummaryStatusChar(int status);

class TWorkedSummary {
public:
    explicit TWorkedSummary(int kind);
    int Kind() const { return kind_; }

    // Band columns and mode-group rows from the station's bands and modes and the award
    // settings of the kind; every cell not worked.
    void SetupGrid();
    const std::vector<int>& Bands() const { return bands_; }
    const std::vector<int>& Groups() const { return groups_; }

    // Caption and cells for the entry; log gives the zone, state, IOTA and grid status.
    void UpdateForQso(const TSummaryEntry& entry, TQsoData& log);
    // The WPX case: the prefix of call.
    void UpdateWPX(std::string_view call);
    const std::string& Caption() const { return caption_; }

    // The grid's texts: row 0 the band names (column 0 empty), column 0 the group names.
    std::string CellText(int col, int row) const;
    int RowCount() const { return groups_.empty() ? 1 : static_cast<int>(groups_.size()) + 1; }
    int ColCount() const { return static_cast<int>(bands_.size()) + 1; }
    // The grid cell of the entry's band and mode group; false when either is not shown.
    bool HighlightCell(int band, int mode, int& col, int& row) const;

private:
    void Fill(const TAwardStatusBlock* block);
    int kind_;
    std::vector<int> bands_;
    std::vector<int> groups_;
    std::vector<char> cells_;  // row-major, groups x bands
    std::string caption_;
};

} // namespace korval
