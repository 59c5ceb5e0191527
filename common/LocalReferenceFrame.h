// Local references made inside a frame of their own, given back as a whole
// when this object ends.
#pragma once

#include "NotCopyable.h"

#include <jni.h>

namespace plexa {

class LocalReferenceFrame : NotCopyable {
public:
    LocalReferenceFrame(JNIEnv* env, jint capacity) : env_(env), pushed_(env->PushLocalFrame(capacity) == JNI_OK) {}
    ~LocalReferenceFrame() {
        if (pushed_) env_->PopLocalFrame(nullptr);
    }
    explicit operator bool() const { return pushed_; }

private:
    JNIEnv* env_;
    bool pushed_;
};

}  // namespace plexa
