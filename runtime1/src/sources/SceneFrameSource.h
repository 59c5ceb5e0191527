// Live content filmed from the synthetic scene: the scene of kLiveSceneSeed at
// each frame's time, through a rig at the sensor's tilt. Depth with the player
// index (slot + 1) of each tracked person's pixels, color, infrared, and six
// skeleton slots of 20 joints with the floor clip plane.
#pragma once

#include "LiveFrameSource.h"
#include "LiveScene.h"

#include <memory>

namespace plexa::virtual1 {

class SceneFrameSource final : public LiveFrameSource {
public:
    explicit SceneFrameSource(int sensorIndex);

    void fillDepth(const LiveView& view, ImageSize size, bool nearMode, std::uint16_t* samples) override;
    void fillColor(const LiveView& view, ImageSize size, std::uint8_t* pixels) override;
    void fillInfrared(const LiveView& view, ImageSize size, std::uint16_t* samples) override;
    void fillSkeletons(const LiveView& view, bool seated, NUI_SKELETON_FRAME& frame) override;

private:
    // The sensor's rig, turned to the view's tilt (it redraws its room only
    // when the tilt really changed).
    scene::Rig1& rigFor(const LiveView& view);
    // The moment of the view, shared with every other sensor filming it; the
    // streams of one sensor ask for it one after the other.
    const scene::Moment& momentAt(double seconds);
    // One image of the depth camera (`samples` is the one `images` names),
    // blank at a size the rig does not film.
    void renderDepthImage(const LiveView& view, ImageSize size, const scene::DepthImages& images,
                          std::uint16_t* samples);

    scene::Rig1 rig_;
    std::shared_ptr<const scene::Moment> moment_;
};

}  // namespace plexa::virtual1
