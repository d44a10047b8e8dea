#include "reference/qsl_manager_text.h"

#include "logbook/base/string_utils.h"

#include <algorithm>
#include <cstdio>

namespace korval {
namespace {

std::string Upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// A call cut to its 12 places, trimmed again after the cut so that an export reads back as the
// same station.
std::string CallField(std::string_view field)
{
    const std::string cut = Upper(std::string(Trim(field, kBlanksAndTabs))).substr(0, 12);
    return std::string(Trim(cut, kBlanksAndTabs));
}

bool Digits(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "dd/mm/yyyy" at its fixed positions, checked before it is taken.
bool ParseDate(const std::string& field, TDayNumber& day)
{
    if (field.size() != 10 || !Digits(field.substr(0, 2)) || !Digits(field.substr(3, 2)) ||
        !Digits(field.substr(6, 4)))
        return false;
    return TryEncodeDayNumber(std::stoi(field.substr(6, 4)), std::stoi(field.substr(3, 2)),
                              std::stoi(field.substr(0, 2)), day) && day != NoDate;
}

} // namespace

std::string TImportSummary::Text(bool withSkipped) const
{
    std::string t = "Deleted : " + std::to_string(Deleted) + "\rAdded   : " + std::to_string(Added) +
                    "\rReplaced: " + std::to_string(Replaced);
    if (withSkipped)
        t += "\rSkipped : " + std::to_string(Skipped);
    return t + "\rErrors  : " + std::to_string(Errors);
}

std::string ExportQslManagers(const std::vector<TQslMgrEntry>& entries)
{
    std::string out;
    for (const TQslMgrEntry& e : entries) {
        std::string date;
        if (e.Date != NoDate) {
            int y, m, d;
            DecodeDayNumber(e.Date, y, m, d);
            char buf[16];
            std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", d, m, y);
            date = buf;
        }
        out += e.Station + "," + date + "," + e.Manager + "\r\n";
    }
    return out;
}

TImportSummary ImportQslManagers(std::vector<TQslMgrEntry>& work, std::string_view text, bool deleteFirst)
{
    TImportSummary s;
    if (deleteFirst) {
        s.Deleted = static_cast<int>(work.size());
        work.clear();
    }
    auto byStation = [](const TQslMgrEntry& e, const std::string& key) { return e.Station < key; };
    std::size_t at = 0;
    while (at < text.size()) {
        auto nl = text.find('\n', at);
        std::string_view line = text.substr(at, nl == std::string_view::npos ? std::string_view::npos : nl - at);
        at = nl == std::string_view::npos ? text.size() : nl + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (Trim(line, kBlanksAndTabs).empty())
            continue;
        const auto c1 = line.find(',');
        const auto c2 = c1 == std::string_view::npos ? c1 : line.find(',', c1 + 1);
        if (c2 == std::string_view::npos) {
            ++s.Errors;
            continue;
        }
        TQslMgrEntry e;
        e.Station = CallField(line.substr(0, c1));
        e.Manager = CallField(line.substr(c2 + 1));
        const std::string date(Trim(line.substr(c1 + 1, c2 - c1 - 1), kBlanksAndTabs));
        if (e.Station.empty() || (!date.empty() && !ParseDate(date, e.Date))) {
            ++s.Errors;
            continue;
        }
        auto it = std::lower_bound(work.begin(), work.end(), e.Station, byStation);
        // A station with managers from several dates: the line's own date picks its entry, so
        // reading back an export leaves every dated entry as it was.
        for (auto same = it; same != work.end() && same->Station == e.Station; ++same)
            if (same->Date == e.Date) {
                it = same;
                break;
            }
        if (it == work.end() || it->Station != e.Station) {
            work.insert(it, std::move(e));
            ++s.Added;
        } else if (it->Manager != e.Manager) {
            it->Manager = e.Manager;
            ++s.Replaced;
        } else {
            ++s.Skipped;
        }
    }
    return s;
}

} // namespace korval
