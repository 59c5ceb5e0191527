// BT.601 studio-range YUV from 8-bit RGB in integers, shared by the frame
// converters and the renderer that writes packed 4:2:2 directly.
#pragma once

#include <cstdint>

namespace plexa::scene::yuv {

// Shifts of values kept non-negative, so rounding is the same on every compiler.
inline int shift8(int v) { return ((v + (1 << 16)) >> 8) - (1 << 8); }
inline std::uint8_t clip(int v) { return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

inline std::uint8_t luma(int r, int g, int b) { return clip(shift8(66 * r + 129 * g + 25 * b + 128) + 16); }
// Chroma of a pixel pair from the sums of its two pixels' channels.
inline std::uint8_t chromaU(int r2, int g2, int b2) { return clip(shift8(-38 * r2 - 74 * g2 + 112 * b2 + 256) / 2 + 128); }
inline std::uint8_t chromaV(int r2, int g2, int b2) { return clip(shift8(112 * r2 - 94 * g2 - 18 * b2 + 256) / 2 + 128); }

}  // namespace plexa::scene::yuv
