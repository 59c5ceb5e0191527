#include "LockedImage.h"

#include <cstring>

namespace plexa::bridge1 {

LockedImage::LockedImage(const NUI_LOCKED_RECT& rect, int width, int height, int bytesPerPixel) {
    if (rect.Pitch == 0) {
        state_ = State::Empty;
        return;
    }
    // An image without pixels (no stream) has nothing that could be read.
    if (width <= 0 || height <= 0 || bytesPerPixel <= 0 || rect.Pitch < 0 || rect.size < 0) return;
    // Every factor is below 2^31, so each product fits in 64 bits.
    const std::uint64_t rowBytes = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bytesPerPixel);
    const std::uint64_t pitch = static_cast<std::uint64_t>(rect.Pitch);
    if (pitch < rowBytes) return;
    if (pitch * static_cast<std::uint64_t>(height) > static_cast<std::uint64_t>(rect.size)) return;
    if (rect.pBits == nullptr) return;
    bits_ = rect.pBits;
    pitch_ = static_cast<std::size_t>(pitch);
    packedRowBytes_ = static_cast<std::size_t>(rowBytes);
    height_ = height;
    state_ = State::Ready;
}

const std::uint8_t* LockedImage::packed(GrowingBuffer& scratch, std::size_t alignment) const {
    if (state_ != State::Ready) return nullptr;
    const bool aligned = alignment <= 1 || reinterpret_cast<std::uintptr_t>(bits_) % alignment == 0;
    if ((pitch_ == packedRowBytes_ || height_ <= 1) && aligned) return bits_;
    std::uint8_t* target = scratch.reserve(packedBytes());
    if (target == nullptr) return nullptr;
    for (int row = 0; row < height_; ++row) {
        std::memcpy(target + static_cast<std::size_t>(row) * packedRowBytes_,
                    bits_ + static_cast<std::size_t>(row) * pitch_, packedRowBytes_);
    }
    return target;
}

}  // namespace plexa::bridge1
