// The 25-joint skeleton, its 20-joint first-generation subset, and the body
// records a rig reports for its depth camera.
#pragma once

#include <array>
#include <cstdint>

#include "plexa/scene/types.h"

namespace plexa::scene {

enum class Joint : std::uint8_t {
    SpineBase = 0, SpineMid = 1, Neck = 2, Head = 3,
    ShoulderLeft = 4, ElbowLeft = 5, WristLeft = 6, HandLeft = 7,
    ShoulderRight = 8, ElbowRight = 9, WristRight = 10, HandRight = 11,
    HipLeft = 12, KneeLeft = 13, AnkleLeft = 14, FootLeft = 15,
    HipRight = 16, KneeRight = 17, AnkleRight = 18, FootRight = 19,
    SpineShoulder = 20, HandTipLeft = 21, ThumbLeft = 22, HandTipRight = 23, ThumbRight = 24,
};
constexpr int kJointCount = 25;

// The first generation's joint order: its spine joints have names of their
// own; its limbs, ShoulderLeft (4) to FootRight (19), keep Joint's numbers.
enum class FirstGenerationJoint : std::uint8_t { HipCenter = 0, Spine = 1, ShoulderCenter = 2, Head = 3 };
constexpr int kFirstGenerationJointCount = 20;

// Entry i is the 25-joint source of first-generation joint i.
constexpr std::array<Joint, kFirstGenerationJointCount> kFirstGenerationJoints = {
    Joint::SpineBase, Joint::SpineMid, Joint::SpineShoulder, Joint::Head,
    Joint::ShoulderLeft, Joint::ElbowLeft, Joint::WristLeft, Joint::HandLeft,
    Joint::ShoulderRight, Joint::ElbowRight, Joint::WristRight, Joint::HandRight,
    Joint::HipLeft, Joint::KneeLeft, Joint::AnkleLeft, Joint::FootLeft,
    Joint::HipRight, Joint::KneeRight, Joint::AnkleRight, Joint::FootRight,
};

constexpr int index(Joint joint) { return static_cast<int>(joint); }

enum class TrackingState : std::uint8_t { NotTracked = 0, Inferred = 1, Tracked = 2 };

constexpr int kBodySlots = 6;
// Person index of a pixel that shows no tracked person.
constexpr std::uint8_t kNoPerson = 255;

struct BodyJoint {
    Vec3 position;            // camera space of the rig's depth camera, metres
    Quat orientation;         // its y axis runs along the bone that ends at this joint
    TrackingState state = TrackingState::NotTracked;
};

struct Body {
    bool tracked = false;
    std::array<BodyJoint, kJointCount> joints{};
    const BodyJoint& operator[](Joint joint) const { return joints[index(joint)]; }
};

// What a rig's body tracker sees in one frame. A person keeps one slot for the
// life of the scene; slots of people not tracked in this frame are all zero.
struct BodyFrame {
    Vec4 floorClipPlane;      // normal (x, y, z) up, w the sensor's height: n.p + w = 0 on the floor
    std::array<Body, kBodySlots> bodies{};
};

}  // namespace plexa::scene
