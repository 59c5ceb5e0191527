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

class FreenectContext final : public FreenectHost {
public:
    FreenectContext(const freenect::Api& api, freenect::Context* context);

    const freenect::Api& api() const override { return api_; }
    std::mutex& stateMutex() override { return stateMutex_; }

    int deviceCount();
    HRESULT device(int index, std::shared_ptr<SensorSource>& source);

    std::optional<freenect::FrameMode> videoMode(std::int32_t imageType, std::int32_t resolution) const override;
    std::optional<freenect::FrameMode> depthMode(std::int32_t resolution) const override;
    void wake() override;
    bool setTilt(freenect::Device* device, LONG degrees) override;
    void refreshTilt(FreenectDevice& device) override;

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
