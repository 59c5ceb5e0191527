#include "CameraModel.h"

#include "LiveScene.h"

#include <cstddef>
#include <type_traits>
#include <vector>

namespace plexa::virtual1 {

namespace {

// Where LONG is the scene's own coordinate type (a 32-bit int), the rig writes
// straight into the caller's coordinates; where LONG is another 32-bit type
// (Windows' long), the rig writes its own records and they are copied over, so
// that no memory is accessed through a type it does not hold.
constexpr bool kRigWritesLongs =
    std::is_same_v<decltype(scene::ColorPixel::x), LONG> && std::is_same_v<decltype(scene::ColorPixel::y), LONG> &&
    sizeof(scene::ColorPixel) == 2 * sizeof(LONG) && alignof(scene::ColorPixel) == alignof(LONG) &&
    std::is_standard_layout_v<scene::ColorPixel>;

}  // namespace

void mapDepthToColor(std::int32_t depthResolution, std::int32_t colorResolution, const USHORT* samples,
                     LONG* colorCoordinates) {
    const auto depth = rigResolutionOf(depthResolution);
    const auto color = rigResolutionOf(colorResolution);
    if (!depth || !color) return;
    const std::size_t pixels = imageSizeOf(depthResolution).pixelCount();
    if constexpr (kRigWritesLongs) {
        scene::Rig1::mapDepthFrameToColor(*depth, samples, pixels, *color,
                                          reinterpret_cast<scene::ColorPixel*>(colorCoordinates));
    } else {
        thread_local std::vector<scene::ColorPixel> pixelsOut;
        pixelsOut.resize(pixels);
        scene::Rig1::mapDepthFrameToColor(*depth, samples, pixels, *color, pixelsOut.data());
        for (std::size_t i = 0; i < pixels; ++i) {
            colorCoordinates[2 * i] = static_cast<LONG>(pixelsOut[i].x);
            colorCoordinates[2 * i + 1] = static_cast<LONG>(pixelsOut[i].y);
        }
    }
}

Vector4 gravityReading(LONG elevationDegrees) {
    const scene::Vec4 gravity = makeSensorRig(elevationDegrees).accelerometer();
    return Vector4{gravity.x, gravity.y, gravity.z, gravity.w};
}

}  // namespace plexa::virtual1
