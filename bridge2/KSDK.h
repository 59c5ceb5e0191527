// The second-generation session: one per slot of the sensor table. It holds
// the runtime's default sensor (index 0 only) and its coordinate mapper, the
// stream selection, the multi-source reader and its frame-arrived
// subscription, the binding to Java, the buffers the frame pipeline fills, and
// the event thread.
//
// Threads: the Java thread that starts the session sets up everything the
// event thread reads before it creates the thread, and releases it only after
// the thread has ended. While the thread runs, Java threads share with it
// only the atomics below (the two mapping switches and the frame counter).
// Stopping: see SessionLifecycle; a stop asked for from inside a Java callback
// is finished by the event thread right after the callback returns.
// Once the event thread has ended the global reference to the callback target
// is deleted: no delivery can use it any more. The sensor table frees a
// replaced session once nothing can reach it.
#pragma once

#include "BodyPacking.h"
#include "RuntimePtr.h"
#include "SessionLifecycle.h"
#include "SizeReports.h"
#include "SizedBuffer.h"

#include "plexa/platform.h"
#include "runtime2/KinectRuntime.h"

#include <jni.h>

#include <atomic>
#include <cstdint>
#include <memory>

struct KSDK {
    template <typename Interface>
    using RuntimePtr = plexa::bridge2::RuntimePtr<Interface>;

    // Binds the runtime's default sensor and its mapper, for index 0 only.
    explicit KSDK(int index);
    ~KSDK();
    KSDK(const KSDK&) = delete;
    KSDK& operator=(const KSDK&) = delete;

    std::atomic<std::int32_t> frameCount{0};  // frames delivered to Java since start

    jobject callbackTarget = nullptr;  // global reference, deleted once the event thread has ended
    jmethodID frameCallback = nullptr;
    jmethodID intrinsicsCallback = nullptr;
    jmethodID colorResolutionCallback = nullptr;
    jmethodID depthResolutionCallback = nullptr;
    jmethodID infraredResolutionCallback = nullptr;
    jmethodID longExposureInfraredResolutionCallback = nullptr;
    JavaVM* javaVM = nullptr;

    RuntimePtr<IKinectSensor> sensor;
    RuntimePtr<ICoordinateMapper> coordinateMapper;  // may be null: no intrinsics, no mapping
    RuntimePtr<IMultiSourceFrameReader> frameReader;
    WAITABLE_HANDLE frameArrivedHandle = 0;  // owned by the runtime: unsubscribed, never closed

    std::atomic<bool> computeUV{false};
    std::atomic<bool> computeXYZ{false};

    HANDLE eventThread = nullptr;
    HANDLE stopEvent = nullptr;

    bool useDepth = false;
    bool useColor = false;
    bool useInfrared = false;
    bool useLongExposureInfrared = false;
    bool useBodyIndex = false;
    bool useBody = false;
    bool useAudio = false;

    // Image-sized buffers, allocated on first use and replaced when the size
    // changes: the converted color image (BGRA) and the two depth mappings.
    plexa::bridge2::SizedBuffer<std::uint8_t, 4> colorBuffer;
    plexa::bridge2::SizedBuffer<float, 2> uvBuffer;
    plexa::bridge2::SizedBuffer<float, 3> xyzBuffer;

    // Fixed body storage, allocated at start-up.
    std::unique_ptr<plexa::bridge2::BodyBuffers> bodyBuffers;
    std::unique_ptr<plexa::bridge2::BodyScratch> bodyScratch;

    bool intrinsicsSent = false;
    plexa::bridge2::SizeReports reportedSizes;

    // Life cycle.
    void Nui_Zero();
    HRESULT Nui_Init(std::int32_t flags);
    void Nui_UnInit();

    // One frame-arrived signal: acquire, describe, deliver, release. Run only
    // by the event thread.
    void Nui_ProcessFrame();

    // Run by whoever replaces the session in its slot, before the new session
    // opens the sensor: stops it as Nui_UnInit does, without waiting for a
    // stop of it already under way.
    void Nui_StopReplaced();
    // True once a stop has finished; the sensor table may then free it.
    bool hasEnded() { return lifecycle.hasEnded(); }
    // On a Java thread, waits for a stop of this session that its event
    // thread is still finishing, so that a new start of the sensor follows it.
    void Nui_AwaitStopUnderWay();

private:
    static DWORD WINAPI eventThreadMain(LPVOID session);
    void runEventThread();
    void finishStopOnEventThread();
    void stopAndRelease();
    // True on an event thread of this library (inside one of its callbacks).
    static bool onEventThread();
    void releaseStreamsAndBuffers();

    // Who ends the session, and whether it has ended.
    plexa::SessionLifecycle lifecycle;
    bool sensorOpen = false;  // Close only what this session opened
};
