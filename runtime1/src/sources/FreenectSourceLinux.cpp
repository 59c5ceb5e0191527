// Real first-generation sensors through libfreenect 0.5, loaded at run time.
//
// One context per process. Every libfreenect call is made under the context's
// API lock, and all streaming calls (modes, start and stop, events, tilt) on
// the context's event thread, which runs while a sensor object of one of its
// devices is initialised. Sensor objects only record what they want (streams,
// tilt) and read what the event thread last saw (tilt state, connection).
// libfreenect's callbacks run inside its event processing, on that thread, and
// hand each frame, converted, to the stream queues of the sensor object that
// opened that stream last.
//
// Lock order: API lock, then a sensor object's lock, then the state lock.
#include "DepthConversion.h"
#include "FreenectApi.h"
#include "ImageGeometry.h"
#include "ProcessState.h"
#include "SensorDevice.h"
#include "SourceSelection.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace plexa::virtual1 {

namespace {

using Clock = std::chrono::steady_clock;
using freenect::FrameMode;

constexpr const char* kLibraryFile = "libfreenect.so.0.5";
constexpr int kLibusbInterrupted = -10;  // LIBUSB_ERROR_INTERRUPTED: a signal, not a failure
constexpr auto kEventWait = std::chrono::milliseconds(10);
constexpr auto kIdleWait = std::chrono::milliseconds(100);
constexpr auto kTiltPollInterval = std::chrono::milliseconds(100);

// What a sensor object's stream asks of the device's video stream.
struct VideoWish {
    std::int32_t imageType = -1;   // NUI_IMAGE_TYPE_COLOR or _COLOR_INFRARED; -1: none
    std::int32_t resolution = -1;
    bool operator==(const VideoWish& other) const {
        return imageType == other.imageType && resolution == other.resolution;
    }
    bool operator!=(const VideoWish& other) const { return !(*this == other); }
};

class FreenectContext;

class FreenectDevice final : public SensorSource {
public:
    FreenectDevice(FreenectContext& context, int index, freenect::Device* device) : context_(context), index_(index), device_(device) {}

    bool isConnected() override;
    HRESULT status() override;
    void sensorInitialized(const SensorDevice*) override;
    void sensorShutDown(const SensorDevice*) override;
    HRESULT checkImageStream(std::int32_t imageType, std::int32_t resolution) override;
    HRESULT checkFrameFlags(DWORD flags) override {
        return (flags & NUI_IMAGE_STREAM_FLAG_ENABLE_NEAR_MODE) != 0 ? E_NUI_HARDWARE_FEATURE_UNAVAILABLE : S_OK;
    }
    HRESULT checkSkeletonTracking() override { return E_NUI_NOTSUPPORTED; }
    void streamOpened(Stream kind, std::int32_t imageType, std::int32_t resolution,
                      const std::shared_ptr<SensorDevice>& receiver) override;
    void streamClosed(Stream kind, const SensorDevice* receiver) override;
    HRESULT setElevation(LONG degrees) override;
    HRESULT elevation(LONG& degrees) override;
    HRESULT accelerometer(Vector4& reading) override;
    bool mapDepthToColor(std::int32_t depthResolution, std::int32_t colorResolution, const USHORT* samples,
                         LONG* colorCoordinates) override;

    // On the event thread, under the API lock.
    void keepRegistration(const freenect::Registration& registration);
    void applyWishes();
    void pollTilt(Clock::time_point now, bool forced);
    void stopStreams();
    void onDepth(void* data);
    void onVideo(void* data);

    // Under the state lock.
    bool inUse() const { return users_ > 0; }
    bool streaming() const { return depthRunning_ || videoRunning(); }
    void lost();

private:
    struct Receiver {
        std::weak_ptr<SensorDevice> device;
        const SensorDevice* address = nullptr;
    };

    FreenectContext& context_;
    const int index_;
    freenect::Device* const device_;
    // Registration, when libfreenect has the device's data (read-only once kept).
    std::vector<std::uint16_t> rawToMillimetres_;
    std::vector<std::int32_t> registrationTable_;
    std::vector<std::int32_t> depthToRgbShift_;

    // State lock.
    bool connected_ = true;
    int users_ = 0;
    Receiver depthReceiver_;
    Receiver videoReceiver_;
    bool wantDepth_ = false;
    VideoWish wantVideo_;
    bool depthRunning_ = false;   // as last applied
    VideoWish videoRunning_;
    bool videoRunning() const { return videoRunning_.imageType != -1; }
    bool tiltKnown_ = false;
    bool motorAnswered_ = false;
    freenect::RawTiltState tilt_{};
    LONG elevation_ = 0;
    Clock::time_point lastTiltPoll_{};

    friend class FreenectContext;
};

class FreenectContext {
public:
    FreenectContext(const freenect::Api& api, freenect::Context* context);

    const freenect::Api& api() const { return api_; }
    std::mutex& stateMutex() { return stateMutex_; }

    int deviceCount();
    HRESULT device(int index, std::shared_ptr<SensorSource>& source);

    // The mode of libfreenect's tables for a stream, if the library offers it.
    std::optional<FrameMode> videoMode(std::int32_t imageType, std::int32_t resolution) const;
    std::optional<FrameMode> depthMode(std::int32_t resolution) const;

    // Something a device wants changed: the event thread runs (or wakes) to do it.
    void wake();
    // Tilt calls of a sensor object's caller. While the event thread runs it
    // keeps the tilt state fresh; otherwise the caller asks the motor itself.
    bool setTilt(freenect::Device* device, LONG degrees);
    void refreshTilt(FreenectDevice& device);

private:
    void run();
    static void depthCallback(freenect::Device* device, void* data, std::uint32_t timestamp);
    static void videoCallback(freenect::Device* device, void* data, std::uint32_t timestamp);

    const freenect::Api api_;
    freenect::Context* const context_;
    std::vector<FrameMode> videoModes_;
    std::vector<FrameMode> depthModes_;

    std::mutex apiMutex_;
    std::mutex stateMutex_;
    std::condition_variable changed_;
    std::map<int, std::shared_ptr<FreenectDevice>> devices_;  // opened, kept for the process
    bool running_ = false;
    bool failed_ = false;  // event processing failed: every device is gone
    bool reportedOpenFailure_ = false;
};

FreenectContext* activeContext = nullptr;  // the process's one context, for the callbacks

// ---- FreenectDevice: what sensor objects ask --------------------------------

bool FreenectDevice::isConnected() {
    std::lock_guard<std::mutex> lock(context_.stateMutex());
    return connected_;
}

HRESULT FreenectDevice::status() {
    return isConnected() ? S_OK : E_NUI_NOTCONNECTED;
}

void FreenectDevice::sensorInitialized(const SensorDevice*) {
    {
        std::lock_guard<std::mutex> lock(context_.stateMutex());
        ++users_;
    }
    context_.wake();
}

void FreenectDevice::sensorShutDown(const SensorDevice*) {
    {
        std::lock_guard<std::mutex> lock(context_.stateMutex());
        users_ = std::max(0, users_ - 1);
    }
    context_.wake();
}

HRESULT FreenectDevice::checkImageStream(std::int32_t imageType, std::int32_t resolution) {
    const bool offered = imageType == NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX
                             ? context_.depthMode(resolution).has_value()
                             : context_.videoMode(imageType, resolution).has_value();
    return offered ? S_OK : E_NUI_NOTSUPPORTED;
}

void FreenectDevice::streamOpened(Stream kind, std::int32_t imageType, std::int32_t resolution,
                                  const std::shared_ptr<SensorDevice>& receiver) {
    {
        std::lock_guard<std::mutex> lock(context_.stateMutex());
        Receiver& target = kind == Stream::Depth ? depthReceiver_ : videoReceiver_;
        target = Receiver{receiver, receiver.get()};
        if (kind == Stream::Depth) {
            wantDepth_ = true;
        } else {
            wantVideo_ = VideoWish{imageType, resolution};
        }
    }
    context_.wake();
}

void FreenectDevice::streamClosed(Stream kind, const SensorDevice* receiver) {
    {
        std::lock_guard<std::mutex> lock(context_.stateMutex());
        Receiver& target = kind == Stream::Depth ? depthReceiver_ : videoReceiver_;
        if (target.address != receiver) return;
        target = Receiver{};
        if (kind == Stream::Depth) {
            wantDepth_ = false;
        } else {
            wantVideo_ = VideoWish{};
        }
    }
    context_.wake();
}

HRESULT FreenectDevice::setElevation(LONG degrees) {
    if (!isConnected()) return E_NUI_NOTCONNECTED;
    // The motor moves on its own after the command; the state it reports
    // follows as it goes.
    return context_.setTilt(device_, degrees) ? S_OK : E_FAIL;
}

HRESULT FreenectDevice::elevation(LONG& degrees) {
    context_.refreshTilt(*this);
    std::lock_guard<std::mutex> lock(context_.stateMutex());
    if (!connected_) return E_NUI_NOTCONNECTED;
    if (!tiltKnown_) return E_NUI_NOTREADY;
    degrees = elevation_;
    return S_OK;
}

HRESULT FreenectDevice::accelerometer(Vector4& reading) {
    context_.refreshTilt(*this);
    std::lock_guard<std::mutex> lock(context_.stateMutex());
    if (!connected_) return E_NUI_NOTCONNECTED;
    if (!tiltKnown_) return E_NUI_NOTREADY;
    reading = readingFromCounts(tilt_.accelerometerX, tilt_.accelerometerY, tilt_.accelerometerZ);
    return S_OK;
}

bool FreenectDevice::mapDepthToColor(std::int32_t depthResolution, std::int32_t colorResolution, const USHORT* samples,
                                     LONG* colorCoordinates) {
    if (registrationTable_.empty() || depthResolution != NUI_IMAGE_RESOLUTION_640x480) return false;
    DepthRegistration registration;
    registration.table = reinterpret_cast<const std::int32_t(*)[2]>(registrationTable_.data());
    registration.shift = depthToRgbShift_.data();
    registration.shiftCount = static_cast<int>(depthToRgbShift_.size());
    const ImageSize color = imageSizeOf(colorResolution);
    mapDepthToColorByRegistration(registration, samples, color.width, color.height, colorCoordinates);
    return true;
}

// ---- FreenectDevice: on the event thread -------------------------------------

void FreenectDevice::keepRegistration(const freenect::Registration& registration) {
    constexpr std::size_t pixels = 640 * 480;
    if (registration.rawToMillimetreShift == nullptr || registration.depthToRgbShift == nullptr ||
        registration.registrationTable == nullptr) {
        return;
    }
    rawToMillimetres_.assign(registration.rawToMillimetreShift, registration.rawToMillimetreShift + kRawDepthValues);
    depthToRgbShift_.assign(registration.depthToRgbShift, registration.depthToRgbShift + freenect::kRegistrationShiftCount);
    registrationTable_.resize(2 * pixels);
    for (std::size_t i = 0; i < pixels; ++i) {
        registrationTable_[2 * i] = registration.registrationTable[i][0];
        registrationTable_[2 * i + 1] = registration.registrationTable[i][1];
    }
}

void FreenectDevice::applyWishes() {
    const freenect::Api& api = context_.api();
    bool wantDepth;
    VideoWish wantVideo;
    {
        std::lock_guard<std::mutex> lock(context_.stateMutex());
        if (!connected_) return;
        wantDepth = wantDepth_;
        wantVideo = wantVideo_;
    }
    bool depthRunning = depthRunning_;
    VideoWish videoRunning = videoRunning_;
    if (depthRunning && !wantDepth) {
        api.stopDepth(device_);
        depthRunning = false;
    }
    if (!depthRunning && wantDepth) {
        const std::optional<FrameMode> mode = context_.depthMode(NUI_IMAGE_RESOLUTION_640x480);
        depthRunning = mode && api.setDepthMode(device_, *mode) >= 0 && api.startDepth(device_) >= 0;
    }
    if (videoRunning.imageType != -1 && videoRunning != wantVideo) {
        api.stopVideo(device_);
        videoRunning = VideoWish{};
    }
    if (videoRunning.imageType == -1 && wantVideo.imageType != -1) {
        const std::optional<FrameMode> mode = context_.videoMode(wantVideo.imageType, wantVideo.resolution);
        if (mode && api.setVideoMode(device_, *mode) >= 0 && api.startVideo(device_) >= 0) videoRunning = wantVideo;
    }
    std::lock_guard<std::mutex> lock(context_.stateMutex());
    depthRunning_ = depthRunning;
    videoRunning_ = videoRunning;
    // A stream that would not start is not asked for again until it is reopened.
    if (wantDepth && !depthRunning) wantDepth_ = false;
    if (wantVideo.imageType != -1 && videoRunning != wantVideo && wantVideo_ == wantVideo) wantVideo_ = VideoWish{};
}

void FreenectDevice::pollTilt(Clock::time_point now, bool forced) {
    const freenect::Api& api = context_.api();
    // The motor is asked over USB at most every poll interval; the state it
    // last reported (which fakenect's dump replaces) is read every time.
    bool answered = true;
    if (forced || now - lastTiltPoll_ >= kTiltPollInterval) {
        lastTiltPoll_ = now;
        answered = api.updateTiltState(device_) >= 0;
    }
    freenect::RawTiltState* state = api.getTiltState(device_);
    std::lock_guard<std::mutex> lock(context_.stateMutex());
    if (!answered) {
        // A motor that answered before and no longer does was unplugged.
        if (motorAnswered_) lost();
        return;
    }
    motorAnswered_ = true;
    if (state == nullptr) return;
    tilt_ = *state;
    tiltKnown_ = true;
    if (state->tiltAngle != freenect::kTiltAngleUnknown) {
        elevation_ = static_cast<LONG>(std::lround(api.getTiltDegs(state)));
    }
}

void FreenectDevice::stopStreams() {
    const freenect::Api& api = context_.api();
    if (depthRunning_) api.stopDepth(device_);
    if (videoRunning()) api.stopVideo(device_);
    std::lock_guard<std::mutex> lock(context_.stateMutex());
    depthRunning_ = false;
    videoRunning_ = VideoWish{};
}

void FreenectDevice::lost() {
    connected_ = false;
    wantDepth_ = false;
    wantVideo_ = VideoWish{};
}

void FreenectDevice::onDepth(void* data) {
    std::shared_ptr<SensorDevice> receiver;
    {
        std::lock_guard<std::mutex> lock(context_.stateMutex());
        receiver = depthReceiver_.device.lock();
    }
    if (!receiver || data == nullptr) return;
    const std::uint16_t* table = rawToMillimetres_.empty() ? nullptr : rawToMillimetres_.data();
    receiver->deliverFrame(Stream::Depth, [&](std::uint8_t* bytes, ImageSize size, std::int32_t, std::optional<Vector4>&) {
        if (size.width != 640 || size.height != 480) return false;
        // libfreenect's buffer need not be aligned for 16-bit values (fakenect's
        // follows a file header): the values are copied into the frame first.
        auto* samples = reinterpret_cast<std::uint16_t*>(bytes);
        std::memcpy(samples, data, size.pixelCount() * sizeof(std::uint16_t));
        depthSamplesFromRaw(samples, size.pixelCount(), table, samples);
        return true;
    });
}

void FreenectDevice::onVideo(void* data) {
    std::shared_ptr<SensorDevice> receiver;
    VideoWish running;
    {
        std::lock_guard<std::mutex> lock(context_.stateMutex());
        receiver = videoReceiver_.device.lock();
        running = videoRunning_;
    }
    if (!receiver || data == nullptr) return;
    receiver->deliverFrame(Stream::Video, [&](std::uint8_t* bytes, ImageSize size, std::int32_t imageType,
                                              std::optional<Vector4>&) {
        // Frames of a mode being left behind are not the stream's.
        if (imageType != running.imageType || size.width != imageSizeOf(running.resolution).width ||
            size.height != imageSizeOf(running.resolution).height) {
            return false;
        }
        // libfreenect's images are as wide as the stream's and at least as
        // tall (1280 x 1024 color, 640 x 488 infrared): the top rows are kept.
        if (imageType == NUI_IMAGE_TYPE_COLOR) {
            bgrxFromRgb(static_cast<const std::uint8_t*>(data), size.pixelCount(), bytes);
        } else {
            auto* samples = reinterpret_cast<std::uint16_t*>(bytes);
            std::memcpy(samples, data, size.pixelCount() * sizeof(std::uint16_t));
            infraredFromTenBit(samples, size.pixelCount(), samples);
        }
        return true;
    });
}

// ---- FreenectContext ----------------------------------------------------------

FreenectContext::FreenectContext(const freenect::Api& api, freenect::Context* context) : api_(api), context_(context) {
    for (int i = 0, count = api_.getVideoModeCount(); i < count; ++i) videoModes_.push_back(api_.getVideoMode(i));
    for (int i = 0, count = api_.getDepthModeCount(); i < count; ++i) depthModes_.push_back(api_.getDepthMode(i));
}

std::optional<FrameMode> FreenectContext::videoMode(std::int32_t imageType, std::int32_t resolution) const {
    std::int32_t format = 0, wanted = 0, width = 0, height = 0;
    if (imageType == NUI_IMAGE_TYPE_COLOR && resolution == NUI_IMAGE_RESOLUTION_640x480) {
        format = freenect::VideoRgb, wanted = freenect::ResolutionMedium, width = 640, height = 480;
    } else if (imageType == NUI_IMAGE_TYPE_COLOR && resolution == NUI_IMAGE_RESOLUTION_1280x960) {
        format = freenect::VideoRgb, wanted = freenect::ResolutionHigh, width = 1280, height = 960;
    } else if (imageType == NUI_IMAGE_TYPE_COLOR_INFRARED && resolution == NUI_IMAGE_RESOLUTION_640x480) {
        format = freenect::VideoInfrared10Bit, wanted = freenect::ResolutionMedium, width = 640, height = 480;
    } else {
        return std::nullopt;
    }
    const int bytesPerPixel = format == freenect::VideoRgb ? 3 : 2;
    for (const FrameMode& mode : videoModes_) {
        if (mode.isValid == 0 || mode.resolution != wanted || mode.format != format) continue;
        // Wide enough, tall enough, and as many bytes as it says, so that the
        // top rows of what it delivers are always there to take.
        if (mode.width != width || mode.height < height ||
            mode.bytes < static_cast<std::int64_t>(mode.width) * mode.height * bytesPerPixel) {
            continue;
        }
        return mode;
    }
    return std::nullopt;
}

std::optional<FrameMode> FreenectContext::depthMode(std::int32_t resolution) const {
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
    api_.setDepthCallback(opened, &FreenectContext::depthCallback);
    api_.setVideoCallback(opened, &FreenectContext::videoCallback);
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
    const bool needed = std::any_of(devices_.begin(), devices_.end(), [](const auto& entry) { return entry.second->inUse(); });
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
            // libfreenect cannot go on (the devices are gone, or a dump
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
        bool inUse;
        {
            std::lock_guard<std::mutex> state(stateMutex_);
            inUse = device->inUse();
        }
        if (!inUse) device->stopStreams();
    }
}

void FreenectContext::depthCallback(freenect::Device* device, void* data, std::uint32_t) {
    if (activeContext == nullptr) return;
    if (auto* self = static_cast<FreenectDevice*>(activeContext->api_.getUser(device))) self->onDepth(data);
}

void FreenectContext::videoCallback(freenect::Device* device, void* data, std::uint32_t) {
    if (activeContext == nullptr) return;
    if (auto* self = static_cast<FreenectDevice*>(activeContext->api_.getUser(device))) self->onVideo(data);
}

class FreenectSelection final : public SourceSelection {
public:
    explicit FreenectSelection(FreenectContext& context) : context_(context) {}
    int sensorCount() override { return context_.deviceCount(); }
    HRESULT sourceFor(int index, std::shared_ptr<SensorSource>& source) override { return context_.device(index, source); }

private:
    FreenectContext& context_;
};

}  // namespace

std::unique_ptr<SourceSelection> makeFreenectSelection(FreenectRequest request) {
    const bool explicitly = request == FreenectRequest::Explicit;
    const char* configured = std::getenv("PLEXA_FREENECT_LIBRARY");
    const char* file = configured != nullptr && configured[0] != '\0' ? configured : kLibraryFile;
    freenect::Api api{};
    std::string problem;
    if (!freenect::loadApi(file, api, problem)) {
        if (!explicitly) return nullptr;
        reportToUser(std::string("PLEXA_SENSOR1=freenect, but libfreenect (") + file + ") cannot be used: " + problem +
                     "; no sensor (Debian: apt-get install libfreenect0.5)");
        return makeNoSensorSelection();
    }
    freenect::Context* context = nullptr;
    if (api.init(&context, nullptr) < 0 || context == nullptr) {
        if (!explicitly) return nullptr;
        reportToUser("PLEXA_SENSOR1=freenect, but libfreenect could not start (no USB access?); no sensor");
        return makeNoSensorSelection();
    }
    api.setLogLevel(context, freenect::LogError);
    api.selectSubdevices(context, static_cast<freenect::DeviceFlags>(freenect::DeviceMotor | freenect::DeviceCamera));
    if (!explicitly && api.numDevices(context) <= 0) {
        // Nothing to drive: libusb's threads and files end here.
        api.shutdown(context);
        return nullptr;
    }
    // Never destroyed: its event thread and libfreenect's callbacks may run
    // until the process ends.
    activeContext = new FreenectContext(api, context);
    return std::make_unique<FreenectSelection>(*activeContext);
}

}  // namespace plexa::virtual1
