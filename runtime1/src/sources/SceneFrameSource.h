// Live content filmed from the synthetic scene: the scene of kLiveSceneSeed at
// each frame's time, through a rig at the sensor's tilt. Depth with the player
// index (slot + 1) of each tracked person's pixels, color, infrared, and six
// skeleton slots of 20 joints with the floor clip plane.
#pragma once

#include "FrameReceiver.h"
#include "LiveScene.h"

#include <cstdint>
#include <memory>

namespace plexa::virtual1 {

// Where and when a frame is taken.
struct LiveView {
    double seconds;         // scene time: the frame's time stamp, on the clock every virtual sensor shares
    LONG elevationDegrees;  // the sensor head's tilt, positive looking up
};

// Called on the filming source's thread only, one call at a time.
class SceneFrameSource {
public:
    explicit SceneFrameSource(int sensorIndex);

    // The slot's image, packed rows, top row first: depth in millimetres
    // shifted left by 3 with the player index (0: nobody) in the low 3 bits;
    // color as blue, green, red and an unused byte; infrared as 16-bit
    // intensity. Blank at a size the rig does not film; false for an image
    // type the sensor has not.
    bool fillImage(const LiveView& view, const ImageSlot& slot);
    // Skeleton slots, floor clip plane and normal to gravity; the sensor sets
    // the time stamp and frame number. In seated mode the lower body is not tracked.
    void fillSkeletons(const LiveView& view, bool seated, NUI_SKELETON_FRAME& frame);

private:
    // The sensor's rig, turned to the view's tilt (it redraws its room only
    // when the tilt really changed).
    scene::Rig1& rigFor(const LiveView& view);
    // The moment of the view, shared with every other sensor filming it; the
    // streams of one sensor ask for it one after the other.
    const scene::Moment& momentAt(double seconds);

    scene::Rig1 rig_;
    std::shared_ptr<const scene::Moment> moment_;
};

}  // namespace plexa::virtual1
