#include "plexa/scene/color_format.h"

#include <cstddef>
#include <cstring>

#include "color_format_kernels.h"
#include "plexa/vector_units.h"
#include "yuv.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define PLEXA_SCENE_SSE2 1
#endif

namespace plexa::scene {

namespace {

#if defined(__BYTE_ORDER__)  // MSVC builds only for little-endian machines
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "BGRA words assume a little-endian machine");
#endif

// Blue, green, red, 255 in memory order.
inline std::uint32_t word(std::uint32_t b, std::uint32_t g, std::uint32_t r) {
    return b | g << 8 | r << 16 | 0xFF000000u;
}

inline bool usable(const void* a, const void* b, int width, int height) {
    return a != nullptr && b != nullptr && width > 0 && height > 0 && width % 2 == 0;
}

// The scalar conversion of pairs [begin, end).
void yuy2PairsToBgra(const std::uint8_t* __restrict in, std::size_t begin, std::size_t end,
                     std::uint8_t* __restrict out) {
    for (std::size_t i = begin; i < end; ++i) {
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
}

#ifdef PLEXA_SCENE_SSE2
#define PLEXA_LANE(op) _mm_##op
#define PLEXA_LANE_BITS(op) _mm_##op##_si128
#define PLEXA_LANE_VECTOR __m128i
#include "yuy2_lanes.h"

// Eight pixels at a time in 16-bit lanes (SSE2 is part of every x86-64
// processor). Returns the pairs it converted (a multiple of 4).
std::size_t yuy2PairsToBgraSse2(const std::uint8_t* in, std::size_t pairs, std::uint8_t* out) {
    return yuy2PairsToBgraLanes(in, pairs, out, [](std::uint8_t* pixels, __m128i blueGreen, __m128i redAlpha) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels), _mm_unpacklo_epi16(blueGreen, redAlpha));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels + 16), _mm_unpackhi_epi16(blueGreen, redAlpha));
    });
}
#endif

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
    std::size_t done = 0;
#if defined(PLEXA_HAS_AVX2_VARIANT)
    if (vectorUnits().avx2) done = kernels::yuy2PairsToBgraAvx2(yuy2, pairs, bgra);
#endif
#ifdef PLEXA_SCENE_SSE2
    done += yuy2PairsToBgraSse2(yuy2 + 4 * done, pairs - done, bgra + 8 * done);
#endif
    yuy2PairsToBgra(yuy2, done, pairs, bgra);
    return true;
}

}  // namespace plexa::scene
