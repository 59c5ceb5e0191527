// The event thread: dispatch order, stop protocol, VM attachment, and the
// start-up failures of the kernel layer, with the kernel seam of this program
// in between the bridge and libplexa_kernel.
#include "KernelSeam.h"
#include "SpineSupport.h"
#include "capture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace plexa::test::spine {
namespace {

using sensor::Operation;
using sensor::Stream;

class EventThread : public ::testing::Test {
protected:
    void SetUp() override {
        startScripted();
        ASSERT_TRUE(createNUI(0));  // the table and its banner, before any capture
        threadsBefore_ = nativeThreadCount();
        handlesBefore_ = PlexaOpenHandleCount();
    }
    void TearDown() override { seam::releaseEventThreadWaits(); }

    // No event thread running and every kernel handle given back.
    bool backToTheStart() const {
        return seam::threadsRunning() == 0 && PlexaOpenHandleCount() == handlesBefore_;
    }
    // No thread of this program left beyond those it had at the start (the
    // virtual sensor's producer thread ends a tick after its sensor stops).
    bool noThreadLeft() const {
        return waitUntil([&] { return nativeThreadCount() == threadsBefore_; });
    }

    // Runs _stopNUI(index) on a thread of its own and waits until that thread
    // has signalled the stop and waits for the event thread to end.
    std::thread stopFromAnotherThread(jint index) {
        std::atomic<DWORD> stopper{0};
        std::thread thread([&stopper, index]() {
            stopper = GetCurrentThreadId();
            stopNUI(index);
            Jvm::start().vm()->DetachCurrentThread();
        });
        EXPECT_TRUE(waitUntil([&] { return stopper != 0 && seam::hasEnteredInfiniteWait(stopper); }));
        return thread;
    }

    std::size_t threadsBefore_ = 0;
    std::size_t handlesBefore_ = 0;
};

TEST_F(EventThread, AStopAheadOfSignalledDepthVideoAndSkeletonEndsItWithoutDispatchingThem) {
    jobject recorder = newRecorder();
    seam::holdEventThreadWaits();
    ASSERT_EQ(startNUI(true, 0, 0, false, recorder, 0), 0);
    ASSERT_TRUE(waitUntil([] { return seam::threadsHeld() == 1; }));
    sensor::queueImageFrame(0, Stream::Depth, depthFrame80x60());
    sensor::ScriptedImageFrame color;
    color.bytes.resize(80 * 60 * 4);
    sensor::queueImageFrame(0, Stream::Video, color);
    sensor::queueSkeletonFrame(0, trackedSkeletonFrame());
    ASSERT_TRUE(waitUntil([] {
        return sensor::readyFrameCount(0, Stream::Depth) == 1 && sensor::readyFrameCount(0, Stream::Video) == 1;
    }));
    sensor::clearCallLog();

    std::thread stopper = stopFromAnotherThread(0);
    seam::releaseEventThreadWaits();
    stopper.join();

    EXPECT_TRUE(callsOf(Operation::ImageStreamGetNextFrame).empty());
    EXPECT_TRUE(callsOf(Operation::SkeletonGetNextFrame).empty());
    EXPECT_EQ(depthCounter(0), 0);
    EXPECT_EQ(videoCounter(0), 0);
    EXPECT_EQ(skeletonCounter(0), 0);
    EXPECT_EQ(recorderCount(recorder, "depthCalls") + recorderCount(recorder, "videoCalls") +
                  recorderCount(recorder, "skeletonCalls"),
              0);
    EXPECT_TRUE(backToTheStart());
}

TEST_F(EventThread, DepthIsDispatchedBeforeSkeletonWhenBothAreSignalled) {
    jobject recorder = newRecorder();
    seam::holdEventThreadWaits();
    ASSERT_EQ(startNUI(true, 0, -1, false, recorder, 0), 0);
    ASSERT_TRUE(waitUntil([] { return seam::threadsHeld() == 1; }));
    sensor::queueSkeletonFrame(0, trackedSkeletonFrame());
    sensor::queueImageFrame(0, Stream::Depth, depthFrame80x60());
    ASSERT_TRUE(waitUntil([] { return sensor::readyFrameCount(0, Stream::Depth) == 1; }));
    sensor::clearCallLog();
    seam::releaseEventThreadWaits();
    ASSERT_TRUE(waitUntil([] { return depthCounter(0) == 1 && skeletonCounter(0) == 1; }));

    const auto order = operationsOf({Operation::ImageStreamGetNextFrame, Operation::SkeletonGetNextFrame});
    ASSERT_GE(order.size(), 2u);
    EXPECT_EQ(order[0], Operation::ImageStreamGetNextFrame);
    EXPECT_EQ(order[1], Operation::SkeletonGetNextFrame);
    stopNUI(0);
    EXPECT_TRUE(backToTheStart());
}

// The wait reports the lowest signalled event first: depth frames that keep
// coming (a slow machine, several sensors) must not starve color and skeletons.
TEST_F(EventThread, DepthFramesThatKeepComingDoNotStarveTheOtherStreams) {
    jobject recorder = newRecorder();
    seam::holdEventThreadWaits();
    ASSERT_EQ(startNUI(true, 0, -1, false, recorder, 0), 0);
    ASSERT_TRUE(waitUntil([] { return seam::threadsHeld() == 1; }));
    for (int frame = 0; frame < 6; ++frame) sensor::queueImageFrame(0, Stream::Depth, depthFrame80x60());
    sensor::queueSkeletonFrame(0, trackedSkeletonFrame());
    sensor::clearCallLog();
    seam::releaseEventThreadWaits();
    ASSERT_TRUE(waitUntil([] { return depthCounter(0) == 6 && skeletonCounter(0) == 1; }));

    const auto order = operationsOf({Operation::ImageStreamGetNextFrame, Operation::SkeletonGetNextFrame});
    const auto skeleton = std::find(order.begin(), order.end(), Operation::SkeletonGetNextFrame);
    ASSERT_NE(skeleton, order.end());
    EXPECT_LE(skeleton - order.begin(), 1) << "the skeleton frame waited behind every depth frame";
    stopNUI(0);
    EXPECT_TRUE(backToTheStart());
}

TEST_F(EventThread, VideoSignalsOfAnInfraredSessionGoOnlyToTheInfraredCallback) {
    jobject recorder = newRecorder();
    ASSERT_EQ(startNUI(false, -1, 0, true, recorder, 0), 0);
    for (int i = 0; i < 3; ++i) {
        sensor::ScriptedImageFrame infrared;
        infrared.bytes.resize(80 * 60 * 2);
        sensor::queueImageFrame(0, Stream::Video, infrared);
    }
    // The counter goes up after the callback has returned: wait for both.
    ASSERT_TRUE(waitUntil([&] { return recorderCount(recorder, "infraredCalls") == 3 && videoCounter(0) == 3; }));
    EXPECT_EQ(recorderCount(recorder, "videoCalls"), 0);
    stopNUI(0);
    EXPECT_TRUE(backToTheStart());
}

TEST_F(EventThread, IsAttachedToTheVmOnlyWhileItDelivers) {
    const int javaThreadsBefore = javaThreadCount();
    jobject recorder = newRecorder();
    ASSERT_EQ(startNUI(false, 0, -1, false, recorder, 0), 0);
    const std::size_t waitsAtStart = seam::fourHandleWaits();
    ASSERT_TRUE(waitUntil([&] { return seam::fourHandleWaits() >= waitsAtStart + 2; }))
        << "the thread has been through a time-out";
    EXPECT_EQ(seam::threadsRunning(), 1u);
    EXPECT_EQ(javaThreadCount(), javaThreadsBefore) << "not attached before the first frame";

    for (int frame = 1; frame <= 3; ++frame) {
        sensor::queueImageFrame(0, Stream::Depth, depthFrame80x60());
        ASSERT_TRUE(waitUntil([&] { return recorderCount(recorder, "depthCalls") == frame; }));
        EXPECT_TRUE(waitUntil([&] { return !callOn<jboolean>(recorder, "lastCallbackThreadAlive", "()Z"); }))
            << "detached after delivery " << frame;
    }
    EXPECT_EQ(recorderCount(recorder, "distinctCallbackThreads"), 3) << "each delivery attaches anew";
    EXPECT_EQ(javaThreadCount(), javaThreadsBefore);
    stopNUI(0);
    EXPECT_TRUE(backToTheStart());
}

TEST_F(EventThread, ACallbackThatThrowsIsDescribedAndTheNextFrameStillArrives) {
    jobject recorder = newRecorder();
    callOn<void>(recorder, "throwOnDepthCall", "(I)V", 1);
    ASSERT_EQ(startNUI(false, 0, -1, false, recorder, 0), 0);
    StderrCapture errors;
    sensor::queueImageFrame(0, Stream::Depth, depthFrame80x60());
    ASSERT_TRUE(waitUntil([&] { return depthCounter(0) == 1; }));
    sensor::queueImageFrame(0, Stream::Depth, depthFrame80x60());
    ASSERT_TRUE(waitUntil([&] { return recorderCount(recorder, "depthCalls") == 2 && depthCounter(0) == 2; }));
    const std::string described = errors.finish();
    EXPECT_NE(described.find("java.lang.IllegalStateException: spine: thrown on purpose in depth callback 1"),
              std::string::npos)
        << described;
    EXPECT_EQ(described.find("depth callback 2"), std::string::npos);
    stopNUI(0);
    EXPECT_TRUE(backToTheStart());
    EXPECT_EQ(depthCounter(0), 2) << "a stopped session keeps its counts";
}

TEST_F(EventThread, TwoHundredStartStopCyclesLeaveNoThreadAndNoHandle) {
    jobject recorder = newRecorder();
    for (int cycle = 0; cycle < 200; ++cycle) {
        ASSERT_EQ(startNUI(cycle % 2 == 0, cycle % 3 - 1, cycle % 4 - 1, cycle % 5 == 0, recorder, 0), 0) << cycle;
        stopNUI(0);
    }
    EXPECT_TRUE(backToTheStart());
    EXPECT_TRUE(noThreadLeft());
    EXPECT_EQ(callsOf(Operation::Initialize).size(), 200u);
    EXPECT_EQ(callsOf(Operation::Shutdown).size(), 200u);
}

TEST_F(EventThread, StopFromInsideACallbackIsFinishedByTheEventThreadItself) {
    jobject recorder = newRecorder();
    callOn<void>(recorder, "stopInDepthCallback", "(I)V", 0);
    ASSERT_EQ(startNUI(false, 0, -1, false, recorder, 0), 0);
    sensor::queueImageFrame(0, Stream::Depth, depthFrame80x60());
    sensor::queueImageFrame(0, Stream::Depth, depthFrame80x60());
    ASSERT_TRUE(waitUntil([&] { return recorderCount(recorder, "stopsReturnedInCallback") == 1; }))
        << "the stop returned inside the callback";
    EXPECT_TRUE(waitUntil([&] { return backToTheStart(); })) << "thread ended, events and stop event closed";
    EXPECT_TRUE(noThreadLeft());
    EXPECT_EQ(callsOf(Operation::Shutdown).size(), 1u);
    EXPECT_EQ(recorderCount(recorder, "depthCalls"), 1) << "the second frame is not dispatched";
    EXPECT_EQ(depthCounter(0), 1);

    stopNUI(0);
    EXPECT_EQ(callsOf(Operation::Shutdown).size(), 1u) << "a later stop finds the session ended";
    EXPECT_TRUE(backToTheStart());
}

TEST_F(EventThread, AStartAfterAStopLeftToTheEventThreadFollowsTheEndOfThatStop) {
    jobject recorder = newRecorder();
    callOn<void>(recorder, "stopInDepthCallback", "(I)V", 0);
    callOn<void>(recorder, "holdAfterStopInCallback", "(I)V", 300);
    ASSERT_EQ(startNUI(false, 0, -1, false, recorder, 0), 0);
    sensor::queueImageFrame(0, Stream::Depth, depthFrame80x60());
    ASSERT_TRUE(waitUntil([&] { return recorderCount(recorder, "stopsReturnedInCallback") == 1; }));

    // The callback still runs; the old session's shutdown has not happened yet.
    sensor::clearCallLog();
    ASSERT_EQ(startNUI(false, -1, -1, false, newRecorder(), 0), 0);
    callOn<void>(recorder, "releaseHeldCallback", "()V");
    EXPECT_EQ(operationsOf({Operation::Shutdown, Operation::Initialize}),
              (std::vector<Operation>{Operation::Shutdown, Operation::Initialize}))
        << "the sensor is shut down by the old session before the new one initialises it";
    stopNUI(0);
    EXPECT_TRUE(waitUntil([&] { return backToTheStart(); }));
}

TEST_F(EventThread, StopIsSoundTwiceOnACreatedOnlySessionAndWithoutASensor) {
    ASSERT_TRUE(createNUI(0));
    stopNUI(0);
    stopNUI(0);
    EXPECT_EQ(callsOf(Operation::Shutdown).size(), 1u);
    ASSERT_EQ(startNUI(false, 0, 0, false, nullptr, 0), 0);
    stopNUI(0);
    stopNUI(0);
    EXPECT_EQ(callsOf(Operation::Shutdown).size(), 2u);
    EXPECT_TRUE(backToTheStart());

    sensor::setConnectedCount(1);
    EXPECT_FALSE(createNUI(1));
    stopNUI(1);
    EXPECT_EQ(startNUI(true, 0, 0, false, nullptr, 1), 0);
    stopNUI(1);
    EXPECT_EQ(callsOf(Operation::Shutdown).size(), 2u);
    EXPECT_TRUE(backToTheStart());
}

TEST_F(EventThread, AFailingWaitBacksOffOnTheStopEventAndStillSeesTheStop) {
    ASSERT_EQ(startNUI(false, 0, -1, false, newRecorder(), 0), 0);
    seam::failEventThreadWaits(true, false);
    const std::size_t backOffsBefore = seam::stopOnlyWaits();
    ASSERT_TRUE(waitUntil([&] { return seam::stopOnlyWaits() >= backOffsBefore + 2; }));
    sensor::queueImageFrame(0, Stream::Depth, depthFrame80x60());
    stopNUI(0);
    EXPECT_EQ(depthCounter(0), 0);
    EXPECT_TRUE(backToTheStart());
}

TEST_F(EventThread, WhenEvenTheStopEventCannotBeWaitedOnTheThreadEndsAndTheStopIsStillSound) {
    ASSERT_EQ(startNUI(false, 0, -1, false, newRecorder(), 0), 0);
    seam::failEventThreadWaits(true, true);
    EXPECT_TRUE(waitUntil([&] { return seam::threadsRunning() == 0; })) << "the thread gave up";
    seam::failEventThreadWaits(false, false);
    stopNUI(0);
    EXPECT_EQ(callsOf(Operation::Shutdown).size(), 1u);
    EXPECT_TRUE(backToTheStart());
}

// A kernel object that cannot be made fails the start with a failure status,
// prints nothing and leaves nothing running; the stop then gives everything back.
struct KernelFailure {
    const char* name;
    int eventCreation;  // the n-th CreateEventA of the start fails (0: none)
    bool thread;        // CreateThread fails
    jint status;
    bool runtimeInitialised;
};

void PrintTo(const KernelFailure& failure, std::ostream* out) { *out << failure.name; }

class KernelFailureAtStart : public EventThread, public ::testing::WithParamInterface<KernelFailure> {};

TEST_P(KernelFailureAtStart, FailsTheStartAndTheStopGivesEverythingBack) {
    const KernelFailure& failure = GetParam();
    if (failure.eventCreation > 0) seam::failEventCreation(failure.eventCreation);
    if (failure.thread) seam::failThreadCreation();
    StdoutCapture capture;
    EXPECT_EQ(startNUI(true, 0, 0, false, newRecorder(), 0), failure.status);
    EXPECT_EQ(capture.finish(), "");
    EXPECT_EQ(callsOf(Operation::Initialize).size(), failure.runtimeInitialised ? 1u : 0u);
    EXPECT_EQ(seam::threadsRunning(), 0u);
    stopNUI(0);
    stopNUI(0);
    EXPECT_EQ(callsOf(Operation::Shutdown).size(), 1u);
    EXPECT_TRUE(backToTheStart());
}

INSTANTIATE_TEST_SUITE_P(
    EveryKernelObject, KernelFailureAtStart,
    ::testing::Values(KernelFailure{"DepthEvent", 1, false, static_cast<jint>(E_OUTOFMEMORY), false},
                      KernelFailure{"SkeletonEvent", 3, false, static_cast<jint>(E_OUTOFMEMORY), false},
                      KernelFailure{"StopEvent", 4, false, static_cast<jint>(E_OUTOFMEMORY), true},
                      KernelFailure{"Thread", 0, true, static_cast<jint>(E_FAIL), true}),
    [](const ::testing::TestParamInfo<KernelFailure>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace plexa::test::spine
