// Holds one reference on a runtime object and gives it back with Release
// when the holder is cleared or goes away. Every runtime object the bridge
// takes lives in one of these, so no frame path can forget a Release.
#pragma once

#include "NotCopyable.h"
#include "plexa/platform.h"

#include <utility>

namespace plexa::bridge2 {

template <typename Interface>
class RuntimePtr : NotCopyable {
public:
    ~RuntimePtr() { reset(); }

    Interface* get() const { return object_; }
    Interface* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

    void reset() {
        if (Interface* object = std::exchange(object_, nullptr)) object->Release();
    }

    // Runs a runtime call that hands out a reference through an out
    // parameter. The reference is kept only when the call succeeds: what a
    // failing call wrote is not a reference the bridge owns, so it is neither
    // kept nor released.
    template <typename Call>
    HRESULT receive(Call&& call) {
        reset();
        Interface* received = nullptr;
        const HRESULT result = std::forward<Call>(call)(&received);
        if (SUCCEEDED(result)) object_ = received;
        return result;
    }

private:
    Interface* object_ = nullptr;
};

}  // namespace plexa::bridge2
