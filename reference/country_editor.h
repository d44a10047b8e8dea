#pragma once
// What the country editor does to the country database: adding, updating and deleting countries
// with every prefix mapping and exception call kept on the country it meant, the consistency
// check, and the checked save.
#include "logbook/country_db.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korval {

enum class TCountryEditResult { Done, DuplicatePrefix, EmptyPrefix, NoSuchCountry };

struct TCountryEdit {
    TCountryEditResult Result = TCountryEditResult::Done;
    std::int32_t Number = -1; // the country's number afterwards
};

// Inserts a country in key order; every reference to that number or above moves up by one.
// A prefix that is empty or already present is refused.
TCountryEdit AddCountry(TCountryData& db, const TCountryRecord& rec);
// Replaces country `number` (its number may change with its prefix); references follow it.
// A prefix that another country has is refused, as is an empty one.
TCountryEdit UpdateCountry(TCountryData& db, std::int32_t number, const TCountryRecord& rec);
// Removes the country, its mappings and exception calls; higher references move down by one.
bool DeleteCountry(TCountryData& db, std::int32_t number);

// The findings of "Check for Errors", ended by "End of error listing".
std::vector<std::string> CheckCountryErrors(const TCountryData& db);

// Throws EFileWriteError naming the path when the database's bytes would not read back as a
// country database.
void CheckCountryDataLoads(const TCountryData& db, const std::string& path);
// Writes the database to the file only when its bytes read back as a country database, through
// a temporary file renamed over the old one. Throws EFileWriteError (the old file untouched).
void SaveCheckedCountryFile(const TCountryData& db, const std::string& path);

} // namespace korval
