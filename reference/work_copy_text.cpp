#include "reference/work_copy_text.h"

#include <algorithm>
#include <cmath>

#include "logbook/base/decimal_text.h"
#include "logbook/base/string_utils.h"

namespace korval {

namespace {

// Calls fn for each line of the text without its line end; blank lines are left out.
template <typename Fn>
void ForEachLine(std::string_view text, Fn fn)
{
    std::size_t at = 0;
    while (at < text.size()) {
        const auto nl = text.find('\n', at);
        std::string_view line = text.substr(at, nl == std::string_view::npos ? std::string_view::npos : nl - at);
        at = nl == std::string_view::npos ? text.size() : nl + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!TrimSpaces(line).empty())
            fn(line);
    }
}

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

bool ParseNumber(const std::string& field, double low, double high, double& value)
{
    if (field.empty())
        return false;
    return ParseDecimal(field, value) && std::isfinite(value) && value >= low && value <= high;
}

// Inserts or replaces by key in a work copy kept in key order.
template <typename Entry, typename Key, typename Same>
void Merge(std::vector<Entry>& work, Entry e, Key key, Same same, TImportSummary& s)
{
    auto it = std::lower_bound(work.begin(), work.end(), key(e),
                               [&](const Entry& x, const std::string& k) { return key(x) < k; });
    if (it == work.end() || key(*it) != key(e)) {
        work.insert(it, std::move(e));
        ++s.Added;
    } else if (same(*it, e)) {
        ++s.Skipped;
    } else {
        *it = std::move(e);
        ++s.Replaced;
    }
}

// A key cut to its field width loses the spaces the cut leaves at its end, or it would not read
// back as itself: the next import trims every field and lands on a different entry.
std::string KeyField(const std::string& field, std::size_t width)
{
    return TrimSpaces(UpperAscii(field).substr(0, width));
}

template <typename Entry>
void DeleteFirst(std::vector<Entry>& work, bool deleteFirst, TImportSummary& s)
{
    if (!deleteFirst)
        return;
    s.Deleted = static_cast<int>(work.size());
    work.clear();
}

} // namespace

std::vector<std::string> SplitQuotedFields(std::string_view line)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    for (std::string& f : fields)
        f = TrimSpaces(f);
    return fields;
}

std::string ExportIota(const std::vector<TIotaEntry>& entries)
{
    std::string out;
    for (const TIotaEntry& e : entries) {
        out += e.Reference + "," + Quoted(e.Name) + "," + PadLeft(FormatFixed(e.Latitude, 3), 6) + "," +
               PadLeft(FormatFixed(e.Longitude, 3), 6) + "\r\n";
    }
    return out;
}

TImportSummary ImportIota(std::vector<TIotaEntry>& work, std::string_view text, bool deleteFirst)
{
    TImportSummary s;
    DeleteFirst(work, deleteFirst, s);
    ForEachLine(text, [&](std::string_view line) {
        const std::vector<std::string> f = SplitQuotedFields(line);
        TIotaEntry e;
        if (f.size() < 4 || f[0].empty() || !ParseNumber(f[2], -90, 90, e.Latitude) ||
            !ParseNumber(f[3], -180, 180, e.Longitude)) {
            ++s.Errors;
            return;
        }
        e.Reference = KeyField(f[0], 5);
        e.Name = f[1].substr(0, 51);
        // An unchanged entry counts as replaced: the IOTA summary has no skipped line.
        Merge(work, std::move(e), [](const TIotaEntry& x) { return x.Reference; },
              [](const TIotaEntry&, const TIotaEntry&) { return false; }, s);
    });
    return s;
}

std::string ExportAddresses(const std::vector<TAddressEntry>& entries)
{
    std::string out;
    for (const TAddressEntry& e : entries) {
        out += Quoted(e.Call);
        std::size_t at = 0;
        while (at <= e.Text.size() && !e.Text.empty()) {
            const auto sep = e.Text.find(AddressLineSeparator, at);
            out += "," + Quoted(e.Text.substr(at, sep == std::string::npos ? std::string::npos : sep - at));
            if (sep == std::string::npos)
                break;
            at = sep + 1;
        }
        out += "\r\n";
    }
    return out;
}

TImportSummary ImportAddresses(std::vector<TAddressEntry>& work, std::string_view text, bool deleteFirst)
{
    TImportSummary s;
    DeleteFirst(work, deleteFirst, s);
    ForEachLine(text, [&](std::string_view line) {
        const std::vector<std::string> f = SplitQuotedFields(line);
        TAddressEntry e;
        e.Call = KeyField(f[0], 12);
        if (e.Call.empty()) {
            ++s.Errors;
            return;
        }
        // A call without any address line brings nothing to store.
        if (f.size() < 2 || std::all_of(f.begin() + 1, f.end(), [](const std::string& x) { return x.empty(); })) {
            ++s.Skipped;
            return;
        }
        for (std::size_t i = 1; i < f.size(); ++i) {
            if (i > 1)
                e.Text += AddressLineSeparator;
            e.Text += f[i];
        }
        e.Text = e.Text.substr(0, AddressTextMax);
        Merge(work, std::move(e), [](const TAddressEntry& x) { return x.Call; },
              [](const TAddressEntry&, const TAddressEntry&) { return false; }, s);
    });
    return s;
}

} // namespace korval
