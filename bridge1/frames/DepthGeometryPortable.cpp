// The depth geometry loops for the build's baseline instruction set.
#define PLEXA_GEOMETRY_VARIANT portable
#include "DepthGeometryLoops.inc"
