// Skeleton tracking: enabling, the skeleton event, fetching frames.
#include "Runtime1Fixture.h"

#include <algorithm>

namespace runtime1_test {
namespace {

// The tracked skeletons of a live frame; the scene keeps someone in view.
std::vector<const NuiSkeletonData*> trackedSkeletons(const NuiSkeletonFrame& frame) {
    std::vector<const NuiSkeletonData*> tracked;
    for (const NuiSkeletonData& skeleton : frame.skeletons) {
        if (skeleton.trackingState == NuiSkeletonTracked) tracked.push_back(&skeleton);
    }
    return tracked;
}

constexpr int head = 3;
constexpr int kneeLeft = 13;
constexpr int kneeRight = 17;

NuiSkeletonFrame skeletonFrame(DWORD frameNumber, float x) {
    NuiSkeletonFrame frame{};
    frame.frameNumber = frameNumber;
    frame.floorClipPlane = NuiVector4{0.0f, 1.0f, 0.0f, 0.8f};
    NuiSkeletonData& skeleton = frame.skeletons[2];
    skeleton.trackingState = NuiSkeletonTracked;
    skeleton.trackingId = 7;
    for (int joint = 0; joint < NuiSkeletonJointCount; ++joint) {
        skeleton.jointPositions[joint] = NuiVector4{x, 0.1f * joint, 2.0f, 1.0f};
        skeleton.jointTrackingStates[joint] = NuiJointTracked;
    }
    return frame;
}

class SkeletonTest : public Runtime1Test {
protected:
    void SetUp() override {
        Runtime1Test::SetUp();
        sensor = createSensor();
    }

    SensorPtr sensor;
    Event event;
};

TEST_F(SkeletonTest, TrackingNeedsTheSkeletonFeatureAndKnownFlags) {
    ASSERT_EQ(sensor->NuiInitialize(NuiInitializeUsesDepthAndPlayerIndex), S_OK);
    EXPECT_EQ(sensor->NuiSkeletonTrackingEnable(event.get(), 0), NuiErrorFeatureNotInitialized);
    NuiSkeletonFrame frame{};
    EXPECT_EQ(sensor->NuiSkeletonGetNextFrame(0, &frame), NuiErrorFeatureNotInitialized);

    ASSERT_EQ(sensor->NuiInitialize(NuiInitializeUsesSkeleton), S_OK);
    EXPECT_EQ(sensor->NuiSkeletonGetNextFrame(0, &frame), NuiErrorStreamNotEnabled) << "not enabled yet";
    EXPECT_EQ(sensor->NuiSkeletonTrackingEnable(event.get(), 1), E_INVALIDARG);
    EXPECT_EQ(sensor->NuiSkeletonTrackingEnable(event.get(), 0), S_OK);
    EXPECT_EQ(sensor->NuiSkeletonTrackingEnable(event.get(), NuiSkeletonTrackingSeated), S_OK);
    EXPECT_EQ(sensor->NuiSkeletonTrackingDisable(), S_OK);
    EXPECT_EQ(sensor->NuiSkeletonGetNextFrame(0, &frame), NuiErrorStreamNotEnabled);
    EXPECT_EQ(sensor->NuiSkeletonGetNextFrame(0, nullptr), E_POINTER);
}

TEST_F(SkeletonTest, ScriptedFramesArriveInOrderAndTheEventFollowsThem) {
    v1::setScripted(0, true);
    ASSERT_EQ(sensor->NuiInitialize(NuiInitializeUsesSkeleton), S_OK);
    v1::queueSkeletonFrame(0, skeletonFrame(11, 0.5f));
    EXPECT_FALSE(event.signalled()) << "tracking is not on yet";
    ASSERT_EQ(sensor->NuiSkeletonTrackingEnable(event.get(), 0), S_OK);
    EXPECT_TRUE(event.signalled());
    v1::queueSkeletonFrame(0, skeletonFrame(12, 0.6f));

    NuiSkeletonFrame frame{};
    ASSERT_EQ(sensor->NuiSkeletonGetNextFrame(0, &frame), S_OK);
    EXPECT_EQ(frame.frameNumber, 11u);
    EXPECT_EQ(frame.floorClipPlane.w, 0.8f);
    EXPECT_EQ(frame.skeletons[2].trackingState, NuiSkeletonTracked);
    EXPECT_EQ(frame.skeletons[2].jointPositions[5].y, 0.5f);
    EXPECT_TRUE(event.signalled());
    ASSERT_EQ(sensor->NuiSkeletonGetNextFrame(0, &frame), S_OK);
    EXPECT_EQ(frame.frameNumber, 12u);
    EXPECT_FALSE(event.signalled());
    EXPECT_EQ(sensor->NuiSkeletonGetNextFrame(0, &frame), NuiErrorFrameNoData);

    // Frames queued while tracking is off wait for it.
    ASSERT_EQ(sensor->NuiSkeletonTrackingDisable(), S_OK);
    v1::queueSkeletonFrame(0, skeletonFrame(13, 0.7f));
    EXPECT_FALSE(event.signalled());
    ASSERT_EQ(sensor->NuiSkeletonTrackingEnable(event.get(), 0), S_OK);
    ASSERT_EQ(sensor->NuiSkeletonGetNextFrame(0, &frame), S_OK);
    EXPECT_EQ(frame.frameNumber, 13u);
}

TEST_F(SkeletonTest, LiveTrackingSignalsEveryFrameUntilDisabled) {
    ASSERT_EQ(sensor->NuiInitialize(NuiInitializeUsesSkeleton), S_OK);
    ASSERT_EQ(sensor->NuiSkeletonTrackingEnable(event.get(), NuiSkeletonTrackingSeated), S_OK);
    NuiSkeletonFrame frame{};
    DWORD previous = 0;
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(event.waitSignalled(5000));
        ASSERT_EQ(sensor->NuiSkeletonGetNextFrame(0, &frame), S_OK);
        EXPECT_GT(frame.frameNumber, previous);
        previous = frame.frameNumber;
    }
    const auto tracked = trackedSkeletons(frame);
    ASSERT_FALSE(tracked.empty());
    for (const NuiSkeletonData* person : tracked) {
        EXPECT_NE(person->jointTrackingStates[head], NuiJointNotTracked) << "the head";
        EXPECT_EQ(person->jointTrackingStates[kneeLeft], NuiJointNotTracked) << "a knee, in seated mode";
    }
    EXPECT_GT(frame.floorClipPlane.w, 0.0f);

    ASSERT_EQ(sensor->NuiSkeletonTrackingDisable(), S_OK);
    EXPECT_FALSE(event.signalled());
    EXPECT_FALSE(event.waitSignalled(200));
}

TEST_F(SkeletonTest, AWaitingFetchTakesTheNextLiveFrame) {
    ASSERT_EQ(sensor->NuiInitialize(NuiInitializeUsesSkeleton), S_OK);
    ASSERT_EQ(sensor->NuiSkeletonTrackingEnable(nullptr, 0), S_OK);
    NuiSkeletonFrame frame{};
    EXPECT_EQ(sensor->NuiSkeletonGetNextFrame(5000, &frame), S_OK);
    const auto tracked = trackedSkeletons(frame);
    ASSERT_FALSE(tracked.empty());
    EXPECT_TRUE(std::any_of(tracked.begin(), tracked.end(), [](const NuiSkeletonData* person) {
        return person->jointTrackingStates[kneeLeft] != NuiJointNotTracked ||
               person->jointTrackingStates[kneeRight] != NuiJointNotTracked;
    })) << "standing: the knees are followed";
}

}  // namespace
}  // namespace runtime1_test
