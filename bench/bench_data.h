#pragma once
// What the benchmarks over generated logs share: the shipped country database as the lookup,
// and calls made of a common prefix, a digit and one to three letters.
#include <cstdio>
#include <iterator>
#include <random>
#include <string>

#include "logbook/call_lookup.h"
#include "logbook/country_db.h"

namespace korval::bench {

// Loads data/SAVE/KORVAL.CTY with its statistics and installs it as the call lookup; false (with
// the reason on stderr) when it cannot be read.
inline bool LoadShippedCountryDatabase()
{
    const std::string cty = std::string(KORVAL_SOURCE_DIR) + "/data/SAVE/KORVAL.CTY";
    std::string reason;
    if (!LoadCountryFileFrom(cty, true, &reason)) {
        std::fprintf(stderr, "country file: %s\n", reason.c_str());
        return false;
    }
    InstallCountryLookup();
    return true;
}

inline std::string RandomCall(std::mt19937& rng)
{
    static const char* const prefixes[] = {"DL", "F",  "G",  "I", "EA", "OH", "SM", "JA", "VK", "W",
                                           "K",  "N",  "UA", "PY", "LU", "ZS", "VE", "ON", "PA", "OK"};
    std::string c = prefixes[rng() % std::size(prefixes)];
    c += static_cast<char>('0' + rng() % 10);
    for (int i = 0, n = 1 + static_cast<int>(rng() % 3); i < n; ++i)
        c += static_cast<char>('A' + rng() % 26);
    return c;
}

} // namespace korval::bench
