// Image sizes and pixel layouts of the sensor's streams.
#pragma once

#include "runtime1/NuiRuntime.h"

#include <cstddef>
#include <cstdint>

namespace plexa::virtual1 {

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

// {0, 0} for a code the sensor does not know.
constexpr ImageSize imageSizeOf(std::int32_t resolution) {
    switch (resolution) {
        case NUI_IMAGE_RESOLUTION_80x60:
            return {80, 60};
        case NUI_IMAGE_RESOLUTION_320x240:
            return {320, 240};
        case NUI_IMAGE_RESOLUTION_640x480:
            return {640, 480};
        case NUI_IMAGE_RESOLUTION_1280x960:
            return {1280, 960};
        default:
            return {};
    }
}

constexpr bool isKnownImageType(std::int32_t imageType) {
    return imageType == NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX || imageType == NUI_IMAGE_TYPE_COLOR ||
           imageType == NUI_IMAGE_TYPE_COLOR_INFRARED;
}

// Color is blue, green, red and an unused byte; depth and infrared are 16-bit samples.
constexpr int bytesPerPixelOf(std::int32_t imageType) { return imageType == NUI_IMAGE_TYPE_COLOR ? 4 : 2; }

constexpr std::int32_t packedPitchOf(std::int32_t imageType, std::int32_t resolution) {
    return imageSizeOf(resolution).width * bytesPerPixelOf(imageType);
}

}  // namespace plexa::virtual1
