// The coordinate mapper: one camera model behind camera-space points, color
// coordinates and the depth intrinsics.
#include "RuntimeFixture.h"
#include "SceneFrames.h"

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

    // The scene's depth and bodies at the time of the first scripted frame,
    // which leaves both to the scene.
    void takeSceneFrame(rt2scene::FrameImages& images) {
        constexpr DWORD kSources = FrameSourceTypes_Depth | FrameSourceTypes_Body;
        ASSERT_EQ(sensor_->Open(), S_OK);
        Ref<IMultiSourceFrameReader> reader;
        openReader(kSources, reader);
        rt2::queueFrame(rt2::ScriptedFrame{});
        Ref<IMultiSourceFrame> frame;
        ASSERT_EQ(reader->AcquireLatestFrame(frame.out()), S_OK);
        rt2scene::readFrame(frame.get(), kSources, images);
        ASSERT_EQ(images.depth.size(), kDepthPixels);
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
        const ColorSpacePoint pixel = projectToDepthImage(k, point);
        EXPECT_NEAR(pixel.X, p.column, 0.01) << p.column << "," << p.row;
        EXPECT_NEAR(pixel.Y, p.row, 0.01) << p.column << "," << p.row;
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

TEST_F(MapperTest, IntrinsicsAreThoseOfTheControlFace) {
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

// One camera model: the mapper gives exactly the points of the rig that
// filmed the frame, in camera space and in the color image.
TEST_F(MapperTest, MappedPointsAreTheRigsOwn) {
    rt2scene::FrameImages frame;
    takeSceneFrame(frame);
    ASSERT_FALSE(HasFatalFailure());
    const plexa::scene::Rig2 rig = plexa::virtual2::makeSensorRig();
    std::vector<plexa::scene::CameraPoint> rigCamera(kDepthPixels);
    std::vector<plexa::scene::ImagePoint> rigColor(kDepthPixels);
    ASSERT_EQ(rig.mapDepthFrameToCamera(frame.depth.data(), kDepthPixels, rigCamera.data()), kDepthPixels);
    ASSERT_EQ(rig.mapDepthFrameToColor(frame.depth.data(), kDepthPixels, rigColor.data()), kDepthPixels);

    const std::vector<CameraSpacePoint> camera = toCamera(frame.depth);
    const std::vector<ColorSpacePoint> color = toColor(frame.depth);
    int mismatches = 0;
    for (UINT i = 0; i < kDepthPixels; ++i) {
        const bool same = camera[i].X == rigCamera[i].x && camera[i].Y == rigCamera[i].y &&
                          camera[i].Z == rigCamera[i].z && color[i].X == rigColor[i].x && color[i].Y == rigColor[i].y;
        if (!same && mismatches++ < 5) ADD_FAILURE() << "pixel " << i << " maps elsewhere than the rig maps it";
    }
    EXPECT_EQ(mismatches, 0);

    CameraIntrinsics k{};
    ASSERT_EQ(mapper_->GetDepthCameraIntrinsics(&k), S_OK);
    const plexa::scene::CameraIntrinsics rigK = rig.depthIntrinsics();
    EXPECT_EQ(std::memcmp(&k, &rigK, sizeof k), 0) << "the intrinsics are the rig's";
}

// Every pixel shows the floor or something standing on it: camera points lie
// on the floor clip plane the body frame reports, or above it, never below.
TEST_F(MapperTest, FloorPixelsLieOnTheReportedFloorClipPlane) {
    rt2scene::FrameImages frame;
    takeSceneFrame(frame);
    ASSERT_FALSE(HasFatalFailure());
    const Vector4 floor = frame.floorClipPlane;
    EXPECT_NEAR(floor.x * floor.x + floor.y * floor.y + floor.z * floor.z, 1.0f, 1e-5f) << "a unit normal";
    EXPECT_GT(floor.y, 0.9f) << "pointing up";

    const std::vector<CameraSpacePoint> camera = toCamera(frame.depth);
    int withDepth = 0, onFloor = 0, belowFloor = 0;
    for (UINT i = 0; i < kDepthPixels; ++i) {
        if (frame.depth[i] == 0) continue;
        ++withDepth;
        const CameraSpacePoint& p = camera[i];
        const float height = floor.x * p.X + floor.y * p.Y + floor.z * p.Z + floor.w;
        if (std::fabs(height) < 0.003f) ++onFloor;
        if (height < -0.003f) ++belowFloor;
    }
    EXPECT_GT(withDepth, static_cast<int>(kDepthPixels) / 2);
    EXPECT_GT(onFloor, withDepth / 10) << "the floor fills the lower part of the view";
    EXPECT_EQ(belowFloor, 0);
    // The bottom row's middle pixel looks down at the floor in front of the sensor.
    const UINT bottomMiddle = 423 * 512 + 256;
    const CameraSpacePoint& p = camera[bottomMiddle];
    EXPECT_NEAR(floor.x * p.X + floor.y * p.Y + floor.z * p.Z + floor.w, 0.0f, 0.003f);
}

TEST_F(MapperTest, SensorWithoutMapperAnswersNull) {
    rt2::setMapperPresent(false);
    ICoordinateMapper* mapper = reinterpret_cast<ICoordinateMapper*>(0x1);
    EXPECT_EQ(sensor_->get_CoordinateMapper(&mapper), S_OK);
    EXPECT_EQ(mapper, nullptr);
}

}  // namespace
