#include "globe/globe_profile.h"

#include "logbook/base/string_utils.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace korval {

namespace {
bool SameNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}
} // namespace

TGlobeProfile::TGlobeProfile(std::string fileName) : fileName_(std::move(fileName))
{
    std::ifstream in(fileName_, std::ios::binary);
    if (!in)
        return;
    std::string text((std::istreambuf_iterator<char>(in)), {});
    std::size_t pos = 0;
    Section* current = nullptr;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string_view line = Trim(std::string_view(text).substr(pos, end - pos), kWhitespace);
        pos = end + 1;
        if (line.empty() || line[0] == ';')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            std::string_view name = Trim(line.substr(1, line.size() - 2), kWhitespace);
            current = nullptr;
            for (Section& s : sections_)
                if (SameNoCase(s.name, name))
                    current = &s;
            if (!current) {
                sections_.push_back({std::string(name), {}});
                current = &sections_.back();
            }
            continue;
        }
        std::size_t eq = line.find('=');
        if (!current || eq == std::string_view::npos)
            continue;
        std::string_view key = Trim(line.substr(0, eq), kWhitespace);
        std::string_view value = Trim(line.substr(eq + 1), kWhitespace);
        bool found = false;
        for (Key& k : current->keys)
            if (SameNoCase(k.name, key)) {
                k.value = value;
                found = true;
            }
        if (!found)
            current->keys.push_back({std::string(key), std::string(value)});
    }
}

const TGlobeProfile::Key* TGlobeProfile::Find(std::string_view section, std::string_view key) const
{
    for (const Section& s : sections_)
        if (SameNoCase(s.name, section))
            for (const Key& k : s.keys)
                if (SameNoCase(k.name, key))
                    return &k;
    return nullptr;
}

bool TGlobeProfile::HasKey(std::string_view section, std::string_view key) const { return Find(section, key); }

std::string TGlobeProfile::ReadString(std::string_view section, std::string_view key, std::string_view def) const
{
    const Key* k = Find(section, key);
    return std::string(k ? std::string_view(k->value) : def);
}

std::int32_t TGlobeProfile::ReadInteger(std::string_view section, std::string_view key, std::int32_t def) const
{
    const Key* k = Find(section, key);
    if (!k || k->value.empty())
        return def;
    char* end = nullptr;
    long v = std::strtol(k->value.c_str(), &end, 10);
    return (end && *end == 0) ? static_cast<std::int32_t>(v) : def;
}

bool TGlobeProfile::ReadBool(std::string_view section, std::string_view key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TGlobeProfile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    Section* sec = nullptr;
    for (Section& s : sections_)
        if (SameNoCase(s.name, section))
            sec = &s;
    if (!sec) {
        sections_.push_back({std::string(section), {}});
        sec = &sections_.back();
    }
    for (Key& k : sec->keys)
        if (SameNoCase(k.name, key)) {
            k.value = value;
            return;
        }
    sec->keys.push_back({std::string(key), std::string(value)});
}

void TGlobeProfile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value)
{
    WriteString(section, key, std::to_string(value));
}

void TGlobeProfile::WriteBool(std::string_view section, std::string_view key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

void TGlobeProfile::EraseSection(std::string_view section)
{
    for (auto it = sections_.begin(); it != sections_.end(); ++it)
        if (SameNoCase(it->name, section)) {
            sections_.erase(it);
            return;
        }
}

std::string TGlobeProfile::Text() const
{
    std::string out;
    for (const Section& s : sections_) {
        out += "[" + s.name + "]\r\n";
        for (const Key& k : s.keys)
            out += k.name + "=" + k.value + "\r\n";
        out += "\r\n";
    }
    return out;
}

bool TGlobeProfile::Save() const
{
    std::string tmp = fileName_ + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << Text();
        out.flush();
        if (!out) {
            std::remove(tmp.c_str());
            return false;
        }
    }
    if (std::rename(tmp.c_str(), fileName_.c_str()) != 0) {
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

} // namespace korval
