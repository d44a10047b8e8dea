#include "logbook/base/my_list.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace korval {

// ---- TMyList ----

std::uint64_t NextListVersion()
{
    static std::atomic<std::uint64_t> last{0};
    return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

TMyList::~TMyList()
{
    std::free(items_);
}

void TMyList::Error(const char* message, std::int32_t value)
{
    char text[128];
    std::snprintf(text, sizeof text, message, static_cast<int>(value));
    throw EListError(text);
}

void TMyList::Grow()
{
    SetCapacity(capacity_ + GrowDelta(capacity_));
}

std::int32_t TMyList::Add(void* item)
{
    if (count_ == capacity_)
        Grow();
    items_[count_] = item;
    Changed();
    return count_++;
}

void TMyList::Insert(std::int32_t index, void* item)
{
    if (count_ == capacity_)
        Grow();
    if (index < count_)
        std::memmove(items_ + index + 1, items_ + index, static_cast<std::size_t>(count_ - index) * sizeof(void*));
    items_[index] = item;
    ++count_;
    Changed();
}

void TMyList::Delete(std::int32_t index)
{
    --count_;
    if (index < count_)
        std::memmove(items_ + index, items_ + index + 1, static_cast<std::size_t>(count_ - index) * sizeof(void*));
    Changed();
}

std::int32_t TMyList::IndexOf(const void* item) const
{
    for (std::int32_t i = 0; i < count_; ++i)
        if (items_[i] == item)
            return i;
    return -1;
}

void TMyList::SetCapacity(std::int32_t n)
{
    if (n < count_ || n >= MaxListSize)
        Error("List capacity out of bounds (%d)", n);
    if (n == capacity_)
        return;
    if (n == 0) {
        std::free(items_);
        items_ = nullptr;
    } else {
        void* p = std::realloc(items_, static_cast<std::size_t>(n) * sizeof(void*));
        if (!p)
            throw std::bad_alloc();
        items_ = static_cast<void**>(p);
    }
    capacity_ = n;
}

void TMyList::SetCount(std::int32_t n)
{
    if (n < 0 || n >= MaxListSize)
        Error("List count out of bounds (%d)", n);
    if (n > capacity_)
        SetCapacity(n);
    if (n > count_)
        std::memset(items_ + count_, 0, static_cast<std::size_t>(n - count_) * sizeof(void*));
    count_ = n;
    Changed();
}

void TMyList::Clear()
{
    SetCount(0);
    SetCapacity(0);
}

// ---- TBAI ----

namespace {

TSortNotify g_sortNotify = nullptr;

// Tells the window about a long sort and always tells it the end, also when a compare throws.
class SortNotice {
public:
    explicit SortNotice(bool show) : notify_(show ? g_sortNotify : nullptr)
    {
        if (notify_)
            notify_(true);
    }
    ~SortNotice()
    {
        if (notify_)
            notify_(false);
    }
    SortNotice(const SortNotice&) = delete;
    SortNotice& operator=(const SortNotice&) = delete;

private:
    TSortNotify notify_;
};

} // namespace

TSortNotify SetSortNotify(TSortNotify notify)
{
    return std::exchange(g_sortNotify, notify);
}

TBAI::TBAI(TCompareFunc compare) : sorted_(compare != nullptr), compare_(compare) {}

void TBAI::SetCompare(TCompareFunc compare)
{
    if (compare != compare_) {
        compare_ = compare;
        sorted_ = false;
    }
}

void TBAI::SetSorted(bool flag)
{
    if (flag && !sorted_)
        Sort();
    sorted_ = flag;
}

bool TBAI::Find(const void* key, std::int32_t& index) const
{
    return FindFirstNotBefore(count_, [&](std::int32_t i) { return compare_(items_[i], key); }, index);
}

std::int32_t TBAI::Add(void* item)
{
    if (!sorted_)
        return TMyList::Add(item);
    std::int32_t index;
    Find(item, index);
    Insert(index, item);
    return index;
}

std::int32_t TBAI::IndexOfItem(const void* item) const
{
    if (sorted_ && compare_) {
        std::int32_t i;
        if (Find(item, i))
            for (; i < count_ && compare_(items_[i], item) == 0; ++i)
                if (items_[i] == item)
                    return i;
    }
    // Unsorted, or the item's key was changed in place since it was added.
    return IndexOf(item);
}

void TBAI::Sort()
{
    if (sorted_)
        return;
    if (count_ > 1 && compare_) {
        SortNotice notice(count_ >= SortNotifyThreshold);
        QuickSort(0, count_ - 1);
        Changed();
    }
    sorted_ = true;
}

void TBAI::QuickSort(std::int32_t lo, std::int32_t hi)
{
    void** a = items_;
    while (hi - lo > 10) {
        void* pivot = a[(static_cast<std::uint32_t>(lo) + static_cast<std::uint32_t>(hi)) >> 1];
        std::int32_t i = lo;
        std::int32_t j = hi;
        do {
            while (compare_(a[i], pivot) < 0)
                ++i;
            while (compare_(a[j], pivot) > 0)
                --j;
            if (j >= i) {
                std::swap(a[i], a[j]);
                ++i;
                --j;
            }
        } while (j >= i);
        // Recurse into the smaller part, loop on the larger: the stack stays logarithmic.
        if (j - lo < hi - i) {
            if (j > lo)
                QuickSort(lo, j);
            lo = i;
        } else {
            if (i < hi)
                QuickSort(i, hi);
            hi = j;
        }
    }
    for (std::int32_t e = hi; e > lo; --e)
        for (std::int32_t k = lo; k < e; ++k)
            if (compare_(a[k + 1], a[k]) < 0)
                std::swap(a[k], a[k + 1]);
}

// ---- TBRSorted ----

TBRSorted::TBRSorted(TCompareFunc compare) : TBAI(compare) {}

TBRSorted::~TBRSorted()
{
    FreeAll();
    while (next_) {
        TBAI* index = next_;
        next_ = index->next_;
        delete index;
    }
}

void TBRSorted::FreeItem(void* item)
{
    ::operator delete(item);
}

std::int32_t TBRSorted::Add(void* item)
{
    std::int32_t index = TBAI::Add(item);
    for (TBAI* p = next_; p; p = p->next_)
        p->TBAI::Add(item);
    return index;
}

void TBRSorted::DeleteAndFree(std::int32_t index)
{
    void* item = items_[index];
    for (TBAI* p = next_; p; p = p->next_) {
        std::int32_t i = p->IndexOfItem(item);
        if (i >= 0)
            p->Delete(i);
    }
    FreeItem(item);
    Delete(index);
}

void TBRSorted::FreeAll()
{
    if (count_ == 0)
        return;
    for (TBAI* p = next_; p; p = p->next_)
        p->Clear();
    for (std::int32_t i = count_ - 1; i >= 0; --i)
        FreeItem(items_[i]);
    Clear();
}

TBAI* TBRSorted::AddIndex(TCompareFunc compare)
{
    auto* index = new TBAI(compare);
    index->next_ = next_;
    next_ = index;
    if (count_ > 0) {
        index->sorted_ = false;
        index->SetCapacity(count_);
        std::memcpy(index->items_, items_, static_cast<std::size_t>(count_) * sizeof(void*));
        index->count_ = count_;
        index->Changed();
        index->SetSorted(true);
    }
    return index;
}

void TBRSorted::RemoveIndex(TBAI* index)
{
    for (TBAI** link = &next_; *link; link = &(*link)->next_) {
        if (*link == index) {
            *link = index->next_;
            delete index;
            return;
        }
    }
}

void TBRSorted::SetCapacityAll(std::int32_t n)
{
    SetCapacity(n);
    for (TBAI* p = next_; p; p = p->next_)
        p->SetCapacity(n);
}

void TBRSorted::BeginUpdate(bool keepSorted)
{
    SetSorted(keepSorted);
    for (TBAI* p = next_; p; p = p->next_)
        p->SetSorted(false);
}

void TBRSorted::EndUpdate(bool alreadySorted)
{
    if (alreadySorted)
        MarkSorted();
    else
        SetSorted(true);
    for (TBAI* p = next_; p; p = p->next_)
        p->SetSorted(true);
}

} // namespace korval
