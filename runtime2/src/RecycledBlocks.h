// Memory for the objects the runtime makes for every frame (the frame
// objects it hands out, the shared frame content), kept when they end and
// given to the next of the same size: after the first frames a pipeline runs
// without allocating. A handful of blocks per size are kept; more go back to
// the system.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <utility>

namespace plexa::virtual2 {

// A block of at least `bytes` bytes, aligned for any ordinary type; throws
// std::bad_alloc like operator new.
void* takeRecycledBlock(std::size_t bytes);
// Gives back a block that takeRecycledBlock returned for the same size.
void giveBackRecycledBlock(void* block, std::size_t bytes) noexcept;

// The same as an allocator, for std::allocate_shared.
template <class T>
struct RecyclingAllocator {
    using value_type = T;
    RecyclingAllocator() = default;
    template <class U>
    RecyclingAllocator(const RecyclingAllocator<U>&) noexcept {}
    T* allocate(std::size_t count) { return static_cast<T*>(takeRecycledBlock(count * sizeof(T))); }
    void deallocate(T* block, std::size_t count) noexcept { giveBackRecycledBlock(block, count * sizeof(T)); }
    template <class U>
    bool operator==(const RecyclingAllocator<U>&) const noexcept { return true; }
    template <class U>
    bool operator!=(const RecyclingAllocator<U>&) const noexcept { return false; }
};

template <class T, class... Arguments>
std::shared_ptr<T> makeRecycledShared(Arguments&&... arguments) {
    return std::allocate_shared<T>(RecyclingAllocator<T>{}, std::forward<Arguments>(arguments)...);
}

}  // namespace plexa::virtual2
