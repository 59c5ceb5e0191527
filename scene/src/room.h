// The fixed room: floor, ceiling, back wall with a door to the outside, side
// walls (the left one with a door), and furniture as boxes.
#pragma once

#include "math.h"

namespace plexa::scene {

struct SurfaceHit {
    float t = 0;           // along the ray, in units of its direction vector; infinity when nothing is hit
    Vec3 normal;           // world frame, facing the ray
    Vec3 albedo;           // red, green, blue in 0..1
    float infraredAlbedo = 0;
};

// Nearest surface of the room along origin + t * direction (t > 0).
SurfaceHit castIntoRoom(Vec3 origin, Vec3 direction);

// What a ray sees when it leaves the room through the back door.
constexpr Vec3 kOutsideColor{0.72f, 0.82f, 0.93f};

// Direction towards the room's light, and the share of light that is ambient.
Vec3 lightDirection();
constexpr float kAmbient = 0.42f;

inline float infraredAlbedoOf(Vec3 albedo) {
    return 0.25f + 0.6f * (0.3f * albedo.x + 0.59f * albedo.y + 0.11f * albedo.z);
}

}  // namespace plexa::scene
