#pragma once
// Builds Korval's country database from the entities of a cty.dat file: one country per DXCC
// entity, alias prefixes as prefix mappings (CQ zone overrides kept), "=CALL" entries as
// exception calls, the US states table and the states kinds of K, KH6 and KL. Sign conventions
// are turned into Korval's: longitude East positive, UTC offset positive ahead of UTC.
#include "logbook/country_db.h"
#include "tools/cty_dat.h"

#include <string>
#include <vector>

namespace korval::cty {

// What the conversion could not carry over, and what it added; printed by the tool.
struct TConvertReport {
    int countries = 0;
    int prefixMappings = 0;
    int exceptionCalls = 0;
    int primaryPrefixMappings = 0;   // primary prefixes added so that they resolve as designators
    int waeEntitiesMerged = 0;       // WAE-only entities folded into their DXCC entity
    int duplicateEntries = 0;        // prefixes or calls already given (the first one kept)
    std::vector<std::string> dropped; // one line per entry the format cannot hold
    int ituOverrides = 0;            // "[n]" overrides: mappings have no ITU zone
    int otherOverrides = 0;          // "<lat/lon>", "{cont}", "~offset~": mappings cannot hold them
    int counties = 0;                // US counties added
};

// The US states with their CQ zones (two-letter abbreviation, zone, name), alphabetical.
struct TUsState {
    const char* abbrev;
    int cqZone;
    const char* name;
};
const std::vector<TUsState>& UsStates();

TCountryData ConvertEntities(const std::vector<CtyEntity>& entities, TConvertReport& report);

// Adds the US counties of a county list (lines "SS,NNN,Name": state abbreviation, three-digit
// county number, name; '#' lines are comments) for the states the database has. A line of an
// unknown state or a malformed line is reported in dropped.
void AddUsCounties(TCountryData& db, std::string_view counties, TConvertReport& report);

// The whole conversion of a cty.dat text (and the US county list) into the bytes of KORVAL.CTY.
std::string ConvertCtyDat(std::string_view ctyDat, TConvertReport& report, std::string_view counties = {});

} // namespace korval::cty
