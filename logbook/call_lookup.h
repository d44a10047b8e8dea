#pragma once
// Callsign to country, CQ zone and US state through the country database; WPX prefixes; the
// deleted-WPX list; QSL managers in force at a date; counties.
#include "logbook/country_db.h"
#include "logbook/qso_record.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace korval {

// The lookup on the fields of a QSO: reads call, date and state; writes country and CQ zone
// (0 and 0 when unknown) and, by the country's states kind, possibly the state.
void LookupCall(std::string_view call, TDayNumber date, std::uint8_t& state, std::uint16_t& country,
                std::uint8_t& zone);

// The same on a QSO record: its Call, Date and State in, Country, Zone and State out.
void LookupCall(TQsoRecord& rec);

// Installs the country database as the logbook's lookup (QsoLookup()): call lookup, WPX
// prefixes and the country and WPX statistics blocks. The main window does it once at start.
void InstallCountryLookup();

// LookupCall on a scratch QSO with the call (cut to 12 characters), the date and no state.
std::uint16_t CountryOfCall(std::string_view call, TDayNumber date);
std::uint8_t ZoneOfCall(std::string_view call, TDayNumber date);

// The call without its designators (at most 12 characters).
std::string BaseCall(std::string_view call);

// The WPX prefix (at most 7 characters).
std::string CalcWPXPrefix(std::string_view call);
void CalcWPXPrefix(std::string_view call, TShortStr<7>& prefix);

// True when a designator is dropped without effect ("P", "M", "MM", "QRP", ...).
bool IsIgnorableDesignator(std::string_view d);

// Deleted WPX prefixes: 9-byte records, prefix string[7] and the '*' flag at 8, ordered by
// prefix ignoring case.
class TWPXDeleted : public TOneIndex {
public:
    TWPXDeleted() : TOneIndex(9) {}
};

// The deleted-WPX prefixes of SAVE/KORVAL.WPX, one a line; a trailing '*' marks a prefix whose
// numbered forms are deleted too. A missing or unreadable file is an empty list.
void LoadWPXDeleted();
void LoadWPXDeletedFrom(const std::string& path);
void FreeWPXDeleted();
bool IsDeletedWPXPrefix(std::string_view prefix);

// QSL managers: the entry in force for the call at the date, -1 when none.
std::int32_t FindQslManagerIndex(std::string_view call, TDayNumber date);
std::string GetQslManager(std::string_view call, TDayNumber date);
// Records a manager for the call from that date on; marks the country data modified.
void SetQslManager(std::string_view call, TDayNumber date, std::string_view manager);

// Label-sorting class 0..3 of a QSO (its call, date, QSL route and country number).
int QslRouteClass(std::string_view call, TDayNumber date, std::uint8_t qslRoute, std::uint16_t country,
                  bool useManager);

// County number (from the county's key) by state abbreviation and county name; 0 when none.
std::uint16_t CountyNumber(std::string_view state, std::string_view name);
// The county's name by state number and county number; empty when absent.
std::string CountyName(std::uint8_t state, std::uint16_t county);

// Heading (whole degrees 0..359) and distance (whole km) between the home station of the
// configuration and a point; fromHome: the path runs from home to the point.
void CalcBearingDistance(bool fromHome, int& heading, int& distanceKm, double latitude, double longitude);
// The configured home position: the own position, or the centre of the own locator while the
// position is exactly 0 N 0 E. False when neither is set, so nothing is measured from 0 N 0 E.
bool HomePosition(double& latitude, double& longitude);

} // namespace korval
