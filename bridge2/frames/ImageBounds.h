// Sizes that come from the runtime are checked against the buffer they
// describe before anything is copied out of it. A description and its buffer
// can disagree (a runtime fault, or a frame described only in part); the
// arithmetic is done in 64 bits, so that no product wraps around into a small,
// plausible-looking length.
#pragma once

#include <cstddef>
#include <cstdint>

namespace plexa::bridge2 {

// The largest length of a Java array.
constexpr std::uint64_t kMaxJavaArrayLength = 0x7FFFFFFFu;

// Elements that an image of width x height with `perPixel` elements per pixel
// occupies, when that many fit both the buffer (`capacity` elements) and a Java
// array; 0 otherwise (also for a negative side), which delivers an empty entry.
std::int32_t deliverableLength(int width, int height, int perPixel, std::uint64_t capacity);

// width x height x perPixel when it is non-negative and fits a Java array;
// -1 otherwise. For buffers the bridge allocates itself.
std::int64_t elementCount(int width, int height, int perPixel);

}  // namespace plexa::bridge2
