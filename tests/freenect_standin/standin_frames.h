// The frames the stand-in libfreenect's devices deliver, shared by the library
// and the tests that check what Java receives: every frame says which device
// and which frame it is, in values that survive the runtime's conversions.
#pragma once

#include <cstddef>
#include <cstdint>

namespace plexa::test::standin {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr std::size_t kPixels = static_cast<std::size_t>(kWidth) * kHeight;

// Raw depth from 600 up: there every raw step changes the millimetres, so the
// device (pixel 0) and the frame number modulo 400 (pixel 1) can be read back
// from delivered samples.
constexpr int kFirstDecodableRaw = 600;
constexpr int kFramesApart = 400;

inline std::uint16_t rawDepth(int device, long long frame, std::size_t pixel) {
    const auto cycle = static_cast<std::size_t>(frame % kFramesApart);
    if (pixel == 0) return static_cast<std::uint16_t>(kFirstDecodableRaw + 10 * device);
    if (pixel == 1) return static_cast<std::uint16_t>(kFirstDecodableRaw + cycle);
    // 2047 is "no reading"; the rest stays below the raw values that give none.
    if (pixel % 997 == 0) return 2047;
    return static_cast<std::uint16_t>((pixel * 13 + static_cast<std::size_t>(device) * 331 + cycle * 7) % 1000);
}

// RGB bytes: byte 0 the device, bytes 1 and 2 the frame number modulo 65536.
inline std::uint8_t rgbByte(int device, long long frame, std::size_t byte) {
    const auto cycle = static_cast<std::size_t>(frame % 65536);
    if (byte == 0) return static_cast<std::uint8_t>(device);
    if (byte == 1) return static_cast<std::uint8_t>(cycle & 0xFF);
    if (byte == 2) return static_cast<std::uint8_t>(cycle >> 8);
    return static_cast<std::uint8_t>((byte * 7 + static_cast<std::size_t>(device) * 60 + cycle * 3) & 0xFF);
}

// Each device's motor: accelerometer counts and tilt (in half degrees, as
// libfreenect keeps it) of its own.
inline std::int16_t accelerometerX(int device) { return static_cast<std::int16_t>(40 * (device + 1)); }
inline std::int16_t accelerometerY(int) { return 819; }
inline std::int16_t accelerometerZ(int device) { return static_cast<std::int16_t>(-30 * (device + 1)); }
inline int tiltDegrees(int device) { return 2 * device + 1; }

}  // namespace plexa::test::standin
