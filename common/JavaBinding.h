// A session's binding to Java: the VM, the callback target (held by a global
// reference while frames can reach it) and the target's callback methods.
#pragma once

#include "JavaGlobalReference.h"

#include <jni.h>

#include <array>
#include <cstddef>

namespace plexa {

struct JavaMethodSpec {
    const char* name;
    const char* signature;
};

class JavaBinding {
public:
    static constexpr std::size_t kMaxMethods = 8;

    // Holds `target` (a null target binds none: frames are then fetched and
    // counted, and no callback is made) and looks up, in `cls`, the methods
    // of `specs` that `wanted` marks (all of them when it is null). The first
    // one missing ends the look-ups with its NoSuchMethodError pending for the
    // Java caller, so no JNI call follows it; false then.
    bool bind(JNIEnv* env, jclass cls, jobject target, const JavaMethodSpec* specs, std::size_t count,
              const bool* wanted = nullptr) {
        target_.hold(env, target);
        for (std::size_t i = 0; i < count && i < kMaxMethods; ++i) {
            if (wanted != nullptr && !wanted[i]) continue;
            methods_[i] = env->GetMethodID(cls, specs[i].name, specs[i].signature);
            if (methods_[i] == nullptr) return false;
        }
        return true;
    }

    JavaVM* vm() const { return target_.vm(); }
    jobject target() const { return target_.get(); }
    jmethodID method(std::size_t index) const { return index < kMaxMethods ? methods_[index] : nullptr; }
    // True when a call of the method can reach a target.
    bool reaches(std::size_t index) const { return target() != nullptr && method(index) != nullptr; }

    // Lets the target go; from any thread.
    void release() { target_.reset(); }

private:
    GlobalReference target_;
    std::array<jmethodID, kMaxMethods> methods_{};
};

}  // namespace plexa
