// The per-pixel loop tables for processors with AVX2 (built only for x86-64).
#if defined(PLEXA_VECTOR_VARIANT_BUILT)
#define PLEXA_LOOP_VARIANT avx2
#include "hit_rows.inc"
#include "mapping_loops.inc"
#include "shade_rows.inc"
#endif
