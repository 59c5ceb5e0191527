// Frame references: what a multi-source frame hands out per source; each
// AcquireFrame gives a new frame object over the same data.
#pragma once

#include "Bodies.h"
#include "ColorFrame.h"
#include "ImageFrames.h"
#include "Instrumentation.h"
#include "RefCounted.h"

#include <memory>
#include <type_traits>

namespace plexa::virtual2 {

template <class ReferenceInterface, class FrameInterface, class Frame, class Data>
class FrameReference final : public RefCounted<ReferenceInterface> {
public:
    FrameReference(Operation acquireOperation, FrameKind kind, std::shared_ptr<const Data> data,
                   TIMESPAN relativeTime)
        : acquireOperation_(acquireOperation), kind_(kind), data_(std::move(data)), relativeTime_(relativeTime) {}

    HRESULT STDMETHODCALLTYPE AcquireFrame(FrameInterface** frame) override {
        if (frame != nullptr) *frame = nullptr;
        return traced({acquireOperation_, kind_}, {}, [&] {
            if (frame == nullptr) return E_POINTER;
            *frame = makeFrame();
            return S_OK;
        });
    }

private:
    Frame* makeFrame() {
        if constexpr (std::is_constructible_v<Frame, FrameKind, std::shared_ptr<const Data>, TIMESPAN>) {
            return handOut<Frame>(kind_, data_, relativeTime_);
        } else {
            return handOut<Frame>(data_, relativeTime_);
        }
    }

    const Operation acquireOperation_;
    const FrameKind kind_;
    const std::shared_ptr<const Data> data_;
    const TIMESPAN relativeTime_;
};

using ColorFrameReference = FrameReference<IColorFrameReference, IColorFrame, ColorFrame, ScriptedColorImage>;
using DepthFrameReference = FrameReference<IDepthFrameReference, IDepthFrame, DepthFrame, ScriptedShortImage>;
using BodyFrameReference = FrameReference<IBodyFrameReference, IBodyFrame, BodyFrame, ScriptedBodies>;
using BodyIndexFrameReference =
    FrameReference<IBodyIndexFrameReference, IBodyIndexFrame, BodyIndexFrame, ScriptedBodyIndexImage>;
using InfraredFrameReference =
    FrameReference<IInfraredFrameReference, IInfraredFrame, InfraredFrame, ScriptedShortImage>;
using LongExposureInfraredFrameReference =
    FrameReference<ILongExposureInfraredFrameReference, ILongExposureInfraredFrame, LongExposureInfraredFrame,
                   ScriptedShortImage>;

}  // namespace plexa::virtual2
