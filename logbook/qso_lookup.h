#pragma once
// What the logbook needs of the country database: the call lookup (country, CQ zone, state),
// the WPX prefix, and the award-status blocks the database keeps per country and per WPX
// prefix. The country database installs an implementation; tests install fakes. Until one is
// installed every lookup yields "unknown" (country 0, zone 0, no prefix) and no blocks exist.
#include <cstdint>
#include <string_view>

#include "logbook/award_status.h"
#include "logbook/qso_record.h"

namespace korval {

class TQsoLookup {
public:
    virtual ~TQsoLookup() = default;
    // Sets rec's country number and CQ zone from its call and date, possibly its state.
    virtual void LookupCall(TQsoRecord& rec) = 0;
    // The WPX prefix of a call.
    virtual void CalcWPXPrefix(std::string_view call, TShortStr<7>& prefix) = 0;
    // The statistics block of a country (null when the country has none or is unknown).
    virtual TAwardStatusBlock* CountryStatusBlock(std::uint16_t /*country*/) { return nullptr; }
    // Clears the blocks of every country.
    virtual void ClearCountryStatus() {}
    // The statistics block of a WPX prefix; with create, a missing prefix gets a cleared
    // entry. Null when missing and not created.
    virtual TAwardStatusBlock* WpxStatusBlock(std::string_view /*prefix*/, bool /*create*/) { return nullptr; }
    // Empties the WPX statistics.
    virtual void ClearWpxStatus() {}
};

// The installed lookup; never null.
TQsoLookup& QsoLookup();
// Installs a lookup (null restores the one that knows nothing); returns the previous one.
TQsoLookup* SetQsoLookup(TQsoLookup* lookup);

// Fills rec's derived WPX prefix from its call through the installed lookup.
void DeriveWpxPrefix(TQsoRecord& rec);

} // namespace korval
