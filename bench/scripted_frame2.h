// The second-generation frames the benchmarks queue on the scripted virtual
// sensor: every image stream at the sensor's sizes, and six tracked bodies
// when asked for.
#pragma once

#include "runtime2/VirtualSensor2.h"

#include <cstdint>

namespace plexa::bench {

constexpr int kDepthWidth2 = 512;
constexpr int kDepthHeight2 = 424;
constexpr int kDepthPixels2 = kDepthWidth2 * kDepthHeight2;
constexpr int kColorWidth2 = 1920;
constexpr int kColorHeight2 = 1080;

inline plexa::virtual2::ScriptedShortImage scriptedShortImage2(std::uint16_t seed) {
    plexa::virtual2::ScriptedShortImage image;
    image.samples.resize(kDepthPixels2);
    for (int i = 0; i < kDepthPixels2; ++i) image.samples[i] = static_cast<std::uint16_t>(500 + (i * 7 + seed) % 4000);
    return image;
}

inline plexa::virtual2::ScriptedFrame scriptedFrame2(bool sixTrackedBodies) {
    using namespace plexa::virtual2;
    ScriptedFrame frame;
    frame.color = ScriptedColorImage{};
    frame.color->rawFormat = ColorImageFormat_Bgra;
    frame.color->raw.resize(static_cast<std::size_t>(kColorWidth2) * kColorHeight2 * 4);
    for (std::size_t i = 0; i < frame.color->raw.size(); ++i) frame.color->raw[i] = static_cast<std::uint8_t>(i);
    frame.depth = scriptedShortImage2(1);
    frame.bodyIndex = ScriptedBodyIndexImage{};
    frame.bodyIndex->bytes.assign(kDepthPixels2, 255);
    frame.infrared = scriptedShortImage2(2);
    frame.longExposureInfrared = scriptedShortImage2(3);
    frame.bodies = ScriptedBodies{};
    if (sixTrackedBodies) {
        for (int slot = 0; slot < BODY_COUNT; ++slot) {
            ScriptedBody& body = frame.bodies->bodies[slot];
            body.tracked = true;
            for (int j = 0; j < JointType_Count; ++j) {
                const auto type = static_cast<JointType>(j);
                body.joints[j] = Joint{type, {0.1f * slot, 0.05f * j, 2.0f}, TrackingState_Tracked};
                body.orientations[j] = JointOrientation{type, {0.0f, 0.0f, 0.0f, 1.0f}};
            }
        }
    }
    return frame;
}

}  // namespace plexa::bench
