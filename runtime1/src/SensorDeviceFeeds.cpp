// Where a sensor's frames come from: the live producer's ticks, or the
// scripts of the control face.
#include "SensorDevice.h"

#include "LiveFrameSource.h"
#include "LiveScene.h"
#include "ProcessState.h"

namespace plexa::virtual1 {

namespace {

std::size_t slotOf(Stream stream) {
    return stream == Stream::Depth ? 0 : 1;
}

void fillImage(LiveFrameSource& source, const LiveView& view, std::int32_t imageType, ImageSize size, bool nearMode,
               std::vector<std::uint8_t>& bytes) {
    switch (imageType) {
        case NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX:
            source.fillDepth(view, size, nearMode, reinterpret_cast<std::uint16_t*>(bytes.data()));
            break;
        case NUI_IMAGE_TYPE_COLOR: source.fillColor(view, size, bytes.data()); break;
        case NUI_IMAGE_TYPE_COLOR_INFRARED:
            source.fillInfrared(view, size, reinterpret_cast<std::uint16_t*>(bytes.data()));
            break;
        default: break;
    }
}

}  // namespace

void SensorDevice::produceLive(Clock::time_point dueAt, LiveFrameSource& source) {
    struct Job {
        HANDLE stream;
        std::int32_t imageType;
        ImageSize size;
        bool nearMode;
        std::unique_ptr<FrameTexture> texture;
    };
    std::array<Job, 2> jobs{};
    std::size_t jobCount = 0;
    bool skeleton = false;
    bool seated = false;
    LiveView view{};
    INT64 timeStamp = 0;
    {
        Lock lock(mutex_);
        if (!needsFrames()) {
            wantsLiveTicks_ = false;
            return;
        }
        if (processState().isScripted(index_)) return;
        for (const auto& stream : streams_) {
            if (!stream) continue;
            jobs[jobCount++] = Job{stream->handle(), stream->imageType(), stream->size(),
                                   (stream->frameFlags() & NUI_IMAGE_STREAM_FLAG_ENABLE_NEAR_MODE) != 0, stream->blankTexture()};
        }
        skeleton = tracker_.enabled();
        seated = tracker_.seated();
        timeStamp = timeStampAt(dueAt);
        view = LiveView{sceneSecondsAt(timeStamp), index_, processState().elevation(index_)};
    }

    // Rendering takes the longest; the caller may fetch and release meanwhile.
    for (std::size_t job = 0; job < jobCount; ++job) {
        fillImage(source, view, jobs[job].imageType, jobs[job].size, jobs[job].nearMode, jobs[job].texture->bytes());
    }
    NUI_SKELETON_FRAME skeletonFrame{};
    if (skeleton) source.fillSkeletons(view, seated, skeletonFrame);

    Lock lock(mutex_);
    if (processState().isScripted(index_)) return;
    // A stream that ended (or was replaced) meanwhile gets nothing.
    for (std::size_t job = 0; job < jobCount; ++job) {
        if (ImageStream* stream = openStream(jobs[job].stream)) {
            stream->pushLive(std::move(jobs[job].texture), timeStamp);
        }
    }
    if (skeleton && tracker_.enabled()) {
        skeletonFrame.liTimeStamp.QuadPart = timeStamp;
        skeletonFrame.dwFrameNumber = tracker_.nextLiveFrameNumber();
        tracker_.pushLive(skeletonFrame);
    }
    changed_.notify_all();
}

void SensorDevice::takeScriptedFrames() {
    Lock lock(mutex_);
    takeScriptedFramesLocked();
}

void SensorDevice::takeScriptedFramesLocked() {
    if (!source_->isVirtual() || !processState().isScripted(index_)) return;
    bool took = false;
    for (const auto& stream : streams_) {
        if (!stream || !processState().receivesImageFrames(index_, stream->kind(), stream->handle())) continue;
        while (stream->hasRoom()) {
            std::optional<ScriptedImageFrame> frame = processState().popImage(index_, stream->kind());
            if (!frame) break;
            stream->pushScripted(std::move(*frame), timeStampAt(Clock::now()));
            took = true;
        }
    }
    if (tracker_.enabled() && processState().receivesSkeletonFrames(index_, this)) {
        while (std::optional<NUI_SKELETON_FRAME> frame = processState().popSkeleton(index_)) {
            tracker_.pushScripted(*frame);
            took = true;
        }
    }
    if (took) changed_.notify_all();
}

void SensorDevice::modeChanged() {
    Lock lock(mutex_);
    if (!source_->isVirtual()) return;
    for (const auto& stream : streams_) {
        if (stream) processState().returnImages(index_, stream->kind(), stream->dropReady());
    }
    processState().returnSkeletons(index_, tracker_.dropReady());
    takeScriptedFramesLocked();
}

void SensorDevice::forgetStreams() {
    Lock lock(mutex_);
    closeStreams();
    endTracking();
    smoothing_.reset();
    wantsLiveTicks_ = false;
    changed_.notify_all();
}

int SensorDevice::readyFrameCount(Stream stream) {
    Lock lock(mutex_);
    const auto& open = streams_[slotOf(stream)];
    if (!open) return -1;
    if (source_->isVirtual() && !processState().receivesImageFrames(index_, stream, open->handle())) return -1;
    return static_cast<int>(open->readyCount());
}

int SensorDevice::framesOutstanding() {
    Lock lock(mutex_);
    std::size_t held = 0;
    for (const auto& open : streams_) {
        if (open) held += open->outstandingCount();
    }
    for (const auto& closed : closedStreams_) held += closed->outstandingCount();
    return static_cast<int>(held);
}

}  // namespace plexa::virtual1
