#include "exchange/fprint.h"

#include <algorithm>
#include <cstdlib>

namespace korval {

void TFprint::AddColumn(std::string_view title, int width, std::uint8_t align)
{
    if (Columns.size() >= kMaxColumns)
        return;
    TFprintColumn c;
    c.Title = std::string(title.substr(0, kColumnTitleCap));
    c.Width = std::max(std::abs(width), static_cast<int>(c.Title.size()));
    c.Align = align;
    Columns.push_back(std::move(c));
}

void TFprint::SetHeading(std::string_view title, const std::vector<std::string>& titles, const std::vector<int>& widths)
{
    Title = std::string(title.substr(0, kTitleCap));
    Columns.clear();
    for (std::size_t i = 0; i < titles.size() && i < widths.size(); ++i)
        AddColumn(titles[i], widths[i], widths[i] < 0 ? faRight : faLeft);
}

void TFprint::Clear()
{
    Title.clear();
    Columns.clear();
}

std::string TFprint::HeadingLine() const
{
    std::string s;
    for (std::size_t i = 0; i < Columns.size(); ++i) {
        if (i)
            s += '\t';
        s += Columns[i].Title;
    }
    return s;
}

void TFprint::GetLine(int index, std::string& s) const
{
    s.clear();
    if (Rows && index >= 0 && index < RowCount())
        s = (*Rows)[static_cast<std::size_t>(index)];
    CompleteCells(s, ColumnCount());
}

void CompleteCells(std::string& s, int columns)
{
    const int have = static_cast<int>(std::count(s.begin(), s.end(), '\t'));
    if (have < columns - 1)
        s.append(static_cast<std::size_t>(columns - 1 - have), '\t');
}

} // namespace korval
