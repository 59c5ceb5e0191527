// The body arrays of a session: six slots of 25 joints, packed the way Java
// receives them. Slots that are not tracked in a frame keep what they held
// when they last were, and start out as zeros.
#pragma once

#include "runtime2/KinectRuntime.h"

#include <array>
#include <cstdint>

namespace plexa::bridge2 {

constexpr int kBodySlots = BODY_COUNT;
constexpr int kJointsPerBody = JointType_Count;
constexpr int kFloorPlaneFloats = 4;
constexpr int kJointPositionFloats = kBodySlots * kJointsPerBody * 3;     // 450
constexpr int kJointOrientationFloats = kBodySlots * kJointsPerBody * 4;  // 600
constexpr int kJointStateBytes = kBodySlots * kJointsPerBody;             // 150

struct BodyBuffers {
    std::array<float, kJointPositionFloats> jointPositions{};
    std::array<float, kJointOrientationFloats> jointOrientations{};
    std::array<float, kFloorPlaneFloats> floorClipPlane{};
    std::array<std::uint8_t, kJointStateBytes> jointStates{};
    std::array<std::uint8_t, kBodySlots> bodyTracked{};
};

// What the runtime writes for one body.
struct BodyScratch {
    std::array<Joint, kJointsPerBody> joints{};
    std::array<JointOrientation, kJointsPerBody> orientations{};

    // Before every body, so that a query that fails leaves zeros, never the
    // joints of the body before.
    void clear();
};

// Copies one tracked body's joints into its slot: positions x, y, z;
// orientations x, y, z, w; the low byte of each tracking state.
void packBody(int slot, const BodyScratch& scratch, BodyBuffers& buffers);

}  // namespace plexa::bridge2
