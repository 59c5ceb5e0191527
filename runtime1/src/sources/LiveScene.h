// What live mode films, in the scene library's terms: the scene's seed, where
// each sensor stands in it, the scene time of a frame, and the rig's resolution
// codes. Everything a test needs to film the same moment itself is here.
#pragma once

#include "ImageGeometry.h"
#include "plexa/scene/moment.h"
#include "plexa/scene/rig1.h"
#include "plexa/scene/scene.h"

#include <cmath>
#include <cstdint>
#include <optional>

namespace plexa::virtual1 {

// The second-generation sensor films the same scene, so both show the same
// people; two of them are in view for the first nine seconds.
constexpr std::uint64_t kLiveSceneSeed = 7;

// Every virtual sensor of the process films on one clock: a frame's time stamp
// counts milliseconds from the moment the first of them was initialised, and
// is the scene's clock, so sensors filming at once show the same people at the
// same moments, and a frame can be filmed again from its time stamp alone.
inline double sceneSecondsAt(INT64 timeStamp) { return static_cast<double>(timeStamp) / 1000.0; }

// Sensor 0 stands at the origin, 0.9 m up, looking along +z; each further one
// stands at a place of its own around the room, looking at its middle, its
// head tilted (the elevation it reports) towards it.
inline LONG defaultElevation(int sensorIndex) {
    return static_cast<LONG>(std::lround(scene::Rig1::defaultPose(sensorIndex).tiltDegrees));
}

inline scene::RigPose sensorPose(int sensorIndex, LONG elevationDegrees) {
    scene::RigPose pose = scene::Rig1::defaultPose(sensorIndex);
    pose.tiltDegrees = static_cast<float>(elevationDegrees);
    return pose;
}

// The rig of a sensor at a tilt. Rendering fills a rig's caches, so every
// renderer keeps its own; mapping and readings need none.
inline scene::Rig1 makeSensorRig(LONG elevationDegrees, int sensorIndex = 0) {
    return scene::Rig1(sensorPose(sensorIndex, elevationDegrees));
}

// The moments every virtual sensor of the process films, worked out once each.
inline scene::MomentCache& liveMoments() {
    // Never destroyed, so that threads still filming at exit can use it.
    static scene::MomentCache* const moments = new scene::MomentCache(scene::Scene(kLiveSceneSeed));
    return *moments;
}

// The rig's resolutions carry the runtime's resolution codes.
static_assert(static_cast<int>(scene::Rig1::Resolution::R80x60) == NUI_IMAGE_RESOLUTION_80x60 &&
                  static_cast<int>(scene::Rig1::Resolution::R320x240) == NUI_IMAGE_RESOLUTION_320x240 &&
                  static_cast<int>(scene::Rig1::Resolution::R640x480) == NUI_IMAGE_RESOLUTION_640x480 &&
                  static_cast<int>(scene::Rig1::Resolution::R1280x960) == NUI_IMAGE_RESOLUTION_1280x960,
              "the rig's resolutions are the runtime's codes");

inline std::optional<scene::Rig1::Resolution> rigResolutionOf(std::int32_t resolution) {
    if (!isKnownResolution(resolution)) return std::nullopt;
    return static_cast<scene::Rig1::Resolution>(resolution);
}

inline std::optional<scene::Rig1::Resolution> rigResolutionOf(ImageSize size) {
    return rigResolutionOf(runtime1::resolutionOfSize(size.width, size.height));
}

}  // namespace plexa::virtual1
