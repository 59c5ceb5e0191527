// Helpers of the first-generation spine tests: the native methods of Plexa1
// called as Java would call them, the recorder fixture, and views of the
// process (threads, handles, the virtual sensor's call log).
#pragma once

#include "jvm.h"
#include "runtime1/VirtualSensor1.h"

#include <jni.h>

#include <cstddef>
#include <string>
#include <type_traits>
#include <vector>

namespace plexa::test::spine {

namespace sensor = plexa::virtual1;

inline constexpr const char* kPlexa1 = "edu/qet/brightloom/plexa/Plexa1";
inline constexpr const char* kRecorder = "edu/qet/brightloom/plexa/testing/SpineRecorder";

// callStatic and callMethod, each followed by the exception check that
// -Xcheck:jni asks for before the next JNI call; a pending exception stays
// pending for takeException.
template <typename R, typename... Args>
R callStaticChecked(const char* className, const char* name, const char* signature, Args... args) {
    if constexpr (std::is_same_v<R, void>) {
        callStatic<void>(className, name, signature, args...);
        Jvm::start().env()->ExceptionCheck();
    } else {
        R result = callStatic<R>(className, name, signature, args...);
        Jvm::start().env()->ExceptionCheck();
        return result;
    }
}

template <typename R, typename... Args>
R plexa1(const char* name, const char* signature, Args... args) {
    return callStaticChecked<R>(kPlexa1, name, signature, args...);
}

template <typename R, typename... Args>
R callOn(jobject target, const char* name, const char* signature, Args... args) {
    if constexpr (std::is_same_v<R, void>) {
        callMethod<void>(target, name, signature, args...);
        Jvm::start().env()->ExceptionCheck();
    } else {
        R result = callMethod<R>(target, name, signature, args...);
        Jvm::start().env()->ExceptionCheck();
        return result;
    }
}

// Starts the VM (reference classes and fixtures unless given) and puts sensor
// 0 of the virtual runtime in scripted mode with an empty call log.
void startScripted(const JvmOptions& options = {});

jboolean createNUI(jint index);
jint startNUI(bool skeleton, jint depthResolution, jint videoResolution, bool infrared, jobject target, jint index);
void stopNUI(jint index);
jlong depthCounter(jint index);
jlong videoCounter(jint index);
jlong skeletonCounter(jint index);

jobject newRecorder();
jint recorderCount(jobject recorder, const char* method);

// Threads of this program that are not the VM's own (the VM names its
// threads; ours keep the program's name), and Java threads attached now.
std::size_t nativeThreadCount();
int javaThreadCount();

// The calls of one operation in the call log, in order.
std::vector<sensor::CallRecord> callsOf(sensor::Operation operation);
// The operations of the call log, in order, leaving out the frame traffic
// ones that are not named.
std::vector<sensor::Operation> operationsOf(const std::vector<sensor::Operation>& kept);

// A depth frame of 80 x 60 samples, all `sample`.
sensor::ScriptedImageFrame depthFrame80x60(std::uint16_t sample = 8000);
// A skeleton frame with slot 0 tracked.
NUI_SKELETON_FRAME trackedSkeletonFrame();

}  // namespace plexa::test::spine
