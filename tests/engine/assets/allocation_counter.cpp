#include "tests/engine/assets/allocation_counter.h"

#include <atomic>
#include <stddef.h>

#if defined(__SANITIZE_ADDRESS__)
#define QUARLO_SANITIZER_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUARLO_SANITIZER_ALLOCATOR 1
#endif
#endif

namespace {

std::atomic<int64_t> gLive{0};
std::atomic<int64_t> gPeak{0};
std::atomic<int64_t> gStart{0};

void added(size_t bytes) {
    int64_t live = gLive.fetch_add(static_cast<int64_t>(bytes)) + static_cast<int64_t>(bytes);
    int64_t peak = gPeak.load();
    while (live > peak && !gPeak.compare_exchange_weak(peak, live)) {
    }
}

void removed(size_t bytes) { gLive.fetch_sub(static_cast<int64_t>(bytes)); }

} // namespace

void startAllocationCount() {
    gStart = gLive.load();
    gPeak = gStart.load();
}

uint64_t allocationPeakSinceStart() {
    int64_t above = gPeak.load() - gStart.load();
    return above > 0 ? static_cast<uint64_t>(above) : 0;
}

#if defined(QUARLO_SANITIZER_ALLOCATOR)

// The sanitizer runtime's allocator interface (GCC ships the runtime without the header).
extern "C" {
int __sanitizer_install_malloc_and_free_hooks(void (*onAllocation)(const volatile void*, size_t),
                                              void (*onRelease)(const volatile void*));
size_t __sanitizer_get_allocated_size(const volatile void* block);
}

namespace {

void onAllocation(const volatile void*, size_t size) { added(size); }
void onRelease(const volatile void* block) { removed(__sanitizer_get_allocated_size(block)); }

const int gHooksInstalled = __sanitizer_install_malloc_and_free_hooks(onAllocation, onRelease);

} // namespace

#else

// glibc's own allocator under the names the program's calls resolve to. Sizes are
// counted as the allocator hands them out (malloc_usable_size), so that a release
// takes away exactly what its allocation added.
#include <errno.h>
#include <malloc.h>
#include <string.h>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* block);

void* malloc(size_t size) {
    void* block = __libc_malloc(size);
    if (block) added(malloc_usable_size(block));
    return block;
}

void* calloc(size_t count, size_t size) {
    void* block = __libc_calloc(count, size);
    if (block) added(malloc_usable_size(block));
    return block;
}

void* realloc(void* block, size_t size) {
    size_t before = block ? malloc_usable_size(block) : 0;
    void* moved = __libc_realloc(block, size);
    if (moved || size == 0) removed(before);
    if (moved) added(malloc_usable_size(moved));
    return moved;
}

void free(void* block) {
    if (block) removed(malloc_usable_size(block));
    __libc_free(block);
}

void* memalign(size_t alignment, size_t size) {
    void* block = __libc_memalign(alignment, size);
    if (block) added(malloc_usable_size(block));
    return block;
}

void* aligned_alloc(size_t alignment, size_t size) { return memalign(alignment, size); }

int posix_memalign(void** out, size_t alignment, size_t size) {
    if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) return EINVAL;
    void* block = memalign(alignment, size);
    if (!block) return ENOMEM;
    *out = block;
    return 0;
}
}

#endif
