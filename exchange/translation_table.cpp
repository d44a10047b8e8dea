#include "exchange/translation_table.h"

#include "exchange/filter_record.h"
#include "logbook/paths.h"
#include "logbook/base/string_utils.h"

#include <array>
#include <cstring>
#include <fstream>
#include <iterator>

namespace korval {

std::unique_ptr<TTwoIndex> ParseTwoColumnText(std::string_view text)
{
    auto table = std::make_unique<TTwoIndex>(TranslationKeyLen);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = TrimRight(text.substr(start, end - start), " \r");
        start = end + 1;
        std::size_t comma = line.find(',');
        if (comma == std::string_view::npos)
            continue;
        std::string_view prefix = line.substr(0, comma).substr(0, 5);
        std::string_view code = line.substr(comma + 1).substr(0, 5);
        std::array<std::uint8_t, 12> rec{};
        rec[0] = static_cast<std::uint8_t>(code.size());
        std::memcpy(rec.data() + 1, code.data(), code.size());
        rec[6] = static_cast<std::uint8_t>(prefix.size());
        std::memcpy(rec.data() + 7, prefix.data(), prefix.size());
        table->InsertRecord(rec.data());
    }
    return table;
}

std::unique_ptr<TTwoIndex> LoadTwoColumnFile(const std::string& filterId)
{
    // Only a filter ID names a table: anything else could lead out of IMPORT.
    if (filterId.empty() || !IsValidFilterId(UpperAscii(filterId)))
        return nullptr;
    std::ifstream f(GetImportProfileName(filterId), std::ios::binary);
    if (!f)
        return nullptr;
    std::string text((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    return ParseTwoColumnText(text);
}

bool TranslateCodeToPrefix(const TTwoIndex& table, std::string_view code, std::string& prefix)
{
    TShortStrKey key = MakeShortStrKey(code.substr(0, 5));
    std::int32_t index = 0;
    if (!table.Search(key.data(), index))
        return false;
    table.GetTail(index, prefix);
    return true;
}

bool TranslatePrefixToCode(const TTwoIndex& table, std::string_view prefix, std::string& code)
{
    std::int32_t index = 0;
    if (!table.SearchTail(prefix.substr(0, 5), index))
        return false;
    table.GetKeyStringByTail(index, code);
    return true;
}

} // namespace korval
