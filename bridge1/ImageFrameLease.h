// One image frame taken from a stream of the runtime, given back when the
// lease ends, whatever path the handler took in between.
#pragma once

#include "NotCopyable.h"
#include "runtime1/NuiRuntime.h"

class ImageFrameLease : plexa::NotCopyable {
public:
    // Asks for the stream's next frame without waiting: a handler runs only
    // after the runtime has signalled that a frame is ready.
    ImageFrameLease(INuiSensor* sensor, HANDLE stream) : sensor_(sensor), stream_(stream) {
        fetched_ = sensor_ != nullptr && SUCCEEDED(sensor_->NuiImageStreamGetNextFrame(stream_, 0, &frame_));
    }
    ~ImageFrameLease() {
        if (fetched_) sensor_->NuiImageStreamReleaseFrame(stream_, &frame_);
    }

    bool fetched() const { return fetched_; }

    // Level 0 of the frame's texture, whole. A frame without a texture, or a
    // lock that fails, reads as an empty frame (pitch 0).
    NUI_LOCKED_RECT lock() {
        NUI_LOCKED_RECT rect{};
        if (!fetched_ || frame_.pFrameTexture == nullptr) return rect;
        if (FAILED(frame_.pFrameTexture->LockRect(0, &rect, nullptr, 0))) return NUI_LOCKED_RECT{};
        return rect;
    }

private:
    INuiSensor* sensor_;
    HANDLE stream_;
    NUI_IMAGE_FRAME frame_{};
    bool fetched_ = false;
};
