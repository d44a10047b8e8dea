#pragma once
// A hashed first step for the call lookup's searches: where the records of one key (an
// exception call, a mapped prefix) lie in a collection ordered by key and then date. A log load
// looks up a million calls; most have no exception record and match on their second or third
// prefix length, and a probe of a small table answers each of those steps where a binary search
// over thousands of records did. The ranges are taken from the collection as it is, so that
// every search over them finds what the binary search finds; the table follows the collection
// by its version and is rebuilt only once the collection has stayed unchanged for a while (an
// import that adds exception calls as it goes keeps to the binary search meanwhile).
#include <cstdint>
#include <string_view>
#include <vector>

namespace korval {

class TOneIndex;

class TKeyRanges {
public:
    // What the table keeps of each record, so that a search reads a few kilobytes instead of
    // the records' heap blocks; null: nothing.
    using TRecordValue = std::uint64_t (*)(const std::uint8_t* rec);
    explicit TKeyRanges(TRecordValue value = nullptr) : value_(value) {}

    // Whether Find answers for the collection as it is now (else the caller searches it). The
    // values kept may depend on more than the collection (the country numbers of the mappings
    // change in place when a country is added or deleted): also is the version of what else
    // they depend on.
    bool Usable(const TOneIndex& c, std::uint64_t also = 0);
    // The records [first, last) whose key is key; false (first and last -1) when none has it.
    bool Find(std::string_view key, std::int32_t& first, std::int32_t& last) const;
    // The value kept of record i.
    std::uint64_t Value(std::int32_t i) const { return values_[static_cast<std::size_t>(i)]; }

private:
    struct TSlot {
        std::uint64_t lo = 0, hi = 0;  // the key: length byte and characters, zero-padded
        std::int32_t first = -1, last = -1;
    };
    static bool Pack(std::string_view key, std::uint64_t& lo, std::uint64_t& hi);
    static std::uint64_t Hash(std::uint64_t lo, std::uint64_t hi);
    bool Build(const TOneIndex& c);

    TRecordValue value_;
    const TOneIndex* owner_ = nullptr;
    std::uint64_t version_ = 0, alsoVersion_ = 0;  // of what the table was built from
    bool built_ = false;  // for them (false: the keys were not grouped)
    std::uint64_t seenVersion_ = 0, seenAlso_ = 0;
    std::uint32_t stableUses_ = 0;  // lookups since the collection last changed
    std::vector<TSlot> slots_;
    std::uint64_t mask_ = 0;
    // One bit per hash value, set for the keys present: most keys looked for are absent, and
    // this answers for them from a few kilobytes instead of the slots.
    std::vector<std::uint64_t> filter_;
    unsigned filterShift_ = 64;
    std::vector<std::uint64_t> values_;
};

} // namespace korval
