#include "SkeletonTracker.h"

namespace plexa::virtual1 {

namespace {
constexpr std::size_t liveFramesKept = 2;
}  // namespace

void SkeletonTracker::enable(HANDLE nextFrameEvent, DWORD flags) {
    if (enabled_ && event_ != nextFrameEvent && event_ != nullptr) ResetEvent(event_);
    enabled_ = true;
    event_ = nextFrameEvent;
    flags_ = flags;
    if (!ready_.empty() && event_ != nullptr) SetEvent(event_);
}

std::vector<NUI_SKELETON_FRAME> SkeletonTracker::disable() {
    std::vector<NUI_SKELETON_FRAME> scripted = dropReady();
    enabled_ = false;
    event_ = nullptr;
    flags_ = 0;
    return scripted;
}

void SkeletonTracker::pushLive(const NUI_SKELETON_FRAME& frame) {
    while (ready_.size() >= liveFramesKept) ready_.pop_front();
    push(frame, false);
}

void SkeletonTracker::push(const NUI_SKELETON_FRAME& frame, bool scripted) {
    ready_.push_back(ReadyFrame{frame, scripted});
    if (event_ != nullptr) SetEvent(event_);
}

bool SkeletonTracker::takeNext(NUI_SKELETON_FRAME& frame) {
    if (ready_.empty()) return false;
    frame = ready_.front().frame;
    ready_.pop_front();
    if (ready_.empty() && event_ != nullptr) ResetEvent(event_);
    return true;
}

std::vector<NUI_SKELETON_FRAME> SkeletonTracker::dropReady() {
    std::vector<NUI_SKELETON_FRAME> scripted;
    for (const ReadyFrame& ready : ready_) {
        if (ready.scripted) scripted.push_back(ready.frame);
    }
    ready_.clear();
    if (event_ != nullptr) ResetEvent(event_);
    return scripted;
}

}  // namespace plexa::virtual1
