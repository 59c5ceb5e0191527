#include "CallJournal.h"

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
    return std::vector<CallRecord>(records_.begin(), records_.end());
}

void CallJournal::clearRecords() {
    std::lock_guard<std::mutex> lock(mutex_);
    records_.clear();
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

void CallJournal::record(CallRecord&& call) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (records_.size() >= maximumRecords) records_.pop_front();
    records_.push_back(std::move(call));
}

CallJournal& journal() {
    static CallJournal* const instance = new CallJournal();
    return *instance;
}

}  // namespace plexa::virtual1
