// Color coordinates of depth pixels are delivered relative to the color
// camera's full 1920 x 1080 image, whatever color size the frame carries and
// whether or not the color stream is open.
#pragma once

#include <cstddef>

namespace plexa::bridge2 {

constexpr float kColorImageWidth = 1920.0f;
constexpr float kColorImageHeight = 1080.0f;

// Divides x by 1920 and y by 1080 for `pointCount` interleaved (x, y) pairs,
// in place.
void normalizeColorPoints(float* points, std::size_t pointCount);

}  // namespace plexa::bridge2
