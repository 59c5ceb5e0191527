// The packed 4:2:2 to BGRA loop for processors with AVX2 (built only for
// x86-64): the SSE2 loop's arithmetic (color_format.cpp) on sixteen pixels at a time.
#if defined(PLEXA_VECTOR_VARIANT_BUILT)
#include <immintrin.h>

#include "color_format_kernels.h"

namespace plexa::scene::kernels {

std::size_t yuy2PairsToBgraAvx2(const std::uint8_t* in, std::size_t pairs, std::uint8_t* out) {
    const __m256i lowBytes = _mm256_set1_epi16(0x00FF), sixteen = _mm256_set1_epi16(16), half = _mm256_set1_epi16(128);
    const __m256i k42 = _mm256_set1_epi16(42), k100 = _mm256_set1_epi16(100), k48 = _mm256_set1_epi16(48),
                  k153 = _mm256_set1_epi16(153), opaque = _mm256_set1_epi8(-1);
    const std::size_t whole = pairs - pairs % 8;
    for (std::size_t i = 0; i < whole; i += 8) {
        // Every step below works within each 128-bit half: pairs i..i+3 in the
        // low half, i+4..i+7 in the high one, as the SSE2 loop has them.
        const __m256i packed = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + 4 * i));
        const __m256i y = _mm256_sub_epi16(_mm256_and_si256(packed, lowBytes), sixteen);
        const __m256i uv = _mm256_sub_epi16(_mm256_srli_epi16(packed, 8), half);
        const __m256i d =
            _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(uv, _MM_SHUFFLE(2, 2, 0, 0)), _MM_SHUFFLE(2, 2, 0, 0));
        const __m256i e =
            _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(uv, _MM_SHUFFLE(3, 3, 1, 1)), _MM_SHUFFLE(3, 3, 1, 1));
        const __m256i luma = _mm256_add_epi16(_mm256_mullo_epi16(y, k42), half);
        const __m256i blueRest = _mm256_add_epi16(luma, _mm256_slli_epi16(d, 2));
        const __m256i greenRest =
            _mm256_add_epi16(_mm256_sub_epi16(luma, _mm256_mullo_epi16(d, k100)), _mm256_mullo_epi16(e, k48));
        const __m256i redRest = _mm256_add_epi16(luma, _mm256_mullo_epi16(e, k153));
        const __m256i blue =
            _mm256_add_epi16(_mm256_add_epi16(y, _mm256_add_epi16(d, d)), _mm256_srai_epi16(blueRest, 8));
        const __m256i green = _mm256_add_epi16(_mm256_sub_epi16(y, e), _mm256_srai_epi16(greenRest, 8));
        const __m256i red = _mm256_add_epi16(_mm256_add_epi16(y, e), _mm256_srai_epi16(redRest, 8));
        const __m256i blueGreen =
            _mm256_unpacklo_epi8(_mm256_packus_epi16(blue, blue), _mm256_packus_epi16(green, green));
        const __m256i redAlpha = _mm256_unpacklo_epi8(_mm256_packus_epi16(red, red), opaque);
        const __m256i first = _mm256_unpacklo_epi16(blueGreen, redAlpha);   // pixels 0-3 | 8-11
        const __m256i second = _mm256_unpackhi_epi16(blueGreen, redAlpha);  // pixels 4-7 | 12-15
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 8 * i), _mm256_permute2x128_si256(first, second, 0x20));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 8 * i + 32),
                            _mm256_permute2x128_si256(first, second, 0x31));
    }
    return whole;
}

}  // namespace plexa::scene::kernels
#endif
