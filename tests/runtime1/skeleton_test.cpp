// Skeleton tracking: enabling, the skeleton event, fetching frames.
#include "Runtime1Fixture.h"

#include <algorithm>

namespace runtime1_test {
namespace {

// The tracked skeletons of a live frame; the scene keeps someone in view.
std::vector<const NUI_SKELETON_DATA*> trackedSkeletons(const NUI_SKELETON_FRAME& frame) {
    std::vector<const NUI_SKELETON_DATA*> tracked;
    for (const NUI_SKELETON_DATA& skeleton : frame.SkeletonData) {
        if (skeleton.eTrackingState == NUI_SKELETON_TRACKED) tracked.push_back(&skeleton);
    }
    return tracked;
}

constexpr int head = 3;
constexpr int kneeLeft = 13;
constexpr int kneeRight = 17;

NUI_SKELETON_FRAME skeletonFrame(DWORD frameNumber, float x) {
    NUI_SKELETON_FRAME frame{};
    frame.dwFrameNumber = frameNumber;
    frame.vFloorClipPlane = Vector4{0.0f, 1.0f, 0.0f, 0.8f};
    NUI_SKELETON_DATA& skeleton = frame.SkeletonData[2];
    skeleton.eTrackingState = NUI_SKELETON_TRACKED;
    skeleton.dwTrackingID = 7;
    for (int joint = 0; joint < NUI_SKELETON_POSITION_COUNT; ++joint) {
        skeleton.SkeletonPositions[joint] = Vector4{x, 0.1f * joint, 2.0f, 1.0f};
        skeleton.eSkeletonPositionTrackingState[joint] = NUI_SKELETON_POSITION_TRACKED;
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
    ASSERT_EQ(sensor->NuiInitialize(NUI_INITIALIZE_FLAG_USES_DEPTH_AND_PLAYER_INDEX), S_OK);
    EXPECT_EQ(sensor->NuiSkeletonTrackingEnable(event.get(), 0), E_NUI_FEATURE_NOT_INITIALIZED);
    NUI_SKELETON_FRAME frame{};
    EXPECT_EQ(sensor->NuiSkeletonGetNextFrame(0, &frame), E_NUI_FEATURE_NOT_INITIALIZED);

    ASSERT_EQ(sensor->NuiInitialize(NUI_INITIALIZE_FLAG_USES_SKELETON), S_OK);
    EXPECT_EQ(sensor->NuiSkeletonGetNextFrame(0, &frame), E_NUI_STREAM_NOT_ENABLED) << "not enabled yet";
    EXPECT_EQ(sensor->NuiSkeletonTrackingEnable(event.get(), 1), E_INVALIDARG);
    EXPECT_EQ(sensor->NuiSkeletonTrackingEnable(event.get(), 0), S_OK);
    EXPECT_EQ(sensor->NuiSkeletonTrackingEnable(event.get(), NUI_SKELETON_TRACKING_FLAG_ENABLE_SEATED_SUPPORT), S_OK);
    EXPECT_EQ(sensor->NuiSkeletonTrackingDisable(), S_OK);
    EXPECT_EQ(sensor->NuiSkeletonGetNextFrame(0, &frame), E_NUI_STREAM_NOT_ENABLED);
    EXPECT_EQ(sensor->NuiSkeletonGetNextFrame(0, nullptr), E_POINTER);
}

TEST_F(SkeletonTest, ScriptedFramesArriveInOrderAndTheEventFollowsThem) {
    v1::setScripted(0, true);
    ASSERT_EQ(sensor->NuiInitialize(NUI_INITIALIZE_FLAG_USES_SKELETON), S_OK);
    v1::queueSkeletonFrame(0, skeletonFrame(11, 0.5f));
    EXPECT_FALSE(event.signalled()) << "tracking is not on yet";
    ASSERT_EQ(sensor->NuiSkeletonTrackingEnable(event.get(), 0), S_OK);
    EXPECT_TRUE(event.signalled());
    v1::queueSkeletonFrame(0, skeletonFrame(12, 0.6f));

    NUI_SKELETON_FRAME frame{};
    ASSERT_EQ(sensor->NuiSkeletonGetNextFrame(0, &frame), S_OK);
    EXPECT_EQ(frame.dwFrameNumber, 11u);
    EXPECT_EQ(frame.vFloorClipPlane.w, 0.8f);
    EXPECT_EQ(frame.SkeletonData[2].eTrackingState, NUI_SKELETON_TRACKED);
    EXPECT_EQ(frame.SkeletonData[2].SkeletonPositions[5].y, 0.5f);
    EXPECT_TRUE(event.signalled());
    ASSERT_EQ(sensor->NuiSkeletonGetNextFrame(0, &frame), S_OK);
    EXPECT_EQ(frame.dwFrameNumber, 12u);
    EXPECT_FALSE(event.signalled());
    EXPECT_EQ(sensor->NuiSkeletonGetNextFrame(0, &frame), E_NUI_FRAME_NO_DATA);

    // Frames queued while tracking is off wait for it.
    ASSERT_EQ(sensor->NuiSkeletonTrackingDisable(), S_OK);
    v1::queueSkeletonFrame(0, skeletonFrame(13, 0.7f));
    EXPECT_FALSE(event.signalled());
    ASSERT_EQ(sensor->NuiSkeletonTrackingEnable(event.get(), 0), S_OK);
    ASSERT_EQ(sensor->NuiSkeletonGetNextFrame(0, &frame), S_OK);
    EXPECT_EQ(frame.dwFrameNumber, 13u);
}

TEST_F(SkeletonTest, LiveTrackingSignalsEveryFrameUntilDisabled) {
    ASSERT_EQ(sensor->NuiInitialize(NUI_INITIALIZE_FLAG_USES_SKELETON), S_OK);
    ASSERT_EQ(sensor->NuiSkeletonTrackingEnable(event.get(), NUI_SKELETON_TRACKING_FLAG_ENABLE_SEATED_SUPPORT), S_OK);
    NUI_SKELETON_FRAME frame{};
    DWORD previous = 0;
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(event.waitSignalled(5000));
        ASSERT_EQ(sensor->NuiSkeletonGetNextFrame(0, &frame), S_OK);
        EXPECT_GT(frame.dwFrameNumber, previous);
        previous = frame.dwFrameNumber;
    }
    const auto tracked = trackedSkeletons(frame);
    ASSERT_FALSE(tracked.empty());
    for (const NUI_SKELETON_DATA* person : tracked) {
        EXPECT_NE(person->eSkeletonPositionTrackingState[head], NUI_SKELETON_POSITION_NOT_TRACKED) << "the head";
        EXPECT_EQ(person->eSkeletonPositionTrackingState[kneeLeft], NUI_SKELETON_POSITION_NOT_TRACKED) << "a knee, in seated mode";
    }
    EXPECT_GT(frame.vFloorClipPlane.w, 0.0f);

    ASSERT_EQ(sensor->NuiSkeletonTrackingDisable(), S_OK);
    EXPECT_FALSE(event.signalled());
    EXPECT_FALSE(event.waitSignalled(200));
}

TEST_F(SkeletonTest, AWaitingFetchTakesTheNextLiveFrame) {
    ASSERT_EQ(sensor->NuiInitialize(NUI_INITIALIZE_FLAG_USES_SKELETON), S_OK);
    ASSERT_EQ(sensor->NuiSkeletonTrackingEnable(nullptr, 0), S_OK);
    NUI_SKELETON_FRAME frame{};
    EXPECT_EQ(sensor->NuiSkeletonGetNextFrame(5000, &frame), S_OK);
    const auto tracked = trackedSkeletons(frame);
    ASSERT_FALSE(tracked.empty());
    EXPECT_TRUE(std::any_of(tracked.begin(), tracked.end(), [](const NUI_SKELETON_DATA* person) {
        return person->eSkeletonPositionTrackingState[kneeLeft] != NUI_SKELETON_POSITION_NOT_TRACKED ||
               person->eSkeletonPositionTrackingState[kneeRight] != NUI_SKELETON_POSITION_NOT_TRACKED;
    })) << "standing: the knees are followed";
}

}  // namespace
}  // namespace runtime1_test
