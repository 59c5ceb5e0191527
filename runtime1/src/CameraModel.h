// The sensor's optics: a depth camera and, 2.5 cm beside it, a color camera
// with the same field of view; and the accelerometer that sits in the tilting
// head.
#pragma once

#include "ImageGeometry.h"

namespace plexa::virtual1 {

struct Intrinsics {
    float focal;  // pixels, for both axes
    float centreColumn;
    float centreRow;
};

// The depth camera's intrinsics at an image size; the color camera has the
// same field of view, so the same rule gives its intrinsics at its size.
Intrinsics intrinsicsAt(ImageSize size);

// How far the color camera sits to the right (+x) of the depth camera.
constexpr float colorCameraOffsetMetres = 0.025f;

// The color-image pixel (column, row) of every depth pixel, two LONGs per
// pixel, for a color image of `colorSize`. A sample without depth (0 mm) is
// mapped as a point far away, where the cameras' offset no longer shows.
void mapDepthToColor(ImageSize depthSize, ImageSize colorSize, const USHORT* samples, LONG* colorCoordinates);

// Gravity as the accelerometer in the sensor head reads it, in g: (0, -1, 0)
// when level; tilting the head up by `elevationDegrees` turns gravity towards -z.
NuiVector4 gravityReading(LONG elevationDegrees);

}  // namespace plexa::virtual1
