// The second-generation session: one per slot of the sensor table, with what
// its streams need; the binding to Java, the event thread and the life cycle
// are the skeleton's (SessionSkeleton).
//
// Threads: while the event thread runs, Java threads share with it only the
// atomics below (the two mapping switches and the frame counter). The sensor
// table frees a replaced session once nothing can reach it.
#pragma once

#include "FlagsWord.h"
#include "FrameBuffers.h"
#include "RuntimePtr.h"
#include "SessionSkeleton.h"
#include "SizeReports.h"

#include "plexa/platform.h"
#include "runtime2/KinectRuntime.h"

#include <atomic>
#include <cstdint>
#include <memory>

struct KSDK final : plexa::SessionSkeleton {
    // The callbacks of the binding, in the order they are looked up.
    enum Callback : std::size_t {
        FrameCallback,
        IntrinsicsCallback,
        ColorResolutionCallback,
        DepthResolutionCallback,
        InfraredResolutionCallback,
        LongExposureInfraredResolutionCallback,
        CallbackCount
    };

    // Binds the runtime's default sensor and its mapper, for index 0 only.
    explicit KSDK(int index);

    std::atomic<std::int32_t> frameCount{0};  // frames delivered to Java since start

    plexa::bridge2::RuntimePtr<IKinectSensor> sensor;
    plexa::bridge2::RuntimePtr<ICoordinateMapper> coordinateMapper;  // may be null: no intrinsics, no mapping
    plexa::bridge2::RuntimePtr<IMultiSourceFrameReader> frameReader;
    WAITABLE_HANDLE frameArrivedHandle = 0;  // owned by the runtime: unsubscribed, never closed

    std::atomic<bool> computeUV{false};
    std::atomic<bool> computeXYZ{false};
    plexa::bridge2::StreamSelection streams;

    // The sensor's buffers, lent from its shelf from start-up to shutdown.
    std::unique_ptr<plexa::bridge2::FrameBuffers> buffers;

    bool intrinsicsSent = false;
    plexa::bridge2::SizeReports reportedSizes;

    // Life cycle (the stops are the skeleton's).
    HRESULT Nui_Init(std::int32_t flags);

    // One frame-arrived signal: acquire, describe, deliver, release. Run only
    // by the event thread.
    void Nui_ProcessFrame();

private:
    void runEventLoop(HANDLE stopEvent) override;
    void releaseStreams(bool replaced) override;

    const int index_;
    bool sensorOpen = false;  // Close only what this session opened
};
