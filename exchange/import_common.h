#pragma once
// The value conversions and note routines the ADIF and fixed-field readers share, and the note
// clean-up the import driver runs after them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/import_context.h"

namespace korval {

// Value conversions.
void NormalizeImportCall(std::string_view value, TImportContext& ctx);
void NormalizeImportIota(std::string_view value, TShortStr<5>& iota, TImportContext& ctx);
// A continent and three digits (EU005), without the dash.
bool IsWellFormedIota(std::string_view ref);
// True on failure (the time is then -1).
bool ParseImportTime(std::string_view value, std::int32_t& seconds, TImportContext& ctx);
// The imported prefix from a prefix or code (through the translation table), with the country.
void ImportPrefix(std::string_view value, TImportContext& ctx);

// Note routines.
void StripKHzFreq(std::string& s);
void StripImportFrom(std::string& s);
void RemoveDoubleBlanks(std::string& s);
// Merges src into dest unless it is already there as a whole note (case ignored): equal to dest,
// to one of its bar-separated lines, or to a note merged before (pieces holds those). append:
// dest + " " + src; else src + "|" + dest. Cut at maxLen.
void MergeNote(std::string& dest, std::size_t maxLen, std::string_view src, bool append,
               std::vector<std::string>* pieces = nullptr);

} // namespace korval
