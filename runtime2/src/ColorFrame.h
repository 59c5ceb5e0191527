// The color frame: raw bytes in the frame's own format, converted on request.
#pragma once

#include "RefCounted.h"
#include "runtime2/VirtualSensor2.h"

#include <memory>

namespace plexa::virtual2 {

class ColorFrame final : public RefCounted<IColorFrame> {
public:
    ColorFrame(std::shared_ptr<const ScriptedColorImage> image, TIMESPAN relativeTime);

    HRESULT STDMETHODCALLTYPE get_FrameDescription(IFrameDescription** description) override;
    HRESULT STDMETHODCALLTYPE get_RelativeTime(TIMESPAN* relativeTime) override;
    HRESULT STDMETHODCALLTYPE get_RawColorImageFormat(ColorImageFormat* format) override;
    HRESULT STDMETHODCALLTYPE AccessRawUnderlyingBuffer(UINT* capacity, BYTE** buffer) override;
    HRESULT STDMETHODCALLTYPE CopyConvertedFrameDataToArray(UINT capacity, BYTE* buffer,
                                                            ColorImageFormat format) override;

private:
    const std::shared_ptr<const ScriptedColorImage> image_;
    const TIMESPAN relativeTime_;
};

}  // namespace plexa::virtual2
