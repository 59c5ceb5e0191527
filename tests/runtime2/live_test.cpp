// Live mode: frames at the sensor's rate while a reader is open, the newest
// frame winning, and content that agrees with the camera model.
#include "RuntimeFixture.h"

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
    if (WaitForSingleObject(asHandle(waitable), 5000) != WAIT_OBJECT_0) return -1;
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

TEST_F(LiveTest, LiveContentAgreesWithTheCameraModel) {
    Ref<IMultiSourceFrameReader> reader;
    openReader(FrameSourceTypes_Depth | FrameSourceTypes_BodyIndex | FrameSourceTypes_Body, reader);
    WAITABLE_HANDLE waitable = 0;
    ASSERT_EQ(reader->SubscribeMultiSourceFrameArrived(&waitable), S_OK);
    ASSERT_EQ(WaitForSingleObject(asHandle(waitable), 5000), WAIT_OBJECT_0);
    Ref<IMultiSourceFrame> frame;
    ASSERT_EQ(reader->AcquireLatestFrame(frame.out()), S_OK);

    Ref<IDepthFrameReference> depthReference;
    Ref<IDepthFrame> depth;
    Ref<IBodyIndexFrameReference> indexReference;
    Ref<IBodyIndexFrame> bodyIndex;
    Ref<IBodyFrameReference> bodyReference;
    Ref<IBodyFrame> bodyFrame;
    ASSERT_EQ(frame->get_DepthFrameReference(depthReference.out()), S_OK);
    ASSERT_EQ(depthReference->AcquireFrame(depth.out()), S_OK);
    ASSERT_EQ(frame->get_BodyIndexFrameReference(indexReference.out()), S_OK);
    ASSERT_EQ(indexReference->AcquireFrame(bodyIndex.out()), S_OK);
    ASSERT_EQ(frame->get_BodyFrameReference(bodyReference.out()), S_OK);
    ASSERT_EQ(bodyReference->AcquireFrame(bodyFrame.out()), S_OK);

    UINT depthCount = 0, indexCount = 0;
    UINT16* samples = nullptr;
    BYTE* indices = nullptr;
    ASSERT_EQ(depth->AccessUnderlyingBuffer(&depthCount, &samples), S_OK);
    ASSERT_EQ(bodyIndex->AccessUnderlyingBuffer(&indexCount, &indices), S_OK);
    ASSERT_EQ(depthCount, 512u * 424u);
    ASSERT_EQ(indexCount, depthCount);

    IBody* bodies[BODY_COUNT] = {};
    ASSERT_EQ(bodyFrame->GetAndRefreshBodyData(BODY_COUNT, bodies), S_OK);
    int trackedCount = 0;
    Joint joints[JointType_Count];
    for (int slot = 0; slot < BODY_COUNT; ++slot) {
        BOOLEAN tracked = 0;
        ASSERT_EQ(bodies[slot]->get_IsTracked(&tracked), S_OK);
        if (tracked) {
            ++trackedCount;
            ASSERT_EQ(bodies[slot]->GetJoints(JointType_Count, joints), S_OK);
        }
    }
    for (IBody* body : bodies) body->Release();
    ASSERT_EQ(trackedCount, 1);

    // The spine joint, projected through the depth intrinsics, lands on a
    // pixel of the tracked body, which lies nearer than the joint itself.
    const CameraIntrinsics k = rt2::depthIntrinsics();
    const CameraSpacePoint spine = joints[1].Position;
    const double x = spine.X / spine.Z, y = -spine.Y / spine.Z;
    const double r2 = x * x + y * y;
    const double scale = 1 + k.RadialDistortionSecondOrder * r2 + k.RadialDistortionFourthOrder * r2 * r2 +
                         k.RadialDistortionSixthOrder * r2 * r2 * r2;
    const int column = static_cast<int>(std::lround(k.FocalLengthX * x * scale + k.PrincipalPointX));
    const int row = static_cast<int>(std::lround(k.FocalLengthY * y * scale + k.PrincipalPointY));
    ASSERT_TRUE(column >= 0 && column < 512 && row >= 0 && row < 424);
    EXPECT_EQ(indices[row * 512 + column], 0);
    EXPECT_GT(samples[row * 512 + column], 0);
    EXPECT_LT(samples[row * 512 + column], spine.Z * 1000.0f);

    Vector4 floor{};
    ASSERT_EQ(bodyFrame->get_FloorClipPlane(&floor), S_OK);
    EXPECT_NEAR(floor.x * joints[15].Position.X + floor.y * joints[15].Position.Y + floor.z * joints[15].Position.Z +
                    floor.w,
                0.0f, 0.1f)
        << "the left foot stands on the floor";
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
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
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
            if (WaitForSingleObject(asHandle(waitable), 5000) != WAIT_OBJECT_0) std::exit(3);
            std::exit(0);  // reader and sensor still held, producer running
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
