// Fresh Java arrays filled in one region copy. A VM that cannot create an
// array (out of memory) leaves an exception pending: it is printed and
// cleared, and the result is null, so the caller skips its Java call instead
// of copying into nothing.
#pragma once

#include <jni.h>

#include <cstdint>
#include <utility>

namespace plexa {

// The VM's two calls for one element type: the one that makes an array and
// the one that fills it.
template <auto Make, auto Fill>
struct JavaArrayCalls {
    using Array = decltype((std::declval<JNIEnv&>().*Make)(0));
    static Array make(JNIEnv* env, jsize n) { return (env->*Make)(n); }
    template <typename Element>
    static void fill(JNIEnv* env, Array a, jsize n, const Element* d) {
        (env->*Fill)(a, 0, n, d);
    }
};

template <typename Element>
struct JavaArrayTraits;
template <>
struct JavaArrayTraits<jbyte> : JavaArrayCalls<&JNIEnv::NewByteArray, &JNIEnv::SetByteArrayRegion> {};
template <>
struct JavaArrayTraits<jboolean> : JavaArrayCalls<&JNIEnv::NewBooleanArray, &JNIEnv::SetBooleanArrayRegion> {};
template <>
struct JavaArrayTraits<jshort> : JavaArrayCalls<&JNIEnv::NewShortArray, &JNIEnv::SetShortArrayRegion> {};
template <>
struct JavaArrayTraits<jint> : JavaArrayCalls<&JNIEnv::NewIntArray, &JNIEnv::SetIntArrayRegion> {};
template <>
struct JavaArrayTraits<jfloat> : JavaArrayCalls<&JNIEnv::NewFloatArray, &JNIEnv::SetFloatArrayRegion> {};

// A new Java array of `length` elements copied from `data` (which may be null
// only when length is 0). Null when the array cannot be created.
template <typename Element>
typename JavaArrayTraits<Element>::Array newJavaArray(JNIEnv* env, const Element* data, jsize length) {
    using Traits = JavaArrayTraits<Element>;
    if (length < 0) return nullptr;
    typename Traits::Array array = Traits::make(env, length);
    if (array == nullptr) {
        if (env->ExceptionCheck()) {
            env->ExceptionDescribe();
            env->ExceptionClear();
        }
        return nullptr;
    }
    if (length > 0 && data != nullptr) Traits::fill(env, array, length, data);
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
