#define PLEXA_HIT_ROWS_VARIANT portable
#include "hit_rows.inc"

#include "plexa/vector_units.h"

namespace plexa::scene {

const HitRows& hitRows() {
#if defined(PLEXA_HAS_AVX2_VARIANT)
    static const HitRows& widest = vectorUnits().avx2 ? avx2::kHitRows : portable::kHitRows;
    return widest;
#else
    return portable::kHitRows;
#endif
}

}  // namespace plexa::scene
