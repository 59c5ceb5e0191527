// The plain data of one multi-source frame. Each source is shared, read-only,
// between the multi-source frame and the frames acquired from it, so a frame
// stays valid after the multi-source frame is released, and a live frame is
// rendered once for every reader that receives it.
#pragma once

#include "runtime2/VirtualSensor2.h"

#include <memory>

namespace plexa::virtual2 {

struct FrameContent {
    TIMESPAN relativeTime = 0;
    std::shared_ptr<const ScriptedColorImage> color;
    std::shared_ptr<const ScriptedShortImage> depth;
    std::shared_ptr<const ScriptedBodyIndexImage> bodyIndex;
    std::shared_ptr<const ScriptedBodies> bodies;
    std::shared_ptr<const ScriptedShortImage> infrared;
    std::shared_ptr<const ScriptedShortImage> longExposureInfrared;
};

}  // namespace plexa::virtual2
