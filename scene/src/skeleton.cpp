#include "skeleton.h"

#include <algorithm>

namespace plexa::scene {

namespace {

using J = Joint;

// Rest pose of a 1.75 m person in the body frame: x to the person's right,
// y up, z forward; arms hanging, feet flat.
constexpr float kReferenceHeight = 1.75f;

Vec3 restPosition(int joint) {
    static const std::array<Vec3, kJointCount> rest = [] {
        std::array<Vec3, kJointCount> r{};
        auto set = [&r](J j, float x, float y, float z) { r[index(j)] = {x, y, z}; };
        set(J::SpineBase, 0, 0.96f, -0.02f);
        set(J::SpineMid, 0, 1.20f, -0.03f);
        set(J::SpineShoulder, 0, 1.43f, -0.02f);
        set(J::Neck, 0, 1.52f, -0.01f);
        set(J::Head, 0, 1.63f, 0.0f);
        set(J::ShoulderRight, 0.19f, 1.41f, -0.03f);
        set(J::ElbowRight, 0.22f, 1.12f, -0.05f);
        set(J::WristRight, 0.24f, 0.88f, -0.02f);
        set(J::HandRight, 0.245f, 0.81f, -0.01f);
        set(J::HandTipRight, 0.25f, 0.72f, 0.0f);
        set(J::ThumbRight, 0.22f, 0.80f, 0.04f);
        set(J::HipRight, 0.09f, 0.91f, -0.02f);
        set(J::KneeRight, 0.10f, 0.50f, 0.0f);
        set(J::AnkleRight, 0.10f, 0.08f, -0.03f);
        set(J::FootRight, 0.10f, 0.045f, 0.11f);
        const J rightSide[] = {J::ShoulderRight, J::ElbowRight, J::WristRight, J::HandRight, J::HandTipRight,
                               J::ThumbRight, J::HipRight, J::KneeRight, J::AnkleRight, J::FootRight};
        const J leftSide[] = {J::ShoulderLeft, J::ElbowLeft, J::WristLeft, J::HandLeft, J::HandTipLeft,
                              J::ThumbLeft, J::HipLeft, J::KneeLeft, J::AnkleLeft, J::FootLeft};
        for (int i = 0; i < 10; ++i) {
            Vec3 p = r[index(rightSide[i])];
            r[index(leftSide[i])] = {-p.x, p.y, p.z};
        }
        return r;
    }();
    return rest[joint];
}

// Parents come before children in this order.
constexpr std::array<J, kJointCount> kOrder = {
    J::SpineBase, J::SpineMid, J::SpineShoulder, J::Neck, J::Head,
    J::ShoulderLeft, J::ElbowLeft, J::WristLeft, J::HandLeft, J::HandTipLeft, J::ThumbLeft,
    J::ShoulderRight, J::ElbowRight, J::WristRight, J::HandRight, J::HandTipRight, J::ThumbRight,
    J::HipLeft, J::KneeLeft, J::AnkleLeft, J::FootLeft,
    J::HipRight, J::KneeRight, J::AnkleRight, J::FootRight,
};

constexpr float kClearance = 0.008f;  // lowest point of the shoes above the floor

Quat aboutX(float degrees) { return axisAngle({1, 0, 0}, radians(degrees)); }
Quat aboutY(float degrees) { return axisAngle({0, 1, 0}, radians(degrees)); }
Quat aboutZ(float degrees) { return axisAngle({0, 0, 1}, radians(degrees)); }

// Local rotation of the bone that ends at each joint, relative to its parent bone.
std::array<Quat, kJointCount> boneRotations(const Motion& m) {
    std::array<Quat, kJointCount> r{};
    float s = std::sin(m.gaitPhase);
    float hipLeft = 24.0f * m.walk * s;    // degrees forward
    float hipRight = -hipLeft;
    // The knee bends most while its leg swings through.
    auto kneeBend = [&](float phase) { return m.walk * (6.0f + 34.0f * std::max(0.0f, std::sin(phase + 0.6f))); };
    float kneeLeft = kneeBend(m.gaitPhase);
    float kneeRight = kneeBend(m.gaitPhase + kPi);

    r[index(J::SpineBase)] = aboutX(4.0f * m.walk);  // lean into the walk
    r[index(J::SpineShoulder)] = aboutY(6.0f * m.walk * s);  // shoulders counter the hips

    r[index(J::KneeLeft)] = aboutX(-hipLeft);
    r[index(J::AnkleLeft)] = aboutX(kneeLeft);
    r[index(J::FootLeft)] = aboutX(hipLeft - kneeLeft);
    r[index(J::KneeRight)] = aboutX(-hipRight);
    r[index(J::AnkleRight)] = aboutX(kneeRight);
    r[index(J::FootRight)] = aboutX(hipRight - kneeRight);

    float elbowBend = 10.0f + 18.0f * m.walk;
    r[index(J::ElbowLeft)] = aboutX(0.7f * hipRight);
    r[index(J::WristLeft)] = aboutX(-elbowBend);
    Quat swingRight = aboutX(0.7f * hipLeft);
    Quat forearmRight = aboutX(-elbowBend);
    // Waving: upper arm out to the side, forearm up, rocking about the elbow.
    Quat raised = aboutZ(80.0f);
    Quat waving = aboutZ(72.0f + 24.0f * std::sin(m.wavePhase));
    r[index(J::ElbowRight)] = nlerp(swingRight, raised, m.wave);
    r[index(J::WristRight)] = nlerp(forearmRight, waving, m.wave);
    return r;
}

}  // namespace

const std::array<int, kJointCount> kJointParent = [] {
    std::array<int, kJointCount> p{};
    auto set = [&p](J child, int parent) { p[index(child)] = parent; };
    set(J::SpineBase, -1);
    set(J::SpineMid, index(J::SpineBase));
    set(J::SpineShoulder, index(J::SpineMid));
    set(J::Neck, index(J::SpineShoulder));
    set(J::Head, index(J::Neck));
    for (bool left : {true, false}) {
        const auto [shoulder, elbow, wrist, hand, tip, thumb, hip, knee, ankle, foot] = sideJoints(left);
        set(shoulder, index(J::SpineShoulder));
        set(elbow, index(shoulder));
        set(wrist, index(elbow));
        set(hand, index(wrist));
        set(tip, index(hand));
        set(thumb, index(hand));
        set(hip, index(J::SpineBase));
        set(knee, index(hip));
        set(ankle, index(knee));
        set(foot, index(ankle));
    }
    return p;
}();

float jointRadius(Joint joint, float height) {
    float s = height / kReferenceHeight;
    switch (joint) {
        case J::Head: return 0.11f * s;
        case J::Neck: return 0.055f * s;
        case J::SpineBase: case J::SpineMid: case J::SpineShoulder: return 0.12f * s;
        case J::ShoulderLeft: case J::ShoulderRight: return 0.06f * s;
        case J::ElbowLeft: case J::ElbowRight: return 0.045f * s;
        case J::WristLeft: case J::WristRight: return 0.036f * s;
        case J::HandLeft: case J::HandRight: case J::HandTipLeft: case J::HandTipRight: return 0.032f * s;
        case J::ThumbLeft: case J::ThumbRight: return 0.016f * s;
        case J::HipLeft: case J::HipRight: return 0.075f * s;
        case J::KneeLeft: case J::KneeRight: return 0.065f * s;
        case J::AnkleLeft: case J::AnkleRight: return 0.045f * s;
        case J::FootLeft: case J::FootRight: return 0.037f * s;
    }
    return 0.05f * s;
}

void poseBody(const Motion& motion, Vec3 ground, float yaw, float height, Person& person) {
    const float s = height / kReferenceHeight;
    const auto local = boneRotations(motion);
    const Quat facing = axisAngle({0, 1, 0}, yaw);

    std::array<Quat, kJointCount> absolute{};
    std::array<Vec3, kJointCount> body{};  // positions in the body frame, before facing
    for (J j : kOrder) {
        int i = index(j);
        int parent = kJointParent[i];
        if (parent < 0) {
            absolute[i] = local[i];
            body[i] = restPosition(i) * s;
            continue;
        }
        absolute[i] = absolute[parent] * local[i];
        body[i] = body[parent] + rotate(absolute[i], (restPosition(i) - restPosition(parent)) * s);
    }

    // Stand on the lower foot, whatever the legs are doing.
    float lowest = 1e9f;
    for (J j : {J::AnkleLeft, J::FootLeft, J::AnkleRight, J::FootRight}) {
        lowest = std::min(lowest, body[index(j)].y - jointRadius(j, height));
    }
    const Vec3 lift{0, kClearance - lowest, 0};
    const Vec3 origin{ground.x, 0, ground.z};

    for (int i = 0; i < kJointCount; ++i) {
        person.joints[i] = origin + rotate(facing, body[i] + lift);
        Quat bone = absolute[i];
        int parent = kJointParent[i];
        if (parent >= 0) {
            // The joint's y axis runs along its bone in the rest pose too.
            bone = bone * rotationBetween({0, 1, 0}, normalized(restPosition(i) - restPosition(parent)));
        }
        person.orientations[i] = normalized(facing * bone);
    }
    person.height = height;
}

}  // namespace plexa::scene
