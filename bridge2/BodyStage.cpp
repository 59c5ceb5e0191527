// The body stage: refresh the six body slots, copy the joints of every
// tracked body into the session's body buffers, and enter the four body
// entries when at least one body is tracked.
#include "FramePhases.h"
#include "KSDK.h"

namespace plexa::bridge2 {

bool runBodyStage(KSDK& session, FrameWorkingSet& frame) {
    if (!session.buffers) return true;
    BodyBuffers& buffers = session.buffers->bodyBuffers;
    BodyScratch& scratch = session.buffers->bodyScratch;
    IBodyFrame* bodyFrame = frame.bodyFrame.get();

    // A failure here only leaves slots empty (not tracked) and the floor plane
    // as it was; the slots are still gone through.
    TIMESPAN relativeTime = 0;
    if (SUCCEEDED(bodyFrame->get_RelativeTime(&relativeTime)) &&
        SUCCEEDED(bodyFrame->GetAndRefreshBodyData(BODY_COUNT, frame.bodies.data()))) {
        Vector4 plane{};
        if (SUCCEEDED(bodyFrame->get_FloorClipPlane(&plane))) {
            buffers.floorClipPlane = {plane.x, plane.y, plane.z, plane.w};
        }
    }

    bool anyTracked = false;
    bool lastSlotAnswered = true;
    for (int slot = 0; slot < kBodySlots; ++slot) {
        IBody* body = frame.bodies[slot];
        BOOLEAN tracked = 0;
        bool answered = false;
        if (body != nullptr) {
            answered = SUCCEEDED(body->get_IsTracked(&tracked));
            if (slot == kBodySlots - 1) lastSlotAnswered = answered;
        }
        const bool isTracked = answered && tracked != 0;
        buffers.bodyTracked[static_cast<std::size_t>(slot)] = isTracked ? 1 : 0;
        if (!isTracked) continue;
        anyTracked = true;
        scratch.clear();
        body->GetJoints(kJointsPerBody, scratch.joints.data());
        body->GetJointOrientations(kJointsPerBody, scratch.orientations.data());
        packBody(slot, scratch, buffers);
    }
    if (anyTracked) frame.types.appendBodyEntries();
    return lastSlotAnswered;
}

}  // namespace plexa::bridge2
