#include "room.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace plexa::scene {

namespace {

constexpr float kBackWallZ = 4.0f;
constexpr float kSideWallX = 2.2f;
constexpr float kCeilingY = 2.6f;
constexpr float kDoorTop = 2.05f;
constexpr float kBackDoorLeft = 1.0f, kBackDoorRight = 1.8f;
constexpr float kSideDoorNear = 2.0f, kSideDoorFar = 2.9f;

constexpr float kInfinity = std::numeric_limits<float>::infinity();

struct Box {
    Vec3 min, max;
    Vec3 albedo;
};

const Box kFurniture[] = {
    {{-2.1f, 0.0f, 3.0f}, {-1.55f, 0.72f, 3.7f}, {0.47f, 0.31f, 0.20f}},   // table, left
    {{-1.2f, 0.0f, 3.85f}, {-0.2f, 1.5f, 4.0f}, {0.35f, 0.36f, 0.42f}},    // shelf against the back wall
    {{0.3f, 0.0f, 1.8f}, {0.7f, 0.5f, 2.15f}, {0.75f, 0.59f, 0.35f}},      // crate, front
};

Vec3 rgb(int r, int g, int b) { return {r / 255.0f, g / 255.0f, b / 255.0f}; }

std::uint32_t hash(std::int32_t a, std::int32_t b) {
    std::uint32_t h = static_cast<std::uint32_t>(a) * 0x8DA6B343u ^ static_cast<std::uint32_t>(b) * 0xD8163841u;
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    return h ^ (h >> 15);
}

// Wooden planks running away from the sensors, each a slightly different shade.
Vec3 floorAlbedo(Vec3 p) {
    constexpr float kPlankWidth = 0.18f, kPlankLength = 1.6f, kGap = 0.008f;
    float across = p.x / kPlankWidth;
    auto plank = static_cast<std::int32_t>(std::floor(across));
    float along = p.z / kPlankLength + 0.37f * static_cast<float>(plank);
    auto piece = static_cast<std::int32_t>(std::floor(along));
    float inPlank = (across - static_cast<float>(plank)) * kPlankWidth;
    float inPiece = (along - static_cast<float>(piece)) * kPlankLength;
    if (inPlank < kGap || inPiece < kGap) return rgb(70, 48, 30);
    float shade = 0.88f + 0.24f * static_cast<float>(hash(plank, piece) & 0xFF) / 255.0f;
    return rgb(156, 112, 72) * shade;
}

enum class Surface { Floor, Ceiling, BackWall, SideWall, Furniture };

struct Candidate {
    float t = kInfinity;
    Vec3 normal;
    Surface surface = Surface::Floor;
    Vec3 albedo;  // for furniture
    void offer(float candidate, Vec3 n, Surface s, Vec3 a = {}) {
        if (candidate > 0 && candidate < t) {
            t = candidate;
            normal = n;
            surface = s;
            albedo = a;
        }
    }
};

// Slab test with the direction's reciprocal worked out once per ray.
void hitBox(const Box& box, Vec3 o, Vec3 inverse, Candidate& best) {
    const float tx0 = (box.min.x - o.x) * inverse.x, tx1 = (box.max.x - o.x) * inverse.x;
    const float ty0 = (box.min.y - o.y) * inverse.y, ty1 = (box.max.y - o.y) * inverse.y;
    const float tz0 = (box.min.z - o.z) * inverse.z, tz1 = (box.max.z - o.z) * inverse.z;
    const float nx = std::min(tx0, tx1), ny = std::min(ty0, ty1), nz = std::min(tz0, tz1);
    const float tNear = std::max(nx, std::max(ny, nz));
    const float tFar = std::min(std::max(tx0, tx1), std::min(std::max(ty0, ty1), std::max(tz0, tz1)));
    if (!(tNear <= tFar) || !(tNear > 0) || !(tNear < best.t)) return;
    Vec3 n;
    if (tNear == nx) n.x = inverse.x > 0 ? -1.0f : 1.0f;
    else if (tNear == ny) n.y = inverse.y > 0 ? -1.0f : 1.0f;
    else n.z = inverse.z > 0 ? -1.0f : 1.0f;
    best.offer(tNear, n, Surface::Furniture, box.albedo);
}

}  // namespace

Vec3 lightDirection() { return normalized(Vec3{0.35f, 1.0f, -0.45f}); }

SurfaceHit castIntoRoom(Vec3 o, Vec3 d) {
    Candidate best;
    if (d.y < 0) {
        best.offer(-o.y / d.y, {0, 1, 0}, Surface::Floor);
    } else if (d.y > 0) {
        best.offer((kCeilingY - o.y) / d.y, {0, -1, 0}, Surface::Ceiling);
    }
    if (d.z > 0) {
        float t = (kBackWallZ - o.z) / d.z;
        Vec3 p = o + d * t;
        bool door = p.x > kBackDoorLeft && p.x < kBackDoorRight && p.y < kDoorTop;
        if (!door) best.offer(t, {0, 0, -1}, Surface::BackWall);
    }
    if (d.x > 0) {
        float t = (kSideWallX - o.x) / d.x;
        Vec3 p = o + d * t;
        if (p.z < kBackWallZ) best.offer(t, {-1, 0, 0}, Surface::SideWall);
    } else if (d.x < 0) {
        float t = (-kSideWallX - o.x) / d.x;
        Vec3 p = o + d * t;
        bool door = p.z > kSideDoorNear && p.z < kSideDoorFar && p.y < kDoorTop;
        if (p.z < kBackWallZ && !door) best.offer(t, {1, 0, 0}, Surface::SideWall);
    }
    // A zero component gives an infinite reciprocal, which the slab test handles.
    const Vec3 inverse{1.0f / d.x, 1.0f / d.y, 1.0f / d.z};
    for (const Box& box : kFurniture) hitBox(box, o, inverse, best);

    SurfaceHit hit;
    hit.t = best.t;
    hit.normal = best.normal;
    switch (best.surface) {
        case Surface::Floor: hit.albedo = std::isinf(best.t) ? Vec3{} : floorAlbedo(o + d * best.t); break;
        case Surface::Ceiling: hit.albedo = rgb(236, 234, 228); break;
        case Surface::BackWall: hit.albedo = rgb(178, 196, 208); break;
        case Surface::SideWall: hit.albedo = rgb(212, 204, 186); break;
        case Surface::Furniture: hit.albedo = best.albedo; break;
    }
    hit.infraredAlbedo = std::isinf(best.t) ? 0.0f : infraredAlbedoOf(best.albedo);
    return hit;
}

}  // namespace plexa::scene
