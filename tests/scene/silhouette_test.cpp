// What the depth camera sees of people agrees with what the tracker reports:
// person-index pixels are exactly where the depth differs from the empty room,
// tracked joints lie on their person's silhouette, inferred ones are hidden.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "frames.h"

namespace plexa::scene {
namespace {

using testing::DepthFrame;

struct Coverage {
    int trackedFrames = 0, untrackedPersonFrames = 0, inferredJoints = 0, outOfViewJoints = 0, trackedJoints = 0;
};

// Checks one frame of one depth camera against the empty room and the body frame.
template <class Project>
void checkFrame(const DepthFrame& empty, const DepthFrame& frame, const BodyFrame& bodies, const Snapshot& snapshot,
                Project project, Coverage& coverage, const std::string& where) {
    bool someoneUntracked = false;
    for (int p = 0; p < snapshot.personCount; ++p) {
        if (bodies.bodies[snapshot.people[p].slot].tracked) ++coverage.trackedFrames;
        else { someoneUntracked = true; ++coverage.untrackedPersonFrames; }
    }
    // Silhouettes: labelled pixels differ from the room; differing pixels are labelled
    // unless they belong to someone the tracker does not track.
    int labelled = 0, unlabelledChanges = 0;
    for (size_t i = 0; i < frame.depthMm.size(); ++i) {
        const bool changed = frame.depthMm[i] != empty.depthMm[i];
        const std::uint8_t label = frame.personIndex[i];
        if (label != kNoPerson) {
            ++labelled;
            ASSERT_TRUE(changed) << where << ": pixel " << i << " labelled " << int(label) << " shows the room";
            ASSERT_LT(label, kBodySlots);
            ASSERT_TRUE(bodies.bodies[label].tracked) << where;
            const unsigned player = frame.depthWithPlayer[i] & 7u;
            ASSERT_EQ(player, label + 1u);
        } else {
            ASSERT_EQ(frame.depthWithPlayer[i] & 7u, 0u);
            if (changed) ++unlabelledChanges;
        }
        ASSERT_EQ(frame.depthWithPlayer[i] >> 3, frame.depthMm[i]);
    }
    if (!someoneUntracked) {
        EXPECT_EQ(unlabelledChanges, 0) << where;
    }

    for (int slot = 0; slot < kBodySlots; ++slot) {
        const Body& body = bodies.bodies[slot];
        if (!body.tracked) {
            for (const BodyJoint& j : body.joints) ASSERT_EQ(j.state, TrackingState::NotTracked);
            continue;
        }
        for (int j = 0; j < kJointCount; ++j) {
            const BodyJoint& joint = body.joints[j];
            const ImagePoint at = project(joint.position);
            const int col = static_cast<int>(std::lround(at.x)), row = static_cast<int>(std::lround(at.y));
            const bool inView = frame.inside(col, row);
            auto nearby = [&](auto&& test) {
                for (int dr = -2; dr <= 2; ++dr)
                    for (int dc = -2; dc <= 2; ++dc)
                        if (frame.inside(col + dc, row + dr) && test(frame.at(col + dc, row + dr))) return true;
                return false;
            };
            const std::string what = where + " slot " + std::to_string(slot) + " joint " + std::to_string(j);
            switch (joint.state) {
                case TrackingState::Tracked:
                    ++coverage.trackedJoints;
                    ASSERT_TRUE(inView) << what;
                    // On its own silhouette, and seen there: not far behind the surface the pixel shows.
                    ASSERT_TRUE(nearby([&](int i) {
                        return frame.personIndex[i] == slot && frame.depthMm[i] > joint.position.z * 1000.0f - 250.0f;
                    })) << what << " is tracked but not in sight";
                    break;
                case TrackingState::Inferred:
                    ++coverage.inferredJoints;
                    ASSERT_TRUE(nearby([](int) { return true; })) << what;
                    // Something stands in front of it: furniture, another person, or the body itself.
                    ASSERT_TRUE(nearby([&](int i) {
                        return frame.depthMm[i] != 0 && frame.depthMm[i] < joint.position.z * 1000.0f - 20.0f;
                    })) << what << " is inferred but in plain view";
                    break;
                case TrackingState::NotTracked:
                    ++coverage.outOfViewJoints;
                    ASSERT_FALSE(frame.inside(col, row) && col > 1 && row > 1 && col < frame.width - 2 && row < frame.height - 2)
                        << what << " is in view but not tracked";
                    break;
            }
        }
    }
    for (int slot = 0; slot < kBodySlots; ++slot) {
        if (bodies.bodies[slot].tracked) {
            EXPECT_GT(labelled, 0) << where;
        }
    }
}

TEST(SceneSilhouettes, FirstGenerationDepthPlayersAndSkeletonsAgree) {
    Scene scene(3);
    Coverage coverage;
    for (auto resolution : {Rig1::Resolution::R320x240, Rig1::Resolution::R640x480}) {
        for (float tilt : {0.0f, -8.0f}) {
            Rig1 rig(0.9f, tilt);
            const DepthFrame empty = testing::renderDepth(rig, Snapshot{}, resolution);
            for (double t : testing::sampleTimes(12, 4.9)) {
                const Snapshot s = scene.at(t);
                const DepthFrame frame = testing::renderDepth(rig, s, resolution);
                checkFrame(empty, frame, rig.bodies(s), s, [&](Vec3 p) { return Rig1::projectToDepth(resolution, p); },
                           coverage, "rig1 t=" + std::to_string(t) + " tilt " + std::to_string(tilt));
                if (::testing::Test::HasFatalFailure()) return;
            }
        }
    }
    // The sample saw people tracked and not, and joints in all three states.
    EXPECT_GT(coverage.trackedFrames, 20);
    EXPECT_GT(coverage.untrackedPersonFrames, 5);
    EXPECT_GT(coverage.inferredJoints, 20);
    EXPECT_GT(coverage.outOfViewJoints, 5);
}

TEST(SceneSilhouettes, SecondGenerationBodyIndexAndBodiesAgree) {
    Scene scene(8);
    Rig2 rig;
    Coverage coverage;
    const DepthFrame empty = testing::renderDepth(rig, Snapshot{});
    for (double t : testing::sampleTimes(24, 2.3)) {
        const Snapshot s = scene.at(t);
        const DepthFrame frame = testing::renderDepth(rig, s);
        checkFrame(empty, frame, rig.bodies(s), s, [&](Vec3 p) { return rig.projectToDepth(p); }, coverage,
                   "rig2 t=" + std::to_string(t));
        if (::testing::Test::HasFatalFailure()) return;
    }
    EXPECT_GT(coverage.trackedFrames, 15);
    EXPECT_GT(coverage.untrackedPersonFrames, 3);
    EXPECT_GT(coverage.inferredJoints, 10);
}

TEST(SceneSilhouettes, TrackedBodiesCarryTheFloorAndBoneAlignedOrientations) {
    Scene scene(21);
    Rig2 rig;
    int checked = 0;
    for (double t : testing::sampleTimes(10)) {
        const BodyFrame frame = rig.bodies(scene.at(t));
        const Vec4 floor = rig.floorClipPlane();
        EXPECT_EQ(std::memcmp(&frame.floorClipPlane, &floor, sizeof floor), 0);
        for (const Body& body : frame.bodies) {
            if (!body.tracked) continue;
            // The forearm's joint orientation points its y axis from elbow to wrist.
            const BodyJoint& elbow = body[Joint::ElbowLeft];
            const BodyJoint& wrist = body[Joint::WristLeft];
            const Quat q = wrist.orientation;
            const Vec3 yAxis{2 * (q.x * q.y - q.w * q.z), 1 - 2 * (q.x * q.x + q.z * q.z), 2 * (q.y * q.z + q.w * q.x)};
            Vec3 bone{wrist.position.x - elbow.position.x, wrist.position.y - elbow.position.y, wrist.position.z - elbow.position.z};
            const float len = std::sqrt(bone.x * bone.x + bone.y * bone.y + bone.z * bone.z);
            EXPECT_NEAR((yAxis.x * bone.x + yAxis.y * bone.y + yAxis.z * bone.z) / len, 1.0f, 1e-3f);
            // Feet are near the floor plane, the head well above it.
            auto height = [&](Vec3 p) { return floor.x * p.x + floor.y * p.y + floor.z * p.z + floor.w; };
            EXPECT_LT(height(body[Joint::FootRight].position), 0.15f);
            EXPECT_GT(height(body[Joint::Head].position), 1.3f);
            ++checked;
        }
    }
    EXPECT_GT(checked, 5);
}

}  // namespace
}  // namespace plexa::scene
