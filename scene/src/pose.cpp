#include "plexa/scene/pose.h"

#include <cmath>

#include "camera.h"

namespace plexa::scene {

Vec3 RigPose::toWorld(Vec3 camera) const { return placementOf(*this).toWorld(camera); }

Vec3 RigPose::toCamera(Vec3 world) const { return placementOf(*this).toCamera(world); }

RigPose poseLookingAt(float x, float z, float height, Vec3 target) {
    const float dx = target.x - x, dz = target.z - z, dy = target.y - height;
    RigPose pose;
    pose.x = x;
    pose.z = z;
    pose.height = height;
    constexpr float kDegreesPerRadian = 180.0f / kPi;
    pose.headingDegrees = std::atan2(dx, dz) * kDegreesPerRadian;
    pose.tiltDegrees = std::atan2(dy, std::sqrt(dx * dx + dz * dz)) * kDegreesPerRadian;
    return pose;
}

}  // namespace plexa::scene
