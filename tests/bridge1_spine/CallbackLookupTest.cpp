// The callbacks that _startNUI looks up: a class without one of them (a
// variant of the reference class) still starts, skips the look-ups after the
// missing one, and hands the Java caller a NoSuchMethodError.
#include "SpineSupport.h"

#include <gtest/gtest.h>

namespace plexa::test::spine {
namespace {

using sensor::Operation;
using sensor::Stream;

JvmOptions variant(const char* name) { return JvmOptions{{variantJar(name), fixturesJar()}, {}}; }

std::string startAndTakeException(bool skeleton, jint depth, jint video, jobject target, jint index = 0) {
    startNUI(skeleton, depth, video, false, target, index);
    return takePendingException();
}

sensor::ScriptedImageFrame colorFrame80x60() {
    sensor::ScriptedImageFrame frame;
    frame.bytes.resize(80 * 60 * 4);
    return frame;
}

// Queues one frame of each stream and waits until all three are counted.
void deliverOneOfEach() {
    sensor::queueImageFrame(0, Stream::Depth, depthFrame80x60());
    sensor::queueImageFrame(0, Stream::Video, colorFrame80x60());
    sensor::queueSkeletonFrame(0, trackedSkeletonFrame());
    ASSERT_TRUE(waitUntil([] { return depthCounter(0) == 1 && videoCounter(0) == 1 && skeletonCounter(0) == 1; }));
}

TEST(CallbackLookup, TheReferenceClassGetsEveryStreamDelivered) {
    startScripted();
    jobject recorder = newRecorder();
    EXPECT_EQ(startAndTakeException(true, 0, 0, recorder), "");
    deliverOneOfEach();
    EXPECT_TRUE(waitUntil([&] {
        return recorderCount(recorder, "depthCalls") == 1 && recorderCount(recorder, "videoCalls") == 1 &&
               recorderCount(recorder, "skeletonCalls") == 1;
    }));
    stopNUI(0);
}

TEST(CallbackLookup, MissingVideoCallbackStillStartsSkipsSkeletonAndThrows) {
    startScripted(variant("spine_without_video"));
    jobject recorder = newRecorder();
    EXPECT_EQ(startAndTakeException(true, 0, 0, recorder), "java.lang.NoSuchMethodError");
    ASSERT_EQ(callsOf(Operation::Initialize).size(), 1u);
    EXPECT_EQ(callsOf(Operation::Initialize)[0].arguments.at(0), 1 + 2 + 8);
    EXPECT_EQ(callsOf(Operation::SkeletonTrackingEnable).size(), 1u);
    EXPECT_EQ(callsOf(Operation::ImageStreamOpen).size(), 2u);
    deliverOneOfEach();
    EXPECT_TRUE(waitUntil([&] { return recorderCount(recorder, "depthCalls") == 1; }))
        << "depth was looked up before the missing one";
    EXPECT_EQ(recorderCount(recorder, "videoCalls"), 0);
    EXPECT_EQ(recorderCount(recorder, "skeletonCalls"), 0) << "the skeleton look-up was skipped";
    stopNUI(0);
}

TEST(CallbackLookup, MissingSkeletonCallbackStillStartsTrackingAndThrows) {
    startScripted(variant("spine_without_skeleton"));
    jobject recorder = newRecorder();
    EXPECT_EQ(startAndTakeException(true, 0, 0, recorder), "java.lang.NoSuchMethodError");
    EXPECT_EQ(callsOf(Operation::SkeletonTrackingEnable).size(), 1u);
    deliverOneOfEach();
    EXPECT_TRUE(waitUntil([&] {
        return recorderCount(recorder, "depthCalls") == 1 && recorderCount(recorder, "videoCalls") == 1;
    }));
    EXPECT_EQ(recorderCount(recorder, "skeletonCalls"), 0);
    stopNUI(0);
}

TEST(CallbackLookup, MissingDepthCallbackSkipsEveryLaterLookUp) {
    startScripted(variant("spine_without_depth"));
    jobject recorder = newRecorder();
    EXPECT_EQ(startAndTakeException(true, 0, 0, recorder), "java.lang.NoSuchMethodError");
    EXPECT_EQ(callsOf(Operation::ImageStreamOpen).size(), 2u);
    deliverOneOfEach();
    EXPECT_EQ(recorderCount(recorder, "depthCalls") + recorderCount(recorder, "videoCalls") +
                  recorderCount(recorder, "skeletonCalls"),
              0);
    stopNUI(0);
}

TEST(CallbackLookup, ACodeAboveMinusOneIsLookedUpEvenWhenNoStreamOpens) {
    startScripted(variant("spine_without_depth"));
    jobject recorder = newRecorder();
    EXPECT_EQ(startAndTakeException(false, 4, -1, recorder), "java.lang.NoSuchMethodError");
    EXPECT_TRUE(callsOf(Operation::ImageStreamOpen).empty()) << "code 4 opens no depth stream";
    stopNUI(0);
    EXPECT_EQ(startAndTakeException(false, -7, -1, recorder), "") << "below -1: nothing looked up";
    stopNUI(0);
    sensor::setConnectedCount(1);
    EXPECT_EQ(startAndTakeException(true, 1, 1, recorder, 1), "") << "no sensor: nothing bound";
}

TEST(CallbackLookup, ANullTargetStartsTheSensorAndNoCallbackIsMade) {
    startScripted();
    EXPECT_EQ(startAndTakeException(true, 0, 0, nullptr), "");
    deliverOneOfEach();
    EXPECT_EQ(sensor::framesOutstanding(0), 0);
    stopNUI(0);
}

}  // namespace
}  // namespace plexa::test::spine
