// The cty.dat converter: the public country file read and converted into a country database,
// whose bytes must load as one.
#include "logbook/country_db.h"
#include "tools/cty_convert.h"
#include "tools/cty_dat.h"

#include <cstdlib>

using namespace korval;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string bytes;
    try {
        cty::TConvertReport report;
        bytes = cty::ConvertCtyDat(text, report);
    } catch (const cty::ECtyParseError&) {  // a malformed record, named by its line
        return 0;
    }
    TCountryData db;
    std::string reason;
    if (!ReadCountryDatabase(bytes, db, false, &reason))
        std::abort();
    return 0;
}
