// Skeleton tracking of one sensor: whether it is on, the caller's event and
// the skeleton frames ready to be fetched. The owning sensor guards every
// call with its mutex.
#pragma once

#include "runtime1/NuiRuntime.h"

#include <deque>
#include <vector>

namespace plexa::virtual1 {

class SkeletonTracker {
public:
    bool enabled() const { return enabled_; }
    bool seated() const { return (flags_ & NUI_SKELETON_TRACKING_FLAG_ENABLE_SEATED_SUPPORT) != 0; }
    std::size_t readyCount() const { return ready_.size(); }

    void enable(HANDLE nextFrameEvent, DWORD flags);
    // Ends tracking; returns the scripted frames that were ready, in order.
    std::vector<NUI_SKELETON_FRAME> disable();

    // A live frame; only the newest few are kept, as a tracker that keeps
    // running would.
    void pushLive(const NUI_SKELETON_FRAME& frame);
    void pushScripted(const NUI_SKELETON_FRAME& frame) { push(frame, true); }
    // Hands out the oldest ready frame and resets the event when it was the last.
    bool takeNext(NUI_SKELETON_FRAME& frame);
    // Takes back every ready frame; returns the scripted ones in order.
    std::vector<NUI_SKELETON_FRAME> dropReady();

    DWORD nextLiveFrameNumber() { return nextFrameNumber_++; }

private:
    struct ReadyFrame {
        NUI_SKELETON_FRAME frame;
        bool scripted;
    };

    void push(const NUI_SKELETON_FRAME& frame, bool scripted);

    bool enabled_ = false;
    HANDLE event_ = nullptr;
    DWORD flags_ = 0;
    DWORD nextFrameNumber_ = 1;
    std::deque<ReadyFrame> ready_;
};

}  // namespace plexa::virtual1
