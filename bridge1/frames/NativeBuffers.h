// Native buffers of the frame pipelines. The pipelines run on the event
// thread, where an escaping std::bad_alloc would end the process (and the
// Java VM with it), so every allocation here reports failure as null.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>

namespace plexa::bridge1 {

// Scratch memory that only grows: after the largest frame has been seen once,
// reserving costs nothing.
class GrowingBuffer {
public:
    // At least `bytes` bytes (aligned for any scalar), or null when memory is short.
    std::uint8_t* reserve(std::size_t bytes) noexcept {
        if (bytes <= capacity_ && bytes_) return bytes_.get();
        std::unique_ptr<std::uint8_t[]> larger(new (std::nothrow) std::uint8_t[bytes == 0 ? 1 : bytes]);
        if (!larger) return nullptr;
        bytes_ = std::move(larger);
        capacity_ = bytes;
        return bytes_.get();
    }

private:
    std::unique_ptr<std::uint8_t[]> bytes_;
    std::size_t capacity_ = 0;
};

}  // namespace plexa::bridge1
