#include "logbook/note_editing.h"

#include "logbook/base/record_bytes.h"
#include "logbook/country_db.h"

namespace korval {

std::vector<std::string> SplitNoteLines(std::string_view text)
{
    std::vector<std::string> lines;
    for (;;) {
        const std::size_t bar = text.find('|');
        lines.emplace_back(text.substr(0, bar));
        if (bar == std::string_view::npos)
            return lines;
        text.remove_prefix(bar + 1);
    }
}

std::string JoinNoteLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& l : lines)
        text += l + "|";
    if (!text.empty())
        text.pop_back();
    return text;
}

namespace {

std::vector<std::uint8_t> AddressKey(std::string_view call)
{
    std::vector<std::uint8_t> key(ManagerAddressKeyLen, 0);
    PutShortStr(key.data(), 0, CallCap, call.substr(0, CallCap));
    return key;
}

} // namespace

std::vector<std::string> ManagerAddressLines(std::string_view call)
{
    std::vector<std::string> lines;
    if (!CountryDb.ManagerAddresses)
        return lines;
    const auto key = AddressKey(call);
    const std::int32_t i = CountryDb.ManagerAddresses->IndexOfKey(key.data());
    if (i >= 0)
        CountryDb.ManagerAddresses->GetLines(i, lines);
    return lines;
}

void StoreManagerAddress(std::string_view call, const std::vector<std::string>& lines)
{
    if (!CountryDb.ManagerAddresses)
        return;
    const auto key = AddressKey(call);
    for (std::int32_t i; (i = CountryDb.ManagerAddresses->IndexOfKey(key.data())) >= 0;)
        CountryDb.ManagerAddresses->DeleteRecord(i);
    if (!lines.empty())
        CountryDb.ManagerAddresses->InsertLines(key.data(), lines);
    SetCountryDataModified();
}

} // namespace korval
