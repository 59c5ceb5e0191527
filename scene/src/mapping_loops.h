// The whole-frame mapping loops, built once portable and once for AVX2 (on
// x86-64), with the same arithmetic, so the results are the same bit for bit;
// mappingLoops() gives the widest this processor runs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "loop_table_builds.h"
#include "plexa/scene/types.h"

namespace plexa::scene {

struct MappingLoops {
    // One row of first-generation samples (depth << 3 | player) to color pixels:
    // column columns[k] less shiftScale / depth (nothing without depth), rounded; row y.
    void (*rowToColor1)(const float* columns, const std::uint16_t* samples, std::size_t count, float shiftScale,
                        std::int32_t y, ColorPixel* out);
    // Second-generation depth (mm) through a per-pixel ray table (x, y per pixel)
    // to camera space; negative infinity where there is no depth.
    void (*depthToCamera2)(const float* rays, const std::uint16_t* depthMm, std::size_t count, CameraPoint* out);
    // The same to the color image of a pinhole camera `offset` metres along x.
    void (*depthToColor2)(const float* rays, const std::uint16_t* depthMm, std::size_t count, float cx, float cy,
                          float fx, float fy, float offset, ImagePoint* out);
};

const MappingLoops& mappingLoops();

PLEXA_LOOP_TABLE_BUILDS(MappingLoops, kMappingLoops)

}  // namespace plexa::scene
