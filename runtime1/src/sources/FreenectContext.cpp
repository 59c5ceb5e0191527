#include "FreenectContext.h"

#include "UserMessages.h"
#include "VirtualSensors.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <system_error>
#include <thread>

namespace plexa::virtual1 {

namespace {

using freenect::FrameMode;

constexpr int kLibusbInterrupted = -10;  // LIBUSB_ERROR_INTERRUPTED: a signal, not a failure
constexpr auto kEventWait = std::chrono::milliseconds(10);
constexpr auto kIdleWait = std::chrono::milliseconds(100);

// The process's one context, for libfreenect's callbacks, which carry no context of ours.
FreenectContext* activeContext = nullptr;

template <void (FreenectDevice::*onFrame)(void*)>
void frameCallback(freenect::Device* device, void* data, std::uint32_t) {
    if (activeContext == nullptr) return;
    if (auto* self = static_cast<FreenectDevice*>(activeContext->api().getUser(device))) (self->*onFrame)(data);
}

bool anyLost(const std::vector<std::shared_ptr<FreenectDevice>>& devices) {
    return std::any_of(devices.begin(), devices.end(), [](const auto& device) { return !device->isConnected(); });
}

}  // namespace

FreenectContext::FreenectContext(const freenect::Api& api, freenect::Context* context) : api_(api), context_(context) {
    activeContext = this;
    for (int i = 0, count = api_.getVideoModeCount(); i < count; ++i) videoModes_.push_back(api_.getVideoMode(i));
    for (int i = 0, count = api_.getDepthModeCount(); i < count; ++i) depthModes_.push_back(api_.getDepthMode(i));
}

std::optional<freenect::FrameMode> FreenectContext::videoMode(std::int32_t imageType, std::int32_t resolution) const {
    // Color at 640 x 480 and 1280 x 960, infrared at 640 x 480.
    const bool color = imageType == NUI_IMAGE_TYPE_COLOR;
    const bool high = color && resolution == NUI_IMAGE_RESOLUTION_1280x960;
    if ((!color && imageType != NUI_IMAGE_TYPE_COLOR_INFRARED) ||
        (!high && resolution != NUI_IMAGE_RESOLUTION_640x480)) {
        return std::nullopt;
    }
    const std::int32_t format = color ? freenect::VideoRgb : freenect::VideoInfrared10Bit;
    const std::int32_t wanted = high ? freenect::ResolutionHigh : freenect::ResolutionMedium;
    const ImageSize size = imageSizeOf(resolution);
    for (const FrameMode& mode : videoModes_) {
        if (mode.isValid == 0 || mode.resolution != wanted || mode.format != format) continue;
        // Wide enough, tall enough, and as many bytes as it says, so that the
        // top rows of what it delivers are always there to take.
        if (mode.width != size.width || mode.height < size.height ||
            mode.bytes < static_cast<std::int64_t>(mode.width) * mode.height * (color ? 3 : 2)) {
            continue;
        }
        return mode;
    }
    return std::nullopt;
}

std::optional<freenect::FrameMode> FreenectContext::depthMode(std::int32_t resolution) const {
    if (resolution != NUI_IMAGE_RESOLUTION_640x480) return std::nullopt;
    for (const FrameMode& mode : depthModes_) {
        if (mode.isValid != 0 && mode.resolution == freenect::ResolutionMedium && mode.format == freenect::Depth11Bit &&
            mode.width == 640 && mode.height == 480 && mode.bytes >= 640 * 480 * 2) {
            return mode;
        }
    }
    return std::nullopt;
}

int FreenectContext::deviceCount() {
    std::lock_guard<std::mutex> lock(apiMutex_);
    const int count = api_.numDevices(context_);
    return std::clamp(count, 0, sensorIndexLimit);
}

HRESULT FreenectContext::device(int index, std::shared_ptr<SensorSource>& source) {
    std::lock_guard<std::mutex> api(apiMutex_);
    if (auto known = devices_.find(index); known != devices_.end()) {
        source = known->second;
        return S_OK;
    }
    const int count = api_.numDevices(context_);
    if (index < 0 || index >= count) return E_INVALIDARG;
    freenect::Device* opened = nullptr;
    if (api_.openDevice(context_, &opened, index) < 0 || opened == nullptr) {
        std::lock_guard<std::mutex> state(stateMutex_);
        if (!reportedOpenFailure_) {
            reportedOpenFailure_ = true;
            reportToUser("libfreenect cannot open sensor " + std::to_string(index) +
                         ": another program uses it, or this user may not (see README, \"Real sensors\")");
        }
        return E_NUI_DEVICE_IN_USE;
    }
    auto device = std::make_shared<FreenectDevice>(*this, index, opened);
    api_.setUser(opened, device.get());
    api_.setDepthCallback(opened, &frameCallback<&FreenectDevice::onDepth>);
    api_.setVideoCallback(opened, &frameCallback<&FreenectDevice::onVideo>);
    if (api_.copyRegistration != nullptr) {
        freenect::Registration registration = api_.copyRegistration(opened);
        device->keepRegistration(registration);
        api_.destroyRegistration(&registration);
    }
    {
        std::lock_guard<std::mutex> state(stateMutex_);
        if (failed_) device->lost();
        devices_.emplace(index, device);
    }
    source = device;
    return S_OK;
}

void FreenectContext::wake() {
    std::lock_guard<std::mutex> lock(stateMutex_);
    changed_.notify_all();
    if (running_ || failed_) return;
    const bool needed =
        std::any_of(devices_.begin(), devices_.end(), [](const auto& entry) { return entry.second->inUse(); });
    if (!needed) return;
    try {
        // Detached: it uses only the context, which is never destroyed.
        std::thread([this] { run(); }).detach();
        running_ = true;
    } catch (const std::system_error&) {
        // No thread: nothing streams, as a sensor that does not answer.
    }
}

bool FreenectContext::setTilt(freenect::Device* device, LONG degrees) {
    std::lock_guard<std::mutex> api(apiMutex_);
    return api_.setTiltDegs(device, static_cast<double>(degrees)) >= 0;
}

void FreenectContext::refreshTilt(FreenectDevice& device) {
    {
        std::lock_guard<std::mutex> state(stateMutex_);
        if (running_ || failed_) return;
    }
    std::lock_guard<std::mutex> api(apiMutex_);
    device.pollTilt(Clock::now(), false);
}

void FreenectContext::run() {
    std::vector<std::shared_ptr<FreenectDevice>> devices;
    bool firstRound = true;
    for (;;) {
        bool streaming = false;
        {
            std::lock_guard<std::mutex> state(stateMutex_);
            devices.clear();
            bool inUse = false;
            for (const auto& entry : devices_) {
                devices.push_back(entry.second);
                inUse = inUse || entry.second->inUse();
            }
            if (!inUse || failed_) {
                running_ = false;
                break;
            }
        }
        {
            std::lock_guard<std::mutex> api(apiMutex_);
            const Clock::time_point now = Clock::now();
            for (const auto& device : devices) {
                device->applyWishes();
                device->pollTilt(now, firstRound);
            }
            firstRound = false;
            std::lock_guard<std::mutex> state(stateMutex_);
            streaming = std::any_of(devices.begin(), devices.end(), [](const auto& d) { return d->streaming(); });
        }
        if (!streaming) {
            std::unique_lock<std::mutex> state(stateMutex_);
            changed_.wait_for(state, kIdleWait);
            continue;
        }
        std::lock_guard<std::mutex> api(apiMutex_);
        timeval timeout{0, static_cast<long>(std::chrono::microseconds(kEventWait).count())};
        const int result = api_.processEventsTimeout(context_, &timeout);
        const Clock::time_point now = Clock::now();
        // fakenect replaces the tilt state as its dump plays.
        for (const auto& device : devices) device->pollTilt(now, false);
        if (result < 0 && result != kLibusbInterrupted) {
            // libfreenect reports a device it found dead this way, on every
            // call while that device stays in the context, and goes on
            // streaming the others: a device whose motor no longer answers
            // is that one, and it alone is unplugged.
            if (!anyLost(devices)) {
                for (const auto& device : devices) device->pollTilt(now, true);
            }
            if (anyLost(devices)) {
                for (const auto& device : devices) {
                    if (!device->isConnected()) device->stopStreams();
                }
                continue;
            }
            // A failure no device explains (the devices are gone, or a dump
            // ended): every sensor of the context counts as unplugged.
            for (const auto& device : devices) device->stopStreams();
            std::lock_guard<std::mutex> state(stateMutex_);
            failed_ = true;
            running_ = false;
            for (const auto& device : devices) device->lost();
            break;
        }
    }
    // Streams of devices no longer in use end with the thread.
    std::lock_guard<std::mutex> api(apiMutex_);
    for (const auto& device : devices) {
        std::unique_lock<std::mutex> state(stateMutex_);
        const bool inUse = device->inUse();
        state.unlock();
        if (!inUse) device->stopStreams();
    }
}

}  // namespace plexa::virtual1
