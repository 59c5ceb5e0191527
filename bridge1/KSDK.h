// The first-generation session: one per slot of the sensor table, with what
// its streams need; the binding to Java, the event thread and the life cycle
// are the skeleton's (SessionSkeleton).
//
// Threads: while the event thread runs, Java threads share with it only the
// atomics below (switches and counters) and the depth recorder, which guards
// itself. The sensor reference and an open recording go with the session,
// which the sensor table frees once it has been replaced and nothing can
// reach it.
#pragma once

#include "DepthRecorder.h"
#include "FrameBuffers.h"
#include "SessionSkeleton.h"

#include "plexa/handle_owner.h"
#include "plexa/platform.h"
#include "runtime1/ImageResolution.h"
#include "runtime1/NuiRuntime.h"

#include <atomic>
#include <cstdint>
#include <memory>

struct KSDK final : plexa::SessionSkeleton {
    // The callbacks of the binding, in the order they are looked up.
    enum Callback : std::size_t { DepthCallback, VideoCallback, InfraredCallback, SkeletonCallback, CallbackCount };

    explicit KSDK(int index);

    std::atomic<std::int32_t> skeletonFrameCount{0};
    std::atomic<std::int32_t> videoFrameCount{0};
    std::atomic<std::int32_t> depthFrameCount{0};
    std::atomic<bool> computeUV{false};
    std::atomic<bool> computeXYZ{false};

    struct SensorRelease {
        void operator()(INuiSensor* sensor) const { sensor->Release(); }
    };
    std::unique_ptr<INuiSensor, SensorRelease> sensor;  // null when the index has no sensor

    plexa::bridge1::DepthRecorder depthRecorder;

    // The frame events exist whatever is asked for, so the wait list never
    // holds a null handle. The streams name streams of the runtime, which
    // ends them with NuiShutdown: nothing of ours to close.
    plexa::HandleOwner depthEvent;
    plexa::HandleOwner videoEvent;
    plexa::HandleOwner skeletonEvent;
    HANDLE depthStream = nullptr;
    HANDLE videoStream = nullptr;
    bool infraredMode = false;

    std::int32_t depthResolution = NUI_IMAGE_RESOLUTION_INVALID;
    std::int32_t videoResolution = NUI_IMAGE_RESOLUTION_INVALID;
    plexa::runtime1::ImageSize depthSize() const { return plexa::runtime1::imageSizeOf(depthResolution); }
    plexa::runtime1::ImageSize videoSize() const { return plexa::runtime1::imageSizeOf(videoResolution); }

    // The sensor's buffers, lent from its shelf from start-up to shutdown.
    std::unique_ptr<plexa::bridge1::FrameBuffers> buffers;

    // Life cycle (the stops are the skeleton's).
    HRESULT Nui_Init(bool skeleton, std::int32_t depthResolutionCode, std::int32_t videoResolutionCode, bool infrared);
    // As the skeleton's, and the recording is closed: the event thread, if it
    // is still ending, appends whole records only, and none after this.
    void Nui_StopReplaced();

    // Frame handlers, run only by the event thread.
    void Nui_ProcessDepth();
    void Nui_ProcessColor();
    void Nui_ProcessInfrared();
    void Nui_ProcessSkeleton();

    // Thin members: one runtime call each.
    HRESULT Nui_SetElevationAngle(LONG angle);
    LONG Nui_GetElevationAngle();
    bool Nui_SetNearMode(bool on);
    bool Nui_GetNearMode();
    bool Nui_StartSkeletonTracking(bool seated);
    bool Nui_StopSkeletonTracking();
    std::int32_t Nui_GetStatus();
    bool Nui_ReadAccelerometer(Vector4* reading);

private:
    void runEventLoop(HANDLE stopEvent) override;
    // Runs the frame handler of an entry of the event loop's wait list.
    void runFrameHandler(DWORD waitIndex);
    void releaseStreams(bool replaced) override;
    HRESULT openStreamsAndStart(bool skeleton, bool infrared);

    const int index_;
    bool startUpBegun = false;  // Nui_Init has run; set and read under the start-up lock
};
