#include "allocation_counter.h"

#include <dlfcn.h>
#include <link.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* pointer);
}

namespace plexa::bench {
namespace {

struct CodeRange {
    std::uintptr_t begin;
    std::uintptr_t end;
};

constexpr int kMaxRanges = 64;
CodeRange ranges[kMaxRanges];
std::atomic<int> rangeCount{0};
std::atomic<bool> counting{false};
std::atomic<std::int64_t> counted{0};
thread_local bool countingThread = false;

// Where the counted allocations were made, for reportAllocationSites.
struct Site {
    std::uintptr_t caller;
    std::int64_t count;
};
constexpr int kMaxSites = 256;
Site sites[kMaxSites];
int siteCount = 0;
std::mutex sitesMutex;

void noteSite(std::uintptr_t caller) {
    const std::lock_guard<std::mutex> lock(sitesMutex);
    for (int i = 0; i < siteCount; ++i) {
        if (sites[i].caller == caller) {
            ++sites[i].count;
            return;
        }
    }
    if (siteCount < kMaxSites) sites[siteCount++] = {caller, 1};
}

struct Fragments {
    const char* const* names;
    int count;
};

int noteLibrary(dl_phdr_info* info, std::size_t, void* data) {
    const auto* fragments = static_cast<const Fragments*>(data);
    if (info->dlpi_name == nullptr) return 0;
    bool ours = false;
    for (int i = 0; i < fragments->count; ++i) ours = ours || std::strstr(info->dlpi_name, fragments->names[i]);
    if (!ours) return 0;
    for (int s = 0; s < info->dlpi_phnum; ++s) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[s];
        const int n = rangeCount.load();
        if (segment.p_type != PT_LOAD || (segment.p_flags & PF_X) == 0 || n == kMaxRanges) continue;
        const std::uintptr_t begin = info->dlpi_addr + segment.p_vaddr;
        ranges[n] = {begin, begin + segment.p_memsz};
        rangeCount.store(n + 1);
    }
    return 0;
}

void note(const void* caller) {
    if (!counting.load(std::memory_order_relaxed) || countingThread) return;
    const auto address = reinterpret_cast<std::uintptr_t>(caller);
    const int n = rangeCount.load(std::memory_order_relaxed);
    for (int i = 0; i < n; ++i) {
        if (address >= ranges[i].begin && address < ranges[i].end) {
            counted.fetch_add(1, std::memory_order_relaxed);
            noteSite(address);
            return;
        }
    }
}

void* allocateOrThrow(std::size_t size) {
    void* pointer = __libc_malloc(size == 0 ? 1 : size);
    if (pointer == nullptr) throw std::bad_alloc();
    return pointer;
}

void* allocateAlignedOrThrow(std::size_t size, std::align_val_t alignment) {
    void* pointer = __libc_memalign(static_cast<std::size_t>(alignment), size == 0 ? 1 : size);
    if (pointer == nullptr) throw std::bad_alloc();
    return pointer;
}

}  // namespace

void attributeAllocationsTo(const char* const* nameFragments, int fragmentCount) {
    Fragments fragments{nameFragments, fragmentCount};
    rangeCount.store(0);
    dl_iterate_phdr(noteLibrary, &fragments);
}

void reportAllocationSites(std::FILE* out) {
    const std::lock_guard<std::mutex> lock(sitesMutex);
    for (int i = 0; i < siteCount; ++i) {
        Dl_info info{};
        const void* caller = reinterpret_cast<const void*>(sites[i].caller);
        if (dladdr(caller, &info) != 0 && info.dli_fname != nullptr) {
            std::fprintf(out, "  %8lld  %s+0x%lx (%s)\n", static_cast<long long>(sites[i].count), info.dli_fname,
                         static_cast<unsigned long>(sites[i].caller - reinterpret_cast<std::uintptr_t>(info.dli_fbase)),
                         info.dli_sname != nullptr ? info.dli_sname : "?");
        }
    }
    siteCount = 0;
}

void startCountingAllocations() {
    countingThread = true;
    counted.store(0);
    counting.store(true);
}

std::int64_t stopCountingAllocations() {
    counting.store(false);
    countingThread = false;
    return counted.load();
}

}  // namespace plexa::bench

using plexa::bench::note;

// The program is built with hidden symbols; these must be seen by every
// library it loads.
#define PLEXA_REPLACES_ALLOCATOR __attribute__((visibility("default")))

extern "C" {
PLEXA_REPLACES_ALLOCATOR void* malloc(std::size_t size) {
    note(__builtin_return_address(0));
    return __libc_malloc(size);
}
PLEXA_REPLACES_ALLOCATOR void* calloc(std::size_t count, std::size_t size) {
    note(__builtin_return_address(0));
    return __libc_calloc(count, size);
}
PLEXA_REPLACES_ALLOCATOR void* realloc(void* pointer, std::size_t size) {
    note(__builtin_return_address(0));
    return __libc_realloc(pointer, size);
}
PLEXA_REPLACES_ALLOCATOR void* memalign(std::size_t alignment, std::size_t size) {
    note(__builtin_return_address(0));
    return __libc_memalign(alignment, size);
}
PLEXA_REPLACES_ALLOCATOR void* aligned_alloc(std::size_t alignment, std::size_t size) {
    note(__builtin_return_address(0));
    return __libc_memalign(alignment, size);
}
PLEXA_REPLACES_ALLOCATOR int posix_memalign(void** result, std::size_t alignment, std::size_t size) {
    note(__builtin_return_address(0));
    void* pointer = __libc_memalign(alignment, size);
    if (pointer == nullptr) return ENOMEM;
    *result = pointer;
    return 0;
}
PLEXA_REPLACES_ALLOCATOR void free(void* pointer) { __libc_free(pointer); }
}

PLEXA_REPLACES_ALLOCATOR void* operator new(std::size_t size) {
    note(__builtin_return_address(0));
    return plexa::bench::allocateOrThrow(size);
}
PLEXA_REPLACES_ALLOCATOR void* operator new[](std::size_t size) {
    note(__builtin_return_address(0));
    return plexa::bench::allocateOrThrow(size);
}
PLEXA_REPLACES_ALLOCATOR void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    note(__builtin_return_address(0));
    return __libc_malloc(size == 0 ? 1 : size);
}
PLEXA_REPLACES_ALLOCATOR void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    note(__builtin_return_address(0));
    return __libc_malloc(size == 0 ? 1 : size);
}
PLEXA_REPLACES_ALLOCATOR void* operator new(std::size_t size, std::align_val_t alignment) {
    note(__builtin_return_address(0));
    return plexa::bench::allocateAlignedOrThrow(size, alignment);
}
PLEXA_REPLACES_ALLOCATOR void* operator new[](std::size_t size, std::align_val_t alignment) {
    note(__builtin_return_address(0));
    return plexa::bench::allocateAlignedOrThrow(size, alignment);
}
PLEXA_REPLACES_ALLOCATOR void operator delete(void* pointer) noexcept { __libc_free(pointer); }
PLEXA_REPLACES_ALLOCATOR void operator delete[](void* pointer) noexcept { __libc_free(pointer); }
PLEXA_REPLACES_ALLOCATOR void operator delete(void* pointer, std::size_t) noexcept { __libc_free(pointer); }
PLEXA_REPLACES_ALLOCATOR void operator delete[](void* pointer, std::size_t) noexcept { __libc_free(pointer); }
PLEXA_REPLACES_ALLOCATOR void operator delete(void* pointer, std::align_val_t) noexcept { __libc_free(pointer); }
PLEXA_REPLACES_ALLOCATOR void operator delete[](void* pointer, std::align_val_t) noexcept { __libc_free(pointer); }
PLEXA_REPLACES_ALLOCATOR void operator delete(void* pointer, std::size_t, std::align_val_t) noexcept { __libc_free(pointer); }
PLEXA_REPLACES_ALLOCATOR void operator delete[](void* pointer, std::size_t, std::align_val_t) noexcept { __libc_free(pointer); }
