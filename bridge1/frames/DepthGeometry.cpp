#include "DepthGeometry.h"

#include "DepthGeometryKernels.h"
#include "plexa/vector_units.h"

namespace plexa::bridge1 {

DepthCameraModel depthCameraModel(int width, int height) {
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    return {(w * 285.63f) / 320.0f, w * 0.5f - 0.5f, h * 0.5f - 0.5f};
}

// Kept equal to the loops' own conversion (DepthGeometryLoops.inc).
float depthMetres(std::uint16_t sample) { return static_cast<float>(sample >> 3) / 1000.0f; }

std::vector<DepthGeometryKernels> runnableDepthGeometryKernels() {
    std::vector<DepthGeometryKernels> kernels{{"portable", portable::computeXyzRows, portable::normaliseUv}};
#if defined(PLEXA_HAS_AVX2_VARIANT)
    if (vectorUnits().avx2) kernels.push_back({"avx2", avx2::computeXyzRows, avx2::normaliseUv});
#endif
#if defined(PLEXA_HAS_AVX512_VARIANT)
    if (vectorUnits().avx512f) kernels.push_back({"avx512", avx512::computeXyzRows, avx512::normaliseUv});
#endif
    return kernels;
}

const DepthGeometryKernels& depthGeometryKernels() {
    static const DepthGeometryKernels widest = runnableDepthGeometryKernels().back();
    return widest;
}

void computeXyz(const std::uint16_t* samples, int width, int height, float* xyz) {
    depthGeometryKernels().computeXyzRows(samples, width, height, 0, height, xyz);
}

void computeXyzRows(const std::uint16_t* samples, int width, int height, int firstRow, int rowCount, float* xyz) {
    depthGeometryKernels().computeXyzRows(samples, width, height, firstRow, rowCount, xyz);
}

void normaliseUv(const LONG* coordinates, std::size_t pixelCount, int width, int height, float* uv) {
    depthGeometryKernels().normaliseUv(coordinates, pixelCount, width, height, uv);
}

}  // namespace plexa::bridge1
