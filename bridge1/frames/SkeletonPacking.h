// Packing skeleton frames into the session's fixed buffers and the arrays
// Java receives.
//
// Buffers: tracked flags (6 bytes, one per slot), joint positions (6 slots x
// 20 joints x (x, y, z) floats: entry 60s + 3j + c), joint tracking states
// (6 x 20 bytes: entry 20s + j) and the floor clip plane (4 floats). A slot
// that is not tracked in a frame keeps what the last frame that tracked it
// wrote; only the tracked flags say which slots are current.
#pragma once

#include "runtime1/NuiRuntime.h"

#include <cstdint>

namespace plexa::bridge1 {

constexpr int kSkeletonCoordinateCount = NUI_SKELETON_COUNT * NUI_SKELETON_POSITION_COUNT * 3;  // 360
constexpr int kJointStateCount = NUI_SKELETON_COUNT * NUI_SKELETON_POSITION_COUNT;              // 120
constexpr int kFloorPlaneCount = 4;
// Java's positions array: the floor plane, then every joint coordinate.
constexpr int kJavaPositionCount = kFloorPlaneCount + kSkeletonCoordinateCount;  // 364

struct SkeletonBuffers {
    std::uint8_t* tracked;   // 6
    float* positions;        // 360
    std::uint8_t* jointStates;  // 120
    float* floorPlane;       // 4
};

// Rewrites the tracked flag of every slot: 1 when the slot's tracking state
// is "tracked" (2), else 0 (position-only counts as not tracked). True when
// any slot is tracked.
bool markTrackedSlots(const NUI_SKELETON_FRAME& frame, std::uint8_t* tracked);

// Copies the frame's floor plane, and the x, y, z of every joint and the low
// byte of every joint state of each tracked slot. Other slots are left as
// they are.
void packTrackedSkeletons(const NUI_SKELETON_FRAME& frame, const SkeletonBuffers& buffers);

// Java's positions array: the floor plane in elements 0..3, then the 360
// coordinates, so joint j of slot s has x, y, z at 4 + 60s + 3j, +1, +2.
void layoutJavaPositions(const float* floorPlane, const float* positions, float* javaPositions);

}  // namespace plexa::bridge1
