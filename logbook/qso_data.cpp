#include "logbook/qso_data.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <type_traits>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "logbook/log_hooks.h"
#include "logbook/qso_lookup.h"

namespace korval {

static_assert(std::is_trivially_destructible_v<TQsoRecord>);

// ---- TQsoIndex ----

namespace {

// First position whose item does not sort before key.
template <typename List>
bool FindIn(const List& items, TCompareFunc compare, const void* key, int& index)
{
    int lo = 0, hi = static_cast<int>(items.size()) - 1;
    bool found = false;
    while (hi >= lo) {
        int mid = static_cast<int>((static_cast<unsigned>(lo) + static_cast<unsigned>(hi)) >> 1);
        std::int32_t r = compare(items[static_cast<std::size_t>(mid)], key);
        if (r < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (r == 0) {
                found = true;
                lo = mid;
            }
        }
    }
    index = lo;
    return found;
}

template <typename List, typename T>
void RemoveFrom(List& items, TCompareFunc compare, const T* rec)
{
    int i = 0;
    if (FindIn(items, compare, rec, i)) {
        for (auto k = static_cast<std::size_t>(i); k < items.size() && compare(items[k], rec) == 0; ++k)
            if (items[k] == rec) {
                items.erase(items.begin() + static_cast<std::ptrdiff_t>(k));
                return;
            }
    }
    // Not where its order puts it (a record changed behind the index's back): look everywhere.
    auto it = std::find(items.begin(), items.end(), rec);
    if (it != items.end())
        items.erase(it);
}

bool Less(TCompareFunc c, const void* a, const void* b) { return c(a, b) < 0; }

} // namespace

bool TQsoIndex::Find(const TQsoRecord& key, int& index) const { return FindIn(items_, compare_, &key, index); }

void TQsoIndex::Insert(TQsoRecord* rec)
{
    int i = 0;
    FindIn(items_, compare_, rec, i);
    items_.insert(items_.begin() + i, rec);
}

void TQsoIndex::Remove(TQsoRecord* rec) { RemoveFrom(items_, compare_, rec); }

namespace {
// A stable sort of a log's record pointers on 64-bit keys held next to them, so that it touches
// each record twice in order (to take its key) instead of at every comparison. The records of a
// large log are first dealt out by the key's top 16 bits into one array of keys and pointers,
// then each share is sorted by the rest of its keys: by a radix pass per byte that varies, in a
// scratch array of the largest share's size. A million records take one such array and a small one where
// two full-size arrays would be fresh memory the system must clear first.
// Records whose keys tie are ordered by compare, in their input order where that ties too, when
// either of them was flagged (its key does not decide). The result is that of std::stable_sort
// with compare, for a compare that orders by the key first.
// Below this many records the sort does not deal them out first.
constexpr std::size_t kDealtFrom = 32768;

struct TKeyedRecord {
    std::uint64_t key;
    std::uintptr_t rec;  // the record, its lowest bit set when the key does not decide
};
static_assert(alignof(TQsoRecord) >= 2);

// Sorts by the low bytes of the keys (the others are equal), stably.
void SortShare(TKeyedRecord* v, std::size_t n, TKeyedRecord* scratch, unsigned bytes)
{
    if (n < 48) {  // insertion sort: stable, and cheaper than counting for a few records
        for (std::size_t i = 1; i < n; ++i) {
            const TKeyedRecord e = v[i];
            std::size_t j = i;
            for (; j > 0 && v[j - 1].key > e.key; --j)
                v[j] = v[j - 1];
            v[j] = e;
        }
        return;
    }
    std::array<std::array<std::uint32_t, 256>, 8> counts{};
    for (std::size_t i = 0; i < n; ++i)
        for (unsigned byte = 0; byte < bytes; ++byte)
            ++counts[byte][(v[i].key >> (8 * byte)) & 0xFF];
    TKeyedRecord* from = v;
    TKeyedRecord* to = scratch;
    for (unsigned byte = 0; byte < bytes; ++byte) {
        std::array<std::uint32_t, 256>& c = counts[byte];
        if (std::find(c.begin(), c.end(), static_cast<std::uint32_t>(n)) != c.end())
            continue;  // every key of the share has the same byte here
        std::uint32_t at = 0;
        for (std::uint32_t& k : c)
            at += std::exchange(k, at);
        for (std::size_t i = 0; i < n; ++i)
            to[c[(from[i].key >> (8 * byte)) & 0xFF]++] = from[i];
        std::swap(from, to);
    }
    if (from != v)
        std::copy(from, from + n, v);
}

template <typename KeyOf>
void StableKeySort(TQsoPtrList& items, KeyOf keyOf, TCompareFunc compare)
{
    const std::size_t n = items.size();
    if (n < 2)
        return;
    struct Free {
        void operator()(TKeyedRecord* p) const { LargeFree(p); }
    };
    std::unique_ptr<TKeyedRecord[], Free> all(static_cast<TKeyedRecord*>(LargeAlloc(n * sizeof(TKeyedRecord))));
    std::unique_ptr<TKeyedRecord[], Free> scratch;
    bool decides = true;
    auto entry = [&](TQsoRecord* r) {
        decides = true;
        const std::uint64_t k = keyOf(*r, decides);
        return TKeyedRecord{k, reinterpret_cast<std::uintptr_t>(r) | (decides ? 0u : 1u)};
    };
    if (n <= kDealtFrom) {
        // A small log in one share, sorted on the whole key.
        for (std::size_t i = 0; i < n; ++i)
            all[i] = entry(items[i]);
        scratch.reset(static_cast<TKeyedRecord*>(LargeAlloc(n * sizeof(TKeyedRecord))));
        SortShare(all.get(), n, scratch.get(), 8);
    } else {
        std::vector<std::uint32_t> start(65537, 0);
        for (const TQsoRecord* r : items)
            ++start[(keyOf(*r, decides) >> 48) + 1];
        std::size_t largest = 0;
        for (std::size_t b = 1; b <= 65536; ++b) {
            largest = std::max<std::size_t>(largest, start[b]);
            start[b] += start[b - 1];
        }
        {
            std::vector<std::uint32_t> at(start.begin(), start.end() - 1);
            for (TQsoRecord* r : items) {
                const TKeyedRecord e = entry(r);
                all[at[e.key >> 48]++] = e;
            }
        }
        scratch.reset(static_cast<TKeyedRecord*>(LargeAlloc(std::max<std::size_t>(largest, 1) * sizeof(TKeyedRecord))));
        for (std::size_t b = 0; b < 65536; ++b)
            if (start[b + 1] - start[b] > 1)
                SortShare(all.get() + start[b], start[b + 1] - start[b], scratch.get(), 6);
    }
    scratch.reset();
    auto record = [](const TKeyedRecord& e) { return reinterpret_cast<TQsoRecord*>(e.rec & ~std::uintptr_t(1)); };
    TKeyedRecord* v = all.get();
    for (std::size_t i = 0; i < n;) {
        std::size_t j = i + 1;
        bool decided = (v[i].rec & 1) == 0;
        while (j < n && v[j].key == v[i].key) {
            decided = decided && (v[j].rec & 1) == 0;
            ++j;
        }
        if (!decided)
            std::stable_sort(v + i, v + j, [&](const TKeyedRecord& x, const TKeyedRecord& y) {
                return compare(record(x), record(y)) < 0;
            });
        i = j;
    }
    for (std::size_t i = 0; i < n; ++i)
        items[i] = record(v[i]);
}

// The by-call order of a whole log from its records in primary order. Among records of one
// call the primary order (date, time, band, mode) is the by-call order, so a stable sort on the
// call alone gives it. The key is the first eight characters of the call as a big-endian
// number, zero beyond the call's length: it decides unless the call is longer or holds a zero
// byte, and then the records of that key are ordered by the full compare.
void SortByCall(TQsoPtrList& items)
{
    StableKeySort(
        items,
        [](const TQsoRecord& r, bool& decides) {
            const std::size_t len = r.Call.view().size();
            std::uint64_t k = 0;
            for (std::size_t j = 0; j < 8; ++j)
                k = (k << 8) | static_cast<std::uint8_t>(r.Call.s[j]);
            if (len == 0)
                k = 0;
            else if (len < 8)
                k &= ~std::uint64_t(0) << (8 * (8 - len));
            decides = len <= 8 && std::memchr(r.Call.s, 0, len) == nullptr;
            return k;
        },
        CompareQsoByCall);
}

// The primary order of records in any order, as a stable sort: date and time in the key, the
// call, band and mode of records with equal date and time by the full compare.
void SortByDate(TQsoPtrList& items)
{
    StableKeySort(
        items,
        [](const TQsoRecord& r, bool& decides) {
            decides = false;
            return (static_cast<std::uint64_t>(r.Date) << 48) |
                   (static_cast<std::uint64_t>(static_cast<std::uint32_t>(r.Time) ^ 0x80000000u) << 16);
        },
        CompareQsoByDate);
}
} // namespace

void TQsoIndex::Sort()
{
    // The items come from the log's primary order (AddIndex, EndBulk).
    if (compare_ == CompareQsoByCall) {
        SortByCall(items_);
        return;
    }
    auto c = compare_;
    std::sort(items_.begin(), items_.end(), [c](const TQsoRecord* a, const TQsoRecord* b) { return Less(c, a, b); });
}

// ---- TNotes ----

TNotes::~TNotes() { Clear(); }

std::uint8_t* TNotes::NewItem(std::string_view call, std::string_view text)
{
    std::size_t n = std::min<std::size_t>(text.size(), 255);
    std::size_t c = std::min<std::size_t>(call.size(), 12);
    auto* p = new std::uint8_t[n + 15]();
    p[0] = static_cast<std::uint8_t>(c);
    if (c)
        std::memcpy(p + 1, call.data(), c);
    p[13] = 0;
    p[14] = static_cast<std::uint8_t>(n);
    if (n)
        std::memcpy(p + 15, text.data(), n);
    return p;
}

std::string_view TNotes::CallAt(int i) const
{
    const std::uint8_t* p = items_[static_cast<std::size_t>(i)];
    return {reinterpret_cast<const char*>(p + 1), p[0]};
}

std::string_view TNotes::TextAt(int i) const
{
    const std::uint8_t* p = items_[static_cast<std::size_t>(i)];
    return {reinterpret_cast<const char*>(p + 15), p[14]};
}

bool TNotes::Find(std::string_view call, int& index) const
{
    std::uint8_t key[13] = {};
    std::size_t c = std::min<std::size_t>(call.size(), 12);
    key[0] = static_cast<std::uint8_t>(c);
    if (c)
        std::memcpy(key + 1, call.data(), c);
    return FindIn(items_, CompareCallOnly, key, index);
}

int TNotes::IndexOf(std::string_view call) const
{
    int i = 0;
    return call.size() <= 12 && Find(call, i) ? i : -1;
}

std::string TNotes::Get(std::string_view call) const
{
    int i = IndexOf(call);
    return i < 0 ? std::string() : std::string(TextAt(i));
}

void TNotes::Set(std::string_view call, std::string_view text)
{
    int i = 0;
    bool found = Find(call, i);
    if (text.empty()) {
        if (found)
            Delete(i);
        return;
    }
    std::uint8_t* item = NewItem(call, text);
    if (found) {
        delete[] items_[static_cast<std::size_t>(i)];
        items_[static_cast<std::size_t>(i)] = item;
    } else {
        items_.insert(items_.begin() + i, item);
    }
}

void TNotes::Delete(int index)
{
    delete[] items_[static_cast<std::size_t>(index)];
    items_.erase(items_.begin() + index);
}

void TNotes::Mark(std::string_view call)
{
    int i = IndexOf(call);
    if (i >= 0)
        items_[static_cast<std::size_t>(i)][13] = 1;
}

void TNotes::ClearMarks()
{
    for (auto* p : items_)
        p[13] = 0;
}

void TNotes::Clear()
{
    for (auto* p : items_)
        delete[] p;
    items_.clear();
}

void TNotes::Append(std::string_view call, std::string_view text) { items_.push_back(NewItem(call, text)); }

void TNotes::EndBulk()
{
    auto less = [](const std::uint8_t* a, const std::uint8_t* b) { return CompareCallOnly(a, b) < 0; };
    if (!std::is_sorted(items_.begin(), items_.end(), less))
        std::stable_sort(items_.begin(), items_.end(), less);
    // One note per call: a later duplicate of a call is dropped (a damaged or hand-made file).
    auto same = [](const std::uint8_t* a, const std::uint8_t* b) { return CompareCallOnly(a, b) == 0; };
    auto end = items_.end();
    auto out = items_.begin();
    for (auto it = items_.begin(); it != end; ++it) {
        if (out != items_.begin() && same(*(out - 1), *it))
            delete[] *it;
        else
            *out++ = *it;
    }
    items_.erase(out, end);
}

// ---- TQsoData ----

TQsoData::TQsoData(std::string fileName) : FileName(std::move(fileName)), byCall_(std::make_unique<TQsoIndex>(CompareQsoByCall))
{
    LogHooks().SetDiskPanel("");
}

TQsoData::~TQsoData()
{
    for (TQsoObserver* o : std::vector<TQsoObserver*>(observers_))
        o->LogGone();
    // The record blocks go as a whole; only notes and records from outside them are freed.
    for (TQsoRecord* r : qsos_) {
        FreeNote(r->Note);
        if (!FromPool(r))
            delete r;
    }
}

bool TQsoData::FromPool(const TQsoRecord* r) const
{
    // The blocks are ordered by address: the last block starting at or before r.
    std::less<const TQsoRecord*> before;
    auto it = std::upper_bound(pool_.begin(), pool_.end(), r,
                               [&before](const TQsoRecord* p, const auto& b) { return before(p, b.get()); });
    if (it == pool_.begin())
        return false;
    const TQsoRecord* begin = (it - 1)->get();
    return !before(r, begin) && before(r, begin + kPoolBlock);
}

TQsoRecord* TQsoData::NewQsoRecord()
{
    if (!poolFree_.empty()) {
        TQsoRecord* r = poolFree_.back();
        poolFree_.pop_back();
        *r = TQsoRecord();
        return r;
    }
    if (poolUsed_ == kPoolBlock) {
        void* mem = std::aligned_alloc(kPoolBytes, kPoolBytes);
        if (!mem)
            throw std::bad_alloc();
#if defined(MADV_HUGEPAGE)
        ::madvise(mem, kPoolBytes, MADV_HUGEPAGE);  // a hint; nothing depends on it
#endif
        std::unique_ptr<TQsoRecord, TPoolFree> block(static_cast<TQsoRecord*>(mem));
        poolNewest_ = block.get();
        std::less<const TQsoRecord*> before;
        auto at = std::upper_bound(pool_.begin(), pool_.end(), block,
                                   [&before](const auto& a, const auto& b) { return before(a.get(), b.get()); });
        pool_.insert(at, std::move(block));
        poolUsed_ = 0;
    }
    // Records are created as they are handed out; TQsoRecord is trivially destructible, so a
    // block is freed without destroying them.
    return new (poolNewest_ + poolUsed_++) TQsoRecord();
}

void TQsoData::TPoolFree::operator()(TQsoRecord* p) const { std::free(p); }

void TQsoData::DisposeQsoRecord(TQsoRecord* rec) { FreeRecord(rec); }

void TQsoData::FreeRecord(TQsoRecord* r)
{
    FreeNote(r->Note);
    r->Note = nullptr;
    if (FromPool(r))
        poolFree_.push_back(r);
    else
        delete r;
}

bool TQsoData::Find(const TQsoRecord& key, int& index) const
{
    return FindIn(qsos_, CompareQsoByDate, &key, index);
}

int TQsoData::InsertQso(TQsoRecord* rec)
{
    int i = 0;
    FindIn(qsos_, CompareQsoByDate, rec, i);
    qsos_.insert(qsos_.begin() + i, rec);
    byCall_->Insert(rec);
    for (auto& ix : indexes_)
        ix->Insert(rec);
    if (statusBuilt_)
        AddToStatus(*rec);
    SetModified();
    for (TQsoObserver* o : observers_)
        o->QsoInserted(rec);
    return i;
}

void TQsoData::DeleteQso(TQsoRecord* rec)
{
    for (TQsoObserver* o : observers_)
        o->QsoDeleting(rec);
    if (statusBuilt_)
        RemoveFromStatus(*rec);
    RemoveFrom(qsos_, CompareQsoByDate, rec);
    byCall_->Remove(rec);
    for (auto& ix : indexes_)
        ix->Remove(rec);
    FreeRecord(rec);
    SetModified();
}

TQsoRecord* TQsoData::ReplaceQso(const TQsoRecord& source, TQsoRecord* old)
{
    TQsoRecord* rec = NewQsoRecord();
    *rec = source;
    DeriveWpxPrefix(*rec);
    InsertQso(rec);
    DeleteQso(old);
    return rec;
}

int TQsoData::DeleteQsosIf(const std::function<bool(const TQsoRecord&)>& drop)
{
    std::vector<TQsoRecord*> gone;
    for (TQsoRecord* r : qsos_)
        if (drop(*r))
            gone.push_back(r);
    if (gone.empty())
        return 0;
    std::sort(gone.begin(), gone.end(), std::less<TQsoRecord*>());
    auto isGone = [&gone](TQsoRecord* r) { return std::binary_search(gone.begin(), gone.end(), r, std::less<TQsoRecord*>()); };
    auto sweep = [&isGone](TQsoPtrList& items) { items.erase(std::remove_if(items.begin(), items.end(), isGone), items.end()); };
    sweep(qsos_);
    sweep(byCall_->items_);
    for (auto& ix : indexes_)
        sweep(ix->items_);
    for (TQsoRecord* r : gone)
        FreeRecord(r);
    statusBuilt_ = false;
    SetModified();
    return static_cast<int>(gone.size());
}

void TQsoData::ReorderAfterEdits()
{
    auto less = [](const TQsoRecord* a, const TQsoRecord* b) { return CompareQsoByDate(a, b) < 0; };
    if (!std::is_sorted(qsos_.begin(), qsos_.end(), less))
        std::stable_sort(qsos_.begin(), qsos_.end(), less);
    auto inStep = [](const TQsoIndex& ix) {
        auto c = ix.compare_;
        return std::is_sorted(ix.items_.begin(), ix.items_.end(),
                              [c](const TQsoRecord* a, const TQsoRecord* b) { return Less(c, a, b); });
    };
    if (!inStep(*byCall_))
        byCall_->Sort();
    for (auto& ix : indexes_)
        if (!inStep(*ix))
            ix->Sort();
}

void TQsoData::RecountMaxSeqPrtNr()
{
    std::uint16_t top = 0;
    for (const TQsoRecord* r : qsos_)
        top = std::max(top, r->SeqPrtNr);
    MaxSeqPrtNr = top;
}

TQsoIndex* TQsoData::AddIndex(TCompareFunc compare)
{
    auto ix = std::make_unique<TQsoIndex>(compare);
    ix->items_ = qsos_;
    ix->Sort();
    indexes_.push_back(std::move(ix));
    return indexes_.back().get();
}

void TQsoData::RemoveIndex(TQsoIndex* index)
{
    auto it = std::find_if(indexes_.begin(), indexes_.end(), [index](const auto& p) { return p.get() == index; });
    if (it != indexes_.end())
        indexes_.erase(it);
}

void TQsoData::BeginBulk(bool keepSorted, std::size_t capacity)
{
    bulk_ = true;
    bulkKeepSorted_ = keepSorted;
    qsos_.reserve(qsos_.size() + capacity);
}

void TQsoData::BulkAdd(TQsoRecord* rec)
{
    if (bulkKeepSorted_) {
        int i = 0;
        FindIn(qsos_, CompareQsoByDate, rec, i);
        qsos_.insert(qsos_.begin() + i, rec);
    } else {
        qsos_.push_back(rec);
    }
}

void TQsoData::EndBulk(bool alreadySorted)
{
    bulk_ = false;
    auto less = [](const TQsoRecord* a, const TQsoRecord* b) { return CompareQsoByDate(a, b) < 0; };
    // The order is checked rather than trusted: a searched list out of order would misplace every
    // later insert. Imports mostly come in date order, so even an unsorted bulk is checked first:
    // the check reads the records once, in the order they were read.
    (void)alreadySorted;
    if (!std::is_sorted(qsos_.begin(), qsos_.end(), less))
        SortByDate(qsos_);
    byCall_->items_ = qsos_;
    byCall_->Sort();
    for (auto& ix : indexes_) {
        ix->items_ = qsos_;
        ix->Sort();
    }
    statusBuilt_ = false;
    for (TQsoObserver* o : observers_)
        o->QsosReset();
}

void TQsoData::AddObserver(TQsoObserver* observer)
{
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void TQsoData::RemoveObserver(TQsoObserver* observer)
{
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void TQsoData::SetModified()
{
    if (!modified_) {
        modified_ = true;
        LogHooks().ShowModified();
    }
    needsSaving_ = true;
    LogHooks().RestartAutoSave();
}

// ---- SWL ----

namespace {
bool FindSwlIn(const std::vector<TSwlRecord>& v, const TSwlRecord& key, int& index)
{
    auto it = std::lower_bound(v.begin(), v.end(), key,
                               [](const TSwlRecord& a, const TSwlRecord& k) { return CompareSwlRecords(&a, &k) < 0; });
    index = static_cast<int>(it - v.begin());
    return it != v.end() && CompareSwlRecords(&*it, &key) == 0;
}
} // namespace

bool TQsoData::FindSwl(const TSwlRecord& key, int& index) const { return FindSwlIn(swl_, key, index); }

int TQsoData::InsertSwl(const TSwlRecord& r)
{
    int i = 0;
    FindSwlIn(swl_, r, i);
    swl_.insert(swl_.begin() + i, r);
    SetModified();
    return i;
}

void TQsoData::DeleteSwl(int index)
{
    swl_.erase(swl_.begin() + index);
    SetModified();
}

int TQsoData::DeleteSwlIf(const std::function<bool(const TSwlRecord&)>& drop)
{
    auto end = std::remove_if(swl_.begin(), swl_.end(), drop);
    const int n = static_cast<int>(swl_.end() - end);
    swl_.erase(end, swl_.end());
    if (n > 0)
        SetModified();
    return n;
}

void TQsoData::EndSwlBulk()
{
    auto less = [](const TSwlRecord& a, const TSwlRecord& b) { return CompareSwlRecords(&a, &b) < 0; };
    if (!std::is_sorted(swl_.begin(), swl_.end(), less))
        std::stable_sort(swl_.begin(), swl_.end(), less);
}

// ---- notes ----

void TQsoData::AppendCallNote(std::string_view call, std::string_view text)
{
    int i = Notes.IndexOf(call);
    if (i >= 0)
        Notes.Set(call, std::string(Notes.TextAt(i)) + "/" + std::string(text));
    else
        Notes.Set(call, text);
    SetModified();
}

void TQsoData::SetCallNote(std::string_view call, std::string_view text)
{
    Notes.Set(call, text);
    SetModified();
}

void TQsoData::DeleteUnworkedNote(std::string_view call)
{
    TQsoRecord key;
    key.Call.assign(call);
    int i = 0;
    byCall_->Find(key, i);
    if (i < byCall_->Count() && byCall_->At(i)->Call == call)
        return;
    int n = Notes.IndexOf(call);
    if (n >= 0) {
        Notes.Delete(n);
        SetModified();
    }
}

// ---- selection and groups ----

bool TQsoData::InSelection(const TQsoRecord& r) const
{
    const TQsoSelection& s = Selection;
    if (s.DateRange && (r.Date < s.FromDate || r.Date > s.ToDate))
        return false;
    if (s.GroupFlag && !s.Bit(r.Group))
        return false;
    if (s.Bit(TQsoSelection::kQrpOnlyBit) && !r.HasFlag(qfQRP))
        return false;
    if (s.Bit(TQsoSelection::kYlOnlyBit) && !r.HasFlag(qfYL))
        return false;
    return true;
}

std::string TQsoData::GroupName(const TQsoRecord& r) const { return GroupNameOf(r.Group); }

std::string TQsoData::GroupNameOf(std::uint8_t group) const
{
    if (group == 0 || group > GroupNames.size())
        return {};
    return GroupNames[group - 1u];
}

// ---- award status ----

namespace {
struct TAwardMasks {
    std::uint32_t mixed, mode, band;
};
constexpr TAwardMasks kMasks[4] = {
    {afDxccMixed, afDxccMode, afDxccBand},
    {afWazMixed, afWazMode, afWazBand},
    {afWasMixed, afWasMode, afWasBand},
    {afWpxMixed, afWpxMode, afWpxBand},
};
} // namespace

std::uint8_t TQsoData::BaseStatus(const TQsoRecord& r) const
{
    if (!InSelection(r) || r.RstRcvd == 0)
        return asNone;
    if (!r.HasFlag(qfQslReceived)) {
        if (r.QslSentDate != 0 && r.Date >= settings_.qslSentCutoff)
            return asQslSent;
        return r.Date >= settings_.workedCutoff ? asWorked : asNone;
    }
    return asConfirmed;
}

std::uint8_t TQsoData::QsoStatus(const TQsoRecord& r, std::uint32_t mask) const
{
    std::uint8_t s = BaseStatus(r);
    if (s != asConfirmed || r.AwardFlags == 0)
        return s;
    if (r.AwardFlags & mask)
        return asSubmitted;
    if (r.AwardFlags & (mask << 1))
        return asCredited;
    return asConfirmed;
}

bool TQsoData::AwardTakes(const TQsoRecord& r, int award) const
{
    // A QSO without a band of the table (60 m, 4 m) counts for the award as a whole and its mode
    // group, never for a band: AddToStatus fills no band cell for band 0.
    if (!(r.Band == 0 || settings_.AwardBandValid(award, r.Band)) || !settings_.AwardModeValid(award, r.Mode))
        return false;
    switch (award) {
    case awDxcc:
        return r.HasFlag(qfValidForAwards);
    case awWaz:
        return r.Zone < kZoneBlocks;
    case awWas:
        return r.State != 0 && r.State < kStateBlocks;
    default:
        return !r.WpxPrefix.empty();
    }
}

TAwardStatusBlock* TQsoData::EntityBlock(const TQsoRecord& r, int award, bool create)
{
    switch (award) {
    case awDxcc:
        return QsoLookup().CountryStatusBlock(r.Country);
    case awWaz:
        return &zones_[r.Zone];
    case awWas:
        return &states_[r.State];
    default:
        return QsoLookup().WpxStatusBlock(r.WpxPrefix.view(), create);
    }
}

template <typename Fn>
bool TQsoData::ForEachStatusBlock(const TQsoRecord& r, bool create, Fn fn)
{
    for (int award = awDxcc; award <= awWpx; ++award) {
        if (!AwardTakes(r, award))
            continue;
        TAwardStatusBlock* b = EntityBlock(r, award, create);
        if (!b) {
            if (award == awWpx)
                return false;  // a counted prefix missing from the statistics: rebuild instead
            continue;          // a country without a block
        }
        if (!fn(*b, award))
            return false;
    }
    return true;
}

TAwardStatusBlock* TQsoData::CountedBlock(const TQsoRecord& r, int award)
{
    if (!statusBuilt_ || r.Date < cutoffs_[LogModeGroup(r.Mode)] || BaseStatus(r) == asNone || !AwardTakes(r, award))
        return nullptr;
    return EntityBlock(r, award, false);
}

void TQsoData::AddToStatus(const TQsoRecord& r)
{
    int group = LogModeGroup(r.Mode);
    if (r.Date < cutoffs_[group] || BaseStatus(r) == asNone)
        return;
    bool bandOk = r.Band >= 1 && r.Band <= 15 && group != 0;
    ForEachStatusBlock(r, true, [&](TAwardStatusBlock& b, int award) {
        const TAwardMasks& m = kMasks[award];
        b.Merge(0, QsoStatus(r, m.mixed));
        if (group != 0)
            b.Merge(group, QsoStatus(r, m.mode));
        if (bandOk)
            b.Merge(TAwardStatusBlock::CellOf(r.Band, group), QsoStatus(r, m.band));
        return true;
    });
}

void TQsoData::RemoveFromStatus(const TQsoRecord& r)
{
    statusBuilt_ = false;
    int group = LogModeGroup(r.Mode);
    if (r.Date < cutoffs_[group] || BaseStatus(r) == asNone) {
        statusBuilt_ = true;
        return;
    }
    bool bandOk = r.Band >= 1 && r.Band <= 15 && group != 0;
    // Decrements the cell when it holds the QSO's status; the last QSO of a status leaves
    // the cell to a rebuild (a lower status may be behind it).
    auto drop = [](TAwardStatusBlock& b, int cell, std::uint8_t status) {
        if (b.Status(cell) != status)
            return true;
        if (b.Count(cell) < 2)
            return false;
        b.Set(cell, status, static_cast<std::uint8_t>(b.Count(cell) - 1));
        return true;
    };
    bool ok = ForEachStatusBlock(r, false, [&](TAwardStatusBlock& b, int award) {
        const TAwardMasks& m = kMasks[award];
        if (!drop(b, 0, QsoStatus(r, m.mixed)))
            return false;
        if (group != 0 && !drop(b, group, QsoStatus(r, m.mode)))
            return false;
        if (bandOk && !drop(b, TAwardStatusBlock::CellOf(r.Band, group), QsoStatus(r, m.band)))
            return false;
        return true;
    });
    statusBuilt_ = ok;
}

void TQsoData::BuildAwardStatus(const std::uint16_t cutoffs[4])
{
    if (statusBuilt_)
        return;
    settings_ = CurrentLogSettings();
    std::copy(cutoffs, cutoffs + 4, cutoffs_);
    TQsoLookup& lookup = QsoLookup();
    lookup.ClearCountryStatus();
    lookup.ClearWpxStatus();
    for (auto& b : zones_)
        b.Clear();
    for (auto& b : states_)
        b.Clear();
    for (const TQsoRecord* r : qsos_)
        AddToStatus(*r);
    statusBuilt_ = true;
}

void TQsoData::EnsureAwardStatus()
{
    const std::uint16_t cutoffs[4] = {kAwardEpoch, kAwardEpoch, kAwardEpoch, kAwardEpoch};
    BuildAwardStatus(cutoffs);
}

namespace {
bool StartsWithNoCase(std::string_view s, std::string_view prefix)
{
    if (prefix.size() > s.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char a = s[i], b = prefix[i];
        if (a >= 'a' && a <= 'z')
            a = static_cast<char>(a - 32);
        if (b >= 'a' && b <= 'z')
            b = static_cast<char>(b - 32);
        if (a != b)
            return false;
    }
    return true;
}
} // namespace

std::unique_ptr<TAwardStatusBlock> TQsoData::IotaStatus(std::string_view reference) const
{
    auto block = std::make_unique<TAwardStatusBlock>();
    TLogSettings s = CurrentLogSettings();
    auto count = [&](const TQsoRecord& r, std::uint32_t mask) {
        int group = LogModeGroup(r.Mode);
        if (!s.IsStationBand(r.Band) || !s.IsStationMode(r.Mode) || r.RstRcvd == 0 || r.Band < 1 || r.Band > 15 ||
            group == 0)
            return;
        block->Merge(TAwardStatusBlock::CellOf(r.Band, group), QsoStatus(r, mask));
    };
    for (const TQsoRecord* r : qsos_)
        if (InSelection(*r) && r->Iota == reference)
            count(*r, afIota);
    for (int b = 1; b <= 15; ++b) {
        int first = TAwardStatusBlock::CellOf(b, 1);
        std::uint8_t top = std::max({block->Status(first), block->Status(first + 1), block->Status(first + 2)});
        block->Set(first, top, block->Count(first));
    }
    return block;
}

std::unique_ptr<TAwardStatusBlock> TQsoData::GridStatus(std::string_view gridPrefix) const
{
    auto block = std::make_unique<TAwardStatusBlock>();
    TLogSettings s = CurrentLogSettings();
    for (const TQsoRecord* pr : qsos_) {
        const TQsoRecord& r = *pr;
        int group = LogModeGroup(r.Mode);
        if (!InSelection(r) || r.Band < 10 || r.Band > 15 || !StartsWithNoCase(r.Grid.view(), gridPrefix))
            continue;
        if (!s.IsStationBand(r.Band) || !s.IsStationMode(r.Mode) || r.RstRcvd == 0 || group == 0)
            continue;
        block->Merge(TAwardStatusBlock::CellOf(r.Band, group), QsoStatus(r, afVucc));
    }
    for (int b = 1; b <= 15; ++b) {
        int first = TAwardStatusBlock::CellOf(b, 1);
        std::uint8_t top = std::max({block->Status(first), block->Status(first + 1), block->Status(first + 2)});
        block->Set(first, top, block->Count(first));
    }
    return block;
}

// ---- the current logbook ----

namespace {
std::unique_ptr<TQsoData>& Current()
{
    static std::unique_ptr<TQsoData> log;
    return log;
}
} // namespace

TQsoData* CurrentLog() { return Current().get(); }
void SetCurrentLog(std::unique_ptr<TQsoData> log) { Current() = std::move(log); }
void FreeCurrentLog() { Current().reset(); }

TQsoData* NewLog(const std::string& fileName)
{
    LogHooks().StopAutoSave();
    SetCurrentLog(std::make_unique<TQsoData>(fileName));
    TQsoData* log = CurrentLog();
    std::error_code ec;
    auto folder = std::filesystem::path(fileName).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder, ec);
    log->SetModified();
    log->MarkAwardStatusNotBuilt();
    LogHooks().ShowQsoWindow();
    return log;
}

} // namespace korval
