#include "DepthGeometry.h"

namespace plexa::bridge1 {
namespace {

// Loops run over blocks of this many pixels with a fixed trip count, which
// the compiler turns into vector code even at its cheapest cost model; every
// image width of the runtime is a multiple of it, and a scalar tail handles
// the rest of any other width.
constexpr int kBlock = 8;

// The millimetres of a sample are below 2^13, so the single-precision
// division by 1000 is exactly the double-precision one rounded to single:
// double rounding is harmless for a quotient when the wider format has at
// least 2 x 24 + 2 bits of precision, and double has 53. (A test checks all
// 65536 samples.) Single precision keeps four or eight lanes per vector.
inline float metresOf(std::uint16_t sample) {
    return static_cast<float>(sample >> 3) / 1000.0f;
}

}  // namespace

DepthCameraModel depthCameraModel(int width, int height) {
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    return {(w * 285.63f) / 320.0f, w * 0.5f - 0.5f, h * 0.5f - 0.5f};
}

float depthMetres(std::uint16_t sample) { return metresOf(sample); }

void computeXyz(const std::uint16_t* samples, int width, int height, float* xyz) {
    computeXyzRows(samples, width, height, 0, height, xyz);
}

void computeXyzRows(const std::uint16_t* samples, int width, int height, int firstRow, int rowCount, float* xyz) {
    const DepthCameraModel camera = depthCameraModel(width, height);
    const float f = camera.focalLength;
    for (int j = firstRow; j < firstRow + rowCount; ++j) {
        const std::uint16_t* __restrict row = samples + static_cast<std::size_t>(j) * width;
        float* __restrict out = xyz + static_cast<std::size_t>(j - firstRow) * width * 3;
        const float dy = camera.centreRow - static_cast<float>(j);
        int k = 0;
        for (; k + kBlock <= width; k += kBlock) {
            for (int l = 0; l < kBlock; ++l) {
                const int column = k + l;
                const float z = metresOf(row[column]);
                out[3 * column] = ((static_cast<float>(column) - camera.centreColumn) * z) / f;
                out[3 * column + 1] = (dy * z) / f;
                out[3 * column + 2] = z;
            }
        }
        for (; k < width; ++k) {
            const float z = metresOf(row[k]);
            out[3 * k] = ((static_cast<float>(k) - camera.centreColumn) * z) / f;
            out[3 * k + 1] = (dy * z) / f;
            out[3 * k + 2] = z;
        }
    }
}

void normaliseUv(const LONG* coordinates, std::size_t pixelCount, int width, int height, float* uv) {
    const LONG* __restrict in = coordinates;
    float* __restrict out = uv;
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    std::size_t i = 0;
    for (; i + kBlock <= pixelCount; i += kBlock) {
        for (int l = 0; l < kBlock; ++l) {
            const std::size_t p = i + static_cast<std::size_t>(l);
            out[2 * p] = static_cast<float>(in[2 * p]) / w;
            out[2 * p + 1] = static_cast<float>(in[2 * p + 1]) / h;
        }
    }
    for (; i < pixelCount; ++i) {
        out[2 * i] = static_cast<float>(in[2 * i]) / w;
        out[2 * i + 1] = static_cast<float>(in[2 * i + 1]) / h;
    }
}

}  // namespace plexa::bridge1
