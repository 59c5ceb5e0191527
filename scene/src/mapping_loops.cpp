#define PLEXA_MAPPING_VARIANT portable
#include "mapping_loops.inc"

#include "plexa/vector_units.h"

namespace plexa::scene {

const MappingLoops& mappingLoops() {
#if defined(PLEXA_HAS_AVX2_VARIANT)
    static const MappingLoops& widest = vectorUnits().avx2 ? avx2::kMappingLoops : portable::kMappingLoops;
    return widest;
#else
    return portable::kMappingLoops;
#endif
}

}  // namespace plexa::scene
