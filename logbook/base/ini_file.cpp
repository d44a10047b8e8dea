#include "logbook/base/ini_file.h"
#include "logbook/base/string_utils.h"

#include "platform/atomic_file.h"
#include "platform/message_dlg.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace korval {

namespace {

unsigned Fold(unsigned char c)
{
    unsigned u = c;
    return u - 'a' < 26u ? u - 32u : u;
}

int CompareText(std::string_view a, std::string_view b)
{
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned x = Fold(static_cast<unsigned char>(a[i]));
        unsigned y = Fold(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool SameText(std::string_view a, std::string_view b) { return a.size() == b.size() && CompareText(a, b) == 0; }

std::string_view Cut(std::string_view value) { return value.substr(0, TIniFile::MaxValueLength); }

// Decimal, or hexadecimal after "$" or "0x"; an optional sign; nothing else around it but
// leading blanks.
bool ParseInt(std::string_view s, std::int32_t& out)
{
    s = TrimLeft(s, kBlanksAndTabs);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s.front() == '$') {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty())
        return false;
    std::int64_t v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (ec != std::errc() || end != s.data() + s.size())
        return false;
    if (negative)
        v = -v;
    // Hexadecimal texts may spell the full 32-bit pattern of a negative number.
    if (base == 16 && v > INT32_MAX && v <= static_cast<std::int64_t>(UINT32_MAX))
        v = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    if (v < INT32_MIN || v > INT32_MAX)
        return false;
    out = static_cast<std::int32_t>(v);
    return true;
}

} // namespace

TIniFile::TIniFile(std::string fileName, bool readExisting) : fileName_(std::move(fileName))
{
    if (!readExisting)
        return;
    std::ifstream in(fileName_, std::ios::binary);
    if (in)
        Parse(std::string(std::istreambuf_iterator<char>(in), {}));
}

TIniFile::~TIniFile()
{
    if (!modified_)
        return;
    try {
        UpdateFile();
    } catch (const std::exception& e) {
        MessageDlg(e.what(), TMsgDlgType::mtError, mbOK);
    }
}

void TIniFile::Parse(std::string_view text)
{
    // Collected in file order; a repeated section continues the first, a repeated key keeps its
    // first place and its last value. Sorted afterwards.
    std::vector<Section> parsed;
    Section* current = nullptr;
    while (!text.empty()) {
        std::size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            continue;
        std::string_view trimmed = Trim(line, kBlanksAndTabs);
        if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
            std::string_view name = trimmed.substr(1, trimmed.size() - 2);
            current = nullptr;
            for (auto& s : parsed)
                if (SameText(s.name, name))
                    current = &s;
            if (!current) {
                parsed.push_back(Section{std::string(name), {}});
                current = &parsed.back();
            }
            continue;
        }
        if (!current)
            continue;  // lines before the first section
        std::size_t eq = line.find('=');
        std::string_view key = line.substr(0, eq);
        std::string_view value = eq == std::string_view::npos ? std::string_view() : Cut(line.substr(eq + 1));
        auto it = std::find_if(current->keys.begin(), current->keys.end(),
                               [&](const Key& k) { return SameText(k.name, key); });
        if (it != current->keys.end())
            it->value = value;
        else
            current->keys.push_back(Key{std::string(key), std::string(value)});
    }
    std::stable_sort(parsed.begin(), parsed.end(),
                     [](const Section& a, const Section& b) { return CompareText(a.name, b.name) < 0; });
    sections_ = std::move(parsed);
}

std::size_t TIniFile::FindSection(std::string_view name, bool& found) const
{
    auto it = std::lower_bound(sections_.begin(), sections_.end(), name,
                               [](const Section& s, std::string_view n) { return CompareText(s.name, n) < 0; });
    found = it != sections_.end() && CompareText(it->name, name) == 0;
    return static_cast<std::size_t>(it - sections_.begin());
}

TIniFile::Section& TIniFile::AddSection(std::string_view name)
{
    bool found;
    std::size_t at = FindSection(name, found);
    if (!found) {
        sections_.insert(sections_.begin() + static_cast<std::ptrdiff_t>(at), Section{std::string(name), {}});
        modified_ = true;
    }
    return sections_[at];
}

const TIniFile::Key* TIniFile::FindKey(std::string_view section, std::string_view key) const
{
    bool found;
    std::size_t at = FindSection(section, found);
    if (!found)
        return nullptr;
    for (const Key& k : sections_[at].keys)
        if (SameText(k.name, key))
            return &k;
    return nullptr;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const
{
    const Key* k = FindKey(section, key);
    return std::string(k ? std::string_view(k->value) : def);
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    value = Cut(value);
    Section& s = AddSection(section);
    for (Key& k : s.keys) {
        if (SameText(k.name, key)) {
            if (k.value != value) {
                k.value = value;
                modified_ = true;
            }
            return;
        }
    }
    s.keys.push_back(Key{std::string(key), std::string(value)});
    modified_ = true;
}

std::int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key, std::int32_t def) const
{
    const Key* k = FindKey(section, key);
    std::int32_t v;
    return k && ParseInt(k->value, v) ? v : def;
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value)
{
    WriteString(section, key, std::to_string(value));
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

double TIniFile::ReadFloat(std::string_view section, std::string_view key, double def) const
{
    const Key* k = FindKey(section, key);
    if (!k)
        return def;
    std::string_view s = Trim(k->value, kBlanksAndTabs);
    if (s.empty())
        return def;
    bool negative = false;
    if (s.front() == '+' || s.front() == '-') {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    double v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size())
        return def;
    return negative ? -v : v;
}

void TIniFile::WriteFloat(std::string_view section, std::string_view key, double value)
{
    // Sign place (blank or '-'), 15 significant digits, a signed four-digit exponent.
    std::string text;
    if (std::isnan(value)) {
        text = " Nan";
    } else if (std::isinf(value)) {
        text = value < 0 ? "-Inf" : " +Inf";
    } else {
        char buf[64];
        auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
        char* e = std::find(buf, r.ptr, 'e');
        int exponent = 0;
        if (e != r.ptr)
            std::from_chars(e + 1 + (e[1] == '+'), r.ptr, exponent);
        char exp[16];
        std::snprintf(exp, sizeof exp, "E%c%04d", exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent);
        text.reserve(32);
        text += std::signbit(value) ? '-' : ' ';
        text.append(buf, e);
        text += exp;
    }
    WriteString(section, key, text);
}

bool TIniFile::SectionExists(std::string_view section) const
{
    bool found;
    FindSection(section, found);
    return found;
}

std::vector<std::string> TIniFile::SectionNames() const
{
    std::vector<std::string> names;
    for (const auto& s : sections_)
        names.push_back(s.name);
    return names;
}

std::vector<std::string> TIniFile::KeyNames(std::string_view section) const
{
    std::vector<std::string> names;
    bool found;
    std::size_t at = FindSection(section, found);
    if (found)
        for (const auto& k : sections_[at].keys)
            names.push_back(k.name);
    return names;
}

std::string TIniFile::Text() const
{
    std::string out;
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        if (i > 0)
            out += "\r\n";
        out += '[';
        out += sections_[i].name;
        out += "]\r\n";
        for (const Key& k : sections_[i].keys) {
            out += k.name;
            out += '=';
            out += k.value;
            out += "\r\n";
        }
    }
    return out;
}

void TIniFile::UpdateFile()
{
    if (!modified_)
        return;
    WriteFileAtomically(fileName_, Text());
    modified_ = false;
}

void TIniFile::UpdateFile(std::unique_ptr<AtomicFile> file)
{
    file->write(Text());
    file->commit();
    modified_ = false;
}

} // namespace korval
