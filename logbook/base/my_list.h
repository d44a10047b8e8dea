#pragma once
// The growable pointer list at the base of nearly every in-memory collection, the list kept in
// the order of a compare routine (TBAI) and the owning sorted list with secondary indexes
// (TBRSorted). Items are plain pointers in one contiguous array; the lists add no per-item memory.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace korval {

// Raised for a capacity or count outside 0 .. MaxListSize - 1; the list is left unchanged.
class EListError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr std::int32_t MaxListSize = 134217728;  // 2^27 entries

// Binary search over items 0 .. count - 1 kept in ascending order: index becomes the first item
// that does not sort before the key (count when none), and the result tells whether it equals the
// key. On a match the search keeps going left, so among equal items the first one is found.
// compareAt(i) compares item i with the key (<0, 0, >0).
template <class CompareAt>
bool FindFirstNotBefore(std::int32_t count, CompareAt compareAt, std::int32_t& index)
{
    std::int32_t lo = 0;
    std::int32_t hi = count - 1;
    bool found = false;
    while (hi >= lo) {
        auto mid = static_cast<std::int32_t>((static_cast<std::uint32_t>(lo) + static_cast<std::uint32_t>(hi)) >> 1);
        std::int32_t r = compareAt(mid);
        if (r < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (r == 0)
                found = true;
        }
    }
    index = lo;
    return found;
}

// A number no list has had before: a list takes a new one with every change.
std::uint64_t NextListVersion();

class TMyList {
public:
    TMyList() : version_(NextListVersion()) {}
    virtual ~TMyList();
    TMyList(const TMyList&) = delete;
    TMyList& operator=(const TMyList&) = delete;

    std::int32_t Add(void* item);
    // 0 <= index <= Count; not checked.
    void Insert(std::int32_t index, void* item);
    // Removes the entry (the item is not freed); 0 <= index < Count, not checked.
    void Delete(std::int32_t index);
    void* At(std::int32_t index) const { return items_[index]; }
    void Put(std::int32_t index, void* item)
    {
        items_[index] = item;
        Changed();
    }
    std::int32_t IndexOf(const void* item) const;
    std::int32_t Count() const { return count_; }
    std::int32_t Capacity() const { return capacity_; }
    void SetCapacity(std::int32_t n);
    // Entries between the old and the new count are cleared to null.
    void SetCount(std::int32_t n);
    // Count and capacity to 0; items are not freed.
    void Clear();
    // The contiguous array of item pointers (Count entries in use).
    void** Items() const { return items_; }
    // Changes whenever items are added, removed, replaced or reordered, to a value no list has
    // had before: what is built from a list's order (a hash of its keys) can tell it is stale.
    std::uint64_t Version() const { return version_; }

    // The next capacity Grow would choose for a given one.
    static std::int32_t GrowDelta(std::int32_t capacity)
    {
        return capacity >= 65 ? capacity / 4 : capacity >= 9 ? 16 : 4;
    }

protected:
    virtual void Grow();
    // Raises EListError with the message formatted with the value ("%d").
    [[noreturn]] virtual void Error(const char* message, std::int32_t value);
    void Changed() { version_ = NextListVersion(); }

    void** items_ = nullptr;
    std::int32_t count_ = 0;
    std::int32_t capacity_ = 0;
    std::uint64_t version_;
};

// Compare routine of two items: negative when a sorts before b, zero when equal, else positive.
using TCompareFunc = std::int32_t (*)(const void* a, const void* b);

// Called with true before and false after sorting a list of SortNotifyThreshold items or more,
// so that the main window can show "Sorting" and the busy cursor meanwhile. Null: nothing shown.
using TSortNotify = void (*)(bool starting);
inline constexpr std::int32_t SortNotifyThreshold = 5000;
TSortNotify SetSortNotify(TSortNotify notify);

class TBAI : public TMyList {
public:
    explicit TBAI(TCompareFunc compare = nullptr);

    TCompareFunc Compare() const { return compare_; }
    // A different routine clears Sorted; the items are sorted again only by SetSorted(true).
    void SetCompare(TCompareFunc compare);
    bool Sorted() const { return sorted_; }
    // Changing to true sorts the items.
    void SetSorted(bool flag);
    // Sets Sorted without sorting: the caller guarantees the order.
    void MarkSorted() { sorted_ = true; }

    // Binary search with Compare(item, key): index = the first position whose item does not
    // sort before the key (the first of several equal ones); true when that item equals the key.
    bool Find(const void* key, std::int32_t& index) const;
    // Sorted: inserted before the items that compare equal to it. Unsorted: appended.
    std::int32_t Add(void* item);
    // Sorts unless already sorted (quicksort, not stable).
    void Sort();
    // Position of exactly this item pointer, found by binary search when sorted; -1 when absent.
    std::int32_t IndexOfItem(const void* item) const;

    TBAI* Next() const { return next_; }

protected:
    void QuickSort(std::int32_t lo, std::int32_t hi);

    TBAI* next_ = nullptr;
    bool sorted_ = false;
    TCompareFunc compare_ = nullptr;

    friend class TBRSorted;
};

// A TBAI that owns its items and keeps a chain of secondary TBAI indexes over the same items
// in step. Items are heap blocks from ::operator new (or new of a trivially destructible type);
// a descendant whose items hold more than that overrides FreeItem and calls FreeAll() in its own
// destructor (by the time ~TBRSorted runs, the override can no longer be reached).
class TBRSorted : public TBAI {
public:
    explicit TBRSorted(TCompareFunc compare);
    ~TBRSorted() override;

    // Adds to the list and to every chained index; returns the position in the primary order.
    std::int32_t Add(void* item);
    // Removes the item from every chained index and from the list, and frees it.
    void DeleteAndFree(std::int32_t index);
    // Frees every item and empties the list and its indexes.
    void FreeAll();
    // A new secondary index in that order, filled with the current items and sorted once.
    // The list owns it; the caller keeps the pointer to use it.
    TBAI* AddIndex(TCompareFunc compare);
    // Unlinks and frees a secondary index (the items stay).
    void RemoveIndex(TBAI* index);
    void SetCapacityAll(std::int32_t n);
    // Bulk loading: appends without searching until EndUpdate.
    void BeginUpdate(bool keepSorted);
    // alreadySorted: the items were added in primary order. Every chained index sorts once.
    void EndUpdate(bool alreadySorted);

protected:
    virtual void FreeItem(void* item);
};

} // namespace korval
