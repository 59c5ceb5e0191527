// A real Java VM inside the test process, started through the invocation API
// with -Xcheck:jni (benchmarks start theirs without it, as users run the VM). One VM per process; ctest runs every test
// case in its own process, because the bridges keep process-wide state (sensor table, banner).
#pragma once

#include <jni.h>

#include "wait_until.h"

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

namespace plexa::test {

struct JvmOptions {
    // Jars or folders; empty means the reference classes plus the test fixtures.
    std::vector<std::string> classPath;
    std::vector<std::string> extraOptions;
    // Tests run every JNI call through the VM's checker; benchmarks measure
    // the VM as users run it, without the checker's extra work per call.
    bool checkJni = true;
};

// The VM of a soak: its heap committed and touched from the start, so that
// resident memory grows only with native memory, and a soak's bound on it
// catches a native leak rather than the VM taking more heap as it goes.
JvmOptions soakJvmOptions();

class Jvm {
public:
    // Starts the VM on first call; later calls return the running one (their
    // options must match, since a process can host only one VM).
    static Jvm& start(const JvmOptions& options = {});

    JavaVM* vm() const { return vm_; }
    // The calling thread's environment; attaches the thread when needed.
    JNIEnv* env() const;

    jclass findClass(const char* name) const;        // a global reference; throws when missing
    jobject newObject(const char* className) const;  // a global reference, via the no-argument constructor

private:
    explicit Jvm(JavaVM* vm) : vm_(vm) {}
    JavaVM* vm_;
};

std::string referenceJar();                       // the reference classes Plexa1 and Plexa2
std::string fixturesJar();                        // test subclasses that record what they receive
std::string variantJar(const std::string& name);  // a fixture variant of a reference class
std::string libraryDir();                         // where the bridges and runtimes are built

// The pending Java exception's class name ("" when none, "(unnamed)" when it
// cannot be read); clears it.
std::string takeException(JNIEnv* env);
// The same on the calling thread's environment.
std::string takePendingException();

// Calls a static method of a class by name and signature.
template <typename R, typename... Args>
R callStatic(const char* className, const char* name, const char* signature, Args... args) {
    JNIEnv* env = Jvm::start().env();
    jclass cls = Jvm::start().findClass(className);
    jmethodID method = env->GetStaticMethodID(cls, name, signature);
    if (method == nullptr) {
        takeException(env);
        throw std::runtime_error(std::string("no static method ") + name + signature);
    }
    // Each call is followed by ExceptionCheck, so -Xcheck:jni sees the result
    // checked; a pending exception stays for the test to take.
    if constexpr (std::is_same_v<R, void>) {
        env->CallStaticVoidMethod(cls, method, args...);
        env->ExceptionCheck();
    } else {
        R result{};
        if constexpr (std::is_same_v<R, jboolean>) {
            result = env->CallStaticBooleanMethod(cls, method, args...);
        } else if constexpr (std::is_same_v<R, jint>) {
            result = env->CallStaticIntMethod(cls, method, args...);
        } else if constexpr (std::is_same_v<R, jlong>) {
            result = env->CallStaticLongMethod(cls, method, args...);
        } else {
            static_assert(std::is_convertible_v<R, jobject>, "unsupported result type");
            result = static_cast<R>(env->CallStaticObjectMethod(cls, method, args...));
        }
        env->ExceptionCheck();
        return result;
    }
}

// Calls an instance method by name and signature.
template <typename R, typename... Args>
R callMethod(jobject target, const char* name, const char* signature, Args... args) {
    JNIEnv* env = Jvm::start().env();
    jclass cls = env->GetObjectClass(target);
    jmethodID method = env->GetMethodID(cls, name, signature);
    env->DeleteLocalRef(cls);
    if (method == nullptr) {
        takeException(env);
        throw std::runtime_error(std::string("no method ") + name + signature);
    }
    if constexpr (std::is_same_v<R, void>) {
        env->CallVoidMethod(target, method, args...);
        env->ExceptionCheck();
    } else {
        R result{};
        if constexpr (std::is_same_v<R, jboolean>) {
            result = env->CallBooleanMethod(target, method, args...);
        } else if constexpr (std::is_same_v<R, jint>) {
            result = env->CallIntMethod(target, method, args...);
        } else if constexpr (std::is_same_v<R, jlong>) {
            result = env->CallLongMethod(target, method, args...);
        } else {
            static_assert(std::is_convertible_v<R, jobject>, "unsupported result type");
            result = static_cast<R>(env->CallObjectMethod(target, method, args...));
        }
        env->ExceptionCheck();
        return result;
    }
}

}  // namespace plexa::test
