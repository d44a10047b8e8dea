#include "logbook/call_lookup_index.h"

#include <cstring>

#include "logbook/base/sorted_collection.h"

namespace korval {

namespace {
// Lookups of an unchanged collection before its table is (re)built: a few per record, so that
// a collection that changes between lookups costs no more than the binary search it replaces.
std::uint32_t RebuildAfter(std::int32_t count) { return 64 + static_cast<std::uint32_t>(count) / 4; }
} // namespace

bool TKeyRanges::Pack(std::string_view key, std::uint64_t& lo, std::uint64_t& hi)
{
    // In registers: bytes stored one by one and read back as words would stall every probe.
    if (key.size() > 15)
        return false;
    lo = key.size();
    hi = 0;
    for (std::size_t i = 0; i < key.size(); ++i) {
        const std::uint64_t c = static_cast<unsigned char>(key[i]);
        if (i < 7)
            lo |= c << (8 * (i + 1));
        else
            hi |= c << (8 * (i - 7));
    }
    return true;
}

std::uint64_t TKeyRanges::Hash(std::uint64_t lo, std::uint64_t hi)
{
    std::uint64_t h = lo * 0x9E3779B97F4A7C15ull ^ (hi + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full;
    return h ^ (h >> 31);
}

bool TKeyRanges::Build(const TOneIndex& c)
{
    const std::int32_t n = c.Count();
    std::size_t size = 16;
    while (size < static_cast<std::size_t>(n) * 2)
        size *= 2;
    slots_.assign(size, TSlot{});
    mask_ = size - 1;
    // Eight bits per key at least: one absent key in about twenty passes the filter.
    std::size_t bits = 4096;
    filterShift_ = 52;
    while (bits < static_cast<std::size_t>(n) * 8) {
        bits *= 2;
        --filterShift_;
    }
    filter_.assign(bits / 64, 0);
    values_.clear();
    if (value_) {
        values_.resize(static_cast<std::size_t>(n));
        for (std::int32_t k = 0; k < n; ++k)
            values_[static_cast<std::size_t>(k)] = value_(static_cast<const std::uint8_t*>(c.At(k)));
    }
    std::int32_t i = 0;
    while (i < n) {
        const auto* rec = static_cast<const std::uint8_t*>(c.At(i));
        const std::string_view key(reinterpret_cast<const char*>(rec + 1), rec[0]);
        std::uint64_t lo = 0, hi = 0;
        if (!Pack(key, lo, hi))
            return false;
        std::int32_t j = i + 1;
        while (j < n) {
            const auto* next = static_cast<const std::uint8_t*>(c.At(j));
            if (next[0] != rec[0] || std::memcmp(next + 1, rec + 1, rec[0]) != 0)
                break;
            ++j;
        }
        const std::uint64_t h = Hash(lo, hi);
        filter_[(h >> filterShift_) / 64] |= std::uint64_t(1) << ((h >> filterShift_) % 64);
        std::uint64_t s = h & mask_;
        while (slots_[s].first >= 0) {
            if (slots_[s].lo == lo && slots_[s].hi == hi)
                return false;  // the key's records are not together: not a table's business
            s = (s + 1) & mask_;
        }
        slots_[s] = {lo, hi, i, j};
        i = j;
    }
    return true;
}

bool TKeyRanges::Usable(const TOneIndex& c, std::uint64_t also)
{
    const std::uint64_t v = c.Version();
    if (owner_ == &c && version_ == v && alsoVersion_ == also)
        return built_;
    if (seenVersion_ != v || seenAlso_ != also) {
        seenVersion_ = v;
        seenAlso_ = also;
        stableUses_ = 0;
        return false;
    }
    if (++stableUses_ < RebuildAfter(c.Count()))
        return false;
    owner_ = &c;
    version_ = v;
    alsoVersion_ = also;
    built_ = Build(c);
    if (!built_) {
        slots_.clear();
        values_.clear();
    }
    return built_;
}

bool TKeyRanges::Find(std::string_view key, std::int32_t& first, std::int32_t& last) const
{
    first = last = -1;
    std::uint64_t lo = 0, hi = 0;
    if (!Pack(key, lo, hi))
        return false;
    const std::uint64_t h = Hash(lo, hi);
    if (!(filter_[(h >> filterShift_) / 64] >> ((h >> filterShift_) % 64) & 1))
        return false;
    for (std::uint64_t s = h & mask_;; s = (s + 1) & mask_) {
        const TSlot& slot = slots_[s];
        if (slot.first < 0)
            return false;
        if (slot.lo == lo && slot.hi == hi) {
            first = slot.first;
            last = slot.last;
            return true;
        }
    }
}

} // namespace korval
