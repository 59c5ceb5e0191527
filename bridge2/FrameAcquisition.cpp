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
    const bool uv = frame.computeUV;
    const bool xyz = frame.computeXYZ;
    if (session.streams.useColor) {
        if (!acquireStream(source, &IMultiSourceFrame::get_ColorFrameReference, frame.colorFrame)) return false;
        frame.types.appendStream(Stream::Color, uv, xyz);
    }
    if (session.streams.useDepth) {
        if (!acquireStream(source, &IMultiSourceFrame::get_DepthFrameReference, frame.depthFrame)) return false;
        frame.types.appendStream(Stream::Depth, uv, xyz);
    }
    if (session.streams.useBodyIndex) {
        if (!acquireStream(source, &IMultiSourceFrame::get_BodyIndexFrameReference, frame.bodyIndexFrame)) {
            return false;
        }
        frame.types.appendStream(Stream::BodyIndex, uv, xyz);
    }
    if (session.streams.useBody) {
        if (!acquireStream(source, &IMultiSourceFrame::get_BodyFrameReference, frame.bodyFrame)) return false;
    }
    if (session.streams.useInfrared) {
        if (!acquireStream(source, &IMultiSourceFrame::get_InfraredFrameReference, frame.infraredFrame)) return false;
        frame.types.appendStream(Stream::Infrared, uv, xyz);
    }
    if (session.streams.useLongExposureInfrared) {
        if (!acquireStream(source, &IMultiSourceFrame::get_LongExposureInfraredFrameReference,
                           frame.longExposureInfraredFrame)) {
            return false;
        }
        frame.types.appendStream(Stream::LongExposureInfrared, uv, xyz);
    }
    return true;
}

}  // namespace plexa::bridge2
