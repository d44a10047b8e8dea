#pragma once
// Translation files (IMPORT/<filter ID>.PMP): lines "own prefix,foreign code" that map this
// program's country prefixes to another format's country codes (ADIF's numeric DXCC entities).
#include <memory>
#include <string>
#include <string_view>

#include "logbook/base/sorted_collection.h"

namespace korval {

inline constexpr std::uint16_t TranslationKeyLen = 6;  // the code, string[5]; the prefix is the tail

// The table of the filter's translation file, or null when there is none.
std::unique_ptr<TTwoIndex> LoadTwoColumnFile(const std::string& filterId);
// The same from text (for tests and the loader).
std::unique_ptr<TTwoIndex> ParseTwoColumnText(std::string_view text);

// Code to prefix: false when the table does not hold the code (the entry read last wins).
bool TranslateCodeToPrefix(const TTwoIndex& table, std::string_view code, std::string& prefix);
// Prefix to code: false when the table does not hold the prefix.
bool TranslatePrefixToCode(const TTwoIndex& table, std::string_view prefix, std::string& code);

} // namespace korval
