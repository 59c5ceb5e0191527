// The JavaVM functions the bridges call: a thread asks for its environment,
// attaches when it has none, and detaches when its delivery is over.
#include "FakeJvm.h"

namespace plexa::e2e {
namespace {

jint JNICALL getEnv(JavaVM* vm, void** env, jint version) {
    FakeJvm& owner = FakeJvm::of(vm);
    std::lock_guard<std::mutex> lock(owner.mutex());
    if (env == nullptr) return JNI_ERR;
    *env = nullptr;
    if (version < JNI_VERSION_1_1 || version > JNI_VERSION_1_8) return JNI_EVERSION;
    ThreadState* thread = owner.threadForCurrentLocked();
    if (thread == nullptr || !thread->attached) return JNI_EDETACHED;
    *env = &thread->handle.env;
    return JNI_OK;
}

jint JNICALL attachCurrentThread(JavaVM* vm, void** env, void*) {
    FakeJvm& owner = FakeJvm::of(vm);
    std::lock_guard<std::mutex> lock(owner.mutex());
    if (env == nullptr) return JNI_ERR;
    // Attaching an attached thread only hands its environment back.
    *env = &owner.attachCurrentLocked().handle.env;
    return JNI_OK;
}

jint JNICALL detachCurrentThread(JavaVM* vm) {
    FakeJvm& owner = FakeJvm::of(vm);
    std::lock_guard<std::mutex> lock(owner.mutex());
    ThreadState* thread = owner.threadForCurrentLocked();
    if (thread == nullptr || !thread->attached) return JNI_OK;
    if (thread->isMain) {
        // Java's own thread, which is inside a native method: a real VM refuses.
        owner.violationLocked("DetachCurrentThread on the thread that runs Java");
        return JNI_ERR;
    }
    owner.detachLocked(*thread);
    return JNI_OK;
}

}  // namespace

void installInvokeFunctions(JNIInvokeInterface_& table) {
    table.GetEnv = getEnv;
    table.AttachCurrentThread = attachCurrentThread;
    table.DetachCurrentThread = detachCurrentThread;
}

}  // namespace plexa::e2e
