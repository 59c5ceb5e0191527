#include "SkeletonPacking.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace plexa::bridge1 {
namespace {

// A joint value that names its slot, joint and coordinate: 1000s + 10j + c.
float tag(int slot, int joint, int coordinate) { return static_cast<float>(1000 * slot + 10 * joint + coordinate); }

NUI_SKELETON_FRAME frameTracking(std::initializer_list<int> slots, int offset = 0) {
    NUI_SKELETON_FRAME frame{};
    frame.vFloorClipPlane = {0.5f, 1.5f, 2.5f, 3.5f};
    for (int s = 0; s < NUI_SKELETON_COUNT; ++s) {
        for (int j = 0; j < NUI_SKELETON_POSITION_COUNT; ++j) {
            frame.SkeletonData[s].SkeletonPositions[j] = {tag(s, j, 0) + offset, tag(s, j, 1) + offset,
                                                    tag(s, j, 2) + offset, 1.0f};
            frame.SkeletonData[s].eSkeletonPositionTrackingState[j] = static_cast<NUI_SKELETON_POSITION_TRACKING_STATE>((j + s) % 3);
        }
    }
    for (int s : slots) frame.SkeletonData[s].eTrackingState = NUI_SKELETON_TRACKED;
    return frame;
}

struct Buffers {
    std::array<std::uint8_t, 6> tracked{};
    std::array<float, kSkeletonCoordinateCount> positions{};
    std::array<std::uint8_t, kJointStateCount> states{};
    std::array<float, 4> floor{};
    SkeletonBuffers view() { return {tracked.data(), positions.data(), states.data(), floor.data()}; }

    // Marks and packs as the handler does.
    bool take(const NUI_SKELETON_FRAME& frame) {
        if (!markTrackedSlots(frame, tracked.data())) return false;
        packTrackedSkeletons(frame, view());
        return true;
    }
    std::array<float, kJavaPositionCount> java() const {
        std::array<float, kJavaPositionCount> out{};
        layoutJavaPositions(floor.data(), positions.data(), out.data());
        return out;
    }
};

TEST(SkeletonPacking, OnlySlotThreeTrackedFillsItsOwnEntries) {
    Buffers b;
    ASSERT_TRUE(b.take(frameTracking({3})));
    EXPECT_EQ(b.tracked, (std::array<std::uint8_t, 6>{0, 0, 0, 1, 0, 0}));
    const auto java = b.java();
    for (int j = 0; j < NUI_SKELETON_POSITION_COUNT; ++j) {
        EXPECT_EQ(java[184 + 3 * j], tag(3, j, 0)) << j;
        EXPECT_EQ(java[185 + 3 * j], tag(3, j, 1)) << j;
        EXPECT_EQ(java[186 + 3 * j], tag(3, j, 2)) << j;
        EXPECT_EQ(b.states[60 + j], (j + 3) % 3) << j;
    }
    // The other slots keep the buffers' zeros.
    for (int i = 4; i < kJavaPositionCount; ++i) {
        if (i >= 184 && i <= 243) continue;
        ASSERT_EQ(java[i], 0.0f) << i;
    }
    for (int i = 0; i < kJointStateCount; ++i) {
        if (i >= 60 && i < 80) continue;
        ASSERT_EQ(b.states[i], 0) << i;
    }
    EXPECT_EQ(java[0], 0.5f);
    EXPECT_EQ(java[1], 1.5f);
    EXPECT_EQ(java[2], 2.5f);
    EXPECT_EQ(java[3], 3.5f);

    // Slots 0 and 5 bound the array; slot 3, no longer tracked, keeps its values.
    ASSERT_TRUE(b.take(frameTracking({0, 5}, 500)));
    EXPECT_EQ(b.tracked, (std::array<std::uint8_t, 6>{1, 0, 0, 0, 0, 1}));
    const auto next = b.java();
    EXPECT_EQ(next[4], tag(0, 0, 0) + 500);
    EXPECT_EQ(next[6], tag(0, 0, 2) + 500);
    EXPECT_EQ(next[361], tag(5, 19, 0) + 500);
    EXPECT_EQ(next[363], tag(5, 19, 2) + 500);
    EXPECT_EQ(next[184], tag(3, 0, 0));
}

TEST(SkeletonPacking, JointStatesKeepTheLowByte) {
    Buffers b;
    NUI_SKELETON_FRAME frame = frameTracking({0});
    frame.SkeletonData[0].eSkeletonPositionTrackingState[7] = static_cast<NUI_SKELETON_POSITION_TRACKING_STATE>(0x1202);
    ASSERT_TRUE(b.take(frame));
    EXPECT_EQ(b.states[7], 0x02);
}

}  // namespace
}  // namespace plexa::bridge1
