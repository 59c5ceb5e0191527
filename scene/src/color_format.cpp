#include "plexa/scene/color_format.h"

#include <cstddef>
#include <cstring>

#include "yuv.h"

namespace plexa::scene {

namespace {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "BGRA words assume a little-endian machine");

// Blue, green, red, 255 in memory order.
inline std::uint32_t word(std::uint32_t b, std::uint32_t g, std::uint32_t r) {
    return b | g << 8 | r << 16 | 0xFF000000u;
}

inline bool usable(const void* a, const void* b, int width, int height) {
    return a != nullptr && b != nullptr && width > 0 && height > 0 && width % 2 == 0;
}

}  // namespace

bool bgraToYuy2(const std::uint8_t* bgra, int width, int height, std::uint8_t* yuy2) {
    if (!usable(bgra, yuy2, width, height)) return false;
    const std::size_t pairs = static_cast<std::size_t>(width) * height / 2;
    const std::uint8_t* __restrict in = bgra;
    std::uint8_t* __restrict out = yuy2;
    for (std::size_t i = 0; i < pairs; ++i) {
        const std::uint8_t* p = in + 8 * i;
        const int b0 = p[0], g0 = p[1], r0 = p[2], b1 = p[4], g1 = p[5], r1 = p[6];
        const int r = r0 + r1, g = g0 + g1, b = b0 + b1;
        std::uint8_t* q = out + 4 * i;
        q[0] = yuv::luma(r0, g0, b0);
        q[1] = yuv::chromaU(r, g, b);
        q[2] = yuv::luma(r1, g1, b1);
        q[3] = yuv::chromaV(r, g, b);
    }
    return true;
}

bool yuy2ToBgra(const std::uint8_t* yuy2, int width, int height, std::uint8_t* bgra) {
    if (!usable(yuy2, bgra, width, height)) return false;
    const std::size_t pairs = static_cast<std::size_t>(width) * height / 2;
    const std::uint8_t* __restrict in = yuy2;
    std::uint8_t* __restrict out = bgra;
    // Plain integer arithmetic with no lookups, which the compiler vectorises.
    for (std::size_t i = 0; i < pairs; ++i) {
        const std::uint8_t* q = in + 4 * i;
        const int d = q[1] - 128, e = q[3] - 128;
        const int red = 409 * e + 128, green = -100 * d - 208 * e + 128, blue = 516 * d + 128;
        const int c0 = 298 * (q[0] - 16), c1 = 298 * (q[2] - 16);
        // Whole words per pixel: byte stores one at a time would cost more than the arithmetic.
        const std::uint32_t first = word(yuv::clip(yuv::shift8(c0 + blue)), yuv::clip(yuv::shift8(c0 + green)),
                                         yuv::clip(yuv::shift8(c0 + red)));
        const std::uint32_t second = word(yuv::clip(yuv::shift8(c1 + blue)), yuv::clip(yuv::shift8(c1 + green)),
                                          yuv::clip(yuv::shift8(c1 + red)));
        std::memcpy(out + 8 * i, &first, 4);
        std::memcpy(out + 8 * i + 4, &second, 4);
    }
    return true;
}

}  // namespace plexa::scene
