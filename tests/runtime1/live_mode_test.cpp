// Live mode: frames at 30 per second, on the producer thread, for every open
// stream. What they show is live_scene_test's subject.
#include "Runtime1Fixture.h"

namespace runtime1_test {
namespace {

// The thread count once a producer thread left by an earlier test has ended.
int quietThreadCount() {
    waitUntil([] { return threadCount() == 1; }, std::chrono::seconds(2));
    return threadCount();
}

class LiveModeTest : public Runtime1Test {
protected:
    void SetUp() override {
        Runtime1Test::SetUp();
        sensor = createSensor();
        ASSERT_EQ(sensor->NuiInitialize(NUI_INITIALIZE_FLAG_USES_DEPTH_AND_PLAYER_INDEX | NUI_INITIALIZE_FLAG_USES_COLOR |
                                        NUI_INITIALIZE_FLAG_USES_SKELETON),
                  S_OK);
    }

    HANDLE open(std::int32_t imageType, std::int32_t resolution, const Event& event, DWORD frameLimit = 2) {
        HANDLE stream = nullptr;
        EXPECT_EQ(sensor->NuiImageStreamOpen(static_cast<NUI_IMAGE_TYPE>(imageType), static_cast<NUI_IMAGE_RESOLUTION>(resolution), 0, frameLimit, event.get(), &stream), S_OK);
        return stream;
    }

    // Waits for the stream's event and takes one frame.
    bool fetch(HANDLE stream, const Event& event, NUI_IMAGE_FRAME& frame) {
        return event.waitSignalled(5000) && sensor->NuiImageStreamGetNextFrame(stream, 0, &frame) == S_OK;
    }

    SensorPtr sensor;
};

TEST_F(LiveModeTest, DeliversAboutThirtyFramesPerSecond) {
    Event event;
    HANDLE stream = open(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_320x240, event);
    NUI_IMAGE_FRAME frame{};
    ASSERT_TRUE(fetch(stream, event, frame));
    ASSERT_EQ(sensor->NuiImageStreamReleaseFrame(stream, &frame), S_OK);

    const DWORD firstNumber = frame.dwFrameNumber;
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(1)) {
        ASSERT_TRUE(fetch(stream, event, frame));
        ASSERT_EQ(sensor->NuiImageStreamReleaseFrame(stream, &frame), S_OK);
    }
    // Frame numbers count every frame made, fetched or dropped.
    const DWORD made = frame.dwFrameNumber - firstNumber;
    EXPECT_GE(made, 20u);
    EXPECT_LE(made, 40u);
}

TEST_F(LiveModeTest, HundredFramesOfDepthAndVideoAllComeBack) {
    Event depthEvent;
    Event videoEvent;
    HANDLE depth = open(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_320x240, depthEvent);
    HANDLE video = open(NUI_IMAGE_TYPE_COLOR, NUI_IMAGE_RESOLUTION_640x480, videoEvent);
    const HANDLE events[] = {depthEvent.get(), videoEvent.get()};
    int depthFrames = 0;
    int videoFrames = 0;
    while (depthFrames < 100 || videoFrames < 100) {
        const DWORD signalled = WaitForMultipleObjects(2, events, FALSE, 5000);
        ASSERT_LT(signalled, WAIT_OBJECT_0 + 2) << "no frame within 5 s";
        const HANDLE stream = signalled == WAIT_OBJECT_0 ? depth : video;
        NUI_IMAGE_FRAME frame{};
        ASSERT_EQ(sensor->NuiImageStreamGetNextFrame(stream, 0, &frame), S_OK);
        const NUI_LOCKED_RECT locked = lock(frame);
        if (stream == depth) {
            EXPECT_EQ(locked.Pitch, 320 * 2);
            EXPECT_EQ(locked.size, 320 * 240 * 2);
            ++depthFrames;
        } else {
            EXPECT_EQ(locked.Pitch, 640 * 4);
            EXPECT_EQ(locked.size, 640 * 480 * 4);
            ++videoFrames;
        }
        EXPECT_LE(v1::framesOutstanding(0), 1);
        ASSERT_EQ(sensor->NuiImageStreamReleaseFrame(stream, &frame), S_OK);
    }
    EXPECT_EQ(v1::framesOutstanding(0), 0);
    sensor->NuiShutdown();
    EXPECT_EQ(v1::framesOutstanding(0), 0);
}

TEST_F(LiveModeTest, ReadyFramesNeverExceedTheLimitAndTheNewestAreKept) {
    Event depthEvent;
    Event videoEvent;
    HANDLE depth = open(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_80x60, depthEvent, 2);
    HANDLE video = open(NUI_IMAGE_TYPE_COLOR_INFRARED, NUI_IMAGE_RESOLUTION_640x480, videoEvent, 1);
    // Both streams are filled on the same ticks: consuming video frames shows
    // that the depth stream was offered as many.
    NUI_IMAGE_FRAME frame{};
    do {
        ASSERT_TRUE(fetch(video, videoEvent, frame));
        ASSERT_EQ(sensor->NuiImageStreamReleaseFrame(video, &frame), S_OK);
        EXPECT_LE(v1::readyFrameCount(0, v1::Stream::Depth), 2);
    } while (frame.dwFrameNumber < 8);

    NUI_IMAGE_FRAME older{};
    NUI_IMAGE_FRAME newer{};
    ASSERT_EQ(sensor->NuiImageStreamGetNextFrame(depth, 0, &older), S_OK);
    ASSERT_EQ(sensor->NuiImageStreamGetNextFrame(depth, 0, &newer), S_OK);
    EXPECT_GE(older.dwFrameNumber, 6u) << "the oldest frames made way";
    EXPECT_GT(newer.dwFrameNumber, older.dwFrameNumber);
    EXPECT_EQ(sensor->NuiImageStreamReleaseFrame(depth, &older), S_OK);
    EXPECT_EQ(sensor->NuiImageStreamReleaseFrame(depth, &newer), S_OK);
}

TEST_F(LiveModeTest, FramesComeInEachStreamsLayout) {
    Event depthEvent;
    Event videoEvent;
    HANDLE depth = open(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_320x240, depthEvent);
    HANDLE video = open(NUI_IMAGE_TYPE_COLOR, NUI_IMAGE_RESOLUTION_640x480, videoEvent);

    NUI_IMAGE_FRAME frame{};
    ASSERT_TRUE(fetch(depth, depthEvent, frame));
    NUI_LOCKED_RECT locked = lock(frame);
    ASSERT_EQ(locked.size, 320 * 240 * 2);
    EXPECT_EQ(locked.Pitch, 320 * 2);
    EXPECT_EQ(frame.eImageType, NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX);
    EXPECT_EQ(frame.eResolution, NUI_IMAGE_RESOLUTION_320x240);
    ASSERT_EQ(sensor->NuiImageStreamReleaseFrame(depth, &frame), S_OK);

    ASSERT_TRUE(fetch(video, videoEvent, frame));
    locked = lock(frame);
    EXPECT_EQ(locked.Pitch, 640 * 4);
    ASSERT_EQ(locked.size, 640 * 480 * 4);
    EXPECT_EQ(frame.eImageType, NUI_IMAGE_TYPE_COLOR);
    ASSERT_EQ(sensor->NuiImageStreamReleaseFrame(video, &frame), S_OK);
    sensor->NuiShutdown();

    ASSERT_EQ(sensor->NuiInitialize(NUI_INITIALIZE_FLAG_USES_COLOR), S_OK);
    HANDLE infrared = open(NUI_IMAGE_TYPE_COLOR_INFRARED, NUI_IMAGE_RESOLUTION_640x480, videoEvent);
    ASSERT_TRUE(fetch(infrared, videoEvent, frame));
    locked = lock(frame);
    EXPECT_EQ(locked.Pitch, 640 * 2);
    EXPECT_EQ(locked.size, 640 * 480 * 2);
    EXPECT_EQ(frame.eImageType, NUI_IMAGE_TYPE_COLOR_INFRARED);
    ASSERT_EQ(sensor->NuiImageStreamReleaseFrame(infrared, &frame), S_OK);
}

TEST_F(LiveModeTest, ShutdownStopsSignallingAndTheProducerThread) {
    const int threadsBefore = quietThreadCount();
    Event event;
    HANDLE stream = open(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_320x240, event);
    ASSERT_TRUE(event.waitSignalled(5000));
    EXPECT_EQ(threadCount(), threadsBefore + 1);

    sensor->NuiShutdown();
    EXPECT_FALSE(event.signalled()) << "the unfetched frames went with the stream";
    EXPECT_FALSE(event.waitSignalled(200)) << "no frame after shutdown";
    NUI_IMAGE_FRAME frame{};
    EXPECT_EQ(sensor->NuiImageStreamGetNextFrame(stream, 0, &frame), E_NUI_FEATURE_NOT_INITIALIZED);
    EXPECT_TRUE(waitUntil([&] { return threadCount() == threadsBefore; })) << "the producer thread ends";

    // And it comes back with the next stream.
    ASSERT_EQ(sensor->NuiInitialize(NUI_INITIALIZE_FLAG_USES_DEPTH_AND_PLAYER_INDEX), S_OK);
    stream = open(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_320x240, event);
    EXPECT_TRUE(event.waitSignalled(5000));
}

TEST_F(LiveModeTest, ReleasingTheLastReferenceEndsTheSensorsStreams) {
    const int threadsBefore = quietThreadCount();
    Event event;
    open(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_320x240, event);
    ASSERT_TRUE(event.waitSignalled(5000));
    EXPECT_EQ(sensor->AddRef(), 2u);
    EXPECT_EQ(sensor->Release(), 1u);
    sensor.reset();
    EXPECT_FALSE(event.signalled());
    EXPECT_TRUE(waitUntil([&] { return threadCount() == threadsBefore; }));
}

TEST_F(LiveModeTest, SwitchingToScriptedDropsLiveFramesAndBack) {
    Event event;
    HANDLE stream = open(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_80x60, event);
    ASSERT_TRUE(event.waitSignalled(5000));
    v1::setScripted(0, true);
    EXPECT_FALSE(event.signalled());
    EXPECT_EQ(v1::readyFrameCount(0, v1::Stream::Depth), 0);
    v1::queueImageFrame(0, v1::Stream::Depth, countingFrame(80 * 60 * 2, 42));
    NUI_IMAGE_FRAME frame{};
    ASSERT_EQ(sensor->NuiImageStreamGetNextFrame(stream, 0, &frame), S_OK);
    EXPECT_EQ(lock(frame).pBits[0], 42);
    ASSERT_EQ(sensor->NuiImageStreamReleaseFrame(stream, &frame), S_OK);

    v1::setScripted(0, false);
    EXPECT_TRUE(event.waitSignalled(5000));
}

TEST(LiveModeExitTest, ProcessMayExitWhileStreamsRun) {
    // No reset at the end: the process ends with the sensor streaming and the
    // producer thread running, which must not disturb the exit.
    v1::reset();
    static INuiSensor* const abandoned = [] {
        INuiSensor* sensor = nullptr;
        EXPECT_EQ(NuiCreateSensorByIndex(0, &sensor), S_OK);
        return sensor;
    }();
    ASSERT_NE(abandoned, nullptr);
    ASSERT_EQ(abandoned->NuiInitialize(NUI_INITIALIZE_FLAG_USES_DEPTH_AND_PLAYER_INDEX | NUI_INITIALIZE_FLAG_USES_SKELETON), S_OK);
    static Event depthEvent;
    HANDLE stream = nullptr;
    ASSERT_EQ(abandoned->NuiImageStreamOpen(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_640x480, 0, 2,
                                            depthEvent.get(), &stream),
              S_OK);
    ASSERT_EQ(abandoned->NuiSkeletonTrackingEnable(nullptr, 0), S_OK);
    ASSERT_TRUE(depthEvent.waitSignalled(5000));
}

}  // namespace
}  // namespace runtime1_test
