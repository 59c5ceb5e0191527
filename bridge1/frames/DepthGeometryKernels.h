// The variants of the depth geometry loops: the portable one, and ones built
// for wider vector units where the build targets x86-64. Each gives results
// identical bit for bit to the portable loops (no fused multiply-add, the same
// operations in the same order, only more lanes at a time).
#pragma once

#include "plexa/platform.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace plexa::bridge1 {

struct DepthGeometryKernels {
    const char* name;
    void (*computeXyzRows)(const std::uint16_t* samples, int width, int height, int firstRow, int rowCount,
                           float* xyz);
    void (*normaliseUv)(const LONG* coordinates, std::size_t pixelCount, int width, int height, float* uv);
};

// Every variant built in that this processor runs, the portable one first.
std::vector<DepthGeometryKernels> runnableDepthGeometryKernels();

// The widest runnable variant, chosen once per process.
const DepthGeometryKernels& depthGeometryKernels();

namespace portable {  // the build's baseline
void computeXyzRows(const std::uint16_t* samples, int width, int height, int firstRow, int rowCount, float* xyz);
void normaliseUv(const LONG* coordinates, std::size_t pixelCount, int width, int height, float* uv);
}  // namespace portable
namespace avx2 {  // AVX2; built for x86-64 only
void computeXyzRows(const std::uint16_t* samples, int width, int height, int firstRow, int rowCount, float* xyz);
void normaliseUv(const LONG* coordinates, std::size_t pixelCount, int width, int height, float* uv);
}  // namespace avx2
namespace avx512 {  // AVX-512F; built for x86-64 only
void computeXyzRows(const std::uint16_t* samples, int width, int height, int firstRow, int rowCount, float* xyz);
void normaliseUv(const LONG* coordinates, std::size_t pixelCount, int width, int height, float* uv);
}  // namespace avx512

}  // namespace plexa::bridge1
