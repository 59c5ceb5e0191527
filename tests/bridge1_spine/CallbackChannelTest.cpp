// The callback channel against a scripted VM: which invocation and JNI
// functions one delivery calls, in which order, and what it skips when the VM
// gives the thread no environment. Also the array helpers the deliveries fill.
#include "CallbackChannel.h"
#include "JavaArrays.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace plexa {
namespace {

// One VM and one environment whose functions record their calls.
struct ScriptedVm {
    jint getEnvResult = JNI_OK;
    jint attachResult = JNI_OK;
    bool exceptionPending = false;
    bool callThrows = false;
    std::vector<std::string> calls;

    JNIInvokeInterface_ invoke{};
    JNINativeInterface_ native{};
    JavaVM vm{};
    JNIEnv env{};

    ScriptedVm() {
        invoke.GetEnv = [](JavaVM* vm, void** env, jint version) -> jint {
            ScriptedVm& self = of(vm);
            self.calls.push_back("GetEnv " + std::to_string(version));
            *env = self.getEnvResult == JNI_OK ? &self.env : nullptr;
            return self.getEnvResult;
        };
        invoke.AttachCurrentThread = [](JavaVM* vm, void** env, void* arguments) -> jint {
            ScriptedVm& self = of(vm);
            self.calls.push_back(arguments == nullptr ? "Attach" : "Attach with arguments");
            *env = self.attachResult == JNI_OK ? &self.env : nullptr;
            return self.attachResult;
        };
        invoke.DetachCurrentThread = [](JavaVM* vm) -> jint {
            of(vm).calls.push_back("Detach");
            return JNI_OK;
        };
        native.ExceptionCheck = [](JNIEnv* env) -> jboolean {
            ScriptedVm& self = of(env);
            self.calls.push_back("ExceptionCheck");
            return self.exceptionPending ? JNI_TRUE : JNI_FALSE;
        };
        native.ExceptionDescribe = [](JNIEnv* env) { of(env).calls.push_back("ExceptionDescribe"); };
        native.ExceptionClear = [](JNIEnv* env) {
            of(env).calls.push_back("ExceptionClear");
            of(env).exceptionPending = false;
        };
        native.CallVoidMethodV = [](JNIEnv* env, jobject, jmethodID, va_list arguments) {
            ScriptedVm& self = of(env);
            self.calls.push_back("CallVoidMethod " + std::to_string(va_arg(arguments, int)));
            if (self.callThrows) self.exceptionPending = true;
        };
        // The tables find their owner through their first reserved slot.
        invoke.reserved0 = this;
        native.reserved0 = this;
        vm.functions = &invoke;
        env.functions = &native;
    }
    ScriptedVm(const ScriptedVm&) = delete;
    ScriptedVm& operator=(const ScriptedVm&) = delete;

    static ScriptedVm& of(JavaVM* vm) { return *static_cast<ScriptedVm*>(vm->functions->reserved0); }
    static ScriptedVm& of(JNIEnv* env) { return *static_cast<ScriptedVm*>(env->functions->reserved0); }
};

jobject someTarget() { return reinterpret_cast<jobject>(0x10); }
jmethodID someMethod() { return reinterpret_cast<jmethodID>(0x20); }

const std::string kGetEnv = "GetEnv " + std::to_string(JNI_VERSION_1_6);

TEST(CallbackChannel, ADetachedThreadAttachesWithoutArgumentsCallsChecksAndDetaches) {
    ScriptedVm vm;
    vm.getEnvResult = JNI_EDETACHED;
    {
        JavaDelivery delivery(&vm.vm);
        ASSERT_TRUE(delivery);
        EXPECT_EQ(delivery.env(), &vm.env);
        EXPECT_TRUE(delivery.callVoid(someTarget(), someMethod(), 7));
    }
    EXPECT_EQ(vm.calls, (std::vector<std::string>{kGetEnv, "Attach", "ExceptionCheck", "CallVoidMethod 7",
                                                  "ExceptionCheck", "ExceptionCheck", "Detach"}));
}

TEST(CallbackChannel, AThrowingCallbackIsDescribedClearedAndTheThreadStillDetaches) {
    ScriptedVm vm;
    vm.getEnvResult = JNI_EDETACHED;
    vm.callThrows = true;
    {
        JavaDelivery delivery(&vm.vm);
        EXPECT_FALSE(delivery.callVoid(someTarget(), someMethod(), 1));
        EXPECT_FALSE(vm.exceptionPending);
    }
    EXPECT_EQ(vm.calls, (std::vector<std::string>{kGetEnv, "Attach", "ExceptionCheck", "CallVoidMethod 1",
                                                  "ExceptionCheck", "ExceptionDescribe", "ExceptionClear",
                                                  "ExceptionCheck", "Detach"}));
}

TEST(CallbackChannel, AnExceptionLeftPendingByTheHandlerIsDescribedBeforeTheDetach) {
    ScriptedVm vm;
    vm.getEnvResult = JNI_EDETACHED;
    {
        JavaDelivery delivery(&vm.vm);
        vm.exceptionPending = true;  // e.g. an array the VM could not make
    }
    EXPECT_EQ(vm.calls, (std::vector<std::string>{kGetEnv, "Attach", "ExceptionCheck", "ExceptionDescribe",
                                                  "ExceptionClear", "Detach"}));
}

TEST(CallbackChannel, NoEnvironmentMeansNoCallAndNoDetach) {
    for (const auto& [getEnv, attach] : {std::pair<jint, jint>{JNI_EDETACHED, JNI_ERR},
                                         std::pair<jint, jint>{JNI_EVERSION, JNI_OK},
                                         std::pair<jint, jint>{JNI_ERR, JNI_OK}}) {
        ScriptedVm vm;
        vm.getEnvResult = getEnv;
        vm.attachResult = attach;
        {
            JavaDelivery delivery(&vm.vm);
            EXPECT_FALSE(delivery);
            EXPECT_EQ(delivery.env(), nullptr);
            EXPECT_FALSE(delivery.callVoid(someTarget(), someMethod(), 3));
            EXPECT_FALSE(delivery.describePendingException());
        }
        const std::vector<std::string> expected =
            getEnv == JNI_EDETACHED ? std::vector<std::string>{kGetEnv, "Attach"} : std::vector<std::string>{kGetEnv};
        EXPECT_EQ(vm.calls, expected) << "GetEnv " << getEnv << ", attach " << attach;
    }
}

TEST(CallbackChannel, ANullVmTargetOrMethodSkipsTheCall) {
    {
        JavaDelivery noVm(nullptr);
        EXPECT_FALSE(noVm);
        EXPECT_FALSE(noVm.callVoid(someTarget(), someMethod(), 1));
    }
    ScriptedVm vm;
    {
        JavaDelivery delivery(&vm.vm);
        EXPECT_FALSE(delivery.callVoid(nullptr, someMethod(), 1));
        EXPECT_FALSE(delivery.callVoid(someTarget(), nullptr, 1));
    }
    EXPECT_EQ(vm.calls, (std::vector<std::string>{kGetEnv, "ExceptionCheck", "Detach"}))
        << "an already attached thread is detached at the end too";
}

template <typename Array>
Array recordNewArray(JNIEnv* env, const char* kind, jsize length) {
    ScriptedVm::of(env).calls.push_back(std::string("New") + kind + " " + std::to_string(length));
    return reinterpret_cast<Array>(0x30);
}

void recordFill(JNIEnv* env, const char* kind, jsize start, jsize length) {
    ScriptedVm::of(env).calls.push_back(std::string("Set") + kind + " " + std::to_string(start) + " " +
                                        std::to_string(length));
}

TEST(JavaArrays, EachElementTypeMakesItsOwnArrayKindAndFillsItWhole) {
    ScriptedVm vm;
    vm.native.NewByteArray = [](JNIEnv* e, jsize n) { return recordNewArray<jbyteArray>(e, "Byte", n); };
    vm.native.NewBooleanArray = [](JNIEnv* e, jsize n) { return recordNewArray<jbooleanArray>(e, "Boolean", n); };
    vm.native.NewShortArray = [](JNIEnv* e, jsize n) { return recordNewArray<jshortArray>(e, "Short", n); };
    vm.native.NewIntArray = [](JNIEnv* e, jsize n) { return recordNewArray<jintArray>(e, "Int", n); };
    vm.native.NewFloatArray = [](JNIEnv* e, jsize n) { return recordNewArray<jfloatArray>(e, "Float", n); };
    vm.native.SetByteArrayRegion = [](JNIEnv* e, jbyteArray, jsize s, jsize n, const jbyte*) {
        recordFill(e, "Byte", s, n);
    };
    vm.native.SetBooleanArrayRegion = [](JNIEnv* e, jbooleanArray, jsize s, jsize n, const jboolean*) {
        recordFill(e, "Boolean", s, n);
    };
    vm.native.SetShortArrayRegion = [](JNIEnv* e, jshortArray, jsize s, jsize n, const jshort*) {
        recordFill(e, "Short", s, n);
    };
    vm.native.SetIntArrayRegion = [](JNIEnv* e, jintArray, jsize s, jsize n, const jint*) {
        recordFill(e, "Int", s, n);
    };
    vm.native.SetFloatArrayRegion = [](JNIEnv* e, jfloatArray, jsize s, jsize n, const jfloat*) {
        recordFill(e, "Float", s, n);
    };
    const std::uint8_t bytes[5]{};
    const jboolean flags[2]{};
    const std::uint16_t samples[3]{};
    const std::int32_t words[4]{};
    const jfloat points[6]{};
    EXPECT_NE(newJavaByteArray(&vm.env, bytes, 5), nullptr);
    EXPECT_NE(newJavaArray(&vm.env, flags, 2), nullptr);
    EXPECT_NE(newJavaShortArray(&vm.env, samples, 3), nullptr);
    EXPECT_NE(newJavaIntArray(&vm.env, words, 4), nullptr);
    EXPECT_NE(newJavaArray(&vm.env, points, 6), nullptr);
    EXPECT_NE(newJavaArray(&vm.env, points, 0), nullptr) << "an empty array is made, with nothing to copy";
    EXPECT_EQ(newJavaArray(&vm.env, points, -1), nullptr) << "a negative length makes nothing";
    EXPECT_EQ(vm.calls, (std::vector<std::string>{"NewByte 5", "SetByte 0 5", "NewBoolean 2", "SetBoolean 0 2",
                                                  "NewShort 3", "SetShort 0 3", "NewInt 4", "SetInt 0 4", "NewFloat 6",
                                                  "SetFloat 0 6", "NewFloat 0"}));
}

}  // namespace
}  // namespace plexa
