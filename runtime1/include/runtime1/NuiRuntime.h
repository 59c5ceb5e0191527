// The first-generation sensor runtime as the bridge sees it: two exported
// functions, the sensor interface and the frame texture, and the records they
// fill. Any runtime that offers these operations with these results can stand
// behind the bridge; ours is the virtual sensor in libKinect10.
#pragma once

#include "plexa/platform.h"

#include <cstdint>

#if defined(_WIN32)
#define NUI_RUNTIME_API __declspec(dllimport)
#elif defined(PLEXA_RUNTIME1_BUILD)
#define NUI_RUNTIME_API __attribute__((visibility("default")))
#else
#define NUI_RUNTIME_API
#endif

// Image types of NuiImageStreamOpen.
constexpr std::int32_t NuiImageTypeDepthAndPlayerIndex = 0;
constexpr std::int32_t NuiImageTypeColor = 1;
constexpr std::int32_t NuiImageTypeInfrared = 5;

// Resolution codes.
constexpr std::int32_t NuiResolutionNone = -1;
constexpr std::int32_t NuiResolution80x60 = 0;
constexpr std::int32_t NuiResolution320x240 = 1;
constexpr std::int32_t NuiResolution640x480 = 2;
constexpr std::int32_t NuiResolution1280x960 = 3;

// NuiInitialize flags.
constexpr DWORD NuiInitializeUsesDepthAndPlayerIndex = 0x1;
constexpr DWORD NuiInitializeUsesColor = 0x2;
constexpr DWORD NuiInitializeUsesSkeleton = 0x8;

// NuiSkeletonTrackingEnable flags.
constexpr DWORD NuiSkeletonTrackingSeated = 0x4;

// Image frame flags of the depth stream.
constexpr DWORD NuiImageFrameFlagNearMode = 0x20000;

// Result codes. Failures are negative.
constexpr HRESULT NuiResultInitializing = 0x03010001;  // success: the sensor is still initialising
constexpr HRESULT NuiErrorFrameNoData = static_cast<HRESULT>(0x83010001u);  // no frame ready
constexpr HRESULT NuiErrorStreamNotEnabled = static_cast<HRESULT>(0x83010002u);
constexpr HRESULT NuiErrorImageStreamInUse = static_cast<HRESULT>(0x83010003u);
constexpr HRESULT NuiErrorFrameLimitExceeded = static_cast<HRESULT>(0x83010004u);
constexpr HRESULT NuiErrorFeatureNotInitialized = static_cast<HRESULT>(0x83010005u);
constexpr HRESULT NuiErrorDeviceNotGenuine = static_cast<HRESULT>(0x83010006u);
constexpr HRESULT NuiErrorInsufficientBandwidth = static_cast<HRESULT>(0x83010007u);
constexpr HRESULT NuiErrorNotSupported = static_cast<HRESULT>(0x83010008u);
constexpr HRESULT NuiErrorDeviceInUse = static_cast<HRESULT>(0x83010009u);
constexpr HRESULT NuiErrorDatabaseNotFound = static_cast<HRESULT>(0x8301000Du);
constexpr HRESULT NuiErrorDatabaseVersionMismatch = static_cast<HRESULT>(0x8301000Eu);
constexpr HRESULT NuiErrorHardwareFeatureUnavailable = static_cast<HRESULT>(0x8301000Fu);
constexpr HRESULT NuiErrorNotConnected = static_cast<HRESULT>(0x83010014u);
constexpr HRESULT NuiErrorNotReady = static_cast<HRESULT>(0x83010015u);
constexpr HRESULT NuiErrorSkeletalEngineBusy = static_cast<HRESULT>(0x830100AAu);
constexpr HRESULT NuiErrorNotPowered = static_cast<HRESULT>(0x8301027Fu);
constexpr HRESULT NuiErrorBadIndex = static_cast<HRESULT>(0x83010585u);

// Skeleton and joint tracking states.
constexpr std::int32_t NuiSkeletonNotTracked = 0;
constexpr std::int32_t NuiSkeletonPositionOnly = 1;
constexpr std::int32_t NuiSkeletonTracked = 2;
constexpr std::int32_t NuiJointNotTracked = 0;
constexpr std::int32_t NuiJointInferred = 1;
constexpr std::int32_t NuiJointTracked = 2;

constexpr int NuiSkeletonCount = 6;
constexpr int NuiSkeletonJointCount = 20;

struct NuiVector4 {
    float x, y, z, w;
};

// What LockRect gives: bytes per row (0 when the texture is empty), total
// size in bytes, and the first byte.
struct NuiLockedRect {
    std::int32_t pitch;
    std::int32_t size;
    BYTE* bits;
};

struct INuiFrameTexture {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT LockRect(UINT level, NuiLockedRect* lockedRect, void* rect, DWORD flags) = 0;
    virtual HRESULT UnlockRect(UINT level) = 0;

protected:
    ~INuiFrameTexture() = default;
};

struct NuiImageFrame {
    INT64 timeStamp;
    DWORD frameNumber;
    std::int32_t imageType;
    std::int32_t resolution;
    INuiFrameTexture* frameTexture;
    DWORD frameFlags;
};

struct NuiSkeletonData {
    std::int32_t trackingState;
    DWORD trackingId;
    DWORD enrollmentIndex;
    DWORD userIndex;
    NuiVector4 position;
    NuiVector4 jointPositions[NuiSkeletonJointCount];
    std::int32_t jointTrackingStates[NuiSkeletonJointCount];
    DWORD qualityFlags;
};

struct NuiSkeletonFrame {
    INT64 timeStamp;
    DWORD frameNumber;
    DWORD flags;
    NuiVector4 floorClipPlane;
    NuiVector4 normalToGravity;
    NuiSkeletonData skeletons[NuiSkeletonCount];
};

struct NuiTransformSmoothParameters {
    float smoothing;
    float correction;
    float prediction;
    float jitterRadius;
    float maxDeviationRadius;
};

struct INuiSensor {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

    virtual HRESULT NuiInitialize(DWORD flags) = 0;
    virtual void NuiShutdown() = 0;

    virtual HRESULT NuiImageStreamOpen(std::int32_t imageType, std::int32_t resolution, DWORD frameFlags,
                                       DWORD frameLimit, HANDLE nextFrameEvent, HANDLE* stream) = 0;
    virtual HRESULT NuiImageStreamSetImageFrameFlags(HANDLE stream, DWORD frameFlags) = 0;
    virtual HRESULT NuiImageStreamGetImageFrameFlags(HANDLE stream, DWORD* frameFlags) = 0;
    virtual HRESULT NuiImageStreamGetNextFrame(HANDLE stream, DWORD millisecondsToWait, NuiImageFrame* frame) = 0;
    virtual HRESULT NuiImageStreamReleaseFrame(HANDLE stream, NuiImageFrame* frame) = 0;
    // Color-image pixel (column, row) of each depth pixel, two LONGs per pixel.
    virtual HRESULT NuiImageGetColorPixelCoordinateFrameFromDepthPixelFrameAtResolution(
        std::int32_t colorResolution, std::int32_t depthResolution, DWORD depthValueCount, USHORT* depthValues,
        DWORD colorCoordinateCount, LONG* colorCoordinates) = 0;

    virtual HRESULT NuiCameraElevationSetAngle(LONG degrees) = 0;
    virtual HRESULT NuiCameraElevationGetAngle(LONG* degrees) = 0;

    virtual HRESULT NuiSkeletonTrackingEnable(HANDLE nextFrameEvent, DWORD flags) = 0;
    virtual HRESULT NuiSkeletonTrackingDisable() = 0;
    virtual HRESULT NuiSkeletonGetNextFrame(DWORD millisecondsToWait, NuiSkeletonFrame* frame) = 0;
    // Smooths the tracked skeletons' joint positions in place; null parameters mean the defaults.
    virtual HRESULT NuiTransformSmooth(NuiSkeletonFrame* frame, const NuiTransformSmoothParameters* parameters) = 0;

    virtual HRESULT NuiStatus() = 0;
    virtual HRESULT NuiAccelerometerGetCurrentReading(NuiVector4* reading) = 0;

protected:
    ~INuiSensor() = default;
};

extern "C" {
// Exported by name here; by ordinal (5 and 6) where the runtime is a system library.
NUI_RUNTIME_API HRESULT NuiGetSensorCount(int* count);
NUI_RUNTIME_API HRESULT NuiCreateSensorByIndex(int index, INuiSensor** sensor);
}
