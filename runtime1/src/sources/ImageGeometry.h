// The sensor's streams and their pixel layouts (image sizes are the public header's).
#pragma once

#include "runtime1/ImageResolution.h"
#include "runtime1/NuiRuntime.h"
#include "runtime1/VirtualSensor1.h"

#include <cstddef>
#include <cstdint>

namespace plexa::virtual1 {

using runtime1::ImageSize;
using runtime1::imageSizeOf;
using runtime1::isKnownResolution;

constexpr bool isKnownImageType(std::int32_t imageType) {
    return imageType == NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX || imageType == NUI_IMAGE_TYPE_COLOR ||
           imageType == NUI_IMAGE_TYPE_COLOR_INFRARED;
}

// Color is blue, green, red and an unused byte; depth and infrared are 16-bit samples.
constexpr int bytesPerPixelOf(std::int32_t imageType) { return imageType == NUI_IMAGE_TYPE_COLOR ? 4 : 2; }

// Depth has a stream of its own; color and infrared share the video stream.
constexpr Stream streamOf(std::int32_t imageType) {
    return imageType == NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX ? Stream::Depth : Stream::Video;
}
constexpr std::size_t slotOf(Stream stream) { return stream == Stream::Depth ? 0 : 1; }

constexpr std::int32_t packedPitchOf(std::int32_t imageType, std::int32_t resolution) {
    return imageSizeOf(resolution).width * bytesPerPixelOf(imageType);
}

}  // namespace plexa::virtual1
