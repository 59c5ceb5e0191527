// Per-pixel geometry of a depth image: camera-space points (XYZ) and
// normalised color-image coordinates (UV). Plain arithmetic over packed
// arrays, written so the compiler vectorises the loops, and built again for
// AVX2 and AVX-512 processors, chosen at run time (DepthGeometryKernels.h);
// results are the same bit for bit as the one-pixel-at-a-time formulas
// documented below.
#pragma once

#include "plexa/platform.h"

#include <cstddef>
#include <cstdint>

namespace plexa::bridge1 {

// The depth camera model, derived from the image size alone, in single
// precision: focal length (W x 285.63) / 320 (multiplied first), the centre
// column W x 0.5 - 0.5 and the centre row H x 0.5 - 0.5. The one focal length
// serves both axes.
struct DepthCameraModel {
    float focalLength;
    float centreColumn;
    float centreRow;
};
DepthCameraModel depthCameraModel(int width, int height);

// Depth in metres of a sample: the millimetres in bits 15..3 (the player index
// in bits 2..0 dropped) divided by 1000, rounded once to single precision.
float depthMetres(std::uint16_t sample);

// Point of the sample at column k of row j: z = depthMetres(s),
// x = ((k - centreColumn) x z) / focalLength, y = ((centreRow - j) x z) / focalLength,
// all in single precision. x grows to the right, y upwards (row 0 has the
// largest y). Writes x, y, z for pixel 0, then pixel 1, ...: 3 x W x H floats.
void computeXyz(const std::uint16_t* samples, int width, int height, float* xyz);

// The same for rows firstRow .. firstRow + rowCount - 1 only, written from the
// start of `xyz` (3 x W x rowCount floats), so an image can be done in bands.
void computeXyzRows(const std::uint16_t* samples, int width, int height, int firstRow, int rowCount, float* xyz);

// Color-image coordinates (column, row) of each pixel, divided by the image
// width and height in single precision: (160, 120) at 320 x 240 gives
// (0.5, 0.5). Coordinates outside the image give values outside 0..1 and pass
// through as they are. `pixelCount` pairs in, as many pairs out.
void normaliseUv(const LONG* coordinates, std::size_t pixelCount, int width, int height, float* uv);

}  // namespace plexa::bridge1
