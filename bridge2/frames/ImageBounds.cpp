#include "ImageBounds.h"

namespace plexa::bridge2 {

std::int64_t elementCount(int width, int height, int perPixel) {
    if (width < 0 || height < 0 || perPixel < 0) return -1;
    // Each factor is below 2^31, so the first product fits 62 bits; the second
    // is checked before it is formed.
    const std::uint64_t pixels = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    if (perPixel != 0 && pixels > kMaxJavaArrayLength / static_cast<std::uint64_t>(perPixel)) return -1;
    const std::uint64_t elements = pixels * static_cast<std::uint64_t>(perPixel);
    return elements > kMaxJavaArrayLength ? -1 : static_cast<std::int64_t>(elements);
}

std::int32_t deliverableLength(int width, int height, int perPixel, std::uint64_t capacity) {
    const std::int64_t elements = elementCount(width, height, perPixel);
    if (elements < 0 || static_cast<std::uint64_t>(elements) > capacity) return 0;
    return static_cast<std::int32_t>(elements);
}

}  // namespace plexa::bridge2
