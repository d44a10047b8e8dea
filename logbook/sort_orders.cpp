#include "logbook/sort_orders.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "logbook/custom_award.h"
#include "logbook/qso_record.h"
#include "logbook/swl_record.h"

namespace korval {

namespace {

const TQsoRecord& Q(const void* p) { return *static_cast<const TQsoRecord*>(p); }

// Byte-wise compare of two short strings: the common part unsigned, then the shorter first.
std::int32_t CmpStr(std::string_view a, std::string_view b)
{
    std::size_t n = std::min(a.size(), b.size());
    int r = n ? std::memcmp(a.data(), b.data(), n) : 0;
    if (r != 0)
        return r < 0 ? -1 : 1;
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

template <typename T>
std::int32_t CmpNum(T a, T b)
{
    return a < b ? -1 : (a == b ? 0 : 1);
}

} // namespace

const char* const SortOrderNames[kSortOrderCount] = {"Band", "Callsign", "County", "Cust Awd", "Date",
                                                     "Grid", "Group",    "IOTA",   "Prefix",   "PrtSeqNr",
                                                     "State", "WPX",     "Zone"};

std::int32_t CompareQsoByDate(const void* pa, const void* pb)
{
    const TQsoRecord& a = Q(pa);
    const TQsoRecord& b = Q(pb);
    if (a.Date != b.Date)
        return CmpNum(a.Date, b.Date);
    if (a.Time != b.Time)
        return CmpNum(a.Time, b.Time);
    if (std::int32_t r = CmpStr(a.Call.view(), b.Call.view()))
        return r;
    if (a.Band != b.Band)
        return a.Band - b.Band;
    return a.Mode - b.Mode;
}

std::int32_t CompareQsoByCall(const void* pa, const void* pb)
{
    const TQsoRecord& a = Q(pa);
    const TQsoRecord& b = Q(pb);
    if (std::int32_t r = CmpStr(a.Call.view(), b.Call.view()))
        return r;
    if (a.Date != b.Date)
        return CmpNum(a.Date, b.Date);
    if (a.Time != b.Time)
        return CmpNum(a.Time, b.Time);
    if (a.Band != b.Band)
        return a.Band - b.Band;
    return a.Mode - b.Mode;
}

std::int32_t CompareQsoByCountry(const void* pa, const void* pb)
{
    const TQsoRecord& a = Q(pa);
    const TQsoRecord& b = Q(pb);
    if (a.Country != b.Country)
        return CmpNum(a.Country, b.Country);
    if (a.Band != b.Band)
        return a.Band - b.Band;
    return CompareQsoByCall(pa, pb);
}

std::int32_t CompareQsoByBand(const void* pa, const void* pb)
{
    if (Q(pa).Band != Q(pb).Band)
        return Q(pa).Band - Q(pb).Band;
    return CompareQsoByCountry(pa, pb);
}

std::int32_t CompareQsoByZone(const void* pa, const void* pb)
{
    if (Q(pa).Zone != Q(pb).Zone)
        return Q(pa).Zone - Q(pb).Zone;
    return CompareQsoByBand(pa, pb);
}

std::int32_t CompareQsoByState(const void* pa, const void* pb)
{
    if (Q(pa).State != Q(pb).State)
        return Q(pa).State - Q(pb).State;
    return CompareQsoByBand(pa, pb);
}

std::int32_t CompareQsoByIota(const void* pa, const void* pb)
{
    if (std::int32_t r = CmpStr(Q(pa).Iota.view(), Q(pb).Iota.view()))
        return r;
    return CompareQsoByBand(pa, pb);
}

std::int32_t CompareQsoByGrid(const void* pa, const void* pb)
{
    if (std::int32_t r = CmpStr(Q(pa).Grid.view(), Q(pb).Grid.view()))
        return r;
    return CompareQsoByBand(pa, pb);
}

std::int32_t CompareQsoByCounty(const void* pa, const void* pb)
{
    if (Q(pa).State != Q(pb).State)
        return Q(pa).State - Q(pb).State;
    return CmpNum(Q(pa).County, Q(pb).County);
}

std::int32_t CompareQsoByGroup(const void* pa, const void* pb)
{
    if (Q(pa).Group != Q(pb).Group)
        return Q(pa).Group - Q(pb).Group;
    return CompareQsoByDate(pa, pb);
}

std::int32_t CompareQsoByWpx(const void* pa, const void* pb)
{
    if (std::int32_t r = CmpStr(Q(pa).WpxPrefix.view(), Q(pb).WpxPrefix.view()))
        return r;
    return CompareQsoByCall(pa, pb);
}

std::int32_t CompareQsoByCustomAward(const void* pa, const void* pb)
{
    const TQsoRecord& a = Q(pa);
    const TQsoRecord& b = Q(pb);
    std::string na = LongAwdName(a.CustAwdId.view());
    std::string nb = LongAwdName(b.CustAwdId.view());
    if (std::int32_t r = CmpStr(na, nb))
        return r;
    std::string va = LongAwdVal(a.CustAwdId.view(), a.CustAwdVal.view());
    std::string vb = LongAwdVal(b.CustAwdId.view(), b.CustAwdVal.view());
    if (std::int32_t r = CmpStr(va, vb))
        return r;
    return CompareQsoByCall(pa, pb);
}

std::int32_t CompareQsoByPrintSeq(const void* pa, const void* pb)
{
    return CmpNum(Q(pa).SeqPrtNr, Q(pb).SeqPrtNr);
}

std::int32_t CompareQsoBandModeCall(const void* pa, const void* pb)
{
    const TQsoRecord& a = Q(pa);
    const TQsoRecord& b = Q(pb);
    if (a.Band != b.Band)
        return a.Band - b.Band;
    if (a.Mode != b.Mode)
        return a.Mode - b.Mode;
    return CmpStr(a.Call.view(), b.Call.view());
}

std::int32_t CompareCallOnly(const void* pa, const void* pb)
{
    auto* a = static_cast<const std::uint8_t*>(pa);
    auto* b = static_cast<const std::uint8_t*>(pb);
    return CmpStr(std::string_view(reinterpret_cast<const char*>(a + 1), a[0]),
                  std::string_view(reinterpret_cast<const char*>(b + 1), b[0]));
}

std::int32_t CompareSwlRecords(const void* pa, const void* pb)
{
    const TSwlRecord& a = *static_cast<const TSwlRecord*>(pa);
    const TSwlRecord& b = *static_cast<const TSwlRecord*>(pb);
    if (std::int32_t r = CmpStr(a.Call.view(), b.Call.view()))
        return r;
    if (a.Date != b.Date)
        return CmpNum(a.Date, b.Date);
    if (a.Time != b.Time)
        return CmpNum(a.Time, b.Time);
    if (a.Band != b.Band)
        return a.Band - b.Band;
    return a.Mode - b.Mode;
}

TCompareFunc SortOrderCompare(int order)
{
    static const TCompareFunc table[kSortOrderCount] = {
        CompareQsoByBand, nullptr,           CompareQsoByCounty,   CompareQsoByCustomAward, nullptr,
        CompareQsoByGrid, CompareQsoByGroup, CompareQsoByIota,     CompareQsoByCountry,     CompareQsoByPrintSeq,
        CompareQsoByState, CompareQsoByWpx,  CompareQsoByZone};
    return order >= 0 && order < kSortOrderCount ? table[order] : nullptr;
}

} // namespace korval
