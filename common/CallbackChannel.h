// The road from an event thread to Java: one delivery is one attachment to
// the VM. Entering asks the VM for this thread's environment (JNI 1.6) and
// attaches the thread when it is detached; leaving checks for a pending Java
// exception, prints and clears it, and detaches, always. Between deliveries
// the event thread is not attached, so the local references of a delivery
// (its arrays) are released by the detach that ends it.
#pragma once

#include "NotCopyable.h"

#include <jni.h>

namespace plexa {

class JavaDelivery : NotCopyable {
public:
    explicit JavaDelivery(JavaVM* vm);
    ~JavaDelivery();

    // Null when the VM gave this thread no environment; the delivery is then
    // skipped and nothing else is asked of the VM.
    JNIEnv* env() const { return env_; }
    explicit operator bool() const { return env_ != nullptr; }

    // Calls a void instance method. A missing environment, target or method
    // skips the call; an exception it throws is printed and cleared, so the
    // delivery can go on. Returns true when the call was made and returned
    // without an exception.
    bool callVoid(jobject target, jmethodID method, ...);

    // Prints and clears a pending exception; true when there was one.
    bool describePendingException();

private:
    JavaVM* vm_;
    JNIEnv* env_ = nullptr;
};

}  // namespace plexa
