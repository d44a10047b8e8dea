#include "exchange/filter_editor.h"

#include "logbook/base/day_number.h"
#include "logbook/base/string_utils.h"

#include <fstream>

namespace korval {

int ShownFormat(const TFilterRecord& r, int field)
{
    const TFilterFieldInfo& info = FilterFieldInfo(field);
    return info.Kind == fkPlain ? info.DefaultNotation : r.Field(field).Fmt;
}

void SetFieldFormat(TFilterRecord& r, int field, int format)
{
    TFieldEntry& e = r.Field(field);
    e.Fmt = static_cast<std::uint8_t>(format);
    TFieldLength rule = FieldLengthRule(field, format);
    if (!rule.Editable)
        e.Len = static_cast<std::uint8_t>(rule.Length);
}

void StoreField(TFilterRecord& r, int field, int pos, int format, int len)
{
    TFieldEntry& e = r.Field(field);
    e.Pos = static_cast<std::uint8_t>(pos < 0 ? 0 : pos > 255 ? 255 : pos);
    if (FilterFieldInfo(field).Kind != fkPlain)
        SetFieldFormat(r, field, format < 0 ? 0 : format);
    if (FieldLengthRule(field, e.Fmt).Editable)
        e.Len = static_cast<std::uint8_t>(len < 0 ? 0 : len > 255 ? 255 : len);
}

std::vector<std::string> AllocationLines(const TFilterRecord& r)
{
    std::vector<std::string> lines;
    lines.reserve(255);
    for (int col = 1; col <= 255; ++col) {
        std::string line = PadLeft(std::to_string(col), 3) + " ";
        bool first = true;
        for (int f = 0; f < FilterFieldCount; ++f) {
            const TFieldEntry& e = r.Field(f);
            if (e.Pos == 0)
                continue;
            int len = e.Len == 0 ? 1 : e.Len;
            if (col >= e.Pos && col < e.Pos + len) {
                if (!first)
                    line += " Also ";
                line += FilterFieldName(f);
                first = false;
            }
        }
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> FilterPrintLines(const TFilterRecord& r)
{
    auto yn = [](bool b) { return std::string(b ? "Y" : "N"); };
    std::string modified;
    if (r.Modified > 0) {
        try {
            TDayNumber d = StDateToDayNumber(r.Modified);
            int y, m, dd;
            DecodeDayNumber(d, y, m, dd);
            modified = ZeroPadNumber(static_cast<std::uint32_t>(y), 4) + "/" + ZeroPadNumber(static_cast<std::uint32_t>(m), 2) +
                       "/" + ZeroPadNumber(static_cast<std::uint32_t>(dd), 2);
        } catch (const std::exception&) {
        }
    }
    static const char* usages[] = {"Import", "Imp/Exp", "Binary Imp"};
    std::vector<std::string> lines = {
        "Description\t" + r.Description,
        "Ext\t" + r.Ext,
        "Reclen\t" + std::to_string(r.RecLen),
        "Id\t" + r.Id,
        "Usage\t" + std::string(r.Usage <= 2 ? usages[r.Usage] : "?"),
        "Datechar\t" + std::string(1, r.DateChar ? r.DateChar : ' '),
        "Modified\t" + modified,
        "Filter_freq\t" + yn(r.FilterFreq),
        "Filter_import\t" + yn(r.FilterImport),
        "Filter_dupes\t" + yn(r.FilterDupes),
    };
    for (int f = 0; f < FilterFieldCount; ++f) {
        const TFieldEntry& e = r.Field(f);
        if (e.Pos == 0)
            continue;
        std::vector<std::string> formats = FieldFormats(f);
        int fmt = ShownFormat(r, f);
        std::string name = fmt >= 0 && fmt < static_cast<int>(formats.size()) ? formats[static_cast<std::size_t>(fmt)] : "?";
        lines.push_back(std::string(FilterFieldName(f)) + "\t" + name + "\t" + std::to_string(e.Pos) + "\t" +
                        std::to_string(e.Len));
    }
    return lines;
}

std::string FilterSaveError(const TFilterRecord& r, const TFilterList& list, int index)
{
    if (r.Id.empty())
        return "The filter needs an ID";
    if (!IsValidFilterId(r.Id))
        return "A filter ID may hold only the letters A to Z, digits, \"_\", \"-\" and \"&\"";
    int other = list.IndexOf(r.Id);
    if (other >= 0 && other != index)
        return "A filter with the ID " + r.Id + " exists already";
    return {};
}

std::vector<std::string> SampleLines(const std::string& path, int maxLines)
{
    std::vector<std::string> lines;
    std::ifstream f(path, std::ios::binary);
    std::string line;
    while (static_cast<int>(lines.size()) < maxLines && std::getline(f, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

} // namespace korval
