// Where a sensor's frames and readings come from. The sensor object that the
// bridge holds (SensorDevice behind NuiSensorObject) owns its stream queues,
// events and frame leases; what it cannot answer itself it asks its source:
//
// - virtual: the synthetic scene in live mode, or a test's scripts (the
//   control face's process state);
// - freenect: a real first-generation sensor through libfreenect;
// - replay: a depth recording or a fakenect dump folder.
//
// One source serves every sensor object of its index. A source that pushes
// frames (freenect, replay) hands them to the sensor object that opened that
// stream last, through SensorDevice::deliverFrame.
//
// Lock order: a sensor object may call its source while holding its own
// mutex; a source never calls a sensor object while holding its own.
#pragma once

#include "runtime1/VirtualSensor1.h"

#include <cstdint>
#include <memory>

namespace plexa::virtual1 {

class SensorDevice;

class SensorSource {
public:
    virtual ~SensorSource() = default;

    // The virtual sensor: the live producer and the control face's scripts
    // feed it, and the sensor object does that work itself.
    virtual bool isVirtual() const { return false; }

    // Whether the sensor is there now; NuiInitialize fails with
    // E_NUI_NOTCONNECTED when it is not.
    virtual bool isConnected() = 0;
    // What NuiStatus returns.
    virtual HRESULT status() = 0;

    // A sensor object was initialised or shut down; sources that keep a
    // device awake while it is in use count these.
    virtual void sensorInitialized(const SensorDevice*) {}
    virtual void sensorShutDown(const SensorDevice*) {}

    // S_OK when a stream of this image type and resolution can be opened,
    // else the code NuiImageStreamOpen fails with.
    virtual HRESULT checkImageStream(std::int32_t imageType, std::int32_t resolution) = 0;
    // S_OK when the stream's frame flags may be set to `flags` (near mode).
    virtual HRESULT checkFrameFlags(DWORD flags) = 0;
    // S_OK when skeleton tracking is offered.
    virtual HRESULT checkSkeletonTracking() = 0;

    // `receiver` opened (or ended) its stream of `kind`; from now on frames
    // of that kind go to it (or to nobody). Only sources that push frames act.
    virtual void streamOpened(Stream, std::int32_t /*imageType*/, std::int32_t /*resolution*/,
                              const std::shared_ptr<SensorDevice>& /*receiver*/) {}
    virtual void streamClosed(Stream, const SensorDevice* /*receiver*/) {}

    // Tilt; the angle has been checked against the runtime's limits.
    virtual HRESULT setElevation(LONG degrees) = 0;
    virtual HRESULT elevation(LONG& degrees) = 0;
    // The accelerometer now, in g, with the runtime's axes: (0, -1, 0) when level.
    virtual HRESULT accelerometer(Vector4& reading) = 0;

    // The color-image pixel (column, row) of every depth pixel, for a color
    // image of `colorResolution`; both codes are known and the buffers hold
    // the whole depth image. False leaves it to the two-camera model that the
    // virtual sensor films with.
    virtual bool mapDepthToColor(std::int32_t /*depthResolution*/, std::int32_t /*colorResolution*/,
                                 const USHORT* /*samples*/, LONG* /*colorCoordinates*/) {
        return false;
    }
};

}  // namespace plexa::virtual1
