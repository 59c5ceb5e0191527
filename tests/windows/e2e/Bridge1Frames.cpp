#include "Bridge1Frames.h"

#include "runtime1/VirtualSensor1.h"

#include <cstring>

namespace plexa::e2e {

std::vector<std::uint16_t> depthSamples(int width, int height, int frame) {
    std::vector<std::uint16_t> samples(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::uint16_t>(i * 37u + static_cast<unsigned>(frame) * 1009u);
    }
    return samples;
}

std::vector<std::uint8_t> colorBytes(int width, int height, int frame) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7u + static_cast<unsigned>(frame) * 51u);
    }
    return bytes;
}

void queueDepthFrame(int sensorIndex, const std::vector<std::uint16_t>& samples) {
    virtual1::ScriptedImageFrame frame;
    frame.bytes.resize(samples.size() * sizeof(std::uint16_t));
    std::memcpy(frame.bytes.data(), samples.data(), frame.bytes.size());
    virtual1::queueImageFrame(sensorIndex, virtual1::Stream::Depth, std::move(frame));
}

void queueColorFrame(int sensorIndex, const std::vector<std::uint8_t>& bytes) {
    virtual1::ScriptedImageFrame frame;
    frame.bytes = bytes;
    virtual1::queueImageFrame(sensorIndex, virtual1::Stream::Video, std::move(frame));
}

void queueSkeletonFrameTracking(int sensorIndex, int slot) {
    NUI_SKELETON_FRAME frame{};
    frame.vFloorClipPlane = {0.0f, 1.0f, 0.0f, 0.8f};
    NUI_SKELETON_DATA& skeleton = frame.SkeletonData[slot];
    skeleton.eTrackingState = NUI_SKELETON_TRACKED;
    for (int j = 0; j < NUI_SKELETON_POSITION_COUNT; ++j) {
        skeleton.SkeletonPositions[j] = {0.05f * static_cast<float>(j), 0.5f, 2.0f, 1.0f};
        skeleton.eSkeletonPositionTrackingState[j] = NUI_SKELETON_POSITION_TRACKED;
    }
    virtual1::queueSkeletonFrame(sensorIndex, frame);
}

}  // namespace plexa::e2e
