// The shading runs for processors with AVX2 (built only for x86-64).
#if defined(PLEXA_VECTOR_VARIANT_BUILT)
#define PLEXA_SHADE_ROWS_VARIANT avx2
#include "shade_rows.inc"
#endif
