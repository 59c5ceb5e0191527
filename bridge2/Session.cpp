// Construction, reset, start-up and shutdown of a session.
#include "KSDK.h"

KSDK::KSDK(int index) : index_(index) {
    if (index != 0) return;
    if (FAILED(sensor.receive([](IKinectSensor** out) { return GetDefaultKinectSensor(out); }))) return;
    if (!sensor) return;
    coordinateMapper.receive([this](ICoordinateMapper** out) { return sensor->get_CoordinateMapper(out); });
}

HRESULT KSDK::Nui_Init(std::int32_t flags) {
    // Held until the thread exists, so that no stop sees a half-started session.
    const auto lock = lockForStartUp();
    streams = plexa::bridge2::decodeFlagsWord(flags);
    computeUV.store(streams.computeUV, std::memory_order_relaxed);
    computeXYZ.store(streams.computeXYZ, std::memory_order_relaxed);
    const DWORD sourceMask = plexa::bridge2::frameSourceMask(streams);

    // A session that was stopped (replaced and given back while this start-up
    // was on its way) cannot be started.
    if (stopRequestedDuringStartUp()) return E_FAIL;
    if (!sensor) return E_POINTER;

    const HRESULT opened = sensor->Open();
    if (FAILED(opened)) {
        printCannotInitialize(opened);
        return opened;
    }
    sensorOpen = true;

    HRESULT result = frameReader.receive([this, sourceMask](IMultiSourceFrameReader** out) {
        return sensor->OpenMultiSourceFrameReader(sourceMask, out);
    });
    WAITABLE_HANDLE subscription = 0;
    if (SUCCEEDED(result) && !frameReader) result = E_POINTER;
    if (SUCCEEDED(result)) result = frameReader->SubscribeMultiSourceFrameArrived(&subscription);
    if (FAILED(result)) {
        printStartFailure("Cannot start stream.");
        return result;
    }
    frameArrivedHandle = subscription;

    frameCount.store(0, std::memory_order_relaxed);
    buffers = plexa::bridge2::FrameBufferShelf::shared().take(index_);
    if (!buffers) return E_OUTOFMEMORY;
    // Everything the thread reads is in place before it exists.
    const HRESULT started = startEventThread(E_FAIL);
    return FAILED(started) ? started : result;
}

void KSDK::releaseStreams(bool) {
    // The reader goes before the sensor is closed; each holder is cleared, so
    // a second stop finds nothing to give back.
    if (frameReader && frameArrivedHandle != 0) frameReader->UnsubscribeMultiSourceFrameArrived(frameArrivedHandle);
    frameArrivedHandle = 0;
    frameReader.reset();
    coordinateMapper.reset();
    if (sensor && sensorOpen) sensor->Close();
    sensorOpen = false;
    sensor.reset();
    plexa::bridge2::FrameBufferShelf::shared().put(index_, std::move(buffers));
}
