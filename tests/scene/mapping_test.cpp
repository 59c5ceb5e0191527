// The mappings agree with what the cameras film: a depth pixel mapped into the
// color image lands where the color camera shows the same surface, and camera
// points reproject onto their pixels through the published intrinsics.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "frames.h"

namespace plexa::scene {
namespace {

using R = Rig1::Resolution;
using testing::ColorFrame;
using testing::DepthFrame;

constexpr std::uint16_t kCrateFront = 2200;  // mm; the crate in front is nearer than this, the floor behind it farther

// Finds the right edge of the crate's front face on depth rows (neither camera
// sees the crate's right side), maps it into the color image and checks that
// the color image's edge of the face is there too.
void checkCrateEdge(const DepthFrame& depth, const ColorFrame& color, int rowBegin, int rowEnd,
                    const std::function<ImagePoint(int, int, std::uint16_t)>& toColor, float tolerance) {
    int edges = 0;
    for (int row = rowBegin; row < rowEnd; row += 6) {
        int c1 = -1;
        for (int col = depth.width * 9 / 10; col > depth.width / 2; --col) {
            const std::uint16_t mm = depth.depthMm[depth.at(col, row)], behind = depth.depthMm[depth.at(col + 1, row)];
            if (mm != 0 && mm < kCrateFront && behind > mm + 300) { c1 = col; break; }
        }
        if (c1 < 0) continue;
        const std::uint16_t mm = depth.depthMm[depth.at(c1, row)];
        const ImagePoint at = toColor(c1, row, mm), after = toColor(c1 + 1, row, mm);
        const ImagePoint inside = toColor(c1 - 6, row, depth.depthMm[depth.at(c1 - 6, row)]);
        const int v = static_cast<int>(std::lround(at.y));
        if (v < 0 || v >= color.height) continue;
        const std::uint32_t face = color.pixel(static_cast<int>(std::lround(inside.x)), static_cast<int>(std::lround(inside.y)));
        int edge = -1;
        for (int u = std::min(color.width - 1, static_cast<int>(after.x) + 30); u >= 0; --u) {
            if (color.pixel(u, v) == face) { edge = u; break; }
        }
        EXPECT_GE(edge, at.x - tolerance) << "row " << row;
        EXPECT_LE(edge, after.x + tolerance) << "row " << row;
        ++edges;
    }
    EXPECT_GT(edges, 5);
}

TEST(DepthToColor, FirstGenerationCoordinatesFindTheCrateEdgeInTheColorImage) {
    Rig1 rig;
    const DepthFrame depth = testing::renderDepth(rig, Snapshot{}, R::R640x480);
    for (R colorResolution : {R::R640x480, R::R1280x960}) {
        const ColorFrame color = testing::renderColor(rig, Snapshot{}, colorResolution);
        checkCrateEdge(depth, color, 380, 470, [&](int c, int r, std::uint16_t mm) {
            const ColorPixel p = Rig1::depthToColor(R::R640x480, c, r, mm, colorResolution);
            return ImagePoint{static_cast<float>(p.x), static_cast<float>(p.y)};
        }, colorResolution == R::R640x480 ? 1.0f : 2.0f);
    }
}

TEST(DepthToColor, SecondGenerationMapperFindsTheCrateEdgeInTheColorImage) {
    Rig2 rig;
    const DepthFrame depth = testing::renderDepth(rig, Snapshot{});
    const ColorFrame color = testing::renderColor(rig, Snapshot{});
    checkCrateEdge(depth, color, 275, 335, [&](int c, int r, std::uint16_t mm) { return rig.depthToColor(c, r, mm); }, 1.0f);
}

// Pixels well inside a tracked person's silhouette map onto that person in the color image.
template <class MapFrame>
void checkPeopleLandOnPeople(const DepthFrame& depth, const ColorFrame& color, const ColorFrame& emptyColor, MapFrame map) {
    std::vector<ImagePoint> mapped(depth.depthMm.size());
    map(mapped);
    long inside = 0, onPerson = 0;
    for (int row = 3; row < depth.height - 3; ++row)
        for (int col = 3; col < depth.width - 3; ++col) {
            const std::uint8_t label = depth.personIndex[depth.at(col, row)];
            if (label == kNoPerson) continue;
            bool interior = true;
            for (int d = -3; d <= 3 && interior; ++d)
                interior = depth.personIndex[depth.at(col + d, row)] == label && depth.personIndex[depth.at(col, row + d)] == label;
            if (!interior) continue;
            const ImagePoint p = mapped[depth.at(col, row)];
            const int u = static_cast<int>(std::lround(p.x)), v = static_cast<int>(std::lround(p.y));
            if (u < 0 || v < 0 || u >= color.width || v >= color.height) continue;
            ++inside;
            if (color.pixel(u, v) != emptyColor.pixel(u, v)) ++onPerson;
        }
    ASSERT_GT(inside, 500);
    EXPECT_GT(onPerson, inside * 98 / 100) << onPerson << " of " << inside;
}

TEST(DepthToColor, PeopleInTheDepthImageMapOntoPeopleInTheColorImage) {
    Scene scene(3);
    for (double t : {2.0, 9.5}) {
        const Snapshot s = scene.at(t);
        Rig1 one;
        const DepthFrame depth1 = testing::renderDepth(one, s, R::R640x480);
        checkPeopleLandOnPeople(depth1, testing::renderColor(one, s, R::R640x480),
                                testing::renderColor(one, Snapshot{}, R::R640x480), [&](std::vector<ImagePoint>& out) {
                                    std::vector<ColorPixel> pixels(out.size());
                                    ASSERT_EQ(Rig1::mapDepthFrameToColor(R::R640x480, depth1.depthWithPlayer.data(),
                                                                         pixels.size(), R::R640x480, pixels.data()),
                                              pixels.size());
                                    for (size_t i = 0; i < out.size(); ++i)
                                        out[i] = {static_cast<float>(pixels[i].x), static_cast<float>(pixels[i].y)};
                                });
        Rig2 two;
        const DepthFrame depth2 = testing::renderDepth(two, s);
        checkPeopleLandOnPeople(depth2, testing::renderColor(two, s), testing::renderColor(two, Snapshot{}),
                                [&](std::vector<ImagePoint>& out) {
                                    ASSERT_EQ(two.mapDepthFrameToColor(depth2.depthMm.data(), out.size(), out.data()), out.size());
                                });
    }
}

TEST(DepthToCamera, PointsReprojectOntoTheirPixelsThroughTheIntrinsics) {
    Rig2 rig;
    const CameraIntrinsics k = rig.depthIntrinsics();
    EXPECT_NEAR(k.focalLengthX, 365.0f, 5.0f);
    EXPECT_NEAR(k.focalLengthY, 365.0f, 5.0f);
    EXPECT_NEAR(k.principalPointX, 256.0f, 8.0f);
    EXPECT_NEAR(k.principalPointY, 212.0f, 8.0f);
    EXPECT_NE(k.radialDistortionSecondOrder, 0.0f);
    const DepthFrame frame = testing::renderDepth(rig, Scene(3).at(4.0));
    std::vector<CameraPoint> points(frame.depthMm.size());
    rig.mapDepthFrameToCamera(frame.depthMm.data(), points.size(), points.data());
    double worst = 0;
    for (int row = 0; row < frame.height; ++row)
        for (int col = 0; col < frame.width; ++col) {
            const int i = frame.at(col, row);
            if (frame.depthMm[i] == 0) continue;
            const CameraPoint p = points[i];
            ASSERT_NEAR(p.z, frame.depthMm[i] / 1000.0f, 1e-6f);
            const float x = p.x / p.z, y = p.y / p.z, r2 = x * x + y * y;
            const float scale = 1 + k.radialDistortionSecondOrder * r2 + k.radialDistortionFourthOrder * r2 * r2 +
                                k.radialDistortionSixthOrder * r2 * r2 * r2;
            const float u = k.principalPointX + k.focalLengthX * x * scale;
            const float v = k.principalPointY - k.focalLengthY * y * scale;
            worst = std::max(worst, static_cast<double>(std::hypot(u - col, v - row)));
            const ImagePoint back = rig.projectToDepth({p.x, p.y, p.z});
            ASSERT_NEAR(back.x, u, 1e-3f);
        }
    EXPECT_LT(worst, 0.01);

    // First generation: the pinhole with f = W * 285.63 / 320, at every resolution.
    for (R r : {R::R80x60, R::R320x240, R::R640x480, R::R1280x960}) {
        const float w = static_cast<float>(Rig1::width(r)), h = static_cast<float>(Rig1::height(r));
        const float f = w * 285.63f / 320.0f;
        for (int col : {0, 17, Rig1::width(r) - 1})
            for (int row : {0, 11, Rig1::height(r) - 1}) {
                const CameraPoint p = Rig1::depthToCamera(r, col, row, 2345);
                EXPECT_NEAR(w * 0.5f - 0.5f + f * p.x / p.z, col, 1e-3f);
                EXPECT_NEAR(h * 0.5f - 0.5f - f * p.y / p.z, row, 1e-3f);
            }
    }
    // Values worked out by hand for 320 x 240.
    const CameraPoint corner = Rig1::depthToCamera(R::R320x240, 0, 0, 1000);
    EXPECT_NEAR(corner.x, -0.5584147f, 1e-6f);
    EXPECT_NEAR(corner.y, 0.4183734f, 1e-6f);
    EXPECT_EQ(corner.z, 1.0f);
}

TEST(Mappings, PixelsWithoutDepthAndFrameSizes) {
    Rig2 rig;
    const CameraPoint none = rig.depthToCamera(100, 100, 0);
    EXPECT_TRUE(std::isinf(none.x) && none.x < 0 && std::isinf(none.y) && std::isinf(none.z));
    const ImagePoint noColor = rig.depthToColor(100, 100, 0);
    EXPECT_TRUE(std::isinf(noColor.x) && noColor.x < 0 && std::isinf(noColor.y) && noColor.y < 0);
    EXPECT_TRUE(std::isinf(rig.depthToCamera(-1, 0, 1000).x));
    EXPECT_TRUE(std::isinf(rig.depthToColor(512, 0, 1000).x));

    // Whole frames agree with single pixels, map only what they are given, and never more than a frame.
    std::vector<std::uint16_t> depth(Rig2::kDepthPixels + 10, 1500);
    depth[7] = 0;
    std::vector<ImagePoint> color(depth.size(), ImagePoint{5, 5});
    std::vector<CameraPoint> camera(depth.size());
    EXPECT_EQ(rig.mapDepthFrameToColor(depth.data(), 100, color.data()), 100u);
    EXPECT_EQ(color[100].x, 5.0f);
    EXPECT_TRUE(std::isinf(color[7].x));
    EXPECT_EQ(rig.mapDepthFrameToColor(depth.data(), depth.size(), color.data()), static_cast<size_t>(Rig2::kDepthPixels));
    EXPECT_EQ(color[Rig2::kDepthPixels].x, 5.0f);
    EXPECT_EQ(rig.mapDepthFrameToCamera(depth.data(), depth.size(), camera.data()), static_cast<size_t>(Rig2::kDepthPixels));
    const int k = 300 * Rig2::kDepthWidth + 77;
    const ImagePoint one = rig.depthToColor(77, 300, 1500);
    const CameraPoint point = rig.depthToCamera(77, 300, 1500);
    EXPECT_EQ(color[k].x, one.x);
    EXPECT_EQ(color[k].y, one.y);
    EXPECT_EQ(camera[k].x, point.x);
    EXPECT_EQ(rig.mapDepthFrameToColor(nullptr, 10, color.data()), 0u);
    EXPECT_EQ(rig.mapDepthFrameToCamera(depth.data(), 10, nullptr), 0u);

    // First generation: samples carry the player in their low bits, which the mapping ignores;
    // a pixel without depth maps as seen from far away.
    std::vector<std::uint16_t> samples(320 * 240, static_cast<std::uint16_t>(1500 << 3 | 5));
    samples[3] = 0;
    std::vector<ColorPixel> pixels(samples.size() + 1, ColorPixel{-7, -7});
    EXPECT_EQ(Rig1::mapDepthFrameToColor(R::R320x240, samples.data(), samples.size() + 1, R::R640x480, pixels.data()),
              samples.size());
    EXPECT_EQ(pixels.back().x, -7);
    const ColorPixel direct = Rig1::depthToColor(R::R320x240, 11, 0, 1500, R::R640x480);
    EXPECT_EQ(pixels[11].x, direct.x);
    EXPECT_EQ(pixels[11].y, direct.y);
    const ColorPixel far = Rig1::depthToColor(R::R320x240, 3, 0, 8000, R::R640x480);
    EXPECT_LE(std::abs(pixels[3].x - far.x), 2);
    EXPECT_EQ(pixels[3].y, far.y);
    EXPECT_EQ(Rig1::mapDepthFrameToColor(static_cast<R>(9), samples.data(), 10, R::R640x480, pixels.data()), 0u);
}

}  // namespace
}  // namespace plexa::scene
