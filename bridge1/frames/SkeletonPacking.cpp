#include "SkeletonPacking.h"

#include <algorithm>

namespace plexa::bridge1 {

bool markTrackedSlots(const NUI_SKELETON_FRAME& frame, std::uint8_t* tracked) {
    bool any = false;
    for (int s = 0; s < NUI_SKELETON_COUNT; ++s) {
        const bool isTracked = frame.SkeletonData[s].eTrackingState == NUI_SKELETON_TRACKED;
        tracked[s] = isTracked ? 1 : 0;
        any = any || isTracked;
    }
    return any;
}

void packTrackedSkeletons(const NUI_SKELETON_FRAME& frame, const SkeletonBuffers& buffers) {
    buffers.floorPlane[0] = frame.vFloorClipPlane.x;
    buffers.floorPlane[1] = frame.vFloorClipPlane.y;
    buffers.floorPlane[2] = frame.vFloorClipPlane.z;
    buffers.floorPlane[3] = frame.vFloorClipPlane.w;
    for (int s = 0; s < NUI_SKELETON_COUNT; ++s) {
        const NUI_SKELETON_DATA& skeleton = frame.SkeletonData[s];
        if (skeleton.eTrackingState != NUI_SKELETON_TRACKED) continue;
        float* positions = buffers.positions + s * NUI_SKELETON_POSITION_COUNT * 3;
        std::uint8_t* states = buffers.jointStates + s * NUI_SKELETON_POSITION_COUNT;
        for (int j = 0; j < NUI_SKELETON_POSITION_COUNT; ++j) {
            positions[3 * j] = skeleton.SkeletonPositions[j].x;
            positions[3 * j + 1] = skeleton.SkeletonPositions[j].y;
            positions[3 * j + 2] = skeleton.SkeletonPositions[j].z;
            states[j] = static_cast<std::uint8_t>(skeleton.eSkeletonPositionTrackingState[j] & 0xFF);
        }
    }
}

void layoutJavaPositions(const float* floorPlane, const float* positions, float* javaPositions) {
    std::copy(floorPlane, floorPlane + kFloorPlaneCount, javaPositions);
    std::copy(positions, positions + kSkeletonCoordinateCount, javaPositions + kFloorPlaneCount);
}

}  // namespace plexa::bridge1
