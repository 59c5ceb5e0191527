// The depth recording file, a format other programs read. Little-endian
// throughout, no magic number, version, count or trailer:
//
//   header  uint16 W, uint16 H   (0, 0 when the session has no depth stream)
//   record  float32 accelerometer x, y, z; then W x H uint16 samples as the
//           runtime delivered them, pixel 0 first        (12 + 2WH bytes)
//
// A reader takes W and H from the header and reads whole records to the end.
#pragma once

#include "runtime1/NuiRuntime.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace plexa::bridge1 {

constexpr std::size_t kDepthRecordHeaderBytes = 4;
constexpr std::size_t kDepthRecordPrefixBytes = 12;

constexpr std::size_t depthRecordBytes(std::size_t pixelCount) { return kDepthRecordPrefixBytes + 2 * pixelCount; }

// Writes the header (the low 16 bits of each size). False when the stream
// took less than all of it.
bool writeDepthRecordHeader(std::FILE* file, int width, int height);

// Writes one record. False when the stream took less than all of it.
bool writeDepthRecord(std::FILE* file, const Vector4& accelerometer, const std::uint16_t* samples,
                      std::size_t sampleCount);

}  // namespace plexa::bridge1
