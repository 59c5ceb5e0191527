#include "FrameTypeList.h"

namespace plexa::bridge2 {

void FrameTypeList::append(std::int32_t code) {
    // At most 11 entries exist (7 image and mapping codes, 4 body codes); a
    // code beyond the capacity would be a fault of the caller, never written.
    if (size_ < kCapacity) codes_[static_cast<std::size_t>(size_++)] = code;
}

void FrameTypeList::appendStream(Stream stream, bool computeUV, bool computeXYZ) {
    switch (stream) {
        case Stream::Color:
            append(kColorCode);
            break;
        case Stream::Depth:
            append(kDepthCode);
            if (computeUV) append(kUvCode);
            if (computeXYZ) append(kXyzCode);
            break;
        case Stream::BodyIndex:
            append(kBodyIndexCode);
            break;
        case Stream::Body:
            break;
        case Stream::Infrared:
            append(kInfraredCode);
            break;
        case Stream::LongExposureInfrared:
            append(kLongExposureInfraredCode);
            break;
    }
}

void FrameTypeList::appendBodyEntries() {
    append(kBodyTrackedCode);
    append(kBodyPositionsCode);
    append(kBodyOrientationsCode);
    append(kBodyJointStatesCode);
}

}  // namespace plexa::bridge2
