// A person's surface in one camera's space: capsules for limbs, ellipsoids for
// torso and pelvis, each with the color of the clothing or skin it shows.
#pragma once

#include <array>
#include <algorithm>
#include <cstdint>

#include "camera.h"
#include "plexa/scene/scene.h"

namespace plexa::scene {

struct Primitive {
    enum class Kind : std::uint8_t { Sphere, Capsule, Ellipsoid };
    Kind kind = Kind::Sphere;
    Vec3 albedo;
    // Sphere: centre a, radius. Capsule: axis a..b, radius.
    Vec3 a, b;
    float radius = 0;
    float inverseRadius = 0;
    float inverseAxisSquared = 0;  // capsule: 1 / |b - a|^2
    // Ellipsoid: unit maps a point relative to its centre (a) into the unit sphere.
    Mat3 unit;
    // Camera-space bounds, for finding the pixels it may cover.
    Vec3 boundsMin, boundsMax;
};

constexpr int kPrimitivesPerPerson = 21;

struct BodyShape {
    std::uint8_t label = 0;   // slot, or kNoPerson when the person is not tracked
    std::array<Primitive, kPrimitivesPerPerson> parts{};
};

// The person's surface in the space of a camera placed at `placement`.
BodyShape shapeInCamera(const Person& person, const Placement& placement);

// Nearest intersection of the ray t * (x, y, 1) with a primitive, as camera z
// (t itself); infinity when it misses.
float intersect(const Primitive& part, float x, float y);

// Outward unit normal of a primitive at a point of its surface.
inline Vec3 normalAt(const Primitive& part, Vec3 point) {
    switch (part.kind) {
        case Primitive::Kind::Sphere:
            return (point - part.a) * part.inverseRadius;
        case Primitive::Kind::Capsule: {
            const Vec3 ba = part.b - part.a;
            const float along = clampf(dot(point - part.a, ba) * part.inverseAxisSquared, 0.0f, 1.0f);
            return (point - (part.a + ba * along)) * part.inverseRadius;
        }
        case Primitive::Kind::Ellipsoid: {
            const Vec3 q = part.unit * (point - part.a);
            return normalized(part.unit.transposed() * q);
        }
    }
    return {0, 0, -1};
}

}  // namespace plexa::scene
