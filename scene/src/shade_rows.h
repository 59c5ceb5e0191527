// The shading of a run of a part's pixels: the light each gets, its color,
// and that color as packed 4:2:2. Built once portable and once for AVX2 (on
// x86-64) with the one-pixel arithmetic of normalAt(), shadeBgra() and yuv::,
// so the pixels are the same bit for bit.
#pragma once

#include <algorithm>
#include <cstdint>

#include "body_shape.h"
#include "loop_table_builds.h"
#include "room.h"

namespace plexa::scene {

// Lambert shading with the room's ambient share; blue, green, red, 255 from the low byte up.
inline std::uint32_t shadeBgra(Vec3 albedo, float lambert) {
    float light = kAmbient + (1.0f - kAmbient) * std::max(0.0f, lambert);
    auto channel = [light](float a) {
        float v = a * light * 255.0f + 0.5f;
        return static_cast<std::uint32_t>(v >= 255.0f ? 255.0f : v);
    };
    return channel(albedo.z) | channel(albedo.y) << 8 | channel(albedo.x) << 16 | 0xFF000000u;
}

// Pixel k of a run: its ray (x[k], y[k], 1), met at depth t[k].
struct RayHits {
    const float* x;
    const float* y;
    const float* t;
    int count;
};

struct ShadeRows {
    // dot(surface normal at the hit, light) per pixel.
    void (*lambert)(const Primitive& part, Vec3 light, const RayHits& hits, float* lambert);
    // shadeBgra(albedo, lambert[k]) per pixel.
    void (*bgra)(Vec3 albedo, const float* lambert, int count, std::uint32_t* bgra);
    // The luma of each BGRA pixel, and the chroma of a pair both of whose pixels are it.
    void (*yuv)(const std::uint32_t* bgra, int count, std::uint8_t* luma, std::uint8_t* u, std::uint8_t* v);
};

const ShadeRows& shadeRows();

PLEXA_LOOP_TABLE_BUILDS(ShadeRows, kShadeRows)

}  // namespace plexa::scene
