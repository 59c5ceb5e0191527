// The articulated body: rest proportions, forward kinematics, and the blend of
// walking and waving that the choreography asks for.
#pragma once

#include <array>

#include "math.h"
#include "plexa/scene/scene.h"

namespace plexa::scene {

// The joints of one side of the body, for what treats both sides alike.
struct SideJoints {
    Joint shoulder, elbow, wrist, hand, tip, thumb, hip, knee, ankle, foot;
};
constexpr SideJoints sideJoints(bool left) {
    using J = Joint;
    return left ? SideJoints{J::ShoulderLeft, J::ElbowLeft, J::WristLeft, J::HandLeft, J::HandTipLeft,
                             J::ThumbLeft,    J::HipLeft,   J::KneeLeft,  J::AnkleLeft, J::FootLeft}
                : SideJoints{J::ShoulderRight, J::ElbowRight, J::WristRight, J::HandRight, J::HandTipRight,
                             J::ThumbRight,    J::HipRight,   J::KneeRight,  J::AnkleRight, J::FootRight};
}

// How a body moves at one instant (all in the body's own frame).
struct Motion {
    float walk = 0;        // 0 standing .. 1 full stride
    float gaitPhase = 0;   // radians; the left leg is forward at pi/2
    float wave = 0;        // 0 .. 1 weight of the raised, waving right arm
    float wavePhase = 0;   // radians
};

// The parent of each joint (-1 for the root, SpineBase).
extern const std::array<int, kJointCount> kJointParent;

// Capsule radius around each joint, for a 1.75 m person; the body's shape and
// the tracker's notion of "near the joint" both use it.
float jointRadius(Joint joint, float height);

// Poses a body standing on the floor at `ground` (x, z; y ignored), facing
// `yaw` radians from +z towards +x, and writes joints and orientations into person.
void poseBody(const Motion& motion, Vec3 ground, float yaw, float height, Person& person);

}  // namespace plexa::scene
