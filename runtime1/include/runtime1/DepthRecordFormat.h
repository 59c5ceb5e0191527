// The depth recording file, a format other programs read. Little-endian
// throughout, no magic number, version, count or trailer:
//
//   header  uint16 W, uint16 H   (0, 0 when the session has no depth stream)
//   record  float32 accelerometer x, y, z; then W x H uint16 samples as the
//           runtime delivered them, pixel 0 first        (12 + 2WH bytes)
//
// A reader takes W and H from the header and reads whole records to the end.
// The bridge writes it and the runtime's replay reads it, both through here.
#pragma once

#include "runtime1/NuiRuntime.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace plexa::runtime1 {

// Samples and readings go to the file straight from memory, which holds them
// in the machine's order; that is the file's order only on a little-endian machine.
// Every machine MSVC builds for is little-endian; GCC and Clang say which they build for.
#if defined(__BYTE_ORDER__)
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "depth records are written in machine byte order");
#endif

constexpr std::size_t kDepthRecordHeaderBytes = 4;
constexpr std::size_t kDepthRecordPrefixBytes = 12;
static_assert(3 * sizeof(float) == kDepthRecordPrefixBytes, "a record starts with three 32-bit floats");

constexpr std::uint64_t depthRecordBytes(std::uint64_t pixelCount) { return kDepthRecordPrefixBytes + 2 * pixelCount; }

struct DepthRecordHeader {
    int width = 0;
    int height = 0;
};

// Writes the header (the low 16 bits of each size). False when the stream
// took less than all of it.
inline bool writeDepthRecordHeader(std::FILE* file, int width, int height) {
    const std::uint8_t header[kDepthRecordHeaderBytes] = {
        static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(width >> 8), static_cast<std::uint8_t>(height),
        static_cast<std::uint8_t>(height >> 8)};
    return std::fwrite(header, 1, sizeof header, file) == sizeof header;
}

// Writes one record. False when the stream took less than all of it.
inline bool writeDepthRecord(std::FILE* file, const Vector4& accelerometer, const std::uint16_t* samples,
                             std::size_t sampleCount) {
    const float prefix[3] = {accelerometer.x, accelerometer.y, accelerometer.z};
    if (std::fwrite(prefix, 1, sizeof prefix, file) != sizeof prefix) return false;
    return sampleCount == 0 || std::fwrite(samples, sizeof(std::uint16_t), sampleCount, file) == sampleCount;
}

// Reads the header. False when the stream holds less than all of it.
inline bool readDepthRecordHeader(std::FILE* file, DepthRecordHeader& header) {
    std::uint8_t bytes[kDepthRecordHeaderBytes];
    if (std::fread(bytes, 1, sizeof bytes, file) != sizeof bytes) return false;
    header.width = bytes[0] | (bytes[1] << 8);
    header.height = bytes[2] | (bytes[3] << 8);
    return true;
}

// Reads the accelerometer (w is 0) and sampleCount samples, in the file's
// little-endian order. False when the stream holds less than a whole record.
inline bool readDepthRecord(std::FILE* file, Vector4& accelerometer, std::uint16_t* samples, std::size_t sampleCount) {
    float prefix[3];
    if (std::fread(prefix, 1, sizeof prefix, file) != sizeof prefix) return false;
    if (sampleCount != 0 && std::fread(samples, sizeof(std::uint16_t), sampleCount, file) != sampleCount) return false;
    accelerometer = Vector4{prefix[0], prefix[1], prefix[2], 0.0f};
    return true;
}

}  // namespace plexa::runtime1
