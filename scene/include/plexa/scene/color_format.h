// Conversions between BGRA and packed 4:2:2 YUV (Y0 U Y1 V per pixel pair,
// BT.601 studio range), the raw format of a second-generation color camera.
#pragma once

#include <cstdint>

namespace plexa::scene {

// Both need an even width; they return false (and write nothing) otherwise.
// bgra holds width x height x 4 bytes, yuy2 width x height x 2.
bool bgraToYuy2(const std::uint8_t* bgra, int width, int height, std::uint8_t* yuy2);
bool yuy2ToBgra(const std::uint8_t* yuy2, int width, int height, std::uint8_t* bgra);

}  // namespace plexa::scene
