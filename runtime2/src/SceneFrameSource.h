// Live content filmed from the synthetic scene: the scene of kLiveSceneSeed
// at each frame's time, rendered through a rig at the sensor's pose. Depth in
// millimetres, body index (slot 0..5, 255 for nobody), infrared and
// long-exposure infrared at 512 x 424; color as the camera's raw YUY2 at
// 1920 x 1080; six body slots of 25 joints with the floor clip plane.
#pragma once

#include "LiveFrameSource.h"
#include "LiveScene.h"

namespace plexa::virtual2 {

class SceneFrameSource final : public LiveFrameSource {
public:
    SceneFrameSource();

    void render(TIMESPAN time, DWORD sources, LiveFrame& frame) override;

private:
    void renderDepthImages(const scene::Snapshot& snapshot, DWORD sources, LiveFrame& frame);
    void renderColor(const scene::Snapshot& snapshot, LiveFrame& frame);
    void renderBodies(const scene::Snapshot& snapshot, LiveFrame& frame) const;

    const scene::Scene scene_;
    scene::Rig2 rig_;  // its own: rendering fills the rig's caches
};

}  // namespace plexa::virtual2
