// The control face: tests, benchmarks and the demo set the sensors up here.
#include "CallJournal.h"
#include "DeviceRegistry.h"
#include "SensorDevice.h"
#include "sources/LiveScene.h"
#include "sources/VirtualSensors.h"

namespace plexa::virtual1 {

const char* operationName(Operation operation) {
    switch (operation) {
        case Operation::GetSensorCount: return "NuiGetSensorCount";
        case Operation::CreateSensorByIndex: return "NuiCreateSensorByIndex";
        case Operation::Initialize: return "NuiInitialize";
        case Operation::Shutdown: return "NuiShutdown";
        case Operation::ImageStreamOpen: return "NuiImageStreamOpen";
        case Operation::ImageStreamSetImageFrameFlags: return "NuiImageStreamSetImageFrameFlags";
        case Operation::ImageStreamGetImageFrameFlags: return "NuiImageStreamGetImageFrameFlags";
        case Operation::ImageStreamGetNextFrame: return "NuiImageStreamGetNextFrame";
        case Operation::ImageStreamReleaseFrame: return "NuiImageStreamReleaseFrame";
        case Operation::GetColorPixelCoordinates:
            return "NuiImageGetColorPixelCoordinateFrameFromDepthPixelFrameAtResolution";
        case Operation::CameraElevationSetAngle: return "NuiCameraElevationSetAngle";
        case Operation::CameraElevationGetAngle: return "NuiCameraElevationGetAngle";
        case Operation::SkeletonTrackingEnable: return "NuiSkeletonTrackingEnable";
        case Operation::SkeletonTrackingDisable: return "NuiSkeletonTrackingDisable";
        case Operation::SkeletonGetNextFrame: return "NuiSkeletonGetNextFrame";
        case Operation::TransformSmooth: return "NuiTransformSmooth";
        case Operation::Status: return "NuiStatus";
        case Operation::AccelerometerGetCurrentReading: return "NuiAccelerometerGetCurrentReading";
        case Operation::LockRect: return "LockRect";
    }
    return "unknown operation";
}

void reset() {
    // Streams end first: their unfetched scripted frames return to the queues
    // that resetSettings then empties.
    for (int index = 0; index < sensorIndexLimit; ++index) {
        for (const auto& device : devicesOf(index)) device->forgetStreams();
    }
    virtualSensors().resetSettings();
    journal().clearFailures();
    journal().clearRecords();
}

void setConnectedCount(int count) { virtualSensors().setConnectedCount(count); }

void setScripted(int sensorIndex, bool scripted) {
    if (!isSensorIndex(sensorIndex)) return;
    virtualSensors().change(sensorIndex, [&](auto& set) { set.scripted = scripted; });
    for (const auto& device : devicesOf(sensorIndex)) device->modeChanged();
}

void queueImageFrame(int sensorIndex, Stream stream, ScriptedImageFrame frame) {
    if (!isSensorIndex(sensorIndex)) return;
    virtualSensors().queueImage(sensorIndex, stream, std::move(frame));
    for (const auto& device : devicesOf(sensorIndex)) device->takeScriptedFrames();
}

void queueSkeletonFrame(int sensorIndex, const NUI_SKELETON_FRAME& frame) {
    if (!isSensorIndex(sensorIndex)) return;
    virtualSensors().queueSkeleton(sensorIndex, frame);
    for (const auto& device : devicesOf(sensorIndex)) device->takeScriptedFrames();
}

int readyFrameCount(int sensorIndex, Stream stream) {
    if (!isSensorIndex(sensorIndex)) return 0;
    for (const auto& device : devicesOf(sensorIndex)) {
        const int ready = device->readyFrameCount(stream);
        if (ready >= 0) return ready;
    }
    return 0;
}

void injectFailure(Operation operation, HRESULT code, int times, int afterCalls) {
    journal().injectFailure(operation, code, times, afterCalls);
}

void clearFailures() { journal().clearFailures(); }

void setStatus(int sensorIndex, HRESULT status) {
    if (isSensorIndex(sensorIndex)) virtualSensors().change(sensorIndex, [&](auto& set) { set.status = status; });
}

void setAccelerometer(int sensorIndex, Vector4 reading) {
    if (!isSensorIndex(sensorIndex)) return;
    virtualSensors().change(sensorIndex, [&](auto& set) { set.accelerometer = reading; });
}

void setElevation(int sensorIndex, LONG degrees) {
    if (isSensorIndex(sensorIndex)) virtualSensors().change(sensorIndex, [&](auto& set) { set.elevation = degrees; });
}

std::vector<CallRecord> callLog() { return journal().records(); }

void clearCallLog() { journal().clearRecords(); }

int framesOutstanding(int sensorIndex) {
    if (!isSensorIndex(sensorIndex)) return 0;
    int held = 0;
    for (const auto& device : devicesOf(sensorIndex)) held += device->framesOutstanding();
    return held;
}

SensorPose sensorPose(int sensorIndex) {
    if (!isSensorIndex(sensorIndex)) return SensorPose{};
    const scene::RigPose pose = virtual1::sensorPose(sensorIndex, virtualSensors().settings(sensorIndex).elevation);
    return SensorPose{pose.x, pose.z, pose.height, pose.headingDegrees, pose.tiltDegrees};
}

Vector4 roomPointOf(int sensorIndex, Vector4 cameraPoint) {
    if (!isSensorIndex(sensorIndex)) return cameraPoint;
    const scene::RigPose pose = virtual1::sensorPose(sensorIndex, virtualSensors().settings(sensorIndex).elevation);
    const scene::Vec3 room = pose.toWorld(scene::Vec3{cameraPoint.x, cameraPoint.y, cameraPoint.z});
    return Vector4{room.x, room.y, room.z, cameraPoint.w};
}

}  // namespace plexa::virtual1
