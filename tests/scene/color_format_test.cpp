// Packed 4:2:2 YUV: known colors convert to their studio-range values, and a
// picture survives the round trip with only chroma shared across pixel pairs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "plexa/scene/color_format.h"
#include "frames.h"

namespace plexa::scene {
namespace {

TEST(ColorFormat, KnownColorsAndRoundTrip) {
    const std::uint8_t bgra[] = {255, 255, 255, 255, 0, 0, 0, 255,     // white, black
                                 0, 0, 255, 255, 0, 0, 255, 255};      // red, red
    std::uint8_t yuy2[8];
    ASSERT_TRUE(bgraToYuy2(bgra, 4, 1, yuy2));
    EXPECT_EQ(yuy2[0], 235);  // white
    EXPECT_EQ(yuy2[2], 16);   // black
    EXPECT_EQ(yuy2[1], 128);  // the pair is grey on average
    EXPECT_EQ(yuy2[3], 128);
    EXPECT_NEAR(yuy2[4], 82, 1);   // red
    EXPECT_NEAR(yuy2[5], 90, 1);
    EXPECT_NEAR(yuy2[7], 240, 1);
    std::uint8_t back[16];
    ASSERT_TRUE(yuy2ToBgra(yuy2, 4, 1, back));
    EXPECT_NEAR(back[8], 0, 2);
    EXPECT_NEAR(back[10], 255, 2);
    EXPECT_EQ(back[11], 255);

    // A rendered frame: pixel pairs share chroma, so only edges lose color.
    Rig1 rig;
    const testing::ColorFrame frame = testing::renderColor(rig, Scene(2).at(3.0), Rig1::Resolution::R640x480);
    std::vector<std::uint8_t> packed(2 * 640 * 480), restored(frame.bgra.size());
    ASSERT_TRUE(bgraToYuy2(frame.bgra.data(), 640, 480, packed.data()));
    ASSERT_TRUE(yuy2ToBgra(packed.data(), 640, 480, restored.data()));
    long close = 0;
    for (size_t i = 0; i < restored.size(); i += 4) {
        int worst = 0;
        for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(restored[i + c] - frame.bgra[i + c]));
        if (worst <= 4) ++close;
        ASSERT_EQ(restored[i + 3], 255);
    }
    EXPECT_GT(close, 640 * 480 * 95 / 100);
}

TEST(ColorFormat, SecondGenerationRawColorIsTheBgraPicturePacked) {
    Scene scene(4);
    Rig2 rig;
    for (double t : {0.0, 6.5}) {
        const Snapshot s = scene.at(t);
        const testing::ColorFrame bgra = testing::renderColor(rig, s);
        std::vector<std::uint8_t> raw(2 * Rig2::kColorWidth * Rig2::kColorHeight), packed(raw.size());
        ASSERT_TRUE(rig.renderColorYuy2(s, raw.data()));
        ASSERT_TRUE(bgraToYuy2(bgra.bgra.data(), Rig2::kColorWidth, Rig2::kColorHeight, packed.data()));
        // Every pixel's luma is the same; chroma differs only where a pair straddles an edge.
        long pairs = 0, sameChroma = 0;
        for (size_t i = 0; i < raw.size(); i += 4) {
            ASSERT_EQ(raw[i], packed[i]) << i;
            ASSERT_EQ(raw[i + 2], packed[i + 2]) << i;
            ++pairs;
            if (std::abs(raw[i + 1] - packed[i + 1]) <= 1 && std::abs(raw[i + 3] - packed[i + 3]) <= 1) ++sameChroma;
        }
        EXPECT_GT(sameChroma, pairs * 99 / 100);
    }
    EXPECT_FALSE(rig.renderColorYuy2(scene.at(0), nullptr));
}

TEST(ColorFormat, RefusesOddWidthsAndMissingBuffers) {
    std::vector<std::uint8_t> a(64, 1), b(64, 9);
    EXPECT_FALSE(bgraToYuy2(a.data(), 3, 2, b.data()));
    EXPECT_FALSE(yuy2ToBgra(a.data(), 3, 2, b.data()));
    EXPECT_FALSE(bgraToYuy2(nullptr, 2, 2, b.data()));
    EXPECT_FALSE(yuy2ToBgra(a.data(), 2, 2, nullptr));
    EXPECT_FALSE(yuy2ToBgra(a.data(), 0, 2, b.data()));
    EXPECT_EQ(b[0], 9);
}

}  // namespace
}  // namespace plexa::scene
