#pragma once
// Search by example over the logbook: the conditions compiled from the QSO window's fields, the
// glob and near-call matching they use, and the test of one QSO against them.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "logbook/base/day_number.h"
#include "logbook/qso_record.h"

namespace korval {

class TQsoData;

// Test kinds of a condition.
enum TSearchKind : std::uint8_t {
    skByteEqual = 0, skByteSel = 1, skQsoDate = 2, skQslDate = 3, skTime = 4, skModeGroup = 5, skLongEqual = 6,
    skFlag = 7, skAward = 8, skCall = 9, skText = 10, skPrefix = 11, skStateAbbrev = 12, skCountyName = 13,
    skGrid = 14, skCallNote = 15, skQsoNote = 16, skQslMgr = 17, skRst = 18, skCustAwdId = 19,
    skCustAwdVal = 20, skWpx = 21,
};

// The configured call-search method (the call rule of a search).
enum TCallSearchMethod : int { csExact = 1, csPattern = 2, csNear = 3, csContains = 4 };
// The configured date-search method (the date rule of a search).
enum TDateSearchMethod : int { dsExact = 1, dsOnOrAfter = 2, dsRange = 3 };

struct TSearchCondition {
    std::uint8_t Field = 0;   // tab order of the control it came from
    bool Negate = false;
    std::uint8_t Kind = 0;
    std::uint32_t Value = 0;
    std::string Pattern;      // the pattern kinds
};

inline constexpr int kMaxSearchConditions = 47;

// Glob match ignoring letter case: "*" any run, "?" on either side any one character; a leading
// "!" inverts the result; the pattern "*" alone needs a non-empty text.
bool PatternMatches(std::string_view pattern, std::string_view text);
// The call rule by the configured call-search method (a TCallSearchMethod).
bool CallMatches(std::string_view pattern, std::string_view call, int method);

// A compiled search. A date-range search (dsRange) holds its range once compiled, so testing
// QSOs never asks anything.
class TQsoSearch {
public:
    std::vector<TSearchCondition> Conditions;
    int CallMethod = csPattern;
    int DateMethod = dsExact;
    TDayNumber RangeEnd = 0;        // dsRange: end of the range of this compilation
    std::function<bool(const TQsoRecord&)> OutsideFilter;

    void Clear()
    {
        Conditions.clear();
        RangeEnd = 0;
    }
    // False when the list is full.
    bool Add(const TSearchCondition& c);
    bool Matches(const TQsoRecord& rec, const TQsoData* log) const;
    bool HasDateCondition() const;

private:
    bool Test(const TSearchCondition& c, const TQsoRecord& rec, const TQsoData* log) const;
};

} // namespace korval
