#include "body_shape.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "skeleton.h"

namespace plexa::scene {

namespace {

constexpr float kMiss = std::numeric_limits<float>::infinity();

Vec3 albedoOf(Rgb c) { return {c.r / 255.0f, c.g / 255.0f, c.b / 255.0f}; }

Vec3 minOf(Vec3 a, Vec3 b) { return {std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)}; }
Vec3 maxOf(Vec3 a, Vec3 b) { return {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)}; }

Primitive capsule(Vec3 a, Vec3 b, float radius, Vec3 albedo) {
    Primitive p;
    p.kind = Primitive::Kind::Capsule;
    p.a = a;
    p.b = b;
    p.radius = radius;
    p.inverseRadius = 1.0f / radius;
    const float axisSquared = dot(b - a, b - a);
    p.inverseAxisSquared = axisSquared > 0 ? 1.0f / axisSquared : 0.0f;
    p.albedo = albedo;
    Vec3 r{radius, radius, radius};
    p.boundsMin = minOf(a, b) - r;
    p.boundsMax = maxOf(a, b) + r;
    return p;
}

Primitive sphere(Vec3 centre, float radius, Vec3 albedo) {
    Primitive p = capsule(centre, centre, radius, albedo);
    p.kind = Primitive::Kind::Sphere;
    return p;
}

// Ellipsoid with semi-axes (right, up, forward) along the given orthonormal axes.
Primitive ellipsoid(Vec3 centre, Vec3 right, Vec3 up, Vec3 forward, Vec3 semiAxes, Vec3 albedo) {
    Primitive p;
    p.kind = Primitive::Kind::Ellipsoid;
    p.a = centre;
    p.albedo = albedo;
    Mat3 axes = Mat3::fromColumns(right, up, forward);
    Mat3 inverseScale;
    inverseScale.m[0][0] = 1.0f / semiAxes.x;
    inverseScale.m[1][1] = 1.0f / semiAxes.y;
    inverseScale.m[2][2] = 1.0f / semiAxes.z;
    p.unit = inverseScale * axes.transposed();
    // Half-extent along each camera axis of the rotated ellipsoid.
    Vec3 extent;
    for (int i = 0; i < 3; ++i) {
        Vec3 row = axes.row(i);
        float e = std::sqrt(row.x * row.x * semiAxes.x * semiAxes.x + row.y * row.y * semiAxes.y * semiAxes.y +
                            row.z * row.z * semiAxes.z * semiAxes.z);
        (i == 0 ? extent.x : i == 1 ? extent.y : extent.z) = e;
    }
    p.boundsMin = centre - extent;
    p.boundsMax = centre + extent;
    return p;
}

}  // namespace

BodyShape shapeInCamera(const Person& person, const Placement& placement) {
    std::array<Vec3, kJointCount> j{};
    for (int i = 0; i < kJointCount; ++i) j[i] = placement.toCamera(person.joints[i]);
    auto at = [&j](Joint joint) { return j[index(joint)]; };
    const float h = person.height;
    const float s = h / 1.75f;
    auto r = [h](Joint joint) { return jointRadius(joint, h); };
    const Vec3 skin = albedoOf(person.look.skin), shirt = albedoOf(person.look.shirt);
    const Vec3 trousers = albedoOf(person.look.trousers), shoes = albedoOf(person.look.shoes);

    using J = Joint;
    Vec3 up = normalized(at(J::SpineShoulder) - at(J::SpineBase));
    Vec3 across = at(J::ShoulderRight) - at(J::ShoulderLeft);
    Vec3 right = normalized(across - up * dot(across, up));
    Vec3 forward = cross(right, up);
    Vec3 hipsAcross = at(J::HipRight) - at(J::HipLeft);
    Vec3 pelvisRight = normalized(hipsAcross - up * dot(hipsAcross, up));
    Vec3 pelvisForward = cross(pelvisRight, up);

    BodyShape shape;
    auto& p = shape.parts;
    int n = 0;
    p[n++] = sphere(at(J::Head), r(J::Head), skin);
    p[n++] = capsule(at(J::SpineShoulder), at(J::Neck), r(J::Neck), skin);
    p[n++] = capsule(at(J::ShoulderLeft), at(J::ShoulderRight), r(J::ShoulderLeft), shirt);
    p[n++] = ellipsoid(at(J::SpineMid) + up * (0.01f * s), right, up, forward, Vec3{0.17f, 0.26f, 0.11f} * s, shirt);
    p[n++] = ellipsoid(at(J::SpineBase) - up * (0.03f * s), pelvisRight, up, pelvisForward,
                       Vec3{0.16f, 0.11f, 0.10f} * s, trousers);
    for (bool left : {true, false}) {
        const auto [shoulder, elbow, wrist, hand, tip, thumb, hip, knee, ankle, foot] = sideJoints(left);
        p[n++] = capsule(at(shoulder), at(elbow), r(elbow), shirt);
        p[n++] = capsule(at(elbow), at(wrist), r(wrist), skin);
        p[n++] = capsule(at(wrist), at(hand), r(hand), skin);
        p[n++] = capsule(at(hand), at(tip), r(tip), skin);
        p[n++] = capsule(at(hand), at(thumb), r(thumb), skin);
        p[n++] = capsule(at(hip), at(knee), r(knee), trousers);
        p[n++] = capsule(at(knee), at(ankle), r(ankle), trousers);
        p[n++] = capsule(at(ankle), at(foot), r(foot), shoes);
    }
    return shape;
}

float intersect(const Primitive& part, float x, float y) {
    const Vec3 d{x, y, 1.0f};
    const float dd = dot(d, d);
    switch (part.kind) {
        case Primitive::Kind::Sphere: {
            float b = dot(d, part.a);
            float c = dot(part.a, part.a) - part.radius * part.radius;
            float h = b * b - dd * c;
            return h < 0 ? kMiss : (b - std::sqrt(h)) / dd;
        }
        case Primitive::Kind::Capsule: {
            // Points t*d at distance r from the segment a..b: first the infinite
            // cylinder, then the cap on the side the hit falls.
            const Vec3 ba = part.b - part.a, oa = -part.a;
            const float baba = dot(ba, ba), bard = dot(ba, d), baoa = dot(ba, oa);
            const float rdoa = dot(d, oa), oaoa = dot(oa, oa), rr = part.radius * part.radius;
            const float A = baba * dd - bard * bard;
            const float B = baba * rdoa - baoa * bard;
            const float C = baba * oaoa - baoa * baoa - rr * baba;
            if (!(A > 1e-9f * baba * dd)) {
                // Looking straight down the axis: only the caps can be seen.
                const float ca = oaoa - rr, cb = dot(part.b, part.b) - rr;
                const float ha = rdoa * rdoa - dd * ca, hb = dot(d, part.b) * dot(d, part.b) - dd * cb;
                float ta = ha < 0 ? kMiss : (-rdoa - std::sqrt(ha)) / dd;
                float tb = hb < 0 ? kMiss : (dot(d, part.b) - std::sqrt(hb)) / dd;
                return std::min(ta, tb);
            }
            const float h = B * B - A * C;
            if (h < 0) return kMiss;
            const float t = (-B - std::sqrt(h)) / A;
            const float along = baoa + t * bard;
            if (along > 0 && along < baba) return t;
            const Vec3 oc = along <= 0 ? oa : -part.b;
            const float bc = dot(d, oc), cc = dot(oc, oc) - rr;
            const float hc = bc * bc - dd * cc;
            return hc < 0 ? kMiss : (-bc - std::sqrt(hc)) / dd;
        }
        case Primitive::Kind::Ellipsoid: {
            const Vec3 o = part.unit * (-part.a);
            const Vec3 u = part.unit * d;
            const float A = dot(u, u), B = dot(o, u), C = dot(o, o) - 1.0f;
            const float h = B * B - A * C;
            return h < 0 ? kMiss : (-B - std::sqrt(h)) / A;
        }
    }
    return kMiss;
}

}  // namespace plexa::scene
