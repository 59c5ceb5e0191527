// A recording played as one sensor: its depth stream at the recorded
// resolution, 30 frames per second from the moment the stream opens, looping;
// each frame carries the accelerometer reading it was recorded with, and the
// sensor reads that of the depth frame fetched last. Color, infrared, near
// mode, tilt and skeleton tracking are not available.
#pragma once

#include "ReplayFrames.h"
#include "SensorSource.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

namespace plexa::virtual1 {

class ReplaySource final : public SensorSource, public std::enable_shared_from_this<ReplaySource> {
public:
    ReplaySource(std::string name, std::unique_ptr<ReplayFrames> frames);

    bool isConnected() override;
    HRESULT checkImageStream(std::int32_t imageType, std::int32_t resolution) override;
    void streamOpened(Stream kind, std::int32_t imageType, std::int32_t resolution,
                      const std::shared_ptr<FrameReceiver>& receiver) override;
    void streamClosed(Stream kind, const FrameReceiver* receiver, std::vector<ScriptedImageFrame>&&) override;
    HRESULT setElevation(LONG) override { return E_NUI_HARDWARE_FEATURE_UNAVAILABLE; }
    HRESULT elevation(LONG& degrees) override;
    HRESULT accelerometer(Vector4& reading) override;

private:
    // The player thread: runs while a depth stream takes frames.
    void play();

    const std::string name_;
    const std::unique_ptr<ReplayFrames> frames_;  // read by the player thread only
    std::mutex mutex_;
    std::condition_variable changed_;
    ReceiverHandle receiver_;
    bool playing_ = false;
    bool connected_ = true;
    Vector4 reading_;  // of the frame delivered last
    std::size_t next_ = 0;
};

// A recording file or a fakenect dump folder as the source of one sensor;
// null (said on standard error) when it cannot be played.
std::shared_ptr<SensorSource> makeReplaySource(const std::string& path);

}  // namespace plexa::virtual1
