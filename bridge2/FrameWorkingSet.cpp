#include "FrameWorkingSet.h"

#include <utility>

namespace plexa::bridge2 {

void BodySlots::release() {
    for (IBody*& body : bodies_) {
        if (IBody* held = std::exchange(body, nullptr)) held->Release();
    }
}

void FrameWorkingSet::release() {
    depthDescription.reset();
    colorDescription.reset();
    bodyIndexDescription.reset();
    bodies.release();
    infraredDescription.reset();
    longExposureInfraredDescription.reset();

    depthFrame.reset();
    colorFrame.reset();
    bodyIndexFrame.reset();
    bodyFrame.reset();
    infraredFrame.reset();
    longExposureInfraredFrame.reset();

    multiSourceFrame.reset();
}

}  // namespace plexa::bridge2
