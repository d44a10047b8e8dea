#include "station/spot_list.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>

#include "logbook/bands_modes.h"
#include "logbook/base/decimal_text.h"
#include "logbook/base/string_utils.h"
#include "platform/atomic_file.h"

namespace korval {
namespace {

bool IsAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool SameReport(const TSpotRecord& a, const TSpotRecord& b) {
    return a.date == b.date && a.time == b.time && a.frequency == b.frequency && a.qsxFrequency == b.qsxFrequency &&
           a.remarks == b.remarks;
}

bool SameStation(const TSpotRecord& a, const TSpotRecord& b) {
    return a.call == b.call && a.mode == b.mode && a.band == b.band;
}

} // namespace

TSpotList::TSpotList(TSpotClassifier& classifier, TSpotAnnouncer* announcer)
    : classifier_(classifier), announcer_(announcer) {}

void TSpotList::SetSettings(const TSpotListSettings& s) {
    settings_ = s;
    // A capacity below one would never make room for a new spot.
    if (settings_.capacity < 1) settings_.capacity = 1;
}

bool TSpotList::InCommaList(const std::string& list, const std::string& entry) {
    if (entry.empty()) return false;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t comma = list.find(',', start);
        std::string item = TrimSpaces(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (item == entry) return true;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return false;
}

int TSpotList::ModeFromRemarks(const std::string& remarks, double freq, double qsx) {
    for (int m = 1; m <= ModeCount; ++m) {
        std::string name = ModeName(m);
        if (name.empty()) continue;
        std::size_t at = remarks.find(name);
        if (at == std::string::npos) continue;
        bool before = at > 0 && IsAlnum(remarks[at - 1]);
        std::size_t after = at + name.size();
        bool afterAlnum = after < remarks.size() && IsAlnum(remarks[after]);
        if (!before && !afterAlnum) return m;
    }
    if (remarks.find("FSK") != std::string::npos) return mdRTTY;
    if (remarks.find("PSK31") != std::string::npos) return mdPSK3;
    if (remarks.find("PACKET") != std::string::npos) return mdPACK;
    if (remarks.find("CLOVER") != std::string::npos) return mdCLOV;
    return ModeGroupOfFrequency(qsx != 0 ? qsx : freq) == mgPhone ? mdSSB : mdCW;
}

void TSpotList::FixShortQsx(TSpotRecord& spot) {
    if (spot.qsxFrequency == 0 || std::fabs(spot.qsxFrequency - spot.frequency) <= 350) return;
    // A QSX given as the low digits of the frequency: 14195.0 with QSX 225 means 14225.0.
    double f = spot.frequency, m = 1;
    do {
        f = std::floor(f / 10);
        m *= 10;
    } while (!(std::fabs(spot.frequency - f * m - spot.qsxFrequency) < m || f < 10));
    spot.qsxFrequency = f * m + spot.qsxFrequency;
    if (std::fabs(spot.qsxFrequency - spot.frequency) > 350) {
        spot.qsxFrequency = 0;
        spot.remarks = ("QSX? " + spot.remarks).substr(0, 33);
    }
}

void TSpotList::ClassifySpot(TSpotRecord& spot) {
    spot.country = static_cast<std::uint16_t>(classifier_.Country(spot.call, spot.date));
    if (InCommaList(settings_.callsignAlert, spot.call)) {
        spot.reason = '1';
        return;
    }
    spot.reason = classifier_.AwardReason(spot);
    if (spot.reason == '6' || settings_.okPrefixes.empty() || spot.spotter.empty()) return;
    std::string spotter = spot.spotter.substr(0, spot.spotter.find('-'));
    int country = classifier_.Country(spotter, spot.date);
    if (country == 0) return;
    if (InCommaList(settings_.okPrefixes, classifier_.CountryPrefix(country))) return;
    if (settings_.okPrefixes.find('#') != std::string::npos &&
        InCommaList(settings_.okPrefixes, "#" + std::to_string(classifier_.CqZone(spotter, spot.date))))
        return;
    spot.reason = '6';
}

bool TSpotList::Before(const TSpotRecord& a, const TSpotRecord& b) const {
    auto time = [](const TSpotRecord& r) { return std::tie(r.date, r.time, r.call); };
    switch (sortOrder_) {
    case spArrival: return a.arrival < b.arrival;
    case spCallsign: return std::tie(a.call, a.frequency) < std::tie(b.call, b.frequency);
    case spFrequency: return std::tie(a.frequency, a.call) < std::tie(b.frequency, b.call);
    case spPriority:
        if (a.reason != b.reason) return a.reason > b.reason;
        return std::tie(a.call, a.frequency) < std::tie(b.call, b.frequency);
    case spSpotter:
        if (a.spotter != b.spotter) return a.spotter < b.spotter;
        return time(a) < time(b);
    default: return time(a) < time(b);
    }
}

void TSpotList::Insert(const TSpotRecord& spot) {
    auto at = std::upper_bound(spots_.begin(), spots_.end(), spot,
                               [this](const TSpotRecord& a, const TSpotRecord& b) { return Before(a, b); });
    spots_.insert(at, spot);
}

void TSpotList::Resort() {
    std::stable_sort(spots_.begin(), spots_.end(),
                     [this](const TSpotRecord& a, const TSpotRecord& b) { return Before(a, b); });
}

void TSpotList::SetSortOrder(int order) {
    sortOrder_ = (order >= spTime && order <= spSpotter) ? order : spTime;
    Resort();
}

bool TSpotList::AddSpot(TSpotRecord spot) {
    TDayNumber today;
    std::int32_t seconds;
    GetUtcDateTime(today, seconds);
    const int now = seconds / 60;
    // The time first: a spot without one is as of now, and must not be dated yesterday.
    if (spot.time == NoSpotTime) spot.time = static_cast<std::uint16_t>(now);
    if (spot.date == NoDate) {
        spot.date = today;
        if (spot.time >= 1411 && now < 30) --spot.date;
        else if (spot.time < 30 && now >= 1411) ++spot.date;
    }
    FixShortQsx(spot);
    spot.mode = static_cast<std::uint8_t>(ModeFromRemarks(spot.remarks, spot.frequency, spot.qsxFrequency));
    spot.band = static_cast<std::uint8_t>(BandFromFrequency(spot.frequency));
    ClassifySpot(spot);
    if (spot.reason == '6' && settings_.ignoreGray) return false;

    bool replaced = false;
    for (auto it = spots_.begin(); it != spots_.end(); ++it) {
        if (!SameStation(*it, spot)) continue;
        if (sortOrder_ == spArrival) {
            if (SameReport(*it, spot) && it->spotter == spot.spotter) return false;
            continue;
        }
        bool existingLater = it->date > spot.date || (it->date == spot.date && it->time > spot.time);
        if (existingLater || SameReport(*it, spot)) return false;
        spots_.erase(it);
        replaced = true;
        break;
    }
    lastRemoved_ = 0;
    while (spots_.size() > static_cast<std::size_t>(settings_.capacity - 1)) {
        spots_.erase(spots_.begin());
        ++lastRemoved_;
    }
    spot.arrival = ++arrival_;
    Insert(spot);
    modified_ = true;

    if (!replaced && announcer_) {
        const int level = settings_.dxAlert;
        bool announce = (spot.reason == '1' && level >= 1) || (spot.reason == '2' && level >= 2) ||
                        (spot.reason == '3' && level >= 3) || ((spot.reason == '4' || spot.reason == '5') && level >= 4) ||
                        InCommaList(settings_.callsignAlert, spot.call);
        if (announce) announcer_->Announce(spot);
    }
    return true;
}

void TSpotList::RecheckAllSpots() {
    for (auto& s : spots_) ClassifySpot(s);
    DropGrayAndResort();
}

void TSpotList::RecheckSpotsForCountry(int country) {
    for (auto& s : spots_)
        if (s.country == 0 || s.country == country) ClassifySpot(s);
    DropGrayAndResort();
}

void TSpotList::DropGrayAndResort() {
    if (settings_.ignoreGray)
        std::erase_if(spots_, [](const TSpotRecord& s) { return s.reason == '6'; });
    Resort();
    modified_ = true;
}

void TSpotList::Clear() {
    if (!spots_.empty()) modified_ = true;
    spots_.clear();
    arrival_ = 0;
}

void TSpotList::Delete(std::size_t index) {
    if (index >= spots_.size()) return;
    spots_.erase(spots_.begin() + static_cast<std::ptrdiff_t>(index));
    modified_ = true;
}

void TSpotList::DeleteOldSpots() {
    TDayNumber today;
    std::int32_t seconds;
    GetUtcDateTime(today, seconds);
    const double now = MakeDayTime(today, seconds / 60);
    std::size_t n = 0;
    while (n < spots_.size() && now - MakeDayTime(spots_[n].date, spots_[n].time) > 2.0 / 24) ++n;
    if (n == 0) return;
    spots_.erase(spots_.begin(), spots_.begin() + static_cast<std::ptrdiff_t>(n));
    modified_ = true;
}

TSpotFileResult TSpotList::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return TSpotFileResult::Missing;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 6) return TSpotFileResult::TooShort;
    if (bytes.compare(0, 6, std::string("\x05") + SpotFileMagic) != 0) return TSpotFileResult::Incompatible;
    // A partial last record or a string length beyond its field means the file is damaged:
    // nothing of it is taken.
    if ((bytes.size() - 6) % TSpotRecord::Size != 0) return TSpotFileResult::Damaged;
    std::vector<TSpotRecord> read;
    for (std::size_t off = 6; off < bytes.size(); off += TSpotRecord::Size) {
        const auto* b = reinterpret_cast<const std::uint8_t*>(bytes.data() + off);
        if (b[18] > 12 || b[31] > 12 || b[51] > 33) return TSpotFileResult::Damaged;
        read.push_back(TSpotRecord::fromBytes(b));
    }
    spots_.clear();
    arrival_ = 0;
    for (auto& s : read) {
        s.mode = static_cast<std::uint8_t>(ModeFromRemarks(s.remarks, s.frequency, s.qsxFrequency));
        s.band = static_cast<std::uint8_t>(BandFromFrequency(s.frequency));
        ClassifySpot(s);
        if (settings_.ignoreGray && s.reason == '6') continue;
        spots_.push_back(s);
    }
    std::stable_sort(spots_.begin(), spots_.end(),
                     [](const TSpotRecord& a, const TSpotRecord& b) { return a.arrival < b.arrival; });
    for (std::size_t i = 0; i < spots_.size(); ++i) spots_[i].arrival = static_cast<std::int32_t>(i);
    Resort();
    arrival_ = static_cast<std::int32_t>(spots_.size());
    modified_ = false;
    return TSpotFileResult::Loaded;
}

void TSpotList::Save(const std::string& path) {
    if (!modified_) return;
    if (spots_.empty()) {
        std::error_code ec;
        std::filesystem::remove(path, ec);
        modified_ = false;
        return;
    }
    AtomicFile file(path);
    file.write(std::string("\x05") + SpotFileMagic);
    for (const auto& s : spots_) {
        auto b = s.toBytes();
        file.write(b.data(), b.size());
    }
    file.commit();
    modified_ = false;
}

std::string TSpotList::SpotsAsText() const {
    static const char* months[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::string out;
    for (const auto& s : spots_) {
        int y = 0, m = 1, d = 0;
        DecodeDayNumber(s.date, y, m, d);
        char head[64];
        std::snprintf(head, sizeof head, "%02d-%s-%04d,%02d:%02d,", d, months[(m - 1) % 12], y, s.time / 60 % 100,
                      s.time % 60);
        out += head + s.call + "," + FormatFixed(s.frequency, 1) + "," + ModeName(s.mode) + "," + s.spotter + ",\"" + s.remarks + "\"\n";
    }
    return out;
}

} // namespace korval
