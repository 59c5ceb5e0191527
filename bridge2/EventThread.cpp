// The event thread of a session: it waits for the stop event and the reader's
// frame-arrived handle and hands each frame signal to Nui_ProcessFrame. A stop
// asked for from inside one of its callbacks is completed here, after the
// loop, since the thread cannot wait for itself.
#include "FrameWaitLoop.h"
#include "KSDK.h"

namespace {

thread_local bool isEventThread = false;

}  // namespace

bool KSDK::onEventThread() { return isEventThread; }

DWORD WINAPI KSDK::eventThreadMain(LPVOID session) {
    static_cast<KSDK*>(session)->runEventThread();
    return 0;
}

void KSDK::runEventThread() {
    isEventThread = true;
    plexa::bridge2::runFrameWaitLoop(stopEvent, reinterpret_cast<HANDLE>(frameArrivedHandle),
                                     [this]() { Nui_ProcessFrame(); });
    finishStopOnEventThread();
}
