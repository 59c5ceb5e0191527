// The first-generation session: one per slot of the sensor table. It holds the
// runtime's sensor for one index, the binding to Java, the streams and frame
// events opened at start-up, the frame buffers, the event thread and the frame
// counters.
//
// Threads: the Java thread that calls _startNUI/_stopNUI sets everything up
// before the event thread is created and releases it only after the thread has
// ended. While the thread runs, Java threads share with it only the atomics
// below (switches and counters) and the depth recording file, which is guarded
// by its mutex.
//
// Stopping: see SessionLifecycle. A stop asked for from inside a Java callback
// is finished by the session's event thread right after the callback returns.
// Once the event thread has ended, the global reference to the callback
// target is deleted: no delivery can use it any more. The sensor reference and
// an open recording go with the session itself, which the sensor table frees
// once it has been replaced and nothing can reach it.
#pragma once

#include "SessionLifecycle.h"
#include "plexa/platform.h"
#include "runtime1/NuiRuntime.h"

#include <jni.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>

struct KSDK {
    explicit KSDK(int index);
    ~KSDK();
    KSDK(const KSDK&) = delete;
    KSDK& operator=(const KSDK&) = delete;

    std::atomic<std::int32_t> skeletonFrameCount{0};
    std::atomic<std::int32_t> videoFrameCount{0};
    std::atomic<std::int32_t> depthFrameCount{0};

    jobject callbackTarget = nullptr;  // global reference, deleted once the event thread has ended
    jmethodID depthCallback = nullptr;
    jmethodID videoCallback = nullptr;
    jmethodID infraredCallback = nullptr;
    jmethodID skeletonCallback = nullptr;
    JavaVM* javaVM = nullptr;

    std::mutex depthRecordMutex;  // guards depthRecordFile against the event thread's writes
    std::FILE* depthRecordFile = nullptr;

    HANDLE depthStream = nullptr;
    HANDLE skeletonEvent = nullptr;
    std::atomic<bool> computeUV{false};
    std::atomic<bool> computeXYZ{false};
    bool infraredMode = false;
    INuiSensor* sensor = nullptr;  // released with the session

    // UV and XYZ are computed straight into their Java arrays; natively only
    // the color-pixel coordinates stay, 2N each.
    std::unique_ptr<LONG[]> uvRaw;         // this frame's coordinates, as the runtime gives them
    std::unique_ptr<LONG[]> uvLastMapped;  // those of the last mapping that succeeded

    std::int32_t depthResolution = NUI_IMAGE_RESOLUTION_INVALID;
    std::int32_t videoResolution = NUI_IMAGE_RESOLUTION_INVALID;

    std::unique_ptr<float[]> skeletonPositions;        // 6 x 20 x 3
    std::unique_ptr<std::uint8_t[]> skeletonTracked;   // 6
    std::unique_ptr<std::uint8_t[]> jointStates;       // 6 x 20
    std::unique_ptr<float[]> floorPlane;               // 4

    HANDLE eventThread = nullptr;
    HANDLE stopEvent = nullptr;
    HANDLE depthEvent = nullptr;
    HANDLE videoEvent = nullptr;
    HANDLE videoStream = nullptr;

    // Who ends the session, and whether it has ended.
    plexa::SessionLifecycle lifecycle;

    // Life cycle.
    void Nui_Zero();
    HRESULT Nui_Init(bool skeleton, std::int32_t depthResolutionCode, std::int32_t videoResolutionCode,
                     bool infrared);
    void Nui_UnInit();
    // On a Java thread, waits for a stop of this session that its event
    // thread is still finishing, so that a new start of the sensor follows it.
    void Nui_AwaitStopUnderWay();
    // Run by the event thread when its loop has ended: finishes a stop that
    // was left to it.
    void Nui_FinishStopOnEventThread();
    // Run by whoever replaces the session in its slot, before the new session
    // opens the sensor: stops it as Nui_UnInit does (a session that was never
    // started has nothing to shut down) without waiting for a stop already
    // under way, and closes its recording.
    void Nui_StopReplaced();
    // True once a stop has finished; the sensor table may then free it.
    bool hasEnded() { return lifecycle.hasEnded(); }

    // Image sizes of the two resolution codes (0 x 0 when a stream is absent).
    int depthWidth() const;
    int depthHeight() const;
    int videoWidth() const;
    int videoHeight() const;

    // Frame handlers, run only by the event thread.
    void Nui_ProcessDepth();
    void Nui_ProcessColor();
    void Nui_ProcessInfrared();
    void Nui_ProcessSkeleton();

    // Depth recording.
    bool Nui_SaveDepthFrames(const char* path);
    bool Nui_CloseDepthFile();

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
    HRESULT openStreamsAndStart(bool skeleton, bool infrared);
    void releaseRuntimeAndBuffers();
    void releaseJavaBinding();

    bool startUpBegun = false;  // Nui_Init has run; set and read under the start-up lock
    void freeBuffers();
};
