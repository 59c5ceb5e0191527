// The portable build of every per-pixel loop table, and the choice of build.
#define PLEXA_LOOP_VARIANT portable
#include "hit_rows.inc"
#include "mapping_loops.inc"
#include "shade_rows.inc"

#include "plexa/vector_units.h"

namespace plexa::scene {

namespace {

#if defined(PLEXA_HAS_AVX2_VARIANT)
#define PLEXA_AVX2_BUILD(table) (&avx2::table)
#else
#define PLEXA_AVX2_BUILD(table) static_cast<decltype(&portable::table)>(nullptr)
#endif

template <class Table>
const Table& widest(const Table& portable, const Table* avx2) {
    return avx2 != nullptr && vectorUnits().avx2 ? *avx2 : portable;
}

}  // namespace

const MappingLoops& mappingLoops() { return widest(portable::kMappingLoops, PLEXA_AVX2_BUILD(kMappingLoops)); }
const HitRows& hitRows() { return widest(portable::kHitRows, PLEXA_AVX2_BUILD(kHitRows)); }
const ShadeRows& shadeRows() { return widest(portable::kShadeRows, PLEXA_AVX2_BUILD(kShadeRows)); }

}  // namespace plexa::scene
