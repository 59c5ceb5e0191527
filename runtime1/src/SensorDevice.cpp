// Initialisation and image streams of one sensor.
#include "SensorDevice.h"

#include <algorithm>

namespace plexa::virtual1 {

namespace {

constexpr DWORD knownInitializeFlags = NUI_INITIALIZE_FLAG_USES_DEPTH_AND_PLAYER_INDEX |
                                       NUI_INITIALIZE_FLAG_USES_COLOR | NUI_INITIALIZE_FLAG_USES_SKELETON;

// Stream handles are serial numbers that are never reused, so a stale handle
// cannot name a newer stream.
HANDLE newStreamHandle() {
    static std::atomic<std::uintptr_t> lastHandle{0x5E000000u};
    return reinterpret_cast<HANDLE>(++lastHandle);
}

}  // namespace

HRESULT SensorDevice::initialize(DWORD flags) {
    if ((flags & ~knownInitializeFlags) != 0) return E_INVALIDARG;
    if (!source_->isConnected()) return E_NUI_NOTCONNECTED;
    Lock lock(mutex_);
    if (!initialized_) {
        initialized_ = true;
        initializedAt_ = source_->clockStart(Clock::now());
        source_->sensorInUse(true);
    }
    initializeFlags_ = flags;
    return S_OK;
}

DWORD SensorDevice::initializationFlags() {
    Lock lock(mutex_);
    return initialized_ ? initializeFlags_ : 0;
}

void SensorDevice::shutdown() {
    Lock lock(mutex_);
    closeStreams();
    endTracking();
    smoothing_.reset();
    if (initialized_) source_->sensorInUse(false);
    initialized_ = false;
    initializeFlags_ = 0;
    takenReading_.reset();
    changed_.notify_all();
}

HRESULT SensorDevice::openImageStream(const ImageStreamSettings& settings, HANDLE* stream) {
    if (stream == nullptr) return E_POINTER;
    Lock lock(mutex_);
    if (!initialized_) return E_NUI_FEATURE_NOT_INITIALIZED;
    if (!isKnownImageType(settings.imageType) || !isKnownResolution(settings.resolution) || settings.frameLimit < 1 ||
        settings.frameLimit > NUI_IMAGE_STREAM_FRAME_LIMIT_MAXIMUM) {
        return E_INVALIDARG;
    }
    const Stream kind = streamOf(settings.imageType);
    const DWORD feature =
        kind == Stream::Depth ? NUI_INITIALIZE_FLAG_USES_DEPTH_AND_PLAYER_INDEX : NUI_INITIALIZE_FLAG_USES_COLOR;
    if ((initializeFlags_ & feature) == 0) return E_NUI_STREAM_NOT_ENABLED;
    std::unique_ptr<ImageStream>& slot = streams_[slotOf(kind)];
    if (slot) return E_NUI_IMAGE_STREAM_IN_USE;
    const HRESULT offered = source_->checkImageStream(settings.imageType, settings.resolution);
    if (FAILED(offered)) return offered;

    const HANDLE handle = newStreamHandle();
    slot = std::make_unique<ImageStream>(handle, index_, settings);
    source_->streamOpened(kind, settings.imageType, settings.resolution, shared_from_this());
    takeScriptedFramesLocked();
    *stream = handle;
    return S_OK;
}

HRESULT SensorDevice::setImageFrameFlags(HANDLE stream, DWORD frameFlags) {
    Lock lock(mutex_);
    if (!initialized_) return E_NUI_FEATURE_NOT_INITIALIZED;
    ImageStream* open = openStream(stream);
    if (open == nullptr) return E_INVALIDARG;
    const HRESULT offered = source_->checkFrameFlags(frameFlags);
    if (FAILED(offered)) return offered;
    open->setFrameFlags(frameFlags);
    return S_OK;
}

HRESULT SensorDevice::getImageFrameFlags(HANDLE stream, DWORD* frameFlags) {
    if (frameFlags == nullptr) return E_POINTER;
    Lock lock(mutex_);
    if (!initialized_) return E_NUI_FEATURE_NOT_INITIALIZED;
    ImageStream* open = openStream(stream);
    if (open == nullptr) return E_INVALIDARG;
    *frameFlags = open->frameFlags();
    return S_OK;
}

HRESULT SensorDevice::getNextImageFrame(HANDLE stream, DWORD millisecondsToWait, NUI_IMAGE_FRAME* frame) {
    if (frame == nullptr) return E_POINTER;
    Lock lock(mutex_);
    if (!initialized_) return E_NUI_FEATURE_NOT_INITIALIZED;
    ImageStream* open = openStream(stream);
    if (open == nullptr) return E_INVALIDARG;
    if (open->readyCount() == 0 && millisecondsToWait > 0) {
        // The stream may end while we wait; look it up afresh each time.
        waitFor(lock, millisecondsToWait, [&] {
            open = openStream(stream);
            return open == nullptr || open->readyCount() > 0;
        });
        if (!initialized_) return E_NUI_FEATURE_NOT_INITIALIZED;
        if (open == nullptr) return E_INVALIDARG;
    }
    if (!open->takeNext(*frame)) return E_NUI_FRAME_NO_DATA;
    if (open->kind() == Stream::Depth && open->lastTakenReading()) takenReading_ = open->lastTakenReading();
    takeScriptedFramesLocked();
    open->settleEvent();
    return S_OK;
}

HRESULT SensorDevice::releaseImageFrame(HANDLE stream, NUI_IMAGE_FRAME* frame) {
    if (frame == nullptr) return E_POINTER;
    Lock lock(mutex_);
    ImageStream* owner = anyStream(stream);
    if (owner == nullptr) return E_INVALIDARG;
    const HRESULT released = owner->release(*frame);
    if (FAILED(released)) return released;
    // A stream that ended with frames still held goes once the last comes back.
    for (auto closed = closedStreams_.begin(); closed != closedStreams_.end(); ++closed) {
        if (closed->get() == owner && owner->outstandingCount() == 0) {
            closedStreams_.erase(closed);
            break;
        }
    }
    return S_OK;
}

ImageStream* SensorDevice::openStream(HANDLE stream) {
    for (const auto& open : streams_) {
        if (open && open->handle() == stream) return open.get();
    }
    return nullptr;
}

ImageStream* SensorDevice::anyStream(HANDLE stream) {
    if (ImageStream* open = openStream(stream)) return open;
    for (const auto& closed : closedStreams_) {
        if (closed->handle() == stream) return closed.get();
    }
    return nullptr;
}

INT64 SensorDevice::timeStampAt(Clock::time_point when) const {
    // A tick that fell due just before the sensor was initialised counts from 0.
    return std::max<INT64>(0, std::chrono::duration_cast<std::chrono::milliseconds>(when - initializedAt_).count());
}

void SensorDevice::closeStreams() {
    for (auto& stream : streams_) {
        if (!stream) continue;
        source_->streamClosed(stream->kind(), this, stream->dropReady());
        if (stream->outstandingCount() > 0) closedStreams_.push_back(std::move(stream));
        stream.reset();
    }
}

HRESULT SensorDevice::accelerometer(Vector4& reading) {
    {
        Lock lock(mutex_);
        if (takenReading_) {
            reading = *takenReading_;
            return S_OK;
        }
    }
    return source_->accelerometer(reading);
}

bool SensorDevice::deliverImage(Stream kind, Clock::time_point takenAt, ImageFill fill) {
    HANDLE handle = nullptr;
    std::unique_ptr<FrameTexture> texture;
    ImageSlot slot;
    {
        Lock lock(mutex_);
        const auto& stream = streams_[slotOf(kind)];
        if (!initialized_ || !stream) return false;
        handle = stream->handle();
        texture = stream->blankTexture();
        slot.bytes = texture->bytes().data();
        slot.size = stream->size();
        slot.imageType = stream->imageType();
        slot.timeStamp = timeStampAt(takenAt);
    }
    // Filling takes the longest; the caller may fetch and release meanwhile.
    if (!fill(slot)) return false;
    Lock lock(mutex_);
    // A stream that ended (or was replaced) meanwhile gets nothing.
    ImageStream* stream = openStream(handle);
    if (stream == nullptr || !source_->acceptsPushedFrames(this)) return false;
    stream->pushLive(std::move(texture), slot.timeStamp, slot.reading);
    changed_.notify_all();
    return true;
}

bool SensorDevice::deliverSkeleton(Clock::time_point takenAt, SkeletonFill fill) {
    NUI_SKELETON_FRAME frame{};
    SkeletonSlot slot{frame};
    {
        Lock lock(mutex_);
        if (!tracker_.enabled()) return false;
        slot.seated = tracker_.seated();
        slot.timeStamp = timeStampAt(takenAt);
    }
    if (!fill(slot)) return false;
    Lock lock(mutex_);
    if (!tracker_.enabled() || !source_->acceptsPushedFrames(this)) return false;
    frame.liTimeStamp.QuadPart = slot.timeStamp;
    frame.dwFrameNumber = tracker_.nextLiveFrameNumber();
    tracker_.pushLive(frame);
    changed_.notify_all();
    return true;
}

}  // namespace plexa::virtual1
