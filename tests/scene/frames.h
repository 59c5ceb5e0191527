// Rendered frames of both rigs, for the scene tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "plexa/scene/rig1.h"
#include "plexa/scene/rig2.h"
#include "plexa/scene/scene.h"

namespace plexa::scene::testing {

struct DepthFrame {
    int width = 0, height = 0;
    std::vector<std::uint16_t> depthMm, depthWithPlayer, infrared, longInfrared;
    std::vector<std::uint8_t> personIndex;

    DepthFrame(int w, int h)
        : width(w), height(h), depthMm(w * h), depthWithPlayer(w * h), infrared(w * h), longInfrared(w * h),
          personIndex(w * h) {}
    DepthImages images() {
        DepthImages d;
        d.depthMm = depthMm.data();
        d.depthWithPlayer = depthWithPlayer.data();
        d.infrared = infrared.data();
        d.longExposureInfrared = longInfrared.data();
        d.personIndex = personIndex.data();
        return d;
    }
    int at(int col, int row) const { return row * width + col; }
    bool inside(int col, int row) const { return col >= 0 && row >= 0 && col < width && row < height; }
};

struct ColorFrame {
    int width = 0, height = 0;
    std::vector<std::uint8_t> bgra;
    ColorFrame(int w, int h) : width(w), height(h), bgra(4 * w * h) {}
    std::uint32_t pixel(int col, int row) const {
        const std::uint8_t* p = &bgra[4 * (row * width + col)];
        return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    }
};

inline DepthFrame renderDepth(Rig1& rig, const Snapshot& s, Rig1::Resolution r) {
    DepthFrame f(Rig1::width(r), Rig1::height(r));
    rig.renderDepth(s, r, f.images());
    return f;
}

inline ColorFrame renderColor(Rig1& rig, const Snapshot& s, Rig1::Resolution r) {
    ColorFrame f(Rig1::width(r), Rig1::height(r));
    rig.renderColor(s, r, f.bgra.data());
    return f;
}

inline DepthFrame renderDepth(Rig2& rig, const Snapshot& s) {
    DepthFrame f(Rig2::kDepthWidth, Rig2::kDepthHeight);
    rig.renderDepth(s, f.images());
    return f;
}

inline ColorFrame renderColor(Rig2& rig, const Snapshot& s) {
    ColorFrame f(Rig2::kColorWidth, Rig2::kColorHeight);
    rig.renderColor(s, f.bgra.data());
    return f;
}

// Times spread over a few minutes of the scene, where people walk, stop, wave and leave.
inline float distance(Vec3 a, Vec3 b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

// Body frames equal bit for bit: floor plane, tracked flags, every joint's state, position and orientation.
inline bool sameBodies(const BodyFrame& a, const BodyFrame& b) {
    if (std::memcmp(&a.floorClipPlane, &b.floorClipPlane, sizeof(Vec4)) != 0) return false;
    for (int s = 0; s < kBodySlots; ++s) {
        if (a.bodies[s].tracked != b.bodies[s].tracked) return false;
        for (int j = 0; j < kJointCount; ++j) {
            const BodyJoint &x = a.bodies[s].joints[j], &y = b.bodies[s].joints[j];
            if (x.state != y.state || std::memcmp(&x.position, &y.position, sizeof(Vec3)) != 0 ||
                std::memcmp(&x.orientation, &y.orientation, sizeof(Quat)) != 0)
                return false;
        }
    }
    return true;
}

inline std::vector<double> sampleTimes(int count, double step = 3.7) {
    std::vector<double> times;
    for (int i = 0; i < count; ++i) times.push_back(0.25 + step * i);
    return times;
}

}  // namespace plexa::scene::testing
