#include "plexa/handle_owner.h"
#include "plexa/platform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

namespace {

// Closes a handle at the end of a scope.
struct Handle {
    HANDLE value;
    explicit Handle(HANDLE h) : value(h) {}
    ~Handle() {
        if (value != nullptr) CloseHandle(value);
    }
    operator HANDLE() const { return value; }
};

Handle manualEvent(bool signalled = false) { return Handle(CreateEventA(nullptr, TRUE, signalled, nullptr)); }
Handle autoEvent(bool signalled = false) { return Handle(CreateEventA(nullptr, FALSE, signalled, nullptr)); }

TEST(WaitForMultipleObjects, ReportsTheLowestSignalledIndex) {
    Handle a = manualEvent(), b = manualEvent(true), c = manualEvent(true);
    HANDLE list[] = {a, b, c};
    EXPECT_EQ(WaitForMultipleObjects(3, list, FALSE, 0), WAIT_OBJECT_0 + 1);
    SetEvent(a);
    EXPECT_EQ(WaitForMultipleObjects(3, list, FALSE, 0), WAIT_OBJECT_0);
}

TEST(WaitForMultipleObjects, ManualResetStaysSignalledUntilReset) {
    Handle event = manualEvent(true);
    HANDLE list[] = {event};
    EXPECT_EQ(WaitForMultipleObjects(1, list, FALSE, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForMultipleObjects(1, list, FALSE, 0), WAIT_OBJECT_0);
    ResetEvent(event);
    EXPECT_EQ(WaitForMultipleObjects(1, list, FALSE, 0), WAIT_TIMEOUT);
}

TEST(WaitForMultipleObjects, AutoResetIsConsumedByTheWaitThatReportsIt) {
    Handle stop = autoEvent(true), frame = manualEvent(true);
    HANDLE list[] = {stop, frame};
    EXPECT_EQ(WaitForMultipleObjects(2, list, FALSE, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForMultipleObjects(2, list, FALSE, 0), WAIT_OBJECT_0 + 1);
}

TEST(WaitForMultipleObjects, AutoResetNotReportedIsNotConsumed) {
    Handle first = manualEvent(true), second = autoEvent(true);
    HANDLE list[] = {first, second};
    EXPECT_EQ(WaitForMultipleObjects(2, list, FALSE, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_TIMEOUT);
}

TEST(WaitForMultipleObjects, TimesOutAfterTheGivenTime) {
    Handle event = manualEvent();
    HANDLE list[] = {event};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForMultipleObjects(1, list, FALSE, 50), WAIT_TIMEOUT);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
}

TEST(WaitForMultipleObjects, FailsForInvalidHandles) {
    Handle event = manualEvent(true);
    HANDLE closed = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    CloseHandle(closed);
    HANDLE withClosed[] = {event, closed};
    EXPECT_EQ(WaitForMultipleObjects(2, withClosed, FALSE, 0), WAIT_FAILED);
    HANDLE withNull[] = {nullptr};
    EXPECT_EQ(WaitForMultipleObjects(1, withNull, FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(WaitForMultipleObjects(0, withNull, FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(WaitForSingleObject(INVALID_HANDLE_VALUE, 0), WAIT_FAILED);
    EXPECT_EQ(SetEvent(closed), FALSE);
    EXPECT_EQ(CloseHandle(closed), FALSE);
}

TEST(WaitForMultipleObjects, WaitAllNeedsEveryHandle) {
    Handle a = manualEvent(true), b = autoEvent();
    HANDLE list[] = {a, b};
    EXPECT_EQ(WaitForMultipleObjects(2, list, TRUE, 0), WAIT_TIMEOUT);
    SetEvent(b);
    EXPECT_EQ(WaitForMultipleObjects(2, list, TRUE, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(b, 0), WAIT_TIMEOUT);
}

DWORD WINAPI waitForStop(LPVOID parameter) {
    HANDLE stop = static_cast<HANDLE>(parameter);
    return WaitForSingleObject(stop, INFINITE) == WAIT_OBJECT_0 ? 0 : 1;
}

TEST(CreateThread, HandleIsSignalledWhenTheThreadEnds) {
    Handle stop = autoEvent();
    Handle thread(CreateThread(nullptr, 0, waitForStop, stop.value, 0, nullptr));
    ASSERT_NE(thread.value, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
    SetEvent(stop);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
}

TEST(CreateThread, StopEventWakesAWaitingThreadWithoutDelay) {
    // The waiter blocks for up to 10 s; a stop must end it long before that.
    Handle stop = autoEvent();
    struct Waiter {
        HANDLE stop;
        std::atomic<DWORD> result{WAIT_FAILED};
    } waiter{stop, {}};
    auto routine = [](LPVOID parameter) -> DWORD {
        auto* w = static_cast<Waiter*>(parameter);
        HANDLE list[] = {w->stop};
        w->result = WaitForMultipleObjects(1, list, FALSE, 10000);
        return 0;
    };
    Handle thread(CreateThread(nullptr, 0, routine, &waiter, 0, nullptr));
    const auto start = std::chrono::steady_clock::now();
    SetEvent(stop);
    ASSERT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(waiter.result.load(), WAIT_OBJECT_0);
}

TEST(CreateThread, RefusesANullRoutine) { EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr); }

TEST(CreateThread, ClosingTheHandleOfARunningThreadLetsItFinish) {
    Handle stop = autoEvent();
    HANDLE thread = CreateThread(nullptr, 0, waitForStop, stop.value, 0, nullptr);
    EXPECT_EQ(CloseHandle(thread), TRUE);
    SetEvent(stop);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_FAILED);
}

}  // namespace

namespace {

TEST(PlexaOpenHandleCount, CountsHandlesUntilTheyAreClosed) {
    const std::size_t before = PlexaOpenHandleCount();
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(PlexaOpenHandleCount(), before + 1);
    CloseHandle(event);
    EXPECT_EQ(PlexaOpenHandleCount(), before);
}

// Every handle an owner takes is closed exactly once: at the end of its
// scope or when it takes another; never once it gave the handle up.
TEST(HandleOwner, ClosesWhatItOwnsOnceAndNothingElse) {
    const std::size_t before = PlexaOpenHandleCount();
    HANDLE givenUp = nullptr;
    {
        plexa::HandleOwner first(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        plexa::HandleOwner none(INVALID_HANDLE_VALUE);
        EXPECT_TRUE(first);
        EXPECT_FALSE(none);
        EXPECT_EQ(PlexaOpenHandleCount(), before + 1);
        first.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));  // the first one is closed
        EXPECT_EQ(PlexaOpenHandleCount(), before + 1);
        none.reset(first.release());
        givenUp = none.release();
        EXPECT_FALSE(none);
        EXPECT_FALSE(first);
    }
    EXPECT_EQ(PlexaOpenHandleCount(), before + 1) << "a handle given up stays open";
    EXPECT_TRUE(SetEvent(givenUp));
    CloseHandle(givenUp);
    EXPECT_EQ(PlexaOpenHandleCount(), before);
}

}  // namespace
