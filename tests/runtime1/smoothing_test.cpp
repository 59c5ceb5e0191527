// Joint smoothing: the filter on its own, and NuiTransformSmooth giving what
// the filter gives.
#include "Runtime1Fixture.h"

#include <cmath>

namespace runtime1_test {
namespace {

constexpr int slot = 1;

NUI_SKELETON_FRAME personAt(float x, DWORD trackingId = 5) {
    NUI_SKELETON_FRAME frame{};
    NUI_SKELETON_DATA& skeleton = frame.SkeletonData[slot];
    skeleton.eTrackingState = NUI_SKELETON_TRACKED;
    skeleton.dwTrackingID = trackingId;
    for (int joint = 0; joint < NUI_SKELETON_POSITION_COUNT; ++joint) {
        skeleton.SkeletonPositions[joint] = Vector4{x, 0.05f * joint, 2.0f, 1.0f};
        skeleton.eSkeletonPositionTrackingState[joint] = NUI_SKELETON_POSITION_TRACKED;
    }
    return frame;
}

float smoothedX(v1::SkeletonSmoothingFilter& filter, float x, int joint = 0) {
    NUI_SKELETON_FRAME frame = personAt(x);
    filter.apply(frame, nullptr);
    return frame.SkeletonData[slot].SkeletonPositions[joint].x;
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

    NUI_SKELETON_FRAME frame = personAt(0.3f);
    frame.SkeletonData[slot].eSkeletonPositionTrackingState[4] = NUI_SKELETON_POSITION_NOT_TRACKED;
    frame.SkeletonData[0].eTrackingState = NUI_SKELETON_POSITION_ONLY;
    frame.SkeletonData[0].SkeletonPositions[0] = Vector4{9.0f, 9.0f, 9.0f, 1.0f};
    filter.apply(frame, nullptr);
    EXPECT_EQ(frame.SkeletonData[slot].SkeletonPositions[4].x, 0.3f) << "a joint that is not tracked";
    EXPECT_LT(frame.SkeletonData[slot].SkeletonPositions[5].x, 0.3f) << "a tracked joint is smoothed";
    EXPECT_EQ(frame.SkeletonData[0].SkeletonPositions[0].x, 9.0f) << "a skeleton that is not tracked";

    NUI_SKELETON_FRAME someoneElse = personAt(0.8f, 6);
    filter.apply(someoneElse, nullptr);
    EXPECT_FLOAT_EQ(someoneElse.SkeletonData[slot].SkeletonPositions[0].x, 0.8f) << "no history of another person";
}

TEST(SmoothingFilterTest, ParametersChangeTheResponse) {
    const NUI_TRANSFORM_SMOOTH_PARAMETERS raw{0.0f, 0.0f, 0.0f, 0.0f, 1.0f};
    const NUI_TRANSFORM_SMOOTH_PARAMETERS heavy{0.9f, 0.1f, 0.0f, 0.0f, 1.0f};
    v1::SkeletonSmoothingFilter rawFilter;
    v1::SkeletonSmoothingFilter heavyFilter;
    NUI_SKELETON_FRAME a{};
    NUI_SKELETON_FRAME b{};
    for (int i = 0; i < 5; ++i) {
        a = personAt(0.1f * i);
        b = personAt(0.1f * i);
        rawFilter.apply(a, &raw);
        heavyFilter.apply(b, &heavy);
    }
    EXPECT_NEAR(a.SkeletonData[slot].SkeletonPositions[0].x, 0.4f, 1e-5f) << "no smoothing passes positions through";
    EXPECT_LT(b.SkeletonData[slot].SkeletonPositions[0].x, 0.3f);
}

class TransformSmoothTest : public Runtime1Test {};

TEST_F(TransformSmoothTest, RuntimeSmoothsAsTheFilterDoesAndChecksItsArguments) {
    SensorPtr sensor = createSensor();
    v1::SkeletonSmoothingFilter filter;
    for (int i = 0; i < 15; ++i) {
        NUI_SKELETON_FRAME byRuntime = personAt(0.03f * i);
        NUI_SKELETON_FRAME byFilter = byRuntime;
        ASSERT_EQ(sensor->NuiTransformSmooth(&byRuntime, nullptr), S_OK);
        filter.apply(byFilter, nullptr);
        for (int joint = 0; joint < NUI_SKELETON_POSITION_COUNT; ++joint) {
            EXPECT_EQ(byRuntime.SkeletonData[slot].SkeletonPositions[joint].x, byFilter.SkeletonData[slot].SkeletonPositions[joint].x);
        }
    }
    EXPECT_EQ(sensor->NuiTransformSmooth(nullptr, nullptr), E_POINTER);
    NUI_SKELETON_FRAME frame = personAt(0.0f);
    const NUI_TRANSFORM_SMOOTH_PARAMETERS tooSmooth{1.5f, 0.5f, 0.5f, 0.05f, 0.04f};
    const NUI_TRANSFORM_SMOOTH_PARAMETERS negativeRadius{0.5f, 0.5f, 0.5f, -0.05f, 0.04f};
    const NUI_TRANSFORM_SMOOTH_PARAMETERS notANumber{0.5f, NAN, 0.5f, 0.05f, 0.04f};
    EXPECT_EQ(sensor->NuiTransformSmooth(&frame, &tooSmooth), E_INVALIDARG);
    EXPECT_EQ(sensor->NuiTransformSmooth(&frame, &negativeRadius), E_INVALIDARG);
    EXPECT_EQ(sensor->NuiTransformSmooth(&frame, &notANumber), E_INVALIDARG);
}

}  // namespace
}  // namespace runtime1_test
