// Entry points of Plexa2. Every method that concerns a sensor takes its index
// last and reaches the session through the sensor table. No native failure
// becomes a Java exception; the only exception that reaches the caller is the
// NoSuchMethodError of a callback that _startNUI cannot find.
#include "edu_qet_brightloom_plexa_Plexa2.h"

#include "JavaBinding.h"
#include "KSDK.h"
#include "SessionSlots.h"
#include "WelcomeBanner.h"

#include <exception>
#include <memory>

namespace {

// The sensor table: one slot per sensor index (0 to 9), each holding the
// session most recently created for it (SessionSlots says when a replaced one
// is freed).
using SensorTable = plexa::SessionSlots<KSDK, plexa::bridge2::kSensorCount>;
using SensorAccess = SensorTable::Access;

// Looked up in KSDK::Callback's order; the first that is missing ends the start-up.
constexpr plexa::JavaMethodSpec kCallbacks[KSDK::CallbackCount] = {
    {"onFrameEventFromNative", "([I[Ljava/lang/Object;)V"},
    {"setDepthCameraIntrinsics", "(FFFFFFF)V"},
    {"setColorResolution", "(II)V"},
    {"setDepthResolution", "(II)V"},
    {"setInfraredResolution", "(II)V"},
    {"setLongExposureInfraredResolution", "(II)V"},
};

constexpr jint kCallbackMissing = -1;

}  // namespace

extern "C" {

JNIEXPORT jboolean JNICALL Java_edu_qet_brightloom_plexa_Plexa2__1createNUI(JNIEnv*, jclass, jint index) {
    plexa::printWelcomeBanner();
    if (!SensorTable::validIndex(index)) return JNI_FALSE;
    SensorAccess access(index);
    try {
        KSDK* session = access.install(std::make_unique<KSDK>(index));
        return session->sensor ? JNI_TRUE : JNI_FALSE;
    } catch (const std::exception&) {
        return JNI_FALSE;  // no memory for a session: no sensor either
    }
}

JNIEXPORT jint JNICALL Java_edu_qet_brightloom_plexa_Plexa2__1startNUI(JNIEnv* env, jclass plexa2, jint flags,
                                                                       jobject callbackTarget, jint index) {
    if (!SensorTable::validIndex(index)) return 0;
    SensorAccess access(index);
    if (KSDK* previous = access.session()) previous->Nui_AwaitStopUnderWay();
    std::unique_ptr<KSDK> fresh;
    try {
        fresh = std::make_unique<KSDK>(index);
    } catch (const std::exception&) {
        return 0;
    }
    // Bound to Java before anyone else can see it. The session it replaces is
    // stopped by install (its target receives nothing more once this returns,
    // unless this runs inside one of its own callbacks), before the new one
    // opens the sensor.
    bool callbacksFound = true;
    if (fresh->sensor) {
        // A NoSuchMethodError stays pending for the Java caller.
        callbacksFound = fresh->java().bind(env, plexa2, callbackTarget, kCallbacks, KSDK::CallbackCount);
    }
    KSDK* session = access.install(std::move(fresh));
    if (!session->sensor) return 0;
    if (!callbacksFound) return kCallbackMissing;
    return session->Nui_Init(flags);
}

JNIEXPORT void JNICALL Java_edu_qet_brightloom_plexa_Plexa2__1stopNUI(JNIEnv*, jclass, jint index) {
    const SensorAccess access(index);
    if (KSDK* session = access.session()) session->Nui_UnInit();
}

JNIEXPORT jlong JNICALL Java_edu_qet_brightloom_plexa_Plexa2__1getFrameCounter(JNIEnv*, jclass, jint index) {
    const SensorAccess access(index);
    KSDK* session = access.session();
    return session ? static_cast<jlong>(session->frameCount.load(std::memory_order_relaxed)) : 0;
}

JNIEXPORT void JNICALL Java_edu_qet_brightloom_plexa_Plexa2__1computeUV(JNIEnv*, jclass, jboolean on, jint index) {
    const SensorAccess access(index);
    if (KSDK* session = access.session()) session->computeUV.store(on != JNI_FALSE, std::memory_order_relaxed);
}

JNIEXPORT void JNICALL Java_edu_qet_brightloom_plexa_Plexa2__1computeXYZ(JNIEnv*, jclass, jboolean on, jint index) {
    const SensorAccess access(index);
    if (KSDK* session = access.session()) session->computeXYZ.store(on != JNI_FALSE, std::memory_order_relaxed);
}

// The second-generation sensor has one device, no status to report, no depth
// recording and always-on body tracking: these answer with constants.
JNIEXPORT jint JNICALL Java_edu_qet_brightloom_plexa_Plexa2__1getSensorCount(JNIEnv*, jclass) { return 1; }

JNIEXPORT jint JNICALL Java_edu_qet_brightloom_plexa_Plexa2__1getStatus(JNIEnv*, jclass, jint) { return 0; }

JNIEXPORT jboolean JNICALL Java_edu_qet_brightloom_plexa_Plexa2__1saveDepthFrames(JNIEnv*, jclass, jstring, jint) {
    return JNI_FALSE;
}

JNIEXPORT jint JNICALL Java_edu_qet_brightloom_plexa_Plexa2__1closeDepthFile(JNIEnv*, jclass, jint) { return 0; }

JNIEXPORT jboolean JNICALL Java_edu_qet_brightloom_plexa_Plexa2__1startSkeletonTracking(JNIEnv*, jclass, jboolean,
                                                                                        jint) {
    return JNI_FALSE;
}

JNIEXPORT jboolean JNICALL Java_edu_qet_brightloom_plexa_Plexa2__1stopSkeletonTracking(JNIEnv*, jclass, jint) {
    return JNI_FALSE;
}

}  // extern "C"
