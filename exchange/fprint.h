#pragma once
// TFprint: the column layout of a listing: a title and up to 51 columns, each with a title, a
// width in characters and an alignment, and the rows the listing printer prints under it. The
// report windows take their grid heading and the first line of their files from it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korval {

enum TFprintAlign : std::uint8_t { faLeft = 1, faRight = 2, faCenter = 3 };

struct TFprintColumn {
    std::string Title;  // at most 20 characters
    int Width = 0;      // characters, at least the title's length
    std::uint8_t Align = faLeft;
};

class TFprint {
public:
    virtual ~TFprint() = default;
    TFprint() = default;
    TFprint(const TFprint&) = default;
    TFprint& operator=(const TFprint&) = default;

    static constexpr std::size_t kMaxColumns = 51;
    static constexpr std::size_t kTitleCap = 80;
    static constexpr std::size_t kColumnTitleCap = 20;

    std::string Title;
    std::vector<TFprintColumn> Columns;
    // Appends a column: the title cut to 20, the width the larger of |width| and the title's
    // length. A column beyond the 51st is not added.
    void AddColumn(std::string_view title, int width, std::uint8_t align);
    // Replaces title and columns; a negative width makes its column right-aligned.
    void SetHeading(std::string_view title, const std::vector<std::string>& titles, const std::vector<int>& widths);
    void Clear();
    int ColumnCount() const { return static_cast<int>(Columns.size()); }
    // The column titles joined by TAB characters.
    std::string HeadingLine() const;

    // The rows printed under the heading: TAB-separated cells (none when not set).
    const std::vector<std::string>* Rows = nullptr;
    virtual int RowCount() const { return Rows ? static_cast<int>(Rows->size()) : 0; }
    // Row index (from 0) completed with TABs to one cell per column; an empty row is count - 1
    // TABs. A row with more cells than columns keeps them.
    virtual void GetLine(int index, std::string& s) const;
};

// Appends TABs until the line has `columns` cells.
void CompleteCells(std::string& s, int columns);

} // namespace korval
