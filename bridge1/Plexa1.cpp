// The native methods of edu.qet.brightloom.plexa.Plexa1. Each one that names a
// sensor reaches its session through the sensor table. A method given an
// index outside 0 to 9, an empty slot or a session without a sensor touches
// nothing and answers "nothing there": false, 0, zeros, or a not-connected
// code where the answer is a runtime code (0 would read as success).
#include "edu_qet_brightloom_plexa_Plexa1.h"

#include "FileNameText.h"
#include "JavaBinding.h"
#include "KSDK.h"
#include "SessionSlots.h"
#include "StatusMap.h"
#include "WelcomeBanner.h"

#include <new>
#include <string>
#include <vector>

using plexa::bridge1::statusFromResult;

namespace {

// The sensor table: one slot per sensor index, each holding the session most
// recently created for it (SessionSlots says when a replaced one is freed).
// The first _createNUI, or a _startNUI that comes first, prints the banner.
using SensorSlots = plexa::SessionSlots<KSDK, plexa::bridge1::kSensorCount>;
using SensorAccess = SensorSlots::Access;

// The slot's session when it holds a sensor, else null. Valid while the
// access lives.
KSDK* sessionWithSensor(const SensorAccess& access) {
    KSDK* session = access.session();
    return session != nullptr && session->sensor ? session : nullptr;
}

// `call` on the slot's session when it holds a sensor, else `none`.
template <typename Result, typename Call>
Result withSensor(jint index, Result none, Call&& call) {
    const SensorAccess access(index);
    KSDK* session = sessionWithSensor(access);
    return session == nullptr ? none : static_cast<Result>(call(*session));
}

jboolean javaBoolean(bool value) { return value ? JNI_TRUE : JNI_FALSE; }

jlong counterOf(jint index, std::atomic<std::int32_t> KSDK::*counter) {
    const SensorAccess access(index);
    KSDK* session = access.session();
    return session == nullptr ? 0 : static_cast<jlong>((session->*counter).load(std::memory_order_relaxed));
}

// Null when memory runs out.
std::unique_ptr<KSDK> newSession(jint index) {
    try {
        return std::make_unique<KSDK>(index);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// The Java string as a UTF-8 file name; false for a NUL or a lone surrogate
// in it, or when memory runs out (the VM's error then stays pending).
bool fileNameOf(JNIEnv* env, jstring name, std::string& utf8) {
    const jsize length = env->GetStringLength(name);
    try {
        std::vector<jchar> units(static_cast<std::size_t>(length));
        if (length > 0) env->GetStringRegion(name, 0, length, units.data());
        return plexa::bridge1::fileNameToUtf8(units.data(), units.size(), utf8);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// Looked up in the class whose static _startNUI was called (a subclass's
// override is still what a call on the target reaches), in KSDK::Callback's order.
constexpr plexa::JavaMethodSpec kCallbacks[KSDK::CallbackCount] = {
    {"onDepthFrameEventFromNative", "([S[F[F)V"},
    {"onVideoFrameEventFromNative", "([B)V"},
    {"onInfraredFrameEventFromNative", "([S)V"},
    {"onSkeletonFrameEventFromNative", "([Z[F[B)V"},
};

// Any code above -1 asks for the stream's callback, even one that Nui_Init
// then finds out of range and opens no stream for.
bool asksForCallback(jint resolutionCode) { return resolutionCode > NUI_IMAGE_RESOLUTION_INVALID; }

}  // namespace

extern "C" {

JNIEXPORT jint JNICALL Java_edu_qet_brightloom_plexa_Plexa1__1getSensorCount(JNIEnv*, jclass) {
    int count = 0;
    if (FAILED(NuiGetSensorCount(&count))) return 0;
    return count;
}

JNIEXPORT jboolean JNICALL Java_edu_qet_brightloom_plexa_Plexa1__1createNUI(JNIEnv*, jclass, jint index) {
    plexa::printWelcomeBanner();
    if (!SensorSlots::validIndex(index)) return JNI_FALSE;
    SensorAccess access(index);
    KSDK* session = access.install(newSession(index));
    return javaBoolean(session != nullptr && session->sensor);
}

// The new session is bound to Java before anyone else can see it; the one it
// replaces is stopped (its target receives nothing more once this returns,
// unless this runs inside one of its own callbacks) before the new one opens
// the sensor.
JNIEXPORT jint JNICALL Java_edu_qet_brightloom_plexa_Plexa1__1startNUI(JNIEnv* env, jclass plexaClass,
                                                                       jboolean skeleton, jint depthResolution,
                                                                       jint videoResolution, jboolean infrared,
                                                                       jobject callbackTarget, jint index) {
    if (!SensorSlots::validIndex(index)) return 0;
    plexa::printWelcomeBanner();
    SensorAccess access(index);
    if (KSDK* previous = access.session()) previous->Nui_AwaitStopUnderWay();
    std::unique_ptr<KSDK> fresh = newSession(index);
    if (!fresh) return statusFromResult(E_OUTOFMEMORY);
    if (fresh->sensor) {
        // A callback that is missing leaves its NoSuchMethodError pending for
        // the Java caller; the sensor starts all the same.
        const bool wanted[KSDK::CallbackCount] = {asksForCallback(depthResolution), asksForCallback(videoResolution),
                                                  asksForCallback(videoResolution), skeleton == JNI_TRUE};
        fresh->java().bind(env, plexaClass, callbackTarget, kCallbacks, KSDK::CallbackCount, wanted);
    }
    KSDK* session = access.install(std::move(fresh));
    if (!session->sensor) return 0;
    return statusFromResult(
        session->Nui_Init(skeleton != JNI_FALSE, depthResolution, videoResolution, infrared != JNI_FALSE));
}

JNIEXPORT void JNICALL Java_edu_qet_brightloom_plexa_Plexa1__1stopNUI(JNIEnv*, jclass, jint index) {
    const SensorAccess access(index);
    if (KSDK* session = access.session()) session->Nui_UnInit();
}

JNIEXPORT jlong JNICALL Java_edu_qet_brightloom_plexa_Plexa1__1getSkeletonFrameCounter(JNIEnv*, jclass, jint index) {
    return counterOf(index, &KSDK::skeletonFrameCount);
}

JNIEXPORT jlong JNICALL Java_edu_qet_brightloom_plexa_Plexa1__1getVideoFrameCounter(JNIEnv*, jclass, jint index) {
    return counterOf(index, &KSDK::videoFrameCount);
}

JNIEXPORT jlong JNICALL Java_edu_qet_brightloom_plexa_Plexa1__1getDepthFrameCounter(JNIEnv*, jclass, jint index) {
    return counterOf(index, &KSDK::depthFrameCount);
}

JNIEXPORT jint JNICALL Java_edu_qet_brightloom_plexa_Plexa1__1setElevationAngle(JNIEnv*, jclass, jint angle,
                                                                                jint index) {
    return withSensor<jint>(index, E_NUI_NOTCONNECTED, [&](KSDK& s) { return s.Nui_SetElevationAngle(angle); });
}

JNIEXPORT jlong JNICALL Java_edu_qet_brightloom_plexa_Plexa1__1getElevationAngle(JNIEnv*, jclass, jint index) {
    return withSensor<jlong>(index, 0, [](KSDK& s) { return s.Nui_GetElevationAngle(); });
}

JNIEXPORT jboolean JNICALL Java_edu_qet_brightloom_plexa_Plexa1__1setNearMode(JNIEnv*, jclass, jboolean on,
                                                                              jint index) {
    return javaBoolean(withSensor(index, false, [&](KSDK& s) { return s.Nui_SetNearMode(on != JNI_FALSE); }));
}

JNIEXPORT jboolean JNICALL Java_edu_qet_brightloom_plexa_Plexa1__1getNearMode(JNIEnv*, jclass, jint index) {
    return javaBoolean(withSensor(index, false, [](KSDK& s) { return s.Nui_GetNearMode(); }));
}

JNIEXPORT jboolean JNICALL Java_edu_qet_brightloom_plexa_Plexa1__1stopSkeletonTracking(JNIEnv*, jclass, jint index) {
    return javaBoolean(withSensor(index, false, [](KSDK& s) { return s.Nui_StopSkeletonTracking(); }));
}

JNIEXPORT jboolean JNICALL Java_edu_qet_brightloom_plexa_Plexa1__1startSkeletonTracking(JNIEnv*, jclass,
                                                                                        jboolean seated, jint index) {
    return javaBoolean(
        withSensor(index, false, [&](KSDK& s) { return s.Nui_StartSkeletonTracking(seated != JNI_FALSE); }));
}

JNIEXPORT jint JNICALL Java_edu_qet_brightloom_plexa_Plexa1__1getStatus(JNIEnv*, jclass, jint index) {
    return withSensor<jint>(index, statusFromResult(E_NUI_NOTCONNECTED), [](KSDK& s) { return s.Nui_GetStatus(); });
}

// x, y and z of the reading (its fourth component is not delivered); zeros
// when there is no sensor or the read fails. Null only when the VM cannot make
// the array, with its OutOfMemoryError pending for the caller.
JNIEXPORT jfloatArray JNICALL Java_edu_qet_brightloom_plexa_Plexa1__1getAccelerometerReading(JNIEnv* env, jclass,
                                                                                             jint index) {
    Vector4 reading{};
    withSensor(index, false, [&](KSDK& s) { return s.Nui_ReadAccelerometer(&reading); });
    const jfloat xyz[3] = {reading.x, reading.y, reading.z};
    jfloatArray array = env->NewFloatArray(3);
    if (array == nullptr) return nullptr;
    env->SetFloatArrayRegion(array, 0, 3, xyz);
    return array;
}

JNIEXPORT jboolean JNICALL Java_edu_qet_brightloom_plexa_Plexa1__1saveDepthFrames(JNIEnv* env, jclass, jstring fileName,
                                                                                  jint index) {
    return javaBoolean(withSensor(index, false, [&](KSDK& s) {
        if (fileName == nullptr) return false;
        std::string path;
        if (!fileNameOf(env, fileName, path)) {
            // As any name that cannot be opened: the open recording ends, no file is made.
            s.depthRecorder.close();
            return false;
        }
        const auto size = s.depthSize();
        return s.depthRecorder.start(path, size.width, size.height);
    }));
}

JNIEXPORT jboolean JNICALL Java_edu_qet_brightloom_plexa_Plexa1__1closeDepthFile(JNIEnv*, jclass, jint index) {
    return javaBoolean(withSensor(index, false, [](KSDK& s) { return s.depthRecorder.close(); }));
}

JNIEXPORT void JNICALL Java_edu_qet_brightloom_plexa_Plexa1__1computeUV(JNIEnv*, jclass, jboolean on, jint index) {
    const SensorAccess access(index);
    if (KSDK* session = sessionWithSensor(access)) session->computeUV.store(on != JNI_FALSE, std::memory_order_relaxed);
}

JNIEXPORT void JNICALL Java_edu_qet_brightloom_plexa_Plexa1__1computeXYZ(JNIEnv*, jclass, jboolean on, jint index) {
    const SensorAccess access(index);
    if (KSDK* session = sessionWithSensor(access)) {
        session->computeXYZ.store(on != JNI_FALSE, std::memory_order_relaxed);
    }
}

}  // extern "C"
