#include "FlagsWord.h"

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
    return (s.useColor ? 0x1u : 0u) | (s.useInfrared ? 0x2u : 0u) | (s.useLongExposureInfrared ? 0x4u : 0u) |
           (s.useDepth ? 0x8u : 0u) | (s.useBodyIndex ? 0x10u : 0u) | (s.useBody ? 0x20u : 0u) |
           (s.useAudio ? 0x40u : 0u);
}

}  // namespace plexa::bridge2
