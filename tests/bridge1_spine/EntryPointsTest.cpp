// The sensor table, the welcome banner, index checks and the methods that act
// on one sensor's settings, in a real VM against the scripted virtual sensor.
#include "SpineSupport.h"
#include "capture.h"

#include <gtest/gtest.h>

#include <string>

#include <unistd.h>

namespace plexa::test::spine {
namespace {

using sensor::Operation;

const std::string kBanner =
    "-----------------------------------------------------------\n"
    "           Thank you for using the Plexa library!\n\n"
    "If you use this Java library in your research, please cite \n"
    "the following article, which introduced this library:\n"
    "  Plexa Project. Plexa: streaming depth-camera frames into Java.\n"
    "  Plexa Technical Report 1, 2026.\n"
    "  Available with the Plexa library distribution.\n"
    "-----------------------------------------------------------\n";

TEST(WelcomeBanner, FirstCreateWithIndexTenPrintsItExactlyAndNothingPrintsItAgain) {
    startScripted();
    StdoutCapture first;
    EXPECT_FALSE(createNUI(10));
    EXPECT_EQ(first.finish(), kBanner);

    StdoutCapture later;
    EXPECT_TRUE(createNUI(0));
    EXPECT_FALSE(createNUI(-1));
    EXPECT_EQ(startNUI(false, -1, -1, false, nullptr, 0), 0);
    stopNUI(0);
    EXPECT_TRUE(createNUI(0));
    EXPECT_EQ(later.finish(), "");
}

TEST(WelcomeBanner, StartBeforeAnyCreateMakesTheTablePrintsTheBannerOnceAndStarts) {
    startScripted();
    StdoutCapture refused;
    EXPECT_EQ(startNUI(false, -1, -1, false, nullptr, 10), 0);
    EXPECT_EQ(refused.finish(), "") << "a refused index makes no table";

    StdoutCapture capture;
    EXPECT_EQ(startNUI(false, 0, -1, false, nullptr, 0), 0);
    EXPECT_EQ(callsOf(Operation::Initialize).size(), 1u) << "the sensor was started";
    stopNUI(0);
    EXPECT_TRUE(createNUI(0));
    EXPECT_EQ(capture.finish(), kBanner);
}

TEST(SensorIndex, CreateAndStartRefuseIndexesOutsideTheTableAndTouchNoSlot) {
    startScripted();
    jobject recorder = newRecorder();
    ASSERT_TRUE(createNUI(0));
    sensor::queueImageFrame(0, sensor::Stream::Depth, depthFrame80x60());
    ASSERT_EQ(startNUI(false, 0, -1, false, recorder, 0), 0);
    ASSERT_TRUE(waitUntil([] { return depthCounter(0) == 1; }));
    sensor::clearCallLog();

    for (jint index : {-1, 10, -2147483647 - 1, 2147483647}) {
        EXPECT_FALSE(createNUI(index)) << index;
        EXPECT_EQ(startNUI(true, 1, 1, false, recorder, index), 0) << index;
    }
    EXPECT_TRUE(sensor::callLog().empty()) << "no sensor is asked for and none is started";
    EXPECT_EQ(depthCounter(0), 1) << "slot 0 still holds the running session";
    stopNUI(0);
}

TEST(SensorIndex, AnIndexWithoutASensorIsRefusedBeforeAnythingIsBound) {
    startScripted();
    sensor::setConnectedCount(1);
    EXPECT_FALSE(createNUI(1));
    EXPECT_EQ(startNUI(true, 1, 1, false, newRecorder(), 1), 0);
    EXPECT_EQ(callsOf(Operation::CreateSensorByIndex).size(), 2u);
    EXPECT_TRUE(callsOf(Operation::Initialize).empty());
    EXPECT_EQ(takePendingException(), "");
}

// What every method without an index check answers when there is no session
// with a sensor behind the index; none of them reaches the runtime.
void expectNothingThere(jint index, const std::string& what) {
    SCOPED_TRACE(what);
    sensor::clearCallLog();
    EXPECT_EQ(depthCounter(index), 0);
    EXPECT_EQ(videoCounter(index), 0);
    EXPECT_EQ(skeletonCounter(index), 0);
    EXPECT_EQ(plexa1<jint>("_setElevationAngle", "(II)I", 10, index),
              static_cast<jint>(E_NUI_NOTCONNECTED));
    EXPECT_EQ(plexa1<jlong>("_getElevationAngle", "(I)J", index), 0);
    EXPECT_FALSE(plexa1<jboolean>("_setNearMode", "(ZI)Z", JNI_TRUE, index));
    EXPECT_FALSE(plexa1<jboolean>("_getNearMode", "(I)Z", index));
    EXPECT_FALSE(plexa1<jboolean>("_stopSkeletonTracking", "(I)Z", index));
    EXPECT_FALSE(plexa1<jboolean>("_startSkeletonTracking", "(ZI)Z", JNI_TRUE, index));
    EXPECT_EQ(plexa1<jint>("_getStatus", "(I)I", index), 20) << "not connected";
    auto reading = plexa1<jfloatArray>("_getAccelerometerReading", "(I)[F", index);
    JNIEnv* env = Jvm::start().env();
    ASSERT_NE(reading, nullptr);
    ASSERT_EQ(env->GetArrayLength(reading), 3);
    jfloat xyz[3] = {1, 1, 1};
    env->GetFloatArrayRegion(reading, 0, 3, xyz);
    EXPECT_EQ(xyz[0], 0.0f);
    EXPECT_EQ(xyz[1], 0.0f);
    EXPECT_EQ(xyz[2], 0.0f);

    const std::string path = "/tmp/plexa-spine-nothing-there-" + std::to_string(::getpid());
    ::unlink(path.c_str());
    jstring javaPath = env->NewStringUTF(path.c_str());
    EXPECT_FALSE(plexa1<jboolean>("_saveDepthFrames", "(Ljava/lang/String;I)Z", javaPath, index));
    EXPECT_NE(::access(path.c_str(), F_OK), 0) << "no file is made";
    EXPECT_FALSE(plexa1<jboolean>("_closeDepthFile", "(I)Z", index));
    plexa1<void>("_computeUV", "(ZI)V", JNI_TRUE, index);
    plexa1<void>("_computeXYZ", "(ZI)V", JNI_TRUE, index);
    stopNUI(index);
    stopNUI(index);
    EXPECT_EQ(takePendingException(), "");
    EXPECT_TRUE(sensor::callLog().empty());
}

TEST(MethodsWithoutIndexCheck, AnswerNothingThereForMissingTableBadIndexEmptySlotAndNoSensor) {
    startScripted();
    sensor::setConnectedCount(1);
    expectNothingThere(0, "no table yet");
    ASSERT_TRUE(createNUI(0));
    expectNothingThere(-1, "index -1");
    expectNothingThere(10, "index 10");
    expectNothingThere(5, "empty slot");
    EXPECT_FALSE(createNUI(1));
    expectNothingThere(1, "session without a sensor");
    EXPECT_EQ(startNUI(false, 0, 0, false, nullptr, 1), 0);
    expectNothingThere(1, "started without a sensor");
}

TEST(SensorCount, WorksBeforeAnyCreateAndIsZeroWhenTheRuntimeFails) {
    startScripted();
    StdoutCapture capture;
    sensor::setConnectedCount(3);
    EXPECT_EQ(plexa1<jint>("_getSensorCount", "()I"), 3);
    sensor::injectFailure(Operation::GetSensorCount, E_FAIL);
    EXPECT_EQ(plexa1<jint>("_getSensorCount", "()I"), 0);
    EXPECT_EQ(capture.finish(), "") << "no table was made by it";
}

TEST(Settings, PassExactlyTheirArgumentsAndMapTheResults) {
    startScripted();
    ASSERT_EQ(startNUI(true, 1, -1, false, nullptr, 0), 0);
    const jint index = 0;
    const HRESULT failure = E_NUI_DEVICE_IN_USE;

    sensor::clearCallLog();
    EXPECT_TRUE(plexa1<jboolean>("_setNearMode", "(ZI)Z", JNI_TRUE, index));
    EXPECT_TRUE(plexa1<jboolean>("_getNearMode", "(I)Z", index));
    EXPECT_TRUE(plexa1<jboolean>("_setNearMode", "(ZI)Z", JNI_FALSE, index));
    EXPECT_FALSE(plexa1<jboolean>("_getNearMode", "(I)Z", index));
    const auto flagCalls = callsOf(Operation::ImageStreamSetImageFrameFlags);
    ASSERT_EQ(flagCalls.size(), 2u);
    const std::int64_t depthStream = callsOf(Operation::ImageStreamGetImageFrameFlags).at(0).arguments.at(0);
    EXPECT_NE(depthStream, 0);
    EXPECT_EQ(flagCalls[0].arguments, (std::vector<std::int64_t>{depthStream, 0x20000}));
    EXPECT_EQ(flagCalls[1].arguments, (std::vector<std::int64_t>{depthStream, 0}));
    sensor::injectFailure(Operation::ImageStreamSetImageFrameFlags, failure);
    EXPECT_FALSE(plexa1<jboolean>("_setNearMode", "(ZI)Z", JNI_TRUE, index));
    sensor::injectFailure(Operation::ImageStreamGetImageFrameFlags, failure);
    EXPECT_FALSE(plexa1<jboolean>("_getNearMode", "(I)Z", index));

    sensor::clearCallLog();
    EXPECT_TRUE(plexa1<jboolean>("_startSkeletonTracking", "(ZI)Z", JNI_TRUE, index));
    EXPECT_TRUE(plexa1<jboolean>("_startSkeletonTracking", "(ZI)Z", JNI_FALSE, index));
    EXPECT_TRUE(plexa1<jboolean>("_stopSkeletonTracking", "(I)Z", index));
    const auto enables = callsOf(Operation::SkeletonTrackingEnable);
    ASSERT_EQ(enables.size(), 2u);
    EXPECT_NE(enables[0].arguments.at(0), 0) << "the session's skeleton event";
    EXPECT_EQ(enables[0].arguments.at(1), 4);
    EXPECT_EQ(enables[1].arguments.at(0), enables[0].arguments.at(0));
    EXPECT_EQ(enables[1].arguments.at(1), 0);
    EXPECT_EQ(callsOf(Operation::SkeletonTrackingDisable).size(), 1u);
    sensor::injectFailure(Operation::SkeletonTrackingEnable, failure);
    EXPECT_FALSE(plexa1<jboolean>("_startSkeletonTracking", "(ZI)Z", JNI_FALSE, index));
    sensor::injectFailure(Operation::SkeletonTrackingDisable, failure);
    EXPECT_FALSE(plexa1<jboolean>("_stopSkeletonTracking", "(I)Z", index));

    sensor::clearCallLog();
    EXPECT_EQ(plexa1<jint>("_setElevationAngle", "(II)I", -13, index), S_OK);
    ASSERT_EQ(callsOf(Operation::CameraElevationSetAngle).size(), 1u);
    EXPECT_EQ(callsOf(Operation::CameraElevationSetAngle)[0].arguments, (std::vector<std::int64_t>{-13}));
    sensor::injectFailure(Operation::CameraElevationSetAngle, failure);
    EXPECT_EQ(plexa1<jint>("_setElevationAngle", "(II)I", 5, index), failure) << "the code unchanged";
    sensor::setElevation(0, -7);
    EXPECT_EQ(plexa1<jlong>("_getElevationAngle", "(I)J", index), -7);
    sensor::injectFailure(Operation::CameraElevationGetAngle, failure);
    EXPECT_EQ(plexa1<jlong>("_getElevationAngle", "(I)J", index), 0) << "a failed read gives 0";

    JNIEnv* env = Jvm::start().env();
    auto readAccelerometer = [&]() {
        auto array = plexa1<jfloatArray>("_getAccelerometerReading", "(I)[F", index);
        std::vector<jfloat> values(3, -99.0f);
        EXPECT_EQ(env->GetArrayLength(array), 3);
        env->GetFloatArrayRegion(array, 0, 3, values.data());
        env->DeleteLocalRef(array);
        return values;
    };
    sensor::setAccelerometer(0, Vector4{0.25f, -0.75f, 0.5f, 9.0f});
    EXPECT_EQ(readAccelerometer(), (std::vector<jfloat>{0.25f, -0.75f, 0.5f}));
    sensor::injectFailure(Operation::AccelerometerGetCurrentReading, failure);
    EXPECT_EQ(readAccelerometer(), (std::vector<jfloat>{0.0f, 0.0f, 0.0f})) << "a failed read gives zeros";

    EXPECT_EQ(takePendingException(), "");
    stopNUI(0);
}

TEST(Status, GetStatusMapsTheRuntimeCode) {
    startScripted();
    ASSERT_TRUE(createNUI(0));
    const struct {
        HRESULT runtime;
        jint status;
    } cases[] = {
        {S_OK, 0},
        {S_NUI_INITIALIZING, 1},
        {E_NUI_NOTPOWERED, 639},
        {E_NUI_BADINDEX, 1413},
        {E_NUI_FRAME_NO_DATA, static_cast<jint>(0x83010001u)},
        {E_FAIL, static_cast<jint>(0x80004005u)},
    };
    for (const auto& c : cases) {
        sensor::setStatus(0, c.runtime);
        EXPECT_EQ(plexa1<jint>("_getStatus", "(I)I", 0), c.status) << std::hex << c.runtime;
    }
}

}  // namespace
}  // namespace plexa::test::spine
