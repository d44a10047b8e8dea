#include "grids/ovc_sparse_array.h"

#include <algorithm>

#include "entry/ovc_exceptions.h"

namespace korval {

void TOvcSparseArray::CheckIndex(int index)
{
    if (index < 0 || index >= Limit)
        throw ESAEOutOfBounds("Index is out of bounds for sparse array");
}

size_t TOvcSparseArray::FindPage(int page, bool& found) const
{
    auto it = std::lower_bound(dir_.begin(), dir_.end(), page,
                               [](const TDirEntry& e, int p) { return e.Number < p; });
    found = it != dir_.end() && it->Number == page;
    return static_cast<size_t>(it - dir_.begin());
}

TOvcSparseArray::TPage* TOvcSparseArray::PageAt(int page) const
{
    bool found = false;
    const size_t at = FindPage(page, found);
    return found ? dir_[at].Page.get() : nullptr;
}

TOvcSparseArray::TPage& TOvcSparseArray::MakePage(int page)
{
    bool found = false;
    const size_t at = FindPage(page, found);
    if (found)
        return *dir_[at].Page;
    auto p = std::make_unique<TPage>();
    p->fill(nullptr);
    TPage& ref = *p;
    dir_.insert(dir_.begin() + static_cast<std::ptrdiff_t>(at), TDirEntry{static_cast<uint16_t>(page), std::move(p)});
    return ref;
}

void* TOvcSparseArray::Get(int index) const
{
    CheckIndex(index);
    const TPage* p = PageAt(index / PageSize);
    return p ? (*p)[index % PageSize] : nullptr;
}

void TOvcSparseArray::Put(int index, void* item)
{
    CheckIndex(index);
    if (item) {
        MakePage(index / PageSize)[index % PageSize] = item;
    } else {
        TPage* p = PageAt(index / PageSize);
        if (!p)
            return;
        (*p)[index % PageSize] = nullptr;
        Squeeze();
    }
    RecalcUpper();
}

void TOvcSparseArray::Insert(int index, void* item)
{
    CheckIndex(index);
    if (upper_ >= Limit)
        throw ESAEAtMaxSize("Sparse array is at the maximum size");
    if (index >= upper_) {
        Put(index, item);
        return;
    }
    const int first = index / PageSize;
    // From the last page down, so the slot each carry lands in has already been emptied.
    for (size_t i = dir_.size(); i-- > 0;) {
        const int number = dir_[i].Number;
        if (number < first)
            break;
        TPage& page = *dir_[i].Page;
        const int from = number == first ? index % PageSize : 0;
        void* carry = page[PageSize - 1];
        for (int s = PageSize - 1; s > from; --s)
            page[s] = page[s - 1];
        page[from] = nullptr;
        if (carry)
            MakePage(number + 1)[0] = carry;  // may move dir_ entries after i, not i itself
    }
    if (item)
        MakePage(first)[index % PageSize] = item;
    Squeeze();
    RecalcUpper();
}

void TOvcSparseArray::Delete(int index)
{
    CheckIndex(index);
    if (index >= upper_)
        return;
    const int first = index / PageSize;
    if (TPage* p = PageAt(first)) {
        for (int s = index % PageSize; s < PageSize - 1; ++s)
            (*p)[s] = (*p)[s + 1];
        (*p)[PageSize - 1] = nullptr;
    }
    // Each later page gives its first item to the page before it.
    for (size_t i = 0; i < dir_.size(); ++i) {
        const int number = dir_[i].Number;
        if (number <= first)
            continue;
        TPage& page = *dir_[i].Page;
        void* head = page[0];
        for (int s = 0; s < PageSize - 1; ++s)
            page[s] = page[s + 1];
        page[PageSize - 1] = nullptr;
        if (head) {
            bool found = false;
            FindPage(number - 1, found);
            MakePage(number - 1)[PageSize - 1] = head;
            if (!found)
                ++i;  // the new page went in before this one
        }
    }
    Squeeze();
    RecalcUpper();
}

void TOvcSparseArray::Exchange(int index1, int index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    void* a = Get(index1);
    void* b = Get(index2);
    Put(index1, b);
    Put(index2, a);
}

void TOvcSparseArray::Clear()
{
    dir_.clear();
    upper_ = 0;
}

int TOvcSparseArray::ForAll(const std::function<bool(int, void*)>& action, bool backwards) const
{
    auto visitPage = [&](const TDirEntry& e) -> int {
        for (int k = 0; k < PageSize; ++k) {
            const int s = backwards ? PageSize - 1 - k : k;
            if (void* item = (*e.Page)[s]) {
                const int index = e.Number * PageSize + s;
                if (!action(index, item))
                    return index;
            }
        }
        return -1;
    };
    if (backwards) {
        for (auto it = dir_.rbegin(); it != dir_.rend(); ++it)
            if (int stop = visitPage(*it); stop >= 0)
                return stop;
    } else {
        for (const TDirEntry& e : dir_)
            if (int stop = visitPage(e); stop >= 0)
                return stop;
    }
    return -1;
}

int TOvcSparseArray::Count() const
{
    int n = 0;
    for (const TDirEntry& e : dir_)
        n += static_cast<int>(std::count_if(e.Page->begin(), e.Page->end(), [](void* p) { return p != nullptr; }));
    return n;
}

void TOvcSparseArray::Squeeze()
{
    std::erase_if(dir_, [](const TDirEntry& e) {
        return std::all_of(e.Page->begin(), e.Page->end(), [](void* p) { return p == nullptr; });
    });
}

void TOvcSparseArray::RecalcUpper()
{
    upper_ = 0;
    for (auto it = dir_.rbegin(); it != dir_.rend(); ++it)
        for (int s = PageSize - 1; s >= 0; --s)
            if ((*it->Page)[s]) {
                upper_ = it->Number * PageSize + s + 1;
                return;
            }
}

} // namespace korval
