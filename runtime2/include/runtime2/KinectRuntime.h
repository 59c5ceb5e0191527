// The second-generation sensor runtime as the bridge sees it: one exported
// function and reference-counted interfaces (sensor, multi-source reader,
// frames, frame descriptions, bodies, coordinate mapper). Every object handed
// out carries one reference for the caller, given back with Release. Ours is
// the virtual sensor in libKinect20.
#pragma once

#include "plexa/platform.h"

#include <cstdint>

#if defined(_WIN32)
#define KINECT_RUNTIME_API __declspec(dllimport)
#elif defined(PLEXA_RUNTIME2_BUILD)
#define KINECT_RUNTIME_API __attribute__((visibility("default")))
#else
#define KINECT_RUNTIME_API
#endif

using BOOLEAN = std::uint8_t;
using WAITABLE_HANDLE = INT_PTR;

// Frame-source bits of OpenMultiSourceFrameReader.
constexpr DWORD FrameSourceTypes_None = 0x0;
constexpr DWORD FrameSourceTypes_Color = 0x1;
constexpr DWORD FrameSourceTypes_Infrared = 0x2;
constexpr DWORD FrameSourceTypes_LongExposureInfrared = 0x4;
constexpr DWORD FrameSourceTypes_Depth = 0x8;
constexpr DWORD FrameSourceTypes_BodyIndex = 0x10;
constexpr DWORD FrameSourceTypes_Body = 0x20;
constexpr DWORD FrameSourceTypes_Audio = 0x40;

// Color image formats.
enum ColorImageFormat : std::int32_t {
    ColorImageFormat_None = 0,
    ColorImageFormat_Rgba = 1,
    ColorImageFormat_Yuv = 2,
    ColorImageFormat_Bgra = 3,
    ColorImageFormat_Bayer = 4,
    ColorImageFormat_Yuy2 = 5,
};

constexpr int BODY_COUNT = 6;
constexpr int JointType_Count = 25;

// Joint tracking states.
constexpr std::int32_t TrackingState_NotTracked = 0;
constexpr std::int32_t TrackingState_Inferred = 1;
constexpr std::int32_t TrackingState_Tracked = 2;

struct Vector4 {
    float x, y, z, w;
};

struct CameraSpacePoint {
    float X, Y, Z;
};

struct ColorSpacePoint {
    float X, Y;
};

// 20 bytes: joint type, camera-space position, tracking state.
struct Joint {
    std::int32_t JointType;
    CameraSpacePoint Position;
    std::int32_t TrackingState;
};

// 20 bytes: joint type, orientation quaternion (x, y, z, w).
struct JointOrientation {
    std::int32_t JointType;
    Vector4 Orientation;
};

struct CameraIntrinsics {
    float FocalLengthX;
    float FocalLengthY;
    float PrincipalPointX;
    float PrincipalPointY;
    float RadialDistortionSecondOrder;
    float RadialDistortionFourthOrder;
    float RadialDistortionSixthOrder;
};

static_assert(sizeof(Joint) == 20, "joint records are 20 bytes");
static_assert(sizeof(JointOrientation) == 20, "joint-orientation records are 20 bytes");
static_assert(sizeof(CameraIntrinsics) == 28, "intrinsics are 7 floats");

struct IRefCounted {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IRefCounted() = default;
};

struct IFrameDescription : IRefCounted {
    virtual HRESULT get_Width(int* width) = 0;
    virtual HRESULT get_Height(int* height) = 0;
    virtual HRESULT get_HorizontalFieldOfView(float* degrees) = 0;
    virtual HRESULT get_VerticalFieldOfView(float* degrees) = 0;
    virtual HRESULT get_DiagonalFieldOfView(float* degrees) = 0;
    virtual HRESULT get_LengthInPixels(UINT* length) = 0;
    virtual HRESULT get_BytesPerPixel(UINT* bytesPerPixel) = 0;

protected:
    ~IFrameDescription() = default;
};

// Depth, infrared and long-exposure infrared frames: 16-bit pixels, valid
// until the frame is released. The capacity is in elements.
struct IDepthFrame : IRefCounted {
    virtual HRESULT get_FrameDescription(IFrameDescription** description) = 0;
    virtual HRESULT get_RelativeTime(TIMESPAN* relativeTime) = 0;
    virtual HRESULT AccessUnderlyingBuffer(UINT* capacity, UINT16** buffer) = 0;

protected:
    ~IDepthFrame() = default;
};

struct IInfraredFrame : IRefCounted {
    virtual HRESULT get_FrameDescription(IFrameDescription** description) = 0;
    virtual HRESULT get_RelativeTime(TIMESPAN* relativeTime) = 0;
    virtual HRESULT AccessUnderlyingBuffer(UINT* capacity, UINT16** buffer) = 0;

protected:
    ~IInfraredFrame() = default;
};

struct ILongExposureInfraredFrame : IRefCounted {
    virtual HRESULT get_FrameDescription(IFrameDescription** description) = 0;
    virtual HRESULT get_RelativeTime(TIMESPAN* relativeTime) = 0;
    virtual HRESULT AccessUnderlyingBuffer(UINT* capacity, UINT16** buffer) = 0;

protected:
    ~ILongExposureInfraredFrame() = default;
};

// One byte per pixel: the body slot (0 to 5) of the pixel, 255 for none.
struct IBodyIndexFrame : IRefCounted {
    virtual HRESULT get_FrameDescription(IFrameDescription** description) = 0;
    virtual HRESULT get_RelativeTime(TIMESPAN* relativeTime) = 0;
    virtual HRESULT AccessUnderlyingBuffer(UINT* capacity, BYTE** buffer) = 0;

protected:
    ~IBodyIndexFrame() = default;
};

struct IColorFrame : IRefCounted {
    virtual HRESULT get_FrameDescription(IFrameDescription** description) = 0;
    virtual HRESULT get_RelativeTime(TIMESPAN* relativeTime) = 0;
    virtual HRESULT get_RawColorImageFormat(ColorImageFormat* format) = 0;
    // The frame's own bytes in its raw format; capacity in bytes.
    virtual HRESULT AccessRawUnderlyingBuffer(UINT* capacity, BYTE** buffer) = 0;
    // Converts the frame into the caller's buffer; fails when capacity is too small.
    virtual HRESULT CopyConvertedFrameDataToArray(UINT capacity, BYTE* buffer, ColorImageFormat format) = 0;

protected:
    ~IColorFrame() = default;
};

struct IBody : IRefCounted {
    virtual HRESULT get_IsTracked(BOOLEAN* tracked) = 0;
    virtual HRESULT GetJoints(UINT capacity, Joint* joints) = 0;
    virtual HRESULT GetJointOrientations(UINT capacity, JointOrientation* orientations) = 0;

protected:
    ~IBody() = default;
};

struct IBodyFrame : IRefCounted {
    virtual HRESULT get_RelativeTime(TIMESPAN* relativeTime) = 0;
    // Fills each null slot of `bodies` with a new reference; refreshes the others.
    virtual HRESULT GetAndRefreshBodyData(UINT capacity, IBody** bodies) = 0;
    virtual HRESULT get_FloorClipPlane(Vector4* floorClipPlane) = 0;

protected:
    ~IBodyFrame() = default;
};

struct IColorFrameReference : IRefCounted {
    virtual HRESULT AcquireFrame(IColorFrame** frame) = 0;

protected:
    ~IColorFrameReference() = default;
};

struct IDepthFrameReference : IRefCounted {
    virtual HRESULT AcquireFrame(IDepthFrame** frame) = 0;

protected:
    ~IDepthFrameReference() = default;
};

struct IBodyFrameReference : IRefCounted {
    virtual HRESULT AcquireFrame(IBodyFrame** frame) = 0;

protected:
    ~IBodyFrameReference() = default;
};

struct IBodyIndexFrameReference : IRefCounted {
    virtual HRESULT AcquireFrame(IBodyIndexFrame** frame) = 0;

protected:
    ~IBodyIndexFrameReference() = default;
};

struct IInfraredFrameReference : IRefCounted {
    virtual HRESULT AcquireFrame(IInfraredFrame** frame) = 0;

protected:
    ~IInfraredFrameReference() = default;
};

struct ILongExposureInfraredFrameReference : IRefCounted {
    virtual HRESULT AcquireFrame(ILongExposureInfraredFrame** frame) = 0;

protected:
    ~ILongExposureInfraredFrameReference() = default;
};

struct IMultiSourceFrame : IRefCounted {
    virtual HRESULT get_ColorFrameReference(IColorFrameReference** reference) = 0;
    virtual HRESULT get_DepthFrameReference(IDepthFrameReference** reference) = 0;
    virtual HRESULT get_BodyFrameReference(IBodyFrameReference** reference) = 0;
    virtual HRESULT get_BodyIndexFrameReference(IBodyIndexFrameReference** reference) = 0;
    virtual HRESULT get_InfraredFrameReference(IInfraredFrameReference** reference) = 0;
    virtual HRESULT get_LongExposureInfraredFrameReference(ILongExposureInfraredFrameReference** reference) = 0;

protected:
    ~IMultiSourceFrame() = default;
};

struct IMultiSourceFrameReader : IRefCounted {
    // The handle is waitable with WaitForMultipleObjects and signalled while a
    // new frame is ready; the runtime owns it.
    virtual HRESULT SubscribeMultiSourceFrameArrived(WAITABLE_HANDLE* waitableHandle) = 0;
    virtual HRESULT UnsubscribeMultiSourceFrameArrived(WAITABLE_HANDLE waitableHandle) = 0;
    // Fails when no frame has arrived since the last acquisition.
    virtual HRESULT AcquireLatestFrame(IMultiSourceFrame** frame) = 0;

protected:
    ~IMultiSourceFrameReader() = default;
};

struct ICoordinateMapper : IRefCounted {
    virtual HRESULT MapDepthFrameToColorSpace(UINT depthPointCount, const UINT16* depthFrameData,
                                              UINT colorPointCount, ColorSpacePoint* colorSpacePoints) = 0;
    virtual HRESULT MapDepthFrameToCameraSpace(UINT depthPointCount, const UINT16* depthFrameData,
                                               UINT cameraPointCount, CameraSpacePoint* cameraSpacePoints) = 0;
    virtual HRESULT GetDepthCameraIntrinsics(CameraIntrinsics* intrinsics) = 0;

protected:
    ~ICoordinateMapper() = default;
};

struct IKinectSensor : IRefCounted {
    virtual HRESULT get_CoordinateMapper(ICoordinateMapper** mapper) = 0;
    virtual HRESULT Open() = 0;
    virtual HRESULT Close() = 0;
    virtual HRESULT OpenMultiSourceFrameReader(DWORD enabledFrameSourceTypes, IMultiSourceFrameReader** reader) = 0;

protected:
    ~IKinectSensor() = default;
};

extern "C" {
KINECT_RUNTIME_API HRESULT GetDefaultKinectSensor(IKinectSensor** sensor);
}
