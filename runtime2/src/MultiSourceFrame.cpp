#include "MultiSourceFrame.h"

#include "FrameReferences.h"
#include "Instrumentation.h"

namespace plexa::virtual2 {

MultiSourceFrame::MultiSourceFrame(DWORD sources, std::shared_ptr<const FrameContent> content)
    : sources_(sources), content_(std::move(content)) {}

// A source the reader was not opened with has no frame here: the getter
// fails with E_FAIL and hands out nothing.
template <class Reference, class Interface, class Data>
HRESULT MultiSourceFrame::handOutReference(Operation getter, Operation acquire, FrameKind kind, DWORD sourceBit,
                                           const std::shared_ptr<const Data>& data, Interface** reference) {
    if (reference != nullptr) *reference = nullptr;
    return traced({getter, kind}, {}, [&] {
        if (reference == nullptr) return E_POINTER;
        if ((sources_ & sourceBit) == 0 || !data) return E_FAIL;
        *reference = handOut<Reference>(acquire, kind, data, content_->relativeTime);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE MultiSourceFrame::get_ColorFrameReference(IColorFrameReference** reference) {
    return handOutReference<ColorFrameReference>(Operation::MultiSourceGetColorFrameReference,
                                                 Operation::ColorReferenceAcquireFrame, FrameKind::Color,
                                                 FrameSourceTypes_Color, content_->color, reference);
}

HRESULT STDMETHODCALLTYPE MultiSourceFrame::get_DepthFrameReference(IDepthFrameReference** reference) {
    return handOutReference<DepthFrameReference>(Operation::MultiSourceGetDepthFrameReference,
                                                 Operation::DepthReferenceAcquireFrame, FrameKind::Depth,
                                                 FrameSourceTypes_Depth, content_->depth, reference);
}

HRESULT STDMETHODCALLTYPE MultiSourceFrame::get_BodyFrameReference(IBodyFrameReference** reference) {
    return handOutReference<BodyFrameReference>(Operation::MultiSourceGetBodyFrameReference,
                                                Operation::BodyReferenceAcquireFrame, FrameKind::Body,
                                                FrameSourceTypes_Body, content_->bodies, reference);
}

HRESULT STDMETHODCALLTYPE MultiSourceFrame::get_BodyIndexFrameReference(IBodyIndexFrameReference** reference) {
    return handOutReference<BodyIndexFrameReference>(Operation::MultiSourceGetBodyIndexFrameReference,
                                                     Operation::BodyIndexReferenceAcquireFrame,
                                                     FrameKind::BodyIndex, FrameSourceTypes_BodyIndex,
                                                     content_->bodyIndex, reference);
}

HRESULT STDMETHODCALLTYPE MultiSourceFrame::get_InfraredFrameReference(IInfraredFrameReference** reference) {
    return handOutReference<InfraredFrameReference>(Operation::MultiSourceGetInfraredFrameReference,
                                                    Operation::InfraredReferenceAcquireFrame, FrameKind::Infrared,
                                                    FrameSourceTypes_Infrared, content_->infrared, reference);
}

HRESULT STDMETHODCALLTYPE
MultiSourceFrame::get_LongExposureInfraredFrameReference(ILongExposureInfraredFrameReference** reference) {
    return handOutReference<LongExposureInfraredFrameReference>(
        Operation::MultiSourceGetLongExposureInfraredFrameReference,
        Operation::LongExposureInfraredReferenceAcquireFrame, FrameKind::LongExposureInfrared,
        FrameSourceTypes_LongExposureInfrared, content_->longExposureInfrared, reference);
}

}  // namespace plexa::virtual2
