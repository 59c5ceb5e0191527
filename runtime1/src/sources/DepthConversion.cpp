#include "DepthConversion.h"

#include <array>
#include <cmath>

namespace plexa::virtual1 {

namespace {

constexpr int kRegisteredWidth = 640;
constexpr int kRegisteredHeight = 480;
constexpr std::int64_t kRegistrationScale = 256;

const std::array<std::uint16_t, kRawDepthValues>& formulaTable() {
    static const std::array<std::uint16_t, kRawDepthValues> table = [] {
        std::array<std::uint16_t, kRawDepthValues> values{};
        for (int raw = 0; raw < kRawDepthValues; ++raw)
            values[raw] = millimetresFromRaw(static_cast<std::uint32_t>(raw));
        return values;
    }();
    return table;
}

std::int64_t floorDivide(std::int64_t value, std::int64_t divisor) {
    std::int64_t quotient = value / divisor;
    if ((value % divisor != 0) && ((value < 0) != (divisor < 0))) --quotient;
    return quotient;
}

}  // namespace

std::uint16_t millimetresFromRaw(std::uint32_t raw) {
    if (raw >= kRawDepthNoValue) return 0;
    const double divisor = 3.3309495161 - 0.0030711016 * static_cast<double>(raw);
    if (!(divisor > 0.0)) return 0;
    const double millimetres = std::floor(1000.0 / divisor + 0.5);
    if (millimetres < 1.0 || millimetres > kMaximumDepthMillimetres) return 0;
    return static_cast<std::uint16_t>(millimetres);
}

void depthSamplesFromRaw(const std::uint16_t* raw, std::size_t count, const std::uint16_t* rawToMillimetres,
                         std::uint16_t* samples) {
    const std::uint16_t* table = rawToMillimetres != nullptr ? rawToMillimetres : formulaTable().data();
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint16_t value = raw[i];
        std::uint32_t millimetres = value < kRawDepthNoValue ? table[value] : 0;
        if (millimetres > kMaximumDepthMillimetres) millimetres = 0;
        samples[i] = static_cast<std::uint16_t>(millimetres << NUI_IMAGE_PLAYER_INDEX_SHIFT);
    }
}

void bgrxFromRgb(const std::uint8_t* rgb, std::size_t pixels, std::uint8_t* bgrx) {
    for (std::size_t i = 0; i < pixels; ++i) {
        bgrx[4 * i] = rgb[3 * i + 2];
        bgrx[4 * i + 1] = rgb[3 * i + 1];
        bgrx[4 * i + 2] = rgb[3 * i];
        bgrx[4 * i + 3] = 0;
    }
}

void infraredFromTenBit(const std::uint16_t* tenBit, std::size_t count, std::uint16_t* samples) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t value = tenBit[i] > 1023 ? 1023u : tenBit[i];
        samples[i] = static_cast<std::uint16_t>(value << 6);
    }
}

Vector4 readingFromCounts(std::int16_t x, std::int16_t y, std::int16_t z) {
    // Negated as integers first, so that 0 counts read +0 and not -0.
    return Vector4{static_cast<float>(-static_cast<int>(x)) / kAccelerometerCountsPerG,
                   static_cast<float>(-static_cast<int>(y)) / kAccelerometerCountsPerG,
                   static_cast<float>(-static_cast<int>(z)) / kAccelerometerCountsPerG, 0.0f};
}

LONG elevationFromReading(const Vector4& reading) {
    const double down = -static_cast<double>(reading.y);
    const double back = -static_cast<double>(reading.z);
    if (!std::isfinite(down) || !std::isfinite(back) || (down == 0.0 && back == 0.0)) return 0;
    const double degrees = std::atan2(back, down) * 180.0 / 3.14159265358979323846;
    if (degrees > NUI_CAMERA_ELEVATION_MAXIMUM) return NUI_CAMERA_ELEVATION_MAXIMUM;
    if (degrees < NUI_CAMERA_ELEVATION_MINIMUM) return NUI_CAMERA_ELEVATION_MINIMUM;
    return static_cast<LONG>(std::lround(degrees));
}

void mapDepthToColorByRegistration(const DepthRegistration& registration, const std::uint16_t* samples, int colorWidth,
                                   int colorHeight, LONG* colorCoordinates) {
    const int farthest = registration.shiftCount - 1;
    for (int i = 0; i < kRegisteredWidth * kRegisteredHeight; ++i) {
        int millimetres = samples[i] >> NUI_IMAGE_PLAYER_INDEX_SHIFT;
        if (millimetres <= 0 || millimetres > farthest) millimetres = farthest;
        const std::int64_t column =
            floorDivide(std::int64_t{registration.table[i][0]} + registration.shift[millimetres], kRegistrationScale);
        const std::int64_t row = registration.table[i][1];
        colorCoordinates[2 * i] = static_cast<LONG>(floorDivide(column * colorWidth, kRegisteredWidth));
        colorCoordinates[2 * i + 1] = static_cast<LONG>(floorDivide(row * colorHeight, kRegisteredHeight));
    }
}

}  // namespace plexa::virtual1
