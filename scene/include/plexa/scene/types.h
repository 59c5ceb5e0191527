// Plain value types shared by the scene's interface. Camera space is x right,
// y up, z forward (metres); images have row 0 at the top.
#pragma once

#include <cstdint>

namespace plexa::scene {

struct Vec3 {
    float x = 0, y = 0, z = 0;
};

struct Vec4 {
    float x = 0, y = 0, z = 0, w = 0;
};

// Unit quaternion (x, y, z, w), w the scalar part.
struct Quat {
    float x = 0, y = 0, z = 0, w = 1;
};

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
};

// Layout-compatible with three packed floats, so a frame of them can be handed on as is.
struct CameraPoint {
    float x = 0, y = 0, z = 0;
};

// A position in an image, in pixels (fractional): x the column, y the row.
struct ImagePoint {
    float x = 0, y = 0;
};

// A whole color pixel (column x, row y), as the first generation reports it.
struct ColorPixel {
    std::int32_t x = 0, y = 0;
};

// Depth camera intrinsics in the second generation's order: focal lengths,
// principal point (pixels) and radial distortion of second, fourth and sixth order.
struct CameraIntrinsics {
    float focalLengthX = 0, focalLengthY = 0;
    float principalPointX = 0, principalPointY = 0;
    float radialDistortionSecondOrder = 0, radialDistortionFourthOrder = 0, radialDistortionSixthOrder = 0;
};

static_assert(sizeof(CameraPoint) == 3 * sizeof(float), "CameraPoint must be three packed floats");
static_assert(sizeof(ImagePoint) == 2 * sizeof(float), "ImagePoint must be two packed floats");
static_assert(sizeof(ColorPixel) == 2 * sizeof(std::int32_t), "ColorPixel must be two packed int32");
static_assert(sizeof(CameraIntrinsics) == 7 * sizeof(float), "CameraIntrinsics must be seven packed floats");

}  // namespace plexa::scene
