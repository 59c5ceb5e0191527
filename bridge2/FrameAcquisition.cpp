// Acquisition: one frame per selected stream, in the order color, depth, body
// index, body, infrared, long-exposure infrared. A stream that cannot be
// taken drops the event; what was taken so far goes back with the working set.
#include "FramePhases.h"
#include "KSDK.h"

namespace plexa::bridge2 {
namespace {

template <typename Reference, typename Frame>
bool acquireStream(IMultiSourceFrame* source, HRESULT (IMultiSourceFrame::*getReference)(Reference**),
                   RuntimePtr<Frame>& frame) {
    RuntimePtr<Reference> reference;
    if (FAILED(reference.receive([&](Reference** out) { return (source->*getReference)(out); })) || !reference) {
        return false;
    }
    const HRESULT acquired = frame.receive([&](Frame** out) { return reference->AcquireFrame(out); });
    return SUCCEEDED(acquired) && frame;
}

}  // namespace

bool acquireSources(KSDK& session, FrameWorkingSet& frame) {
    IMultiSourceFrame* source = frame.multiSourceFrame.get();
    const auto take = [&](bool selected, Stream stream, auto getReference, auto& into) {
        if (!selected) return true;
        if (!acquireStream(source, getReference, into)) return false;
        frame.types.appendStream(stream, frame.computeUV, frame.computeXYZ);
        return true;
    };
    const StreamSelection& s = session.streams;
    using Source = IMultiSourceFrame;
    return take(s.useColor, Stream::Color, &Source::get_ColorFrameReference, frame.colorFrame) &&
           take(s.useDepth, Stream::Depth, &Source::get_DepthFrameReference, frame.depthFrame) &&
           take(s.useBodyIndex, Stream::BodyIndex, &Source::get_BodyIndexFrameReference, frame.bodyIndexFrame) &&
           take(s.useBody, Stream::Body, &Source::get_BodyFrameReference, frame.bodyFrame) &&
           take(s.useInfrared, Stream::Infrared, &Source::get_InfraredFrameReference, frame.infraredFrame) &&
           take(s.useLongExposureInfrared, Stream::LongExposureInfrared,
                &Source::get_LongExposureInfraredFrameReference, frame.longExposureInfraredFrame);
}

}  // namespace plexa::bridge2
