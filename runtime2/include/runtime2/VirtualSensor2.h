// The control face of the virtual second-generation sensor: used by tests,
// benchmarks and the demo, never by a bridge. Everything here acts on the
// process-wide state of libKinect20.
//
// Modes. Live mode (the default) delivers a multi-source frame of the
// synthetic scene 30 times per second while a reader is open. In scripted mode
// the reader delivers only the frames a test queued, each once, in order.
#pragma once

#include "runtime2/KinectRuntime.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "plexa/exports.h"

#if defined(PLEXA_RUNTIME2_BUILD)
#define VIRTUAL_SENSOR2_API PLEXA_EXPORTED
#else
#define VIRTUAL_SENSOR2_API PLEXA_IMPORTED
#endif

namespace plexa::virtual2 {

// Every runtime operation, for failure injection and the call log.
enum class Operation {
    GetDefaultKinectSensor,
    SensorGetCoordinateMapper,
    SensorOpen,
    SensorClose,
    SensorOpenMultiSourceFrameReader,
    ReaderSubscribeMultiSourceFrameArrived,
    ReaderUnsubscribeMultiSourceFrameArrived,
    ReaderAcquireLatestFrame,
    MultiSourceGetColorFrameReference,
    MultiSourceGetDepthFrameReference,
    MultiSourceGetBodyFrameReference,
    MultiSourceGetBodyIndexFrameReference,
    MultiSourceGetInfraredFrameReference,
    MultiSourceGetLongExposureInfraredFrameReference,
    ColorReferenceAcquireFrame,
    DepthReferenceAcquireFrame,
    BodyReferenceAcquireFrame,
    BodyIndexReferenceAcquireFrame,
    InfraredReferenceAcquireFrame,
    LongExposureInfraredReferenceAcquireFrame,
    // Frame operations; the frame kind is in CallRecord::frameKind.
    FrameGetFrameDescription,
    FrameGetRelativeTime,
    FrameAccessUnderlyingBuffer,
    ColorGetRawColorImageFormat,
    ColorAccessRawUnderlyingBuffer,
    ColorCopyConvertedFrameDataToArray,
    DescriptionGetWidth,
    DescriptionGetHeight,
    DescriptionGetHorizontalFieldOfView,
    DescriptionGetVerticalFieldOfView,
    DescriptionGetDiagonalFieldOfView,
    DescriptionGetLengthInPixels,
    DescriptionGetBytesPerPixel,
    BodyFrameGetRelativeTime,
    BodyFrameGetAndRefreshBodyData,
    BodyFrameGetFloorClipPlane,
    BodyGetIsTracked,
    BodyGetJoints,
    BodyGetJointOrientations,
    MapperMapDepthFrameToColorSpace,
    MapperMapDepthFrameToCameraSpace,
    MapperGetDepthCameraIntrinsics,
};

// Which frame an operation on frames or frame descriptions concerns.
enum class FrameKind { None, Color, Depth, BodyIndex, Body, Infrared, LongExposureInfrared };

VIRTUAL_SENSOR2_API const char* operationName(Operation operation);

// One call the bridge made. `arguments` holds the call's scalar arguments in
// order (counts, masks, formats, handles as integers); `bodySlot` is the slot
// of a body operation, else -1.
struct CallRecord {
    Operation operation;
    FrameKind frameKind;
    int bodySlot;
    std::vector<std::int64_t> arguments;
    HRESULT result;
};

// 16-bit image (depth, infrared, long-exposure infrared). The buffer's
// capacity is samples.size(), which need not equal width x height.
struct ScriptedShortImage {
    int width = 512;
    int height = 424;
    std::vector<std::uint16_t> samples;
};

struct ScriptedBodyIndexImage {
    int width = 512;
    int height = 424;
    std::vector<std::uint8_t> bytes;
};

// The color frame's raw bytes in `rawFormat` (YUY2: 2 bytes per pixel; BGRA:
// 4). The raw capacity is raw.size(), which need not match the size.
struct ScriptedColorImage {
    int width = 1920;
    int height = 1080;
    ColorImageFormat rawFormat = ColorImageFormat_Yuy2;
    std::vector<std::uint8_t> raw;
};

struct ScriptedBody {
    bool tracked = false;
    std::array<Joint, JointType_Count> joints{};
    std::array<JointOrientation, JointType_Count> orientations{};
};

struct ScriptedBodies {
    std::array<ScriptedBody, BODY_COUNT> bodies{};
    Vector4 floorClipPlane{0.0f, 1.0f, 0.0f, 0.0f};
};

// One multi-source frame. A source the reader was opened with but that is
// left empty here gets the scene's content at the sensor's own size.
struct ScriptedFrame {
    std::optional<ScriptedColorImage> color;
    std::optional<ScriptedShortImage> depth;
    std::optional<ScriptedBodyIndexImage> bodyIndex;
    std::optional<ScriptedBodies> bodies;
    std::optional<ScriptedShortImage> infrared;
    std::optional<ScriptedShortImage> longExposureInfrared;
};

// Back to the state of a fresh process: the default sensor exists, live
// mode, no queued frames, no injected failures, an empty log.
VIRTUAL_SENSOR2_API void reset();

// Whether GetDefaultKinectSensor finds a sensor.
VIRTUAL_SENSOR2_API void setSensorPresent(bool present);

// Scripted mode (live mode when false).
VIRTUAL_SENSOR2_API void setScripted(bool scripted);

// Queues a frame; the frame-arrived handle of an open reader is signalled
// while a queued frame waits. Frames queued before a reader opens wait for it.
VIRTUAL_SENSOR2_API void queueFrame(ScriptedFrame frame);
VIRTUAL_SENSOR2_API int queuedFrameCount();

// Makes an operation fail with `code`: the next `times` calls, or every call
// when `times` is negative. `frameKind` narrows frame and description
// operations to one frame kind (None: any); `bodySlot` narrows body
// operations to one slot (-1: any).
VIRTUAL_SENSOR2_API void injectFailure(Operation operation, HRESULT code, int times = 1,
                                       FrameKind frameKind = FrameKind::None, int bodySlot = -1);
VIRTUAL_SENSOR2_API void clearFailures();

// Whether get_CoordinateMapper gives a mapper (it succeeds with null when not).
VIRTUAL_SENSOR2_API void setMapperPresent(bool present);

// The calls made since the last reset or clearCallLog, in order.
VIRTUAL_SENSOR2_API std::vector<CallRecord> callLog();
VIRTUAL_SENSOR2_API void clearCallLog();

// Runtime objects alive now (handed out and not yet released to zero).
VIRTUAL_SENSOR2_API int liveObjectCount();

// The camera model behind the coordinate mapper, so a test can check it.
VIRTUAL_SENSOR2_API CameraIntrinsics depthIntrinsics();

}  // namespace plexa::virtual2
