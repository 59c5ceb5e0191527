// Color coordinates of depth pixels are delivered relative to the color
// camera's full 1920 x 1080 image, whatever color size the frame carries and
// whether or not the color stream is open.
#pragma once

#include <cstddef>

namespace plexa::bridge2 {

constexpr float kColorImageWidth = 1920.0f;
constexpr float kColorImageHeight = 1080.0f;

// Writes x / 1920 and y / 1080 of `pointCount` interleaved (x, y) pairs of
// `points` to `normalized` (which must not overlap them).
void normalizeColorPoints(const float* points, std::size_t pointCount, float* normalized);

}  // namespace plexa::bridge2
