#include "station/spot_record.h"

#include "logbook/base/record_bytes.h"

namespace korval {

std::array<std::uint8_t, TSpotRecord::Size> TSpotRecord::toBytes() const {
    std::array<std::uint8_t, Size> b{};
    PutDouble(b.data(), 0, frequency);
    PutDouble(b.data(), 8, qsxFrequency);
    PutU8(b.data(), 16, band);
    PutU8(b.data(), 17, mode);
    PutShortStr(b.data(), 18, 12, call);
    PutShortStr(b.data(), 31, 12, spotter);
    PutU16(b.data(), 44, country);
    PutU8(b.data(), 46, static_cast<std::uint8_t>(reason));
    PutU16(b.data(), 47, date);
    PutU16(b.data(), 49, time);
    PutShortStr(b.data(), 51, 33, remarks);
    PutI32(b.data(), 85, arrival);
    return b;
}

TSpotRecord TSpotRecord::fromBytes(const std::uint8_t* b) {
    TSpotRecord r;
    r.frequency = GetDouble(b, 0);
    r.qsxFrequency = GetDouble(b, 8);
    r.band = GetU8(b, 16);
    r.mode = GetU8(b, 17);
    r.call = GetShortStr(b, 18, 12);
    r.spotter = GetShortStr(b, 31, 12);
    r.country = GetU16(b, 44);
    r.reason = static_cast<char>(GetU8(b, 46));
    r.date = GetU16(b, 47);
    r.time = GetU16(b, 49);
    r.remarks = GetShortStr(b, 51, 33);
    r.arrival = GetI32(b, 85);
    return r;
}

} // namespace korval
