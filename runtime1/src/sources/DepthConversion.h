// Frame conversion of the sources that do not film the scene: pure functions
// from what libfreenect (or a fakenect dump) hands over to the runtime's
// formats, unit-tested without a device.
//
// Depth. A first-generation sensor reports an 11-bit raw disparity per pixel;
// the runtime's depth format holds millimetres shifted left by 3 (player index
// 0 in the low 3 bits). Where libfreenect has the device's registration data
// its raw-to-millimetre table is used; otherwise this documented formula
// (N. Burrus's fit, OpenKinect wiki "Imaging Information"):
//
//     mm = floor(1000 / (3.3309495161 - 0.0030711016 * raw) + 0.5)
//
// evaluated in IEEE double precision in that order. Raw 2047 (no reading),
// raw values above 2047, a divisor that is not positive and results outside
// 1 to 8191 mm (the 13 bits the runtime's format holds) give 0.
//
// Color. 3 bytes per pixel red, green, blue become 4 bytes blue, green, red, 0.
// Infrared. 10-bit samples become 16-bit ones, the value in the top 10 bits
// (shifted left by 6), as the runtime's infrared stream holds them.
// Accelerometer. libfreenect's raw counts (819 per g) measure the force that
// holds the sensor up: +819 on y when level. The runtime reads gravity in g
// on the same axes, (0, -1, 0) when level: reading = -counts / 819.
#pragma once

#include "runtime1/NuiRuntime.h"

#include <cstddef>
#include <cstdint>

namespace plexa::virtual1 {

constexpr std::uint16_t kRawDepthNoValue = 2047;
constexpr int kRawDepthValues = 2048;
constexpr int kMaximumDepthMillimetres = 8191;
constexpr float kAccelerometerCountsPerG = 819.0f;

// The documented formula for one raw value; 0 where it gives no reading.
std::uint16_t millimetresFromRaw(std::uint32_t raw);

// Runtime depth samples (mm << 3) from raw 11-bit values. `rawToMillimetres`,
// when not null, is the device's table of 2048 entries and replaces the formula.
void depthSamplesFromRaw(const std::uint16_t* raw, std::size_t count, const std::uint16_t* rawToMillimetres,
                         std::uint16_t* samples);

// `pixels` RGB triples to BGRX quadruples.
void bgrxFromRgb(const std::uint8_t* rgb, std::size_t pixels, std::uint8_t* bgrx);

// 10-bit infrared samples to 16 bits; values above 1023 saturate.
void infraredFromTenBit(const std::uint16_t* tenBit, std::size_t count, std::uint16_t* samples);

// Raw accelerometer counts to the runtime's reading (w is 0).
Vector4 readingFromCounts(std::int16_t x, std::int16_t y, std::int16_t z);

// The sensor's elevation in whole degrees as its accelerometer shows it:
// 0 when level (0, -1, 0), positive when tilted up (gravity towards -z);
// 0 for a reading without a direction.
LONG elevationFromReading(const Vector4& reading);

// The depth-to-color registration of a device, as libfreenect computes it:
// for pixel i of the 640 x 480 depth image at `mm` millimetres, the pixel of
// the 640 x 480 color image is ((table[i][0] + shift[mm]) / 256, table[i][1]).
struct DepthRegistration {
    const std::int32_t (*table)[2] = nullptr;  // 640 x 480 pairs
    const std::int32_t* shift = nullptr;       // indexed by millimetres, below shiftCount
    int shiftCount = 0;
};

// The color pixel (column, row) of every pixel of a 640 x 480 depth image
// (runtime samples), for a color image of `colorWidth` x `colorHeight`. A
// sample without depth is mapped as a point as far away as the table goes.
void mapDepthToColorByRegistration(const DepthRegistration& registration, const std::uint16_t* samples, int colorWidth,
                                   int colorHeight, LONG* colorCoordinates);

}  // namespace plexa::virtual1
