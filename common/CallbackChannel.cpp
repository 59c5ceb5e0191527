#include "CallbackChannel.h"

#include <cstdarg>

namespace plexa {

JavaDelivery::JavaDelivery(JavaVM* vm) : vm_(vm) {
    if (vm_ == nullptr) return;
    void* env = nullptr;
    const jint status = vm_->GetEnv(&env, JNI_VERSION_1_6);
    if (status == JNI_OK || (status == JNI_EDETACHED && vm_->AttachCurrentThread(&env, nullptr) == JNI_OK)) {
        env_ = static_cast<JNIEnv*>(env);
    }
}

JavaDelivery::~JavaDelivery() {
    if (env_ == nullptr) return;
    describePendingException();
    vm_->DetachCurrentThread();
}

bool JavaDelivery::callVoid(jobject target, jmethodID method, ...) {
    if (env_ == nullptr || target == nullptr || method == nullptr) return false;
    // Never call into the VM with an exception pending.
    describePendingException();
    va_list arguments;
    va_start(arguments, method);
    env_->CallVoidMethodV(target, method, arguments);
    va_end(arguments);
    return !describePendingException();
}

bool JavaDelivery::describePendingException() {
    if (env_ == nullptr || !env_->ExceptionCheck()) return false;
    env_->ExceptionDescribe();
    env_->ExceptionClear();
    return true;
}

}  // namespace plexa
