// The second-generation sensor runtime as the bridge sees it: one exported
// function and reference-counted interfaces (sensor, multi-source reader,
// frames, frame descriptions, bodies, coordinate mapper). Every object handed
// out carries one reference for the caller, given back with Release. Ours is
// the virtual sensor in libKinect20.
//
// The declarations are binary compatible with the vendor's Kinect20.dll, so one
// bridge binary runs against either runtime: every interface below derives from
// IUnknown alone and lists all of its methods in the runtime's slot order, with
// no destructor, no overloads and no data (a destructor or an overload would
// move slots differently under the two compilers' rules). Records keep their
// natural 4-byte alignment; the static_asserts pin what the bridge reads.
// Interfaces that only appear as parameter types stay incomplete.
#pragma once

#include "plexa/platform.h"

#include <cstddef>

#include "plexa/exports.h"

#if defined(PLEXA_RUNTIME2_BUILD)
#define KINECT_RUNTIME_API PLEXA_EXPORTED
#else
#define KINECT_RUNTIME_API PLEXA_IMPORTED
#endif

using TIMESPAN = INT64;  // 100 ns ticks
using WAITABLE_HANDLE = INT_PTR;

constexpr int BODY_COUNT = 6;

// ---- enumerations (int-sized) ----------------------------------------------

// Bits of OpenMultiSourceFrameReader's source mask.
enum FrameSourceTypes : int {
    FrameSourceTypes_None = 0x0,
    FrameSourceTypes_Color = 0x1,
    FrameSourceTypes_Infrared = 0x2,
    FrameSourceTypes_LongExposureInfrared = 0x4,
    FrameSourceTypes_Depth = 0x8,
    FrameSourceTypes_BodyIndex = 0x10,
    FrameSourceTypes_Body = 0x20,
    FrameSourceTypes_Audio = 0x40,
};

enum ColorImageFormat : int {
    ColorImageFormat_None = 0,
    ColorImageFormat_Rgba = 1,
    ColorImageFormat_Yuv = 2,
    ColorImageFormat_Bgra = 3,
    ColorImageFormat_Bayer = 4,
    ColorImageFormat_Yuy2 = 5,
};

enum JointType : int {
    JointType_SpineBase = 0,
    JointType_SpineMid = 1,
    JointType_Neck = 2,
    JointType_Head = 3,
    JointType_ShoulderLeft = 4,
    JointType_ElbowLeft = 5,
    JointType_WristLeft = 6,
    JointType_HandLeft = 7,
    JointType_ShoulderRight = 8,
    JointType_ElbowRight = 9,
    JointType_WristRight = 10,
    JointType_HandRight = 11,
    JointType_HipLeft = 12,
    JointType_KneeLeft = 13,
    JointType_AnkleLeft = 14,
    JointType_FootLeft = 15,
    JointType_HipRight = 16,
    JointType_KneeRight = 17,
    JointType_AnkleRight = 18,
    JointType_FootRight = 19,
    JointType_SpineShoulder = 20,
    JointType_HandTipLeft = 21,
    JointType_ThumbLeft = 22,
    JointType_HandTipRight = 23,
    JointType_ThumbRight = 24,
    JointType_Count = 25,
};

enum TrackingState : int {
    TrackingState_NotTracked = 0,
    TrackingState_Inferred = 1,
    TrackingState_Tracked = 2,
};

enum HandState : int {
    HandState_Unknown = 0,
    HandState_NotTracked = 1,
    HandState_Open = 2,
    HandState_Closed = 3,
    HandState_Lasso = 4,
};

enum TrackingConfidence : int {
    TrackingConfidence_Low = 0,
    TrackingConfidence_High = 1,
};

enum DetectionResult : int {
    DetectionResult_Unknown = 0,
    DetectionResult_No = 1,
    DetectionResult_Maybe = 2,
    DetectionResult_Yes = 3,
};

// Bits of IBody::get_ClippedEdges.
enum FrameEdges : int {
    FrameEdge_None = 0x0,
    FrameEdge_Right = 0x1,
    FrameEdge_Left = 0x2,
    FrameEdge_Top = 0x4,
    FrameEdge_Bottom = 0x8,
};

// Bits of IKinectSensor::get_KinectCapabilities.
enum KinectCapabilities : int {
    KinectCapabilities_None = 0x0,
    KinectCapabilities_Vision = 0x1,
    KinectCapabilities_Audio = 0x2,
    KinectCapabilities_Face = 0x4,
    KinectCapabilities_Expressions = 0x8,
    KinectCapabilities_Gamechat = 0x10,
};

enum FrameCapturedStatus : int {
    FrameCapturedStatus_Unknown = 0,
    FrameCapturedStatus_Queued = 1,
    FrameCapturedStatus_Dropped = 2,
};

// Indices of IBody's detection-result arrays; each _Count is the capacity.
enum Expression : int {
    Expression_Neutral = 0,
    Expression_Happy = 1,
    Expression_Count = 2,
};

enum Activity : int {
    Activity_EyeLeftClosed = 0,
    Activity_EyeRightClosed = 1,
    Activity_MouthOpen = 2,
    Activity_MouthMoved = 3,
    Activity_LookingAway = 4,
    Activity_Count = 5,
};

enum Appearance : int {
    Appearance_WearingGlasses = 0,
    Appearance_Count = 1,
};

// ---- records ---------------------------------------------------------------

// Both runtimes' headers declare Vector4 with the same layout.
#ifndef PLEXA_VECTOR4_DECLARED
#define PLEXA_VECTOR4_DECLARED
struct Vector4 {
    float x;
    float y;
    float z;
    float w;
};
#endif

struct PointF {
    float X;
    float Y;
};

struct RectF {
    float X;
    float Y;
    float Width;
    float Height;
};

struct ColorSpacePoint {
    float X;
    float Y;
};

struct DepthSpacePoint {
    float X;
    float Y;
};

// Metres, x to the right, y up, z forward from the depth camera.
struct CameraSpacePoint {
    float X;
    float Y;
    float Z;
};

// The member names repeat their type names; the elaborated form keeps the
// type reachable inside the record.
struct Joint {
    enum JointType JointType;
    CameraSpacePoint Position;
    enum TrackingState TrackingState;
};

// Orientation is a quaternion (x, y, z, w).
struct JointOrientation {
    enum JointType JointType;
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

static_assert(sizeof(FrameSourceTypes) == 4 && sizeof(ColorImageFormat) == 4 && sizeof(JointType) == 4 &&
                  sizeof(TrackingState) == 4 && sizeof(DetectionResult) == 4,
              "enumerations are int-sized");
static_assert(sizeof(BOOLEAN) == 1 && sizeof(WAITABLE_HANDLE) == 8 && sizeof(TIMESPAN) == 8,
              "the runtime's scalar widths");

static_assert(sizeof(Vector4) == 16 && offsetof(Vector4, x) == 0 && offsetof(Vector4, y) == 4 &&
                  offsetof(Vector4, z) == 8 && offsetof(Vector4, w) == 12,
              "Vector4 layout");
static_assert(sizeof(PointF) == 8 && offsetof(PointF, X) == 0 && offsetof(PointF, Y) == 4, "PointF layout");
static_assert(sizeof(RectF) == 16 && offsetof(RectF, Width) == 8 && offsetof(RectF, Height) == 12, "RectF layout");
static_assert(sizeof(ColorSpacePoint) == 8 && offsetof(ColorSpacePoint, X) == 0 && offsetof(ColorSpacePoint, Y) == 4,
              "ColorSpacePoint layout");
static_assert(sizeof(DepthSpacePoint) == 8 && offsetof(DepthSpacePoint, X) == 0 && offsetof(DepthSpacePoint, Y) == 4,
              "DepthSpacePoint layout");
static_assert(sizeof(CameraSpacePoint) == 12 && offsetof(CameraSpacePoint, X) == 0 &&
                  offsetof(CameraSpacePoint, Y) == 4 && offsetof(CameraSpacePoint, Z) == 8,
              "CameraSpacePoint layout");
static_assert(sizeof(Joint) == 20 && offsetof(Joint, JointType) == 0 && offsetof(Joint, Position) == 4 &&
                  offsetof(Joint, TrackingState) == 16,
              "Joint layout");
static_assert(sizeof(JointOrientation) == 20 && offsetof(JointOrientation, JointType) == 0 &&
                  offsetof(JointOrientation, Orientation) == 4,
              "JointOrientation layout");
static_assert(sizeof(CameraIntrinsics) == 28 && offsetof(CameraIntrinsics, FocalLengthX) == 0 &&
                  offsetof(CameraIntrinsics, FocalLengthY) == 4 && offsetof(CameraIntrinsics, PrincipalPointX) == 8 &&
                  offsetof(CameraIntrinsics, PrincipalPointY) == 12 &&
                  offsetof(CameraIntrinsics, RadialDistortionSecondOrder) == 16 &&
                  offsetof(CameraIntrinsics, RadialDistortionFourthOrder) == 20 &&
                  offsetof(CameraIntrinsics, RadialDistortionSixthOrder) == 24,
              "CameraIntrinsics layout");
static_assert(alignof(Vector4) == 4 && alignof(CameraSpacePoint) == 4 && alignof(Joint) == 4 &&
                  alignof(JointOrientation) == 4 && alignof(CameraIntrinsics) == 4,
              "records align to 4");

// ---- interfaces only passed around here ------------------------------------

struct IIsAvailableChangedEventArgs;
struct IFrameCapturedEventArgs;
struct IColorFrameSource;
struct IDepthFrameSource;
struct IBodyFrameSource;
struct IBodyIndexFrameSource;
struct IInfraredFrameSource;
struct ILongExposureInfraredFrameSource;
struct IAudioSource;
struct IColorCameraSettings;
struct ICoordinateMappingChangedEventArgs;

// ---- interfaces ------------------------------------------------------------

struct IFrameDescription;
struct IColorFrame;
struct IDepthFrame;
struct IBodyFrame;
struct IBodyIndexFrame;
struct IInfraredFrame;
struct ILongExposureInfraredFrame;
struct IMultiSourceFrame;
struct IMultiSourceFrameReference;
struct ICoordinateMapper;
struct IMultiSourceFrameReader;

struct IKinectSensor : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SubscribeIsAvailableChanged(WAITABLE_HANDLE* waitableHandle) = 0;
    virtual HRESULT STDMETHODCALLTYPE UnsubscribeIsAvailableChanged(WAITABLE_HANDLE waitableHandle) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetIsAvailableChangedEventData(WAITABLE_HANDLE waitableHandle,
                                                                     IIsAvailableChangedEventArgs** eventData) = 0;
    virtual HRESULT STDMETHODCALLTYPE Open() = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsOpen(BOOLEAN* isOpen) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsAvailable(BOOLEAN* isAvailable) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ColorFrameSource(IColorFrameSource** source) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DepthFrameSource(IDepthFrameSource** source) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BodyFrameSource(IBodyFrameSource** source) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BodyIndexFrameSource(IBodyIndexFrameSource** source) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_InfraredFrameSource(IInfraredFrameSource** source) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    get_LongExposureInfraredFrameSource(ILongExposureInfraredFrameSource** source) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_AudioSource(IAudioSource** source) = 0;
    virtual HRESULT STDMETHODCALLTYPE OpenMultiSourceFrameReader(DWORD enabledFrameSourceTypes,
                                                                 IMultiSourceFrameReader** reader) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CoordinateMapper(ICoordinateMapper** mapper) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_UniqueKinectId(UINT bufferSize, WCHAR* uniqueKinectId) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_KinectCapabilities(DWORD* capabilities) = 0;
};

struct IMultiSourceFrameArrivedEventArgs : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_FrameReference(IMultiSourceFrameReference** frameReference) = 0;
};

struct IMultiSourceFrameReader : IUnknown {
    // The handle is waitable with WaitForMultipleObjects and signalled while a
    // new frame is ready; the runtime owns it.
    virtual HRESULT STDMETHODCALLTYPE SubscribeMultiSourceFrameArrived(WAITABLE_HANDLE* waitableHandle) = 0;
    virtual HRESULT STDMETHODCALLTYPE UnsubscribeMultiSourceFrameArrived(WAITABLE_HANDLE waitableHandle) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMultiSourceFrameArrivedEventData(
        WAITABLE_HANDLE waitableHandle, IMultiSourceFrameArrivedEventArgs** eventData) = 0;
    // Fails when no frame has arrived since the last acquisition.
    virtual HRESULT STDMETHODCALLTYPE AcquireLatestFrame(IMultiSourceFrame** multiSourceFrame) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_FrameSourceTypes(DWORD* enabledFrameSourceTypes) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsPaused(BOOLEAN* isPaused) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_IsPaused(BOOLEAN isPaused) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_KinectSensor(IKinectSensor** sensor) = 0;
};

struct IMultiSourceFrameReference : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE AcquireFrame(IMultiSourceFrame** frame) = 0;
};

struct IFrameDescription : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_Width(int* width) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Height(int* height) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_HorizontalFieldOfView(float* degrees) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_VerticalFieldOfView(float* degrees) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DiagonalFieldOfView(float* degrees) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_LengthInPixels(UINT* lengthInPixels) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BytesPerPixel(UINT* bytesPerPixel) = 0;
};

struct IColorFrame : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_RawColorImageFormat(ColorImageFormat* rawColorImageFormat) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_FrameDescription(IFrameDescription** rawFrameDescription) = 0;
    virtual HRESULT STDMETHODCALLTYPE CopyRawFrameDataToArray(UINT capacity, BYTE* frameData) = 0;
    // The frame's own bytes in its raw format; capacity in bytes.
    virtual HRESULT STDMETHODCALLTYPE AccessRawUnderlyingBuffer(UINT* capacity, BYTE** buffer) = 0;
    // Converts the frame into the caller's buffer; fails when capacity is too small.
    virtual HRESULT STDMETHODCALLTYPE CopyConvertedFrameDataToArray(UINT capacity, BYTE* frameData,
                                                                    ColorImageFormat colorFormat) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateFrameDescription(ColorImageFormat format,
                                                             IFrameDescription** frameDescription) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ColorCameraSettings(IColorCameraSettings** colorCameraSettings) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RelativeTime(TIMESPAN* relativeTime) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ColorFrameSource(IColorFrameSource** colorFrameSource) = 0;
};

// Depth, infrared and long-exposure infrared frames: 16-bit pixels, valid
// until the frame is released. The capacity is in elements.
struct IDepthFrame : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CopyFrameDataToArray(UINT capacity, UINT16* frameData) = 0;
    virtual HRESULT STDMETHODCALLTYPE AccessUnderlyingBuffer(UINT* capacity, UINT16** buffer) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_FrameDescription(IFrameDescription** frameDescription) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RelativeTime(TIMESPAN* relativeTime) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DepthFrameSource(IDepthFrameSource** depthFrameSource) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DepthMinReliableDistance(USHORT* depthMinReliableDistance) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DepthMaxReliableDistance(USHORT* depthMaxReliableDistance) = 0;
};

struct IInfraredFrame : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CopyFrameDataToArray(UINT capacity, UINT16* frameData) = 0;
    virtual HRESULT STDMETHODCALLTYPE AccessUnderlyingBuffer(UINT* capacity, UINT16** buffer) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_FrameDescription(IFrameDescription** frameDescription) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RelativeTime(TIMESPAN* relativeTime) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_InfraredFrameSource(IInfraredFrameSource** infraredFrameSource) = 0;
};

struct ILongExposureInfraredFrame : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CopyFrameDataToArray(UINT capacity, UINT16* frameData) = 0;
    virtual HRESULT STDMETHODCALLTYPE AccessUnderlyingBuffer(UINT* capacity, UINT16** buffer) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_FrameDescription(IFrameDescription** frameDescription) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RelativeTime(TIMESPAN* relativeTime) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_LongExposureInfraredFrameSource(
        ILongExposureInfraredFrameSource** longExposureInfraredFrameSource) = 0;
};

// One byte per pixel: the body slot (0 to 5) of the pixel, 255 for none.
struct IBodyIndexFrame : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CopyFrameDataToArray(UINT capacity, BYTE* frameData) = 0;
    virtual HRESULT STDMETHODCALLTYPE AccessUnderlyingBuffer(UINT* capacity, BYTE** buffer) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_FrameDescription(IFrameDescription** frameDescription) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RelativeTime(TIMESPAN* relativeTime) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BodyIndexFrameSource(IBodyIndexFrameSource** bodyIndexFrameSource) = 0;
};

struct IBody : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetJoints(UINT capacity, Joint* joints) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetJointOrientations(UINT capacity, JointOrientation* jointOrientations) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Engaged(DetectionResult* detectionResult) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetExpressionDetectionResults(UINT capacity,
                                                                    DetectionResult* detectionResults) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetActivityDetectionResults(UINT capacity, DetectionResult* detectionResults) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAppearanceDetectionResults(UINT capacity,
                                                                    DetectionResult* detectionResults) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_HandLeftState(HandState* handState) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_HandLeftConfidence(TrackingConfidence* confidence) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_HandRightState(HandState* handState) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_HandRightConfidence(TrackingConfidence* confidence) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ClippedEdges(DWORD* clippedEdges) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_TrackingId(UINT64* trackingId) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsTracked(BOOLEAN* tracked) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsRestricted(BOOLEAN* isRestricted) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Lean(PointF* amount) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_LeanTrackingState(TrackingState* trackingState) = 0;
};

struct IBodyFrame : IUnknown {
    // Fills each null slot of `bodies` with a new reference; refreshes the others.
    virtual HRESULT STDMETHODCALLTYPE GetAndRefreshBodyData(UINT capacity, IBody** bodies) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_FloorClipPlane(Vector4* floorClipPlane) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RelativeTime(TIMESPAN* relativeTime) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BodyFrameSource(IBodyFrameSource** bodyFrameSource) = 0;
};

// Frame references: what a multi-source frame hands out per source.
struct IColorFrameReference : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE AcquireFrame(IColorFrame** colorFrame) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RelativeTime(TIMESPAN* relativeTime) = 0;
};

struct IDepthFrameReference : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE AcquireFrame(IDepthFrame** depthFrame) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RelativeTime(TIMESPAN* relativeTime) = 0;
};

struct IBodyFrameReference : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE AcquireFrame(IBodyFrame** bodyFrame) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RelativeTime(TIMESPAN* relativeTime) = 0;
};

struct IBodyIndexFrameReference : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE AcquireFrame(IBodyIndexFrame** bodyIndexFrame) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RelativeTime(TIMESPAN* relativeTime) = 0;
};

struct IInfraredFrameReference : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE AcquireFrame(IInfraredFrame** infraredFrame) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RelativeTime(TIMESPAN* relativeTime) = 0;
};

struct ILongExposureInfraredFrameReference : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE AcquireFrame(ILongExposureInfraredFrame** longExposureInfraredFrame) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RelativeTime(TIMESPAN* relativeTime) = 0;
};

struct IMultiSourceFrame : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_ColorFrameReference(IColorFrameReference** colorFrameReference) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DepthFrameReference(IDepthFrameReference** depthFrameReference) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BodyFrameReference(IBodyFrameReference** bodyFrameReference) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BodyIndexFrameReference(
        IBodyIndexFrameReference** bodyIndexFrameReference) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_InfraredFrameReference(IInfraredFrameReference** infraredFrameReference) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_LongExposureInfraredFrameReference(
        ILongExposureInfraredFrameReference** longExposureInfraredFrameReference) = 0;
};

struct ICoordinateMapper : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SubscribeCoordinateMappingChanged(WAITABLE_HANDLE* waitableHandle) = 0;
    virtual HRESULT STDMETHODCALLTYPE UnsubscribeCoordinateMappingChanged(WAITABLE_HANDLE waitableHandle) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCoordinateMappingChangedEventData(
        WAITABLE_HANDLE waitableHandle, ICoordinateMappingChangedEventArgs** eventData) = 0;
    virtual HRESULT STDMETHODCALLTYPE MapCameraPointToDepthSpace(CameraSpacePoint cameraPoint,
                                                                 DepthSpacePoint* depthPoint) = 0;
    virtual HRESULT STDMETHODCALLTYPE MapCameraPointToColorSpace(CameraSpacePoint cameraPoint,
                                                                 ColorSpacePoint* colorPoint) = 0;
    virtual HRESULT STDMETHODCALLTYPE MapDepthPointToCameraSpace(DepthSpacePoint depthPoint, UINT16 depth,
                                                                 CameraSpacePoint* cameraPoint) = 0;
    virtual HRESULT STDMETHODCALLTYPE MapDepthPointToColorSpace(DepthSpacePoint depthPoint, UINT16 depth,
                                                                ColorSpacePoint* colorPoint) = 0;
    virtual HRESULT STDMETHODCALLTYPE MapCameraPointsToDepthSpace(UINT cameraPointCount,
                                                                  const CameraSpacePoint* cameraPoints,
                                                                  UINT depthPointCount,
                                                                  DepthSpacePoint* depthPoints) = 0;
    virtual HRESULT STDMETHODCALLTYPE MapCameraPointsToColorSpace(UINT cameraPointCount,
                                                                  const CameraSpacePoint* cameraPoints,
                                                                  UINT colorPointCount,
                                                                  ColorSpacePoint* colorPoints) = 0;
    virtual HRESULT STDMETHODCALLTYPE MapDepthPointsToCameraSpace(UINT depthPointCount,
                                                                  const DepthSpacePoint* depthPoints,
                                                                  UINT depthCount, const UINT16* depths,
                                                                  UINT cameraPointCount,
                                                                  CameraSpacePoint* cameraPoints) = 0;
    virtual HRESULT STDMETHODCALLTYPE MapDepthPointsToColorSpace(UINT depthPointCount,
                                                                 const DepthSpacePoint* depthPoints,
                                                                 UINT depthCount, const UINT16* depths,
                                                                 UINT colorPointCount,
                                                                 ColorSpacePoint* colorPoints) = 0;
    virtual HRESULT STDMETHODCALLTYPE MapDepthFrameToCameraSpace(UINT depthPointCount, const UINT16* depthFrameData,
                                                                 UINT cameraPointCount,
                                                                 CameraSpacePoint* cameraSpacePoints) = 0;
    virtual HRESULT STDMETHODCALLTYPE MapDepthFrameToColorSpace(UINT depthPointCount, const UINT16* depthFrameData,
                                                                UINT colorPointCount,
                                                                ColorSpacePoint* colorSpacePoints) = 0;
    virtual HRESULT STDMETHODCALLTYPE MapColorFrameToDepthSpace(UINT depthDataPointCount,
                                                                const UINT16* depthFrameData, UINT depthPointCount,
                                                                DepthSpacePoint* depthSpacePoints) = 0;
    virtual HRESULT STDMETHODCALLTYPE MapColorFrameToCameraSpace(UINT depthDataPointCount,
                                                                 const UINT16* depthFrameData,
                                                                 UINT cameraPointCount,
                                                                 CameraSpacePoint* cameraSpacePoints) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDepthFrameToCameraSpaceTable(UINT32* tableEntryCount,
                                                                      PointF** tableEntries) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDepthCameraIntrinsics(CameraIntrinsics* cameraIntrinsics) = 0;
};

// ---- interface identifiers -------------------------------------------------
// Inline, so that every file of a program shares one object per identifier.

inline const IID IID_IKinectSensor = {0x3C6EBA94, 0x0DE1, 0x4360, {0xB6, 0xD4, 0x65, 0x3A, 0x10, 0x79, 0x4C, 0x8B}};
inline const IID IID_IMultiSourceFrameReader = {
    0xC0F6432B, 0x9FFE, 0x4AB3, {0xA6, 0x83, 0xF3, 0x7C, 0x72, 0xBB, 0xB1, 0x58}};
inline const IID IID_IMultiSourceFrameArrivedEventArgs = {
    0x3532F40B, 0xD908, 0x451D, {0xBB, 0xF4, 0x6C, 0xA7, 0x3B, 0x78, 0x25, 0x58}};
inline const IID IID_IMultiSourceFrameReference = {
    0xDD70E845, 0xE283, 0x4DD1, {0x8D, 0xAF, 0xFC, 0x25, 0x9A, 0xC5, 0xF9, 0xE3}};
inline const IID IID_IMultiSourceFrame = {0x29A63AFB, 0x76CE, 0x4359, {0x89, 0x5A, 0x99, 0x7F, 0x1E, 0x09, 0x4D, 0x1C}};
inline const IID IID_IColorFrameReference = {
    0x5CC49E38, 0x9BBD, 0x48BE, {0xA7, 0x70, 0xFD, 0x30, 0xEA, 0x40, 0x52, 0x47}};
inline const IID IID_IDepthFrameReference = {
    0x20621E5E, 0xABC9, 0x4EBD, {0xA7, 0xEE, 0x4C, 0x77, 0xED, 0xD0, 0x15, 0x2A}};
inline const IID IID_IBodyFrameReference = {
    0xC3A1733C, 0x5F84, 0x443B, {0x96, 0x59, 0x2F, 0x2B, 0xE2, 0x50, 0xC9, 0x7D}};
inline const IID IID_IBodyIndexFrameReference = {
    0xD0EA0519, 0xF7E7, 0x4B1E, {0xB3, 0xD8, 0x03, 0xB3, 0xC0, 0x02, 0x79, 0x5F}};
inline const IID IID_IInfraredFrameReference = {
    0x60183D5B, 0xDED5, 0x4D5C, {0xAE, 0x59, 0x64, 0xC7, 0x72, 0x4F, 0xE5, 0xFE}};
inline const IID IID_ILongExposureInfraredFrameReference = {
    0x10043A3E, 0x0DAA, 0x409C, {0x99, 0x44, 0xA6, 0xFC, 0x66, 0xC8, 0x5A, 0xF7}};
inline const IID IID_IColorFrame = {0x39D05803, 0x8803, 0x4E86, {0xAD, 0x9F, 0x13, 0xF6, 0x95, 0x4E, 0x4A, 0xCA}};
inline const IID IID_IDepthFrame = {0xD8600853, 0x8835, 0x44F9, {0x84, 0xA7, 0xE6, 0x17, 0xCD, 0xD7, 0xDF, 0xDD}};
inline const IID IID_IInfraredFrame = {0xEA83823C, 0x7613, 0x4F29, {0xBD, 0x51, 0x4A, 0x96, 0x78, 0xA5, 0x2C, 0x7E}};
inline const IID IID_ILongExposureInfraredFrame = {
    0xD1199394, 0x9A42, 0x4577, {0xBE, 0x12, 0x90, 0xA3, 0x8B, 0x72, 0x28, 0x2C}};
inline const IID IID_IBodyIndexFrame = {0x2CEA0C07, 0xF90C, 0x44DF, {0xA1, 0x8C, 0xF4, 0xD1, 0x80, 0x75, 0xEA, 0x6B}};
inline const IID IID_IBodyFrame = {0x52884F1F, 0x94D7, 0x4B57, {0xBF, 0x87, 0x92, 0x26, 0x95, 0x09, 0x80, 0xD5}};
inline const IID IID_IBody = {0x46AEF731, 0x98B0, 0x4D18, {0x82, 0x7B, 0x93, 0x37, 0x58, 0x67, 0x8F, 0x4A}};
inline const IID IID_IFrameDescription = {0x21F6EFB7, 0xEB6D, 0x48F4, {0x9C, 0x08, 0x18, 0x1A, 0x87, 0xBF, 0x0C, 0x98}};
inline const IID IID_ICoordinateMapper = {0x8784DF2D, 0x16B0, 0x481C, {0xA1, 0x1E, 0x55, 0xE7, 0x0B, 0xF2, 0x50, 0x18}};
inline const IID IID_IIsAvailableChangedEventArgs = {
    0x3A6DD52E, 0x967F, 0x4982, {0xB3, 0xD9, 0x74, 0xB9, 0xE1, 0xA0, 0x44, 0xC9}};
inline const IID IID_IFrameCapturedEventArgs = {
    0x24CBAB8E, 0xDF1A, 0x4FA8, {0x82, 0x7E, 0xC1, 0xB2, 0x7A, 0x44, 0xA3, 0xA1}};
inline const IID IID_IColorFrameSource = {0x57621D82, 0xD8EE, 0x4783, {0xB4, 0x12, 0xF7, 0xE0, 0x19, 0xC9, 0x6C, 0xFD}};
inline const IID IID_IDepthFrameSource = {0xC428D558, 0x5E46, 0x490A, {0xB6, 0x99, 0xD1, 0xDD, 0xDA, 0xA2, 0x41, 0x50}};
inline const IID IID_IBodyFrameSource = {0xBB94A78A, 0x458C, 0x4608, {0xAC, 0x69, 0x34, 0xFE, 0xAD, 0x1E, 0x3B, 0xAE}};
inline const IID IID_IBodyIndexFrameSource = {
    0x010F2A40, 0xDC58, 0x44A5, {0x8E, 0x57, 0x32, 0x9A, 0x58, 0x3F, 0xEC, 0x08}};
inline const IID IID_IInfraredFrameSource = {
    0x4C299EC6, 0xCA45, 0x4AFF, {0x87, 0xAD, 0xDF, 0x57, 0x62, 0xC4, 0x9B, 0xE7}};
inline const IID IID_ILongExposureInfraredFrameSource = {
    0xD7150EDA, 0xEDA2, 0x4673, {0xB4, 0xF8, 0xE3, 0xC7, 0x6D, 0x1F, 0x40, 0x2B}};
inline const IID IID_IColorCameraSettings = {
    0xDBF802AB, 0x0ADF, 0x485A, {0xA8, 0x44, 0xCF, 0x1C, 0x79, 0x56, 0xD0, 0x39}};
inline const IID IID_ICoordinateMappingChangedEventArgs = {
    0xE9A2A0BF, 0x13BD, 0x4A53, {0xA1, 0x57, 0x91, 0xFC, 0x8B, 0xB4, 0x1F, 0x85}};

extern "C" {
KINECT_RUNTIME_API HRESULT WINAPI GetDefaultKinectSensor(IKinectSensor** defaultKinectSensor);
}
