#pragma once
// Reader of the public country file format cty.dat: one entity per record, a header line of
// eight colon-separated fields followed by a comma-separated list of prefixes and "=CALL"
// entries ended by ';'. Plain C++: the build-time converter and its tests use it.
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace korval::cty {

class ECtyParseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One prefix or exact call of an entity, with the overrides written after it.
struct CtyAlias {
    std::string text;    // prefix or call, without '=' and overrides
    bool exactCall = false; // written as "=CALL"
    int cqZone = -1;     // "(n)" override, -1 when absent
    int ituZone = -1;    // "[n]" override
    bool hasPosition = false;  // "<lat/lon>" override
    bool hasContinent = false; // "{XX}" override
    bool hasUtcOffset = false; // "~n~" override
};

struct CtyEntity {
    std::string name;
    int cqZone = 0;
    int ituZone = 0;
    std::string continent; // two letters: AF, AN, AS, EU, NA, OC, SA
    double latitude = 0;   // degrees, positive North (as the file has it)
    double longitude = 0;  // degrees, positive WEST (as the file has it)
    double utcOffset = 0;  // hours, positive BEHIND UTC (as the file has it)
    std::string prefix;    // primary prefix without the '*' mark
    bool waeOnly = false;  // primary prefix marked '*': an entity of the WAE list only
    int line = 0;          // header line number, for messages
    std::vector<CtyAlias> aliases;
};

// Parses the whole file. Throws ECtyParseError naming the line for a malformed record.
std::vector<CtyEntity> ParseCtyDat(std::string_view text);

} // namespace korval::cty
