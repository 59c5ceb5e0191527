// What live mode films: the scene of kLiveSceneSeed at each frame's time,
// rendered through a rig at the sensor's pose. The runtime asks it for live
// frames and for the sources a scripted frame leaves out.
#pragma once

#include "LiveScene.h"
#include "runtime2/VirtualSensor2.h"

namespace plexa::virtual2 {

// One moment of every source, at the sensor's own sizes: depth in
// millimetres, body index (slot 0..5, 255 for nobody), infrared and
// long-exposure infrared at 512 x 424; color as the camera's raw YUY2 at
// 1920 x 1080; six body slots of 25 joints with the floor clip plane.
struct LiveFrame {
    ScriptedColorImage color;
    ScriptedShortImage depth;
    ScriptedBodyIndexImage bodyIndex;
    ScriptedBodies bodies;
    ScriptedShortImage infrared;
    ScriptedShortImage longExposureInfrared;
};

class SceneFrameSource final {
public:
    SceneFrameSource();

    // Fills the members of `frame` whose FrameSourceTypes bit is set in
    // `sources` with the scene at `time` (100 ns ticks since the runtime
    // started); the other members are left alone. The same time gives the
    // same content. Calls come from one thread at a time, though not always
    // the same thread. Joints are in camera space, consistent with the camera
    // model of CameraModel.h.
    void render(TIMESPAN time, DWORD sources, LiveFrame& frame);

private:
    void renderDepthImages(const scene::Snapshot& snapshot, DWORD sources, LiveFrame& frame);
    void renderColor(const scene::Snapshot& snapshot, LiveFrame& frame);
    void renderBodies(const scene::Snapshot& snapshot, LiveFrame& frame) const;

    const scene::Scene scene_;
    scene::Rig2 rig_;  // its own: rendering fills the rig's caches
};

}  // namespace plexa::virtual2
