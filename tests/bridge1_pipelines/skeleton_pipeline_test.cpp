// Skeleton frames through the bridge into a real VM: the layout of the three
// arrays, slots that stop being tracked, and the smoothing.
#include "pipeline_session.h"

#include <gtest/gtest.h>

#include <cmath>

namespace plexa::test::pipelines {
namespace {

using virtual1::Operation;

// A skeleton frame whose listed slots are tracked; joint j of slot s stands at
// (s + 0.01j + step x 0.05, 1 + 0.02j, 2 + 0.1s), so it walks along x with `step`.
NuiSkeletonFrame skeletonFrame(std::initializer_list<int> trackedSlots, int step) {
    NuiSkeletonFrame frame{};
    frame.frameNumber = static_cast<DWORD>(step);
    frame.floorClipPlane = {0.0f, 1.0f, 0.0f, 0.75f};
    for (int s : trackedSlots) {
        NuiSkeletonData& skeleton = frame.skeletons[s];
        skeleton.trackingState = NuiSkeletonTracked;
        for (int j = 0; j < NuiSkeletonJointCount; ++j) {
            skeleton.jointPositions[j] = {static_cast<float>(s) + 0.01f * j + 0.05f * step, 1.0f + 0.02f * j,
                                          2.0f + 0.1f * s, 1.0f};
            skeleton.jointTrackingStates[j] = j % 3;
        }
    }
    return frame;
}

// What the bridge should deliver for a sequence of tracked frames: each
// smoothed by the runtime's filter, which keeps its history from frame to frame.
class ExpectedSmoothing {
public:
    NuiSkeletonFrame next(NuiSkeletonFrame frame) {
        filter_.apply(frame, nullptr);
        return frame;
    }

private:
    virtual1::SkeletonSmoothingFilter filter_;
};

void expectJointsAt(const std::vector<jfloat>& positions, const NuiSkeletonFrame& frame, int slot) {
    for (int j = 0; j < NuiSkeletonJointCount; ++j) {
        const std::size_t at = 4 + 60 * slot + 3 * j;
        EXPECT_EQ(positions[at], frame.skeletons[slot].jointPositions[j].x) << "slot " << slot << " joint " << j;
        EXPECT_EQ(positions[at + 1], frame.skeletons[slot].jointPositions[j].y) << "slot " << slot << " joint " << j;
        EXPECT_EQ(positions[at + 2], frame.skeletons[slot].jointPositions[j].z) << "slot " << slot << " joint " << j;
    }
}

TEST(SkeletonPipeline, OnlySlotThreeTrackedFillsOnlyItsEntries) {
    Jvm::start();
    Session session({true, -1, -1, false});
    ASSERT_EQ(session.startResult(), 0);
    ExpectedSmoothing smoothing;
    const NuiSkeletonFrame raw = skeletonFrame({3}, 0);
    const NuiSkeletonFrame expected = smoothing.next(raw);
    virtual1::queueSkeletonFrame(kSensor, raw);
    ASSERT_TRUE(session.waitForSkeleton(1));
    ASSERT_EQ(session.received("skeletonFrames"), 1);

    EXPECT_EQ(session.tracked(0), (std::vector<jboolean>{0, 0, 0, 1, 0, 0}));
    const std::vector<jfloat> positions = session.positions(0);
    ASSERT_EQ(positions.size(), 364u);
    EXPECT_EQ(positions[0], 0.0f);
    EXPECT_EQ(positions[1], 1.0f);
    EXPECT_EQ(positions[2], 0.0f);
    EXPECT_EQ(positions[3], 0.75f);
    expectJointsAt(positions, expected, 3);
    const std::vector<jbyte> states = session.states(0);
    ASSERT_EQ(states.size(), 120u);
    for (int j = 0; j < NuiSkeletonJointCount; ++j) EXPECT_EQ(states[60 + j], j % 3) << j;
    // Slots never tracked in this session hold zeros.
    for (std::size_t i = 4; i < positions.size(); ++i) {
        if (i >= 184 && i <= 243) continue;
        ASSERT_EQ(positions[i], 0.0f) << i;
    }
    for (std::size_t i = 0; i < states.size(); ++i) {
        if (i >= 60 && i < 80) continue;
        ASSERT_EQ(states[i], 0) << i;
    }
}

TEST(SkeletonPipeline, FirstJointOfSlotZeroAndLastJointOfSlotFiveBoundThePositions) {
    Jvm::start();
    Session session({true, -1, -1, false});
    ExpectedSmoothing smoothing;
    const NuiSkeletonFrame raw = skeletonFrame({0, 5}, 0);
    const NuiSkeletonFrame expected = smoothing.next(raw);
    virtual1::queueSkeletonFrame(kSensor, raw);
    ASSERT_TRUE(session.waitForSkeleton(1));
    ASSERT_EQ(session.received("skeletonFrames"), 1);
    const std::vector<jfloat> positions = session.positions(0);
    EXPECT_EQ(positions[4], expected.skeletons[0].jointPositions[0].x);
    EXPECT_EQ(positions[5], expected.skeletons[0].jointPositions[0].y);
    EXPECT_EQ(positions[6], expected.skeletons[0].jointPositions[0].z);
    EXPECT_EQ(positions[361], expected.skeletons[5].jointPositions[19].x);
    EXPECT_EQ(positions[362], expected.skeletons[5].jointPositions[19].y);
    EXPECT_EQ(positions[363], expected.skeletons[5].jointPositions[19].z);
    EXPECT_EQ(session.tracked(0), (std::vector<jboolean>{1, 0, 0, 0, 0, 1}));
}

TEST(SkeletonPipeline, ASlotThatLosesTrackingKeepsItsLastValues) {
    Jvm::start();
    Session session({true, -1, -1, false});
    ExpectedSmoothing smoothing;
    const NuiSkeletonFrame both = skeletonFrame({1, 4}, 0);
    NuiSkeletonFrame onlyFour = skeletonFrame({4}, 1);
    // Slot 1 is still seen, but only by position: that is not tracked.
    onlyFour.skeletons[1] = skeletonFrame({1}, 9).skeletons[1];
    onlyFour.skeletons[1].trackingState = NuiSkeletonPositionOnly;
    const NuiSkeletonFrame expectedBoth = smoothing.next(both);
    const NuiSkeletonFrame expectedFour = smoothing.next(onlyFour);
    virtual1::queueSkeletonFrame(kSensor, both);
    virtual1::queueSkeletonFrame(kSensor, onlyFour);
    ASSERT_TRUE(session.waitForSkeleton(2));
    ASSERT_EQ(session.received("skeletonFrames"), 2);

    EXPECT_EQ(session.tracked(1), (std::vector<jboolean>{0, 0, 0, 0, 1, 0}));
    const std::vector<jfloat> positions = session.positions(1);
    expectJointsAt(positions, expectedBoth, 1);  // from the first frame
    expectJointsAt(positions, expectedFour, 4);
    EXPECT_EQ(session.states(1), session.states(0));
}

TEST(SkeletonPipeline, FramesWithoutATrackedSkeletonAreCountedButNotSmoothedOrDelivered) {
    Jvm::start();
    Session session({true, -1, -1, false});
    NuiSkeletonFrame positionOnly = skeletonFrame({2}, 0);
    positionOnly.skeletons[2].trackingState = NuiSkeletonPositionOnly;
    virtual1::queueSkeletonFrame(kSensor, skeletonFrame({}, 0));
    virtual1::queueSkeletonFrame(kSensor, positionOnly);
    ASSERT_TRUE(session.waitForSkeleton(2));
    EXPECT_EQ(loggedCalls(Operation::TransformSmooth), 0);
    EXPECT_EQ(session.received("skeletonFrames"), 0);
    // A tracked frame after them is smoothed and delivered.
    virtual1::queueSkeletonFrame(kSensor, skeletonFrame({0}, 0));
    ASSERT_TRUE(session.waitForSkeleton(3));
    EXPECT_EQ(loggedCalls(Operation::TransformSmooth), 1);
    EXPECT_EQ(session.received("skeletonFrames"), 1);
}

TEST(SkeletonPipeline, DeliveredPositionsAreTheSmoothedOnes) {
    Jvm::start();
    Session session({true, -1, -1, false});
    ExpectedSmoothing smoothing;
    constexpr int kSteps = 6;
    std::vector<NuiSkeletonFrame> raw, expected;
    for (int step = 0; step < kSteps; ++step) {
        raw.push_back(skeletonFrame({2}, step));
        expected.push_back(smoothing.next(raw.back()));
        virtual1::queueSkeletonFrame(kSensor, raw.back());
        ASSERT_TRUE(session.waitForSkeleton(step + 1));
    }
    ASSERT_EQ(session.received("skeletonFrames"), kSteps);
    bool differsFromRaw = false;
    for (int step = 0; step < kSteps; ++step) {
        SCOPED_TRACE(step);
        const std::vector<jfloat> positions = session.positions(step);
        expectJointsAt(positions, expected[step], 2);
        for (int j = 0; j < NuiSkeletonJointCount; ++j) {
            if (positions[4 + 120 + 3 * j] != raw[step].skeletons[2].jointPositions[j].x) differsFromRaw = true;
        }
    }
    EXPECT_TRUE(differsFromRaw) << "a walking skeleton came through unsmoothed";
    // The smoothing asks for the runtime's defaults.
    for (const virtual1::CallRecord& call : virtual1::callLog()) {
        if (call.operation == Operation::TransformSmooth) {
            ASSERT_GE(call.arguments.size(), 2u);
            EXPECT_EQ(call.arguments[1], 0);
        }
    }
}

TEST(SkeletonPipeline, AFailedSmoothingDeliversTheRawPositions) {
    Jvm::start();
    Session session({true, -1, -1, false});
    const NuiSkeletonFrame raw = skeletonFrame({1}, 3);
    virtual1::injectFailure(Operation::TransformSmooth, E_FAIL, 1);
    virtual1::queueSkeletonFrame(kSensor, raw);
    ASSERT_TRUE(session.waitForSkeleton(1));
    ASSERT_EQ(session.received("skeletonFrames"), 1);
    expectJointsAt(session.positions(0), raw, 1);
}

TEST(SkeletonPipeline, AFailedFetchDeliversNothingAndIsNotCounted) {
    Jvm::start();
    Session session({true, -1, -1, false});
    virtual1::injectFailure(Operation::SkeletonGetNextFrame, E_FAIL, 1);
    virtual1::queueSkeletonFrame(kSensor, skeletonFrame({0}, 0));
    ASSERT_TRUE(session.waitForSkeleton(1));
    session.stop();
    EXPECT_EQ(loggedCalls(Operation::SkeletonGetNextFrame, false), 1);
    EXPECT_EQ(loggedCalls(Operation::SkeletonGetNextFrame, true), 1);
    EXPECT_EQ(session.skeletonCount(), 1);
    EXPECT_EQ(session.received("skeletonFrames"), 1);
}

TEST(SkeletonPipelineWithoutCallback, TrackedFramesAreCountedAndJavaIsNotCalled) {
    Jvm::start(JvmOptions{{variantJar("pipelines_no_skeleton_callback"), fixturesJar()}, {}});
    Session session({true, -1, -1, false});
    EXPECT_EQ(session.startException(), "java.lang.NoSuchMethodError");
    virtual1::queueSkeletonFrame(kSensor, skeletonFrame({0}, 0));
    virtual1::queueSkeletonFrame(kSensor, skeletonFrame({0}, 1));
    ASSERT_TRUE(session.waitForSkeleton(2));
    EXPECT_EQ(session.received("skeletonFrames"), 0);
}

}  // namespace
}  // namespace plexa::test::pipelines
