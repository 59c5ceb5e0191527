// Joint smoothing: the filter on its own, and NuiTransformSmooth giving what
// the filter gives.
#include "Runtime1Fixture.h"

#include <cmath>

namespace runtime1_test {
namespace {

constexpr int slot = 1;

NuiSkeletonFrame personAt(float x, DWORD trackingId = 5) {
    NuiSkeletonFrame frame{};
    NuiSkeletonData& skeleton = frame.skeletons[slot];
    skeleton.trackingState = NuiSkeletonTracked;
    skeleton.trackingId = trackingId;
    for (int joint = 0; joint < NuiSkeletonJointCount; ++joint) {
        skeleton.jointPositions[joint] = NuiVector4{x, 0.05f * joint, 2.0f, 1.0f};
        skeleton.jointTrackingStates[joint] = NuiJointTracked;
    }
    return frame;
}

float smoothedX(v1::SkeletonSmoothingFilter& filter, float x, int joint = 0) {
    NuiSkeletonFrame frame = personAt(x);
    filter.apply(frame, nullptr);
    return frame.skeletons[slot].jointPositions[joint].x;
}

TEST(SmoothingFilterTest, SettlesOnAStillSkeletonAfterItMoved) {
    v1::SkeletonSmoothingFilter filter;
    for (int i = 0; i < 20; ++i) smoothedX(filter, 0.02f * i);
    const float still = 0.5f;
    float error = 1.0f;
    for (int i = 0; i < 300; ++i) error = std::fabs(smoothedX(filter, still) - still);
    EXPECT_LT(error, 0.002f);
    // A skeleton that was always still is reported where it is.
    v1::SkeletonSmoothingFilter fresh;
    for (int i = 0; i < 5; ++i) EXPECT_FLOAT_EQ(smoothedX(fresh, still), still);
}

TEST(SmoothingFilterTest, TrailsAMovingSkeletonByAtMostTheDeviationBound) {
    v1::SkeletonSmoothingFilter filter;
    for (int i = 0; i < 10; ++i) smoothedX(filter, 0.0f);
    float lagSum = 0.0f;
    for (int i = 1; i <= 30; ++i) {
        const float x = 0.01f * i;
        const float smoothed = smoothedX(filter, x);
        EXPECT_LE(smoothed, x + 1e-6f) << "never ahead of a skeleton that starts moving, frame " << i;
        EXPECT_LE(x - smoothed, 0.04f + 1e-6f) << "within the default deviation bound, frame " << i;
        lagSum += x - smoothed;
    }
    EXPECT_GT(lagSum / 30, 0.003f) << "it does lag";
}

TEST(SmoothingFilterTest, LeavesUntrackedSkeletonsAndJointsAloneAndRestartsForANewPerson) {
    v1::SkeletonSmoothingFilter filter;
    for (int i = 0; i < 10; ++i) smoothedX(filter, 0.0f);

    NuiSkeletonFrame frame = personAt(0.3f);
    frame.skeletons[slot].jointTrackingStates[4] = NuiJointNotTracked;
    frame.skeletons[0].trackingState = NuiSkeletonPositionOnly;
    frame.skeletons[0].jointPositions[0] = NuiVector4{9.0f, 9.0f, 9.0f, 1.0f};
    filter.apply(frame, nullptr);
    EXPECT_EQ(frame.skeletons[slot].jointPositions[4].x, 0.3f) << "a joint that is not tracked";
    EXPECT_LT(frame.skeletons[slot].jointPositions[5].x, 0.3f) << "a tracked joint is smoothed";
    EXPECT_EQ(frame.skeletons[0].jointPositions[0].x, 9.0f) << "a skeleton that is not tracked";

    NuiSkeletonFrame someoneElse = personAt(0.8f, 6);
    filter.apply(someoneElse, nullptr);
    EXPECT_FLOAT_EQ(someoneElse.skeletons[slot].jointPositions[0].x, 0.8f) << "no history of another person";
}

TEST(SmoothingFilterTest, ParametersChangeTheResponse) {
    const NuiTransformSmoothParameters raw{0.0f, 0.0f, 0.0f, 0.0f, 1.0f};
    const NuiTransformSmoothParameters heavy{0.9f, 0.1f, 0.0f, 0.0f, 1.0f};
    v1::SkeletonSmoothingFilter rawFilter;
    v1::SkeletonSmoothingFilter heavyFilter;
    NuiSkeletonFrame a{};
    NuiSkeletonFrame b{};
    for (int i = 0; i < 5; ++i) {
        a = personAt(0.1f * i);
        b = personAt(0.1f * i);
        rawFilter.apply(a, &raw);
        heavyFilter.apply(b, &heavy);
    }
    EXPECT_NEAR(a.skeletons[slot].jointPositions[0].x, 0.4f, 1e-5f) << "no smoothing passes positions through";
    EXPECT_LT(b.skeletons[slot].jointPositions[0].x, 0.3f);
}

class TransformSmoothTest : public Runtime1Test {};

TEST_F(TransformSmoothTest, RuntimeSmoothsAsTheFilterDoesAndChecksItsArguments) {
    SensorPtr sensor = createSensor();
    v1::SkeletonSmoothingFilter filter;
    for (int i = 0; i < 15; ++i) {
        NuiSkeletonFrame byRuntime = personAt(0.03f * i);
        NuiSkeletonFrame byFilter = byRuntime;
        ASSERT_EQ(sensor->NuiTransformSmooth(&byRuntime, nullptr), S_OK);
        filter.apply(byFilter, nullptr);
        for (int joint = 0; joint < NuiSkeletonJointCount; ++joint) {
            EXPECT_EQ(byRuntime.skeletons[slot].jointPositions[joint].x, byFilter.skeletons[slot].jointPositions[joint].x);
        }
    }
    EXPECT_EQ(sensor->NuiTransformSmooth(nullptr, nullptr), E_POINTER);
    NuiSkeletonFrame frame = personAt(0.0f);
    const NuiTransformSmoothParameters tooSmooth{1.5f, 0.5f, 0.5f, 0.05f, 0.04f};
    const NuiTransformSmoothParameters negativeRadius{0.5f, 0.5f, 0.5f, -0.05f, 0.04f};
    const NuiTransformSmoothParameters notANumber{0.5f, NAN, 0.5f, 0.05f, 0.04f};
    EXPECT_EQ(sensor->NuiTransformSmooth(&frame, &tooSmooth), E_INVALIDARG);
    EXPECT_EQ(sensor->NuiTransformSmooth(&frame, &negativeRadius), E_INVALIDARG);
    EXPECT_EQ(sensor->NuiTransformSmooth(&frame, &notANumber), E_INVALIDARG);
}

}  // namespace
}  // namespace runtime1_test
