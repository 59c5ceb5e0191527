// Live mode: frames at the sensor's rate while a reader is open, the newest
// frame winning, and content that is the scene filmed at the frame's time.
#include "RuntimeFixture.h"
#include "SceneFrames.h"

#include <algorithm>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace {

class LiveTest : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        rt2::setScripted(false);
    }
};

HANDLE asHandle(WAITABLE_HANDLE waitable) { return reinterpret_cast<HANDLE>(waitable); }

// Waits (with a deadline) for the reader's next frame and gives its time.
TIMESPAN nextLiveTime(IMultiSourceFrameReader* reader, WAITABLE_HANDLE waitable) {
    if (WaitForSingleObject(asHandle(waitable), kLiveFrameDeadlineMs) != WAIT_OBJECT_0) return -1;
    Ref<IMultiSourceFrame> frame;
    Ref<IDepthFrameReference> reference;
    Ref<IDepthFrame> depth;
    TIMESPAN time = -1;
    if (SUCCEEDED(reader->AcquireLatestFrame(frame.out())) &&
        SUCCEEDED(frame->get_DepthFrameReference(reference.out())) &&
        SUCCEEDED(reference->AcquireFrame(depth.out()))) {
        depth->get_RelativeTime(&time);
    }
    return time;
}

TEST_F(LiveTest, FramesKeepArrivingWithRisingTimesAndTheNewestWins) {
    Ref<IMultiSourceFrameReader> taker, idle;
    openReader(FrameSourceTypes_Depth, taker);
    openReader(FrameSourceTypes_Depth, idle);
    WAITABLE_HANDLE takerHandle = 0, idleHandle = 0;
    ASSERT_EQ(taker->SubscribeMultiSourceFrameArrived(&takerHandle), S_OK);
    ASSERT_EQ(idle->SubscribeMultiSourceFrameArrived(&idleHandle), S_OK);

    TIMESPAN previous = nextLiveTime(taker.get(), takerHandle);
    ASSERT_GE(previous, 0);
    for (int frame = 0; frame < 3; ++frame) {
        const TIMESPAN time = nextLiveTime(taker.get(), takerHandle);
        ASSERT_GE(time, 0);
        EXPECT_GE(time - previous, 333'000) << "frames are a thirtieth of a second apart at least";
        previous = time;
    }
    // The reader that took nothing holds one frame: the newest, not the first.
    const TIMESPAN idleTime = nextLiveTime(idle.get(), idleHandle);
    EXPECT_GE(idleTime, previous);
}

// Frames are due on a fixed grid from the start of a run, so however long a
// frame takes to render, frame times stay whole frame periods apart and the
// stream does not creep behind the clock.
TEST_F(LiveTest, FrameTimesStayOnTheFrameGridWithoutDrift) {
    Ref<IMultiSourceFrameReader> reader;
    openReader(kEverySource, reader);
    WAITABLE_HANDLE waitable = 0;
    ASSERT_EQ(reader->SubscribeMultiSourceFrameArrived(&waitable), S_OK);
    const TIMESPAN first = nextLiveTime(reader.get(), waitable);
    ASSERT_GE(first, 0);
    constexpr double kTicksPerFrame = 10'000'000.0 / 30.0;
    long long previousPeriods = 0;
    for (int frame = 0; frame < 15; ++frame) {
        const TIMESPAN time = nextLiveTime(reader.get(), waitable);
        ASSERT_GE(time, 0);
        const double elapsed = static_cast<double>(time - first);
        const long long periods = std::llround(elapsed / kTicksPerFrame);
        // Two ticks: each frame time is rounded down to whole ticks.
        EXPECT_NEAR(elapsed, periods * kTicksPerFrame, 2.0) << "frame " << frame;
        EXPECT_GT(periods, previousPeriods);
        previousPeriods = periods;
    }
}

TEST_F(LiveTest, LiveFrameIsTheSceneFilmedAtItsTime) {
    Ref<IMultiSourceFrameReader> reader;
    openReader(kEverySource, reader);
    WAITABLE_HANDLE waitable = 0;
    ASSERT_EQ(reader->SubscribeMultiSourceFrameArrived(&waitable), S_OK);
    ASSERT_EQ(WaitForSingleObject(asHandle(waitable), kLiveFrameDeadlineMs), WAIT_OBJECT_0);
    Ref<IMultiSourceFrame> frame;
    ASSERT_EQ(reader->AcquireLatestFrame(frame.out()), S_OK);
    rt2scene::FrameImages delivered;
    rt2scene::readFrame(frame.get(), kEverySource, delivered);
    ASSERT_FALSE(HasFatalFailure());

    ASSERT_EQ(delivered.times.size(), 6u);
    for (TIMESPAN time : delivered.times) EXPECT_EQ(time, delivered.times[0]) << "one moment for every source";
    const rt2scene::FrameImages filmed = rt2scene::filmScene(delivered.times[0]);
    EXPECT_TRUE(rt2scene::sameImage(delivered.depth, filmed.depth)) << "depth";
    EXPECT_TRUE(rt2scene::sameImage(delivered.bodyIndex, filmed.bodyIndex)) << "body index";
    EXPECT_TRUE(rt2scene::sameImage(delivered.infrared, filmed.infrared)) << "infrared";
    EXPECT_TRUE(rt2scene::sameImage(delivered.longExposureInfrared, filmed.longExposureInfrared))
        << "long-exposure infrared";
    EXPECT_TRUE(rt2scene::sameImage(delivered.rawColor, filmed.rawColor)) << "raw color";
    EXPECT_TRUE(rt2scene::sameBodies(delivered, filmed));
    // Somebody is always in view of this scene, so the comparison covered a body.
    EXPECT_TRUE(std::any_of(delivered.bodies.begin(), delivered.bodies.end(),
                            [](const rt2scene::SensorBody& body) { return body.tracked; }));
}

// What a bridge would check with the runtime's own answers: each tracked
// body's index pixels show depth, and its tracked joints, projected with the
// intrinsics the mapper reports, land on those pixels.
TEST_F(LiveTest, TrackedJointsProjectOntoTheirOwnSilhouette) {
    Ref<IMultiSourceFrameReader> reader;
    constexpr DWORD kSources = FrameSourceTypes_Depth | FrameSourceTypes_BodyIndex | FrameSourceTypes_Body;
    openReader(kSources, reader);
    Ref<ICoordinateMapper> mapper;
    ASSERT_EQ(sensor_->get_CoordinateMapper(mapper.out()), S_OK);
    CameraIntrinsics k{};
    ASSERT_EQ(mapper->GetDepthCameraIntrinsics(&k), S_OK);
    WAITABLE_HANDLE waitable = 0;
    ASSERT_EQ(reader->SubscribeMultiSourceFrameArrived(&waitable), S_OK);
    ASSERT_EQ(WaitForSingleObject(asHandle(waitable), kLiveFrameDeadlineMs), WAIT_OBJECT_0);
    Ref<IMultiSourceFrame> frame;
    ASSERT_EQ(reader->AcquireLatestFrame(frame.out()), S_OK);
    rt2scene::FrameImages delivered;
    rt2scene::readFrame(frame.get(), kSources, delivered);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(delivered.depth.size(), 512u * 424u);
    ASSERT_EQ(delivered.bodyIndex.size(), delivered.depth.size());

    int trackedBodies = 0, trackedJoints = 0;
    for (int slot = 0; slot < BODY_COUNT; ++slot) {
        const rt2scene::SensorBody& body = delivered.bodies[slot];
        const auto pixels = std::count(delivered.bodyIndex.begin(), delivered.bodyIndex.end(), slot);
        if (!body.tracked) {
            EXPECT_EQ(pixels, 0) << "slot " << slot << " is not tracked but has pixels";
            continue;
        }
        ++trackedBodies;
        EXPECT_GT(pixels, 500) << "slot " << slot;
        for (std::size_t i = 0; i < delivered.bodyIndex.size(); ++i) {
            if (delivered.bodyIndex[i] == slot) {
                ASSERT_GT(delivered.depth[i], 0) << "pixel " << i;
            }
        }
        for (const Joint& joint : body.joints) {
            if (joint.TrackingState != TrackingState_Tracked) continue;
            ++trackedJoints;
            const ColorSpacePoint at = projectToDepthImage(k, joint.Position);
            const int column = static_cast<int>(std::lround(at.X)), row = static_cast<int>(std::lround(at.Y));
            bool onSilhouette = false;
            for (int dr = -2; dr <= 2; ++dr) {
                for (int dc = -2; dc <= 2; ++dc) {
                    const int c = column + dc, r = row + dr;
                    if (c >= 0 && c < 512 && r >= 0 && r < 424 && delivered.bodyIndex[r * 512 + c] == slot) {
                        onSilhouette = true;
                    }
                }
            }
            EXPECT_TRUE(onSilhouette) << "slot " << slot << " joint " << joint.JointType << " at " << at.X << ","
                                      << at.Y;
        }
    }
    EXPECT_GE(trackedBodies, 1);
    EXPECT_GE(trackedJoints, 10);
}

// Readers on several threads take frames while another thread switches modes
// and queues frames: nothing is lost track of and nothing crashes.
TEST_F(LiveTest, ConcurrentReadersAndControlCallsStaySound) {
    openSensor();
    std::atomic<bool> stop{false};
    std::atomic<int> taken{0};
    std::mutex progressMutex;
    std::condition_variable progress;
    std::vector<std::thread> takers;
    for (int t = 0; t < 3; ++t) {
        takers.emplace_back([&, t] {
            Ref<IMultiSourceFrameReader> reader;
            const DWORD sources = t == 0 ? kEverySource : FrameSourceTypes_Depth | FrameSourceTypes_Body;
            if (FAILED(sensor_->OpenMultiSourceFrameReader(sources, reader.out()))) return;
            WAITABLE_HANDLE waitable = 0;
            reader->SubscribeMultiSourceFrameArrived(&waitable);
            while (!stop.load()) {
                if (WaitForSingleObject(asHandle(waitable), 100) != WAIT_OBJECT_0) continue;
                Ref<IMultiSourceFrame> frame;
                Ref<IDepthFrameReference> reference;
                Ref<IDepthFrame> depth;
                if (FAILED(reader->AcquireLatestFrame(frame.out()))) continue;  // another reader took it
                if (SUCCEEDED(frame->get_DepthFrameReference(reference.out())) &&
                    SUCCEEDED(reference->AcquireFrame(depth.out()))) {
                    UINT capacity = 0;
                    UINT16* samples = nullptr;
                    if (SUCCEEDED(depth->AccessUnderlyingBuffer(&capacity, &samples)) && capacity > 0) {
                        volatile UINT16 last = samples[capacity - 1];
                        (void)last;
                    }
                }
                taken.fetch_add(1);
                std::lock_guard<std::mutex> lock(progressMutex);
                progress.notify_all();
            }
            reader->UnsubscribeMultiSourceFrameArrived(waitable);
        });
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (int round = 0; round < 10 && std::chrono::steady_clock::now() < deadline; ++round) {
        const int before = taken.load();
        rt2::setScripted(true);
        rt2::queueFrame(depthOnlyFrame(1));
        rt2::queueFrame(rt2::ScriptedFrame{});
        rt2::setScripted(false);
        std::unique_lock<std::mutex> lock(progressMutex);
        progress.wait_until(lock, deadline, [&] { return taken.load() >= before + 2; });
    }
    stop.store(true);
    for (std::thread& taker : takers) taker.join();
    EXPECT_GE(taken.load(), 20);
}

TEST_F(LiveTest, ProcessExitsCleanlyWhileLiveFramesAreProduced) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            IKinectSensor* sensor = nullptr;
            IMultiSourceFrameReader* reader = nullptr;
            GetDefaultKinectSensor(&sensor);
            sensor->Open();
            sensor->OpenMultiSourceFrameReader(kEverySource, &reader);
            WAITABLE_HANDLE waitable = 0;
            reader->SubscribeMultiSourceFrameArrived(&waitable);
            if (WaitForSingleObject(asHandle(waitable), kLiveFrameDeadlineMs) != WAIT_OBJECT_0) std::exit(3);
            std::exit(0);  // reader and sensor still held, producer running
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
