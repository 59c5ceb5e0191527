// One sensor object's state: initialisation, its image streams, skeleton
// tracking and smoothing. Each operation of the runtime face has one member
// here that does the work (the journal and failure injection sit in front, in
// NuiSensorObject). One mutex guards everything; the caller's events are set
// and reset under it, which cannot deadlock because the kernel never calls
// back into the sensor. Frames come from the sensor's source (sources/), which
// pushes them through the receiving face or, scripted, waits until this
// object has room and takes them.
#pragma once

#include "ImageStream.h"
#include "SkeletonTracker.h"
#include "runtime1/VirtualSensor1.h"
#include "sources/SensorSource.h"

#include <array>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace plexa::virtual1 {

class SensorDevice final : public FrameReceiver, public std::enable_shared_from_this<SensorDevice> {
public:
    SensorDevice(int index, std::shared_ptr<SensorSource> source) : index_(index), source_(std::move(source)) {}
    SensorDevice(const SensorDevice&) = delete;
    SensorDevice& operator=(const SensorDevice&) = delete;

    int index() const { return index_; }
    SensorSource& source() const { return *source_; }

    // Runtime face.
    HRESULT initialize(DWORD flags);
    // The flags of the last successful initialisation, 0 while shut down.
    DWORD initializationFlags();
    void shutdown();
    HRESULT openImageStream(const ImageStreamSettings& settings, HANDLE* stream);
    HRESULT setImageFrameFlags(HANDLE stream, DWORD frameFlags);
    HRESULT getImageFrameFlags(HANDLE stream, DWORD* frameFlags);
    HRESULT getNextImageFrame(HANDLE stream, DWORD millisecondsToWait, NUI_IMAGE_FRAME* frame);
    HRESULT releaseImageFrame(HANDLE stream, NUI_IMAGE_FRAME* frame);
    HRESULT enableSkeletonTracking(HANDLE nextFrameEvent, DWORD flags);
    HRESULT disableSkeletonTracking();
    HRESULT getNextSkeletonFrame(DWORD millisecondsToWait, NUI_SKELETON_FRAME* frame);
    HRESULT transformSmooth(NUI_SKELETON_FRAME* frame, const NUI_TRANSFORM_SMOOTH_PARAMETERS* parameters);
    // The reading of the depth frame fetched last when the source tags its
    // frames with one (a replay), else the source's reading now; written only
    // on success.
    HRESULT accelerometer(Vector4& reading);

    // Receiving face.
    bool deliverImage(Stream kind, Clock::time_point takenAt, ImageFill fill) override;
    bool deliverSkeleton(Clock::time_point takenAt, SkeletonFill fill) override;

    // Control face.
    // Ends streams and tracking but stays initialised.
    void forgetStreams();
    // Takes the scripted frames of its index that it receives, up to each
    // stream's frame limit.
    void takeScriptedFrames();
    // Drops the ready frames of the mode left behind and takes scripted ones.
    void modeChanged();
    // Ready frames of this sensor's stream of that kind; -1 without one.
    int readyFrameCount(Stream stream);
    int framesOutstanding();

private:
    using Lock = std::unique_lock<std::mutex>;

    bool hasSkeletonFeature() const {
        return initialized_ && (initializeFlags_ & NUI_INITIALIZE_FLAG_USES_SKELETON) != 0;
    }
    ImageStream* openStream(HANDLE stream);
    ImageStream* anyStream(HANDLE stream);  // open, or closed with frames still held
    INT64 timeStampAt(Clock::time_point when) const;
    void closeStreams();
    void endTracking();
    void takeScriptedFramesLocked();
    // Waits (with the lock) until `ready` holds, the deadline passes or the
    // sensor stops; true when `ready` holds.
    template <typename Ready>
    bool waitFor(Lock& lock, DWORD milliseconds, Ready&& ready) {
        if (milliseconds == INFINITE) {
            changed_.wait(lock, ready);
            return true;
        }
        return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), ready);
    }

    const int index_;
    const std::shared_ptr<SensorSource> source_;
    std::mutex mutex_;
    std::condition_variable changed_;  // a frame became ready, or streams ended
    bool initialized_ = false;
    DWORD initializeFlags_ = 0;
    Clock::time_point initializedAt_{};
    std::array<std::unique_ptr<ImageStream>, 2> streams_;  // depth, video
    std::vector<std::unique_ptr<ImageStream>> closedStreams_;
    std::optional<Vector4> takenReading_;  // of the depth frame fetched last, when tagged
    SkeletonTracker tracker_;
    SkeletonSmoothingFilter smoothing_;
};

}  // namespace plexa::virtual1
