// The scene is a pure function of seed and time: equal inputs give equal
// frames, time moves the people smoothly, and a person keeps its body slot.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>

#include "frames.h"
#include "plexa/scene/joints.h"

namespace plexa::scene {
namespace {

using testing::distance;
using testing::sameBodies;

using testing::ColorFrame;
using testing::DepthFrame;

struct AllStreams {
    DepthFrame depth1{640, 480};
    ColorFrame color1{640, 480};
    DepthFrame depth2{Rig2::kDepthWidth, Rig2::kDepthHeight};
    ColorFrame color2{Rig2::kColorWidth, Rig2::kColorHeight};
    BodyFrame bodies1, bodies2;

    void film(Rig1& one, Rig2& two, const Snapshot& s) {
        one.renderDepth(s, Rig1::Resolution::R640x480, depth1.images());
        one.renderColor(s, Rig1::Resolution::R640x480, color1.bgra.data());
        two.renderDepth(s, depth2.images());
        two.renderColor(s, color2.bgra.data());
        bodies1 = one.bodies(s);
        bodies2 = two.bodies(s);
    }
    bool operator==(const AllStreams& o) const {
        return depth1.depthMm == o.depth1.depthMm && depth1.personIndex == o.depth1.personIndex &&
               depth1.depthWithPlayer == o.depth1.depthWithPlayer && depth1.infrared == o.depth1.infrared &&
               color1.bgra == o.color1.bgra && depth2.depthMm == o.depth2.depthMm &&
               depth2.personIndex == o.depth2.personIndex && depth2.infrared == o.depth2.infrared &&
               depth2.longInfrared == o.depth2.longInfrared && color2.bgra == o.color2.bgra &&
               sameBodies(bodies1, o.bodies1) && sameBodies(bodies2, o.bodies2);
    }
};

TEST(SceneDeterminism, SameSeedAndTimeGiveIdenticalFramesWhateverCameBefore) {
    // Two independent worlds, and one of them filming other moments first.
    Scene first(42), second(42);
    Rig1 rig1a, rig1b;
    Rig2 rig2a, rig2b;
    AllStreams a, b, scratch;
    a.film(rig1a, rig2a, first.at(7.3));
    scratch.film(rig1b, rig2b, second.at(7.3 + 1.0 / 30));
    b.film(rig1b, rig2b, second.at(7.3));
    EXPECT_TRUE(a == b);
    // A different moment gives a different picture.
    scratch.film(rig1b, rig2b, second.at(7.8));
    EXPECT_FALSE(a == scratch);
}

TEST(SceneDeterminism, TimesThatAreNotNumbersCountAsZero) {
    Scene scene(5);
    const Snapshot zero = scene.at(0.0);
    for (double t : {std::nan(""), double(INFINITY), -double(INFINITY)}) {
        const Snapshot s = scene.at(t);
        ASSERT_EQ(s.personCount, zero.personCount);
        for (int p = 0; p < s.personCount; ++p)
            EXPECT_EQ(std::memcmp(s.people[p].joints.data(), zero.people[p].joints.data(), sizeof(Vec3) * kJointCount), 0);
    }
}

TEST(SceneCast, SeedsChooseDifferentPeopleEachWithDistinctLookAndSlot) {
    std::set<std::pair<int, int>> slotPairs;
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
        const Snapshot s = Scene(seed).at(3.0);
        ASSERT_EQ(s.personCount, 2);
        const Person &a = s.people[0], &b = s.people[1];
        EXPECT_NE(a.slot, b.slot);
        EXPECT_TRUE(a.slot >= 0 && a.slot < kBodySlots && b.slot >= 0 && b.slot < kBodySlots);
        const bool sameShirt = a.look.shirt.r == b.look.shirt.r && a.look.shirt.g == b.look.shirt.g && a.look.shirt.b == b.look.shirt.b;
        EXPECT_FALSE(sameShirt) << "seed " << seed;
        EXPECT_GT(a.height, 1.5f);
        EXPECT_LT(a.height, 1.95f);
        slotPairs.insert({a.slot, b.slot});
    }
    EXPECT_GT(slotPairs.size(), 10u);
}

TEST(SceneMotion, PeopleMoveSmoothlyKeepTheirSlotsAndTheirBones) {
    // Two minutes at 30 frames per second, across every turn, stop and wave of the choreography.
    Scene scene(11);
    const Snapshot start = scene.at(0.0);
    std::array<std::array<float, kJointCount>, kMaxPeople> boneLength{};
    for (int p = 0; p < start.personCount; ++p)
        for (int j = 1; j < kJointCount; ++j) boneLength[p][j] = -1;

    Snapshot previous = start;
    float fastest = 0, farthestWalk = 0;
    for (int frame = 1; frame <= 30 * 120; ++frame) {
        const Snapshot now = scene.at(frame / 30.0);
        for (int p = 0; p < now.personCount; ++p) {
            const Person &a = previous.people[p], &b = now.people[p];
            ASSERT_EQ(b.slot, start.people[p].slot);
            for (int j = 0; j < kJointCount; ++j) fastest = std::max(fastest, distance(a.joints[j], b.joints[j]));
            farthestWalk = std::max(farthestWalk, distance(b.joints[0], start.people[p].joints[0]));
            // Bones are rigid: each keeps the length it had in the first frame.
            const std::pair<Joint, Joint> bones[] = {{Joint::SpineBase, Joint::SpineMid}, {Joint::ShoulderLeft, Joint::ElbowLeft},
                                                     {Joint::ElbowRight, Joint::WristRight}, {Joint::HipRight, Joint::KneeRight},
                                                     {Joint::KneeLeft, Joint::AnkleLeft}, {Joint::Neck, Joint::Head}};
            for (auto [from, to] : bones) {
                const float len = distance(b.joints[index(from)], b.joints[index(to)]);
                const float first = distance(start.people[p].joints[index(from)], start.people[p].joints[index(to)]);
                ASSERT_NEAR(len, first, 1e-4f) << "bone " << index(from) << "-" << index(to) << " at frame " << frame;
            }
            // Standing on the floor, never in it.
            float lowest = 1e9f;
            for (const Vec3& j : b.joints) lowest = std::min(lowest, j.y);
            ASSERT_GT(lowest, 0.02f);
            ASSERT_LT(lowest, 0.12f) << "floating at frame " << frame;
        }
        previous = now;
    }
    // The waving hand is the fastest part, a few metres a second; nothing jumps.
    EXPECT_LT(fastest, 0.25f);
    EXPECT_GT(fastest, 0.05f);
    EXPECT_GT(farthestWalk, 1.0f);
}

}  // namespace
}  // namespace plexa::scene
