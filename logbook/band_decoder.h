#pragma once
// The band decoder: an outside box on a parallel port's data lines that switches antennas or
// filters by the band the QSO window is on.
namespace korval {

// The byte the decoder of a kind (1 bands 1..9, 2 bands 1..10, 3 bands 10..14) gets for a
// band; -1 when that kind takes nothing for the band.
int BandDecoderByte(int kind, int band);

// Writes the band's byte to the data register of the configured decoder port, when the
// configuration drives a decoder, the entry is in real time and the band is not the satellite
// band. A port that cannot be opened writes nothing.
void OutputBandDecoder(int band, bool realTime);

} // namespace korval
