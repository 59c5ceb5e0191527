// Failure injection and the call log behind every runtime-face operation.
// Each operation runs through `traced`: an injected failure replaces the
// operation's own work, and the call is logged with its scalar arguments and
// its result.
#pragma once

#include "runtime2/VirtualSensor2.h"

#include <cstdint>
#include <initializer_list>
#include <new>
#include <optional>

namespace plexa::virtual2 {

struct CallSite {
    Operation operation;
    FrameKind frameKind = FrameKind::None;
    int bodySlot = -1;
};

// The code an injected entry decided for one call, if any.
std::optional<HRESULT> takeInjectedFailure(const CallSite& site);
void recordCall(const CallSite& site, std::initializer_list<std::int64_t> arguments, HRESULT result);

// Runs `work` (returning HRESULT) unless a failure was injected for `site`.
// An injected failure code skips the work; an injected success code (say
// S_FALSE) lets the work run and, if it succeeded, replaces its result. No
// exception leaves: running out of memory becomes E_OUTOFMEMORY.
template <class Work>
HRESULT traced(const CallSite& site, std::initializer_list<std::int64_t> arguments, Work&& work) {
    HRESULT result = S_OK;
    const std::optional<HRESULT> injected = takeInjectedFailure(site);
    if (injected && FAILED(*injected)) {
        result = *injected;
    } else {
        try {
            result = work();
        } catch (const std::bad_alloc&) {
            result = E_OUTOFMEMORY;
        } catch (...) {
            result = E_FAIL;
        }
        if (injected && SUCCEEDED(result)) result = *injected;
    }
    recordCall(site, arguments, result);
    return result;
}

// The shared body of every getter that answers one value.
template <class Value>
HRESULT answer(const CallSite& site, Value* out, const Value& value) {
    return traced(site, {}, [&] {
        if (out == nullptr) return E_POINTER;
        *out = value;
        return S_OK;
    });
}

}  // namespace plexa::virtual2
