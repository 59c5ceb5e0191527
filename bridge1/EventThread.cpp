// The event loop of a started session: it waits on the stop event and the
// runtime's frame events and runs the session's frame handlers, one at a time.
#include "KSDK.h"

namespace {

constexpr DWORD kWaitMilliseconds = 100;

enum WaitIndex : DWORD { StopIndex = 0, DepthIndex = 1, VideoIndex = 2, SkeletonIndex = 3, WaitListSize = 4 };

}  // namespace

// Runs until the stop event is seen. The wait reports the lowest signalled
// event, so after serving one stream the loop serves every other stream whose
// frame is ready too, in order, before it waits again: depth frames that keep
// coming faster than they are handled (a busy machine, several sensors) would
// otherwise starve color and skeletons. The stop still comes first: it is
// looked for before each further frame.
//
// A failed wait (a handle that is no longer valid) must not turn the loop
// into a busy spin that can no longer see the stop event: the thread then
// waits on the stop event alone for one period, and ends if even that wait
// fails.
void KSDK::runEventLoop(HANDLE stopEvent) {
    const HANDLE waitList[WaitListSize] = {stopEvent, depthEvent.get(), videoEvent.get(), skeletonEvent.get()};
    for (;;) {
        const DWORD signalled = WaitForMultipleObjects(WaitListSize, waitList, FALSE, kWaitMilliseconds);
        if (signalled == WAIT_OBJECT_0 + StopIndex) return;
        if (signalled == WAIT_FAILED) {
            const DWORD stop = WaitForSingleObject(stopEvent, kWaitMilliseconds);
            if (stop == WAIT_OBJECT_0 || stop == WAIT_FAILED) return;
            continue;
        }
        if (signalled < WAIT_OBJECT_0 + DepthIndex || signalled >= WAIT_OBJECT_0 + WaitListSize) continue;  // time-out
        const DWORD first = signalled - WAIT_OBJECT_0;
        runFrameHandler(first);
        for (DWORD next = first + 1; next < WaitListSize; ++next) {
            const HANDLE stopOrFrame[2] = {stopEvent, waitList[next]};
            const DWORD ready = WaitForMultipleObjects(2, stopOrFrame, FALSE, 0);
            if (ready == WAIT_OBJECT_0) return;
            if (ready == WAIT_OBJECT_0 + 1) runFrameHandler(next);
        }
    }
}

void KSDK::runFrameHandler(DWORD waitIndex) {
    switch (waitIndex) {
        case DepthIndex: Nui_ProcessDepth(); break;
        case VideoIndex:
            if (infraredMode) {
                Nui_ProcessInfrared();
            } else {
                Nui_ProcessColor();
            }
            break;
        case SkeletonIndex: Nui_ProcessSkeleton(); break;
        default: break;
    }
}
