#include "logbook/custom_award.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "logbook/base/string_utils.h"
#include "platform/korval_home.h"
#include "platform/message_dlg.h"

namespace korval {

namespace {

std::string Upper(std::string_view s)
{
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return r;
}

// What the file's lines and values lose at their ends.
constexpr std::string_view kLineBlanks = " \t\r\n";

void SetFlags(std::uint8_t* flags, std::size_t count, std::string_view value)
{
    for (std::size_t i = 0; i < count && i < value.size(); ++i) {
        char c = value[i];
        flags[i + 1] = (c == '1' || c == 'Y' || c == 'y') ? 1 : 0;
    }
}

std::unique_ptr<TCustAwardList>& Global()
{
    static std::unique_ptr<TCustAwardList> list = std::make_unique<TCustAwardList>();
    return list;
}

} // namespace

std::string TCustAward::LongValue(std::string_view shortValue) const
{
    std::string key = Upper(shortValue);
    auto it = std::lower_bound(values_.begin(), values_.end(), key,
                               [](const auto& e, const std::string& k) { return e.first < k; });
    return it != values_.end() && it->first == key ? it->second : std::string();
}

bool TCustAward::HasPrefix(std::string_view prefix) const
{
    if (Prefixes.empty())
        return true;
    if (prefix.empty())
        return false;
    std::string needle;
    needle.reserve(prefix.size() + 2);
    needle += ',';
    needle += prefix;
    needle += ',';
    return Prefixes.find(needle) != std::string::npos;
}

std::string TCustAward::AddValue(const std::string& shortValue, const std::string& longValue)
{
    hasValues_ = true;
    std::string key = Upper(shortValue).substr(0, 8);
    auto it = std::lower_bound(values_.begin(), values_.end(), key,
                               [](const auto& e, const std::string& k) { return e.first < k; });
    if (it != values_.end() && it->first == key)
        return "Duplicate key = " + shortValue;
    for (const auto& e : values_)
        if (Upper(e.second) == Upper(longValue))
            return "Duplicate value = " + longValue;
    values_.insert(it, {key, longValue});
    return {};
}

const TCustAward* TCustAwardList::Find(std::string_view id) const
{
    std::string key = Upper(id);
    auto it = std::lower_bound(awards_.begin(), awards_.end(), key,
                               [](const auto& a, const std::string& k) { return Upper(a->ID) < k; });
    return it != awards_.end() && Upper((*it)->ID) == key ? it->get() : nullptr;
}

bool TCustAwardList::Add(std::unique_ptr<TCustAward> award)
{
    std::string key = Upper(award->ID);
    auto it = std::lower_bound(awards_.begin(), awards_.end(), key,
                               [](const auto& a, const std::string& k) { return Upper(a->ID) < k; });
    if (it != awards_.end() && Upper((*it)->ID) == key) {
        MessageDlg("Duplicate award = " + award->ID, TMsgDlgType::mtError, mbOK);
        return false;
    }
    awards_.insert(it, std::move(award));
    return true;
}

std::unique_ptr<TCustAwardList> TCustAwardList::LoadFromText(std::string_view text, const std::string& fileName)
{
    auto list = std::make_unique<TCustAwardList>();
    std::unique_ptr<TCustAward> award;
    std::vector<std::string> faults;
    int lineNo = 0;
    while (!text.empty()) {
        std::size_t eol = text.find('\n');
        std::string_view raw = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        ++lineNo;
        std::string_view line = Trim(raw, kLineBlanks);
        if (line.empty())
            continue;
        if (line.size() >= 3 && line.front() == '[' && line.back() == ']') {
            if (award)
                list->Add(std::move(award));
            std::string_view name = line.substr(1, line.size() - 2);
            award = std::make_unique<TCustAward>();
            award->ID = std::string(name.substr(0, 4));
            award->LongName = std::string(name.substr(0, 20));
            continue;
        }
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            continue;
        // Keys and values are taken without the blanks around them.
        std::string key(Trim(line.substr(0, eq), kLineBlanks));
        std::string value(Trim(line.substr(eq + 1), kLineBlanks));
        std::string fault;
        if (!award)
            fault = "No award defined";
        else if (key == "awdname")
            award->LongName = value.substr(0, 20);
        else if (key == "prefix")
            award->Prefixes = "," + value + ",";
        else if (key == "modes")
            SetFlags(award->Modes.data(), 3, value);
        else if (key == "bands")
            SetFlags(award->Bands.data(), 15, value);
        else if (key == "pictmsk")
            award->PictureMask = value.substr(0, 8);
        else if (key.empty())
            fault = "Bad key value = " + key;
        else if (value.empty())
            fault = "Bad value pair: " + value;
        else
            fault = award->AddValue(key, value);
        if (!fault.empty())
            faults.push_back(fileName + ", line " + std::to_string(lineNo) + ": " + fault + "\r" + std::string(line));
    }
    if (award)
        list->Add(std::move(award));
    if (!faults.empty()) {
        std::string msg = "Lines skipped in the custom award file:";
        for (const auto& f : faults)
            msg += "\r" + f;
        MessageDlg(msg, TMsgDlgType::mtError, mbOK);
    }
    return list;
}

std::unique_ptr<TCustAwardList> TCustAwardList::LoadFromFile(const std::string& fileName)
{
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        return std::make_unique<TCustAwardList>();
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return LoadFromText(text, fileName);
}

TCustAwardList& CustAwardList() { return *Global(); }

void SetCustAwardList(std::unique_ptr<TCustAwardList> list)
{
    Global() = list ? std::move(list) : std::make_unique<TCustAwardList>();
}

void LoadCustAwards()
{
    std::string file = FindFileNoCase(FindFileNoCase(KorvalHome(), "SAVE"), "KORVAL.AWD");
    SetCustAwardList(TCustAwardList::LoadFromFile(file));
}

std::string LongAwdName(std::string_view id)
{
    if (id.empty())
        return {};
    const TCustAward* a = CustAwardList().Find(id);
    return a ? a->LongName : std::string();
}

std::string LongAwdVal(std::string_view id, std::string_view value)
{
    if (id.empty())
        return {};
    const TCustAward* a = CustAwardList().Find(id);
    if (!a)
        return {};
    return a->HasValueTable() ? a->LongValue(value) : std::string(value);
}

} // namespace korval
