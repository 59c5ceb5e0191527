#include "EventThread.h"

#include "KSDK.h"

namespace plexa::bridge1 {
namespace {

thread_local bool isEventThread = false;

constexpr DWORD kWaitMilliseconds = 100;

enum WaitIndex : DWORD { StopIndex = 0, DepthIndex = 1, VideoIndex = 2, SkeletonIndex = 3, WaitListSize = 4 };

// Runs the loop until the stop event is seen. A failed wait (a handle that is
// no longer valid) must not turn the loop into a busy spin that can no longer
// see the stop event: the thread then waits on the stop event alone for one
// period, and ends if even that wait fails.
void runLoop(KSDK& session) {
    const HANDLE waitList[WaitListSize] = {session.stopEvent, session.depthEvent, session.videoEvent,
                                           session.skeletonEvent};
    for (;;) {
        const DWORD signalled = WaitForMultipleObjects(WaitListSize, waitList, FALSE, kWaitMilliseconds);
        switch (signalled) {
            case WAIT_OBJECT_0 + StopIndex:
                return;
            case WAIT_OBJECT_0 + DepthIndex:
                session.Nui_ProcessDepth();
                break;
            case WAIT_OBJECT_0 + VideoIndex:
                if (session.infraredMode) {
                    session.Nui_ProcessInfrared();
                } else {
                    session.Nui_ProcessColor();
                }
                break;
            case WAIT_OBJECT_0 + SkeletonIndex:
                session.Nui_ProcessSkeleton();
                break;
            case WAIT_FAILED: {
                const DWORD stop = WaitForSingleObject(waitList[StopIndex], kWaitMilliseconds);
                if (stop == WAIT_OBJECT_0 || stop == WAIT_FAILED) return;
                break;
            }
            default:  // time-out
                break;
        }
    }
}

}  // namespace

DWORD WINAPI eventThreadRoutine(LPVOID parameter) {
    isEventThread = true;
    KSDK& session = *static_cast<KSDK*>(parameter);
    runLoop(session);
    session.Nui_FinishStopOnEventThread();
    return 0;
}

bool onEventThread() { return isEventThread; }

}  // namespace plexa::bridge1
