// A part's hit tests: one ray at a time, and along a run of rays: (x[k], y, 1)
// that share y, or (xy[2k], xy[2k + 1], 1). The runs are built once portable and once for AVX2 (on
// x86-64) with the one-ray arithmetic, so distances are the same bit for bit.
#pragma once

#include <cmath>
#include <limits>

#include "body_shape.h"
#include "loop_table_builds.h"
#include "math.h"

namespace plexa::scene {

constexpr float kMissed = std::numeric_limits<float>::infinity();

// Hit tests with everything that does not change across a part's pixels worked out once.
struct SphereHit {
    Vec3 c;
    float cc;
    explicit SphereHit(const Primitive& p) : c(p.a), cc(dot(p.a, p.a) - p.radius * p.radius) {}
    float operator()(float x, float y) const {
        float dd = x * x + y * y + 1.0f;
        float b = x * c.x + y * c.y + c.z;
        float h = b * b - dd * cc;
        return h < 0 ? kMissed : (b - std::sqrt(h)) / dd;
    }
};

struct EllipsoidHit {
    Vec3 o, u0, u1, u2;
    float c;
    explicit EllipsoidHit(const Primitive& p)
        : o(p.unit * (-p.a)), u0(p.unit.column(0)), u1(p.unit.column(1)), u2(p.unit.column(2)), c(dot(o, o) - 1.0f) {}
    float operator()(float x, float y) const {
        Vec3 u = u0 * x + u1 * y + u2;
        float a = dot(u, u), b = dot(o, u);
        float h = b * b - a * c;
        return h < 0 ? kMissed : (-b - std::sqrt(h)) / a;
    }
};

struct CapsuleHit {
    const Primitive* part;
    Vec3 ba, oa, nb;
    float baba, baoa, c, capA, capB;
    explicit CapsuleHit(const Primitive& p)
        : part(&p),
          ba(p.b - p.a),
          oa(-p.a),
          nb(-p.b),
          baba(dot(ba, ba)),
          baoa(dot(ba, oa)),
          c(baba * dot(oa, oa) - baoa * baoa - p.radius * p.radius * baba),
          capA(dot(oa, oa) - p.radius * p.radius),
          capB(dot(nb, nb) - p.radius * p.radius) {}
    // The same as intersect(), with the per-part terms kept.
    float operator()(float x, float y) const {
        const Vec3 d{x, y, 1.0f};
        const float dd = x * x + y * y + 1.0f;
        const float bard = dot(ba, d), rdoa = dot(d, oa);
        const float a = baba * dd - bard * bard;
        if (!(a > 1e-9f * baba * dd)) return intersect(*part, x, y);
        const float b = baba * rdoa - baoa * bard;
        const float h = b * b - a * c;
        if (h < 0) return kMissed;
        const float t = (-b - std::sqrt(h)) / a;
        const float along = baoa + t * bard;
        if (along > 0 && along < baba) return t;
        const float bc = along <= 0 ? rdoa : dot(d, nb);
        const float hc = bc * bc - dd * (along <= 0 ? capA : capB);
        return hc < 0 ? kMissed : (-bc - std::sqrt(hc)) / dd;
    }
};

// Distances along each ray of a run, kMissed where it misses.
struct HitRows {
    void (*spheres)(const SphereHit& hit, const float* x, float y, int count, float* t);
    void (*ellipsoids)(const EllipsoidHit& hit, const float* x, float y, int count, float* t);
    // NaN where the ray runs along the axis: hitRow() tests those one by one.
    void (*capsules)(const CapsuleHit& hit, const float* x, float y, int count, float* t);
    // The same along rays that each have their own y.
    void (*spheresAt)(const SphereHit& hit, const float* xy, int count, float* t);
    void (*ellipsoidsAt)(const EllipsoidHit& hit, const float* xy, int count, float* t);
    void (*capsulesAt)(const CapsuleHit& hit, const float* xy, int count, float* t);
};

const HitRows& hitRows();

PLEXA_LOOP_TABLE_BUILDS(HitRows, kHitRows)

// A part's hits along a run of rays, by the widest runs unless told otherwise.
inline void hitRow(const SphereHit& hit, const float* x, float y, int count, float* t,
                   const HitRows& rows = hitRows()) {
    rows.spheres(hit, x, y, count, t);
}
inline void hitRow(const EllipsoidHit& hit, const float* x, float y, int count, float* t,
                   const HitRows& rows = hitRows()) {
    rows.ellipsoids(hit, x, y, count, t);
}
inline void hitRow(const CapsuleHit& hit, const float* x, float y, int count, float* t,
                   const HitRows& rows = hitRows()) {
    rows.capsules(hit, x, y, count, t);
    for (int k = 0; k < count; ++k)
        if (std::isnan(t[k])) t[k] = hit(x[k], y);
}
inline void hitRow(const SphereHit& hit, const float* xy, int count, float* t, const HitRows& rows = hitRows()) {
    rows.spheresAt(hit, xy, count, t);
}
inline void hitRow(const EllipsoidHit& hit, const float* xy, int count, float* t, const HitRows& rows = hitRows()) {
    rows.ellipsoidsAt(hit, xy, count, t);
}
inline void hitRow(const CapsuleHit& hit, const float* xy, int count, float* t, const HitRows& rows = hitRows()) {
    rows.capsulesAt(hit, xy, count, t);
    for (int k = 0; k < count; ++k)
        if (std::isnan(t[k])) t[k] = hit(xy[2 * k], xy[2 * k + 1]);
}

}  // namespace plexa::scene
