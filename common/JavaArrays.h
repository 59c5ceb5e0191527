// Fresh Java arrays filled in one region copy. A VM that cannot create an
// array (out of memory) leaves an exception pending: it is printed and
// cleared, and the result is null, so the caller skips its Java call instead
// of copying into nothing.
#pragma once

#include <jni.h>

#include <cstdint>

namespace plexa {

// The VM's two calls for each element type: the one that makes an array and
// the one that fills it.
inline jbyteArray makeJavaArray(JNIEnv* env, const jbyte*, jsize n) { return env->NewByteArray(n); }
inline jbooleanArray makeJavaArray(JNIEnv* env, const jboolean*, jsize n) { return env->NewBooleanArray(n); }
inline jshortArray makeJavaArray(JNIEnv* env, const jshort*, jsize n) { return env->NewShortArray(n); }
inline jintArray makeJavaArray(JNIEnv* env, const jint*, jsize n) { return env->NewIntArray(n); }
inline jfloatArray makeJavaArray(JNIEnv* env, const jfloat*, jsize n) { return env->NewFloatArray(n); }
inline void fillJavaArray(JNIEnv* env, jbyteArray a, const jbyte* d, jsize n) { env->SetByteArrayRegion(a, 0, n, d); }
inline void fillJavaArray(JNIEnv* env, jbooleanArray a, const jboolean* d, jsize n) {
    env->SetBooleanArrayRegion(a, 0, n, d);
}
inline void fillJavaArray(JNIEnv* env, jshortArray a, const jshort* d, jsize n) {
    env->SetShortArrayRegion(a, 0, n, d);
}
inline void fillJavaArray(JNIEnv* env, jintArray a, const jint* d, jsize n) { env->SetIntArrayRegion(a, 0, n, d); }
inline void fillJavaArray(JNIEnv* env, jfloatArray a, const jfloat* d, jsize n) {
    env->SetFloatArrayRegion(a, 0, n, d);
}

// A new Java array of `length` elements copied from `data` (which may be null
// only when length is 0). Null when the array cannot be created.
template <typename Element>
auto newJavaArray(JNIEnv* env, const Element* data, jsize length) -> decltype(makeJavaArray(env, data, length)) {
    if (length < 0) return nullptr;
    const auto array = makeJavaArray(env, data, length);
    if (array == nullptr) {
        if (env->ExceptionCheck()) {
            env->ExceptionDescribe();
            env->ExceptionClear();
        }
        return nullptr;
    }
    if (length > 0 && data != nullptr) fillJavaArray(env, array, data, length);
    return array;
}

// Runtime buffers come as unsigned bytes and samples; Java sees them signed.
// (Named apart from newJavaArray: jboolean is an unsigned byte too.)
inline jbyteArray newJavaByteArray(JNIEnv* env, const std::uint8_t* data, jsize length) {
    return newJavaArray(env, reinterpret_cast<const jbyte*>(data), length);
}
inline jshortArray newJavaShortArray(JNIEnv* env, const std::uint16_t* data, jsize length) {
    return newJavaArray(env, reinterpret_cast<const jshort*>(data), length);
}
// jint is a 32-bit int here and a 32-bit long on Windows; the JVM copies the
// bytes, so either spelling of a 32-bit integer serves.
inline jintArray newJavaIntArray(JNIEnv* env, const std::int32_t* data, jsize length) {
    static_assert(sizeof(jint) == sizeof(std::int32_t), "jint is 32 bits");
    return newJavaArray(env, reinterpret_cast<const jint*>(data), length);
}

}  // namespace plexa
