#include "exchange/report.h"

#include <filesystem>

#include "logbook/bands_modes.h"
#include "logbook/base/string_utils.h"
#include "logbook/config_record.h"
#include "platform/atomic_file.h"

namespace korval {

char StatusChar(int status)
{
    return status >= 0 && status < static_cast<int>(kStatusChars.size()) ? kStatusChars[static_cast<std::size_t>(status)]
                                                                           : kStatusChars[0];
}

int StatusOfCell(std::string_view cell)
{
    if (cell.size() != 1)
        return -1;
    const std::size_t at = kStatusChars.find(cell[0]);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

std::string CountOrDot(long n) { return n == 0 ? std::string(".") : std::to_string(n); }

bool TReport::Browse(int, int, TQsoEntry&) { return false; }

void TReport::NewLine()
{
    Lines.push_back(std::move(Line));
    Line.clear();
}

void TReport::CountLine(const std::string& label, const long (&byStatus)[6])
{
    Line = label;
    long sum = 0;
    for (int s = 1; s <= 5; ++s) {
        AddCell(CountOrDot(byStatus[s]));
        sum += byStatus[s];
    }
    AddCell(CountOrDot(sum));
    NewLine();
}

std::string TReport::SelectedModeBand() const
{
    std::string s = " (";
    s += ModeGroup != 0 ? "Mode = " + ModeGroupName(ModeGroup) : std::string("ALL modes");
    s += Band != 0 ? ", Band = " + BandName(Band) : std::string(", ALL bands");
    s += ')';
    return s;
}

std::string TReport::Cell(int col, int row) const
{
    if (Heading.Columns.empty() || row < 1 || row > RowCount())
        return {};
    return GetTabField(col, Lines[static_cast<std::size_t>(row - 1)]);
}

std::string CsvLine(std::string_view tabLine)
{
    std::string out;
    out.reserve(tabLine.size() + 8);
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = tabLine.find('\t', start);
        const std::string_view cell = tabLine.substr(start, tab == std::string_view::npos ? tabLine.npos : tab - start);
        if (cell.find_first_of(",\"\r\n") == std::string_view::npos) {
            out += cell;
        } else {
            out += '"';
            for (char c : cell) {
                if (c == '"')
                    out += '"';
                out += c;
            }
            out += '"';
        }
        if (tab == std::string_view::npos)
            break;
        out += ',';
        start = tab + 1;
    }
    return out;
}

std::string ReportCsv(const TReport& report)
{
    std::string s = CsvLine(report.Heading.HeadingLine());
    s += "\r\n";
    for (const std::string& line : report.Lines) {
        s += CsvLine(line);
        s += "\r\n";
    }
    return s;
}

void WriteReportFile(const TReport& report, const std::string& fileName)
{
    const std::filesystem::path folder = std::filesystem::path(fileName).parent_path();
    std::error_code ec;
    if (!folder.empty())
        std::filesystem::create_directories(folder, ec);
    WriteFileAtomically(fileName, ReportCsv(report), Config.KeepBackup());
}

} // namespace korval
