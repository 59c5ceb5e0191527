#include "DepthGeometry.h"
#include "DepthGeometryKernels.h"
#include "plexa/vector_units.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace plexa::bridge1 {
namespace {

// Half a unit in the seventh decimal: the precision the reference values are given to.
constexpr double kSeventhDecimal = 0.5e-7 + 1e-12;

struct Point {
    float x, y, z;
};

Point pointAt(const std::vector<float>& xyz, int width, int column, int row) {
    const std::size_t p = static_cast<std::size_t>(row) * width + column;
    return {xyz[3 * p], xyz[3 * p + 1], xyz[3 * p + 2]};
}

// An image of one sample everywhere except the pixels set afterwards.
std::vector<float> xyzOf(std::vector<std::uint16_t> samples, int width, int height) {
    std::vector<float> xyz(samples.size() * 3, -99.0f);
    computeXyz(samples.data(), width, height, xyz.data());
    return xyz;
}

void expectPoint(Point actual, double x, double y, double z) {
    EXPECT_NEAR(actual.x, x, kSeventhDecimal);
    EXPECT_NEAR(actual.y, y, kSeventhDecimal);
    EXPECT_NEAR(actual.z, z, kSeventhDecimal);
}

TEST(DepthCameraModel, FocalLengthAndCentreFollowTheImageSize) {
    const DepthCameraModel small = depthCameraModel(80, 60);
    EXPECT_FLOAT_EQ(small.focalLength, 71.4075f);
    EXPECT_EQ(small.centreColumn, 39.5f);
    EXPECT_EQ(small.centreRow, 29.5f);
    const DepthCameraModel quarter = depthCameraModel(320, 240);
    EXPECT_EQ(quarter.focalLength, 285.63f);
    EXPECT_EQ(quarter.centreColumn, 159.5f);
    EXPECT_EQ(quarter.centreRow, 119.5f);
    const DepthCameraModel full = depthCameraModel(640, 480);
    EXPECT_FLOAT_EQ(full.focalLength, 571.26f);
    EXPECT_EQ(full.centreColumn, 319.5f);
    EXPECT_EQ(full.centreRow, 239.5f);
    const DepthCameraModel large = depthCameraModel(1280, 960);
    EXPECT_FLOAT_EQ(large.focalLength, 1142.52f);
    EXPECT_EQ(large.centreColumn, 639.5f);
    EXPECT_EQ(large.centreRow, 479.5f);
}

TEST(DepthMetres, EveryMillimetreValueRoundsLikeTheDoublePrecisionDivision) {
    for (std::uint32_t s = 0; s <= 0xFFFF; ++s) {
        const float expected = static_cast<float>(static_cast<double>(s >> 3) / 1000.0);
        const float actual = depthMetres(static_cast<std::uint16_t>(s));
        ASSERT_EQ(std::memcmp(&expected, &actual, sizeof actual), 0) << "sample " << s;
    }
}

TEST(ComputeXyz, CornerAndCentrePointsAt320x240) {
    std::vector<std::uint16_t> samples(320 * 240, 0);
    samples[0] = 8000;
    samples[1] = 8003;
    samples[239 * 320 + 319] = 8000;
    samples[120 * 320 + 160] = 16003;
    const std::vector<float> xyz = xyzOf(samples, 320, 240);
    expectPoint(pointAt(xyz, 320, 0, 0), -0.5584147, 0.4183734, 1.0);
    expectPoint(pointAt(xyz, 320, 319, 239), 0.5584147, -0.4183734, 1.0);
    expectPoint(pointAt(xyz, 320, 160, 120), 0.0035010, -0.0035010, 2.0);
    // The player bits (2..0) do not move the point: 8003 at column 1 lies where 8000 would.
    std::vector<std::uint16_t> plain = samples;
    plain[1] = 8000;
    const Point withPlayer = pointAt(xyz, 320, 1, 0);
    const Point withoutPlayer = pointAt(xyzOf(plain, 320, 240), 320, 1, 0);
    EXPECT_EQ(withPlayer.x, withoutPlayer.x);
    EXPECT_EQ(withPlayer.y, withoutPlayer.y);
    EXPECT_EQ(withPlayer.z, withoutPlayer.z);
}

TEST(ComputeXyz, CornerPointsAtTheOtherResolutions) {
    struct Case {
        int width, height;
        double x, y;  // of a sample of 8000 at column 0, row 0; the far corner mirrors it
    };
    for (const Case& c : {Case{80, 60, -0.5531632, 0.4131218}, Case{640, 480, -0.5592900, 0.4192487},
                         Case{1280, 960, -0.5597276, 0.4196863}}) {
        SCOPED_TRACE(c.width);
        std::vector<std::uint16_t> samples(static_cast<std::size_t>(c.width) * c.height, 0);
        samples.front() = 8000;
        samples.back() = 8003;
        const std::vector<float> xyz = xyzOf(samples, c.width, c.height);
        expectPoint(pointAt(xyz, c.width, 0, 0), c.x, c.y, 1.0);
        expectPoint(pointAt(xyz, c.width, c.width - 1, c.height - 1), -c.x, -c.y, 1.0);
    }
}

TEST(ComputeXyz, SamplesBelowEightAreTheOrigin) {
    const int width = 80, height = 60;
    std::vector<std::uint16_t> samples(width * height);
    for (std::size_t p = 0; p < samples.size(); ++p) samples[p] = static_cast<std::uint16_t>(p % 8);
    const std::vector<float> xyz = xyzOf(samples, width, height);
    for (std::size_t i = 0; i < xyz.size(); ++i) ASSERT_EQ(xyz[i], 0.0f) << "element " << i;  // -0 == 0
}

// The one-pixel-at-a-time formula with the depth divided in double precision.
std::vector<float> referenceXyz(const std::vector<std::uint16_t>& samples, int width, int height) {
    const float f = (static_cast<float>(width) * 285.63f) / 320.0f;
    const float cx = static_cast<float>(width) * 0.5f - 0.5f;
    const float cy = static_cast<float>(height) * 0.5f - 0.5f;
    std::vector<float> xyz(samples.size() * 3);
    for (int j = 0; j < height; ++j) {
        for (int k = 0; k < width; ++k) {
            const std::size_t p = static_cast<std::size_t>(j) * width + k;
            const float z = static_cast<float>((samples[p] >> 3) / 1000.0);
            xyz[3 * p] = ((static_cast<float>(k) - cx) * z) / f;
            xyz[3 * p + 1] = ((cy - static_cast<float>(j)) * z) / f;
            xyz[3 * p + 2] = z;
        }
    }
    return xyz;
}

TEST(ComputeXyz, EqualsThePixelFormulaBitForBitForAnyWidth) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> sample(0, 0xFFFF);
    // Widths of the runtime and odd ones that end in a partial block.
    for (const auto& [width, height] : {std::pair{320, 240}, std::pair{1280, 4}, std::pair{13, 5}, std::pair{7, 3}}) {
        SCOPED_TRACE(width);
        std::vector<std::uint16_t> samples(static_cast<std::size_t>(width) * height);
        for (auto& s : samples) s = static_cast<std::uint16_t>(sample(random));
        const std::vector<float> expected = referenceXyz(samples, width, height);
        const std::vector<float> actual = xyzOf(samples, width, height);
        ASSERT_EQ(std::memcmp(expected.data(), actual.data(), expected.size() * sizeof(float)), 0);
        // Bands of two rows (the last one shorter when the height is odd) give the same points.
        std::vector<float> band(3 * static_cast<std::size_t>(width) * 2);
        for (int row = 0; row < height; row += 2) {
            const int rows = std::min(2, height - row);
            computeXyzRows(samples.data(), width, height, row, rows, band.data());
            ASSERT_EQ(std::memcmp(expected.data() + 3 * static_cast<std::size_t>(width) * row, band.data(),
                                  3 * static_cast<std::size_t>(width) * rows * sizeof(float)),
                      0)
                << "band at row " << row;
        }
    }
}

TEST(NormaliseUv, DividesColumnsByWidthAndRowsByHeight) {
    const std::vector<LONG> coordinates = {160, 120, 0, 0, 320, 240, -16, 480, 32, 24};
    std::vector<float> uv(coordinates.size(), -99.0f);
    normaliseUv(coordinates.data(), coordinates.size() / 2, 320, 240, uv.data());
    EXPECT_EQ(uv[0], 0.5f);
    EXPECT_EQ(uv[1], 0.5f);
    EXPECT_EQ(uv[2], 0.0f);
    EXPECT_EQ(uv[3], 0.0f);
    EXPECT_EQ(uv[4], 1.0f);
    EXPECT_EQ(uv[5], 1.0f);
    // Outside the image: passed on as they are.
    EXPECT_EQ(uv[6], -0.05f);
    EXPECT_EQ(uv[7], 2.0f);
    EXPECT_EQ(uv[8], 0.1f);
    EXPECT_EQ(uv[9], 0.1f);
}

TEST(NormaliseUv, WholeBlocksAndTheTailAgreeWithTheSingleDivision) {
    const int width = 640, height = 480;
    const std::size_t pixels = 8 * 3 + 5;
    std::vector<LONG> coordinates(2 * pixels);
    for (std::size_t i = 0; i < coordinates.size(); ++i) coordinates[i] = static_cast<LONG>(i * 37) - 100;
    std::vector<float> uv(2 * pixels + 1, -99.0f);
    normaliseUv(coordinates.data(), pixels, width, height, uv.data());
    for (std::size_t i = 0; i < pixels; ++i) {
        ASSERT_EQ(uv[2 * i], static_cast<float>(coordinates[2 * i]) / 640.0f) << i;
        ASSERT_EQ(uv[2 * i + 1], static_cast<float>(coordinates[2 * i + 1]) / 480.0f) << i;
    }
    EXPECT_EQ(uv.back(), -99.0f);  // nothing written past the last pair
}

// Every variant this processor runs gives the portable formulas' results bit
// for bit: at each resolution of the runtime (and a width that ends in a
// partial block), every column of every row sees samples until all 65536
// sample values have been through the loop.
TEST(DepthGeometryVariants, EveryRunnableVariantEqualsThePixelFormulaForEverySampleAndColumn) {
    const std::vector<DepthGeometryKernels> kernels = runnableDepthGeometryKernels();
    ASSERT_STREQ(kernels.front().name, "portable");
    EXPECT_STREQ(depthGeometryKernels().name, kernels.back().name);  // the widest one runs
#if defined(__x86_64__) || defined(_M_X64)
    if (plexa::vectorUnits().avx2) {
        EXPECT_GE(kernels.size(), 2u) << "the AVX2 variant is built and runs";
    }
#endif
    for (const DepthGeometryKernels& kernel : kernels) {
        SCOPED_TRACE(kernel.name);
        for (const auto& [width, height] :
             {std::pair{80, 60}, std::pair{320, 240}, std::pair{640, 480}, std::pair{1280, 960}, std::pair{13, 7}}) {
            SCOPED_TRACE(width);
            const std::size_t pixels = static_cast<std::size_t>(width) * height;
            std::vector<std::uint16_t> samples(pixels);
            std::vector<float> actual(3 * pixels);
            for (std::size_t first = 0; first < 0x10000; first += pixels) {
                for (std::size_t p = 0; p < pixels; ++p) samples[p] = static_cast<std::uint16_t>(first + p);
                kernel.computeXyzRows(samples.data(), width, height, 0, height, actual.data());
                const std::vector<float> expected = referenceXyz(samples, width, height);
                ASSERT_EQ(std::memcmp(expected.data(), actual.data(), expected.size() * sizeof(float)), 0)
                    << "samples from " << first;
            }
        }
    }
}

TEST(DepthGeometryVariants, EveryRunnableVariantNormalisesLikeTheSingleDivision) {
    for (const DepthGeometryKernels& kernel : runnableDepthGeometryKernels()) {
        SCOPED_TRACE(kernel.name);
        for (const auto& [width, height] : {std::pair{80, 60}, std::pair{640, 480}, std::pair{1280, 960}}) {
            const std::size_t pixels = static_cast<std::size_t>(width) * height + 7;  // a partial block at the end
            std::vector<LONG> coordinates(2 * pixels);
            for (std::size_t i = 0; i < coordinates.size(); ++i) {
                coordinates[i] = static_cast<LONG>(i % 4099) - 1500;
            }
            std::vector<float> uv(2 * pixels + 1, -99.0f);
            kernel.normaliseUv(coordinates.data(), pixels, width, height, uv.data());
            for (std::size_t i = 0; i < pixels; ++i) {
                ASSERT_EQ(uv[2 * i], static_cast<float>(coordinates[2 * i]) / static_cast<float>(width)) << i;
                ASSERT_EQ(uv[2 * i + 1], static_cast<float>(coordinates[2 * i + 1]) / static_cast<float>(height))
                    << i;
            }
            EXPECT_EQ(uv.back(), -99.0f);
        }
    }
}

}  // namespace
}  // namespace plexa::bridge1
