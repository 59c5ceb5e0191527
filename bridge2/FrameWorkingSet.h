// Everything one multi-source frame holds while it is handled: the runtime
// objects taken for it, what describing found out about each stream, and the
// frame-type list. It lives for one call of Nui_ProcessFrame and gives every
// runtime object back when it ends, in a fixed order: the describing objects
// (descriptions, bodies), then the stream frames, then the multi-source frame,
// because the delivered arrays are copied straight out of the frames' own
// buffers until then. Members end in the reverse of their declared order, so
// the runtime objects are declared last to first.
#pragma once

#include "FrameTypeList.h"
#include "NotCopyable.h"
#include "RuntimePtr.h"

#include "runtime2/KinectRuntime.h"

#include <array>
#include <cstdint>

namespace plexa::bridge2 {

// An image as describing found it. The size is what the description said;
// the buffer is set only when the frame handed it out, with its capacity in
// elements. Both start out empty for every frame.
template <typename Sample>
struct ImageView {
    int width = 0;
    int height = 0;
    const Sample* samples = nullptr;
    std::uint64_t capacity = 0;

    void setBuffer(const Sample* buffer, UINT elements) {
        samples = buffer;
        capacity = buffer != nullptr ? elements : 0;
    }
};

// The six body slots the runtime fills. Slots it filled are references the
// frame owns, also when the refresh as a whole failed.
class BodySlots : NotCopyable {
public:
    ~BodySlots() {
        for (IBody* body : bodies_) {
            if (body != nullptr) body->Release();
        }
    }

    IBody** data() { return bodies_.data(); }
    IBody* operator[](int slot) const { return bodies_[static_cast<std::size_t>(slot)]; }

private:
    std::array<IBody*, BODY_COUNT> bodies_{};
};

struct FrameWorkingSet : NotCopyable {
    // The two mapping switches as read once at the start of the frame.
    bool computeUV = false;
    bool computeXYZ = false;

    RuntimePtr<IMultiSourceFrame> multiSourceFrame;
    RuntimePtr<ILongExposureInfraredFrame> longExposureInfraredFrame;
    RuntimePtr<IInfraredFrame> infraredFrame;
    RuntimePtr<IBodyFrame> bodyFrame;
    RuntimePtr<IBodyIndexFrame> bodyIndexFrame;
    RuntimePtr<IColorFrame> colorFrame;
    RuntimePtr<IDepthFrame> depthFrame;

    RuntimePtr<IFrameDescription> longExposureInfraredDescription;
    RuntimePtr<IFrameDescription> infraredDescription;
    BodySlots bodies;
    RuntimePtr<IFrameDescription> bodyIndexDescription;
    RuntimePtr<IFrameDescription> colorDescription;
    RuntimePtr<IFrameDescription> depthDescription;

    ImageView<std::uint16_t> depth;
    ImageView<std::uint8_t> color;  // bytes: 4 per pixel, BGRA
    ImageView<std::uint8_t> bodyIndex;
    ImageView<std::uint16_t> infrared;
    ImageView<std::uint16_t> longExposureInfrared;

    // A mapping that this frame tried and could not make (no memory, or a
    // depth buffer smaller than its description) delivers an empty entry
    // rather than a mapping of another frame.
    bool uvUnavailable = false;
    bool xyzUnavailable = false;

    FrameTypeList types;
};

}  // namespace plexa::bridge2
