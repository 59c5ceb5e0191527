// The sensors' shutter in live mode: one thread for the process that, 30
// times a second, asks every sensor with something open for its next frames.
// The thread runs only while some sensor needs it, and is detached: it uses
// nothing but never-destroyed state, so it cannot trip over process exit.
#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <vector>

namespace plexa::virtual1 {

class LiveFrameSource;
class SensorDevice;

class LiveProducer {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int framesPerSecond = 30;

    static LiveProducer& instance();

    // Ticks `device` until its produceLive reports that it needs no more
    // frames. May be called with the device's mutex held.
    void add(const std::shared_ptr<SensorDevice>& device);

private:
    LiveProducer();
    void run();
    // Drops devices that are gone or need no frames; true when none is left,
    // in which case the thread is marked as ended.
    bool pruneAndCheckEnd();

    std::unique_ptr<LiveFrameSource> source_;  // used by the running thread only
    std::mutex mutex_;
    std::vector<std::weak_ptr<SensorDevice>> devices_;
    bool running_ = false;
};

}  // namespace plexa::virtual1
