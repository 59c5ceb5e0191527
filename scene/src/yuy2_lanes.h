// The wide packed 4:2:2 to BGRA loop, written once for every register width.
// A loop's file includes this with PLEXA_LANE(op) naming its instruction set's
// intrinsic (_mm_op for SSE2, _mm256_op for AVX2), PLEXA_LANE_BITS(op) the
// whole-register form (_mm_op_si128, _mm256_op_si256) and PLEXA_LANE_VECTOR its
// register type; the three end here. Every step works within a 128-bit half,
// so each width converts four pairs a half alike.
//
// The same integers as the scalar loop: with Y' = Y - 16, D = U - 128 and
// E = V - 128, each channel's sum splits into a multiple of 256 and a rest that
// fits 16 bits, e.g. 298 Y' + 516 D + 128 = 256 (Y' + 2 D) + (42 Y' + 4 D + 128),
// so its floor over 256 is (Y' + 2 D) + (rest >> 8); the pack saturates to 0..255
// as clip() does.
//
// No include guard: each width includes it once, in a namespace of its own,
// after <cstddef>, <cstdint> and its intrinsics.

// Converts whole blocks of pairs from the start and returns how many pairs it
// did; `store` writes a block's pixels from their blue-green and red-alpha byte
// pairs (unpacked low and high, pixels 0-3 and 4-7 of each half).
template <typename Store>
std::size_t yuy2PairsToBgraLanes(const std::uint8_t* in, std::size_t pairs, std::uint8_t* out, Store store) {
    using Vector = PLEXA_LANE_VECTOR;
    const Vector lowBytes = PLEXA_LANE(set1_epi16)(0x00FF), sixteen = PLEXA_LANE(set1_epi16)(16),
                 half = PLEXA_LANE(set1_epi16)(128);
    const Vector k42 = PLEXA_LANE(set1_epi16)(42), k100 = PLEXA_LANE(set1_epi16)(100), k48 = PLEXA_LANE(set1_epi16)(48),
                 k153 = PLEXA_LANE(set1_epi16)(153), opaque = PLEXA_LANE(set1_epi8)(-1);
    constexpr std::size_t kBlock = sizeof(Vector) / 4;
    const std::size_t whole = pairs - pairs % kBlock;
    for (std::size_t i = 0; i < whole; i += kBlock) {
        const Vector packed = PLEXA_LANE_BITS(loadu)(reinterpret_cast<const Vector*>(in + 4 * i));
        const Vector y = PLEXA_LANE(sub_epi16)(PLEXA_LANE_BITS(and)(packed, lowBytes), sixteen);
        const Vector uv = PLEXA_LANE(sub_epi16)(PLEXA_LANE(srli_epi16)(packed, 8), half);  // U0 V0 U1 V1 ...
        const Vector d = PLEXA_LANE(shufflehi_epi16)(PLEXA_LANE(shufflelo_epi16)(uv, _MM_SHUFFLE(2, 2, 0, 0)),
                                                     _MM_SHUFFLE(2, 2, 0, 0));
        const Vector e = PLEXA_LANE(shufflehi_epi16)(PLEXA_LANE(shufflelo_epi16)(uv, _MM_SHUFFLE(3, 3, 1, 1)),
                                                     _MM_SHUFFLE(3, 3, 1, 1));
        const Vector luma = PLEXA_LANE(add_epi16)(PLEXA_LANE(mullo_epi16)(y, k42), half);
        const Vector blueRest = PLEXA_LANE(add_epi16)(luma, PLEXA_LANE(slli_epi16)(d, 2));
        const Vector greenRest = PLEXA_LANE(add_epi16)(PLEXA_LANE(sub_epi16)(luma, PLEXA_LANE(mullo_epi16)(d, k100)),
                                                       PLEXA_LANE(mullo_epi16)(e, k48));
        const Vector redRest = PLEXA_LANE(add_epi16)(luma, PLEXA_LANE(mullo_epi16)(e, k153));
        const Vector blue = PLEXA_LANE(add_epi16)(PLEXA_LANE(add_epi16)(y, PLEXA_LANE(add_epi16)(d, d)),
                                                  PLEXA_LANE(srai_epi16)(blueRest, 8));
        const Vector green = PLEXA_LANE(add_epi16)(PLEXA_LANE(sub_epi16)(y, e), PLEXA_LANE(srai_epi16)(greenRest, 8));
        const Vector red = PLEXA_LANE(add_epi16)(PLEXA_LANE(add_epi16)(y, e), PLEXA_LANE(srai_epi16)(redRest, 8));
        store(out + 8 * i,
              PLEXA_LANE(unpacklo_epi8)(PLEXA_LANE(packus_epi16)(blue, blue), PLEXA_LANE(packus_epi16)(green, green)),
              PLEXA_LANE(unpacklo_epi8)(PLEXA_LANE(packus_epi16)(red, red), opaque));
    }
    return whole;
}

#undef PLEXA_LANE
#undef PLEXA_LANE_BITS
#undef PLEXA_LANE_VECTOR
