#include "libs/ppd/unrarlib/large_buffers.h"

#include "libs/ppd/unrarlib/unpack20.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr std::size_t kHugePage = 2u << 20;

// The window's mapping: a whole huge page, of which the window uses the first
// megabyte (a fresh anonymous mapping is zero).
constexpr std::size_t kWindowMapping = kRarWindowSize < kHugePage ? kHugePage : kRarWindowSize;

}  // namespace

std::uint8_t* rar_allocate_window() {
    void* p = mmap(nullptr, kWindowMapping, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return p == MAP_FAILED ? nullptr : static_cast<std::uint8_t*>(p);
}

void rar_window_expect_large(std::uint8_t* window) {
#ifdef MADV_HUGEPAGE
    if (window) madvise(window, kWindowMapping, MADV_HUGEPAGE);  // only a hint
#else
    (void)window;
#endif
}

void rar_release_window(std::uint8_t* window) {
    if (window) munmap(window, kWindowMapping);
}

std::uint8_t* rar_allocate_output(std::uint32_t size, bool reusable, std::uint32_t* capacity) {
#ifdef MADV_HUGEPAGE
    // A large buffer (or one that will serve many members) on huge pages.
    if (size >= 2 * kHugePage || reusable) {
        const std::size_t rounded = (static_cast<std::size_t>(size) + kHugePage - 1) / kHugePage * kHugePage;
        const std::size_t bytes = reusable ? (rounded > kHugePage ? rounded : kHugePage) : size;
        void* p = nullptr;
        if (posix_memalign(&p, kHugePage, bytes) != 0) return nullptr;
        madvise(p, bytes / kHugePage * kHugePage, MADV_HUGEPAGE);  // only a hint
        *capacity = static_cast<std::uint32_t>(bytes < UINT32_MAX ? bytes : UINT32_MAX);
        return static_cast<std::uint8_t*>(p);
    }
#else
    (void)reusable;
#endif
    *capacity = size;
    return static_cast<std::uint8_t*>(std::malloc(size ? size : 1));
}
