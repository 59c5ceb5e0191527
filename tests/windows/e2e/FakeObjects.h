// What the fake VM's references point to. Every jobject, jclass, jarray and
// jstring the fake environment hands out is the address of a FakeObject that
// the FakeJvm owns; every jmethodID is the address of a FakeMethod inside its
// class. The VM checks a reference against its live objects before it trusts
// one, so a stale or foreign reference is reported, not dereferenced.
#pragma once

#include "RecordedCall.h"

#include <jni.h>

#include <deque>
#include <string>
#include <vector>

namespace plexa::e2e {

enum class ObjectKind { Class, Array, String, Instance };

struct FakeObject {
    explicit FakeObject(ObjectKind objectKind) : kind(objectKind) {}
    virtual ~FakeObject() = default;
    FakeObject(const FakeObject&) = delete;
    FakeObject& operator=(const FakeObject&) = delete;

    const ObjectKind kind;
};

struct FakeMethod {
    std::string name;
    std::string signature;  // JNI form, "(II)V"
};

struct FakeClass : FakeObject {
    FakeClass(std::string className, const std::vector<FakeMethod>& declared)
        : FakeObject(ObjectKind::Class), name(std::move(className)), methods(declared.begin(), declared.end()) {}

    // Null when the class has no method of that name and signature.
    const FakeMethod* find(const char* methodName, const char* signature) const {
        for (const FakeMethod& method : methods) {
            if (method.name == methodName && method.signature == signature) return &method;
        }
        return nullptr;
    }
    bool owns(const FakeMethod* method) const {
        for (const FakeMethod& candidate : methods) {
            if (&candidate == method) return true;
        }
        return false;
    }

    const std::string name;
    // A deque keeps every method at one address: that address is its jmethodID.
    const std::deque<FakeMethod> methods;
};

// A Java array. `elementType` is the element's signature letter: Z, B, S, I,
// F, or L for references.
struct FakeArray : FakeObject {
    FakeArray(char type, jsize count)
        : FakeObject(ObjectKind::Array),
          elementType(type),
          length(count),
          bytes(type == 'L' ? 0 : static_cast<std::size_t>(count) * elementSize(type)),
          elements(type == 'L' ? static_cast<std::size_t>(count) : 0, nullptr) {}

    const char elementType;
    const jsize length;
    std::vector<unsigned char> bytes;  // primitive elements, native byte order
    std::vector<jobject> elements;     // reference elements
};

struct FakeString : FakeObject {
    explicit FakeString(std::string text) : FakeObject(ObjectKind::String), utf8(std::move(text)) {}
    const std::string utf8;
};

// An instance of a class whose methods do nothing but be recorded.
struct FakeInstance : FakeObject {
    explicit FakeInstance(const FakeClass& instanceClass) : FakeObject(ObjectKind::Instance), type(instanceClass) {}
    const FakeClass& type;
    CallRecorder calls;
};

}  // namespace plexa::e2e
