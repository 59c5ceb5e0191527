// The sensor head: tilt, accelerometer, status, and color coordinates of depth pixels.
#include "Runtime1Fixture.h"

#include "plexa/scene/rig1.h"
#include "sources/LiveScene.h"

#include <cmath>

namespace runtime1_test {
namespace {

constexpr double degree = 3.14159265358979323846 / 180.0;

class CameraTest : public Runtime1Test {
protected:
    void SetUp() override {
        Runtime1Test::SetUp();
        sensor = createSensor();
    }

    Vector4 accelerometer() {
        Vector4 reading{};
        EXPECT_EQ(sensor->NuiAccelerometerGetCurrentReading(&reading), S_OK);
        return reading;
    }

    SensorPtr sensor;
};

TEST_F(CameraTest, TiltStaysWithinItsRange) {
    LONG angle = 99;
    ASSERT_EQ(sensor->NuiCameraElevationGetAngle(&angle), S_OK);
    EXPECT_EQ(angle, 0);
    EXPECT_EQ(sensor->NuiCameraElevationSetAngle(27), S_OK);
    EXPECT_EQ(sensor->NuiCameraElevationSetAngle(-27), S_OK);
    EXPECT_EQ(sensor->NuiCameraElevationSetAngle(28), E_INVALIDARG);
    EXPECT_EQ(sensor->NuiCameraElevationSetAngle(-28), E_INVALIDARG);
    ASSERT_EQ(sensor->NuiCameraElevationGetAngle(&angle), S_OK);
    EXPECT_EQ(angle, -27) << "a refused angle changes nothing";
    EXPECT_EQ(sensor->NuiCameraElevationGetAngle(nullptr), E_POINTER);
    // The tilt belongs to the sensor index, not to one sensor object.
    ASSERT_EQ(createSensor()->NuiCameraElevationGetAngle(&angle), S_OK);
    EXPECT_EQ(angle, -27);
}

TEST_F(CameraTest, AccelerometerReadsGravityFollowingTheTilt) {
    Vector4 reading = accelerometer();
    EXPECT_FLOAT_EQ(reading.x, 0.0f);
    EXPECT_FLOAT_EQ(reading.y, -1.0f);
    EXPECT_NEAR(reading.z, 0.0f, 1e-6);
    EXPECT_FLOAT_EQ(reading.w, 0.0f);

    ASSERT_EQ(sensor->NuiCameraElevationSetAngle(20), S_OK);
    reading = accelerometer();
    EXPECT_NEAR(reading.y, -std::cos(20 * degree), 1e-6);
    EXPECT_NEAR(reading.z, -std::sin(20 * degree), 1e-6);
    EXPECT_NEAR(reading.x * reading.x + reading.y * reading.y + reading.z * reading.z, 1.0, 1e-6);
    // The same sensor head that live mode films with.
    const plexa::scene::Vec4 rig = v1::makeSensorRig(20).accelerometer();
    EXPECT_EQ(reading.x, rig.x);
    EXPECT_EQ(reading.y, rig.y);
    EXPECT_EQ(reading.z, rig.z);
    EXPECT_EQ(reading.w, rig.w);

    v1::setAccelerometer(0, Vector4{0.1f, -0.9f, 0.2f, 0.0f});
    reading = accelerometer();
    EXPECT_FLOAT_EQ(reading.x, 0.1f);
    EXPECT_FLOAT_EQ(reading.z, 0.2f);
    EXPECT_EQ(sensor->NuiAccelerometerGetCurrentReading(nullptr), E_POINTER);
}

TEST_F(CameraTest, StatusIsSettableAndReportsADisconnectedSensor) {
    EXPECT_EQ(sensor->NuiStatus(), S_OK);
    v1::setStatus(0, E_NUI_NOTPOWERED);
    EXPECT_EQ(sensor->NuiStatus(), E_NUI_NOTPOWERED);
    v1::setStatus(0, S_OK);
    v1::setConnectedCount(0);
    EXPECT_EQ(sensor->NuiStatus(), E_NUI_NOTCONNECTED);
    EXPECT_EQ(sensor->NuiInitialize(NUI_INITIALIZE_FLAG_USES_COLOR), E_NUI_NOTCONNECTED);
}

class ColorCoordinatesTest : public CameraTest {
protected:
    // The color pixel of depth pixel (column, row) at 320 x 240 seeing `millimetres`.
    std::pair<LONG, LONG> colorPixel(int column, int row, int millimetres, std::int32_t colorResolution) {
        std::vector<USHORT> depth(320 * 240, static_cast<USHORT>(1000 << 3));
        depth[row * 320 + column] = static_cast<USHORT>(millimetres << 3 | 2);
        std::vector<LONG> coordinates(2 * depth.size());
        EXPECT_EQ(sensor->NuiImageGetColorPixelCoordinateFrameFromDepthPixelFrameAtResolution(
                      static_cast<NUI_IMAGE_RESOLUTION>(colorResolution), NUI_IMAGE_RESOLUTION_320x240,
                      static_cast<DWORD>(depth.size()), depth.data(), static_cast<DWORD>(coordinates.size()),
                      coordinates.data()),
                  S_OK);
        const std::size_t pixel = static_cast<std::size_t>(row) * 320 + column;
        return {coordinates[2 * pixel], coordinates[2 * pixel + 1]};
    }
};

TEST_F(ColorCoordinatesTest, NearerPointsShiftFurtherFromTheColorCamerasSide) {
    // The color camera sits to the right: a near point appears further left
    // in its image; far away, or without depth, the offset hardly shows.
    const auto near = colorPixel(160, 120, 1000, NUI_IMAGE_RESOLUTION_640x480);
    const auto far = colorPixel(160, 120, 4000, NUI_IMAGE_RESOLUTION_640x480);
    const auto none = colorPixel(160, 120, 0, NUI_IMAGE_RESOLUTION_640x480);
    EXPECT_LT(near.first, far.first - 5);
    EXPECT_LT(far.first, none.first);
    EXPECT_LE(none.first - far.first, 4);
    EXPECT_EQ(near.second, far.second) << "the cameras sit side by side";
    EXPECT_EQ(none.second, far.second);
    // The centre of the depth image lands near the centre of the color image, at either size.
    EXPECT_NEAR(none.first, 320, 3);
    EXPECT_NEAR(none.second, 240, 3);
    const auto small = colorPixel(160, 120, 0, NUI_IMAGE_RESOLUTION_320x240);
    EXPECT_NEAR(small.first, 160, 2);
    EXPECT_NEAR(small.second, 120, 2);
    // Rows and columns keep their order across the image.
    EXPECT_LT(colorPixel(10, 10, 1000, NUI_IMAGE_RESOLUTION_640x480).second,
              colorPixel(10, 200, 1000, NUI_IMAGE_RESOLUTION_640x480).second);
    EXPECT_LT(colorPixel(10, 10, 1000, NUI_IMAGE_RESOLUTION_640x480).first,
              colorPixel(300, 10, 1000, NUI_IMAGE_RESOLUTION_640x480).first);
}

TEST_F(ColorCoordinatesTest, CoordinatesAreTheScenesGeometryAtEveryPairOfResolutions) {
    namespace scene = plexa::scene;
    const std::int32_t resolutions[] = {NUI_IMAGE_RESOLUTION_80x60, NUI_IMAGE_RESOLUTION_320x240,
                                        NUI_IMAGE_RESOLUTION_640x480, NUI_IMAGE_RESOLUTION_1280x960};
    scene::Rig1 rig = v1::makeSensorRig(0);
    const scene::Snapshot moment = scene::Scene(v1::kLiveSceneSeed).at(1.5);
    for (const std::int32_t depthResolution : resolutions) {
        // A depth frame of the room, with people, and pixels without depth (the open door).
        const std::size_t pixels = v1::imageSizeOf(depthResolution).pixelCount();
        std::vector<USHORT> depth(pixels);
        scene::DepthImages images;
        images.depthWithPlayer = depth.data();
        ASSERT_TRUE(rig.renderDepth(moment, *v1::rigResolutionOf(depthResolution), images));
        ASSERT_TRUE(std::count(depth.begin(), depth.end(), 0) > 0);
        for (const std::int32_t colorResolution : resolutions) {
            SCOPED_TRACE("depth " + std::to_string(depthResolution) + ", color " + std::to_string(colorResolution));
            std::vector<LONG> coordinates(2 * pixels, -7);
            ASSERT_EQ(sensor->NuiImageGetColorPixelCoordinateFrameFromDepthPixelFrameAtResolution(
                          static_cast<NUI_IMAGE_RESOLUTION>(colorResolution),
                          static_cast<NUI_IMAGE_RESOLUTION>(depthResolution), static_cast<DWORD>(pixels), depth.data(),
                          static_cast<DWORD>(coordinates.size()), coordinates.data()),
                      S_OK);
            std::vector<scene::ColorPixel> expected(pixels);
            ASSERT_EQ(scene::Rig1::mapDepthFrameToColor(*v1::rigResolutionOf(depthResolution), depth.data(), pixels,
                                                        *v1::rigResolutionOf(colorResolution), expected.data()),
                      pixels);
            for (std::size_t pixel = 0; pixel < pixels; ++pixel) {
                ASSERT_EQ(coordinates[2 * pixel], expected[pixel].x) << "pixel " << pixel;
                ASSERT_EQ(coordinates[2 * pixel + 1], expected[pixel].y) << "pixel " << pixel;
            }
        }
    }
}

TEST_F(ColorCoordinatesTest, CountsThatDoNotMatchTheImageAreRefused) {
    std::vector<USHORT> depth(80 * 60, 8000);
    std::vector<LONG> coordinates(2 * depth.size() + 1, -7);
    auto map = [&](std::int32_t color, std::int32_t depthResolution, DWORD depthCount, DWORD coordinateCount) {
        return sensor->NuiImageGetColorPixelCoordinateFrameFromDepthPixelFrameAtResolution(
            static_cast<NUI_IMAGE_RESOLUTION>(color), static_cast<NUI_IMAGE_RESOLUTION>(depthResolution), depthCount,
            depth.data(), coordinateCount, coordinates.data());
    };
    EXPECT_EQ(map(NUI_IMAGE_RESOLUTION_80x60, NUI_IMAGE_RESOLUTION_320x240, 80 * 60, 2 * 80 * 60), E_INVALIDARG);
    EXPECT_EQ(map(NUI_IMAGE_RESOLUTION_80x60, NUI_IMAGE_RESOLUTION_80x60, 80 * 60, 80 * 60), E_INVALIDARG);
    EXPECT_EQ(map(NUI_IMAGE_RESOLUTION_80x60, NUI_IMAGE_RESOLUTION_80x60, 80 * 60 - 1, 2 * 80 * 60), E_INVALIDARG);
    EXPECT_EQ(map(4, NUI_IMAGE_RESOLUTION_80x60, 80 * 60, 2 * 80 * 60), E_INVALIDARG);
    EXPECT_EQ(map(NUI_IMAGE_RESOLUTION_80x60, NUI_IMAGE_RESOLUTION_INVALID, 0, 0), E_INVALIDARG);
    for (LONG untouched : coordinates)
        ASSERT_EQ(untouched, -7);
    EXPECT_EQ(
        sensor->NuiImageGetColorPixelCoordinateFrameFromDepthPixelFrameAtResolution(
            NUI_IMAGE_RESOLUTION_80x60, NUI_IMAGE_RESOLUTION_80x60, 80 * 60, nullptr, 2 * 80 * 60, coordinates.data()),
        E_POINTER);

    EXPECT_EQ(map(NUI_IMAGE_RESOLUTION_1280x960, NUI_IMAGE_RESOLUTION_80x60, 80 * 60, 2 * 80 * 60), S_OK);
    EXPECT_EQ(coordinates.back(), -7) << "nothing written past the image";
}

}  // namespace
}  // namespace runtime1_test
