// The own callsign in the texts that stand for it and the home country it belongs to.
#include "logbook/own_callsign.h"

#include "logbook/call_lookup.h"
#include "logbook/config_record.h"

namespace korval {

void ApplyOwnCallsign()
{
    PutOwnCallIntoTexts(Config);
    const std::string call = Config.OwnCall();
    if (!CountryDb.Loaded())
        return;
    const std::uint16_t own = CountryOfCall(call, UtcToday());
    if (own != 0) {
        MarkHomeCountry(own);
        SetCountryDataModified();
    }
}

} // namespace korval
