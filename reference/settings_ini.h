#pragma once
// The settings a settings file carries beyond the setup pages' controls: function-key macros,
// CW cut-offs and keyer, the last log and the disabled QSO fields, the rotator, window
// placements, terminal split positions, spot-list columns, the world map, the custom label
// layouts and fonts, and the PSK31 terminal. Written from and merged into a working copy of
// the configuration record.
#include <array>
#include <cstdint>

#include "logbook/config_record.h"

namespace korval {

class TIniFile;

// Names of the "W-" sections, in the order of the record's placement slots.
extern const char* const SettingsWindowNames[PlacementSlotCount];
// The slots whose open windows store their placement before an export, in the order asked.
inline constexpr std::array<int, 13> ExportPlacementSlots{psCty, psZone, psState, psIota, psCall, psLogb, psExt,
                                                          psSun, psGrid, psMastr, psWorld, psWpx, psPsk31};

// splitPositions: the packet and RTTY terminals' split positions to write.
void WriteFixedSettings(TIniFile& ini, const TConfigRecord& copy, const std::array<int, 2>& splitPositions);

// A section the file has sets its fields, each missing key taking its default; the fields of a
// section the file does not have keep the copy's values. True when all seven spot-list column
// widths were read and none is 0 (they are then for the open spot window too).
bool MergeFixedSettings(const TIniFile& ini, TConfigRecord& copy);

} // namespace korval
