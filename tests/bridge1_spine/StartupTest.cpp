// Start-up and stop of a session as the runtime sees them (its call log) and
// as the user sees them (standard output and the returned status).
#include "KernelSeam.h"
#include "SpineSupport.h"
#include "capture.h"

#include <gtest/gtest.h>

#include <string>

namespace plexa::test::spine {
namespace {

using sensor::Operation;

const std::vector<Operation> kStartUpOperations = {Operation::Initialize, Operation::SkeletonTrackingEnable,
                                                   Operation::ImageStreamOpen, Operation::Shutdown};

// ImageStreamOpen's arguments: image type, resolution, frame flags, frame limit, event (then the out-handle).
struct StreamOpen {
    std::int64_t imageType, resolution, frameFlags, frameLimit, event;
};

StreamOpen streamOpen(const sensor::CallRecord& call) {
    EXPECT_GE(call.arguments.size(), 5u);
    if (call.arguments.size() < 5) return {};
    return {call.arguments[0], call.arguments[1], call.arguments[2], call.arguments[3], call.arguments[4]};
}

std::int64_t initializeFlags() {
    const auto calls = callsOf(Operation::Initialize);
    EXPECT_EQ(calls.size(), 1u);
    return calls.empty() ? -1 : calls[0].arguments.at(0);
}

// Every start that is not refused leaves one event thread behind until its stop.
class StartUp : public ::testing::Test {
protected:
    void SetUp() override {
        startScripted();
        ASSERT_TRUE(createNUI(0));  // the table and its banner, before any capture
        handlesBefore_ = PlexaOpenHandleCount();
    }
    void expectStoppedCleanly() {
        stopNUI(0);
        EXPECT_EQ(seam::threadsRunning(), 0u);
        EXPECT_EQ(PlexaOpenHandleCount(), handlesBefore_);
    }
    std::size_t handlesBefore_ = 0;
};

TEST_F(StartUp, OutOfRangeCodesOpenNothingButTheThreadStillRuns) {
    EXPECT_EQ(startNUI(false, 4, -2, false, nullptr, 0), 0);
    EXPECT_EQ(initializeFlags(), 0);
    EXPECT_TRUE(callsOf(Operation::ImageStreamOpen).empty());
    EXPECT_EQ(seam::threadsRunning(), 1u);
    EXPECT_EQ(PlexaOpenHandleCount(), handlesBefore_ + 5) << "three frame events, the stop event, the thread";
    expectStoppedCleanly();

    sensor::clearCallLog();
    EXPECT_EQ(startNUI(true, 7, -5, true, nullptr, 0), 0);
    EXPECT_EQ(initializeFlags(), 8);
    EXPECT_EQ(operationsOf(kStartUpOperations),
              (std::vector<Operation>{Operation::Initialize, Operation::SkeletonTrackingEnable}));
    expectStoppedCleanly();
}

TEST_F(StartUp, SkeletonAndInfraredOpenImageTypeFiveAfterTracking) {
    EXPECT_EQ(startNUI(true, -1, 1, true, nullptr, 0), 0);
    EXPECT_EQ(initializeFlags(), 10);
    EXPECT_EQ(operationsOf(kStartUpOperations),
              (std::vector<Operation>{Operation::Initialize, Operation::SkeletonTrackingEnable,
                                      Operation::ImageStreamOpen}));
    const auto enable = callsOf(Operation::SkeletonTrackingEnable).at(0);
    EXPECT_NE(enable.arguments.at(0), 0);
    EXPECT_EQ(enable.arguments.at(1), 0);
    const StreamOpen video = streamOpen(callsOf(Operation::ImageStreamOpen).at(0));
    EXPECT_EQ(video.imageType, 5);
    EXPECT_EQ(video.resolution, 1);
    EXPECT_EQ(video.frameFlags, 0);
    EXPECT_EQ(video.frameLimit, 2);
    EXPECT_NE(video.event, 0);
    EXPECT_NE(video.event, enable.arguments.at(0));
    expectStoppedCleanly();
}

TEST_F(StartUp, BothStreamsOpenVideoFirstThenDepthEachWithItsOwnEvent) {
    EXPECT_EQ(startNUI(true, 2, 3, false, nullptr, 0), 0);
    EXPECT_EQ(initializeFlags(), 1 + 2 + 8);
    EXPECT_EQ(operationsOf(kStartUpOperations),
              (std::vector<Operation>{Operation::Initialize, Operation::SkeletonTrackingEnable,
                                      Operation::ImageStreamOpen, Operation::ImageStreamOpen}));
    const auto opens = callsOf(Operation::ImageStreamOpen);
    const StreamOpen video = streamOpen(opens.at(0));
    const StreamOpen depth = streamOpen(opens.at(1));
    EXPECT_EQ(video.imageType, 1);
    EXPECT_EQ(video.resolution, 3);
    EXPECT_EQ(depth.imageType, 0);
    EXPECT_EQ(depth.resolution, 2);
    EXPECT_EQ(depth.frameFlags, 0);
    EXPECT_EQ(depth.frameLimit, 2);
    const std::int64_t skeletonEvent = callsOf(Operation::SkeletonTrackingEnable).at(0).arguments.at(0);
    EXPECT_NE(depth.event, 0);
    EXPECT_NE(depth.event, video.event);
    EXPECT_NE(depth.event, skeletonEvent);
    EXPECT_EQ(depthCounter(0), 0);
    EXPECT_EQ(videoCounter(0), 0);
    EXPECT_EQ(skeletonCounter(0), 0);

    sensor::clearCallLog();
    expectStoppedCleanly();
    EXPECT_EQ(operationsOf(kStartUpOperations), (std::vector<Operation>{Operation::Shutdown}));
}

// One start-up failure: what is injected, what the user reads, what Java gets.
struct StartFailure {
    const char* name;
    Operation operation;
    HRESULT code;
    bool skeleton;
    jint depthResolution, videoResolution;
    bool infrared;
    std::string output;
    jint status;
    std::vector<Operation> operations;  // start-up operations that reached the runtime
    int sparedCalls = 0;                // calls of the operation that succeed before it fails
};

void PrintTo(const StartFailure& failure, std::ostream* out) { *out << failure.name; }

class StartUpFailure : public StartUp, public ::testing::WithParamInterface<StartFailure> {};

TEST_P(StartUpFailure, PrintsItsMessageReturnsTheStatusStartsNoThreadAndStopsSoundly) {
    const StartFailure& failure = GetParam();
    sensor::injectFailure(failure.operation, failure.code, 1, failure.sparedCalls);
    StdoutCapture capture;
    const jint status = startNUI(failure.skeleton, failure.depthResolution, failure.videoResolution,
                                 failure.infrared, newRecorder(), 0);
    EXPECT_EQ(capture.finish(), failure.output);
    EXPECT_EQ(status, failure.status);
    EXPECT_EQ(operationsOf(kStartUpOperations), failure.operations);
    EXPECT_EQ(seam::threadsRunning(), 0u) << "no event thread";
    EXPECT_EQ(PlexaOpenHandleCount(), handlesBefore_ + 3) << "the three frame events, nothing else";

    sensor::clearCallLog();
    StdoutCapture quiet;
    expectStoppedCleanly();
    EXPECT_EQ(operationsOf(kStartUpOperations), (std::vector<Operation>{Operation::Shutdown}));
    stopNUI(0);
    EXPECT_EQ(operationsOf(kStartUpOperations), (std::vector<Operation>{Operation::Shutdown}))
        << "a second stop does nothing";
    EXPECT_EQ(quiet.finish(), "");
    EXPECT_EQ(depthCounter(0), 0);
}

const std::string kCannotInitialize = "Cannot initialize the Kinect device.\nCheck if it is connected and powered.";

INSTANTIATE_TEST_SUITE_P(
    EveryStep, StartUpFailure,
    ::testing::Values(
        StartFailure{"InitializeNotPowered", Operation::Initialize, E_NUI_NOTPOWERED, true, 1, 1, false,
                     "-2097085825" + kCannotInitialize, 639, {Operation::Initialize}},
        StartFailure{"InitializeGeneralFailure", Operation::Initialize, E_FAIL, false, -1, -1, false,
                     "-2147467259" + kCannotInitialize, static_cast<jint>(E_FAIL), {Operation::Initialize}},
        StartFailure{"SkeletonTracking", Operation::SkeletonTrackingEnable, E_NUI_SKELETAL_ENGINE_BUSY, true, 1, 1,
                     false, "Cannot start skeleton tracking.", 170,
                     {Operation::Initialize, Operation::SkeletonTrackingEnable}},
        StartFailure{"ColorStream", Operation::ImageStreamOpen, E_NUI_IMAGE_STREAM_IN_USE, false, 1, 2, false,
                     "Cannot start color stream.", 3, {Operation::Initialize, Operation::ImageStreamOpen}},
        StartFailure{"InfraredStream", Operation::ImageStreamOpen, E_NUI_INSUFFICIENTBANDWIDTH, true, -1, 2, true,
                     "Cannot start color stream.", 7,
                     {Operation::Initialize, Operation::SkeletonTrackingEnable, Operation::ImageStreamOpen}},
        StartFailure{"DepthStream", Operation::ImageStreamOpen, E_OUTOFMEMORY, false, 0, -1, false,
                     "Cannot start depth stream.", static_cast<jint>(E_OUTOFMEMORY), {Operation::Initialize,
                     Operation::ImageStreamOpen}},
        StartFailure{"DepthStreamAfterColor", Operation::ImageStreamOpen, E_NUI_IMAGE_STREAM_IN_USE, true, 2, 1,
                     false, "Cannot start depth stream.", 3,
                     {Operation::Initialize, Operation::SkeletonTrackingEnable, Operation::ImageStreamOpen,
                      Operation::ImageStreamOpen},
                     1}),
    [](const ::testing::TestParamInfo<StartFailure>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace plexa::test::spine
