#pragma once
// A small set of enumeration values (up to 64), for option sets of the controls.
#include <cstdint>
#include <initializer_list>

namespace korval {

template <typename E>
class TOvcSet {
public:
    constexpr TOvcSet() = default;
    constexpr TOvcSet(std::initializer_list<E> items)
    {
        for (E e : items)
            bits_ |= bit(e);
    }
    static constexpr TOvcSet FromBits(uint64_t bits)
    {
        TOvcSet s;
        s.bits_ = bits;
        return s;
    }
    constexpr uint64_t Bits() const { return bits_; }
    constexpr bool Contains(E e) const { return (bits_ & bit(e)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr TOvcSet& Include(E e) { bits_ |= bit(e); return *this; }
    constexpr TOvcSet& Exclude(E e) { bits_ &= ~bit(e); return *this; }
    constexpr TOvcSet operator|(TOvcSet o) const { return FromBits(bits_ | o.bits_); }
    constexpr TOvcSet operator&(TOvcSet o) const { return FromBits(bits_ & o.bits_); }
    constexpr TOvcSet operator-(TOvcSet o) const { return FromBits(bits_ & ~o.bits_); }
    constexpr bool operator==(const TOvcSet&) const = default;

private:
    static constexpr uint64_t bit(E e) { return uint64_t(1) << unsigned(e); }
    uint64_t bits_ = 0;
};

} // namespace korval
