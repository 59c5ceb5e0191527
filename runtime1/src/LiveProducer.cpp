#include "LiveProducer.h"

#include "LiveFrameSource.h"
#include "SensorDevice.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <thread>

namespace plexa::virtual1 {

LiveProducer& LiveProducer::instance() {
    static LiveProducer* const instance = new LiveProducer();
    return *instance;
}

LiveProducer::LiveProducer() : source_(makeLiveFrameSource()) {}

void LiveProducer::add(const std::shared_ptr<SensorDevice>& device) {
    std::lock_guard<std::mutex> lock(mutex_);
    const bool known = std::any_of(devices_.begin(), devices_.end(),
                                   [&](const std::weak_ptr<SensorDevice>& entry) { return entry.lock() == device; });
    if (!known) devices_.push_back(device);
    if (!running_) {
        try {
            std::thread([this] { run(); }).detach();
            running_ = true;
        } catch (const std::system_error&) {
            // No thread for now: the sensors stay listed, and the next one
            // that opens a stream tries again.
        }
    }
}

bool LiveProducer::pruneAndCheckEnd() {
    std::lock_guard<std::mutex> lock(mutex_);
    devices_.erase(std::remove_if(devices_.begin(), devices_.end(),
                                  [](const std::weak_ptr<SensorDevice>& entry) {
                                      auto device = entry.lock();
                                      return !device || !device->wantsLiveTicks();
                                  }),
                   devices_.end());
    if (devices_.empty()) running_ = false;
    return devices_.empty();
}

void LiveProducer::run() {
    // Frame n is due at start + n/30 s, so the rate does not drift with the
    // time each frame takes.
    Clock::time_point start = Clock::now();
    std::int64_t frame = 0;
    std::vector<std::shared_ptr<SensorDevice>> due;
    for (;;) {
        ++frame;
        const Clock::time_point dueAt =
            start + std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(frame * 1'000'000'000 / framesPerSecond));
        std::this_thread::sleep_until(dueAt);
        if (pruneAndCheckEnd()) return;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            due.clear();
            for (const auto& entry : devices_) {
                if (auto device = entry.lock()) due.push_back(std::move(device));
            }
        }
        for (const auto& device : due) {
            try {
                device->produceLive(dueAt, *source_);
            } catch (const std::bad_alloc&) {
                // Out of memory for one frame: that frame is skipped.
            }
        }
        due.clear();
        if (pruneAndCheckEnd()) return;
        // After a long stall (a suspended process) carry on from now rather
        // than deliver the missed frames in a burst.
        if (Clock::now() - dueAt > std::chrono::milliseconds(200)) {
            start = Clock::now();
            frame = 0;
        }
    }
}

}  // namespace plexa::virtual1
