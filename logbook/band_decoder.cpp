#include "logbook/band_decoder.h"

#include <cstdint>

#include "logbook/bands_modes.h"
#include "logbook/config_record.h"
#include "platform/port_io.h"

namespace korval {

namespace {
const std::uint8_t DecoderTable[16] = {0x00, 0x01, 0x20, 0x21, 0x40, 0x41, 0x60, 0x61,
                                       0x80, 0x81, 0x00, 0x01, 0x20, 0x21, 0x41, 0xFF};
}

int BandDecoderByte(int kind, int band)
{
    bool inRange = false;
    switch (kind) {
    case 1: inRange = band >= 1 && band <= 9; break;
    case 2: inRange = band >= 1 && band <= 10; break;
    case 3: inRange = band >= 10 && band <= 14; break;
    default: break;
    }
    return inRange ? DecoderTable[band] : -1;
}

void OutputBandDecoder(int band, bool realTime)
{
    if (Config.BandDecoder() < 2 || !realTime || band == SatBand)
        return;
    const int value = BandDecoderByte(Config.BandDecoderKind(), band);
    if (value < 0)
        return;
    if (TLptDevice* port = PortIo().Lpt(Config.BandDecoderPort()))
        port->WriteData(static_cast<std::uint8_t>(value));
}

} // namespace korval
