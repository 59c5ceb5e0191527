// The first-generation bridge end to end, without Java: loaded by file
// name, started through its JNI entry points with a fake VM, fed scripted
// frames by the virtual sensor, and stopped. What reaches the callbacks must
// be what was scripted, and nothing may be left running or held afterwards.
#include "Bridge1Frames.h"
#include "FakeJvm.h"
#include "JavaClasses.h"
#include "NothingLeft.h"
#include "Platform.h"

#include "runtime1/VirtualSensor1.h"

#include <gtest/gtest.h>

#include <jni.h>

namespace plexa::e2e {
namespace {

constexpr jint kSensor = 0;
constexpr jint kResolution640x480 = 2;  // Plexa1.RESOLUTION_640x480
constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr std::size_t kPixels = static_cast<std::size_t>(kWidth) * kHeight;
// Skeleton arrays: a flag per slot (6), the floor plane and x, y, z of 20
// joints in 6 slots (4 + 360), a state per joint (120).
constexpr jsize kSkeletonSlots = 6;
constexpr jsize kPositionFloats = 364;
constexpr jsize kJointStates = 120;

constexpr const char* kDepth = "onDepthFrameEventFromNative";
constexpr const char* kVideo = "onVideoFrameEventFromNative";
constexpr const char* kSkeleton = "onSkeletonFrameEventFromNative";

// The entry points the tests call, found by name as Java would find them.
struct Bridge1 {
    using Create = jboolean(JNICALL*)(JNIEnv*, jclass, jint);
    using Start = jint(JNICALL*)(JNIEnv*, jclass, jboolean, jint, jint, jboolean, jobject, jint);
    using Stop = void(JNICALL*)(JNIEnv*, jclass, jint);
    using Switch = void(JNICALL*)(JNIEnv*, jclass, jboolean, jint);

    SharedLibrary library{builtLibraryPath(PLEXA_E2E_BRIDGE_FILE)};
    Create createNUI = library.function<Create>("Java_edu_qet_brightloom_plexa_Plexa1__1createNUI");
    Start startNUI = library.function<Start>("Java_edu_qet_brightloom_plexa_Plexa1__1startNUI");
    Stop stopNUI = library.function<Stop>("Java_edu_qet_brightloom_plexa_Plexa1__1stopNUI");
    Switch computeUV = library.function<Switch>("Java_edu_qet_brightloom_plexa_Plexa1__1computeUV");
    Switch computeXYZ = library.function<Switch>("Java_edu_qet_brightloom_plexa_Plexa1__1computeXYZ");
};

// Loaded once: the bridge's sensor table lives as long as the library.
Bridge1& bridge() {
    static Bridge1 loaded;
    return loaded;
}

class Bridge1EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        virtual1::reset();
        virtual1::setScripted(kSensor, true);
        // Loaded before the count: a loader may start helper threads of its own.
        bridge();
        threadsBefore = processThreadCount();
        ASSERT_GT(threadsBefore, 0);
    }

    // A test that ends early must not leave the event thread calling into a
    // VM that is gone; a second stop does nothing.
    void TearDown() override { bridge().stopNUI(jvm.env(), nullptr, kSensor); }

    jint start(jclass plexa1, jobject target) {
        EXPECT_EQ(bridge().createNUI(jvm.env(), plexa1, kSensor), JNI_TRUE);
        return bridge().startNUI(jvm.env(), plexa1, JNI_TRUE, kResolution640x480, kResolution640x480, JNI_FALSE,
                                 target, kSensor);
    }

    FakeJvm jvm;
    int threadsBefore = 0;
};

void expectDepth(const RecordedCall& call, const std::vector<std::uint16_t>& samples, bool withMappings) {
    ASSERT_EQ(call.arguments.size(), 3u);
    const Value& depth = call.arguments[0];
    const Value& xyz = call.arguments[1];
    const Value& uv = call.arguments[2];
    ASSERT_TRUE(depth.isArrayOf('S'));
    EXPECT_EQ(static_cast<std::size_t>(depth.length), kPixels);
    EXPECT_TRUE(depth.as<std::uint16_t>() == samples) << "delivered samples differ from the scripted ones";
    if (withMappings) {
        ASSERT_TRUE(xyz.isArrayOf('F'));
        ASSERT_TRUE(uv.isArrayOf('F'));
        EXPECT_EQ(static_cast<std::size_t>(xyz.length), 3 * kPixels);
        EXPECT_EQ(static_cast<std::size_t>(uv.length), 2 * kPixels);
    } else {
        EXPECT_TRUE(xyz.isNull);
        EXPECT_TRUE(uv.isNull);
    }
}

TEST_F(Bridge1EndToEnd, DeliversScriptedDepthColorAndSkeletonsThenLeavesNothingBehind) {
    const jclass plexa1 = jvm.defineClass("edu/qet/brightloom/plexa/Plexa1", plexa1Callbacks());
    const jobject target = jvm.newInstance(plexa1);
    const CallRecorder& calls = jvm.callsOn(target);
    ASSERT_EQ(start(plexa1, target), 0);
    EXPECT_EQ(jvm.takePendingException(), "");

    std::vector<std::vector<std::uint16_t>> depth;
    std::vector<std::vector<std::uint8_t>> color;
    for (int frame = 0; frame < 3; ++frame) {
        depth.push_back(depthSamples(kWidth, kHeight, frame));
        queueDepthFrame(kSensor, depth.back());
    }
    for (int frame = 0; frame < 2; ++frame) {
        color.push_back(colorBytes(kWidth, kHeight, frame));
        queueColorFrame(kSensor, color.back());
    }
    queueSkeletonFrameTracking(kSensor, 2);

    ASSERT_TRUE(calls.waitForCalls(kDepth, 3)) << "depth frames did not arrive";
    ASSERT_TRUE(calls.waitForCalls(kVideo, 2)) << "color frames did not arrive";
    ASSERT_TRUE(calls.waitForCalls(kSkeleton, 1)) << "the skeleton frame did not arrive";

    const auto depthCalls = calls.callsOf(kDepth);
    for (std::size_t i = 0; i < depth.size(); ++i) expectDepth(depthCalls[i], depth[i], false);

    const auto videoCalls = calls.callsOf(kVideo);
    for (std::size_t i = 0; i < color.size(); ++i) {
        ASSERT_EQ(videoCalls[i].arguments.size(), 1u);
        const Value& pixels = videoCalls[i].arguments[0];
        ASSERT_TRUE(pixels.isArrayOf('B'));
        EXPECT_EQ(static_cast<std::size_t>(pixels.length), 4 * kPixels);
        EXPECT_TRUE(pixels.as<std::uint8_t>() == color[i]) << "delivered color differs from the scripted frame";
    }

    const RecordedCall skeleton = calls.callsOf(kSkeleton).front();
    ASSERT_EQ(skeleton.arguments.size(), 3u);
    ASSERT_TRUE(skeleton.arguments[0].isArrayOf('Z'));
    ASSERT_TRUE(skeleton.arguments[1].isArrayOf('F'));
    ASSERT_TRUE(skeleton.arguments[2].isArrayOf('B'));
    EXPECT_EQ(skeleton.arguments[0].length, kSkeletonSlots);
    EXPECT_EQ(skeleton.arguments[1].length, kPositionFloats);
    EXPECT_EQ(skeleton.arguments[2].length, kJointStates);
    EXPECT_EQ(skeleton.arguments[0].as<std::uint8_t>(), (std::vector<std::uint8_t>{0, 0, 1, 0, 0, 0}));

    // With both mappings on, the next frame brings them along.
    bridge().computeUV(jvm.env(), nullptr, JNI_TRUE, kSensor);
    bridge().computeXYZ(jvm.env(), nullptr, JNI_TRUE, kSensor);
    depth.push_back(depthSamples(kWidth, kHeight, 3));
    queueDepthFrame(kSensor, depth.back());
    ASSERT_TRUE(calls.waitForCalls(kDepth, 4)) << "the mapped depth frame did not arrive";
    expectDepth(calls.callsOf(kDepth)[3], depth[3], true);

    bridge().stopNUI(jvm.env(), plexa1, kSensor);
    EXPECT_EQ(jvm.takePendingException(), "");
    expectThreadCountBackTo(threadsBefore);
    EXPECT_EQ(virtual1::framesOutstanding(kSensor), 0) << "a fetched frame was not given back";
    expectVmClean(jvm);
}

TEST_F(Bridge1EndToEnd, ClassWithoutTheDepthCallbackLeavesNoSuchMethodErrorForTheCaller) {
    const jclass plexa1 =
        jvm.defineClass("edu/qet/brightloom/plexa/Plexa1", without(plexa1Callbacks(), kDepth));
    const jobject target = jvm.newInstance(plexa1);
    start(plexa1, target);
    EXPECT_EQ(jvm.takePendingException(), "java.lang.NoSuchMethodError");

    // Frames still flow; none reaches Java.
    queueDepthFrame(kSensor, depthSamples(kWidth, kHeight, 0));
    EXPECT_TRUE(plexa::test::waitUntil([] { return virtual1::readyFrameCount(kSensor, virtual1::Stream::Depth) == 0; }));
    bridge().stopNUI(jvm.env(), plexa1, kSensor);
    expectThreadCountBackTo(threadsBefore);
    EXPECT_TRUE(jvm.callsOn(target).calls().empty());
    EXPECT_EQ(virtual1::framesOutstanding(kSensor), 0);
    EXPECT_TRUE(jvm.violations().empty());
}

}  // namespace
}  // namespace plexa::e2e
