#pragma once
// TFprint: the column layout of a listing: a title and up to 51 columns, each with a title, a
// width in characters and an alignment. The report windows take their grid heading and the
// first line of their files from it.
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
};

} // namespace korval
