// The image size of each resolution code, for the runtime and its callers alike.
#pragma once

#include "runtime1/NuiRuntime.h"

#include <cstddef>
#include <cstdint>

namespace plexa::runtime1 {

struct ImageSize {
    int width = 0;
    int height = 0;

    constexpr std::size_t pixelCount() const {
        return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    }
};

constexpr bool isKnownResolution(std::int32_t resolution) {
    return resolution >= NUI_IMAGE_RESOLUTION_80x60 && resolution <= NUI_IMAGE_RESOLUTION_1280x960;
}

// 80 x 60, 320 x 240, 640 x 480, 1280 x 960; 0 x 0 for any other code.
constexpr ImageSize imageSizeOf(std::int32_t resolution) {
    switch (resolution) {
        case NUI_IMAGE_RESOLUTION_80x60: return {80, 60};
        case NUI_IMAGE_RESOLUTION_320x240: return {320, 240};
        case NUI_IMAGE_RESOLUTION_640x480: return {640, 480};
        case NUI_IMAGE_RESOLUTION_1280x960: return {1280, 960};
        default: return {};
    }
}

// The code of an image size; NUI_IMAGE_RESOLUTION_INVALID for a size no code
// has. Long, so that any size parsed from a file compares as it was written.
constexpr std::int32_t resolutionOfSize(long width, long height) {
    for (std::int32_t code = NUI_IMAGE_RESOLUTION_80x60; code <= NUI_IMAGE_RESOLUTION_1280x960; ++code) {
        if (imageSizeOf(code).width == width && imageSizeOf(code).height == height) return code;
    }
    return NUI_IMAGE_RESOLUTION_INVALID;
}

}  // namespace plexa::runtime1
