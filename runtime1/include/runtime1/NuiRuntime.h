// The first-generation sensor runtime as the bridge sees it: two exported
// functions, the sensor interface, the frame texture and the records they fill,
// declared with the vendor runtime's names and binary layout (Kinect10.dll,
// Windows x64). One bridge binary therefore runs against the vendor's runtime
// or ours (the virtual sensor in Kinect10 / libKinect10).
//
// Binary rules kept here: every interface lists all of its vtable slots in the
// vendor's order after IUnknown's three, pure virtual, with no destructor and
// no overloads; records keep the vendor's packing (8; natural alignment) and are
// checked by the static_asserts at the end of this file.
#pragma once

#include "plexa/platform.h"

#include <cstddef>

#if defined(_WIN32) && defined(PLEXA_RUNTIME1_BUILD)
#define NUI_RUNTIME_API
#elif defined(_WIN32)
#define NUI_RUNTIME_API __declspec(dllimport)
#elif defined(PLEXA_RUNTIME1_BUILD)
#define NUI_RUNTIME_API __attribute__((visibility("default")))
#else
#define NUI_RUNTIME_API
#endif

#pragma pack(push, 8)

// ---- Enumerations (all int-sized) -------------------------------------------

enum NUI_IMAGE_TYPE : int {
    NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX = 0,
    NUI_IMAGE_TYPE_COLOR = 1,
    NUI_IMAGE_TYPE_COLOR_YUV = 2,
    NUI_IMAGE_TYPE_COLOR_RAW_YUV = 3,
    NUI_IMAGE_TYPE_DEPTH = 4,
    NUI_IMAGE_TYPE_COLOR_INFRARED = 5,
    NUI_IMAGE_TYPE_COLOR_RAW_BAYER = 6,
};

enum NUI_IMAGE_RESOLUTION : int {
    NUI_IMAGE_RESOLUTION_INVALID = -1,
    NUI_IMAGE_RESOLUTION_80x60 = 0,
    NUI_IMAGE_RESOLUTION_320x240 = 1,
    NUI_IMAGE_RESOLUTION_640x480 = 2,
    NUI_IMAGE_RESOLUTION_1280x960 = 3,
};

enum NUI_IMAGE_DIGITALZOOM : int {
    NUI_IMAGE_DIGITAL_ZOOM_1X = 0,
};

enum NUI_SKELETON_POSITION_INDEX : int {
    NUI_SKELETON_POSITION_HIP_CENTER = 0,
    NUI_SKELETON_POSITION_SPINE,
    NUI_SKELETON_POSITION_SHOULDER_CENTER,
    NUI_SKELETON_POSITION_HEAD,
    NUI_SKELETON_POSITION_SHOULDER_LEFT,
    NUI_SKELETON_POSITION_ELBOW_LEFT,
    NUI_SKELETON_POSITION_WRIST_LEFT,
    NUI_SKELETON_POSITION_HAND_LEFT,
    NUI_SKELETON_POSITION_SHOULDER_RIGHT,
    NUI_SKELETON_POSITION_ELBOW_RIGHT,
    NUI_SKELETON_POSITION_WRIST_RIGHT,
    NUI_SKELETON_POSITION_HAND_RIGHT,
    NUI_SKELETON_POSITION_HIP_LEFT,
    NUI_SKELETON_POSITION_KNEE_LEFT,
    NUI_SKELETON_POSITION_ANKLE_LEFT,
    NUI_SKELETON_POSITION_FOOT_LEFT,
    NUI_SKELETON_POSITION_HIP_RIGHT,
    NUI_SKELETON_POSITION_KNEE_RIGHT,
    NUI_SKELETON_POSITION_ANKLE_RIGHT,
    NUI_SKELETON_POSITION_FOOT_RIGHT,
    NUI_SKELETON_POSITION_COUNT,
};

enum NUI_SKELETON_TRACKING_STATE : int {
    NUI_SKELETON_NOT_TRACKED = 0,
    NUI_SKELETON_POSITION_ONLY = 1,
    NUI_SKELETON_TRACKED = 2,
};

enum NUI_SKELETON_POSITION_TRACKING_STATE : int {
    NUI_SKELETON_POSITION_NOT_TRACKED = 0,
    NUI_SKELETON_POSITION_INFERRED = 1,
    NUI_SKELETON_POSITION_TRACKED = 2,
};

// ---- Flags and limits -------------------------------------------------------

constexpr DWORD NUI_INITIALIZE_FLAG_USES_DEPTH_AND_PLAYER_INDEX = 0x00000001;
constexpr DWORD NUI_INITIALIZE_FLAG_USES_COLOR = 0x00000002;
constexpr DWORD NUI_INITIALIZE_FLAG_USES_SKELETON = 0x00000008;
constexpr DWORD NUI_INITIALIZE_FLAG_USES_DEPTH = 0x00000020;
constexpr DWORD NUI_INITIALIZE_FLAG_USES_HIGH_QUALITY_COLOR = 0x00000040;
constexpr DWORD NUI_INITIALIZE_FLAG_USES_AUDIO = 0x10000000;
constexpr DWORD NUI_INITIALIZE_DEFAULT_HARDWARE_THREAD = 0xFFFFFFFF;

constexpr DWORD NUI_IMAGE_STREAM_FLAG_SUPPRESS_NO_FRAME_DATA = 0x00010000;
constexpr DWORD NUI_IMAGE_STREAM_FLAG_ENABLE_NEAR_MODE = 0x00020000;
constexpr DWORD NUI_IMAGE_STREAM_FLAG_DISTINCT_OVERFLOW_DEPTH_VALUES = 0x00040000;
constexpr DWORD NUI_IMAGE_STREAM_FRAME_LIMIT_MAXIMUM = 4;

constexpr DWORD NUI_IMAGE_FRAME_FLAG_NONE = 0x00000000;
constexpr DWORD NUI_IMAGE_FRAME_FLAG_VIEW_AREA_UNKNOWN = 0x00000001;
constexpr DWORD NUI_IMAGE_FRAME_FLAG_NEAR_MODE_ENABLED = 0x00020000;

constexpr DWORD NUI_SKELETON_TRACKING_FLAG_SUPPRESS_NO_FRAME_DATA = 0x1;
constexpr DWORD NUI_SKELETON_TRACKING_FLAG_TITLE_SETS_TRACKED_SKELETONS = 0x2;
constexpr DWORD NUI_SKELETON_TRACKING_FLAG_ENABLE_SEATED_SUPPORT = 0x4;
constexpr DWORD NUI_SKELETON_TRACKING_FLAG_ENABLE_IN_NEAR_RANGE = 0x8;
constexpr DWORD NUI_SKELETON_FRAME_FLAG_SEATED_SUPPORT_ENABLED = 0x8;

constexpr DWORD NUI_SKELETON_QUALITY_CLIPPED_RIGHT = 0x1;
constexpr DWORD NUI_SKELETON_QUALITY_CLIPPED_LEFT = 0x2;
constexpr DWORD NUI_SKELETON_QUALITY_CLIPPED_TOP = 0x4;
constexpr DWORD NUI_SKELETON_QUALITY_CLIPPED_BOTTOM = 0x8;

constexpr int NUI_SKELETON_COUNT = 6;
constexpr int NUI_SKELETON_MAX_TRACKED_COUNT = 2;
constexpr DWORD NUI_SKELETON_INVALID_TRACKING_ID = 0;

constexpr LONG NUI_CAMERA_ELEVATION_MAXIMUM = 27;
constexpr LONG NUI_CAMERA_ELEVATION_MINIMUM = -27;

constexpr int NUI_IMAGE_PLAYER_INDEX_SHIFT = 3;
constexpr int NUI_IMAGE_PLAYER_INDEX_MASK = (1 << NUI_IMAGE_PLAYER_INDEX_SHIFT) - 1;

// ---- Result codes (facility 0x301); failures are negative --------------------

constexpr HRESULT S_NUI_INITIALIZING = 0x03010001;  // success: the sensor is still initialising
constexpr HRESULT E_NUI_FRAME_NO_DATA = static_cast<HRESULT>(0x83010001u);  // no frame ready
constexpr HRESULT E_NUI_STREAM_NOT_ENABLED = static_cast<HRESULT>(0x83010002u);
constexpr HRESULT E_NUI_IMAGE_STREAM_IN_USE = static_cast<HRESULT>(0x83010003u);
constexpr HRESULT E_NUI_FRAME_LIMIT_EXCEEDED = static_cast<HRESULT>(0x83010004u);
constexpr HRESULT E_NUI_FEATURE_NOT_INITIALIZED = static_cast<HRESULT>(0x83010005u);
constexpr HRESULT E_NUI_NOTGENUINE = static_cast<HRESULT>(0x83010006u);
constexpr HRESULT E_NUI_INSUFFICIENTBANDWIDTH = static_cast<HRESULT>(0x83010007u);
constexpr HRESULT E_NUI_NOTSUPPORTED = static_cast<HRESULT>(0x83010008u);
constexpr HRESULT E_NUI_DEVICE_IN_USE = static_cast<HRESULT>(0x83010009u);
constexpr HRESULT E_NUI_DATABASE_NOT_FOUND = static_cast<HRESULT>(0x8301000Du);
constexpr HRESULT E_NUI_DATABASE_VERSION_MISMATCH = static_cast<HRESULT>(0x8301000Eu);
constexpr HRESULT E_NUI_HARDWARE_FEATURE_UNAVAILABLE = static_cast<HRESULT>(0x8301000Fu);
constexpr HRESULT E_NUI_NOTCONNECTED = static_cast<HRESULT>(0x83010014u);
constexpr HRESULT E_NUI_NOTREADY = static_cast<HRESULT>(0x83010015u);
constexpr HRESULT E_NUI_SKELETAL_ENGINE_BUSY = static_cast<HRESULT>(0x830100AAu);
constexpr HRESULT E_NUI_NOTPOWERED = static_cast<HRESULT>(0x8301027Fu);
constexpr HRESULT E_NUI_BADINDEX = static_cast<HRESULT>(0x83010585u);
constexpr HRESULT E_NUI_BADIINDEX = E_NUI_BADINDEX;  // the older spelling of the same code
constexpr HRESULT E_NUI_DEVICE_NOT_CONNECTED = static_cast<HRESULT>(0x8007048Fu);
constexpr HRESULT E_NUI_DEVICE_NOT_READY = static_cast<HRESULT>(0x80070015u);
constexpr HRESULT E_NUI_ALREADY_INITIALIZED = static_cast<HRESULT>(0x800704DFu);
constexpr HRESULT E_NUI_NO_MORE_ITEMS = static_cast<HRESULT>(0x80070103u);

// ---- Records -----------------------------------------------------------------

// Both runtimes' headers declare Vector4 with the same layout.
#ifndef PLEXA_VECTOR4_DECLARED
#define PLEXA_VECTOR4_DECLARED
struct Vector4 {
    FLOAT x;
    FLOAT y;
    FLOAT z;
    FLOAT w;
};
#endif

struct INuiFrameTexture;

struct NUI_IMAGE_VIEW_AREA {
    NUI_IMAGE_DIGITALZOOM eDigitalZoom;
    LONG lCenterX;
    LONG lCenterY;
};

struct NUI_IMAGE_FRAME {
    LARGE_INTEGER liTimeStamp;
    DWORD dwFrameNumber;
    NUI_IMAGE_TYPE eImageType;
    NUI_IMAGE_RESOLUTION eResolution;
    INuiFrameTexture* pFrameTexture;
    DWORD dwFrameFlags;
    NUI_IMAGE_VIEW_AREA ViewArea;
};

// What LockRect gives: bytes per row (0 when the texture is empty), the byte
// count of pBits, and the first byte.
struct NUI_LOCKED_RECT {
    INT Pitch;
    INT size;
    BYTE* pBits;
};

struct NUI_SURFACE_DESC {
    UINT Width;
    UINT Height;
};

struct NUI_TRANSFORM_SMOOTH_PARAMETERS {
    FLOAT fSmoothing;
    FLOAT fCorrection;
    FLOAT fPrediction;
    FLOAT fJitterRadius;
    FLOAT fMaxDeviationRadius;
};

struct NUI_SKELETON_DATA {
    NUI_SKELETON_TRACKING_STATE eTrackingState;
    DWORD dwTrackingID;
    DWORD dwEnrollmentIndex;
    DWORD dwUserIndex;
    Vector4 Position;
    Vector4 SkeletonPositions[NUI_SKELETON_POSITION_COUNT];
    NUI_SKELETON_POSITION_TRACKING_STATE eSkeletonPositionTrackingState[NUI_SKELETON_POSITION_COUNT];
    DWORD dwQualityFlags;
};

#pragma pack(push, 16)
struct NUI_SKELETON_FRAME {
    LARGE_INTEGER liTimeStamp;
    DWORD dwFrameNumber;
    DWORD dwFlags;
    Vector4 vFloorClipPlane;
    Vector4 vNormalToGravity;
    NUI_SKELETON_DATA SkeletonData[NUI_SKELETON_COUNT];
};
#pragma pack(pop)

struct NUI_DEPTH_IMAGE_PIXEL {
    USHORT playerIndex;
    USHORT depth;
};

// ---- Interfaces ---------------------------------------------------------------

// Handed out or taken only by slots that no caller of ours uses.
struct INuiAudioBeam;
struct INuiCoordinateMapper;
struct INuiColorCameraSettings;
struct INuiDepthFilter;

// Runtime-owned pixels of one image frame.
struct INuiFrameTexture : public IUnknown {
    virtual int STDMETHODCALLTYPE BufferLen() = 0;
    virtual int STDMETHODCALLTYPE Pitch() = 0;
    virtual HRESULT STDMETHODCALLTYPE LockRect(UINT Level, NUI_LOCKED_RECT* pLockedRect, RECT* pRect,
                                               DWORD Flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetLevelDesc(UINT Level, NUI_SURFACE_DESC* pDesc) = 0;
    virtual HRESULT STDMETHODCALLTYPE UnlockRect(UINT Level) = 0;
};

struct INuiSensor : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE NuiInitialize(DWORD dwFlags) = 0;
    virtual void STDMETHODCALLTYPE NuiShutdown() = 0;
    virtual HRESULT STDMETHODCALLTYPE NuiSetFrameEndEvent(HANDLE hEvent, DWORD dwFrameEventFlag) = 0;
    virtual HRESULT STDMETHODCALLTYPE NuiImageStreamOpen(NUI_IMAGE_TYPE eImageType, NUI_IMAGE_RESOLUTION eResolution,
                                                         DWORD dwImageFrameFlags, DWORD dwFrameLimit,
                                                         HANDLE hNextFrameEvent, HANDLE* phStreamHandle) = 0;
    virtual HRESULT STDMETHODCALLTYPE NuiImageStreamSetImageFrameFlags(HANDLE hStream, DWORD dwImageFrameFlags) = 0;
    virtual HRESULT STDMETHODCALLTYPE NuiImageStreamGetImageFrameFlags(HANDLE hStream, DWORD* pdwImageFrameFlags) = 0;
    // Fills the caller's record; the frame stays the runtime's until released.
    virtual HRESULT STDMETHODCALLTYPE NuiImageStreamGetNextFrame(HANDLE hStream, DWORD dwMillisecondsToWait,
                                                                 NUI_IMAGE_FRAME* pImageFrame) = 0;
    virtual HRESULT STDMETHODCALLTYPE NuiImageStreamReleaseFrame(HANDLE hStream, NUI_IMAGE_FRAME* pImageFrame) = 0;
    virtual HRESULT STDMETHODCALLTYPE NuiImageGetColorPixelCoordinatesFromDepthPixel(
        NUI_IMAGE_RESOLUTION eColorResolution, const NUI_IMAGE_VIEW_AREA* pcViewArea, LONG lDepthX, LONG lDepthY,
        USHORT usDepthValue, LONG* plColorX, LONG* plColorY) = 0;
    virtual HRESULT STDMETHODCALLTYPE NuiImageGetColorPixelCoordinatesFromDepthPixelAtResolution(
        NUI_IMAGE_RESOLUTION eColorResolution, NUI_IMAGE_RESOLUTION eDepthResolution,
        const NUI_IMAGE_VIEW_AREA* pcViewArea, LONG lDepthX, LONG lDepthY, USHORT usDepthValue, LONG* plColorX,
        LONG* plColorY) = 0;
    // Color-image pixel (column, row) of each depth pixel, two LONGs per pixel.
    virtual HRESULT STDMETHODCALLTYPE NuiImageGetColorPixelCoordinateFrameFromDepthPixelFrameAtResolution(
        NUI_IMAGE_RESOLUTION eColorResolution, NUI_IMAGE_RESOLUTION eDepthResolution, DWORD cDepthValues,
        USHORT* pDepthValues, DWORD cColorCoordinates, LONG* pColorCoordinates) = 0;
    virtual HRESULT STDMETHODCALLTYPE NuiCameraElevationSetAngle(LONG lAngleDegrees) = 0;
    virtual HRESULT STDMETHODCALLTYPE NuiCameraElevationGetAngle(LONG* plAngleDegrees) = 0;
    virtual HRESULT STDMETHODCALLTYPE NuiSkeletonTrackingEnable(HANDLE hNextFrameEvent, DWORD dwFlags) = 0;
    virtual HRESULT STDMETHODCALLTYPE NuiSkeletonTrackingDisable() = 0;
    virtual HRESULT STDMETHODCALLTYPE NuiSkeletonSetTrackedSkeletons(DWORD* TrackingIDs) = 0;
    virtual HRESULT STDMETHODCALLTYPE NuiSkeletonGetNextFrame(DWORD dwMillisecondsToWait,
                                                              NUI_SKELETON_FRAME* pSkeletonFrame) = 0;
    // Smooths the tracked skeletons' joint positions in place; null parameters mean the defaults.
    virtual HRESULT STDMETHODCALLTYPE NuiTransformSmooth(NUI_SKELETON_FRAME* pSkeletonFrame,
                                                         const NUI_TRANSFORM_SMOOTH_PARAMETERS* pSmoothingParams) = 0;
    virtual HRESULT STDMETHODCALLTYPE NuiGetAudioSource(INuiAudioBeam** ppDmo) = 0;
    virtual int STDMETHODCALLTYPE NuiInstanceIndex() = 0;
    virtual BSTR STDMETHODCALLTYPE NuiDeviceConnectionId() = 0;
    virtual BSTR STDMETHODCALLTYPE NuiUniqueId() = 0;
    virtual BSTR STDMETHODCALLTYPE NuiAudioArrayId() = 0;
    virtual HRESULT STDMETHODCALLTYPE NuiStatus() = 0;
    virtual DWORD STDMETHODCALLTYPE NuiInitializationFlags() = 0;
    virtual HRESULT STDMETHODCALLTYPE NuiGetCoordinateMapper(INuiCoordinateMapper** pMapping) = 0;
    virtual HRESULT STDMETHODCALLTYPE NuiImageFrameGetDepthImagePixelFrameTexture(HANDLE hStream,
                                                                                  NUI_IMAGE_FRAME* pImageFrame,
                                                                                  BOOL* pNearMode,
                                                                                  INuiFrameTexture** ppFrameTexture) = 0;
    virtual HRESULT STDMETHODCALLTYPE NuiGetColorCameraSettings(INuiColorCameraSettings** pCameraSettings) = 0;
    virtual BOOL STDMETHODCALLTYPE NuiGetForceInfraredEmitterOff() = 0;
    virtual HRESULT STDMETHODCALLTYPE NuiSetForceInfraredEmitterOff(BOOL fForceInfraredEmitterOff) = 0;
    virtual HRESULT STDMETHODCALLTYPE NuiAccelerometerGetCurrentReading(Vector4* pReading) = 0;
    virtual HRESULT STDMETHODCALLTYPE NuiSetDepthFilter(INuiDepthFilter* pDepthFilter) = 0;
    virtual HRESULT STDMETHODCALLTYPE NuiGetDepthFilter(INuiDepthFilter** ppDepthFilter) = 0;
    virtual HRESULT STDMETHODCALLTYPE NuiGetDepthFilterForTimeStamp(LARGE_INTEGER liTimeStamp,
                                                                    INuiDepthFilter** ppDepthFilter) = 0;
};

#pragma pack(pop)

// ---- Interface identifiers ------------------------------------------------------

inline constexpr IID IID_INuiSensor = {0xD3D9AB7B, 0x31BA, 0x44CA, {0x8C, 0xC0, 0xD4, 0x25, 0x25, 0xBB, 0xEA, 0x43}};
inline constexpr IID IID_INuiFrameTexture = {
    0x13EA17F5, 0xFF2E, 0x4670, {0x9E, 0xE5, 0x12, 0x97, 0xA6, 0xE8, 0x80, 0xD1}};

// ---- Exported functions -----------------------------------------------------------

extern "C" {
// The vendor's DLL exports these by ordinal only (5 and 6); callers bind them
// through an import library that names the ordinals.
NUI_RUNTIME_API HRESULT WINAPI NuiGetSensorCount(int* pCount);
NUI_RUNTIME_API HRESULT WINAPI NuiCreateSensorByIndex(int index, INuiSensor** ppNuiSensor);
}

// ---- Layout checks (Windows x64 values; the same on every 64-bit target) ----------

static_assert(sizeof(void*) == 8, "the runtime's layout is that of a 64-bit process");
static_assert(sizeof(Vector4) == 16, "Vector4");
static_assert(sizeof(NUI_IMAGE_VIEW_AREA) == 12, "NUI_IMAGE_VIEW_AREA");
static_assert(sizeof(NUI_IMAGE_FRAME) == 48 && alignof(NUI_IMAGE_FRAME) == 8, "NUI_IMAGE_FRAME");
static_assert(offsetof(NUI_IMAGE_FRAME, liTimeStamp) == 0, "NUI_IMAGE_FRAME::liTimeStamp");
static_assert(offsetof(NUI_IMAGE_FRAME, dwFrameNumber) == 8, "NUI_IMAGE_FRAME::dwFrameNumber");
static_assert(offsetof(NUI_IMAGE_FRAME, eImageType) == 12, "NUI_IMAGE_FRAME::eImageType");
static_assert(offsetof(NUI_IMAGE_FRAME, eResolution) == 16, "NUI_IMAGE_FRAME::eResolution");
static_assert(offsetof(NUI_IMAGE_FRAME, pFrameTexture) == 24, "NUI_IMAGE_FRAME::pFrameTexture");
static_assert(offsetof(NUI_IMAGE_FRAME, dwFrameFlags) == 32, "NUI_IMAGE_FRAME::dwFrameFlags");
static_assert(offsetof(NUI_IMAGE_FRAME, ViewArea) == 36, "NUI_IMAGE_FRAME::ViewArea");
static_assert(sizeof(NUI_LOCKED_RECT) == 16, "NUI_LOCKED_RECT");
static_assert(offsetof(NUI_LOCKED_RECT, Pitch) == 0, "NUI_LOCKED_RECT::Pitch");
static_assert(offsetof(NUI_LOCKED_RECT, size) == 4, "NUI_LOCKED_RECT::size");
static_assert(offsetof(NUI_LOCKED_RECT, pBits) == 8, "NUI_LOCKED_RECT::pBits");
static_assert(sizeof(NUI_SURFACE_DESC) == 8, "NUI_SURFACE_DESC");
static_assert(sizeof(RECT) == 16, "RECT");
static_assert(sizeof(NUI_TRANSFORM_SMOOTH_PARAMETERS) == 20, "NUI_TRANSFORM_SMOOTH_PARAMETERS");
static_assert(sizeof(NUI_SKELETON_DATA) == 436 && alignof(NUI_SKELETON_DATA) == 4, "NUI_SKELETON_DATA");
static_assert(offsetof(NUI_SKELETON_DATA, eTrackingState) == 0, "NUI_SKELETON_DATA::eTrackingState");
static_assert(offsetof(NUI_SKELETON_DATA, dwTrackingID) == 4, "NUI_SKELETON_DATA::dwTrackingID");
static_assert(offsetof(NUI_SKELETON_DATA, Position) == 16, "NUI_SKELETON_DATA::Position");
static_assert(offsetof(NUI_SKELETON_DATA, SkeletonPositions) == 32, "NUI_SKELETON_DATA::SkeletonPositions");
static_assert(offsetof(NUI_SKELETON_DATA, eSkeletonPositionTrackingState) == 352,
              "NUI_SKELETON_DATA::eSkeletonPositionTrackingState");
static_assert(offsetof(NUI_SKELETON_DATA, dwQualityFlags) == 432, "NUI_SKELETON_DATA::dwQualityFlags");
static_assert(sizeof(NUI_SKELETON_FRAME) == 2664 && alignof(NUI_SKELETON_FRAME) == 8, "NUI_SKELETON_FRAME");
static_assert(offsetof(NUI_SKELETON_FRAME, dwFrameNumber) == 8, "NUI_SKELETON_FRAME::dwFrameNumber");
static_assert(offsetof(NUI_SKELETON_FRAME, dwFlags) == 12, "NUI_SKELETON_FRAME::dwFlags");
static_assert(offsetof(NUI_SKELETON_FRAME, vFloorClipPlane) == 16, "NUI_SKELETON_FRAME::vFloorClipPlane");
static_assert(offsetof(NUI_SKELETON_FRAME, vNormalToGravity) == 32, "NUI_SKELETON_FRAME::vNormalToGravity");
static_assert(offsetof(NUI_SKELETON_FRAME, SkeletonData) == 48, "NUI_SKELETON_FRAME::SkeletonData");
static_assert(sizeof(NUI_DEPTH_IMAGE_PIXEL) == 4, "NUI_DEPTH_IMAGE_PIXEL");
static_assert(sizeof(LARGE_INTEGER) == 8, "LARGE_INTEGER");
