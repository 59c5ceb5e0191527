// The callback channel against a scripted VM: which invocation and JNI
// functions one delivery calls, in which order, and what it skips when the VM
// gives the thread no environment.
#include "CallbackChannel.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace plexa
