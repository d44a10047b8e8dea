// The country file, then lookups over what it loaded: calls, states, counties, names, and the
// saved bytes loaded back.
#include "fuzz/fuzz_support.h"

#include "logbook/call_lookup.h"
#include "logbook/country_db.h"

#include <cstdlib>

using namespace korval;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Prepare(false);
    InstallCountryLookup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const bool withStats = size % 2 != 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    TCountryData db;
    if (!ReadCountryDatabase(bytes, db, withStats))
        return 0;
    CountryDb = std::move(db);
    for (std::int32_t i = 0; i < CountryCount() && i < 400; ++i) {
        TCountryRecord c;
        GetCountry(static_cast<std::uint16_t>(i), c);
        CountryNumberOfPrefix(c.Prefix);
        CountryStatistics(static_cast<std::uint16_t>(i));
    }
    for (int st = 0; st < 256; ++st) {
        TUsStateRecord s;
        if (GetState(static_cast<std::uint8_t>(st), s)) {
            StateNumber(s.Abbrev);
            CountyNumber(s.Abbrev, "");
            CountyName(static_cast<std::uint8_t>(st), 1);
        }
    }
    for (const char* call : {"W1AW", "DL1ABC/P", "KH6XX", "VP2E/W1AW", "3D2/R", "", "9M6A", "K1ABC/KH2"}) {
        TQsoRecord q;
        q.Call = call;
        q.Date = 40000;
        LookupCall(q);
        CalcWPXPrefix(call);
        GetQslManager(call, 40000);
    }
    // Saved bytes load again as the same database.
    const std::string saved = CountryDatabaseBytes(CountryDb);
    TCountryData again;
    if (!ReadCountryDatabase(saved, again, false) || CountryDatabaseBytes(again) != saved)
        std::abort();
    FreeCountryData(false);
    return 0;
}
