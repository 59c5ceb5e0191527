#include "ImageStream.h"

#include <algorithm>

namespace plexa::virtual1 {

namespace {
// Enough spare textures for a frame limit's worth of frames in flight.
constexpr std::size_t maximumSpareTextures = 4;
// More than the bridges ever hold at once (one frame per stream at a time).
constexpr std::size_t kOutstandingFramesReserved = 8;
}  // namespace

ImageStream::ImageStream(HANDLE handle, int sensorIndex, const ImageStreamSettings& settings)
    : handle_(handle), sensorIndex_(sensorIndex), settings_(settings) {
    outstanding_.reserve(kOutstandingFramesReserved);
}

std::unique_ptr<FrameTexture> ImageStream::spareTexture() {
    if (spare_.empty()) return std::make_unique<FrameTexture>(sensorIndex_);
    std::unique_ptr<FrameTexture> texture = std::move(spare_.back());
    spare_.pop_back();
    return texture;
}

std::unique_ptr<FrameTexture> ImageStream::blankTexture() {
    std::unique_ptr<FrameTexture> texture = spareTexture();
    const std::int32_t pitch = packedPitchOf(settings_.imageType, settings_.resolution);
    texture->bytes().resize(static_cast<std::size_t>(pitch) * static_cast<std::size_t>(size().height));
    texture->setPitch(pitch);
    return texture;
}

void ImageStream::pushLive(std::unique_ptr<FrameTexture> texture, INT64 timeStamp, std::optional<Vector4> reading) {
    while (!ready_.empty() && !hasRoom()) {
        recycle(std::move(ready_.front().texture));
        ready_.pop_front();
    }
    push(ReadyFrame{std::move(texture), timeStamp, nextFrameNumber_++, false, reading});
}

void ImageStream::pushScripted(ScriptedImageFrame&& frame, INT64 timeStamp) {
    std::unique_ptr<FrameTexture> texture = spareTexture();
    texture->bytes() = std::move(frame.bytes);
    texture->setPitch(frame.pitch == -1 ? packedPitchOf(settings_.imageType, settings_.resolution) : frame.pitch);
    push(ReadyFrame{std::move(texture), timeStamp, nextFrameNumber_++, true, std::nullopt});
}

void ImageStream::push(ReadyFrame&& frame) {
    ready_.push_back(std::move(frame));
    if (settings_.nextFrameEvent != nullptr) SetEvent(settings_.nextFrameEvent);
}

bool ImageStream::takeNext(NUI_IMAGE_FRAME& frame) {
    if (ready_.empty()) return false;
    ReadyFrame next = std::move(ready_.front());
    ready_.pop_front();
    frame.liTimeStamp.QuadPart = next.timeStamp;
    frame.dwFrameNumber = next.frameNumber;
    frame.eImageType = static_cast<NUI_IMAGE_TYPE>(settings_.imageType);
    frame.eResolution = static_cast<NUI_IMAGE_RESOLUTION>(settings_.resolution);
    frame.pFrameTexture = next.texture.get();
    frame.dwFrameFlags = settings_.frameFlags;
    frame.ViewArea = NUI_IMAGE_VIEW_AREA{NUI_IMAGE_DIGITAL_ZOOM_1X, 0, 0};
    lastTakenReading_ = next.reading;
    outstanding_.push_back(HeldFrame{std::move(next.texture), next.frameNumber});
    return true;
}

HRESULT ImageStream::release(const NUI_IMAGE_FRAME& frame) {
    // The frame number tells a second release of an old frame record from the
    // frame that now reuses its texture.
    auto held = std::find_if(outstanding_.begin(), outstanding_.end(), [&](const HeldFrame& candidate) {
        return candidate.texture.get() == frame.pFrameTexture;
    });
    if (held == outstanding_.end() || held->frameNumber != frame.dwFrameNumber) return E_INVALIDARG;
    recycle(std::move(held->texture));
    *held = std::move(outstanding_.back());
    outstanding_.pop_back();
    return S_OK;
}

void ImageStream::settleEvent() {
    if (ready_.empty() && settings_.nextFrameEvent != nullptr) ResetEvent(settings_.nextFrameEvent);
}

std::vector<ScriptedImageFrame> ImageStream::dropReady() {
    std::vector<ScriptedImageFrame> scripted;
    for (ReadyFrame& frame : ready_) {
        if (!frame.scripted) continue;
        ScriptedImageFrame returned;
        returned.bytes = std::move(frame.texture->bytes());
        returned.pitch = frame.texture->pitch();
        scripted.push_back(std::move(returned));
    }
    ready_.clear();
    settleEvent();
    return scripted;
}

void ImageStream::recycle(std::unique_ptr<FrameTexture> texture) {
    if (spare_.size() < maximumSpareTextures) spare_.push_back(std::move(texture));
}

}  // namespace plexa::virtual1
