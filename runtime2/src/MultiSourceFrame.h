// One multi-source frame: a frame of every source its reader was opened with.
#pragma once

#include "FrameContent.h"
#include "RefCounted.h"

#include <memory>

namespace plexa::virtual2 {

class MultiSourceFrame final : public RefCounted<IMultiSourceFrame> {
public:
    MultiSourceFrame(DWORD sources, std::shared_ptr<const FrameContent> content);

    HRESULT STDMETHODCALLTYPE get_ColorFrameReference(IColorFrameReference** reference) override;
    HRESULT STDMETHODCALLTYPE get_DepthFrameReference(IDepthFrameReference** reference) override;
    HRESULT STDMETHODCALLTYPE get_BodyFrameReference(IBodyFrameReference** reference) override;
    HRESULT STDMETHODCALLTYPE get_BodyIndexFrameReference(IBodyIndexFrameReference** reference) override;
    HRESULT STDMETHODCALLTYPE get_InfraredFrameReference(IInfraredFrameReference** reference) override;
    HRESULT STDMETHODCALLTYPE
    get_LongExposureInfraredFrameReference(ILongExposureInfraredFrameReference** reference) override;

private:
    template <class Reference, class Interface, class Data>
    HRESULT handOutReference(Operation getter, Operation acquire, FrameKind kind, DWORD sourceBit,
                             const std::shared_ptr<const Data>& data, Interface** reference);

    const DWORD sources_;
    const std::shared_ptr<const FrameContent> content_;
};

}  // namespace plexa::virtual2
