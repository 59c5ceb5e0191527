// What the runtime face was asked and what it answered: the call log, and the
// failures a test injected. Every call of the runtime face passes through
// `call`, so an injected failure replaces the whole operation.
#pragma once

#include "runtime1/VirtualSensor1.h"

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <map>
#include <new>
#include <mutex>
#include <optional>
#include <vector>

namespace plexa::virtual1 {

inline std::int64_t asInteger(const volatile void* pointer) {
    return static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(pointer));
}

class CallJournal {
public:
    // A demo left running in live mode logs a few hundred calls a second; the
    // oldest records go so that the log cannot grow without bound.
    static constexpr std::size_t maximumRecords = 100000;

    // Runs `body` unless a failure is injected for the operation, and logs
    // the call. No exception leaves: the caller is C code in spirit and may
    // sit under a Java frame.
    template <typename Body>
    HRESULT call(Operation operation, int sensorIndex, std::initializer_list<std::int64_t> arguments, Body&& body) {
        HRESULT result = E_FAIL;
        try {
            const std::optional<HRESULT> injected = takeInjectedFailure(operation);
            result = injected ? *injected : body();
            record(CallRecord{operation, sensorIndex, std::vector<std::int64_t>(arguments), result});
        } catch (const std::bad_alloc&) {
            if (result == E_FAIL) result = E_OUTOFMEMORY;
        } catch (...) {
        }
        return result;
    }

    void injectFailure(Operation operation, HRESULT code, int times, int afterCalls);
    void clearFailures();
    std::vector<CallRecord> records();
    void clearRecords();

private:
    struct InjectedFailure {
        HRESULT code;
        int remaining;  // negative: always
        int spared;     // calls still let through before the first failure
    };

    std::optional<HRESULT> takeInjectedFailure(Operation operation);
    void record(CallRecord&& call);

    std::mutex mutex_;
    std::map<Operation, InjectedFailure> failures_;
    std::deque<CallRecord> records_;
};

// The process-wide journal; never destroyed, so that threads still running at
// exit can use it.
CallJournal& journal();

}  // namespace plexa::virtual1
