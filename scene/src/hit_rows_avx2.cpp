// The hit runs for processors with AVX2 (built only for x86-64).
#if defined(PLEXA_VECTOR_VARIANT_BUILT)
#define PLEXA_HIT_ROWS_VARIANT avx2
#include "hit_rows.inc"
#endif
