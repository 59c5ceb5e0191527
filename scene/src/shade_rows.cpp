#define PLEXA_SHADE_ROWS_VARIANT portable
#include "shade_rows.inc"

#include "plexa/vector_units.h"

namespace plexa::scene {

const ShadeRows& shadeRows() {
#if defined(PLEXA_HAS_AVX2_VARIANT)
    static const ShadeRows& widest = vectorUnits().avx2 ? avx2::kShadeRows : portable::kShadeRows;
    return widest;
#else
    return portable::kShadeRows;
#endif
}

}  // namespace plexa::scene
