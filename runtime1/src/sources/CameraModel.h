// The sensor's optics and accelerometer are those of the scene's rig, so the
// color coordinates and readings a program asks for describe the same
// geometry that live mode films.
#pragma once

#include "ImageGeometry.h"

namespace plexa::virtual1 {

// The color-image pixel (column, row) of every depth pixel, two LONGs per
// pixel, for a color image of `colorResolution`. A sample without depth is
// mapped as a point far away, where the cameras' offset no longer shows. Both
// codes must be known resolutions; the buffers hold the whole depth image.
void mapDepthToColor(std::int32_t depthResolution, std::int32_t colorResolution, const USHORT* samples,
                     LONG* colorCoordinates);

// Gravity as the accelerometer in the sensor head reads it, in g: (0, -1, 0)
// when level; tilting the head up by `elevationDegrees` turns gravity towards -z.
Vector4 gravityReading(LONG elevationDegrees);

}  // namespace plexa::virtual1
