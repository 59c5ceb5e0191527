// The mapping loops for processors with AVX2 (built only for x86-64).
#if defined(PLEXA_VECTOR_VARIANT_BUILT)
#define PLEXA_MAPPING_VARIANT avx2
#include "mapping_loops.inc"
#endif
