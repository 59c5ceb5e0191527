// Where a sensor stands in the room and where it looks, and the rigid motion
// between its depth camera's space and the room's (world) space.
#pragma once

#include "plexa/scene/types.h"

namespace plexa::scene {

// x and z place the sensor on the floor plan, height is its depth camera's
// height above the floor (metres). Heading turns it about the vertical
// (degrees: 0 looks along +z, 90 along +x); tilt pitches it up (degrees).
struct RigPose {
    float x = 0, z = 0;
    float height = 0.9f;
    float headingDegrees = 0;
    float tiltDegrees = 0;

    // A point of the depth camera's space (x right, y up, z forward, as a depth
    // frame's XYZ gives it) in the room, and a room point in the camera's space.
    Vec3 toWorld(Vec3 camera) const;
    Vec3 toCamera(Vec3 world) const;
};

// The heading and tilt with which a sensor at (x, height, z) looks at `target`
// (the tilt unclamped; a rig clamps it to its motor's range).
RigPose poseLookingAt(float x, float z, float height, Vec3 target);

}  // namespace plexa::scene
