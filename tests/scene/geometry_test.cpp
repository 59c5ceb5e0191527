// The rigs' geometry: floor pixels lie on the floor clip plane, the
// accelerometer follows the tilt, and infrared falls with distance.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "frames.h"

namespace plexa::scene {
namespace {

using R = Rig1::Resolution;

float planeDistance(Vec4 plane, CameraPoint p) { return plane.x * p.x + plane.y * p.y + plane.z * p.z + plane.w; }

// The share of the lowest rows' pixels, which mostly see the floor, that lie on
// the plane; and no pixel anywhere sees below it.
template <class ToCamera>
double shareOnFloor(const testing::DepthFrame& frame, Vec4 plane, int rows, ToCamera toCamera) {
    int on = 0, total = 0;
    for (int row = 0; row < frame.height; ++row)
        for (int col = 0; col < frame.width; ++col) {
            const std::uint16_t mm = frame.depthMm[frame.at(col, row)];
            if (mm == 0) continue;
            const float height = planeDistance(plane, toCamera(col, row, mm));
            EXPECT_GT(height, -0.004f) << "below the floor at " << col << ", " << row;
            if (row < frame.height - rows) continue;
            ++total;
            if (std::fabs(height) < 0.004f) ++on;
        }
    return total == 0 ? 0.0 : static_cast<double>(on) / total;
}

TEST(RigGeometry, FirstGenerationFloorPixelsLieOnTheFloorClipPlaneAtEveryTiltAndResolution) {
    for (float tilt : {-27.0f, -12.0f, 0.0f}) {
        Rig1 rig(0.85f, tilt);
        const Vec4 plane = rig.floorClipPlane();
        EXPECT_FLOAT_EQ(plane.w, 0.85f);
        for (R r : {R::R80x60, R::R320x240, R::R640x480, R::R1280x960}) {
            const testing::DepthFrame frame = testing::renderDepth(rig, Snapshot{}, r);
            // The bottom tenth of the picture is floor, apart from the crate on the right.
            const double share = shareOnFloor(frame, plane, frame.height / 10, [r](int c, int w, std::uint16_t mm) {
                return Rig1::depthToCamera(r, c, w, mm);
            });
            EXPECT_GT(share, 0.7) << "tilt " << tilt << " width " << frame.width;
        }
    }
    // Tilted right up, the sensor sees no floor at all.
    Rig1 up(0.9f, 27.0f);
    const testing::DepthFrame frame = testing::renderDepth(up, Snapshot{}, R::R320x240);
    EXPECT_EQ(shareOnFloor(frame, up.floorClipPlane(), 24, [](int c, int w, std::uint16_t mm) {
                  return Rig1::depthToCamera(R::R320x240, c, w, mm);
              }), 0.0);
}

TEST(RigGeometry, SecondGenerationMapperPutsFloorPixelsOnTheFloorClipPlane) {
    Rig2 rig;
    const testing::DepthFrame frame = testing::renderDepth(rig, Snapshot{});
    const double share = shareOnFloor(frame, rig.floorClipPlane(), frame.height / 8,
                                      [&rig](int c, int w, std::uint16_t mm) { return rig.depthToCamera(c, w, mm); });
    EXPECT_GT(share, 0.8);
    // Through the whole-frame mapper too.
    std::vector<CameraPoint> points(Rig2::kDepthPixels);
    ASSERT_EQ(rig.mapDepthFrameToCamera(frame.depthMm.data(), frame.depthMm.size(), points.data()), points.size());
    const int bottomCentre = frame.at(frame.width / 2, frame.height - 1);
    EXPECT_NEAR(planeDistance(rig.floorClipPlane(), points[bottomCentre]), 0.0f, 0.004f);
}

TEST(RigGeometry, AccelerometerFollowsTheTiltAndTheTiltStaysWithinItsRange) {
    Rig1 rig;
    Vec4 level = rig.accelerometer();
    EXPECT_NEAR(level.x, 0.0f, 1e-6f);
    EXPECT_NEAR(level.y, -1.0f, 1e-6f);
    EXPECT_NEAR(level.z, 0.0f, 1e-6f);
    EXPECT_EQ(level.w, 0.0f);
    for (float tilt : {-27.0f, -10.0f, 5.0f, 27.0f}) {
        rig.setTilt(tilt);
        const Vec4 a = rig.accelerometer();
        const Vec4 floor = rig.floorClipPlane();
        EXPECT_NEAR(std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z), 1.0f, 1e-5f);
        // Gravity points against the floor's normal, and tips towards -z as the sensor looks up.
        EXPECT_NEAR(a.x, -floor.x, 1e-6f);
        EXPECT_NEAR(a.y, -floor.y, 1e-6f);
        EXPECT_NEAR(a.z, -floor.z, 1e-6f);
        EXPECT_NEAR(a.z, -std::sin(tilt * 3.14159265f / 180.0f), 1e-5f);
        EXPECT_NEAR(a.y, -std::cos(tilt * 3.14159265f / 180.0f), 1e-5f);
    }
    rig.setTilt(40.0f);
    EXPECT_EQ(rig.tilt(), Rig1::kMaxTilt);
    rig.setTilt(-90.0f);
    EXPECT_EQ(rig.tilt(), Rig1::kMinTilt);
    rig.setTilt(std::nanf(""));
    EXPECT_EQ(rig.tilt(), 0.0f);
}

TEST(RigGeometry, InfraredFallsWithDistanceAndLongExposureIsBrighter) {
    // Level, the back wall reads exactly 4000 mm; across it the distance grows
    // from the middle and the infrared must fall.
    Rig1 rig;
    const testing::DepthFrame frame = testing::renderDepth(rig, Snapshot{}, R::R320x240);
    struct Sample { float distance; std::uint16_t infrared; };
    std::vector<Sample> wall;
    for (int row = 0; row < frame.height; ++row)
        for (int col = 0; col < frame.width; ++col) {
            const int i = frame.at(col, row);
            EXPECT_GE(frame.longInfrared[i], frame.infrared[i]);
            if (frame.depthMm[i] != 4000) continue;
            const CameraPoint p = Rig1::depthToCamera(R::R320x240, col, row, 4000);
            wall.push_back({std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z), frame.infrared[i]});
        }
    ASSERT_GT(wall.size(), 5000u);
    std::sort(wall.begin(), wall.end(), [](const Sample& a, const Sample& b) { return a.distance < b.distance; });
    for (size_t i = 1; i < wall.size(); ++i) ASSERT_LE(wall[i].infrared, wall[i - 1].infrared + 1) << i;
    EXPECT_GT(wall.front().infrared, wall.back().infrared * 1.3);

    // A person in front of the wall reflects more than the wall behind them.
    Scene scene(3);
    Rig2 two;
    const testing::DepthFrame empty = testing::renderDepth(two, Snapshot{});
    const testing::DepthFrame people = testing::renderDepth(two, scene.at(4.0));
    long brighter = 0, person = 0;
    for (size_t i = 0; i < people.depthMm.size(); ++i) {
        if (people.personIndex[i] == kNoPerson || empty.depthMm[i] < people.depthMm[i] + 1000) continue;
        ++person;
        if (people.infrared[i] > empty.infrared[i]) ++brighter;
    }
    ASSERT_GT(person, 1000);
    EXPECT_GT(brighter, person * 8 / 10);
}

TEST(RigGeometry, FirstGenerationResolutionCodes) {
    EXPECT_EQ(Rig1::width(R::R80x60), 80);
    EXPECT_EQ(Rig1::height(R::R80x60), 60);
    EXPECT_EQ(Rig1::width(R::R320x240), 320);
    EXPECT_EQ(Rig1::height(R::R640x480), 480);
    EXPECT_EQ(Rig1::width(R::R1280x960), 1280);
    const auto bad = static_cast<R>(4);
    EXPECT_EQ(Rig1::width(bad), 0);
    Rig1 rig;
    std::vector<std::uint16_t> depth(640 * 480, 7);
    DepthImages images;
    images.depthMm = depth.data();
    EXPECT_FALSE(rig.renderDepth(Scene(1).at(0), bad, images));
    EXPECT_EQ(depth[0], 7);
    EXPECT_FALSE(rig.renderColor(Scene(1).at(0), R::R640x480, nullptr));
}

}  // namespace
}  // namespace plexa::scene
