// Image streams in scripted mode: the frame event, the frame limit, fetching
// and releasing, and what a fetched frame holds.
#include "Runtime1Fixture.h"

#include <atomic>

namespace runtime1_test {
namespace {

constexpr std::size_t depthBytes320 = 320 * 240 * 2;

class ImageStreamTest : public Runtime1Test {
protected:
    void SetUp() override {
        Runtime1Test::SetUp();
        v1::setScripted(0, true);
        sensor = createSensor();
        ASSERT_EQ(sensor->NuiInitialize(NUI_INITIALIZE_FLAG_USES_DEPTH_AND_PLAYER_INDEX | NUI_INITIALIZE_FLAG_USES_COLOR), S_OK);
    }

    HANDLE openDepth(DWORD frameLimit = 2, std::int32_t resolution = NUI_IMAGE_RESOLUTION_320x240) {
        HANDLE stream = nullptr;
        EXPECT_EQ(sensor->NuiImageStreamOpen(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, static_cast<NUI_IMAGE_RESOLUTION>(resolution), 0, frameLimit,
                                             depthEvent.get(), &stream),
                  S_OK);
        return stream;
    }

    SensorPtr sensor;
    Event depthEvent;
};

TEST_F(ImageStreamTest, NothingOpensOrFetchesBeforeInitialize) {
    SensorPtr fresh = createSensor();
    HANDLE stream = nullptr;
    EXPECT_EQ(fresh->NuiImageStreamOpen(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_320x240, 0, 2, nullptr, &stream),
              E_NUI_FEATURE_NOT_INITIALIZED);
    EXPECT_EQ(stream, nullptr);
    NUI_IMAGE_FRAME frame{};
    EXPECT_EQ(fresh->NuiImageStreamGetNextFrame(stream, 0, &frame), E_NUI_FEATURE_NOT_INITIALIZED);
    EXPECT_EQ(fresh->NuiSkeletonTrackingEnable(nullptr, 0), E_NUI_FEATURE_NOT_INITIALIZED);
}

TEST_F(ImageStreamTest, OpenRefusesBadArgumentsAndStreamsInUse) {
    HANDLE stream = nullptr;
    EXPECT_EQ(sensor->NuiImageStreamOpen(static_cast<NUI_IMAGE_TYPE>(2), NUI_IMAGE_RESOLUTION_640x480, 0, 2, nullptr, &stream), E_INVALIDARG);
    EXPECT_EQ(sensor->NuiImageStreamOpen(NUI_IMAGE_TYPE_COLOR, static_cast<NUI_IMAGE_RESOLUTION>(4), 0, 2, nullptr, &stream), E_INVALIDARG);
    EXPECT_EQ(sensor->NuiImageStreamOpen(NUI_IMAGE_TYPE_COLOR, NUI_IMAGE_RESOLUTION_INVALID, 0, 2, nullptr, &stream), E_INVALIDARG);
    EXPECT_EQ(sensor->NuiImageStreamOpen(NUI_IMAGE_TYPE_COLOR, NUI_IMAGE_RESOLUTION_640x480, 0, 0, nullptr, &stream),
              E_INVALIDARG);
    EXPECT_EQ(sensor->NuiImageStreamOpen(NUI_IMAGE_TYPE_COLOR, NUI_IMAGE_RESOLUTION_640x480, 0, 5, nullptr, &stream),
              E_INVALIDARG);
    EXPECT_EQ(sensor->NuiImageStreamOpen(NUI_IMAGE_TYPE_COLOR, NUI_IMAGE_RESOLUTION_640x480, 0, 2, nullptr, nullptr), E_POINTER);

    openDepth();
    EXPECT_EQ(sensor->NuiImageStreamOpen(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, NUI_IMAGE_RESOLUTION_640x480, 0, 2, nullptr, &stream),
              E_NUI_IMAGE_STREAM_IN_USE);
    ASSERT_EQ(sensor->NuiImageStreamOpen(NUI_IMAGE_TYPE_COLOR_INFRARED, NUI_IMAGE_RESOLUTION_640x480, 0, 2, nullptr, &stream), S_OK);
    // Color and infrared share the one video stream.
    EXPECT_EQ(sensor->NuiImageStreamOpen(NUI_IMAGE_TYPE_COLOR, NUI_IMAGE_RESOLUTION_640x480, 0, 2, nullptr, &stream),
              E_NUI_IMAGE_STREAM_IN_USE);

    // A stream needs its initialisation flag.
    SensorPtr depthOnly = createSensor();
    ASSERT_EQ(depthOnly->NuiInitialize(NUI_INITIALIZE_FLAG_USES_DEPTH_AND_PLAYER_INDEX), S_OK);
    EXPECT_EQ(depthOnly->NuiImageStreamOpen(NUI_IMAGE_TYPE_COLOR, NUI_IMAGE_RESOLUTION_640x480, 0, 2, nullptr, &stream),
              E_NUI_STREAM_NOT_ENABLED);
    EXPECT_EQ(depthOnly->NuiInitialize(0x40), E_INVALIDARG);
}

TEST_F(ImageStreamTest, EventIsSignalledExactlyWhileAFrameIsReady) {
    HANDLE stream = openDepth();
    EXPECT_FALSE(depthEvent.signalled());
    NUI_IMAGE_FRAME frame{};
    EXPECT_EQ(sensor->NuiImageStreamGetNextFrame(stream, 0, &frame), E_NUI_FRAME_NO_DATA);

    v1::queueImageFrame(0, v1::Stream::Depth, countingFrame(depthBytes320, 0));
    v1::queueImageFrame(0, v1::Stream::Depth, countingFrame(depthBytes320, 1));
    EXPECT_TRUE(depthEvent.signalled());
    EXPECT_EQ(v1::readyFrameCount(0, v1::Stream::Depth), 2);

    ASSERT_EQ(sensor->NuiImageStreamGetNextFrame(stream, 0, &frame), S_OK);
    EXPECT_TRUE(depthEvent.signalled()) << "one frame is still ready";
    EXPECT_EQ(sensor->NuiImageStreamReleaseFrame(stream, &frame), S_OK);
    ASSERT_EQ(sensor->NuiImageStreamGetNextFrame(stream, 0, &frame), S_OK);
    EXPECT_FALSE(depthEvent.signalled()) << "the last ready frame was taken";
    EXPECT_EQ(sensor->NuiImageStreamReleaseFrame(stream, &frame), S_OK);
    EXPECT_EQ(sensor->NuiImageStreamGetNextFrame(stream, 0, &frame), E_NUI_FRAME_NO_DATA);
    EXPECT_EQ(sensor->NuiImageStreamGetNextFrame(stream, 0, nullptr), E_POINTER);
}

TEST_F(ImageStreamTest, FrameLimitHoldsBackScriptedFramesWithoutLosingAny) {
    for (std::uint8_t i = 0; i < 5; ++i) v1::queueImageFrame(0, v1::Stream::Depth, countingFrame(depthBytes320, i));
    EXPECT_EQ(v1::readyFrameCount(0, v1::Stream::Depth), 0) << "frames wait for the stream to open";
    HANDLE stream = openDepth(2);
    EXPECT_EQ(v1::readyFrameCount(0, v1::Stream::Depth), 2);

    DWORD previousNumber = 0;
    for (std::uint8_t expected = 0; expected < 5; ++expected) {
        EXPECT_LE(v1::readyFrameCount(0, v1::Stream::Depth), 2);
        NUI_IMAGE_FRAME frame{};
        ASSERT_EQ(sensor->NuiImageStreamGetNextFrame(stream, 0, &frame), S_OK);
        EXPECT_EQ(lock(frame).pBits[0], expected) << "frames come in queue order";
        EXPECT_GT(frame.dwFrameNumber, previousNumber);
        previousNumber = frame.dwFrameNumber;
        EXPECT_EQ(sensor->NuiImageStreamReleaseFrame(stream, &frame), S_OK);
    }
    EXPECT_FALSE(depthEvent.signalled());
}

TEST_F(ImageStreamTest, FetchedFrameDescribesItsStreamAndBytes) {
    HANDLE stream = openDepth(2, NUI_IMAGE_RESOLUTION_640x480);
    v1::queueImageFrame(0, v1::Stream::Depth, countingFrame(640 * 480 * 2, 7));
    v1::queueImageFrame(0, v1::Stream::Depth, v1::ScriptedImageFrame{{}, 0});
    v1::queueImageFrame(0, v1::Stream::Depth, countingFrame(100, 0, 1234));

    NUI_IMAGE_FRAME frame{};
    ASSERT_EQ(sensor->NuiImageStreamGetNextFrame(stream, 0, &frame), S_OK);
    EXPECT_EQ(frame.eImageType, NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX);
    EXPECT_EQ(frame.eResolution, NUI_IMAGE_RESOLUTION_640x480);
    NUI_LOCKED_RECT locked = lock(frame);
    EXPECT_EQ(locked.Pitch, 1280) << "pitch -1 means the packed row size";
    EXPECT_EQ(locked.size, 640 * 480 * 2);
    EXPECT_EQ(locked.pBits[0], 7);
    EXPECT_EQ(locked.pBits[locked.size - 1], static_cast<std::uint8_t>(7 + locked.size - 1));
    EXPECT_EQ(frame.pFrameTexture->LockRect(1, &locked, nullptr, 0), E_INVALIDARG);
    EXPECT_EQ(frame.pFrameTexture->LockRect(0, nullptr, nullptr, 0), E_POINTER);
    EXPECT_EQ(sensor->NuiImageStreamReleaseFrame(stream, &frame), S_OK);

    ASSERT_EQ(sensor->NuiImageStreamGetNextFrame(stream, 0, &frame), S_OK);
    locked = lock(frame);
    EXPECT_EQ(locked.Pitch, 0);
    EXPECT_EQ(locked.size, 0);
    EXPECT_EQ(sensor->NuiImageStreamReleaseFrame(stream, &frame), S_OK);

    ASSERT_EQ(sensor->NuiImageStreamGetNextFrame(stream, 0, &frame), S_OK);
    locked = lock(frame);
    EXPECT_EQ(locked.Pitch, 1234) << "a chosen pitch is handed out as it is";
    EXPECT_EQ(locked.size, 100);
    EXPECT_EQ(sensor->NuiImageStreamReleaseFrame(stream, &frame), S_OK);
}

TEST_F(ImageStreamTest, ReleaseAccountsForEveryFrameAndRefusesRepeatsAndStrangers) {
    HANDLE stream = openDepth();
    for (std::uint8_t i = 0; i < 2; ++i) v1::queueImageFrame(0, v1::Stream::Depth, countingFrame(depthBytes320, i));
    NUI_IMAGE_FRAME first{};
    NUI_IMAGE_FRAME second{};
    ASSERT_EQ(sensor->NuiImageStreamGetNextFrame(stream, 0, &first), S_OK);
    ASSERT_EQ(sensor->NuiImageStreamGetNextFrame(stream, 0, &second), S_OK);
    EXPECT_EQ(v1::framesOutstanding(0), 2);

    EXPECT_EQ(sensor->NuiImageStreamReleaseFrame(stream, &first), S_OK);
    EXPECT_EQ(v1::framesOutstanding(0), 1);
    EXPECT_EQ(sensor->NuiImageStreamReleaseFrame(stream, &first), E_INVALIDARG) << "released twice";

    // A released texture is reused for a later frame; the old record still
    // must not release that frame.
    v1::queueImageFrame(0, v1::Stream::Depth, countingFrame(depthBytes320, 2));
    NUI_IMAGE_FRAME third{};
    ASSERT_EQ(sensor->NuiImageStreamGetNextFrame(stream, 0, &third), S_OK);
    ASSERT_EQ(third.pFrameTexture, first.pFrameTexture);
    EXPECT_EQ(sensor->NuiImageStreamReleaseFrame(stream, &first), E_INVALIDARG);
    EXPECT_EQ(v1::framesOutstanding(0), 2);

    NUI_IMAGE_FRAME stranger = second;
    stranger.pFrameTexture = reinterpret_cast<INuiFrameTexture*>(&stranger);
    EXPECT_EQ(sensor->NuiImageStreamReleaseFrame(stream, &stranger), E_INVALIDARG);
    HANDLE otherStream = nullptr;
    ASSERT_EQ(sensor->NuiImageStreamOpen(NUI_IMAGE_TYPE_COLOR, NUI_IMAGE_RESOLUTION_640x480, 0, 2, nullptr, &otherStream), S_OK);
    EXPECT_EQ(sensor->NuiImageStreamReleaseFrame(otherStream, &second), E_INVALIDARG) << "frame of another stream";
    EXPECT_EQ(sensor->NuiImageStreamReleaseFrame(stream, nullptr), E_POINTER);
    EXPECT_EQ(v1::framesOutstanding(0), 2);

    EXPECT_EQ(sensor->NuiImageStreamReleaseFrame(stream, &second), S_OK);
    EXPECT_EQ(sensor->NuiImageStreamReleaseFrame(stream, &third), S_OK);
    EXPECT_EQ(v1::framesOutstanding(0), 0);
}

TEST_F(ImageStreamTest, FramesHeldAcrossShutdownStayValidUntilReleased) {
    HANDLE stream = openDepth();
    v1::queueImageFrame(0, v1::Stream::Depth, countingFrame(depthBytes320, 9));
    NUI_IMAGE_FRAME frame{};
    ASSERT_EQ(sensor->NuiImageStreamGetNextFrame(stream, 0, &frame), S_OK);
    sensor->NuiShutdown();
    EXPECT_EQ(lock(frame).pBits[0], 9);
    EXPECT_EQ(v1::framesOutstanding(0), 1);
    EXPECT_EQ(sensor->NuiImageStreamReleaseFrame(stream, &frame), S_OK);
    EXPECT_EQ(v1::framesOutstanding(0), 0);
    EXPECT_EQ(sensor->NuiImageStreamReleaseFrame(stream, &frame), E_INVALIDARG);
}

TEST_F(ImageStreamTest, NearModeFlagsAreKeptPerStreamAndCarriedByFrames) {
    HANDLE depth = openDepth();
    HANDLE video = nullptr;
    ASSERT_EQ(sensor->NuiImageStreamOpen(NUI_IMAGE_TYPE_COLOR, NUI_IMAGE_RESOLUTION_640x480, 0, 2, nullptr, &video), S_OK);
    ASSERT_EQ(sensor->NuiImageStreamSetImageFrameFlags(depth, NUI_IMAGE_STREAM_FLAG_ENABLE_NEAR_MODE), S_OK);
    DWORD flags = 0;
    ASSERT_EQ(sensor->NuiImageStreamGetImageFrameFlags(depth, &flags), S_OK);
    EXPECT_EQ(flags, NUI_IMAGE_STREAM_FLAG_ENABLE_NEAR_MODE);
    ASSERT_EQ(sensor->NuiImageStreamGetImageFrameFlags(video, &flags), S_OK);
    EXPECT_EQ(flags, 0u);

    v1::queueImageFrame(0, v1::Stream::Depth, countingFrame(depthBytes320, 0));
    NUI_IMAGE_FRAME frame{};
    ASSERT_EQ(sensor->NuiImageStreamGetNextFrame(depth, 0, &frame), S_OK);
    EXPECT_EQ(frame.dwFrameFlags, NUI_IMAGE_FRAME_FLAG_NEAR_MODE_ENABLED);
    EXPECT_EQ(sensor->NuiImageStreamReleaseFrame(depth, &frame), S_OK);

    ASSERT_EQ(sensor->NuiImageStreamSetImageFrameFlags(depth, 0), S_OK);
    ASSERT_EQ(sensor->NuiImageStreamGetImageFrameFlags(depth, &flags), S_OK);
    EXPECT_EQ(flags, 0u);
    EXPECT_EQ(sensor->NuiImageStreamSetImageFrameFlags(nullptr, NUI_IMAGE_STREAM_FLAG_ENABLE_NEAR_MODE), E_INVALIDARG);
    EXPECT_EQ(sensor->NuiImageStreamGetImageFrameFlags(depth, nullptr), E_POINTER);
}

TEST_F(ImageStreamTest, AWaitingFetchReturnsWhenAFrameArrives) {
    HANDLE stream = openDepth();
    std::thread producer([] { v1::queueImageFrame(0, v1::Stream::Depth, countingFrame(depthBytes320, 3)); });
    NUI_IMAGE_FRAME frame{};
    const HRESULT fetched = sensor->NuiImageStreamGetNextFrame(stream, 10000, &frame);
    producer.join();
    ASSERT_EQ(fetched, S_OK);
    EXPECT_EQ(lock(frame).pBits[0], 3);
    EXPECT_EQ(sensor->NuiImageStreamReleaseFrame(stream, &frame), S_OK);
    EXPECT_EQ(sensor->NuiImageStreamGetNextFrame(stream, 20, &frame), E_NUI_FRAME_NO_DATA);
}

TEST_F(ImageStreamTest, ShutdownEndsAWaitingFetch) {
    // Whether the shutdown comes before the fetch or while it waits, the fetch
    // fails instead of waiting for ever.
    HANDLE stream = openDepth();
    std::atomic<bool> started{false};
    HRESULT fetched = S_OK;
    std::thread waiter([&] {
        NUI_IMAGE_FRAME frame{};
        started = true;
        fetched = sensor->NuiImageStreamGetNextFrame(stream, INFINITE, &frame);
    });
    ASSERT_TRUE(waitUntil([&] { return started.load(); }));
    sensor->NuiShutdown();
    waiter.join();
    EXPECT_TRUE(FAILED(fetched));
}

}  // namespace
}  // namespace runtime1_test
