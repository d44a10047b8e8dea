#pragma once
// The million-QSO log the benchmarks share: calls weighted roughly as a DX log sees them, about
// 18 years of QSOs in date order, a third of them confirmed, one in five with a note. Records
// only: country, zone and WPX prefix are left to whoever looks the calls up.
#include <memory>
#include <random>
#include <string>

#include "logbook/qso_data.h"

namespace korval::bench {

inline constexpr int kMillionQsos = 1000000;

// Prefixes weighted roughly as a DX log sees them, with their call-area digits.
inline const char* const kPrefixes[] = {"K",  "W",  "N",  "AA", "KB", "WA", "VE", "DL", "DK", "DJ", "G",  "M",  "2E",
                                 "F",  "I",  "IK", "EA", "CT", "ON", "PA", "OH", "SM", "LA", "OZ", "SP", "OK",
                                 "OM", "HA", "YO", "LZ", "UA", "RA", "RW", "UR", "YL", "LY", "ES", "9A", "S5",
                                 "YU", "SV", "TA", "4X", "JA", "JH", "JR", "BY", "BV", "HL", "VU", "YB", "DU",
                                 "HS", "9V", "VK", "ZL", "KH6", "KL7", "KP4", "XE", "TI", "HK", "YV", "PY",
                                 "LU", "CE", "CX", "OA", "ZS", "5B", "EI", "GM", "GW", "GI", "TF", "OY", "VP8"};

inline std::string RandomCall(std::mt19937& rng)
{
    std::string call = kPrefixes[rng() % std::size(kPrefixes)];
    call += static_cast<char>('0' + rng() % 10);
    int letters = 1 + static_cast<int>(rng() % 3);
    for (int i = 0; i < letters; ++i)
        call += static_cast<char>('A' + rng() % 26);
    switch (rng() % 40) {  // a few portables and foreign operations
    case 0:
        call += "/P";
        break;
    case 1:
        call += "/M";
        break;
    case 2:
        call += '/';
        call += static_cast<char>('0' + rng() % 10);
        break;
    case 3:
        call.insert(0, "EA8/", 4);
        break;
    default:
        break;
    }
    return call.substr(0, 12);
}

inline std::unique_ptr<TQsoData> GenerateLog(const std::string& fileName, int count = kMillionQsos)
{
    std::mt19937 rng(4711);
    auto log = std::make_unique<TQsoData>(fileName);
    log->BeginBulk(false, count);
    static const std::uint8_t modes[] = {14, 14, 14, 4, 4, 13, 10, 5};
    for (int i = 0; i < count; ++i) {
        auto* q = new TQsoRecord();
        q->Call.assign(RandomCall(rng));
        q->Date = static_cast<std::uint16_t>(36500 + i / 150);  // about 18 years of QSOs
        q->Time = static_cast<std::int32_t>((i % 150) * 570 + rng() % 60);
        q->Band = static_cast<std::uint8_t>(1 + rng() % 11);
        q->Mode = modes[rng() % std::size(modes)];
        q->RstRcvd = q->RstSent = q->Mode == 14 ? 59 : 599;
        q->SatMode = 1;
        q->Flags = qfValidForAwards | (rng() % 3 == 0 ? qfQslReceived : 0);
        if (rng() % 5 == 0)
            SetQsoNote(*q, "Name " + std::string(1, static_cast<char>('A' + rng() % 26)) + "ob, rig " +
                               std::to_string(rng() % 1000) + " W");
        log->BulkAdd(q);
    }
    log->EndBulk(false);
    return log;
}

} // namespace korval::bench
