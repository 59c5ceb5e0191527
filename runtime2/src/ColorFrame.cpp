#include "ColorFrame.h"

#include "ColorConversion.h"
#include "FrameDescription.h"
#include "ImageFrames.h"
#include "Instrumentation.h"

namespace plexa::virtual2 {

ColorFrame::ColorFrame(std::shared_ptr<const ScriptedColorImage> image, TIMESPAN relativeTime)
    : image_(std::move(image)), relativeTime_(relativeTime) {}

// The description tells the bytes per pixel of the raw format: that is how
// the frame holds its pixels; conversion targets state their own size.
HRESULT STDMETHODCALLTYPE ColorFrame::get_FrameDescription(IFrameDescription** description) {
    return describeFrame(FrameKind::Color, image_->width, image_->height, colorBytesPerPixel(image_->rawFormat),
                         description);
}

HRESULT STDMETHODCALLTYPE ColorFrame::get_RelativeTime(TIMESPAN* relativeTime) {
    return answer({Operation::FrameGetRelativeTime, FrameKind::Color}, relativeTime, relativeTime_);
}

HRESULT STDMETHODCALLTYPE ColorFrame::get_RawColorImageFormat(ColorImageFormat* format) {
    return answer({Operation::ColorGetRawColorImageFormat, FrameKind::Color}, format, image_->rawFormat);
}

HRESULT STDMETHODCALLTYPE ColorFrame::AccessRawUnderlyingBuffer(UINT* capacity, BYTE** buffer) {
    return accessBuffer(Operation::ColorAccessRawUnderlyingBuffer, FrameKind::Color, image_->raw, capacity, buffer);
}

HRESULT STDMETHODCALLTYPE ColorFrame::CopyConvertedFrameDataToArray(UINT capacity, BYTE* buffer,
                                                                    ColorImageFormat format) {
    return traced({Operation::ColorCopyConvertedFrameDataToArray, FrameKind::Color}, {capacity, format},
                  [&] { return convertColorImage(*image_, format, capacity, buffer); });
}

}  // namespace plexa::virtual2
