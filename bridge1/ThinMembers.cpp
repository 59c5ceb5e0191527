// Settings and readings passed straight to the runtime's sensor. A session
// without a sensor answers with a failure and touches nothing; an out-value
// starts zeroed and stays zero when the read fails, so Java never sees what a
// failed call may have left in it.
#include "KSDK.h"

#include "StatusMap.h"

HRESULT KSDK::Nui_SetElevationAngle(LONG angle) {
    if (sensor == nullptr) return E_NUI_NOTCONNECTED;
    return sensor->NuiCameraElevationSetAngle(angle);
}

LONG KSDK::Nui_GetElevationAngle() {
    LONG angle = 0;
    if (sensor == nullptr || FAILED(sensor->NuiCameraElevationGetAngle(&angle))) return 0;
    return angle;
}

bool KSDK::Nui_SetNearMode(bool on) {
    if (sensor == nullptr) return false;
    return SUCCEEDED(
        sensor->NuiImageStreamSetImageFrameFlags(depthStream, on ? NUI_IMAGE_STREAM_FLAG_ENABLE_NEAR_MODE : 0));
}

bool KSDK::Nui_GetNearMode() {
    DWORD flags = 0;
    if (sensor == nullptr || FAILED(sensor->NuiImageStreamGetImageFrameFlags(depthStream, &flags))) return false;
    return (flags & NUI_IMAGE_STREAM_FLAG_ENABLE_NEAR_MODE) != 0;
}

bool KSDK::Nui_StartSkeletonTracking(bool seated) {
    if (sensor == nullptr) return false;
    return SUCCEEDED(sensor->NuiSkeletonTrackingEnable(skeletonEvent.get(),
                                                       seated ? NUI_SKELETON_TRACKING_FLAG_ENABLE_SEATED_SUPPORT : 0));
}

bool KSDK::Nui_StopSkeletonTracking() {
    if (sensor == nullptr) return false;
    return SUCCEEDED(sensor->NuiSkeletonTrackingDisable());
}

std::int32_t KSDK::Nui_GetStatus() {
    return plexa::bridge1::statusFromResult(sensor == nullptr ? E_NUI_NOTCONNECTED : sensor->NuiStatus());
}

bool KSDK::Nui_ReadAccelerometer(Vector4* reading) {
    if (reading == nullptr) return false;
    Vector4 read{};
    const bool readWell = sensor != nullptr && SUCCEEDED(sensor->NuiAccelerometerGetCurrentReading(&read));
    *reading = readWell ? read : Vector4{};
    return readWell;
}
