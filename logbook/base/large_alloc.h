#pragma once
// An allocator for the logbook's big arrays (a pointer per QSO, sort keys): blocks of 2 MB and
// more are aligned so that the system can back them with large pages, which spares a big log
// most of its page faults. Smaller blocks come from the ordinary heap.
#include <cstddef>
#include <cstdlib>
#include <new>

namespace korval {

void* LargeAlloc(std::size_t bytes);
void LargeFree(void* p) noexcept;

template <typename T>
struct TLargeAllocator {
    using value_type = T;
    TLargeAllocator() = default;
    template <typename U>
    TLargeAllocator(const TLargeAllocator<U>&) noexcept
    {
    }
    T* allocate(std::size_t n) { return static_cast<T*>(LargeAlloc(n * sizeof(T))); }
    void deallocate(T* p, std::size_t) noexcept { LargeFree(p); }
    template <typename U>
    bool operator==(const TLargeAllocator<U>&) const noexcept
    {
        return true;
    }
};

} // namespace korval
