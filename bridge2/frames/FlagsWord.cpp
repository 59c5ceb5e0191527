#include "FlagsWord.h"

#include "runtime2/KinectRuntime.h"

namespace plexa::bridge2 {

StreamSelection decodeFlagsWord(std::int32_t flags) {
    const auto bits = static_cast<std::uint32_t>(flags);
    StreamSelection s;
    s.useColor = (bits & 0x1u) != 0;
    s.useInfrared = (bits & 0x2u) != 0;
    s.useLongExposureInfrared = (bits & 0x4u) != 0;
    s.useDepth = (bits & 0x8u) != 0;
    s.useBodyIndex = (bits & 0x10u) != 0;
    s.useBody = (bits & (0x20u | 0x200u | 0x400u | 0x800u)) != 0;
    s.useAudio = (bits & 0x40u) != 0;
    s.computeUV = (bits & 0x100u) != 0;
    s.computeXYZ = (bits & 0x1000u) != 0;
    return s;
}

std::uint32_t frameSourceMask(const StreamSelection& s) {
    const auto bit = [](bool on, FrameSourceTypes source) { return on ? static_cast<std::uint32_t>(source) : 0u; };
    return bit(s.useColor, FrameSourceTypes_Color) | bit(s.useInfrared, FrameSourceTypes_Infrared) |
           bit(s.useLongExposureInfrared, FrameSourceTypes_LongExposureInfrared) |
           bit(s.useDepth, FrameSourceTypes_Depth) | bit(s.useBodyIndex, FrameSourceTypes_BodyIndex) |
           bit(s.useBody, FrameSourceTypes_Body) | bit(s.useAudio, FrameSourceTypes_Audio);
}

}  // namespace plexa::bridge2
