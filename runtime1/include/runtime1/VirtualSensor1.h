// The control face of the virtual first-generation sensor: used by tests,
// benchmarks and the demo, never by a bridge. Everything here acts on the
// process-wide state of libKinect10.
//
// Modes. A sensor is in live mode by default: every open stream delivers
// frames of the synthetic scene at 30 per second, and skeleton tracking
// delivers a skeleton frame with each of them. In scripted mode a sensor
// delivers only what a test queued, in queue order.
#pragma once

#include "runtime1/NuiRuntime.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "plexa/exports.h"

#if defined(PLEXA_RUNTIME1_BUILD)
#define VIRTUAL_SENSOR1_API PLEXA_EXPORTED
#else
#define VIRTUAL_SENSOR1_API PLEXA_IMPORTED
#endif

namespace plexa::virtual1 {

// Every runtime operation, for failure injection and the call log.
enum class Operation {
    GetSensorCount,
    CreateSensorByIndex,
    Initialize,
    Shutdown,
    ImageStreamOpen,
    ImageStreamSetImageFrameFlags,
    ImageStreamGetImageFrameFlags,
    ImageStreamGetNextFrame,
    ImageStreamReleaseFrame,
    GetColorPixelCoordinates,
    CameraElevationSetAngle,
    CameraElevationGetAngle,
    SkeletonTrackingEnable,
    SkeletonTrackingDisable,
    SkeletonGetNextFrame,
    TransformSmooth,
    Status,
    AccelerometerGetCurrentReading,
    LockRect,
};

VIRTUAL_SENSOR1_API const char* operationName(Operation operation);

// One call the bridge made. `arguments` holds the call's scalar arguments in
// order, handles and pointers as integers (0 for null); `sensorIndex` is -1
// for the two exported functions.
struct CallRecord {
    Operation operation;
    int sensorIndex;
    std::vector<std::int64_t> arguments;
    HRESULT result;
};

enum class Stream { Depth, Video };

// One image frame to deliver. `bytes` is the whole locked buffer as LockRect
// will give it (its size is LockRect's size); `pitch` is LockRect's pitch:
// -1 means the packed row size of the stream's resolution, 0 an empty frame.
struct ScriptedImageFrame {
    std::vector<std::uint8_t> bytes;
    std::int32_t pitch = -1;
};

// Back to the state of a fresh process: one connected sensor, live mode, no
// scripts, no injected failures, an empty log, default status, accelerometer
// and elevation. Sensors already created stay usable but forget their streams.
VIRTUAL_SENSOR1_API void reset();

// How many sensors NuiGetSensorCount reports and NuiCreateSensorByIndex accepts.
VIRTUAL_SENSOR1_API void setConnectedCount(int count);

// Scripted mode for one sensor index (live mode when false).
VIRTUAL_SENSOR1_API void setScripted(int sensorIndex, bool scripted);

// Queues a frame for a stream of a scripted sensor. Frames become ready in
// queue order, at most the stream's frame limit at a time; the stream's event
// is signalled while a frame is ready. Frames queued before the stream is
// opened wait for it.
VIRTUAL_SENSOR1_API void queueImageFrame(int sensorIndex, Stream stream, ScriptedImageFrame frame);

// Queues a skeleton frame; with tracking enabled, the skeleton event is
// signalled while one is ready.
VIRTUAL_SENSOR1_API void queueSkeletonFrame(int sensorIndex, const NUI_SKELETON_FRAME& frame);

// Frames of a stream that are ready to be fetched now.
VIRTUAL_SENSOR1_API int readyFrameCount(int sensorIndex, Stream stream);

// Makes an operation fail with `code`: the next `times` calls, or every call
// when `times` is negative, once `afterCalls` calls of it have succeeded (so
// the second of two stream opens can fail alone). Applies to every sensor.
VIRTUAL_SENSOR1_API void injectFailure(Operation operation, HRESULT code, int times = 1, int afterCalls = 0);
VIRTUAL_SENSOR1_API void clearFailures();

// What NuiStatus returns, and the readings the sensor reports.
VIRTUAL_SENSOR1_API void setStatus(int sensorIndex, HRESULT status);
VIRTUAL_SENSOR1_API void setAccelerometer(int sensorIndex, Vector4 reading);
VIRTUAL_SENSOR1_API void setElevation(int sensorIndex, LONG degrees);

// The calls made since the last reset or clearCallLog, in order.
VIRTUAL_SENSOR1_API std::vector<CallRecord> callLog();
VIRTUAL_SENSOR1_API void clearCallLog();

// Image frames fetched and not yet released, over all streams of a sensor.
VIRTUAL_SENSOR1_API int framesOutstanding(int sensorIndex);

// Where a virtual sensor stands in the room that live mode films: its depth
// camera `height` metres above the floor at (x, z) of the floor plan, turned
// `headingDegrees` about the vertical (0 looks along +z, 90 along +x) and
// tilted up by its elevation. Sensor 0 stands at the origin looking along +z;
// the others stand around the room, each looking at its middle.
struct SensorPose {
    float x = 0, z = 0, height = 0, headingDegrees = 0, tiltDegrees = 0;
};
VIRTUAL_SENSOR1_API SensorPose sensorPose(int sensorIndex);
// A point of a virtual sensor's depth camera space (metres: x right, y up, z
// forward, as the sensor's depth frames and skeletons give it) in the room:
// the room's floor is y = 0, so points two sensors see agree there.
VIRTUAL_SENSOR1_API Vector4 roomPointOf(int sensorIndex, Vector4 cameraPoint);

// The smoothing filter behind NuiTransformSmooth, usable on its own so that a
// test can compute what the runtime gives. It keeps history per skeleton slot.
class VIRTUAL_SENSOR1_API SkeletonSmoothingFilter {
public:
    SkeletonSmoothingFilter();
    ~SkeletonSmoothingFilter();
    SkeletonSmoothingFilter(const SkeletonSmoothingFilter&) = delete;
    SkeletonSmoothingFilter& operator=(const SkeletonSmoothingFilter&) = delete;

    // Smooths the tracked skeletons of `frame` in place; null means the default parameters.
    void apply(NUI_SKELETON_FRAME& frame, const NUI_TRANSFORM_SMOOTH_PARAMETERS* parameters);
    void reset();

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace plexa::virtual1
