// The elements of a primitive Java array, written in place: held from
// GetPrimitiveArrayCritical until this object ends, then released with the
// changes kept (mode 0). While it is held the thread makes no JNI call and
// does not wait on anything: the VM may hold back its garbage collector, so a
// holder computes into the elements and lets them go.
#pragma once

#include "NotCopyable.h"

#include <jni.h>

namespace plexa {

template <typename Element>
class JavaCriticalArray : NotCopyable {
public:
    JavaCriticalArray(JNIEnv* env, jarray array)
        : env_(env), array_(array), elements_(static_cast<Element*>(env->GetPrimitiveArrayCritical(array, nullptr))) {}
    ~JavaCriticalArray() {
        if (elements_ != nullptr) env_->ReleasePrimitiveArrayCritical(array_, elements_, 0);
    }

    // Null when the VM could not give the elements (an exception is then
    // pending, to be taken once this object has ended).
    Element* elements() const { return elements_; }

private:
    JNIEnv* env_;
    jarray array_;
    Element* elements_;
};

// A new float[] of `length` whose elements `fill(float*)` writes in place (it
// makes no JNI call). Null, the VM's exception described and cleared, when
// the VM cannot create the array or give its elements.
template <typename Fill>
jfloatArray newFloatArrayFilledInPlace(JNIEnv* env, jsize length, Fill&& fill) {
    jfloatArray array = env->NewFloatArray(length);
    if (array != nullptr) {
        if (length == 0) return array;  // nothing to write
        const JavaCriticalArray<jfloat> elements(env, array);
        if (elements.elements() != nullptr) {
            fill(elements.elements());
            return array;
        }
    }
    if (env->ExceptionCheck()) {
        env->ExceptionDescribe();
        env->ExceptionClear();
    }
    if (array != nullptr) env->DeleteLocalRef(array);
    return nullptr;
}

}  // namespace plexa
