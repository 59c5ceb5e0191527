// A sensor's frame buffers: made once, kept on the sensor's shelf between its
// sessions (BufferShelf) and lent to one session at a time, which uses them
// only on its event thread.
#pragma once

#include "BufferShelf.h"
#include "NativeBuffers.h"
#include "SkeletonPacking.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace plexa::bridge1 {

constexpr int kSensorCount = 10;

struct FrameBuffers {
    // Packed copies of padded depth and video rows.
    GrowingBuffer depthRows;
    GrowingBuffer videoRows;

    // UV is computed straight into its Java array; natively only the
    // color-pixel coordinates stay, 2N LONG each: this frame's as the runtime
    // gives them, and those of the last mapping that succeeded (zeros before
    // the first of a session).
    GrowingBuffer uvRaw;
    GrowingBuffer uvLastMapped;
    std::size_t uvPixels = 0;  // what uvLastMapped holds; 0 until the session's first UV frame

    std::array<float, kSkeletonCoordinateCount> skeletonPositions{};
    std::array<std::uint8_t, NUI_SKELETON_COUNT> skeletonTracked{};
    std::array<std::uint8_t, kJointStateCount> jointStates{};
    std::array<float, kFloorPlaneCount> floorPlane{};

    // A session starts from zeros, whatever the session before it left.
    void startSession() {
        uvPixels = 0;
        skeletonPositions.fill(0.0f);
        skeletonTracked.fill(0);
        jointStates.fill(0);
        floorPlane.fill(0.0f);
    }

    SkeletonBuffers skeletons() {
        return {skeletonTracked.data(), skeletonPositions.data(), jointStates.data(), floorPlane.data()};
    }
};

using FrameBufferShelf = BufferShelf<FrameBuffers, kSensorCount>;

}  // namespace plexa::bridge1
