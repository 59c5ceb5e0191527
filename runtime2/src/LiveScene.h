// What live mode films, in the scene library's terms: the scene's seed, where
// the sensor stands in it, and the scene time of a frame. Everything a test
// needs to film the same moment itself is here, so nothing is restated.
#pragma once

#include "SensorGeometry.h"
#include "plexa/scene/rig2.h"
#include "plexa/scene/scene.h"

#include <cstdint>

namespace plexa::virtual2 {

// Two people are in view for the first nine seconds of this scene, so a
// program that starts with the runtime sees both at once.
constexpr std::uint64_t kLiveSceneSeed = 7;

// The sensor stands 0.95 m above the floor, tilted 4 degrees down.
constexpr float kSensorHeightMetres = 0.95f;
constexpr float kSensorTiltDegrees = -4.0f;

// A rig at the sensor's pose. Rendering changes a rig's caches, so every
// renderer has its own; mapping leaves a rig as it is.
inline scene::Rig2 makeSensorRig() { return scene::Rig2(kSensorHeightMetres, kSensorTiltDegrees); }

// A frame's relative time is the scene's clock.
inline double sceneSeconds(TIMESPAN relativeTime) {
    return static_cast<double>(relativeTime) / static_cast<double>(kTicksPerSecond);
}

static_assert(scene::Rig2::kDepthWidth == kDepthWidth && scene::Rig2::kDepthHeight == kDepthHeight,
              "the rig films depth at the sensor's size");
static_assert(scene::Rig2::kColorWidth == kColorWidth && scene::Rig2::kColorHeight == kColorHeight,
              "the rig films color at the sensor's size");

}  // namespace plexa::virtual2
