// What a callback target keeps of each call made on it: the method's name
// and a deep copy of every argument, taken while the call is under way (the
// arrays themselves go away with the delivery's detach). The test thread
// waits on the record with a deadline.
#pragma once

#include <jni.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace plexa::e2e {

// Bytes of one element of a primitive array with signature letter `type`.
inline std::size_t elementSize(char type) {
    switch (type) {
        case 'Z':
        case 'B':
            return 1;
        case 'S':
        case 'C':
            return 2;
        case 'I':
        case 'F':
            return 4;
        case 'J':
        case 'D':
            return 8;
        default:
            return 0;
    }
}

// One argument: a null reference, a number, or an array (copied).
struct Value {
    bool isNull = true;
    double number = 0;        // scalar arguments
    char elementType = 0;     // arrays: Z, B, S, I, F or L
    jsize length = 0;
    std::vector<unsigned char> bytes;  // primitive array contents
    std::vector<Value> elements;       // reference array contents

    bool isArrayOf(char type) const { return !isNull && elementType == type; }

    // Primitive array contents as `T` (the caller names the matching type).
    template <typename T>
    std::vector<T> as() const {
        std::vector<T> out(bytes.size() / sizeof(T));
        if (!out.empty()) std::memcpy(out.data(), bytes.data(), out.size() * sizeof(T));
        return out;
    }
};

struct RecordedCall {
    std::string method;
    std::vector<Value> arguments;
};

class CallRecorder {
public:
    using Calls = std::vector<RecordedCall>;

    void record(RecordedCall call) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            calls_.push_back(std::move(call));
        }
        changed_.notify_all();
    }

    // Waits until `condition` holds for the calls so far, or the deadline
    // passes; the condition's last answer is the result.
    bool waitFor(const std::function<bool(const Calls&)>& condition,
                 std::chrono::milliseconds deadline = std::chrono::seconds(10)) const {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, deadline, [&] { return condition(calls_); });
    }

    // Waits for the `count`-th call of `method`.
    bool waitForCalls(const std::string& method, std::size_t count,
                      std::chrono::milliseconds deadline = std::chrono::seconds(10)) const {
        return waitFor([&](const Calls& calls) { return countIn(calls, method) >= count; }, deadline);
    }

    Calls calls() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }
    // The calls of one method, in order.
    Calls callsOf(const std::string& method) const {
        Calls matching;
        for (const RecordedCall& call : calls()) {
            if (call.method == method) matching.push_back(call);
        }
        return matching;
    }

private:
    static std::size_t countIn(const Calls& calls, const std::string& method) {
        std::size_t count = 0;
        for (const RecordedCall& call : calls) count += call.method == method ? 1 : 0;
        return count;
    }

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    Calls calls_;
};

}  // namespace plexa::e2e
