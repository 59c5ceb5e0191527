// Scripted first-generation frames. The runtime's own record types stay in
// Bridge1Frames.cpp: nothing else here names them.
#pragma once

#include <cstdint>
#include <vector>

namespace plexa::e2e {

// Depth samples (depth and player index) of one frame: every pixel differs
// from its neighbours and from the same pixel of the frame before.
std::vector<std::uint16_t> depthSamples(int width, int height, int frame);

// Color bytes (blue, green, red, unused per pixel) of one frame.
std::vector<std::uint8_t> colorBytes(int width, int height, int frame);

// Queues the frames on a scripted sensor, rows packed.
void queueDepthFrame(int sensorIndex, const std::vector<std::uint16_t>& samples);
void queueColorFrame(int sensorIndex, const std::vector<std::uint8_t>& bytes);

// Queues a skeleton frame in which only `slot` is tracked, every joint of it
// tracked and placed apart from the others.
void queueSkeletonFrameTracking(int sensorIndex, int slot);

}  // namespace plexa::e2e
