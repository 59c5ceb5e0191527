// The event loop hands each frame-arrived signal to Nui_ProcessFrame, which
// takes the latest multi-source frame and one frame per selected stream,
// describes them, delivers them to Java in one callback, then gives every
// runtime object back (the working set does, in its order).
#include "FramePhases.h"
#include "FrameWaitLoop.h"
#include "KSDK.h"

void KSDK::runEventLoop(HANDLE stopEvent) {
    plexa::bridge2::runFrameWaitLoop(stopEvent, reinterpret_cast<HANDLE>(frameArrivedHandle),
                                     [this]() { Nui_ProcessFrame(); });
}

void KSDK::Nui_ProcessFrame() {
    using namespace plexa::bridge2;
    if (!frameReader) return;
    FrameWorkingSet frame;
    const HRESULT latest = frame.multiSourceFrame.receive(
        [this](IMultiSourceFrame** out) { return frameReader->AcquireLatestFrame(out); });
    if (FAILED(latest) || !frame.multiSourceFrame) return;
    // Read once: the list and the mapping stage agree within a frame, and a
    // change from Java takes effect with the next one.
    frame.computeUV = computeUV.load(std::memory_order_relaxed);
    frame.computeXYZ = computeXYZ.load(std::memory_order_relaxed);

    if (!acquireSources(*this, frame)) return;
    describeSources(*this, frame);
    if (deliverFrame(*this, frame)) frameCount.fetch_add(1, std::memory_order_relaxed);
}
