// Live mode films the synthetic scene: every live frame is the scene at the
// frame's time stamp, seen through the sensor's rig at the sensor's tilt, and
// what the streams of one moment show agrees with each other.
#include "Runtime1Fixture.h"

#include "plexa/scene/rig1.h"
#include "sources/LiveScene.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <numeric>
#include <sstream>
#include <string>

namespace runtime1_test {
namespace {

namespace scene = plexa::scene;

// The test films the scene itself, as the sensor should.
class Film {
public:
    explicit Film(LONG elevationDegrees, int sensorIndex = 0) : rig_(v1::makeSensorRig(elevationDegrees, sensorIndex)) {}

    std::vector<std::uint16_t> depth(std::int32_t resolution, INT64 timeStamp) {
        std::vector<std::uint16_t> samples(pixels(resolution));
        scene::DepthImages images;
        images.depthWithPlayer = samples.data();
        EXPECT_TRUE(rig_.renderDepth(at(timeStamp), *v1::rigResolutionOf(resolution), images));
        return samples;
    }

    std::vector<std::uint16_t> infrared(std::int32_t resolution, INT64 timeStamp) {
        std::vector<std::uint16_t> samples(pixels(resolution));
        scene::DepthImages images;
        images.infrared = samples.data();
        EXPECT_TRUE(rig_.renderDepth(at(timeStamp), *v1::rigResolutionOf(resolution), images));
        return samples;
    }

    std::vector<std::uint8_t> color(std::int32_t resolution, INT64 timeStamp) {
        std::vector<std::uint8_t> bytes(4 * pixels(resolution));
        EXPECT_TRUE(rig_.renderColor(at(timeStamp), *v1::rigResolutionOf(resolution), bytes.data()));
        return bytes;
    }

    scene::BodyFrame bodies(INT64 timeStamp) const { return rig_.bodies(at(timeStamp)); }
    const scene::Rig1& rig() const { return rig_; }

private:
    static std::size_t pixels(std::int32_t resolution) { return v1::imageSizeOf(resolution).pixelCount(); }
    scene::Snapshot at(INT64 timeStamp) const { return scene_.at(v1::sceneSecondsAt(timeStamp)); }

    scene::Scene scene_{v1::kLiveSceneSeed};
    scene::Rig1 rig_;
};

template <typename T>
std::vector<T> contents(const NUI_IMAGE_FRAME& frame) {
    const NUI_LOCKED_RECT locked = lock(frame);
    std::vector<T> values(static_cast<std::size_t>(locked.size) / sizeof(T));
    if (!values.empty()) std::memcpy(values.data(), locked.pBits, values.size() * sizeof(T));
    return values;
}

template <typename T>
::testing::AssertionResult sameImage(const std::vector<T>& actual, const std::vector<T>& expected) {
    if (actual.size() != expected.size()) {
        return ::testing::AssertionFailure() << actual.size() << " values where " << expected.size() << " were due";
    }
    const auto first = std::mismatch(actual.begin(), actual.end(), expected.begin());
    if (first.first == actual.end()) return ::testing::AssertionSuccess();
    const auto differing = std::inner_product(actual.begin(), actual.end(), expected.begin(), std::size_t{0},
                                              std::plus<>(), std::not_equal_to<>());
    return ::testing::AssertionFailure() << differing << " of " << actual.size() << " values differ, first at "
                                         << (first.first - actual.begin()) << ": " << +*first.first << " for "
                                         << +*first.second;
}

bool hasPlayers(const std::vector<std::uint16_t>& samples) {
    return std::any_of(samples.begin(), samples.end(), [](std::uint16_t s) { return (s & 7) != 0; });
}

const std::int32_t allResolutions[] = {NUI_IMAGE_RESOLUTION_80x60, NUI_IMAGE_RESOLUTION_320x240,
                                       NUI_IMAGE_RESOLUTION_640x480, NUI_IMAGE_RESOLUTION_1280x960};

class LiveSceneTest : public Runtime1Test {
protected:
    void SetUp() override {
        Runtime1Test::SetUp();
        sensor = createSensor();
    }

    HANDLE open(std::int32_t imageType, std::int32_t resolution, const Event& event) {
        HANDLE stream = nullptr;
        EXPECT_EQ(sensor->NuiImageStreamOpen(static_cast<NUI_IMAGE_TYPE>(imageType),
                                             static_cast<NUI_IMAGE_RESOLUTION>(resolution), 0, 2, event.get(), &stream),
                  S_OK);
        return stream;
    }

    // Waits for the stream's next frame and takes its contents.
    template <typename T>
    bool take(HANDLE stream, const Event& event, std::vector<T>& values, INT64& timeStamp) {
        NUI_IMAGE_FRAME frame{};
        if (!event.waitSignalled(10000) || sensor->NuiImageStreamGetNextFrame(stream, 0, &frame) != S_OK) return false;
        values = contents<T>(frame);
        timeStamp = frame.liTimeStamp.QuadPart;
        return sensor->NuiImageStreamReleaseFrame(stream, &frame) == S_OK;
    }

    bool takeSkeleton(const Event& event, NUI_SKELETON_FRAME& frame) {
        return event.waitSignalled(10000) && sensor->NuiSkeletonGetNextFrame(0, &frame) == S_OK;
    }

    SensorPtr sensor;
};

TEST_F(LiveSceneTest, DepthAndColorFramesAreTheSceneAtTheirTimeStamps) {
    ASSERT_EQ(sensor->NuiInitialize(NUI_INITIALIZE_FLAG_USES_DEPTH_AND_PLAYER_INDEX | NUI_INITIALIZE_FLAG_USES_COLOR),
              S_OK);
    Event depthEvent;
    Event colorEvent;
    HANDLE depth = open(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_320x240, depthEvent);
    HANDLE color = open(NUI_IMAGE_TYPE_COLOR, NUI_IMAGE_RESOLUTION_640x480, colorEvent);
    Film film(0);
    bool sawPeople = false;
    INT64 previous = -1;
    for (int frame = 0; frame < 3; ++frame) {
        std::vector<std::uint16_t> samples;
        INT64 timeStamp = 0;
        ASSERT_TRUE(take(depth, depthEvent, samples, timeStamp));
        EXPECT_GT(timeStamp, previous) << "the scene moves on with every frame";
        previous = timeStamp;
        EXPECT_TRUE(sameImage(samples, film.depth(NUI_IMAGE_RESOLUTION_320x240, timeStamp)))
            << "depth at " << timeStamp;
        sawPeople = sawPeople || hasPlayers(samples);

        std::vector<std::uint8_t> bytes;
        ASSERT_TRUE(take(color, colorEvent, bytes, timeStamp));
        EXPECT_TRUE(sameImage(bytes, film.color(NUI_IMAGE_RESOLUTION_640x480, timeStamp))) << "color at " << timeStamp;
    }
    EXPECT_TRUE(sawPeople) << "people in the room carry their player index";
}

TEST_F(LiveSceneTest, EveryResolutionFilmsTheSameScene) {
    Film film(0);
    Event event;
    for (const std::int32_t resolution : allResolutions) {
        SCOPED_TRACE("resolution " + std::to_string(resolution));
        ASSERT_EQ(sensor->NuiInitialize(NUI_INITIALIZE_FLAG_USES_DEPTH_AND_PLAYER_INDEX), S_OK);
        HANDLE depth = open(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, resolution, event);
        std::vector<std::uint16_t> samples;
        INT64 timeStamp = 0;
        ASSERT_TRUE(take(depth, event, samples, timeStamp));
        EXPECT_TRUE(sameImage(samples, film.depth(resolution, timeStamp)));
        sensor->NuiShutdown();

        ASSERT_EQ(sensor->NuiInitialize(NUI_INITIALIZE_FLAG_USES_COLOR), S_OK);
        HANDLE infrared = open(NUI_IMAGE_TYPE_COLOR_INFRARED, resolution, event);
        ASSERT_TRUE(take(infrared, event, samples, timeStamp));
        EXPECT_TRUE(sameImage(samples, film.infrared(resolution, timeStamp)));
        sensor->NuiShutdown();
    }
}

// The skeleton frame of a moment, checked against the scene's bodies and
// against the depth frame of the same moment.
void expectSkeletonsOfTheScene(const NUI_SKELETON_FRAME& frame, const scene::BodyFrame& bodies, const scene::Rig1& rig,
                               bool seated) {
    const scene::Vec4 floor = rig.floorClipPlane();
    EXPECT_EQ(frame.vFloorClipPlane.x, floor.x);
    EXPECT_EQ(frame.vFloorClipPlane.y, floor.y);
    EXPECT_EQ(frame.vFloorClipPlane.z, floor.z);
    EXPECT_EQ(frame.vFloorClipPlane.w, floor.w);
    const scene::Vec4 gravity = rig.accelerometer();
    EXPECT_EQ(frame.vNormalToGravity.x, -gravity.x);
    EXPECT_EQ(frame.vNormalToGravity.y, -gravity.y);
    EXPECT_EQ(frame.vNormalToGravity.z, -gravity.z);
    EXPECT_EQ(frame.vNormalToGravity.w, 0.0f);
    for (int slot = 0; slot < NUI_SKELETON_COUNT; ++slot) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        const NUI_SKELETON_DATA& skeleton = frame.SkeletonData[slot];
        const scene::Body& body = bodies.bodies[slot];
        if (!body.tracked) {
            EXPECT_EQ(skeleton.eTrackingState, NUI_SKELETON_NOT_TRACKED);
            EXPECT_EQ(skeleton.dwTrackingID, 0u);
            continue;
        }
        EXPECT_EQ(skeleton.eTrackingState, NUI_SKELETON_TRACKED);
        EXPECT_EQ(skeleton.dwTrackingID, static_cast<DWORD>(slot + 1)) << "one id per person";
        for (int joint = 0; joint < NUI_SKELETON_POSITION_COUNT; ++joint) {
            const scene::BodyJoint& source = body[scene::kFirstGenerationJoints[joint]];
            const Vector4& position = skeleton.SkeletonPositions[joint];
            EXPECT_EQ(position.x, source.position.x) << "joint " << joint;
            EXPECT_EQ(position.y, source.position.y) << "joint " << joint;
            EXPECT_EQ(position.z, source.position.z) << "joint " << joint;
            EXPECT_EQ(position.w, 1.0f) << "joint " << joint;
            const bool lowerBody = joint == 0 || joint >= 12;
            const std::int32_t state =
                seated && lowerBody ? NUI_SKELETON_POSITION_NOT_TRACKED : static_cast<std::int32_t>(source.state);
            EXPECT_EQ(skeleton.eSkeletonPositionTrackingState[joint], state) << "joint " << joint;
        }
    }
}

// Tracked joints lie on their own person's silhouette in the depth frame.
void expectJointsOnTheirSilhouettes(const NUI_SKELETON_FRAME& frame, const std::vector<std::uint16_t>& depth,
                                    std::int32_t resolution, int& trackedJoints) {
    const v1::ImageSize size = v1::imageSizeOf(resolution);
    for (int slot = 0; slot < NUI_SKELETON_COUNT; ++slot) {
        const NUI_SKELETON_DATA& skeleton = frame.SkeletonData[slot];
        for (int pixel = 0; pixel < static_cast<int>(depth.size()); ++pixel) {
            if (skeleton.eTrackingState != NUI_SKELETON_TRACKED) {
                ASSERT_NE(depth[pixel] & 7, slot + 1) << "pixels of untracked slot " << slot;
            }
        }
        if (skeleton.eTrackingState != NUI_SKELETON_TRACKED) continue;
        for (int joint = 0; joint < NUI_SKELETON_POSITION_COUNT; ++joint) {
            if (skeleton.eSkeletonPositionTrackingState[joint] != NUI_SKELETON_POSITION_TRACKED) continue;
            ++trackedJoints;
            const Vector4& p = skeleton.SkeletonPositions[joint];
            const scene::ImagePoint at = scene::Rig1::projectToDepth(*v1::rigResolutionOf(resolution), {p.x, p.y, p.z});
            const int column = static_cast<int>(std::lround(at.x));
            const int row = static_cast<int>(std::lround(at.y));
            bool onSilhouette = false;
            for (int dr = -2; dr <= 2; ++dr) {
                for (int dc = -2; dc <= 2; ++dc) {
                    const int c = column + dc;
                    const int r = row + dr;
                    if (c < 0 || r < 0 || c >= size.width || r >= size.height) continue;
                    onSilhouette = onSilhouette || (depth[r * size.width + c] & 7) == slot + 1;
                }
            }
            EXPECT_TRUE(onSilhouette) << "slot " << slot << " joint " << joint << " at (" << column << ", " << row
                                      << ")";
        }
    }
}

TEST_F(LiveSceneTest, SkeletonFramesAreTheScenesBodiesOnTheirSilhouettes) {
    ASSERT_EQ(
        sensor->NuiInitialize(NUI_INITIALIZE_FLAG_USES_DEPTH_AND_PLAYER_INDEX | NUI_INITIALIZE_FLAG_USES_SKELETON),
        S_OK);
    Event depthEvent;
    Event skeletonEvent;
    HANDLE depth = open(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_320x240, depthEvent);
    ASSERT_EQ(sensor->NuiSkeletonTrackingEnable(skeletonEvent.get(), 0), S_OK);
    Film film(0);

    // Depth and skeleton frames of one moment carry the same time stamp.
    std::map<INT64, std::vector<std::uint16_t>> depthFrames;
    std::map<INT64, NUI_SKELETON_FRAME> skeletonFrames;
    int pairs = 0;
    int trackedJoints = 0;
    const HANDLE events[] = {depthEvent.get(), skeletonEvent.get()};
    while (pairs < 3) {
        const DWORD signalled = WaitForMultipleObjects(2, events, FALSE, 10000);
        ASSERT_LT(signalled, WAIT_OBJECT_0 + 2) << "no frame within 10 s";
        INT64 timeStamp = 0;
        if (signalled == WAIT_OBJECT_0) {
            std::vector<std::uint16_t> samples;
            ASSERT_TRUE(take(depth, depthEvent, samples, timeStamp));
            depthFrames[timeStamp] = std::move(samples);
        } else {
            NUI_SKELETON_FRAME frame{};
            ASSERT_TRUE(takeSkeleton(skeletonEvent, frame));
            expectSkeletonsOfTheScene(frame, film.bodies(frame.liTimeStamp.QuadPart), film.rig(), false);
            timeStamp = frame.liTimeStamp.QuadPart;
            skeletonFrames[timeStamp] = frame;
        }
        if (depthFrames.count(timeStamp) == 0 || skeletonFrames.count(timeStamp) == 0) continue;
        ++pairs;
        expectJointsOnTheirSilhouettes(skeletonFrames[timeStamp], depthFrames[timeStamp], NUI_IMAGE_RESOLUTION_320x240,
                                       trackedJoints);
    }
    EXPECT_GT(trackedJoints, 10) << "someone was tracked";
}

TEST_F(LiveSceneTest, SeatedTrackingFollowsTheUpperBodyOnly) {
    ASSERT_EQ(sensor->NuiInitialize(NUI_INITIALIZE_FLAG_USES_SKELETON), S_OK);
    Event event;
    ASSERT_EQ(sensor->NuiSkeletonTrackingEnable(event.get(), NUI_SKELETON_TRACKING_FLAG_ENABLE_SEATED_SUPPORT), S_OK);
    Film film(0);
    NUI_SKELETON_FRAME frame{};
    ASSERT_TRUE(takeSkeleton(event, frame));
    expectSkeletonsOfTheScene(frame, film.bodies(frame.liTimeStamp.QuadPart), film.rig(), true);
    const auto tracked =
        std::count_if(std::begin(frame.SkeletonData), std::end(frame.SkeletonData),
                      [](const NUI_SKELETON_DATA& s) { return s.eTrackingState == NUI_SKELETON_TRACKED; });
    EXPECT_GT(tracked, 0);
}

TEST_F(LiveSceneTest, TiltingTheHeadFilmsTheRoomFromTheNewAngle) {
    ASSERT_EQ(
        sensor->NuiInitialize(NUI_INITIALIZE_FLAG_USES_DEPTH_AND_PLAYER_INDEX | NUI_INITIALIZE_FLAG_USES_SKELETON),
        S_OK);
    Event depthEvent;
    Event skeletonEvent;
    HANDLE depth = open(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_80x60, depthEvent);
    ASSERT_EQ(sensor->NuiSkeletonTrackingEnable(skeletonEvent.get(), 0), S_OK);
    Film level(0);
    Film tilted(-15);
    std::vector<std::uint16_t> samples;
    INT64 timeStamp = 0;
    ASSERT_TRUE(take(depth, depthEvent, samples, timeStamp));
    EXPECT_TRUE(sameImage(samples, level.depth(NUI_IMAGE_RESOLUTION_80x60, timeStamp)));

    ASSERT_EQ(sensor->NuiCameraElevationSetAngle(-15), S_OK);
    // A frame under way when the head moved may still show the old view; the
    // ones after it show the new one.
    bool turned = false;
    for (int frame = 0; frame < 4; ++frame) {
        ASSERT_TRUE(take(depth, depthEvent, samples, timeStamp));
        const std::vector<std::uint16_t> expected = tilted.depth(NUI_IMAGE_RESOLUTION_80x60, timeStamp);
        if (turned) {
            EXPECT_TRUE(sameImage(samples, expected)) << "frame " << frame;
        } else {
            turned = sameImage(samples, expected);
            EXPECT_TRUE(turned || sameImage(samples, level.depth(NUI_IMAGE_RESOLUTION_80x60, timeStamp)))
                << "frame " << frame;
        }
    }
    EXPECT_TRUE(turned);

    NUI_SKELETON_FRAME skeletons{};
    do {
        ASSERT_TRUE(takeSkeleton(skeletonEvent, skeletons));
    } while (skeletons.liTimeStamp.QuadPart <= timeStamp);
    expectSkeletonsOfTheScene(skeletons, tilted.bodies(skeletons.liTimeStamp.QuadPart), tilted.rig(), false);
    EXPECT_NEAR(skeletons.vFloorClipPlane.z, -std::sin(15 * 3.14159265358979 / 180), 1e-6)
        << "looking down, up leans back towards the sensor";

    Vector4 reading{};
    ASSERT_EQ(sensor->NuiAccelerometerGetCurrentReading(&reading), S_OK);
    EXPECT_EQ(reading.x, -skeletons.vNormalToGravity.x);
    EXPECT_EQ(reading.y, -skeletons.vNormalToGravity.y);
    EXPECT_EQ(reading.z, -skeletons.vNormalToGravity.z);
}

TEST_F(LiveSceneTest, SensorsAtDifferentTiltsEachFilmTheirOwnView) {
    v1::setConnectedCount(2);
    SensorPtr second = createSensor(1);
    v1::setElevation(1, 20);
    ASSERT_EQ(sensor->NuiInitialize(NUI_INITIALIZE_FLAG_USES_DEPTH_AND_PLAYER_INDEX), S_OK);
    ASSERT_EQ(second->NuiInitialize(NUI_INITIALIZE_FLAG_USES_DEPTH_AND_PLAYER_INDEX), S_OK);
    Event firstEvent;
    Event secondEvent;
    HANDLE first = open(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_80x60, firstEvent);
    HANDLE other = nullptr;
    ASSERT_EQ(second->NuiImageStreamOpen(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_80x60, 0, 2,
                                         secondEvent.get(), &other),
              S_OK);
    Film level(0);
    Film raised(20, 1);  // sensor 1 stands at a place of its own
    for (int frame = 0; frame < 3; ++frame) {
        std::vector<std::uint16_t> samples;
        INT64 timeStamp = 0;
        ASSERT_TRUE(take(first, firstEvent, samples, timeStamp));
        EXPECT_TRUE(sameImage(samples, level.depth(NUI_IMAGE_RESOLUTION_80x60, timeStamp)))
            << "sensor 0, frame " << frame;

        NUI_IMAGE_FRAME taken{};
        ASSERT_TRUE(secondEvent.waitSignalled(10000));
        ASSERT_EQ(second->NuiImageStreamGetNextFrame(other, 0, &taken), S_OK);
        EXPECT_TRUE(sameImage(contents<std::uint16_t>(taken),
                              raised.depth(NUI_IMAGE_RESOLUTION_80x60, taken.liTimeStamp.QuadPart)))
            << "sensor 1, frame " << frame;
        ASSERT_EQ(second->NuiImageStreamReleaseFrame(other, &taken), S_OK);
    }
}

}  // namespace
}  // namespace runtime1_test
