// Depth, infrared, long-exposure infrared and body-index frames: an image
// whose pixels the caller reads in place through AccessUnderlyingBuffer.
#pragma once

#include "FrameDescription.h"
#include "Instrumentation.h"
#include "RefCounted.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

namespace plexa::virtual2 {

inline const std::vector<std::uint16_t>& pixelsOf(const ScriptedShortImage& image) { return image.samples; }
inline const std::vector<std::uint8_t>& pixelsOf(const ScriptedBodyIndexImage& image) { return image.bytes; }

// The shared body of every frame's access to its own buffer. The capacity is
// the number of elements the frame holds, which a scripted frame may set apart
// from its width and height. The elements are shared read-only data; the
// interface hands out a writable pointer all the same.
template <class Element>
HRESULT accessBuffer(Operation operation, FrameKind kind, const std::vector<Element>& elements, UINT* capacity,
                     Element** buffer) {
    if (capacity != nullptr) *capacity = 0;
    if (buffer != nullptr) *buffer = nullptr;
    return traced({operation, kind}, {}, [&] {
        if (capacity == nullptr || buffer == nullptr) return E_POINTER;
        if (elements.size() > std::numeric_limits<UINT>::max()) return E_FAIL;
        *capacity = static_cast<UINT>(elements.size());
        *buffer = elements.empty() ? nullptr : const_cast<Element*>(elements.data());
        return S_OK;
    });
}

template <class Interface, class Image>
class ImageFrame final : public RefCounted<Interface> {
public:
    using Pixel = typename std::decay_t<decltype(pixelsOf(std::declval<const Image&>()))>::value_type;

    ImageFrame(FrameKind kind, std::shared_ptr<const Image> image, TIMESPAN relativeTime)
        : kind_(kind), image_(std::move(image)), relativeTime_(relativeTime) {}

    HRESULT STDMETHODCALLTYPE get_FrameDescription(IFrameDescription** description) override {
        return describeFrame(kind_, image_->width, image_->height, sizeof(Pixel), description);
    }

    HRESULT STDMETHODCALLTYPE get_RelativeTime(TIMESPAN* relativeTime) override {
        return answer({Operation::FrameGetRelativeTime, kind_}, relativeTime, relativeTime_);
    }

    HRESULT STDMETHODCALLTYPE AccessUnderlyingBuffer(UINT* capacity, Pixel** buffer) override {
        return accessBuffer(Operation::FrameAccessUnderlyingBuffer, kind_, pixelsOf(*image_), capacity, buffer);
    }

private:
    const FrameKind kind_;
    const std::shared_ptr<const Image> image_;
    const TIMESPAN relativeTime_;
};

using DepthFrame = ImageFrame<IDepthFrame, ScriptedShortImage>;
using InfraredFrame = ImageFrame<IInfraredFrame, ScriptedShortImage>;
using LongExposureInfraredFrame = ImageFrame<ILongExposureInfraredFrame, ScriptedShortImage>;
using BodyIndexFrame = ImageFrame<IBodyIndexFrame, ScriptedBodyIndexImage>;

}  // namespace plexa::virtual2
