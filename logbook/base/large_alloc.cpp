#include "logbook/base/large_alloc.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace korval {

namespace {
constexpr std::size_t kLargePage = std::size_t(2) << 20;
}

void* LargeAlloc(std::size_t bytes)
{
    if (bytes < kLargePage) {
        if (void* p = std::malloc(bytes ? bytes : 1))
            return p;
        throw std::bad_alloc();
    }
    std::size_t rounded = (bytes + kLargePage - 1) / kLargePage * kLargePage;
    void* p = std::aligned_alloc(kLargePage, rounded);
    if (!p)
        throw std::bad_alloc();
#if defined(MADV_HUGEPAGE)
    ::madvise(p, rounded, MADV_HUGEPAGE);  // a hint; nothing depends on it
#endif
    return p;
}

void LargeFree(void* p) noexcept { std::free(p); }

} // namespace korval
