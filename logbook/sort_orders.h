#pragma once
// The orders of QSOs and SWL records. Each compare routine takes two record pointers
// (TQsoRecord or TSwlRecord) and returns a negative number, zero or a positive number, so that
// it can order any pointer index of the log.
#include <cstdint>

namespace korval {

using TCompareFunc = std::int32_t (*)(const void* a, const void* b);

std::int32_t CompareQsoByDate(const void* a, const void* b);     // date, time, call, band, mode
std::int32_t CompareQsoByCall(const void* a, const void* b);     // call, date, time, band, mode
std::int32_t CompareQsoByCountry(const void* a, const void* b);  // country, band, then by call
std::int32_t CompareQsoByBand(const void* a, const void* b);     // band, then by country
std::int32_t CompareQsoByZone(const void* a, const void* b);     // zone, then by band
std::int32_t CompareQsoByState(const void* a, const void* b);    // state, then by band
std::int32_t CompareQsoByIota(const void* a, const void* b);     // IOTA, then by band
std::int32_t CompareQsoByGrid(const void* a, const void* b);     // grid, then by band
std::int32_t CompareQsoByCounty(const void* a, const void* b);   // state, county
std::int32_t CompareQsoByGroup(const void* a, const void* b);    // group, then by date
std::int32_t CompareQsoByWpx(const void* a, const void* b);      // WPX prefix, then by call
// Long name of the custom award, long value of its value (through the custom-award list),
// then by call.
std::int32_t CompareQsoByCustomAward(const void* a, const void* b);
std::int32_t CompareQsoByPrintSeq(const void* a, const void* b);
std::int32_t CompareQsoBandModeCall(const void* a, const void* b);
// The short strings at the start of both records (callsign notes).
std::int32_t CompareCallOnly(const void* a, const void* b);
std::int32_t CompareSwlRecords(const void* a, const void* b);  // call, date, time, band, mode

inline constexpr int kSortOrderCount = 13;
enum TQsoSortOrder {
    soBand = 0, soCallsign = 1, soCounty = 2, soCustAwd = 3, soDate = 4, soGrid = 5, soGroup = 6,
    soIota = 7, soPrefix = 8, soPrtSeqNr = 9, soState = 10, soWpx = 11, soZone = 12,
};
// "Band", "Callsign", ... "Zone": the names shown to the operator.
extern const char* const SortOrderNames[kSortOrderCount];
// The compare routine of an order; null for 1 and 4 (the logbook's own by-call and date
// orders) and for numbers outside 0 to 12.
TCompareFunc SortOrderCompare(int order);

} // namespace korval
