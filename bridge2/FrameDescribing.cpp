// Describing: each taken frame is asked for its size and its pixel buffer,
// in the order depth, color, (mapping), body index, (bodies), infrared,
// long-exposure infrared. A runtime call that fails ends the phase; the
// streams not yet described then deliver empty entries. A size is recorded
// only from a call that succeeded, and a buffer only when the frame handed it
// out, so no entry is ever filled from memory that was not obtained.
#include "FramePhases.h"
#include "KSDK.h"

namespace plexa::bridge2 {
namespace {

template <typename Frame>
bool receiveDescription(Frame* frame, RuntimePtr<IFrameDescription>& description) {
    return SUCCEEDED(
               description.receive([frame](IFrameDescription** out) { return frame->get_FrameDescription(out); })) &&
           description;
}

// One side of the image's size, kept only when the call succeeds.
bool describeSide(IFrameDescription* description, HRESULT (STDMETHODCALLTYPE IFrameDescription::*get)(int*),
                  int& side) {
    int value = 0;
    if (FAILED((description->*get)(&value))) return false;
    side = value;
    return true;
}

template <typename Sample>
bool describeWidthThenHeight(IFrameDescription* description, ImageView<Sample>& view) {
    return describeSide(description, &IFrameDescription::get_Width, view.width) &&
           describeSide(description, &IFrameDescription::get_Height, view.height);
}

template <typename Frame, typename Sample>
bool describeUnderlyingBuffer(Frame* source, ImageView<Sample>& view) {
    UINT capacity = 0;
    Sample* buffer = nullptr;
    if (FAILED(source->AccessUnderlyingBuffer(&capacity, &buffer))) return false;
    view.setBuffer(buffer, capacity);
    return true;
}

// Size, then the frame's own buffer (depth and body index).
template <typename Frame, typename Sample>
bool describeUnderlying(Frame* source, RuntimePtr<IFrameDescription>& description, ImageView<Sample>& view) {
    return receiveDescription(source, description) && describeWidthThenHeight(description.get(), view) &&
           describeUnderlyingBuffer(source, view);
}

bool describeDepth(FrameWorkingSet& frame) {
    TIMESPAN relativeTime = 0;
    if (FAILED(frame.depthFrame->get_RelativeTime(&relativeTime))) return false;
    return describeUnderlying(frame.depthFrame.get(), frame.depthDescription, frame.depth);
}

bool describeColor(KSDK& session, FrameWorkingSet& frame) {
    IColorFrame* color = frame.colorFrame.get();
    if (!receiveDescription(color, frame.colorDescription)) return false;
    if (!describeWidthThenHeight(frame.colorDescription.get(), frame.color)) return false;
    ColorImageFormat rawFormat = ColorImageFormat_None;
    if (FAILED(color->get_RawColorImageFormat(&rawFormat))) return false;

    if (rawFormat == ColorImageFormat_Bgra) {
        // Already what Java receives: delivered straight from the frame.
        UINT capacity = 0;
        BYTE* raw = nullptr;
        if (FAILED(color->AccessRawUnderlyingBuffer(&capacity, &raw))) return false;
        frame.color.setBuffer(raw, capacity);
        return true;
    }

    if (!session.buffers->colorBuffer.ensure(frame.color.width, frame.color.height)) {
        // No room for the converted image: this frame's color entry stays
        // empty, the other streams go on.
        return true;
    }
    const std::int32_t bytes = session.buffers->colorBuffer.elementCount();
    const HRESULT converted = color->CopyConvertedFrameDataToArray(
        static_cast<UINT>(bytes), session.buffers->colorBuffer.data(), ColorImageFormat_Bgra);
    // Sized for this frame, so it is delivered even when the conversion failed.
    frame.color.setBuffer(session.buffers->colorBuffer.data(), static_cast<UINT>(bytes));
    return SUCCEEDED(converted);
}

// Infrared and long-exposure infrared. The field-of-view, length and
// bytes-per-pixel values are not delivered, but a frame that cannot answer
// them is not described further.
template <typename Frame>
bool describeInfraredImage(Frame* infrared, RuntimePtr<IFrameDescription>& description,
                           ImageView<std::uint16_t>& view) {
    TIMESPAN relativeTime = 0;
    if (FAILED(infrared->get_RelativeTime(&relativeTime))) return false;
    if (!receiveDescription(infrared, description)) return false;
    if (!describeSide(description.get(), &IFrameDescription::get_Height, view.height)) return false;
    if (!describeSide(description.get(), &IFrameDescription::get_Width, view.width)) return false;
    UINT bytesPerPixel = 0;
    float fieldOfView = 0.0f;
    UINT lengthInPixels = 0;
    if (FAILED(description->get_BytesPerPixel(&bytesPerPixel))) return false;
    if (FAILED(description->get_HorizontalFieldOfView(&fieldOfView))) return false;
    if (FAILED(description->get_VerticalFieldOfView(&fieldOfView))) return false;
    if (FAILED(description->get_DiagonalFieldOfView(&fieldOfView))) return false;
    if (FAILED(description->get_LengthInPixels(&lengthInPixels))) return false;
    return describeUnderlyingBuffer(infrared, view);
}

}  // namespace

void describeSources(KSDK& session, FrameWorkingSet& frame) {
    if (session.streams.useDepth && !describeDepth(frame)) return;
    if (session.streams.useColor && !describeColor(session, frame)) return;
    runMappingStage(session, frame);
    if (session.streams.useBodyIndex &&
        !describeUnderlying(frame.bodyIndexFrame.get(), frame.bodyIndexDescription, frame.bodyIndex)) {
        return;
    }
    if (session.streams.useBody && !runBodyStage(session, frame)) return;
    if (session.streams.useInfrared &&
        !describeInfraredImage(frame.infraredFrame.get(), frame.infraredDescription, frame.infrared)) {
        return;
    }
    if (session.streams.useLongExposureInfrared) {
        describeInfraredImage(frame.longExposureInfraredFrame.get(), frame.longExposureInfraredDescription,
                              frame.longExposureInfrared);
    }
}

}  // namespace plexa::bridge2
