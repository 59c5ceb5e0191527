// The event loop of a session: it waits for the stop event and the reader's
// frame-arrived handle and hands each frame signal to Nui_ProcessFrame.
#include "FrameWaitLoop.h"
#include "KSDK.h"

void KSDK::runEventLoop(HANDLE stopEvent) {
    plexa::bridge2::runFrameWaitLoop(stopEvent, reinterpret_cast<HANDLE>(frameArrivedHandle),
                                     [this]() { Nui_ProcessFrame(); });
}
