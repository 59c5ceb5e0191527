// The second-generation bridge end to end, without Java: loaded by file
// name, started with every stream through its JNI entry points with a fake
// VM, fed scripted multi-source frames by the virtual sensor, and stopped.
// The frame callback must get the type list and arrays the frame holds, the
// size and intrinsics callbacks must come before it, and nothing may be left
// running, attached or unreleased afterwards.
#include "FakeJvm.h"
#include "JavaClasses.h"
#include "NothingLeft.h"
#include "Platform.h"

#include "runtime2/VirtualSensor2.h"

#include <gtest/gtest.h>

#include <jni.h>

#include <algorithm>

namespace plexa::e2e {
namespace {

constexpr jint kSensor = 0;
// Plexa2's flags: COLOR, INFRARED, LONG_EXPOSURE_INFRARED, DEPTH,
// BODY_INDEX, BODY, AUDIO, UV, BODY_POSITIONS, BODY_ORIENTATIONS,
// BODY_JOINT_STATES, XYZ.
constexpr jint kEveryStream = 0x1 | 0x2 | 0x4 | 0x8 | 0x10 | 0x20 | 0x40 | 0x100 | 0x200 | 0x400 | 0x800 | 0x1000;
constexpr int kDepthWidth = 512;
constexpr int kDepthHeight = 424;
constexpr int kColorWidth = 1920;
constexpr int kColorHeight = 1080;
constexpr std::size_t kDepthPixels = static_cast<std::size_t>(kDepthWidth) * kDepthHeight;
constexpr std::size_t kColorPixels = static_cast<std::size_t>(kColorWidth) * kColorHeight;
// Body arrays: a flag per slot (6); the floor plane and x, y, z of 25 joints
// in 6 slots (4 + 450); an orientation quaternion per joint (600); a state
// per joint (150).
constexpr jsize kBodySlots = 6;
constexpr jsize kPositionFloats = 454;
constexpr jsize kOrientationFloats = 600;
constexpr jsize kJointStates = 150;

// The entry order: color, depth, UV, XYZ, body index, infrared,
// long-exposure infrared, then the four body arrays.
const std::vector<jint> kExpectedTypes = {1, 8, 256, 4096, 16, 2, 4, 32, 512, 1024, 2048};

constexpr const char* kFrame = "onFrameEventFromNative";

struct Bridge2 {
    using Create = jboolean(JNICALL*)(JNIEnv*, jclass, jint);
    using Start = jint(JNICALL*)(JNIEnv*, jclass, jint, jobject, jint);
    using Stop = void(JNICALL*)(JNIEnv*, jclass, jint);

    SharedLibrary library{builtLibraryPath(PLEXA_E2E_BRIDGE_FILE)};
    Create createNUI = library.function<Create>("Java_edu_qet_brightloom_plexa_Plexa2__1createNUI");
    Start startNUI = library.function<Start>("Java_edu_qet_brightloom_plexa_Plexa2__1startNUI");
    Stop stopNUI = library.function<Stop>("Java_edu_qet_brightloom_plexa_Plexa2__1stopNUI");
};

Bridge2& bridge() {
    static Bridge2 loaded;
    return loaded;
}

std::vector<std::uint16_t> shortImage(int frame, unsigned salt) {
    std::vector<std::uint16_t> samples(kDepthPixels);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::uint16_t>(500u + (i * salt + static_cast<unsigned>(frame) * 977u) % 4000u);
    }
    return samples;
}

// One frame of every source, with body slot `trackedSlot` tracked.
struct Scripted {
    std::vector<std::uint16_t> depth, infrared, longExposure;
    std::vector<std::uint8_t> bodyIndex;
};

Scripted queueFrame(int frame, int trackedSlot) {
    Scripted scripted{shortImage(frame, 31), shortImage(frame, 17), shortImage(frame, 5),
                      std::vector<std::uint8_t>(kDepthPixels, 0xFF)};
    std::fill(scripted.bodyIndex.begin(), scripted.bodyIndex.begin() + 1000, static_cast<std::uint8_t>(trackedSlot));
    virtual2::ScriptedFrame queued;
    queued.depth = virtual2::ScriptedShortImage{kDepthWidth, kDepthHeight, scripted.depth};
    queued.infrared = virtual2::ScriptedShortImage{kDepthWidth, kDepthHeight, scripted.infrared};
    queued.longExposureInfrared = virtual2::ScriptedShortImage{kDepthWidth, kDepthHeight, scripted.longExposure};
    queued.bodyIndex = virtual2::ScriptedBodyIndexImage{kDepthWidth, kDepthHeight, scripted.bodyIndex};
    virtual2::ScriptedColorImage color;  // raw YUY2 at the sensor's size
    color.raw.assign(kColorPixels * 2, static_cast<std::uint8_t>(0x80));
    queued.color = color;
    virtual2::ScriptedBodies bodies;
    bodies.bodies[static_cast<std::size_t>(trackedSlot)].tracked = true;
    queued.bodies = bodies;
    virtual2::queueFrame(std::move(queued));
    return scripted;
}

void expectFrame(const RecordedCall& call, const Scripted& scripted, int trackedSlot) {
    ASSERT_EQ(call.arguments.size(), 2u);
    const Value& types = call.arguments[0];
    const Value& entries = call.arguments[1];
    ASSERT_TRUE(types.isArrayOf('I'));
    ASSERT_EQ(types.as<jint>(), kExpectedTypes);
    ASSERT_TRUE(entries.isArrayOf('L'));
    ASSERT_EQ(entries.elements.size(), kExpectedTypes.size());
    const auto entry = [&](std::size_t i, char type, std::size_t length) -> const Value& {
        const Value& value = entries.elements[i];
        EXPECT_TRUE(value.isArrayOf(type)) << "entry " << i << " (type " << kExpectedTypes[i] << ")";
        EXPECT_EQ(static_cast<std::size_t>(value.length), length) << "entry " << i << " (type " << kExpectedTypes[i]
                                                                  << ")";
        return value;
    };
    entry(0, 'B', 4 * kColorPixels);
    EXPECT_TRUE(entry(1, 'S', kDepthPixels).as<std::uint16_t>() == scripted.depth) << "depth differs from the script";
    entry(2, 'F', 2 * kDepthPixels);
    entry(3, 'F', 3 * kDepthPixels);
    EXPECT_TRUE(entry(4, 'B', kDepthPixels).as<std::uint8_t>() == scripted.bodyIndex);
    EXPECT_TRUE(entry(5, 'S', kDepthPixels).as<std::uint16_t>() == scripted.infrared);
    EXPECT_TRUE(entry(6, 'S', kDepthPixels).as<std::uint16_t>() == scripted.longExposure);
    std::vector<std::uint8_t> tracked(kBodySlots, 0);
    tracked[static_cast<std::size_t>(trackedSlot)] = 1;
    EXPECT_EQ(entry(7, 'Z', kBodySlots).as<std::uint8_t>(), tracked);
    entry(8, 'F', kPositionFloats);
    entry(9, 'F', kOrientationFloats);
    entry(10, 'B', kJointStates);
}

class Bridge2EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        virtual2::reset();
        virtual2::setScripted(true);
        // Loaded before the count: a loader may start helper threads of its own.
        bridge();
        threadsBefore = processThreadCount();
        objectsBefore = virtual2::liveObjectCount();
        ASSERT_GT(threadsBefore, 0);
    }

    // A test that ends early must not leave the event thread calling into a
    // VM that is gone; a second stop does nothing.
    void TearDown() override { bridge().stopNUI(jvm.env(), nullptr, kSensor); }

    FakeJvm jvm;
    int threadsBefore = 0;
    int objectsBefore = 0;
};

TEST_F(Bridge2EndToEnd, EveryStreamDeliversScriptedFramesThenLeavesNothingBehind) {
    const jclass plexa2 = jvm.defineClass("edu/qet/brightloom/plexa/Plexa2", plexa2Callbacks());
    const jobject target = jvm.newInstance(plexa2);
    const CallRecorder& calls = jvm.callsOn(target);
    ASSERT_EQ(bridge().createNUI(jvm.env(), plexa2, kSensor), JNI_TRUE);
    ASSERT_EQ(bridge().startNUI(jvm.env(), plexa2, kEveryStream, target, kSensor), 0);
    EXPECT_EQ(jvm.takePendingException(), "");

    const Scripted first = queueFrame(0, 1);
    const Scripted second = queueFrame(1, 4);
    ASSERT_TRUE(calls.waitForCalls(kFrame, 2)) << "the frames did not arrive";

    const auto frames = calls.callsOf(kFrame);
    expectFrame(frames[0], first, 1);
    expectFrame(frames[1], second, 4);

    // Sizes and intrinsics: once each (the sizes do not change), before the
    // first frame.
    const auto all = calls.calls();
    const auto firstFrame = std::find_if(all.begin(), all.end(), [](const RecordedCall& c) { return c.method == kFrame; });
    const auto once = [&](const char* method, double width, double height) {
        const auto made = calls.callsOf(method);
        ASSERT_EQ(made.size(), 1u) << method;
        ASSERT_EQ(made[0].arguments.size(), 2u) << method;
        EXPECT_EQ(made[0].arguments[0].number, width) << method;
        EXPECT_EQ(made[0].arguments[1].number, height) << method;
        EXPECT_TRUE(std::any_of(all.begin(), firstFrame, [&](const RecordedCall& c) { return c.method == method; }))
            << method << " came after the first frame";
    };
    once("setColorResolution", kColorWidth, kColorHeight);
    once("setDepthResolution", kDepthWidth, kDepthHeight);
    once("setInfraredResolution", kDepthWidth, kDepthHeight);
    once("setLongExposureInfraredResolution", kDepthWidth, kDepthHeight);
    const auto intrinsics = calls.callsOf("setDepthCameraIntrinsics");
    ASSERT_EQ(intrinsics.size(), 1u);
    ASSERT_EQ(intrinsics[0].arguments.size(), 7u);
    EXPECT_GT(intrinsics[0].arguments[0].number, 0.0) << "focal length";
    EXPECT_TRUE(std::any_of(all.begin(), firstFrame,
                            [](const RecordedCall& c) { return c.method == "setDepthCameraIntrinsics"; }));

    bridge().stopNUI(jvm.env(), plexa2, kSensor);
    EXPECT_EQ(jvm.takePendingException(), "");
    expectThreadCountBackTo(threadsBefore);
    EXPECT_EQ(virtual2::liveObjectCount(), objectsBefore) << "runtime objects not released";
    expectVmClean(jvm);
}

TEST_F(Bridge2EndToEnd, ClassWithoutAResolutionCallbackFailsTheStartWithNoSuchMethodError) {
    const jclass plexa2 =
        jvm.defineClass("edu/qet/brightloom/plexa/Plexa2", without(plexa2Callbacks(), "setInfraredResolution"));
    const jobject target = jvm.newInstance(plexa2);
    ASSERT_EQ(bridge().createNUI(jvm.env(), plexa2, kSensor), JNI_TRUE);
    EXPECT_EQ(bridge().startNUI(jvm.env(), plexa2, kEveryStream, target, kSensor), -1);
    EXPECT_EQ(jvm.takePendingException(), "java.lang.NoSuchMethodError");
    bridge().stopNUI(jvm.env(), plexa2, kSensor);
    EXPECT_EQ(processThreadCount(), threadsBefore) << "a failed start left a thread";
    EXPECT_EQ(virtual2::liveObjectCount(), objectsBefore);
    EXPECT_TRUE(jvm.violations().empty());
    EXPECT_EQ(jvm.balance().attaches, 0);
}

}  // namespace
}  // namespace plexa::e2e
