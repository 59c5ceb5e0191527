// What the runtime face was asked and what it answered: the call log, and the
// failures a test injected. Every call of the runtime face passes through
// `call`, so an injected failure replaces the whole operation.
#pragma once

#include "plexa/bounded_log.h"
#include "runtime1/VirtualSensor1.h"

#include <cstdint>
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
    // oldest records go so that the log cannot grow without bound. The log
    // holds fixed-size records, made once: logging a call allocates nothing,
    // so the frame pipelines run without allocating.
    static constexpr std::size_t maximumRecords = 32768;
    static constexpr std::size_t maximumArguments = 8;

    // Runs `body` unless a failure is injected for the operation, and logs
    // the call. No exception leaves: the caller is C code in spirit and may
    // sit under a Java frame.
    template <typename Body>
    HRESULT call(Operation operation, int sensorIndex, std::initializer_list<std::int64_t> arguments, Body&& body) {
        HRESULT result = E_FAIL;
        try {
            const std::optional<HRESULT> injected = takeInjectedFailure(operation);
            result = injected ? *injected : body();
            record(operation, sensorIndex, arguments, result);
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

    struct LoggedCall {
        Operation operation;
        int sensorIndex;
        HRESULT result;
        std::uint8_t argumentCount;
        std::int64_t arguments[maximumArguments];
    };

    std::optional<HRESULT> takeInjectedFailure(Operation operation);
    void record(Operation operation, int sensorIndex, std::initializer_list<std::int64_t> arguments, HRESULT result);

    std::mutex mutex_;
    std::map<Operation, InjectedFailure> failures_;
    BoundedLog<LoggedCall> calls_{maximumRecords};
};

// The process-wide journal; never destroyed, so that threads still running at
// exit can use it.
CallJournal& journal();

}  // namespace plexa::virtual1
