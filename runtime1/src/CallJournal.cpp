#include "CallJournal.h"

#include <algorithm>

namespace plexa::virtual1 {

void CallJournal::injectFailure(Operation operation, HRESULT code, int times, int afterCalls) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (times == 0) {
        failures_.erase(operation);
    } else {
        failures_[operation] = InjectedFailure{code, times, afterCalls > 0 ? afterCalls : 0};
    }
}

void CallJournal::clearFailures() {
    std::lock_guard<std::mutex> lock(mutex_);
    failures_.clear();
}

std::vector<CallRecord> CallJournal::records() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<CallRecord> records;
    records.reserve(calls_.size());
    calls_.forEach([&](const LoggedCall& call) {
        records.push_back(CallRecord{call.operation, call.sensorIndex,
                                     std::vector<std::int64_t>(call.arguments, call.arguments + call.argumentCount),
                                     call.result});
    });
    return records;
}

void CallJournal::clearRecords() {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.clear();
}

std::optional<HRESULT> CallJournal::takeInjectedFailure(Operation operation) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = failures_.find(operation);
    if (found == failures_.end()) return std::nullopt;
    if (found->second.spared > 0) {
        --found->second.spared;
        return std::nullopt;
    }
    const HRESULT code = found->second.code;
    if (found->second.remaining > 0 && --found->second.remaining == 0) failures_.erase(found);
    return code;
}

void CallJournal::record(Operation operation, int sensorIndex, std::initializer_list<std::int64_t> arguments,
                         HRESULT result) {
    std::lock_guard<std::mutex> lock(mutex_);
    LoggedCall& call = calls_.append();  // may throw bad_alloc at the first call: that call is not logged
    call.operation = operation;
    call.sensorIndex = sensorIndex;
    call.result = result;
    call.argumentCount = static_cast<std::uint8_t>(std::min(arguments.size(), maximumArguments));
    std::copy_n(arguments.begin(), call.argumentCount, call.arguments);
}

CallJournal& journal() {
    static CallJournal* const instance = new CallJournal();
    return *instance;
}

}  // namespace plexa::virtual1
