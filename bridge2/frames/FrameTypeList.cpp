#include "FrameTypeList.h"

namespace plexa::bridge2 {

void FrameTypeList::append(std::int32_t code) {
    // At most 11 entries exist (7 image and mapping codes, 4 body codes); a
    // code beyond the capacity would be a fault of the caller, never written.
    if (size_ < kCapacity) codes_[static_cast<std::size_t>(size_++)] = code;
}

void FrameTypeList::appendStream(Stream stream, bool computeUV, bool computeXYZ) {
    // In Stream's order; the body stream's entries come with appendBodyEntries.
    constexpr std::int32_t kStreamCodes[] = {kColorCode, kDepthCode,    kBodyIndexCode,
                                             0,          kInfraredCode, kLongExposureInfraredCode};
    const std::int32_t code = kStreamCodes[static_cast<int>(stream)];
    if (code != 0) append(code);
    if (stream != Stream::Depth) return;
    if (computeUV) append(kUvCode);
    if (computeXYZ) append(kXyzCode);
}

void FrameTypeList::appendBodyEntries() {
    append(kBodyTrackedCode);
    append(kBodyPositionsCode);
    append(kBodyOrientationsCode);
    append(kBodyJointStatesCode);
}

}  // namespace plexa::bridge2
