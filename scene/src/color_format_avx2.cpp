// The packed 4:2:2 to BGRA loop for processors with AVX2 (built only for
// x86-64): the lane arithmetic of the SSE2 loop (yuy2_lanes.h) on sixteen pixels at a time.
#if defined(PLEXA_VECTOR_VARIANT_BUILT)
#include <immintrin.h>

#include "color_format_kernels.h"

namespace plexa::scene::kernels {
namespace {

#define PLEXA_LANE(op) _mm256_##op
#define PLEXA_LANE_BITS(op) _mm256_##op##_si256
#define PLEXA_LANE_VECTOR __m256i
#include "yuy2_lanes.h"

}  // namespace

// Pairs i..i+3 in the low half, i+4..i+7 in the high one, as the SSE2 loop
// has them; the stores put the halves' pixels back in order.
std::size_t yuy2PairsToBgraAvx2(const std::uint8_t* in, std::size_t pairs, std::uint8_t* out) {
    return yuy2PairsToBgraLanes(in, pairs, out, [](std::uint8_t* pixels, __m256i blueGreen, __m256i redAlpha) {
        const __m256i first = _mm256_unpacklo_epi16(blueGreen, redAlpha);   // pixels 0-3 | 8-11
        const __m256i second = _mm256_unpackhi_epi16(blueGreen, redAlpha);  // pixels 4-7 | 12-15
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(pixels), _mm256_permute2x128_si256(first, second, 0x20));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(pixels + 32), _mm256_permute2x128_si256(first, second, 0x31));
    });
}

}  // namespace plexa::scene::kernels
#endif
