#include "allocation_probe.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> probing{false};
std::atomic<std::size_t> largestSeen{0};

void note(std::size_t size) {
    if (!probing.load(std::memory_order_relaxed)) return;
    std::size_t seen = largestSeen.load();
    while (size > seen && !largestSeen.compare_exchange_weak(seen, size)) {
    }
}

}  // namespace

namespace plexa::test {

AllocationProbe::AllocationProbe() {
    largestSeen = 0;
    probing = true;
}

AllocationProbe::~AllocationProbe() {
    probing = false;
}

std::size_t AllocationProbe::largest() const {
    return largestSeen.load();
}

}  // namespace plexa::test

void* operator new(std::size_t size) {
    note(size);
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
