// One real first-generation sensor through libfreenect, as a source. Sensor
// objects only record what they want (streams, tilt) and read what the
// context's event thread last saw (tilt state, connection); the event thread
// applies the wishes, polls the motor, and hands each frame, converted, to the
// sensor object that opened that stream last.
//
// Lock order: the context's API lock, then a sensor object's lock, then the
// state lock.
#pragma once

#include "FreenectApi.h"
#include "SensorSource.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace plexa::virtual1 {

class FreenectDevice;

// What a device asks of the context that drives it (FreenectContext).
class FreenectHost {
public:
    using Clock = std::chrono::steady_clock;

    virtual const freenect::Api& api() const = 0;
    // Guards the state that devices, sensor objects and the event thread share.
    virtual std::mutex& stateMutex() = 0;
    // The mode of libfreenect's tables for a stream, if the library offers it.
    virtual std::optional<freenect::FrameMode> videoMode(std::int32_t imageType, std::int32_t resolution) const = 0;
    virtual std::optional<freenect::FrameMode> depthMode(std::int32_t resolution) const = 0;
    // Something a device wants changed: the event thread runs (or wakes) to do it.
    virtual void wake() = 0;
    // Tilt calls of a sensor object's caller. While the event thread runs it
    // keeps the tilt state fresh; otherwise the caller asks the motor itself.
    virtual bool setTilt(freenect::Device* device, LONG degrees) = 0;
    virtual void refreshTilt(FreenectDevice& device) = 0;

protected:
    ~FreenectHost() = default;
};

struct VideoWish {
    std::int32_t imageType = -1;  // NUI_IMAGE_TYPE_COLOR or _COLOR_INFRARED; -1: none
    std::int32_t resolution = -1;
    bool operator==(const VideoWish& other) const {
        return imageType == other.imageType && resolution == other.resolution;
    }
    bool operator!=(const VideoWish& other) const { return !(*this == other); }
};

class FreenectDevice final : public SensorSource {
public:
    FreenectDevice(FreenectHost& context, int index, freenect::Device* device)
        : context_(context), index_(index), device_(device) {}

    bool isConnected() override;
    void sensorInUse(bool inUse) override;
    HRESULT checkImageStream(std::int32_t imageType, std::int32_t resolution) override;
    void streamOpened(Stream kind, std::int32_t imageType, std::int32_t resolution,
                      const std::shared_ptr<FrameReceiver>& receiver) override;
    void streamClosed(Stream kind, const FrameReceiver* receiver, std::vector<ScriptedImageFrame>&&) override;
    HRESULT setElevation(LONG degrees) override;
    HRESULT elevation(LONG& degrees) override;
    HRESULT accelerometer(Vector4& reading) override;
    bool mapDepthToColor(std::int32_t depthResolution, std::int32_t colorResolution, const USHORT* samples,
                         LONG* colorCoordinates) override;

    // On the event thread, under the API lock.
    void keepRegistration(const freenect::Registration& registration);
    void applyWishes();
    void pollTilt(FreenectHost::Clock::time_point now, bool forced);
    void stopStreams();
    void onDepth(void* data);
    void onVideo(void* data);

    // Under the state lock.
    bool inUse() const { return users_ > 0; }
    bool streaming() const { return depthRunning_ || videoRunning(); }
    void lost();

private:
    FreenectHost& context_;
    const int index_;
    freenect::Device* const device_;
    // Registration, when libfreenect has the device's data (read-only once kept).
    std::vector<std::uint16_t> rawToMillimetres_;
    std::vector<std::int32_t> registrationTable_;
    std::vector<std::int32_t> depthToRgbShift_;

    // State lock.
    bool connected_ = true;
    int users_ = 0;
    ReceiverHandle depthReceiver_;
    ReceiverHandle videoReceiver_;
    bool wantDepth_ = false;
    VideoWish wantVideo_;
    bool depthRunning_ = false;  // as last applied
    VideoWish videoRunning_;
    bool videoRunning() const { return videoRunning_.imageType != -1; }
    bool tiltKnown_ = false;
    bool motorAnswered_ = false;
    freenect::RawTiltState tilt_{};
    LONG elevation_ = 0;
    FreenectHost::Clock::time_point lastTiltPoll_{};
};

}  // namespace plexa::virtual1
