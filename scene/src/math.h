// Small vector, matrix and quaternion arithmetic for the scene's internals.
#pragma once

#include <cmath>

#include "plexa/scene/types.h"

namespace plexa::scene {

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator-(Vec3 a) { return {-a.x, -a.y, -a.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline Vec3 operator*(float s, Vec3 a) { return a * s; }
inline float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float length(Vec3 a) { return std::sqrt(dot(a, a)); }
inline Vec3 normalized(Vec3 a) {
    float len = length(a);
    return len > 0 ? a * (1.0f / len) : Vec3{0, 1, 0};
}
inline Vec3 lerp(Vec3 a, Vec3 b, float t) { return a + (b - a) * t; }

// Row-major 3x3 matrix.
struct Mat3 {
    float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

    static Mat3 fromColumns(Vec3 c0, Vec3 c1, Vec3 c2) {
        Mat3 r;
        r.m[0][0] = c0.x; r.m[1][0] = c0.y; r.m[2][0] = c0.z;
        r.m[0][1] = c1.x; r.m[1][1] = c1.y; r.m[2][1] = c1.z;
        r.m[0][2] = c2.x; r.m[1][2] = c2.y; r.m[2][2] = c2.z;
        return r;
    }
    Vec3 column(int c) const { return {m[0][c], m[1][c], m[2][c]}; }
    Vec3 row(int r) const { return {m[r][0], m[r][1], m[r][2]}; }
    Mat3 transposed() const { return fromColumns(row(0), row(1), row(2)); }
};

inline Vec3 operator*(const Mat3& a, Vec3 v) {
    return {a.m[0][0] * v.x + a.m[0][1] * v.y + a.m[0][2] * v.z,
            a.m[1][0] * v.x + a.m[1][1] * v.y + a.m[1][2] * v.z,
            a.m[2][0] * v.x + a.m[2][1] * v.y + a.m[2][2] * v.z};
}

inline Mat3 operator*(const Mat3& a, const Mat3& b) {
    return Mat3::fromColumns(a * b.column(0), a * b.column(1), a * b.column(2));
}

inline Quat operator*(Quat a, Quat b) {
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
            a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,
            a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

inline Quat conjugate(Quat q) { return {-q.x, -q.y, -q.z, q.w}; }

inline Quat axisAngle(Vec3 axis, float radians) {
    Vec3 n = normalized(axis);
    float s = std::sin(radians * 0.5f);
    return {n.x * s, n.y * s, n.z * s, std::cos(radians * 0.5f)};
}

inline Quat normalized(Quat q) {
    float len = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    return len > 0 ? Quat{q.x / len, q.y / len, q.z / len, q.w / len} : Quat{};
}

inline Vec3 rotate(Quat q, Vec3 v) {
    Vec3 u{q.x, q.y, q.z};
    Vec3 t = cross(u, v) * 2.0f;
    return v + t * q.w + cross(u, t);
}

// Normalised linear blend along the shorter arc; good enough between nearby poses.
inline Quat nlerp(Quat a, Quat b, float t) {
    float d = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
    float s = d < 0 ? -1.0f : 1.0f;
    return normalized(Quat{a.x + (s * b.x - a.x) * t, a.y + (s * b.y - a.y) * t,
                           a.z + (s * b.z - a.z) * t, a.w + (s * b.w - a.w) * t});
}

inline Mat3 toMatrix(Quat q) {
    return Mat3::fromColumns(rotate(q, {1, 0, 0}), rotate(q, {0, 1, 0}), rotate(q, {0, 0, 1}));
}

inline Quat fromMatrix(const Mat3& r) {
    const auto& m = r.m;
    float trace = m[0][0] + m[1][1] + m[2][2];
    Quat q;
    if (trace > 0) {
        float s = std::sqrt(trace + 1.0f) * 2.0f;
        q = {(m[2][1] - m[1][2]) / s, (m[0][2] - m[2][0]) / s, (m[1][0] - m[0][1]) / s, 0.25f * s};
    } else if (m[0][0] > m[1][1] && m[0][0] > m[2][2]) {
        float s = std::sqrt(1.0f + m[0][0] - m[1][1] - m[2][2]) * 2.0f;
        q = {0.25f * s, (m[0][1] + m[1][0]) / s, (m[0][2] + m[2][0]) / s, (m[2][1] - m[1][2]) / s};
    } else if (m[1][1] > m[2][2]) {
        float s = std::sqrt(1.0f + m[1][1] - m[0][0] - m[2][2]) * 2.0f;
        q = {(m[0][1] + m[1][0]) / s, 0.25f * s, (m[1][2] + m[2][1]) / s, (m[0][2] - m[2][0]) / s};
    } else {
        float s = std::sqrt(1.0f + m[2][2] - m[0][0] - m[1][1]) * 2.0f;
        q = {(m[0][2] + m[2][0]) / s, (m[1][2] + m[2][1]) / s, 0.25f * s, (m[1][0] - m[0][1]) / s};
    }
    return normalized(q);
}

// The shortest rotation taking unit vector a onto unit vector b.
inline Quat rotationBetween(Vec3 a, Vec3 b) {
    float d = dot(a, b);
    if (d < -0.9999f) {
        Vec3 axis = std::fabs(a.x) < 0.9f ? cross(a, {1, 0, 0}) : cross(a, {0, 1, 0});
        return axisAngle(axis, 3.14159265f);
    }
    Vec3 c = cross(a, b);
    return normalized(Quat{c.x, c.y, c.z, 1.0f + d});
}

inline float clampf(float v, float lo, float hi) { return v < lo ? lo : (v > hi ? hi : v); }

inline float smoothstep(float edge0, float edge1, float x) {
    float t = clampf((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

constexpr float kPi = 3.14159265358979f;
inline float radians(float degrees) { return degrees * (kPi / 180.0f); }

}  // namespace plexa::scene
