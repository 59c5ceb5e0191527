// Scripted frames: taken from the source while a stream has room, and given
// back when a stream ends or the sensor's mode changes.
#include "SensorDevice.h"

namespace plexa::virtual1 {

void SensorDevice::takeScriptedFrames() {
    Lock lock(mutex_);
    takeScriptedFramesLocked();
}

void SensorDevice::takeScriptedFramesLocked() {
    bool took = false;
    for (const auto& stream : streams_) {
        if (!stream) continue;
        ScriptedImageFrame frame;
        while (stream->hasRoom() && source_->takeScriptedImage(stream->kind(), this, frame)) {
            stream->pushScripted(std::move(frame), timeStampAt(Clock::now()));
            took = true;
        }
    }
    NUI_SKELETON_FRAME skeleton{};
    while (tracker_.enabled() && source_->takeScriptedSkeleton(this, skeleton)) {
        tracker_.pushScripted(skeleton);
        took = true;
    }
    if (took) changed_.notify_all();
}

void SensorDevice::modeChanged() {
    Lock lock(mutex_);
    for (const auto& stream : streams_) {
        if (stream) source_->giveBackImages(stream->kind(), stream->dropReady());
    }
    source_->giveBackSkeletons(tracker_.dropReady());
    takeScriptedFramesLocked();
}

void SensorDevice::forgetStreams() {
    Lock lock(mutex_);
    closeStreams();
    endTracking();
    smoothing_.reset();
    changed_.notify_all();
}

int SensorDevice::readyFrameCount(Stream stream) {
    Lock lock(mutex_);
    const auto& open = streams_[slotOf(stream)];
    if (!open || !source_->feeds(stream, this)) return -1;
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
