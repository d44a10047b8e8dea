#pragma once
// Worked and confirmed status of one award entity (a country, zone, state, IOTA reference, grid
// or WPX prefix): 2-byte cells of status and count. Cell 0 is the whole award, cells 1 to 3 the
// mode groups phone, CW and digital, and band b (1 to 15) has one cell per mode group at byte
// offset 6 x b + 2 x group.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace korval {

enum TAwardStatus : std::uint8_t {
    asNone = 0,
    asWorked = 1,
    asQslSent = 2,
    asConfirmed = 3,
    asSubmitted = 4,
    asCredited = 5,
};

struct TAwardStatusBlock {
    static constexpr std::size_t kSize = 113;
    static constexpr int kCells = 49;  // 0..3 and 3 x 15 band cells
    std::uint8_t bytes[kSize] = {};

    // Cell index of a band's mode-group cell (band 1..15, group 1..3); 0 for the whole award
    // with group 0, group for the mode-group cells.
    static constexpr int CellOf(int band, int group) { return 3 * band + group; }
    std::uint8_t Status(int cell) const { return bytes[2 * cell]; }
    std::uint8_t Count(int cell) const { return bytes[2 * cell + 1]; }
    void Set(int cell, std::uint8_t status, std::uint8_t count)
    {
        bytes[2 * cell] = status;
        bytes[2 * cell + 1] = count;
    }
    // A higher status replaces the cell's and counts 1; an equal one counts up to 255.
    void Merge(int cell, std::uint8_t status)
    {
        if (status > Status(cell))
            Set(cell, status, 1);
        else if (status == Status(cell) && Count(cell) < 255)
            ++bytes[2 * cell + 1];
    }
    void Clear() { std::memset(bytes, 0, kSize); }

    // The 15 bytes after the cells: one "taken" mark per band (1..15), used while a five-band
    // award submission picks one QSO per entity and band.
    static constexpr std::size_t kTakenOffset = 2 * kCells;
    bool Taken(int band) const { return bytes[kTakenOffset + band - 1] != 0; }
    void SetTaken(int band, bool on) { bytes[kTakenOffset + band - 1] = on ? 1 : 0; }
    void ClearTaken() { std::memset(bytes + kTakenOffset, 0, kSize - kTakenOffset); }
};

// Clears every cell of the block.
inline void ClearAwardStatus(TAwardStatusBlock& block) { block.Clear(); }

} // namespace korval
