// A Java VM reduced to what the bridges ask of one: the real JNI function
// tables of <jni.h>, with the functions the bridges call implemented over
// fake objects and every other slot aborting with its name. It is strict
// where a real VM with -Xcheck:jni is: a call from a thread that is not
// attached, with somebody else's JNIEnv, with a Java exception pending, on a
// reference that is not live or of the wrong kind, is recorded as a
// violation, which the tests require to stay empty.
//
// The thread that constructs the VM plays Java's main thread: attached for
// good, it is the one that calls the bridges' entry points. Every other
// thread must attach; the local references it makes die with its detach (or
// the local frame they were made in).
#pragma once

#include "FakeObjects.h"

#include <jni.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace plexa::e2e {

class FakeJvm;
struct ThreadState;

// The JNIEnv of one thread, and the way back from it to the VM.
struct EnvHandle {
    JNIEnv env;
    FakeJvm* vm;
    ThreadState* thread;
};

struct VmHandle {
    JavaVM vm;
    FakeJvm* owner;
};

struct ThreadState {
    EnvHandle handle{};
    std::thread::id id;
    bool attached = false;
    bool isMain = false;
    std::string pendingException;  // class name, "" when none
    std::vector<FakeObject*> locals;
    std::vector<std::size_t> frameMarks;  // locals.size() at each PushLocalFrame
    int criticalArraysHeld = 0;            // GetPrimitiveArrayCritical without its release
};

class FakeJvm {
public:
    FakeJvm();
    ~FakeJvm();
    FakeJvm(const FakeJvm&) = delete;
    FakeJvm& operator=(const FakeJvm&) = delete;

    // The main thread's environment, and the VM.
    JNIEnv* env() { return &main_->handle.env; }
    JavaVM* vm() { return &vm_.vm; }

    // Objects made by the program itself (not through JNI); they live as
    // long as the VM.
    jclass defineClass(const std::string& name, const std::vector<FakeMethod>& methods);
    jobject newInstance(jclass type);
    jstring newString(const std::string& text);
    const CallRecorder& callsOn(jobject instance);

    // The main thread's pending exception ("" when none), which this clears.
    std::string takePendingException();

    struct Balance {
        int attaches = 0;
        int detaches = 0;
        int attachedNow = 0;         // threads other than main
        std::size_t liveLocals = 0;  // local references of threads other than main
        int describedExceptions = 0;
        int outstandingStrings = 0;  // GetStringUTFChars without its release
        int outstandingCriticalArrays = 0;  // GetPrimitiveArrayCritical without its release
    };
    Balance balance() const;
    std::vector<std::string> violations() const;

    // ---- for the function tables ----
    static FakeJvm& of(JNIEnv* env) { return *reinterpret_cast<EnvHandle*>(env)->vm; }
    static FakeJvm& of(JavaVM* vm) { return *reinterpret_cast<VmHandle*>(vm)->owner; }

    // A JNI function's hold on the VM: the lock, and the calling thread's
    // state once checked against `env`. Null `thread()` means the call must
    // not go on (a violation is recorded).
    class Call {
    public:
        Call(FakeJvm& vm, JNIEnv* env, const char* function, bool allowedWithException);
        FakeJvm& vm() { return vm_; }
        ThreadState* thread() { return thread_; }
        const char* function() const { return function_; }

    private:
        FakeJvm& vm_;
        std::unique_lock<std::mutex> lock_;
        const char* function_;
        ThreadState* thread_ = nullptr;
    };

    // These expect the VM lock held (inside a Call).
    FakeObject* resolve(jobject reference, const char* function);
    template <typename T>
    T* resolveAs(jobject reference, ObjectKind kind, const char* function) {
        FakeObject* object = resolve(reference, function);
        if (object == nullptr) return nullptr;
        if (object->kind != kind) {
            violationLocked(std::string(function) + ": reference of the wrong kind");
            return nullptr;
        }
        return static_cast<T*>(object);
    }
    jobject addLocal(ThreadState& thread, std::unique_ptr<FakeObject> object);
    void deleteLocal(ThreadState& thread, jobject reference);
    // Frees the thread's locals made since `mark`; `keep`, when among them,
    // moves to the frame below instead.
    void freeLocalsFrom(ThreadState& thread, std::size_t mark, jobject keep);
    void throwException(ThreadState& thread, const std::string& exceptionClass);
    void violationLocked(const std::string& what);
    const FakeClass* findClassLocked(const char* name) const;

    ThreadState* threadForCurrentLocked();  // null when the thread never attached
    ThreadState& attachCurrentLocked();
    void detachLocked(ThreadState& thread);
    std::mutex& mutex() { return mutex_; }

    void addGlobalLocked(FakeObject* object) { ++globalRefs_[object]; }
    void removeGlobalLocked(FakeObject* object);
    void stringHandedOut() { ++balance_.outstandingStrings; }
    void stringReleased() { --balance_.outstandingStrings; }
    void criticalArrayHandedOut(ThreadState& thread) {
        ++thread.criticalArraysHeld;
        ++balance_.outstandingCriticalArrays;
    }
    void criticalArrayReleased(ThreadState& thread) {
        --thread.criticalArraysHeld;
        --balance_.outstandingCriticalArrays;
    }
    void exceptionDescribed() { ++balance_.describedExceptions; }

private:
    FakeObject* keepLocked(std::unique_ptr<FakeObject> object);
    void eraseLocked(FakeObject* object);

    mutable std::mutex mutex_;
    JNINativeInterface_ nativeTable_{};
    JNIInvokeInterface_ invokeTable_{};
    VmHandle vm_{};
    std::map<std::thread::id, std::unique_ptr<ThreadState>> threads_;
    ThreadState* main_ = nullptr;
    std::unordered_map<const FakeObject*, std::unique_ptr<FakeObject>> objects_;
    std::unordered_map<const FakeObject*, int> globalRefs_;
    std::vector<const FakeClass*> classes_;
    Balance balance_;
    std::vector<std::string> violations_;
};

// The table filling, one file each.
void installNativeFunctions(JNINativeInterface_& table);
void installInvokeFunctions(JNIInvokeInterface_& table);
void fillWithUnexpectedCalls(JNINativeInterface_& table);
void fillWithUnexpectedCalls(JNIInvokeInterface_& table);

}  // namespace plexa::e2e
