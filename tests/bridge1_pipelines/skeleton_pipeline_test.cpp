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
NUI_SKELETON_FRAME skeletonFrame(std::initializer_list<int> trackedSlots, int step) {
    NUI_SKELETON_FRAME frame{};
    frame.dwFrameNumber = static_cast<DWORD>(step);
    frame.vFloorClipPlane = {0.0f, 1.0f, 0.0f, 0.75f};
    for (int s : trackedSlots) {
        NUI_SKELETON_DATA& skeleton = frame.SkeletonData[s];
        skeleton.eTrackingState = NUI_SKELETON_TRACKED;
        for (int j = 0; j < NUI_SKELETON_POSITION_COUNT; ++j) {
            skeleton.SkeletonPositions[j] = {static_cast<float>(s) + 0.01f * j + 0.05f * step, 1.0f + 0.02f * j,
                                          2.0f + 0.1f * s, 1.0f};
            skeleton.eSkeletonPositionTrackingState[j] = static_cast<NUI_SKELETON_POSITION_TRACKING_STATE>(j % 3);
        }
    }
    return frame;
}

// What the bridge should deliver for a sequence of tracked frames: each
// smoothed by the runtime's filter, which keeps its history from frame to frame.
class ExpectedSmoothing {
public:
    NUI_SKELETON_FRAME next(NUI_SKELETON_FRAME frame) {
        filter_.apply(frame, nullptr);
        return frame;
    }

private:
    virtual1::SkeletonSmoothingFilter filter_;
};

void expectJointsAt(const std::vector<jfloat>& positions, const NUI_SKELETON_FRAME& frame, int slot) {
    for (int j = 0; j < NUI_SKELETON_POSITION_COUNT; ++j) {
        const std::size_t at = 4 + 60 * slot + 3 * j;
        EXPECT_EQ(positions[at], frame.SkeletonData[slot].SkeletonPositions[j].x) << "slot " << slot << " joint " << j;
        EXPECT_EQ(positions[at + 1], frame.SkeletonData[slot].SkeletonPositions[j].y) << "slot " << slot << " joint " << j;
        EXPECT_EQ(positions[at + 2], frame.SkeletonData[slot].SkeletonPositions[j].z) << "slot " << slot << " joint " << j;
    }
}

TEST(SkeletonPipeline, OnlySlotThreeTrackedFillsOnlyItsEntries) {
    Jvm::start();
    Session session({true, -1, -1, false});
    ASSERT_EQ(session.startResult(), 0);
    ExpectedSmoothing smoothing;
    const NUI_SKELETON_FRAME raw = skeletonFrame({3}, 0);
    const NUI_SKELETON_FRAME expected = smoothing.next(raw);
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
    for (int j = 0; j < NUI_SKELETON_POSITION_COUNT; ++j) EXPECT_EQ(states[60 + j], j % 3) << j;
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
    const NUI_SKELETON_FRAME raw = skeletonFrame({0, 5}, 0);
    const NUI_SKELETON_FRAME expected = smoothing.next(raw);
    virtual1::queueSkeletonFrame(kSensor, raw);
    ASSERT_TRUE(session.waitForSkeleton(1));
    ASSERT_EQ(session.received("skeletonFrames"), 1);
    const std::vector<jfloat> positions = session.positions(0);
    EXPECT_EQ(positions[4], expected.SkeletonData[0].SkeletonPositions[0].x);
    EXPECT_EQ(positions[5], expected.SkeletonData[0].SkeletonPositions[0].y);
    EXPECT_EQ(positions[6], expected.SkeletonData[0].SkeletonPositions[0].z);
    EXPECT_EQ(positions[361], expected.SkeletonData[5].SkeletonPositions[19].x);
    EXPECT_EQ(positions[362], expected.SkeletonData[5].SkeletonPositions[19].y);
    EXPECT_EQ(positions[363], expected.SkeletonData[5].SkeletonPositions[19].z);
    EXPECT_EQ(session.tracked(0), (std::vector<jboolean>{1, 0, 0, 0, 0, 1}));
}

TEST(SkeletonPipeline, ASlotThatLosesTrackingKeepsItsLastValues) {
    Jvm::start();
    Session session({true, -1, -1, false});
    ExpectedSmoothing smoothing;
    const NUI_SKELETON_FRAME both = skeletonFrame({1, 4}, 0);
    NUI_SKELETON_FRAME onlyFour = skeletonFrame({4}, 1);
    // Slot 1 is still seen, but only by position: that is not tracked.
    onlyFour.SkeletonData[1] = skeletonFrame({1}, 9).SkeletonData[1];
    onlyFour.SkeletonData[1].eTrackingState = NUI_SKELETON_POSITION_ONLY;
    const NUI_SKELETON_FRAME expectedBoth = smoothing.next(both);
    const NUI_SKELETON_FRAME expectedFour = smoothing.next(onlyFour);
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
    NUI_SKELETON_FRAME positionOnly = skeletonFrame({2}, 0);
    positionOnly.SkeletonData[2].eTrackingState = NUI_SKELETON_POSITION_ONLY;
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
    std::vector<NUI_SKELETON_FRAME> raw, expected;
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
        for (int j = 0; j < NUI_SKELETON_POSITION_COUNT; ++j) {
            if (positions[4 + 120 + 3 * j] != raw[step].SkeletonData[2].SkeletonPositions[j].x) differsFromRaw = true;
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
    const NUI_SKELETON_FRAME raw = skeletonFrame({1}, 3);
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
