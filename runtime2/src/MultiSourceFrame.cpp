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

// The six getters differ only in their stream's name.
#define PLEXA_FRAME_REFERENCE_GETTER(Stream, contentMember)                                                           \
    HRESULT STDMETHODCALLTYPE MultiSourceFrame::get_##Stream##FrameReference(I##Stream##FrameReference** reference) { \
        return handOutReference<Stream##FrameReference>(                                                              \
            Operation::MultiSourceGet##Stream##FrameReference, Operation::Stream##ReferenceAcquireFrame,              \
            FrameKind::Stream, FrameSourceTypes_##Stream, content_->contentMember, reference);                        \
    }

PLEXA_FRAME_REFERENCE_GETTER(Color, color)
PLEXA_FRAME_REFERENCE_GETTER(Depth, depth)
PLEXA_FRAME_REFERENCE_GETTER(Body, bodies)
PLEXA_FRAME_REFERENCE_GETTER(BodyIndex, bodyIndex)
PLEXA_FRAME_REFERENCE_GETTER(Infrared, infrared)
PLEXA_FRAME_REFERENCE_GETTER(LongExposureInfrared, longExposureInfrared)

#undef PLEXA_FRAME_REFERENCE_GETTER

}  // namespace plexa::virtual2
