#include "CameraModel.h"

#include "LiveScene.h"

#include <type_traits>

namespace plexa::virtual1 {

// The caller's coordinates are handed to the rig as its own pixel records.
static_assert(std::is_same_v<decltype(scene::ColorPixel::x), LONG> &&
                  std::is_same_v<decltype(scene::ColorPixel::y), LONG> &&
                  sizeof(scene::ColorPixel) == 2 * sizeof(LONG) && alignof(scene::ColorPixel) == alignof(LONG) &&
                  std::is_standard_layout_v<scene::ColorPixel>,
              "a color pixel is two LONGs, column then row");

void mapDepthToColor(std::int32_t depthResolution, std::int32_t colorResolution, const USHORT* samples,
                     LONG* colorCoordinates) {
    const auto depth = rigResolutionOf(depthResolution);
    const auto color = rigResolutionOf(colorResolution);
    if (!depth || !color) return;
    scene::Rig1::mapDepthFrameToColor(*depth, samples, imageSizeOf(depthResolution).pixelCount(), *color,
                                      reinterpret_cast<scene::ColorPixel*>(colorCoordinates));
}

NuiVector4 gravityReading(LONG elevationDegrees) {
    const scene::Vec4 gravity = makeSensorRig(elevationDegrees).accelerometer();
    return NuiVector4{gravity.x, gravity.y, gravity.z, gravity.w};
}

}  // namespace plexa::virtual1
