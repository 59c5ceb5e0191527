// The stream-selection flags word of Plexa2._startNUI. Every bit but audio
// equals the frame-type code of the entry it asks for; 0x200, 0x400 and 0x800
// (the extra body arrays) can only switch the body stream on.
#pragma once

#include <cstdint>

namespace plexa::bridge2 {

struct StreamSelection {
    bool useDepth = false;
    bool useColor = false;
    bool useInfrared = false;
    bool useLongExposureInfrared = false;
    bool useBodyIndex = false;
    bool useBody = false;
    bool useAudio = false;
    bool computeUV = false;
    bool computeXYZ = false;
};

StreamSelection decodeFlagsWord(std::int32_t flags);

// The runtime's frame-source mask for a selection.
std::uint32_t frameSourceMask(const StreamSelection& selection);

}  // namespace plexa::bridge2
