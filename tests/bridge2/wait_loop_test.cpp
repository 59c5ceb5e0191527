// The event thread's wait, on the real kernel layer.
#include "FrameWaitLoop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <time.h>

namespace plexa::bridge2 {
namespace {

struct Events {
    HANDLE stop = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE frame = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ~Events() {
        CloseHandle(stop);
        CloseHandle(frame);
    }
};

TEST(FrameWaitLoop, AStopIsServedBeforeAPendingFrame) {
    Events events;
    SetEvent(events.frame);
    SetEvent(events.stop);
    int frames = 0;
    runFrameWaitLoop(events.stop, events.frame, [&] { ++frames; });
    EXPECT_EQ(frames, 0);
}

TEST(FrameWaitLoop, EachFrameSignalRunsTheHandlerToItsEnd) {
    Events events;
    int frames = 0;
    SetEvent(events.frame);
    runFrameWaitLoop(events.stop, events.frame, [&] {
        ++frames;
        if (frames == 3) {
            ResetEvent(events.frame);  // fetched, as a runtime does
            SetEvent(events.stop);     // a stop from inside the handler
        }
    });
    EXPECT_EQ(frames, 3);
}

double threadCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

TEST(FrameWaitLoop, AFrameHandleThatIsWithdrawnNeitherSpinsNorHidesTheStop) {
    Events events;
    HANDLE withdrawn = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    CloseHandle(withdrawn);  // every wait on it fails
    std::atomic<double> cpu{0.0};
    std::atomic<bool> ended{false};
    std::thread loop([&] {
        const double start = threadCpuMilliseconds();
        runFrameWaitLoop(events.stop, withdrawn, [] {});
        cpu = threadCpuMilliseconds() - start;
        ended = true;
    });
    // Long enough for a spinning loop to burn most of it.
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    SetEvent(events.stop);
    loop.join();
    EXPECT_TRUE(ended);
    EXPECT_LT(cpu.load(), 100.0) << "the loop spun on a failing wait";
}

}  // namespace
}  // namespace plexa::bridge2
