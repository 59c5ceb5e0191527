// Live content filmed from the synthetic scene: the scene of kLiveSceneSeed at
// each frame's time, through a rig at the sensor's tilt. Depth with the player
// index (slot + 1) of each tracked person's pixels, color, infrared, and six
// skeleton slots of 20 joints with the floor clip plane.
#pragma once

#include "LiveFrameSource.h"
#include "LiveScene.h"

#include <map>
#include <optional>

namespace plexa::virtual1 {

class SceneFrameSource final : public LiveFrameSource {
public:
    SceneFrameSource();

    void fillDepth(const LiveView& view, ImageSize size, bool nearMode, std::uint16_t* samples) override;
    void fillColor(const LiveView& view, ImageSize size, std::uint8_t* pixels) override;
    void fillInfrared(const LiveView& view, ImageSize size, std::uint16_t* samples) override;
    void fillSkeletons(const LiveView& view, bool seated, NUI_SKELETON_FRAME& frame) override;

private:
    // The rig of the view's sensor, turned to its tilt. Each sensor index has
    // its own, so sensors at different tilts do not redraw each other's room.
    scene::Rig1& rigFor(const LiveView& view);
    const scene::Snapshot& snapshotAt(double seconds);

    const scene::Scene scene_;
    std::map<int, scene::Rig1> rigs_;
    // The streams of one sensor ask for the same moment one after the other.
    scene::Snapshot snapshot_;
    std::optional<double> snapshotSeconds_;
};

}  // namespace plexa::virtual1
