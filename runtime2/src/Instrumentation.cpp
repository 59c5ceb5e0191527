#include "Instrumentation.h"

#include "plexa/bounded_log.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <vector>

namespace plexa::virtual2 {
namespace {

// A long live run calls the runtime some thousand times a second; the log
// keeps the most recent calls only, so that a demo left running does not
// grow without end. Far more than any test makes. The log's storage is made
// once, so logging a call on a frame's path allocates nothing.
constexpr std::size_t kMaxLoggedCalls = 32768;
constexpr std::size_t kMaxLoggedArguments = 4;

struct LoggedCall {
    CallSite site;
    std::array<std::int64_t, kMaxLoggedArguments> arguments;
    std::uint8_t argumentCount;
    HRESULT result;
};

struct FailureEntry {
    Operation operation;
    HRESULT code;
    int remaining;  // negative: every call
    FrameKind frameKind;
    int bodySlot;

    bool matches(const CallSite& site) const {
        return operation == site.operation && (frameKind == FrameKind::None || frameKind == site.frameKind) &&
               (bodySlot < 0 || bodySlot == site.bodySlot);
    }
};

struct Instrumentation {
    std::mutex mutex;
    std::vector<FailureEntry> failures;
    BoundedLog<LoggedCall> calls{kMaxLoggedCalls};
};

// Never destroyed: runtime calls may still arrive from threads that run while
// the process exits.
Instrumentation& instrumentation() {
    static Instrumentation* const instance = new Instrumentation();
    return *instance;
}

}  // namespace

std::optional<HRESULT> takeInjectedFailure(const CallSite& site) {
    Instrumentation& state = instrumentation();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto entry = std::find_if(state.failures.begin(), state.failures.end(),
                              [&](const FailureEntry& candidate) { return candidate.matches(site); });
    if (entry == state.failures.end()) return std::nullopt;
    const HRESULT code = entry->code;
    if (entry->remaining > 0 && --entry->remaining == 0) state.failures.erase(entry);
    return code;
}

void recordCall(const CallSite& site, std::initializer_list<std::int64_t> arguments, HRESULT result) {
    LoggedCall call{site, {}, 0, result};
    for (std::int64_t argument : arguments) {
        if (call.argumentCount == kMaxLoggedArguments) break;
        call.arguments[call.argumentCount++] = argument;
    }
    Instrumentation& state = instrumentation();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.calls.append() = call;
}

void injectFailure(Operation operation, HRESULT code, int times, FrameKind frameKind, int bodySlot) {
    if (times == 0) return;
    Instrumentation& state = instrumentation();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.failures.push_back(FailureEntry{operation, code, times < 0 ? -1 : times, frameKind, bodySlot});
}

void clearFailures() {
    Instrumentation& state = instrumentation();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.failures.clear();
}

std::vector<CallRecord> callLog() {
    Instrumentation& state = instrumentation();
    std::lock_guard<std::mutex> lock(state.mutex);
    std::vector<CallRecord> records;
    records.reserve(state.calls.size());
    state.calls.forEach([&](const LoggedCall& call) {
        records.push_back(
            CallRecord{call.site.operation, call.site.frameKind, call.site.bodySlot,
                       std::vector<std::int64_t>(call.arguments.begin(), call.arguments.begin() + call.argumentCount),
                       call.result});
    });
    return records;
}

void clearCallLog() {
    Instrumentation& state = instrumentation();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.calls.clear();
}

}  // namespace plexa::virtual2
