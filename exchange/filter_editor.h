#pragma once
// What the filter editor computes, apart from its window: the field entries by their rules, the
// column allocation list, the printed filter and the checks before a filter is saved.
#include <string>
#include <vector>

#include "exchange/filter_record.h"

namespace korval {

// The format shown for a field: kind 0 fields show their table notation.
int ShownFormat(const TFilterRecord& r, int field);
// Sets a field's format and, where the rules fix it, its length.
void SetFieldFormat(TFilterRecord& r, int field, int format);
// Stores position, format and length as the editor holds them (the length only where editable).
void StoreField(TFilterRecord& r, int field, int pos, int format, int len);

// One line per column 1..255: the column right-aligned in 3, a blank, and the names of the
// present fields covering it joined by " Also ".
std::vector<std::string> AllocationLines(const TFilterRecord& r);

// The printed filter: general lines ("Name\tvalue") then one line per present field
// ("name\tformat\tpos\tlength").
std::vector<std::string> FilterPrintLines(const TFilterRecord& r);

// Why a filter cannot be saved under its ID in the list (it replaces entry `index`, -1 for none);
// empty when it can.
std::string FilterSaveError(const TFilterRecord& r, const TFilterList& list, int index);

// The first lines of a sample file for the preview (at most maxLines).
std::vector<std::string> SampleLines(const std::string& path, int maxLines = 100);

} // namespace korval
