#include "UvNormalization.h"

namespace plexa::bridge2 {

void normalizeColorPoints(const float* __restrict points, std::size_t pointCount, float* __restrict normalized) {
    // One plain pass over contiguous floats with an alternating divisor, so the
    // compiler turns it into vector divisions. Division (not multiplication by
    // a reciprocal) keeps every result exactly x / 1920 and y / 1080.
    for (std::size_t k = 0; k < pointCount; ++k) {
        normalized[2 * k] = points[2 * k] / kColorImageWidth;
        normalized[2 * k + 1] = points[2 * k + 1] / kColorImageHeight;
    }
}

}  // namespace plexa::bridge2
