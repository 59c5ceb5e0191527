// The depth geometry loops for processors with AVX2 (built only for x86-64).
#if defined(PLEXA_VECTOR_VARIANT_BUILT)
#define PLEXA_GEOMETRY_VARIANT avx2
#include "DepthGeometryLoops.inc"
#endif
