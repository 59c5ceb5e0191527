// Sole owner of one kernel handle (an event or a thread): closed when the
// owner ends or takes another, so no path out of a start-up or a stop can leak
// one or close one twice.
#pragma once

#include "plexa/platform.h"

#include <utility>

namespace plexa {

class HandleOwner {
public:
    HandleOwner() = default;
    // Takes the handle a kernel call returned; null and INVALID_HANDLE_VALUE own nothing.
    explicit HandleOwner(HANDLE handle) : handle_(isValid(handle) ? handle : nullptr) {}
    ~HandleOwner() { reset(); }
    HandleOwner(const HandleOwner&) = delete;
    HandleOwner& operator=(const HandleOwner&) = delete;

    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

    void reset(HANDLE handle = nullptr) {
        const HANDLE old = std::exchange(handle_, isValid(handle) ? handle : nullptr);
        if (old != nullptr) CloseHandle(old);
    }
    // Gives the handle up without closing it.
    HANDLE release() { return std::exchange(handle_, nullptr); }

private:
    static bool isValid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }

    HANDLE handle_ = nullptr;
};

}  // namespace plexa
