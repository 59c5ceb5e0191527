// libfreenect's context: one per process, with the devices it opened (kept
// for the process) and the event thread that drives them. Every libfreenect
// call is made under the API lock, and all streaming calls (modes, start and
// stop, events, tilt) on the event thread, which runs while a sensor object of
// one of its devices is initialised. libfreenect's callbacks run inside its
// event processing, on that thread.
#pragma once

#include "FreenectDevice.h"

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace plexa::virtual1 {

class FreenectContext {
public:
    FreenectContext(const freenect::Api& api, freenect::Context* context);

    const freenect::Api& api() const { return api_; }
    // Guards the state that devices, sensor objects and the event thread share.
    std::mutex& stateMutex() { return stateMutex_; }

    int deviceCount();
    HRESULT device(int index, std::shared_ptr<SensorSource>& source);

    // The mode of libfreenect's tables for a stream, if the library offers it.
    std::optional<freenect::FrameMode> videoMode(std::int32_t imageType, std::int32_t resolution) const;
    std::optional<freenect::FrameMode> depthMode(std::int32_t resolution) const;
    // Something a device wants changed: the event thread runs (or wakes) to do it.
    void wake();
    // Tilt calls of a sensor object's caller. While the event thread runs it
    // keeps the tilt state fresh; otherwise the caller asks the motor itself.
    bool setTilt(freenect::Device* device, LONG degrees);
    void refreshTilt(FreenectDevice& device);

private:
    void run();

    const freenect::Api api_;
    freenect::Context* const context_;
    std::vector<freenect::FrameMode> videoModes_;
    std::vector<freenect::FrameMode> depthModes_;

    std::mutex apiMutex_;
    std::mutex stateMutex_;
    std::condition_variable changed_;
    std::map<int, std::shared_ptr<FreenectDevice>> devices_;  // opened, kept for the process
    bool running_ = false;
    bool failed_ = false;  // event processing failed: every device is gone
    bool reportedOpenFailure_ = false;
};

}  // namespace plexa::virtual1
