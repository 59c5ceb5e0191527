// The JNIEnv functions the bridges call, over the fake VM's objects. Each
// one runs under the VM's lock, after the checks of FakeJvm::Call. Failures
// a real VM reports with an exception (a missing method, an index out of
// bounds) leave that exception pending in the same way.
#include "FakeJvm.h"

#include <cstdarg>
#include <cstring>
#include <iostream>

namespace plexa::e2e {
namespace {

constexpr bool kAllowedWithException = true;
constexpr bool kNeedsNoException = false;

// One argument as the caller passed it, before a reference is copied.
struct RawArgument {
    double number = 0;
    jobject reference = nullptr;
};

// The kinds of a method's parameters: the primitive letters, L for every
// reference (arrays included).
std::vector<char> parameterKinds(const std::string& signature) {
    std::vector<char> kinds;
    for (std::size_t i = 1; i < signature.size() && signature[i] != ')'; ++i) {
        char c = signature[i];
        if (c == '[') {
            while (i < signature.size() && signature[i] == '[') ++i;
            c = 'L';
            if (i < signature.size() && signature[i] == 'L') i = signature.find(';', i);
        } else if (c == 'L') {
            i = signature.find(';', i);
        }
        if (i == std::string::npos) break;
        kinds.push_back(c);
    }
    return kinds;
}

Value copyReference(FakeJvm& vm, jobject reference, const char* function) {
    Value value;
    if (reference == nullptr) return value;
    FakeObject* object = vm.resolve(reference, function);
    if (object == nullptr) return value;
    value.isNull = false;
    if (object->kind == ObjectKind::Array) {
        const auto& array = *static_cast<const FakeArray*>(object);
        value.elementType = array.elementType;
        value.length = array.length;
        value.bytes = array.bytes;
        for (jobject element : array.elements) value.elements.push_back(copyReference(vm, element, function));
    }
    return value;
}

template <typename Reader>
void callVoid(JNIEnv* env, jobject target, jmethodID methodId, const char* function, Reader read) {
    FakeJvm::Call call(FakeJvm::of(env), env, function, kNeedsNoException);
    if (call.thread() == nullptr) return;
    FakeJvm& vm = call.vm();
    auto* instance = vm.resolveAs<FakeInstance>(target, ObjectKind::Instance, function);
    if (instance == nullptr) return;
    const auto* method = reinterpret_cast<const FakeMethod*>(methodId);
    if (method == nullptr || !instance->type.owns(method)) {
        vm.violationLocked(std::string(function) + ": method ID not of the target's class");
        return;
    }
    if (method->signature.size() < 2 || method->signature.compare(method->signature.size() - 2, 2, ")V") != 0) {
        vm.violationLocked(std::string(function) + " on " + method->name + ", which does not return void");
        return;
    }
    RecordedCall record{method->name, {}};
    for (char kind : parameterKinds(method->signature)) {
        const RawArgument raw = read(kind);
        if (kind == 'L') {
            record.arguments.push_back(copyReference(vm, raw.reference, function));
        } else {
            Value number;
            number.isNull = false;
            number.number = raw.number;
            record.arguments.push_back(number);
        }
    }
    instance->calls.record(std::move(record));
}

// Variadic arguments after C's promotions.
RawArgument readVariadic(va_list& arguments, char kind) {
    RawArgument raw;
    switch (kind) {
        case 'J':
            raw.number = static_cast<double>(va_arg(arguments, jlong));
            break;
        case 'F':
        case 'D':
            raw.number = va_arg(arguments, double);
            break;
        case 'L':
            raw.reference = va_arg(arguments, jobject);
            break;
        default:  // Z, B, C, S, I
            raw.number = va_arg(arguments, int);
            break;
    }
    return raw;
}

RawArgument readValue(const jvalue& value, char kind) {
    RawArgument raw;
    switch (kind) {
        case 'Z': raw.number = value.z; break;
        case 'B': raw.number = value.b; break;
        case 'C': raw.number = value.c; break;
        case 'S': raw.number = value.s; break;
        case 'I': raw.number = value.i; break;
        case 'J': raw.number = static_cast<double>(value.j); break;
        case 'F': raw.number = value.f; break;
        case 'D': raw.number = value.d; break;
        default: raw.reference = value.l; break;
    }
    return raw;
}

void JNICALL callVoidMethodV(JNIEnv* env, jobject target, jmethodID method, va_list arguments) {
    va_list copy;
    va_copy(copy, arguments);
    callVoid(env, target, method, "CallVoidMethodV", [&copy](char kind) { return readVariadic(copy, kind); });
    va_end(copy);
}

void JNICALL callVoidMethod(JNIEnv* env, jobject target, jmethodID method, ...) {
    va_list arguments;
    va_start(arguments, method);
    callVoid(env, target, method, "CallVoidMethod", [&arguments](char kind) { return readVariadic(arguments, kind); });
    va_end(arguments);
}

void JNICALL callVoidMethodA(JNIEnv* env, jobject target, jmethodID method, const jvalue* arguments) {
    std::size_t next = 0;
    callVoid(env, target, method, "CallVoidMethodA",
             [&](char kind) { return readValue(arguments[next++], kind); });
}

jint JNICALL getJavaVM(JNIEnv* env, JavaVM** out) {
    FakeJvm::Call call(FakeJvm::of(env), env, "GetJavaVM", kNeedsNoException);
    if (call.thread() == nullptr || out == nullptr) return JNI_ERR;
    *out = call.vm().vm();
    return JNI_OK;
}

jobject JNICALL newGlobalRef(JNIEnv* env, jobject reference) {
    FakeJvm::Call call(FakeJvm::of(env), env, "NewGlobalRef", kNeedsNoException);
    if (call.thread() == nullptr || reference == nullptr) return nullptr;
    FakeObject* object = call.vm().resolve(reference, call.function());
    if (object == nullptr) return nullptr;
    call.vm().addGlobalLocked(object);
    return reference;
}

void JNICALL deleteGlobalRef(JNIEnv* env, jobject reference) {
    FakeJvm::Call call(FakeJvm::of(env), env, "DeleteGlobalRef", kAllowedWithException);
    if (call.thread() == nullptr || reference == nullptr) return;
    if (FakeObject* object = call.vm().resolve(reference, call.function())) call.vm().removeGlobalLocked(object);
}

void JNICALL deleteLocalRef(JNIEnv* env, jobject reference) {
    FakeJvm::Call call(FakeJvm::of(env), env, "DeleteLocalRef", kAllowedWithException);
    if (call.thread() == nullptr || reference == nullptr) return;
    call.vm().deleteLocal(*call.thread(), reference);
}

jclass JNICALL getObjectClass(JNIEnv* env, jobject reference) {
    FakeJvm::Call call(FakeJvm::of(env), env, "GetObjectClass", kNeedsNoException);
    if (call.thread() == nullptr) return nullptr;
    auto* instance = call.vm().resolveAs<FakeInstance>(reference, ObjectKind::Instance, call.function());
    if (instance == nullptr) return nullptr;
    return reinterpret_cast<jclass>(const_cast<FakeObject*>(static_cast<const FakeObject*>(&instance->type)));
}

jmethodID JNICALL getMethodID(JNIEnv* env, jclass type, const char* name, const char* signature) {
    FakeJvm::Call call(FakeJvm::of(env), env, "GetMethodID", kNeedsNoException);
    if (call.thread() == nullptr) return nullptr;
    auto* owner = call.vm().resolveAs<FakeClass>(type, ObjectKind::Class, call.function());
    if (owner == nullptr || name == nullptr || signature == nullptr) return nullptr;
    const FakeMethod* method = owner->find(name, signature);
    if (method == nullptr) {
        call.vm().throwException(*call.thread(), "java.lang.NoSuchMethodError");
        return nullptr;
    }
    return reinterpret_cast<jmethodID>(const_cast<FakeMethod*>(method));
}

jclass JNICALL findClass(JNIEnv* env, const char* name) {
    FakeJvm::Call call(FakeJvm::of(env), env, "FindClass", kNeedsNoException);
    if (call.thread() == nullptr) return nullptr;
    const FakeClass* found = name == nullptr ? nullptr : call.vm().findClassLocked(name);
    if (found == nullptr) {
        call.vm().throwException(*call.thread(), "java.lang.NoClassDefFoundError");
        return nullptr;
    }
    return reinterpret_cast<jclass>(const_cast<FakeObject*>(static_cast<const FakeObject*>(found)));
}

jboolean JNICALL exceptionCheck(JNIEnv* env) {
    FakeJvm::Call call(FakeJvm::of(env), env, "ExceptionCheck", kAllowedWithException);
    return call.thread() != nullptr && !call.thread()->pendingException.empty() ? JNI_TRUE : JNI_FALSE;
}

void JNICALL exceptionDescribe(JNIEnv* env) {
    FakeJvm::Call call(FakeJvm::of(env), env, "ExceptionDescribe", kAllowedWithException);
    if (call.thread() == nullptr || call.thread()->pendingException.empty()) return;
    std::cerr << "Exception in a native delivery: " << call.thread()->pendingException << std::endl;
    // As in a real VM, describing clears.
    call.thread()->pendingException.clear();
    call.vm().exceptionDescribed();
}

void JNICALL exceptionClear(JNIEnv* env) {
    FakeJvm::Call call(FakeJvm::of(env), env, "ExceptionClear", kAllowedWithException);
    if (call.thread() != nullptr) call.thread()->pendingException.clear();
}

jint JNICALL pushLocalFrame(JNIEnv* env, jint capacity) {
    FakeJvm::Call call(FakeJvm::of(env), env, "PushLocalFrame", kAllowedWithException);
    if (call.thread() == nullptr) return JNI_ERR;
    if (capacity < 0) {
        call.vm().violationLocked("PushLocalFrame with a negative capacity");
        return JNI_ERR;
    }
    call.thread()->frameMarks.push_back(call.thread()->locals.size());
    return JNI_OK;
}

jobject JNICALL popLocalFrame(JNIEnv* env, jobject result) {
    FakeJvm::Call call(FakeJvm::of(env), env, "PopLocalFrame", kAllowedWithException);
    if (call.thread() == nullptr) return nullptr;
    ThreadState& thread = *call.thread();
    if (thread.frameMarks.empty()) {
        call.vm().violationLocked("PopLocalFrame without a pushed frame");
        return nullptr;
    }
    const std::size_t mark = thread.frameMarks.back();
    thread.frameMarks.pop_back();
    call.vm().freeLocalsFrom(thread, mark, result);
    return result;
}

template <char Type>
jobject newPrimitiveArray(JNIEnv* env, jsize length, const char* function) {
    FakeJvm::Call call(FakeJvm::of(env), env, function, kNeedsNoException);
    if (call.thread() == nullptr) return nullptr;
    if (length < 0) {
        call.vm().throwException(*call.thread(), "java.lang.NegativeArraySizeException");
        return nullptr;
    }
    return call.vm().addLocal(*call.thread(), std::make_unique<FakeArray>(Type, length));
}

template <char Type, typename Element>
void setPrimitiveRegion(JNIEnv* env, jarray target, jsize start, jsize length, const Element* source,
                        const char* function) {
    FakeJvm::Call call(FakeJvm::of(env), env, function, kNeedsNoException);
    if (call.thread() == nullptr) return;
    auto* array = call.vm().resolveAs<FakeArray>(target, ObjectKind::Array, function);
    if (array == nullptr) return;
    if (array->elementType != Type) {
        call.vm().violationLocked(std::string(function) + " on an array of another element type");
        return;
    }
    if (start < 0 || length < 0 || start > array->length - length) {
        call.vm().throwException(*call.thread(), "java.lang.ArrayIndexOutOfBoundsException");
        return;
    }
    if (length > 0) std::memcpy(array->bytes.data() + start * sizeof(Element), source, length * sizeof(Element));
}

jbooleanArray JNICALL newBooleanArray(JNIEnv* env, jsize n) {
    return static_cast<jbooleanArray>(newPrimitiveArray<'Z'>(env, n, "NewBooleanArray"));
}
jbyteArray JNICALL newByteArray(JNIEnv* env, jsize n) {
    return static_cast<jbyteArray>(newPrimitiveArray<'B'>(env, n, "NewByteArray"));
}
jshortArray JNICALL newShortArray(JNIEnv* env, jsize n) {
    return static_cast<jshortArray>(newPrimitiveArray<'S'>(env, n, "NewShortArray"));
}
jintArray JNICALL newIntArray(JNIEnv* env, jsize n) {
    return static_cast<jintArray>(newPrimitiveArray<'I'>(env, n, "NewIntArray"));
}
jfloatArray JNICALL newFloatArray(JNIEnv* env, jsize n) {
    return static_cast<jfloatArray>(newPrimitiveArray<'F'>(env, n, "NewFloatArray"));
}

void JNICALL setBooleanArrayRegion(JNIEnv* env, jbooleanArray a, jsize s, jsize n, const jboolean* d) {
    setPrimitiveRegion<'Z'>(env, a, s, n, d, "SetBooleanArrayRegion");
}
void JNICALL setByteArrayRegion(JNIEnv* env, jbyteArray a, jsize s, jsize n, const jbyte* d) {
    setPrimitiveRegion<'B'>(env, a, s, n, d, "SetByteArrayRegion");
}
void JNICALL setShortArrayRegion(JNIEnv* env, jshortArray a, jsize s, jsize n, const jshort* d) {
    setPrimitiveRegion<'S'>(env, a, s, n, d, "SetShortArrayRegion");
}
void JNICALL setIntArrayRegion(JNIEnv* env, jintArray a, jsize s, jsize n, const jint* d) {
    setPrimitiveRegion<'I'>(env, a, s, n, d, "SetIntArrayRegion");
}
void JNICALL setFloatArrayRegion(JNIEnv* env, jfloatArray a, jsize s, jsize n, const jfloat* d) {
    setPrimitiveRegion<'F'>(env, a, s, n, d, "SetFloatArrayRegion");
}

void* JNICALL getPrimitiveArrayCritical(JNIEnv* env, jarray target, jboolean* isCopy) {
    FakeJvm::Call call(FakeJvm::of(env), env, "GetPrimitiveArrayCritical", kNeedsNoException);
    if (call.thread() == nullptr) return nullptr;
    auto* array = call.vm().resolveAs<FakeArray>(target, ObjectKind::Array, call.function());
    if (array == nullptr) return nullptr;
    if (array->elementType == 'L') {
        call.vm().violationLocked("GetPrimitiveArrayCritical on an object array");
        return nullptr;
    }
    if (isCopy != nullptr) *isCopy = JNI_FALSE;
    call.vm().criticalArrayHandedOut(*call.thread());
    return array->bytes.data();
}

void JNICALL releasePrimitiveArrayCritical(JNIEnv* env, jarray target, void* elements, jint mode) {
    FakeJvm::Call call(FakeJvm::of(env), env, "ReleasePrimitiveArrayCritical", kAllowedWithException);
    if (call.thread() == nullptr) return;
    auto* array = call.vm().resolveAs<FakeArray>(target, ObjectKind::Array, call.function());
    if (array == nullptr) return;
    if (elements != array->bytes.data() || mode != 0 || call.thread()->criticalArraysHeld == 0) {
        call.vm().violationLocked("ReleasePrimitiveArrayCritical that matches no GetPrimitiveArrayCritical");
        return;
    }
    call.vm().criticalArrayReleased(*call.thread());
}

jobjectArray JNICALL newObjectArray(JNIEnv* env, jsize length, jclass elementClass, jobject initial) {
    FakeJvm::Call call(FakeJvm::of(env), env, "NewObjectArray", kNeedsNoException);
    if (call.thread() == nullptr) return nullptr;
    if (call.vm().resolveAs<FakeClass>(elementClass, ObjectKind::Class, call.function()) == nullptr) return nullptr;
    if (initial != nullptr && call.vm().resolve(initial, call.function()) == nullptr) return nullptr;
    if (length < 0) {
        call.vm().throwException(*call.thread(), "java.lang.NegativeArraySizeException");
        return nullptr;
    }
    auto array = std::make_unique<FakeArray>('L', length);
    for (jobject& element : array->elements) element = initial;
    return static_cast<jobjectArray>(call.vm().addLocal(*call.thread(), std::move(array)));
}

void JNICALL setObjectArrayElement(JNIEnv* env, jobjectArray target, jsize index, jobject value) {
    FakeJvm::Call call(FakeJvm::of(env), env, "SetObjectArrayElement", kNeedsNoException);
    if (call.thread() == nullptr) return;
    auto* array = call.vm().resolveAs<FakeArray>(target, ObjectKind::Array, call.function());
    if (array == nullptr) return;
    if (array->elementType != 'L') {
        call.vm().violationLocked("SetObjectArrayElement on a primitive array");
        return;
    }
    if (value != nullptr && call.vm().resolve(value, call.function()) == nullptr) return;
    if (index < 0 || index >= array->length) {
        call.vm().throwException(*call.thread(), "java.lang.ArrayIndexOutOfBoundsException");
        return;
    }
    array->elements[static_cast<std::size_t>(index)] = value;
}

const char* JNICALL getStringUTFChars(JNIEnv* env, jstring text, jboolean* isCopy) {
    FakeJvm::Call call(FakeJvm::of(env), env, "GetStringUTFChars", kNeedsNoException);
    if (call.thread() == nullptr) return nullptr;
    auto* string = call.vm().resolveAs<FakeString>(text, ObjectKind::String, call.function());
    if (string == nullptr) return nullptr;
    char* copy = new char[string->utf8.size() + 1];
    std::memcpy(copy, string->utf8.c_str(), string->utf8.size() + 1);
    if (isCopy != nullptr) *isCopy = JNI_TRUE;
    call.vm().stringHandedOut();
    return copy;
}

void JNICALL releaseStringUTFChars(JNIEnv* env, jstring, const char* chars) {
    FakeJvm::Call call(FakeJvm::of(env), env, "ReleaseStringUTFChars", kAllowedWithException);
    if (call.thread() == nullptr || chars == nullptr) return;
    delete[] chars;
    call.vm().stringReleased();
}

}  // namespace

void installNativeFunctions(JNINativeInterface_& table) {
    table.GetJavaVM = getJavaVM;
    table.NewGlobalRef = newGlobalRef;
    table.DeleteGlobalRef = deleteGlobalRef;
    table.DeleteLocalRef = deleteLocalRef;
    table.GetObjectClass = getObjectClass;
    table.GetMethodID = getMethodID;
    table.FindClass = findClass;
    table.ExceptionCheck = exceptionCheck;
    table.ExceptionDescribe = exceptionDescribe;
    table.ExceptionClear = exceptionClear;
    table.PushLocalFrame = pushLocalFrame;
    table.PopLocalFrame = popLocalFrame;
    table.CallVoidMethod = callVoidMethod;
    table.CallVoidMethodV = callVoidMethodV;
    table.CallVoidMethodA = callVoidMethodA;
    table.NewBooleanArray = newBooleanArray;
    table.NewByteArray = newByteArray;
    table.NewShortArray = newShortArray;
    table.NewIntArray = newIntArray;
    table.NewFloatArray = newFloatArray;
    table.SetBooleanArrayRegion = setBooleanArrayRegion;
    table.SetByteArrayRegion = setByteArrayRegion;
    table.SetShortArrayRegion = setShortArrayRegion;
    table.SetIntArrayRegion = setIntArrayRegion;
    table.SetFloatArrayRegion = setFloatArrayRegion;
    table.GetPrimitiveArrayCritical = getPrimitiveArrayCritical;
    table.ReleasePrimitiveArrayCritical = releasePrimitiveArrayCritical;
    table.NewObjectArray = newObjectArray;
    table.SetObjectArrayElement = setObjectArrayElement;
    table.GetStringUTFChars = getStringUTFChars;
    table.ReleaseStringUTFChars = releaseStringUTFChars;
}

}  // namespace plexa::e2e
