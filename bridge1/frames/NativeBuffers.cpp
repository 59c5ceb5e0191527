#include "NativeBuffers.h"

namespace plexa::bridge1 {

std::uint8_t* GrowingBuffer::reserve(std::size_t bytes) noexcept {
    if (bytes <= capacity_ && bytes_) return bytes_.get();
    std::unique_ptr<std::uint8_t[]> larger(new (std::nothrow) std::uint8_t[bytes == 0 ? 1 : bytes]);
    if (!larger) return nullptr;
    bytes_ = std::move(larger);
    capacity_ = bytes;
    return bytes_.get();
}

}  // namespace plexa::bridge1
