#include "FrameWaitLoop.h"

#include <chrono>
#include <thread>

namespace plexa::bridge2 {

void runFrameWaitLoop(HANDLE stopEvent, HANDLE frameArrived, const std::function<void()>& onFrame) {
    const HANDLE waitList[2] = {stopEvent, frameArrived};
    for (;;) {
        const DWORD signalled = WaitForMultipleObjects(2, waitList, FALSE, kWaitSliceMs);
        if (signalled == WAIT_OBJECT_0) return;
        if (signalled == WAIT_OBJECT_0 + 1) {
            onFrame();
        } else if (signalled == WAIT_FAILED) {
            // A wait that fails (a frame handle the runtime withdrew) fails
            // again at once: waiting on the stop event alone for a slice keeps
            // the thread from spinning and still lets a stop end it.
            const DWORD stop = WaitForSingleObject(stopEvent, kWaitSliceMs);
            if (stop == WAIT_OBJECT_0) return;
            if (stop == WAIT_FAILED) std::this_thread::sleep_for(std::chrono::milliseconds(kWaitSliceMs));
        }
    }
}

}  // namespace plexa::bridge2
