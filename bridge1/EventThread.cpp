// The event loop of a started session: it waits on the stop event and the
// runtime's frame events and runs the session's frame handlers, one at a time.
#include "KSDK.h"

namespace {

constexpr DWORD kWaitMilliseconds = 100;

enum WaitIndex : DWORD { StopIndex = 0, DepthIndex = 1, VideoIndex = 2, SkeletonIndex = 3, WaitListSize = 4 };

}  // namespace

// Runs until the stop event is seen. A failed wait (a handle that is no longer
// valid) must not turn the loop into a busy spin that can no longer see the
// stop event: the thread then waits on the stop event alone for one period,
// and ends if even that wait fails.
void KSDK::runEventLoop(HANDLE stopEvent) {
    const HANDLE waitList[WaitListSize] = {stopEvent, depthEvent.get(), videoEvent.get(), skeletonEvent.get()};
    for (;;) {
        const DWORD signalled = WaitForMultipleObjects(WaitListSize, waitList, FALSE, kWaitMilliseconds);
        switch (signalled) {
            case WAIT_OBJECT_0 + StopIndex:
                return;
            case WAIT_OBJECT_0 + DepthIndex:
                Nui_ProcessDepth();
                break;
            case WAIT_OBJECT_0 + VideoIndex:
                if (infraredMode) {
                    Nui_ProcessInfrared();
                } else {
                    Nui_ProcessColor();
                }
                break;
            case WAIT_OBJECT_0 + SkeletonIndex:
                Nui_ProcessSkeleton();
                break;
            case WAIT_FAILED: {
                const DWORD stop = WaitForSingleObject(stopEvent, kWaitMilliseconds);
                if (stop == WAIT_OBJECT_0 || stop == WAIT_FAILED) return;
                break;
            }
            default:  // time-out
                break;
        }
    }
}
