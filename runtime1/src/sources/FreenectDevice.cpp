#include "FreenectDevice.h"

#include "DepthConversion.h"
#include "ImageGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace plexa::virtual1 {

namespace {

using freenect::FrameMode;

constexpr auto kTiltPollInterval = std::chrono::milliseconds(100);

}  // namespace

// ---- what sensor objects ask ----------------------------------------------------

bool FreenectDevice::isConnected() {
    std::lock_guard<std::mutex> lock(context_.stateMutex());
    return connected_;
}

void FreenectDevice::sensorInUse(bool inUse) {
    {
        std::lock_guard<std::mutex> lock(context_.stateMutex());
        users_ = inUse ? users_ + 1 : std::max(0, users_ - 1);
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
                                  const std::shared_ptr<FrameReceiver>& receiver) {
    {
        std::lock_guard<std::mutex> lock(context_.stateMutex());
        ReceiverHandle& target = kind == Stream::Depth ? depthReceiver_ : videoReceiver_;
        target = ReceiverHandle{receiver, receiver.get()};
        if (kind == Stream::Depth) {
            wantDepth_ = true;
        } else {
            wantVideo_ = VideoWish{imageType, resolution};
        }
    }
    context_.wake();
}

void FreenectDevice::streamClosed(Stream kind, const FrameReceiver* receiver, std::vector<ScriptedImageFrame>&&) {
    {
        std::lock_guard<std::mutex> lock(context_.stateMutex());
        ReceiverHandle& target = kind == Stream::Depth ? depthReceiver_ : videoReceiver_;
        if (!target.is(receiver)) return;
        target = ReceiverHandle{};
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
    const DepthRegistration registration{reinterpret_cast<const std::int32_t(*)[2]>(registrationTable_.data()),
                                         depthToRgbShift_.data(), static_cast<int>(depthToRgbShift_.size())};
    const ImageSize color = imageSizeOf(colorResolution);
    mapDepthToColorByRegistration(registration, samples, color.width, color.height, colorCoordinates);
    return true;
}

// ---- on the event thread ---------------------------------------------------------

void FreenectDevice::keepRegistration(const freenect::Registration& registration) {
    constexpr std::size_t pixels = 640 * 480;
    if (registration.rawToMillimetreShift == nullptr || registration.depthToRgbShift == nullptr ||
        registration.registrationTable == nullptr) {
        return;
    }
    rawToMillimetres_.assign(registration.rawToMillimetreShift, registration.rawToMillimetreShift + kRawDepthValues);
    depthToRgbShift_.assign(registration.depthToRgbShift,
                            registration.depthToRgbShift + freenect::kRegistrationShiftCount);
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

void FreenectDevice::pollTilt(FreenectHost::Clock::time_point now, bool forced) {
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
    std::shared_ptr<FrameReceiver> receiver;
    {
        std::lock_guard<std::mutex> lock(context_.stateMutex());
        receiver = depthReceiver_.object.lock();
    }
    if (!receiver || data == nullptr) return;
    const std::uint16_t* table = rawToMillimetres_.empty() ? nullptr : rawToMillimetres_.data();
    receiver->deliverImage(Stream::Depth, FreenectHost::Clock::now(), [&](ImageSlot& slot) {
        if (slot.size.width != 640 || slot.size.height != 480) return false;
        // libfreenect's buffer need not be aligned for 16-bit values (fakenect's
        // follows a file header): the values are copied into the frame first.
        auto* samples = reinterpret_cast<std::uint16_t*>(slot.bytes);
        std::memcpy(samples, data, slot.size.pixelCount() * sizeof(std::uint16_t));
        depthSamplesFromRaw(samples, slot.size.pixelCount(), table, samples);
        return true;
    });
}

void FreenectDevice::onVideo(void* data) {
    std::shared_ptr<FrameReceiver> receiver;
    VideoWish running;
    {
        std::lock_guard<std::mutex> lock(context_.stateMutex());
        receiver = videoReceiver_.object.lock();
        running = videoRunning_;
    }
    if (!receiver || data == nullptr) return;
    receiver->deliverImage(Stream::Video, FreenectHost::Clock::now(), [&](ImageSlot& slot) {
        const ImageSize wanted = imageSizeOf(running.resolution);
        // Frames of a mode being left behind are not the stream's.
        if (slot.imageType != running.imageType || slot.size.width != wanted.width ||
            slot.size.height != wanted.height) {
            return false;
        }
        // libfreenect's images are as wide as the stream's and at least as
        // tall (1280 x 1024 color, 640 x 488 infrared): the top rows are kept.
        const std::size_t pixels = slot.size.pixelCount();
        if (slot.imageType == NUI_IMAGE_TYPE_COLOR) {
            bgrxFromRgb(static_cast<const std::uint8_t*>(data), pixels, slot.bytes);
        } else {
            auto* samples = reinterpret_cast<std::uint16_t*>(slot.bytes);
            std::memcpy(samples, data, pixels * sizeof(std::uint16_t));
            infraredFromTenBit(samples, pixels, samples);
        }
        return true;
    });
}

}  // namespace plexa::virtual1
