#include "DepthRecordFormat.h"

#include <cstring>

// Samples go to the file straight from the runtime's buffer, which holds them
// in the machine's order; that is the file's order only on a little-endian machine.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "depth records are written in machine byte order");

namespace plexa::bridge1 {
namespace {

void putUint16(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value & 0xFF);
    at[1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

void putFloat(std::uint8_t* at, float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>((bits >> (8 * i)) & 0xFF);
}

}  // namespace

bool writeDepthRecordHeader(std::FILE* file, int width, int height) {
    std::uint8_t header[kDepthRecordHeaderBytes];
    putUint16(header, static_cast<std::uint32_t>(width));
    putUint16(header + 2, static_cast<std::uint32_t>(height));
    return std::fwrite(header, 1, sizeof header, file) == sizeof header;
}

bool writeDepthRecord(std::FILE* file, const Vector4& accelerometer, const std::uint16_t* samples,
                      std::size_t sampleCount) {
    std::uint8_t prefix[kDepthRecordPrefixBytes];
    putFloat(prefix, accelerometer.x);
    putFloat(prefix + 4, accelerometer.y);
    putFloat(prefix + 8, accelerometer.z);
    if (std::fwrite(prefix, 1, sizeof prefix, file) != sizeof prefix) return false;
    if (sampleCount == 0) return true;
    return std::fwrite(samples, sizeof(std::uint16_t), sampleCount, file) == sampleCount;
}

}  // namespace plexa::bridge1
