// What live mode films, in the scene library's terms: the scene's seed, where
// the sensor stands in it, the scene time of a frame, and the rig's resolution
// codes. Everything a test needs to film the same moment itself is here.
#pragma once

#include "ImageGeometry.h"
#include "plexa/scene/rig1.h"
#include "plexa/scene/scene.h"

#include <cstdint>
#include <optional>

namespace plexa::virtual1 {

// The second-generation sensor films the same scene, so both show the same
// people; two of them are in view for the first nine seconds.
constexpr std::uint64_t kLiveSceneSeed = 7;

constexpr float kSensorHeightMetres = 0.9f;

// A frame's time stamp (milliseconds since the sensor was initialised) is the
// scene's clock: a sensor films the scene from its beginning each time it
// starts, and a frame can be filmed again from its time stamp alone.
inline double sceneSecondsAt(INT64 timeStamp) { return static_cast<double>(timeStamp) / 1000.0; }

// The sensor's rig at a tilt. Rendering fills a rig's caches, so every
// renderer keeps its own; mapping and readings need none.
inline scene::Rig1 makeSensorRig(LONG elevationDegrees) {
    return scene::Rig1(kSensorHeightMetres, static_cast<float>(elevationDegrees));
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
    for (std::int32_t code = NUI_IMAGE_RESOLUTION_80x60; code <= NUI_IMAGE_RESOLUTION_1280x960; ++code) {
        const ImageSize known = imageSizeOf(code);
        if (known.width == size.width && known.height == size.height) return rigResolutionOf(code);
    }
    return std::nullopt;
}

}  // namespace plexa::virtual1
