// Sole owner of one global reference, deleted from whatever thread lets it go.
#pragma once

#include "NotCopyable.h"

#include <jni.h>

#include <utility>

namespace plexa {

class GlobalReference : NotCopyable {
public:
    ~GlobalReference() { reset(); }

    // Holds a new global reference to `object` (none for a null object) in
    // place of the one held.
    void hold(JNIEnv* env, jobject object) {
        reset();
        if (env->GetJavaVM(&vm_) != JNI_OK) vm_ = nullptr;
        reference_ = object == nullptr ? nullptr : env->NewGlobalRef(object);
    }

    jobject get() const { return reference_; }
    JavaVM* vm() const { return vm_; }

    // Deletes the reference. A thread that is not attached to the VM (an
    // event thread between deliveries) is attached for the deletion only; one
    // the VM refuses to attach leaves the reference behind rather than crash.
    void reset() {
        const jobject doomed = std::exchange(reference_, nullptr);
        if (doomed == nullptr || vm_ == nullptr) return;
        void* env = nullptr;
        const jint status = vm_->GetEnv(&env, JNI_VERSION_1_6);
        const bool attached = status == JNI_EDETACHED && vm_->AttachCurrentThread(&env, nullptr) == JNI_OK;
        if (status != JNI_OK && !attached) return;
        static_cast<JNIEnv*>(env)->DeleteGlobalRef(doomed);
        if (attached) vm_->DetachCurrentThread();
    }

private:
    JavaVM* vm_ = nullptr;
    jobject reference_ = nullptr;
};

}  // namespace plexa
