// Waiting on a condition with a deadline, for tests of threads and live mode.
#pragma once

#include <chrono>
#include <thread>

namespace plexa::test {

// Checks the condition until it holds or the deadline passes; its last
// answer is the result.
template <typename Predicate>
bool waitUntil(Predicate condition, std::chrono::milliseconds deadline = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace plexa::test
