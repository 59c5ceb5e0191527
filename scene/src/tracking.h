// The body tracker of a rig: which people it tracks and how well it sees each joint.
#pragma once

#include <array>

#include "body_shape.h"
#include "camera.h"
#include "plexa/scene/joints.h"
#include "plexa/scene/scene.h"

namespace plexa::scene {

struct TrackerSetup {
    Lens lens;              // the depth camera's
    Placement placement;    // the depth camera's
    float nearLimit = 0.5f;
    float farLimit = 4.5f;  // people farther than this are not tracked
};

struct TrackedScene {
    std::array<BodyShape, kMaxPeople> shapes{};   // in depth camera space, labelled by tracked slot
    int count = 0;
    BodyFrame frame;
};

// Shapes every person of the snapshot in the depth camera and decides what the
// tracker reports: joints outside the view are not tracked, joints hidden by
// something (furniture, another person, the body itself) are inferred, and a
// person with too little of the body in view is not tracked at all.
void trackPeople(const Snapshot& snapshot, const TrackerSetup& setup, TrackedScene& out);

Vec4 floorClipPlaneOf(const Placement& placement);

}  // namespace plexa::scene
