#pragma once
// An SWL report (23 bytes stored) and a saved QSO selection (64 bytes stored).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "logbook/qso_record.h"

namespace korval {

struct TSwlRecord {
    TShortStr<12> Call;           // 0
    std::uint16_t Date = 0;       // 13
    std::int32_t Time = 0;        // 15: seconds of the day
    std::uint8_t Band = 0;        // 19
    std::uint8_t Mode = 0;        // 20
    std::uint8_t Group = 0;       // 21: the group of the QSO it confirms
    std::uint8_t Printed = 0;     // 22: its label went out in the last SWL label run
};
inline constexpr std::size_t kSwlRecordSize = 23;
void PutSwlRecord(std::uint8_t* b, const TSwlRecord& r);
void GetSwlRecord(const std::uint8_t* b, TSwlRecord& r);

struct TQsoSelection {
    TShortStr<25> Name;            // 0
    std::uint8_t DateRange = 0;    // 26: the date range is on
    std::uint16_t FromDate = 0;    // 27
    std::uint16_t ToDate = 0;      // 29
    std::uint8_t GroupFlag = 0;    // 31: the group set is on
    std::uint8_t Groups[32] = {};  // 32: bit n = group n; 254 QRP only, 255 YL only

    static constexpr int kQrpOnlyBit = 254;
    static constexpr int kYlOnlyBit = 255;
    bool Bit(int n) const { return (Groups[n >> 3] >> (n & 7)) & 1; }
    void SetBit(int n, bool on)
    {
        if (on)
            Groups[n >> 3] = static_cast<std::uint8_t>(Groups[n >> 3] | (1u << (n & 7)));
        else
            Groups[n >> 3] = static_cast<std::uint8_t>(Groups[n >> 3] & ~(1u << (n & 7)));
    }
    // The built-in first selection of every log: everything off.
    static TQsoSelection AllQsos();
};
inline constexpr std::size_t kQsoSelectionSize = 64;
void PutQsoSelection(std::uint8_t* b, const TQsoSelection& s);
void GetQsoSelection(const std::uint8_t* b, TQsoSelection& s);

} // namespace korval
