#include "logbook/log_list_view.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "logbook/custom_award.h"

namespace korval {

TCompareFunc QsoOrderCompare(int order)
{
    if (order == soCallsign)
        return CompareQsoByCall;
    if (order == soDate)
        return CompareQsoByDate;
    return SortOrderCompare(order);
}

namespace {

// The first position whose record does not sort before rec.
std::size_t LowerBound(const TQsoPtrList& items, TCompareFunc compare, const TQsoRecord* rec)
{
    return static_cast<std::size_t>(
        std::lower_bound(items.begin(), items.end(), rec,
                         [compare](const TQsoRecord* a, const TQsoRecord* b) { return compare(a, b) < 0; }) -
        items.begin());
}

} // namespace

TLogListView::TLogListView(TQsoData* log) : log_(log), compare_(CompareQsoByDate)
{
    if (log_)
        log_->AddObserver(this);
}

TLogListView::~TLogListView()
{
    if (log_)
        log_->RemoveObserver(this);
}

TQsoRecord* TLogListView::At(int index) const
{
    return index >= 0 && index < Count() ? items_[static_cast<std::size_t>(index)] : nullptr;
}

int TLogListView::IndexOf(const TQsoRecord* rec) const
{
    if (!rec)
        return -1;
    for (std::size_t i = LowerBound(items_, compare_, rec); i < items_.size() && compare_(items_[i], rec) == 0; ++i)
        if (items_[i] == rec)
            return static_cast<int>(i);
    return -1;
}

bool TLogListView::SetSortOrder(int order)
{
    const TCompareFunc compare = QsoOrderCompare(order);
    if (!compare || order == order_)
        return false;
    order_ = order;
    compare_ = compare;
    if (log_ && Count() < log_->Count() / 10)
        Sort();
    else
        Rebuild();
    return true;
}

namespace {

// The leading fields of an order's compare packed into 128 bits, so that most comparisons of a
// sort touch no record: numbers as they compare, strings byte by byte padded with zeros. A string
// the key cannot hold whole (too long for the room left, or holding a zero byte) ends the key with
// all bits set, after every string it begins with; the room left at the end stays zero. Records
// whose keys tie are ordered by the full compare.
class TSortKey {
public:
    void Num(std::uint64_t value, int width)
    {
        if (full_ || used_ + width > 128) {
            full_ = true;
            return;
        }
        acc_ = (acc_ << width) | value;
        used_ += width;
    }
    void Str(std::string_view s, std::size_t capacity)
    {
        if (full_)
            return;
        const std::size_t room = std::min<std::size_t>(capacity, static_cast<std::size_t>(128 - used_) / 8);
        for (std::size_t i = 0; i < room; ++i)
            Num(i < s.size() ? static_cast<std::uint8_t>(s[i]) : 0u, 8);
        if (s.size() > room || s.find('\0') != std::string_view::npos) {
            const int rest = 128 - used_;
            if (rest > 0)
                acc_ = (acc_ << rest) | ((static_cast<unsigned __int128>(1) << rest) - 1);
            used_ = 128;
            full_ = true;
        }
    }
    std::uint64_t Hi() const { return static_cast<std::uint64_t>(Packed() >> 64); }
    std::uint64_t Lo() const { return static_cast<std::uint64_t>(Packed()); }

private:
    unsigned __int128 Packed() const { return used_ >= 128 ? acc_ : acc_ << (128 - used_); }
    unsigned __int128 acc_ = 0;
    int used_ = 0;
    bool full_ = false;
};

// A QSO's custom award and value as one number pair (the texts and their lengths), to be ranked.
struct TAwardKey {
    std::uint64_t value = 0;
    std::uint64_t id = 0;
    bool operator==(const TAwardKey&) const = default;
};
struct TAwardKeyHash {
    std::size_t operator()(const TAwardKey& k) const { return std::hash<std::uint64_t>()(k.value * 31 + k.id); }
};
TAwardKey AwardKeyOf(const TQsoRecord& q)
{
    TAwardKey k;
    std::memcpy(&k.value, q.CustAwdVal.s, sizeof q.CustAwdVal.s);
    std::memcpy(&k.id, q.CustAwdId.s, sizeof q.CustAwdId.s);
    k.id |= static_cast<std::uint64_t>(q.CustAwdId.len) << 32 | static_cast<std::uint64_t>(q.CustAwdVal.len) << 40;
    return k;
}

// The custom-award order compares the long names and values the award list gives: each distinct
// award and value (numbered as met) gets its rank among them once.
std::vector<std::uint32_t> CustomAwardRanks(const std::vector<const TQsoRecord*>& distinct)
{
    struct TLong {
        std::string name, value;
    };
    std::vector<TLong> forms;
    for (const TQsoRecord* r : distinct)
        forms.push_back({LongAwdName(r->CustAwdId.view()), LongAwdVal(r->CustAwdId.view(), r->CustAwdVal.view())});
    auto cmp = [](std::string_view a, std::string_view b) {
        const std::size_t n = std::min(a.size(), b.size());
        const int r = n ? std::memcmp(a.data(), b.data(), n) : 0;
        return r != 0 ? r : (a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0);
    };
    auto less = [&](std::uint32_t a, std::uint32_t b) {
        const int n = cmp(forms[a].name, forms[b].name);
        return n != 0 ? n < 0 : cmp(forms[a].value, forms[b].value) < 0;
    };
    std::vector<std::uint32_t> order(forms.size());
    for (std::uint32_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), less);
    std::vector<std::uint32_t> rank(forms.size());
    std::uint32_t r = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && less(order[i - 1], order[i]))
            ++r;
        rank[order[i]] = r;
    }
    return rank;
}

std::uint64_t Biased(std::int32_t time) { return static_cast<std::uint32_t>(time) ^ 0x80000000u; }

} // namespace

void TLogListView::Sort()
{
    struct TEntry {
        std::uint64_t hi, lo;
        TQsoRecord* rec;
    };
    // The custom award's rank takes the key's first 32 bits once every award of the view is known.
    std::unordered_map<TAwardKey, std::uint32_t, TAwardKeyHash> awardNumbers;
    std::vector<const TQsoRecord*> awards;
    std::vector<std::uint32_t> awardOf;
    TAwardKey lastAward;
    std::uint32_t lastNumber = 0;
    if (order_ == soCustAwd)
        awardOf.resize(items_.size());
    std::vector<TEntry> v(items_.size());
    // The records lie in the order they were made, not in the view's: each is asked for a few
    // rows ahead so that its fields are at hand when its key is made.
    constexpr std::size_t kAhead = 16;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (i + kAhead < items_.size())
            __builtin_prefetch(items_[i + kAhead]);
        TQsoRecord* r = items_[i];
        TSortKey k;
        const TQsoRecord& q = *r;
        switch (order_) {
        case soBand: k.Num(q.Band, 8); k.Num(q.Country, 16); k.Str(q.Call.view(), 12); break;
        case soCallsign: k.Str(q.Call.view(), 12); k.Num(q.Date, 16); break;
        case soCounty: k.Num(q.State, 8); k.Num(q.County, 16); break;
        case soCustAwd: {
            // Most QSOs carry no award, or the award of the QSO before.
            const TAwardKey key = AwardKeyOf(q);
            if (awards.empty() || !(key == lastAward)) {
                const auto [at, added] = awardNumbers.emplace(key, static_cast<std::uint32_t>(awards.size()));
                if (added)
                    awards.push_back(r);
                lastAward = key;
                lastNumber = at->second;
            }
            awardOf[i] = lastNumber;
            k.Num(0, 32);
            k.Str(q.Call.view(), 12);
            break;
        }
        case soDate: k.Num(q.Date, 16); k.Num(Biased(q.Time), 32); k.Str(q.Call.view(), 12); break;
        case soGrid: k.Str(q.Grid.view(), 6); k.Num(q.Band, 8); k.Num(q.Country, 16); k.Str(q.Call.view(), 12); break;
        case soGroup: k.Num(q.Group, 8); k.Num(q.Date, 16); k.Num(Biased(q.Time), 32); k.Str(q.Call.view(), 12); break;
        case soIota: k.Str(q.Iota.view(), 5); k.Num(q.Band, 8); k.Num(q.Country, 16); k.Str(q.Call.view(), 12); break;
        case soPrefix: k.Num(q.Country, 16); k.Num(q.Band, 8); k.Str(q.Call.view(), 12); break;
        case soPrtSeqNr: k.Num(q.SeqPrtNr, 16); break;
        case soState: k.Num(q.State, 8); k.Num(q.Band, 8); k.Num(q.Country, 16); k.Str(q.Call.view(), 12); break;
        case soWpx: k.Str(q.WpxPrefix.view(), 7); k.Str(q.Call.view(), 12); break;
        case soZone: k.Num(q.Zone, 8); k.Num(q.Band, 8); k.Num(q.Country, 16); k.Str(q.Call.view(), 12); break;
        default: break;
        }
        v[i] = {k.Hi(), k.Lo(), r};
    }
    if (order_ == soCustAwd) {
        const std::vector<std::uint32_t> rank = CustomAwardRanks(awards);
        for (std::size_t i = 0; i < v.size(); ++i)
            v[i].hi |= static_cast<std::uint64_t>(rank[awardOf[i]]) << 32;
    }
    std::sort(v.begin(), v.end(), [](const TEntry& a, const TEntry& b) { return a.hi != b.hi ? a.hi < b.hi : a.lo < b.lo; });
    const TCompareFunc c = compare_;
    for (std::size_t i = 0; i < v.size();) {
        std::size_t j = i + 1;
        while (j < v.size() && v[j].hi == v[i].hi && v[j].lo == v[i].lo)
            ++j;
        if (j - i > 1)
            std::sort(v.begin() + static_cast<std::ptrdiff_t>(i), v.begin() + static_cast<std::ptrdiff_t>(j),
                      [c](const TEntry& a, const TEntry& b) { return c(a.rec, b.rec) < 0; });
        i = j;
    }
    for (std::size_t i = 0; i < v.size(); ++i)
        items_[i] = v[i].rec;
}

void TLogListView::Rebuild()
{
    items_.clear();
    if (!log_)
        return;
    // The logbook keeps the date and call orders itself: a view in either is taken from there
    // and needs no sorting.
    const TQsoPtrList& source = order_ == soCallsign ? log_->ByCall().Items() : log_->Qsos();
    if (!passes_) {
        items_ = source;
    } else {
        items_.reserve(source.size());
        for (TQsoRecord* r : source)
            if (passes_(*r))
                items_.push_back(r);
    }
    if (order_ != soDate && order_ != soCallsign)
        Sort();
}

void TLogListView::QsoInserted(TQsoRecord* rec)
{
    if (!Passes(*rec))
        return;
    // Before the records that compare equal, as the logbook inserts.
    const std::size_t at = LowerBound(items_, compare_, rec);
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(at), rec);
    if (OnRowChanged)
        OnRowChanged(static_cast<int>(at), true);
}

void TLogListView::QsoDeleting(TQsoRecord* rec)
{
    int at = IndexOf(rec);
    if (at < 0) {
        // Not where its order puts it (a record changed in place): look everywhere.
        auto it = std::find(items_.begin(), items_.end(), rec);
        if (it == items_.end())
            return;
        at = static_cast<int>(it - items_.begin());
    }
    items_.erase(items_.begin() + at);
    if (OnRowChanged)
        OnRowChanged(at, false);
}

void TLogListView::QsosReset()
{
    Rebuild();
    if (OnReset)
        OnReset();
}

void TLogListView::LogGone()
{
    log_ = nullptr;
    items_.clear();
    if (OnReset)
        OnReset();
}

} // namespace korval
