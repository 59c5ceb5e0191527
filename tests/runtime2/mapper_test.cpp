// The coordinate mapper: one camera model behind camera-space points, color
// coordinates and the depth intrinsics.
#include "RuntimeFixture.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr UINT kDepthPixels = 512 * 424;

class MapperTest : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        ASSERT_EQ(GetDefaultKinectSensor(sensor_.out()), S_OK);
        ASSERT_EQ(sensor_->get_CoordinateMapper(mapper_.out()), S_OK);
        ASSERT_TRUE(mapper_);
    }
    void TearDown() override {
        mapper_.reset();
        RuntimeTest::TearDown();
    }

    std::vector<CameraSpacePoint> toCamera(const std::vector<UINT16>& depth) {
        std::vector<CameraSpacePoint> points(kDepthPixels);
        EXPECT_EQ(mapper_->MapDepthFrameToCameraSpace(kDepthPixels, depth.data(), kDepthPixels, points.data()), S_OK);
        return points;
    }
    std::vector<ColorSpacePoint> toColor(const std::vector<UINT16>& depth) {
        std::vector<ColorSpacePoint> points(kDepthPixels);
        EXPECT_EQ(mapper_->MapDepthFrameToColorSpace(kDepthPixels, depth.data(), kDepthPixels, points.data()), S_OK);
        return points;
    }

    Ref<ICoordinateMapper> mapper_;
};

struct Pixel {
    int column, row;
};
constexpr Pixel kProbes[] = {{256, 212}, {0, 0}, {511, 0}, {0, 423}, {511, 423}, {100, 300}, {400, 50}};

TEST_F(MapperTest, CameraSpacePointReprojectedWithTheIntrinsicsLandsOnItsPixel) {
    const CameraIntrinsics k = rt2::depthIntrinsics();
    std::vector<UINT16> depth(kDepthPixels, 0);
    for (const Pixel& p : kProbes) depth[p.row * 512 + p.column] = static_cast<UINT16>(800 + 13 * p.column);
    const std::vector<CameraSpacePoint> points = toCamera(depth);
    for (const Pixel& p : kProbes) {
        const CameraSpacePoint& point = points[p.row * 512 + p.column];
        EXPECT_NEAR(point.Z, depth[p.row * 512 + p.column] / 1000.0, 1e-6);
        // Camera space has y up; image rows grow downwards.
        const double x = point.X / point.Z, y = -point.Y / point.Z;
        const double r2 = x * x + y * y;
        const double scale = 1 + k.RadialDistortionSecondOrder * r2 + k.RadialDistortionFourthOrder * r2 * r2 +
                             k.RadialDistortionSixthOrder * r2 * r2 * r2;
        EXPECT_NEAR(k.FocalLengthX * x * scale + k.PrincipalPointX, p.column, 0.01) << p.column << "," << p.row;
        EXPECT_NEAR(k.FocalLengthY * y * scale + k.PrincipalPointY, p.row, 0.01) << p.column << "," << p.row;
    }
    // Left of the principal point is negative x, above it positive y.
    EXPECT_LT(points[0].X, 0.0f);
    EXPECT_GT(points[0].Y, 0.0f);
}

TEST_F(MapperTest, PixelWithoutDepthMapsToNegativeInfinity) {
    std::vector<UINT16> depth(kDepthPixels, 0);
    depth[1] = 1000;
    const std::vector<CameraSpacePoint> camera = toCamera(depth);
    const std::vector<ColorSpacePoint> color = toColor(depth);
    const float minusInfinity = -std::numeric_limits<float>::infinity();
    EXPECT_EQ(camera[0].X, minusInfinity);
    EXPECT_EQ(camera[0].Y, minusInfinity);
    EXPECT_EQ(camera[0].Z, minusInfinity);
    EXPECT_EQ(color[0].X, minusInfinity);
    EXPECT_EQ(color[0].Y, minusInfinity);
    EXPECT_TRUE(std::isfinite(camera[1].X) && std::isfinite(color[1].X));
}

TEST_F(MapperTest, ColorCameraBesideTheDepthCameraShiftsNearPointsSideways) {
    const int centre = 212 * 512 + 256;
    std::vector<UINT16> depth(kDepthPixels, 0);
    depth[centre] = 1000;
    const ColorSpacePoint near = toColor(depth)[centre];
    depth[centre] = 4000;
    const ColorSpacePoint far = toColor(depth)[centre];
    // Near the middle of the 1920 x 1080 color image, on the same row at any
    // depth; a few centimetres of baseline move a point at 1 m some tens of
    // pixels against one at 4 m.
    EXPECT_NEAR(far.X, 960.0f, 100.0f);
    EXPECT_NEAR(far.Y, 540.0f, 100.0f);
    EXPECT_NEAR(near.Y, far.Y, 0.01f);
    EXPECT_GT(std::fabs(near.X - far.X), 20.0f);
    EXPECT_LT(std::fabs(near.X - far.X), 80.0f);
}

TEST_F(MapperTest, WrongCountsAreRefusedBeforeAnythingIsWritten) {
    std::vector<UINT16> depth(kDepthPixels + 10, 1000);
    std::vector<CameraSpacePoint> camera(kDepthPixels + 10, CameraSpacePoint{7, 7, 7});
    std::vector<ColorSpacePoint> color(kDepthPixels + 10, ColorSpacePoint{7, 7});
    EXPECT_EQ(mapper_->MapDepthFrameToCameraSpace(kDepthPixels - 1, depth.data(), kDepthPixels - 1, camera.data()),
              E_INVALIDARG);
    EXPECT_EQ(mapper_->MapDepthFrameToCameraSpace(kDepthPixels, depth.data(), kDepthPixels - 1, camera.data()),
              E_INVALIDARG);
    EXPECT_EQ(mapper_->MapDepthFrameToCameraSpace(kDepthPixels + 10, depth.data(), kDepthPixels + 10, camera.data()),
              E_INVALIDARG);
    EXPECT_EQ(mapper_->MapDepthFrameToColorSpace(kDepthPixels, depth.data(), kDepthPixels / 2, color.data()),
              E_INVALIDARG);
    EXPECT_EQ(mapper_->MapDepthFrameToColorSpace(kDepthPixels, nullptr, kDepthPixels, color.data()), E_POINTER);
    EXPECT_EQ(mapper_->MapDepthFrameToCameraSpace(kDepthPixels, depth.data(), kDepthPixels, nullptr), E_POINTER);
    EXPECT_FLOAT_EQ(camera[0].X, 7.0f);
    EXPECT_FLOAT_EQ(color[0].X, 7.0f);

    const auto calls = callsOf(rt2::Operation::MapperMapDepthFrameToColorSpace);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].arguments, (std::vector<std::int64_t>{kDepthPixels, kDepthPixels / 2}));
    EXPECT_EQ(calls[0].result, E_INVALIDARG);
}

TEST_F(MapperTest, IntrinsicsAreThoseOfTheModel) {
    CameraIntrinsics k{};
    ASSERT_EQ(mapper_->GetDepthCameraIntrinsics(&k), S_OK);
    const CameraIntrinsics model = rt2::depthIntrinsics();
    EXPECT_EQ(std::memcmp(&k, &model, sizeof k), 0);
    EXPECT_NEAR(k.FocalLengthX, 365.0f, 10.0f);
    EXPECT_NEAR(k.FocalLengthY, 365.0f, 10.0f);
    EXPECT_NEAR(k.PrincipalPointX, 256.0f, 10.0f);
    EXPECT_NEAR(k.PrincipalPointY, 212.0f, 10.0f);
    EXPECT_NE(k.RadialDistortionSecondOrder, 0.0f);
    EXPECT_LT(std::fabs(k.RadialDistortionSecondOrder), 0.5f);
    EXPECT_EQ(mapper_->GetDepthCameraIntrinsics(nullptr), E_POINTER);
}

TEST_F(MapperTest, SensorWithoutMapperAnswersNull) {
    rt2::setMapperPresent(false);
    ICoordinateMapper* mapper = reinterpret_cast<ICoordinateMapper*>(0x1);
    EXPECT_EQ(sensor_->get_CoordinateMapper(&mapper), S_OK);
    EXPECT_EQ(mapper, nullptr);
}

}  // namespace
