// Construction, reset, start-up and shutdown of a session.
#include "KSDK.h"

#include "EventThreadStop.h"
#include "FlagsWord.h"
#include "JavaGlobalReference.h"

#include <cstdio>
#include <new>

namespace {

void printStartMessage(const char* message) {
    std::printf("%s", message);
    // Java writes to the same descriptor through its own buffer; flushing
    // keeps the message in its place among what the program prints.
    std::fflush(stdout);
}

}  // namespace

KSDK::KSDK(int index) {
    if (index != 0) return;
    if (FAILED(sensor.receive([](IKinectSensor** out) { return GetDefaultKinectSensor(out); }))) return;
    if (!sensor) return;
    coordinateMapper.receive([this](ICoordinateMapper** out) { return sensor->get_CoordinateMapper(out); });
}

// Runs only once the session has ended and nothing can reach it; the runtime
// objects still held go with their holders.
KSDK::~KSDK() { plexa::deleteGlobalReference(javaVM, callbackTarget); }

void KSDK::Nui_Zero() {
    // Only ever run on a fresh session, before anything is acquired.
    frameArrivedHandle = 0;
    eventThread = nullptr;
    stopEvent = nullptr;
    frameCount.store(0, std::memory_order_relaxed);
    colorBuffer.release();
    uvBuffer.release();
    xyzBuffer.release();
    intrinsicsSent = false;
    reportedSizes.clear();
}

HRESULT KSDK::Nui_Init(std::int32_t flags) {
    // Held until the thread exists, so that no stop sees a half-started session.
    const auto lock = lifecycle.lockForStartUp();
    const plexa::bridge2::StreamSelection selection = plexa::bridge2::decodeFlagsWord(flags);
    useDepth = selection.useDepth;
    useColor = selection.useColor;
    useInfrared = selection.useInfrared;
    useLongExposureInfrared = selection.useLongExposureInfrared;
    useBodyIndex = selection.useBodyIndex;
    useBody = selection.useBody;
    useAudio = selection.useAudio;
    computeUV.store(selection.computeUV, std::memory_order_relaxed);
    computeXYZ.store(selection.computeXYZ, std::memory_order_relaxed);
    const DWORD sourceMask = plexa::bridge2::frameSourceMask(selection);

    // A session that was stopped (replaced and given back while this start-up
    // was on its way) cannot be started.
    if (lifecycle.stopRequestedDuringStartUp()) return E_FAIL;
    if (!sensor) return E_POINTER;

    const HRESULT opened = sensor->Open();
    if (FAILED(opened)) {
        std::printf("%d", static_cast<int>(opened));
        printStartMessage("Cannot initialize the Kinect device.\nCheck if it is connected and powered.");
        return opened;
    }
    sensorOpen = true;

    HRESULT result = frameReader.receive(
        [this, sourceMask](IMultiSourceFrameReader** out) { return sensor->OpenMultiSourceFrameReader(sourceMask, out); });
    if (SUCCEEDED(result) && !frameReader) result = E_POINTER;
    if (FAILED(result)) {
        printStartMessage("Cannot start stream.");
        return result;
    }

    WAITABLE_HANDLE subscription = 0;
    result = frameReader->SubscribeMultiSourceFrameArrived(&subscription);
    if (FAILED(result)) {
        printStartMessage("Cannot start stream.");
        return result;
    }
    frameArrivedHandle = subscription;

    frameCount.store(0, std::memory_order_relaxed);
    // Zeroed: a slot that is never tracked delivers zeros.
    bodyBuffers.reset(new (std::nothrow) plexa::bridge2::BodyBuffers());
    bodyScratch.reset(new (std::nothrow) plexa::bridge2::BodyScratch());
    if (!bodyBuffers || !bodyScratch) return E_OUTOFMEMORY;

    stopEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (stopEvent == nullptr) return E_FAIL;
    // Everything the thread reads is in place before it exists.
    eventThread = CreateThread(nullptr, 0, &KSDK::eventThreadMain, this, 0, nullptr);
    if (eventThread == nullptr) {
        CloseHandle(stopEvent);
        stopEvent = nullptr;
        return E_FAIL;
    }
    lifecycle.eventThreadCreated();
    return result;
}

void KSDK::Nui_UnInit() {
    using StopRoute = plexa::SessionLifecycle::StopRoute;
    if (lifecycle.requestStop(onEventThread(), stopEvent) == StopRoute::ByCaller) stopAndRelease();
}

void KSDK::Nui_StopReplaced() {
    using StopRoute = plexa::SessionLifecycle::StopRoute;
    if (lifecycle.requestStopForReplacement(onEventThread(), stopEvent) == StopRoute::ByCaller) stopAndRelease();
}

void KSDK::Nui_AwaitStopUnderWay() { lifecycle.awaitStopUnderWay(onEventThread()); }

void KSDK::stopAndRelease() {
    plexa::stopAndJoinEventThread(stopEvent, eventThread);
    releaseStreamsAndBuffers();
    plexa::deleteGlobalReference(javaVM, callbackTarget);
    lifecycle.stopDone();
}

void KSDK::finishStopOnEventThread() {
    if (!lifecycle.eventThreadEnding()) return;
    releaseStreamsAndBuffers();
    plexa::deleteGlobalReference(javaVM, callbackTarget);
    CloseHandle(stopEvent);
    stopEvent = nullptr;
    // Closing its own handle lets the thread run to its end unobserved.
    CloseHandle(eventThread);
    eventThread = nullptr;
    lifecycle.stopDone();
}

void KSDK::releaseStreamsAndBuffers() {
    // The reader goes before the sensor is closed; each holder is cleared, so
    // a second stop finds nothing to give back.
    if (frameReader && frameArrivedHandle != 0) frameReader->UnsubscribeMultiSourceFrameArrived(frameArrivedHandle);
    frameArrivedHandle = 0;
    frameReader.reset();
    coordinateMapper.reset();
    if (sensor && sensorOpen) sensor->Close();
    sensorOpen = false;
    sensor.reset();
    colorBuffer.release();
    uvBuffer.release();
    xyzBuffer.release();
    bodyBuffers.reset();
    bodyScratch.reset();
}
