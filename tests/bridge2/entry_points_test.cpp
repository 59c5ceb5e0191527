// Plexa2's entry points in a real VM: the banner, the stubs, index checks and
// the mapping switches.
#include "Plexa2Support.h"
#include "capture.h"

#include <gtest/gtest.h>

namespace plexa::test::bridge2 {
namespace {

using virtual2::Operation;

const char* const kBanner =
    "-----------------------------------------------------------\n"
    "           Thank you for using the Plexa library!\n\n"
    "If you use this Java library in your research, please cite \n"
    "the following article, which introduced this library:\n"
    "  Plexa Project. Plexa: streaming depth-camera frames into Java.\n"
    "  Plexa Technical Report 1, 2026.\n"
    "  Available with the Plexa library distribution.\n"
    "-----------------------------------------------------------\n";

TEST(Plexa2EntryPoints, FirstCreatePrintsTheBannerOnceEvenForABadIndex) {
    Jvm::start();
    useScriptedSensor();
    StdoutCapture capture;
    EXPECT_FALSE(createNUI(10));
    EXPECT_FALSE(createNUI(-1));
    EXPECT_TRUE(createNUI(0));
    EXPECT_EQ(capture.finish(), kBanner);
}

TEST(Plexa2EntryPoints, StubsAnswerWithConstantsBeforeAndAfterStart) {
    Jvm::start();
    useScriptedSensor();
    JNIEnv* env = Jvm::start().env();
    jstring path = env->NewStringUTF("/tmp/plexa2-never-written.bin");
    auto checked = [](auto result) {
        EXPECT_EQ(takePendingException(), "");
        return result;
    };
    auto checkStubs = [&]() {
        EXPECT_EQ(checked(callStatic<jint>(kPlexa2Class, "_getSensorCount", "()I")), 1);
        EXPECT_EQ(checked(callStatic<jint>(kPlexa2Class, "_getStatus", "(I)I", 0)), 0);
        EXPECT_EQ(checked(callStatic<jint>(kPlexa2Class, "_getStatus", "(I)I", 77)), 0);
        EXPECT_EQ(checked(callStatic<jboolean>(kPlexa2Class, "_saveDepthFrames", "(Ljava/lang/String;I)Z", path, 0)),
                  JNI_FALSE);
        EXPECT_EQ(checked(callStatic<jint>(kPlexa2Class, "_closeDepthFile", "(I)I", 0)), 0);
        EXPECT_EQ(checked(callStatic<jboolean>(kPlexa2Class, "_startSkeletonTracking", "(ZI)Z", JNI_TRUE, 0)),
                  JNI_FALSE);
        EXPECT_EQ(checked(callStatic<jboolean>(kPlexa2Class, "_stopSkeletonTracking", "(I)Z", 0)), JNI_FALSE);
    };
    checkStubs();  // before any table exists
    EXPECT_TRUE(virtual2::callLog().empty());

    Recorder recorder;
    ASSERT_EQ(startNUI(kDepth, recorder.target(), 0), 0);
    virtual2::clearCallLog();
    checkStubs();
    EXPECT_TRUE(virtual2::callLog().empty()) << "a stub asked the runtime";
    stopNUI(0);
    checkStubs();
    env->DeleteLocalRef(path);
}

TEST(Plexa2EntryPoints, OnlyIndexZeroAsksTheRuntimeForASensor) {
    Jvm::start();
    useScriptedSensor();
    EXPECT_FALSE(createNUI(1));
    EXPECT_FALSE(createNUI(9));
    EXPECT_EQ(countOf(Operation::GetDefaultKinectSensor), 0);
    Recorder recorder;
    EXPECT_EQ(startNUI(kDepth, recorder.target(), 1), 0);
    EXPECT_EQ(countOf(Operation::GetDefaultKinectSensor), 0);
    EXPECT_TRUE(virtual2::callLog().empty());

    EXPECT_TRUE(createNUI(0));
    EXPECT_EQ(countOf(Operation::GetDefaultKinectSensor), 1);
}

TEST(Plexa2EntryPoints, StartRefusesAnIndexOutsideTheTable) {
    Jvm::start();
    useScriptedSensor();
    Recorder recorder;
    EXPECT_EQ(startNUI(kDepth, recorder.target(), 10), 0);
    EXPECT_EQ(startNUI(kDepth, recorder.target(), -1), 0);
    EXPECT_TRUE(virtual2::callLog().empty());
}

TEST(Plexa2EntryPoints, MethodsWithoutAnIndexCheckAreHarmlessOnBadIndexesAndEmptySlots) {
    Jvm::start();
    useScriptedSensor();
    // No table yet.
    stopNUI(0);
    EXPECT_EQ(frameCounter(0), 0);
    computeUV(true, 0);
    computeXYZ(true, 0);
    ASSERT_TRUE(createNUI(0));
    for (int index : {-1, 10, 1 << 30, 5}) {  // 5: a valid, empty slot
        stopNUI(index);
        EXPECT_EQ(frameCounter(index), 0) << index;
        computeUV(true, index);
        computeXYZ(false, index);
    }
    EXPECT_EQ(takePendingException(), "");
}

TEST(Plexa2EntryPoints, NoDefaultSensorGivesFalseAndZero) {
    Jvm::start();
    useScriptedSensor();
    virtual2::setSensorPresent(false);
    EXPECT_FALSE(createNUI(0));
    Recorder recorder;
    EXPECT_EQ(startNUI(kDepth | kColor, recorder.target(), 0), 0);
    EXPECT_EQ(countOf(Operation::SensorOpen), 0);
    EXPECT_EQ(frameCounter(0), 0);
    stopNUI(0);  // the sensorless session stays in its slot and stops cleanly
    EXPECT_EQ(virtual2::liveObjectCount(), 0);
}

TEST(Plexa2EntryPoints, ComputeUvBeforeStartHasNoEffectAndAfterStartActsOnTheNextFrame) {
    Jvm::start();
    useScriptedSensor();
    ASSERT_TRUE(createNUI(0));
    computeUV(true, 0);
    computeXYZ(true, 0);
    Recorder recorder;
    ASSERT_EQ(startNUI(kDepth, recorder.target(), 0), 0);  // a fresh session: the flags word decides
    EXPECT_EQ(frameCounter(0), 0);

    virtual2::ScriptedFrame frame;
    frame.depth = shortImage(8, 6);
    virtual2::queueFrame(frame);
    ASSERT_TRUE(recorder.waitForFrames(1));
    EXPECT_EQ(recorder.types(0), (std::vector<int>{8}));

    computeUV(true, 0);
    virtual2::queueFrame(frame);
    ASSERT_TRUE(recorder.waitForFrames(2));
    EXPECT_EQ(recorder.types(1), (std::vector<int>{8, 256}));

    computeXYZ(true, 0);
    computeUV(false, 0);
    virtual2::queueFrame(frame);
    ASSERT_TRUE(recorder.waitForFrames(3));
    EXPECT_EQ(recorder.types(2), (std::vector<int>{8, 4096}));
    EXPECT_TRUE(frameCounterReaches(3));
    stopNUI(0);
    EXPECT_EQ(frameCounter(0), 3);  // the stopped session keeps its count
}

}  // namespace
}  // namespace plexa::test::bridge2
