// Where a sensor's frames and readings come from. The sensor object that the
// bridge holds (SensorDevice behind NuiSensorObject) owns its stream queues,
// events and frame leases; what it cannot answer itself it asks its source:
//
// - virtual: the synthetic scene in live mode, or a test's scripts (the
//   control face);
// - freenect: a real first-generation sensor through libfreenect;
// - replay: a depth recording or a fakenect dump folder.
//
// One source serves every sensor object of its index. Frames reach the sensor
// object that opened that stream last, two ways: a source pushes them through
// the object's receiving face (FrameReceiver), from a thread of its own; and a
// scripted frame waits with its source until the object, having room, takes it
// (takeScriptedImage), so that nothing scripted is ever dropped.
//
// Lock order: a sensor object may call its source while holding its own
// mutex; a source never calls a sensor object while holding its own.
//
// A process chooses its sources once, through a SourceSelection (below).
#pragma once

#include "FrameReceiver.h"
#include "runtime1/VirtualSensor1.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace plexa::virtual1 {

class SensorSource {
public:
    virtual ~SensorSource() = default;

    // Whether the sensor is there now; NuiInitialize fails with
    // E_NUI_NOTCONNECTED when it is not.
    virtual bool isConnected() = 0;
    // What NuiStatus returns.
    virtual HRESULT status() { return isConnected() ? S_OK : E_NUI_NOTCONNECTED; }

    // Where the time stamps of a sensor object initialised at `initializedAt`
    // count from: by default that moment.
    virtual FrameReceiver::Clock::time_point clockStart(FrameReceiver::Clock::time_point initializedAt) {
        return initializedAt;
    }

    // A sensor object was initialised (true) or shut down (false); sources
    // that keep a device awake while it is in use count these.
    virtual void sensorInUse(bool) {}

    // S_OK when a stream of this image type and resolution can be opened,
    // else the code NuiImageStreamOpen fails with.
    virtual HRESULT checkImageStream(std::int32_t imageType, std::int32_t resolution) = 0;
    // S_OK when the stream's frame flags may be set to `flags`; only the
    // virtual sensor films in near mode, and only it tracks skeletons.
    virtual HRESULT checkFrameFlags(DWORD flags) {
        return (flags & NUI_IMAGE_STREAM_FLAG_ENABLE_NEAR_MODE) != 0 ? E_NUI_HARDWARE_FEATURE_UNAVAILABLE : S_OK;
    }
    // S_OK when skeleton tracking is offered.
    virtual HRESULT checkSkeletonTracking() { return E_NUI_NOTSUPPORTED; }

    // `receiver` opened its stream of `kind` (or turned tracking on): from now
    // on frames of that kind go to it. When it ends them, the scripted frames
    // it had not fetched come back, in order.
    virtual void streamOpened(Stream kind, std::int32_t imageType, std::int32_t resolution,
                              const std::shared_ptr<FrameReceiver>& receiver) = 0;
    virtual void streamClosed(Stream kind, const FrameReceiver* receiver,
                              std::vector<ScriptedImageFrame>&& unfetched) = 0;
    virtual void trackingEnabled(const std::shared_ptr<FrameReceiver>&) {}
    virtual void trackingDisabled(const FrameReceiver*, std::vector<NUI_SKELETON_FRAME>&& /*unfetched*/) {}

    // Whether `receiver` is the one that frames of `kind` go to now.
    virtual bool feeds(Stream, const FrameReceiver*) { return true; }
    // Whether a pushed frame, filled for `receiver`, may still be handed to it
    // (the virtual sensor switched to scripted mode meanwhile: not).
    virtual bool acceptsPushedFrames(const FrameReceiver*) { return true; }

    // Scripted frames for `receiver`, taken one at a time while it has room.
    virtual bool takeScriptedImage(Stream, const FrameReceiver*, ScriptedImageFrame&) { return false; }
    virtual bool takeScriptedSkeleton(const FrameReceiver*, NUI_SKELETON_FRAME&) { return false; }
    // Ready frames that a sensor object dropped (its mode changed): the
    // scripted ones come back, in order.
    virtual void giveBackImages(Stream, std::vector<ScriptedImageFrame>&&) {}
    virtual void giveBackSkeletons(std::vector<NUI_SKELETON_FRAME>&&) {}

    // Tilt; the angle has been checked against the runtime's limits. The
    // readings below are written only when they succeed: they are the caller's.
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

// What serves the first-generation sensors of a process: how many there are,
// and the source of each (SourceList.h says how the process chooses).
class SourceSelection {
public:
    virtual ~SourceSelection() = default;
    // What NuiGetSensorCount reports.
    virtual int sensorCount() = 0;
    // The source of sensor `index`, or the code NuiCreateSensorByIndex fails
    // with (E_INVALIDARG when there is no such sensor).
    virtual HRESULT sourceFor(int index, std::shared_ptr<SensorSource>& source) = 0;
};

class NoSensorSelection final : public SourceSelection {
public:
    int sensorCount() override { return 0; }
    HRESULT sourceFor(int, std::shared_ptr<SensorSource>&) override { return E_INVALIDARG; }
};

}  // namespace plexa::virtual1
