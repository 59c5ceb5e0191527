// Entry points of Plexa2. Every method that concerns a sensor takes its index
// last and reaches the session through the sensor table. No native failure
// becomes a Java exception; the only exception that reaches the caller is the
// NoSuchMethodError of a callback that _startNUI cannot find.
#include "edu_qet_brightloom_plexa_Plexa2.h"

#include "Banner.h"
#include "KSDK.h"
#include "SensorTable.h"

#include <exception>
#include <memory>

using plexa::bridge2::SensorAccess;
using plexa::bridge2::SensorTable;

namespace {

struct CallbackLookup {
    const char* name;
    const char* signature;
    jmethodID KSDK::*member;
};

// Looked up in this order; the first that is missing ends the start-up.
constexpr CallbackLookup kCallbacks[] = {
    {"onFrameEventFromNative", "([I[Ljava/lang/Object;)V", &KSDK::frameCallback},
    {"setDepthCameraIntrinsics", "(FFFFFFF)V", &KSDK::intrinsicsCallback},
    {"setColorResolution", "(II)V", &KSDK::colorResolutionCallback},
    {"setDepthResolution", "(II)V", &KSDK::depthResolutionCallback},
    {"setInfraredResolution", "(II)V", &KSDK::infraredResolutionCallback},
    {"setLongExposureInfraredResolution", "(II)V", &KSDK::longExposureInfraredResolutionCallback},
};

constexpr jint kCallbackMissing = -1;

}  // namespace

extern "C" {

JNIEXPORT jboolean JNICALL Java_edu_qet_brightloom_plexa_Plexa2__1createNUI(JNIEnv*, jclass, jint index) {
    plexa::bridge2::printWelcomeBannerOnce();
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
        fresh->Nui_Zero();
        JavaVM* vm = nullptr;
        env->GetJavaVM(&vm);
        fresh->javaVM = vm;
        fresh->callbackTarget = env->NewGlobalRef(callbackTarget);
        for (const CallbackLookup& callback : kCallbacks) {
            const jmethodID method = env->GetMethodID(plexa2, callback.name, callback.signature);
            // The NoSuchMethodError stays pending for the Java caller; looking
            // up the rest would call the VM with it pending.
            if (method == nullptr) {
                callbacksFound = false;
                break;
            }
            fresh.get()->*callback.member = method;
        }
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
