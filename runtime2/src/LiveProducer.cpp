#include "LiveProducer.h"

#include "SensorGeometry.h"

#include <system_error>
#include <thread>

namespace plexa::virtual2 {
namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point frameTime(Clock::time_point start, long long frameIndex) {
    return start + std::chrono::nanoseconds(frameIndex * 1'000'000'000LL / kFramesPerSecond);
}

}  // namespace

void LiveProducer::wake(bool framesWanted) {
    std::lock_guard<std::mutex> lock(mutex_);
    wakeRequested_ = true;
    if (running_) {
        wakeUp_.notify_all();
        return;
    }
    if (!framesWanted) return;
    try {
        // Detached: the thread ends by itself once no reader wants frames, and
        // everything it touches is never destroyed, so a thread still running
        // while the process exits is harmless.
        std::thread([this] { run(); }).detach();
        running_ = true;
    } catch (const std::system_error&) {
        // No thread, no live frames; the next wake tries again.
    }
}

void LiveProducer::run() {
    const Clock::time_point start = Clock::now();
    long long frameIndex = 0;
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            wakeRequested_ = false;
        }
        DWORD sources = 0;
        if (!sink_.liveFramesWanted(sources)) {
            std::lock_guard<std::mutex> lock(mutex_);
            // A wake that came after the question may mean a reader just
            // arrived; look again rather than leave it without frames.
            if (wakeRequested_) continue;
            running_ = false;
            return;
        }
        if (Clock::now() >= frameTime(start, frameIndex)) {
            sink_.produceLiveFrame(frameTime(start, frameIndex), sources);
            ++frameIndex;
            const Clock::time_point now = Clock::now();
            while (frameTime(start, frameIndex) <= now) ++frameIndex;
        }
        std::unique_lock<std::mutex> lock(mutex_);
        wakeUp_.wait_until(lock, frameTime(start, frameIndex), [this] { return wakeRequested_; });
    }
}

}  // namespace plexa::virtual2
