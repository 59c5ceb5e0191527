#include "SkeletonPacking.h"

#include <algorithm>

namespace plexa::bridge1 {

bool markTrackedSlots(const NuiSkeletonFrame& frame, std::uint8_t* tracked) {
    bool any = false;
    for (int s = 0; s < NuiSkeletonCount; ++s) {
        const bool isTracked = frame.skeletons[s].trackingState == NuiSkeletonTracked;
        tracked[s] = isTracked ? 1 : 0;
        any = any || isTracked;
    }
    return any;
}

void packTrackedSkeletons(const NuiSkeletonFrame& frame, const SkeletonBuffers& buffers) {
    buffers.floorPlane[0] = frame.floorClipPlane.x;
    buffers.floorPlane[1] = frame.floorClipPlane.y;
    buffers.floorPlane[2] = frame.floorClipPlane.z;
    buffers.floorPlane[3] = frame.floorClipPlane.w;
    for (int s = 0; s < NuiSkeletonCount; ++s) {
        const NuiSkeletonData& skeleton = frame.skeletons[s];
        if (skeleton.trackingState != NuiSkeletonTracked) continue;
        float* positions = buffers.positions + s * NuiSkeletonJointCount * 3;
        std::uint8_t* states = buffers.jointStates + s * NuiSkeletonJointCount;
        for (int j = 0; j < NuiSkeletonJointCount; ++j) {
            positions[3 * j] = skeleton.jointPositions[j].x;
            positions[3 * j + 1] = skeleton.jointPositions[j].y;
            positions[3 * j + 2] = skeleton.jointPositions[j].z;
            states[j] = static_cast<std::uint8_t>(skeleton.jointTrackingStates[j] & 0xFF);
        }
    }
}

void layoutJavaPositions(const float* floorPlane, const float* positions, float* javaPositions) {
    std::copy(floorPlane, floorPlane + kFloorPlaneCount, javaPositions);
    std::copy(positions, positions + kSkeletonCoordinateCount, javaPositions + kFloorPlaneCount);
}

}  // namespace plexa::bridge1
