// Deleting a global reference from any thread of the process.
#pragma once

#include <jni.h>

namespace plexa {

// Deletes the reference and clears it. A thread that is not attached to the
// VM (an event thread between deliveries) is attached for the deletion only;
// one the VM refuses to attach leaves the reference behind rather than crash.
// Nothing happens for a null reference or VM.
inline void deleteGlobalReference(JavaVM* vm, jobject& reference) {
    if (reference == nullptr || vm == nullptr) return;
    const jobject doomed = reference;
    reference = nullptr;
    void* env = nullptr;
    const jint status = vm->GetEnv(&env, JNI_VERSION_1_6);
    if (status == JNI_OK) {
        static_cast<JNIEnv*>(env)->DeleteGlobalRef(doomed);
        return;
    }
    if (status != JNI_EDETACHED || vm->AttachCurrentThread(&env, nullptr) != JNI_OK) return;
    static_cast<JNIEnv*>(env)->DeleteGlobalRef(doomed);
    vm->DetachCurrentThread();
}

}  // namespace plexa
