// Start-up and shutdown of a second-generation session in a real VM: the
// flags word, missing callbacks, start failures and every way to stop.
#include "Plexa2Support.h"
#include "capture.h"

#include "plexa/platform.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace plexa::test::bridge2 {
namespace {

using virtual2::Operation;

constexpr HRESULT kAccessDenied = static_cast<HRESULT>(0x80070005u);

TEST(Plexa2Session, FlagsWordChoosesTheReadersSources) {
    Jvm::start();
    useScriptedSensor();
    Recorder recorder;
    const struct {
        int flags;
        std::int64_t mask;
    } cases[] = {{0x8, 0x8}, {0x1108, 0x8}, {0x200, 0x20}, {0x400, 0x20}, {0x800, 0x20}, {0x7F, 0x7F}, {0x80, 0x0}};
    for (const auto& c : cases) {
        virtual2::clearCallLog();
        const int result = startNUI(c.flags, recorder.target(), 0);
        const auto opened = callsOf(Operation::SensorOpenMultiSourceFrameReader);
        ASSERT_EQ(opened.size(), 1u) << std::hex << c.flags;
        ASSERT_FALSE(opened[0].arguments.empty());
        EXPECT_EQ(opened[0].arguments[0], c.mask) << std::hex << c.flags;
        // The runtime's answer decides (an empty mask included).
        if (SUCCEEDED(opened[0].result)) {
            EXPECT_GE(result, 0) << std::hex << c.flags;
        } else {
            EXPECT_EQ(result, opened[0].result) << std::hex << c.flags;
        }
        stopNUI(0);
    }
    EXPECT_EQ(virtual2::liveObjectCount(), 0);
}

TEST(Plexa2Session, MappingBitsOfTheFlagsWordSwitchTheMappingsOn) {
    Jvm::start();
    useScriptedSensor();
    Recorder recorder;
    ASSERT_EQ(startNUI(0x1108, recorder.target(), 0), 0);
    virtual2::ScriptedFrame frame;
    frame.depth = shortImage(8, 6);
    virtual2::queueFrame(frame);
    ASSERT_TRUE(recorder.waitForFrames(1));
    EXPECT_EQ(recorder.types(0), (std::vector<int>{8, 256, 4096}));
    stopNUI(0);
}

// Each callback missing in turn from the class: -1, the error pending for the
// caller, nothing started.
class Plexa2MissingCallback : public ::testing::TestWithParam<const char*> {};

using StartEntry = jint (*)(JNIEnv*, jclass, jint, jobject, jint);

// A Java caller sees only the exception of a method that returns with one
// pending; the value itself is seen by calling the entry point directly.
StartEntry startEntryPoint() {
    const std::string path = libraryDir() + "/libqbl_plexa2_64bit.so";
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (library == nullptr) return nullptr;
    return reinterpret_cast<StartEntry>(dlsym(library, "Java_edu_qet_brightloom_plexa_Plexa2__1startNUI"));
}

TEST_P(Plexa2MissingCallback, StartReturnsMinusOneWithTheErrorPendingAndStartsNothing) {
    const std::string variant = std::string("Plexa2Without_") + GetParam();
    Jvm::start(JvmOptions{{variantJar(variant), fixturesJar()}, {}});
    useScriptedSensor();
    JNIEnv* env = Jvm::start().env();
    jobject target = Jvm::start().newObject(kPlexa2Class);  // loads the bridge
    jclass plexa2 = Jvm::start().findClass(kPlexa2Class);
    const std::size_t handles = PlexaOpenHandleCount();

    // Through Java: the error reaches the caller.
    startNUI(kDepth | kColor | kBody, target, 0);
    EXPECT_EQ(lastStartException(), "java.lang.NoSuchMethodError");
    // Directly: -1, with the error pending.
    const StartEntry start = startEntryPoint();
    ASSERT_NE(start, nullptr);
    const jint result = start(env, plexa2, kDepth | kColor | kBody, target, 0);
    EXPECT_TRUE(env->ExceptionCheck());
    EXPECT_EQ(takePendingException(), "java.lang.NoSuchMethodError");
    EXPECT_EQ(result, -1);
    EXPECT_EQ(countOf(Operation::SensorOpen), 0);
    EXPECT_EQ(countOf(Operation::SensorOpenMultiSourceFrameReader), 0);
    EXPECT_EQ(PlexaOpenHandleCount(), handles) << "an event or a thread was created";

    stopNUI(0);
    EXPECT_EQ(countOf(Operation::SensorClose), 0);
    EXPECT_EQ(virtual2::liveObjectCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(EachCallback, Plexa2MissingCallback,
                         ::testing::Values("onFrameEventFromNative", "setDepthCameraIntrinsics", "setColorResolution",
                                           "setDepthResolution", "setInfraredResolution",
                                           "setLongExposureInfraredResolution"));

TEST(Plexa2Session, OpenFailurePrintsTheCodeAndTheMessageAndStopGivesBackTheSensor) {
    Jvm::start();
    useScriptedSensor();
    Recorder recorder;
    ASSERT_TRUE(createNUI(0));  // prints the banner outside the capture
    virtual2::injectFailure(Operation::SensorOpen, kAccessDenied);
    StdoutCapture capture;
    const int result = startNUI(kDepth, recorder.target(), 0);
    EXPECT_EQ(capture.finish(), "-2147024891Cannot initialize the Kinect device.\nCheck if it is connected and powered.");
    EXPECT_EQ(result, kAccessDenied);
    EXPECT_EQ(countOf(Operation::SensorOpenMultiSourceFrameReader), 0);

    virtual2::clearCallLog();
    stopNUI(0);
    EXPECT_EQ(countOf(Operation::SensorClose), 0) << "closed a sensor that never opened";
    EXPECT_EQ(virtual2::liveObjectCount(), 0);
    stopNUI(0);
    EXPECT_TRUE(virtual2::callLog().empty());
}

TEST(Plexa2Session, ReaderFailurePrintsCannotStartStreamAndStopClosesTheSensor) {
    Jvm::start();
    useScriptedSensor();
    Recorder recorder;
    ASSERT_TRUE(createNUI(0));
    const std::size_t handles = PlexaOpenHandleCount();
    virtual2::injectFailure(Operation::SensorOpenMultiSourceFrameReader, E_FAIL);
    StdoutCapture capture;
    const int result = startNUI(kDepth | kInfrared, recorder.target(), 0);
    EXPECT_EQ(capture.finish(), "Cannot start stream.");
    EXPECT_EQ(result, E_FAIL);
    EXPECT_EQ(PlexaOpenHandleCount(), handles);

    virtual2::clearCallLog();
    stopNUI(0);
    EXPECT_EQ(countOf(Operation::ReaderUnsubscribeMultiSourceFrameArrived), 0);
    EXPECT_EQ(countOf(Operation::SensorClose), 1);
    EXPECT_EQ(virtual2::liveObjectCount(), 0);
    stopNUI(0);
    EXPECT_EQ(countOf(Operation::SensorClose), 1);
}

TEST(Plexa2Session, SubscribeFailurePrintsCannotStartStreamAndStopReleasesTheReader) {
    Jvm::start();
    useScriptedSensor();
    Recorder recorder;
    ASSERT_TRUE(createNUI(0));
    virtual2::injectFailure(Operation::ReaderSubscribeMultiSourceFrameArrived, E_FAIL);
    StdoutCapture capture;
    const int result = startNUI(kDepth, recorder.target(), 0);
    EXPECT_EQ(capture.finish(), "Cannot start stream.");
    EXPECT_EQ(result, E_FAIL);
    EXPECT_GT(virtual2::liveObjectCount(), 0);

    virtual2::clearCallLog();
    stopNUI(0);
    // Nothing was subscribed, so nothing is unsubscribed.
    EXPECT_EQ(countOf(Operation::ReaderUnsubscribeMultiSourceFrameArrived), 0);
    EXPECT_EQ(countOf(Operation::SensorClose), 1);
    EXPECT_EQ(virtual2::liveObjectCount(), 0);
}

TEST(Plexa2Session, StopTwiceGivesEverythingBackOnce) {
    Jvm::start();
    useScriptedSensor();
    Recorder recorder;
    const std::size_t handles = PlexaOpenHandleCount();
    ASSERT_EQ(startNUI(0x7F | kUv | kXyz, recorder.target(), 0), 0);
    EXPECT_GE(PlexaOpenHandleCount(), handles + 2);  // the stop event and the thread (and the reader's own)
    virtual2::queueFrame(smallFrame());
    ASSERT_TRUE(recorder.waitForFrames(1));

    virtual2::clearCallLog();
    stopNUI(0);
    EXPECT_EQ(countOf(Operation::ReaderUnsubscribeMultiSourceFrameArrived), 1);
    EXPECT_EQ(countOf(Operation::SensorClose), 1);
    EXPECT_EQ(PlexaOpenHandleCount(), handles);
    EXPECT_EQ(virtual2::liveObjectCount(), 0);
    virtual2::clearCallLog();
    stopNUI(0);
    EXPECT_TRUE(virtual2::callLog().empty());
    EXPECT_EQ(PlexaOpenHandleCount(), handles);
    EXPECT_EQ(frameCounter(0), 1);  // stopped: its thread counted the frame before it ended
}

TEST(Plexa2Session, StopOnACreatedSessionReleasesWithoutClosing) {
    Jvm::start();
    useScriptedSensor();
    ASSERT_TRUE(createNUI(0));
    EXPECT_GT(virtual2::liveObjectCount(), 0);
    stopNUI(0);
    stopNUI(0);
    EXPECT_EQ(countOf(Operation::SensorClose), 0);
    EXPECT_EQ(virtual2::liveObjectCount(), 0);
}

TEST(Plexa2Session, ASessionReplacedBeforeItStartedGivesBackItsSensor) {
    Jvm::start();
    useScriptedSensor();
    Recorder recorder;
    ASSERT_TRUE(createNUI(0));
    ASSERT_TRUE(createNUI(0));
    ASSERT_EQ(startNUI(kDepth, recorder.target(), 0), 0);
    stopNUI(0);
    EXPECT_EQ(virtual2::liveObjectCount(), 0);
}

TEST(Plexa2Session, StopFromInsideTheFrameCallbackEndsTheSessionWithoutDeadlock) {
    Jvm::start();
    useScriptedSensor();
    Recorder recorder;
    const std::size_t handles = PlexaOpenHandleCount();
    recorder.stopOnFrame(0, 0);
    ASSERT_EQ(startNUI(kDepth | kUv, recorder.target(), 0), 0);
    virtual2::ScriptedFrame frame;
    frame.depth = shortImage(8, 6);
    virtual2::queueFrame(frame);
    ASSERT_TRUE(waitUntil([&] { return recorder.stopReturned(); }));
    // The thread finishes the shutdown itself once the frame is done.
    ASSERT_TRUE(waitUntil([] { return virtual2::liveObjectCount() == 0; }));
    ASSERT_TRUE(waitUntil([&] { return PlexaOpenHandleCount() == handles; }));
    EXPECT_EQ(countOf(Operation::ReaderUnsubscribeMultiSourceFrameArrived), 1);
    EXPECT_EQ(countOf(Operation::SensorClose), 1);
    EXPECT_TRUE(frameCounterReaches(1));  // the frame that stopped was still delivered and counted

    virtual2::clearCallLog();
    stopNUI(0);  // and a stop from Java afterwards finds nothing left
    EXPECT_TRUE(virtual2::callLog().empty());
}

// Starts a session whose first frame callback stops it and then stays until
// released or `holdMillis` pass; returns once the stop has returned.
void stopFromTheFirstCallbackAndHold(const Recorder& recorder, int holdMillis) {
    useScriptedSensor();
    recorder.stopOnFrame(0, 0);
    recorder.holdAfterStop(holdMillis);
    ASSERT_EQ(startNUI(kDepth, recorder.target(), 0), 0);
    virtual2::ScriptedFrame frame;
    frame.depth = shortImage(8, 6);
    virtual2::queueFrame(frame);
    ASSERT_TRUE(waitUntil([&] { return recorder.stopReturned(); }));
}

TEST(Plexa2Session, AStartAfterAStopLeftToTheEventThreadFollowsTheEndOfThatStop) {
    Jvm::start();
    Recorder recorder;
    ASSERT_NO_FATAL_FAILURE(stopFromTheFirstCallbackAndHold(recorder, 300));

    // The callback still runs: the old session has not closed the sensor yet.
    virtual2::clearCallLog();
    Recorder next;
    ASSERT_EQ(startNUI(kDepth, next.target(), 0), 0);
    recorder.releaseHeldCallback();
    std::vector<Operation> order;
    for (const auto& call : virtual2::callLog()) {
        if (call.operation == Operation::SensorClose || call.operation == Operation::SensorOpen) {
            order.push_back(call.operation);
        }
    }
    EXPECT_EQ(order, (std::vector<Operation>{Operation::SensorClose, Operation::SensorOpen}))
        << "the old session closes the sensor before the new one opens it";
    stopNUI(0);
    EXPECT_EQ(virtual2::liveObjectCount(), 0);
}

TEST(Plexa2Session, ReplacingASessionWhoseStopIsUnderWayDoesNotWaitForIt) {
    Jvm::start();
    Recorder recorder;
    ASSERT_NO_FATAL_FAILURE(stopFromTheFirstCallbackAndHold(recorder, 10000));

    // A callback may wait for a thread that replaces its session.
    EXPECT_TRUE(createNUI(0));
    EXPECT_TRUE(recorder.held()) << "the replacement returned while the callback still held on";
    recorder.releaseHeldCallback();
    EXPECT_TRUE(waitUntil([] { return countOf(Operation::SensorClose) == 1; }))
        << "the old session's thread finished its stop";
    stopNUI(0);
    EXPECT_EQ(virtual2::liveObjectCount(), 0);
}

TEST(Plexa2Session, StopFromJavaWhileAStopFromTheCallbackIsUnderWay) {
    Jvm::start();
    useScriptedSensor();
    Recorder recorder;
    const std::size_t handles = PlexaOpenHandleCount();
    recorder.stopOnFrame(0, 0);
    ASSERT_EQ(startNUI(kDepth, recorder.target(), 0), 0);
    virtual2::ScriptedFrame frame;
    frame.depth = shortImage(8, 6);
    virtual2::queueFrame(frame);
    ASSERT_TRUE(recorder.waitForFrames(1));
    stopNUI(0);  // waits for the thread, whichever side finishes the shutdown
    EXPECT_EQ(virtual2::liveObjectCount(), 0);
    ASSERT_TRUE(waitUntil([&] { return PlexaOpenHandleCount() == handles; }));
    EXPECT_EQ(countOf(Operation::SensorClose), 1);
}

TEST(Plexa2Session, ASessionWithoutStreamsStartsAndStops) {
    Jvm::start();
    useScriptedSensor();
    Recorder recorder;
    const int result = startNUI(0x80, recorder.target(), 0);
    const auto opened = callsOf(Operation::SensorOpenMultiSourceFrameReader);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].arguments.at(0), 0);
    stopNUI(0);
    EXPECT_EQ(virtual2::liveObjectCount(), 0);
    if (result == 0) {
        EXPECT_EQ(countOf(Operation::SensorClose), 1);
    }
}

}  // namespace
}  // namespace plexa::test::bridge2
