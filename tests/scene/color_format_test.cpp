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

// Every Y with every U and V, converted by whichever wide loop this processor
// runs, in runs of every length up to 40 pixels (so the wide loops' tails are
// taken too) and at every byte offset of the output: each pixel is the studio-range
// integer formula's.
TEST(ColorFormat, EveryYuvGivesTheIntegerFormulasPixel) {
    // floor(v / 256), clipped to a byte (the shift of a value kept non-negative).
    auto clip = [](int v) { v = ((v + (1 << 16)) >> 8) - (1 << 8); return v < 0 ? 0 : (v > 255 ? 255 : v); };
    std::vector<std::uint8_t> yuy2, expected;
    for (int u = 0; u < 256; ++u)
        for (int v = 0; v < 256; ++v)
            for (int y = 0; y < 256; y += 2) {
                const std::uint8_t pair[4] = {static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(u),
                                              static_cast<std::uint8_t>(y + 1), static_cast<std::uint8_t>(v)};
                yuy2.insert(yuy2.end(), pair, pair + 4);
                for (int luma : {y, y + 1}) {
                    const int c = 298 * (luma - 16), d = u - 128, e = v - 128;
                    expected.push_back(static_cast<std::uint8_t>(clip(c + 516 * d + 128)));
                    expected.push_back(static_cast<std::uint8_t>(clip(c - 100 * d - 208 * e + 128)));
                    expected.push_back(static_cast<std::uint8_t>(clip(c + 409 * e + 128)));
                    expected.push_back(255);
                }
            }
    const int pixels = static_cast<int>(yuy2.size() / 2);
    std::vector<std::uint8_t> bgra(expected.size());
    ASSERT_TRUE(yuy2ToBgra(yuy2.data(), pixels / 64, 64, bgra.data()));
    ASSERT_EQ(bgra, expected);
    std::vector<std::uint8_t> shifted(4 * 40 + 16);
    for (int width = 2; width <= 40; width += 2)
        for (int offset = 0; offset < 16; ++offset) {
            const size_t start = static_cast<size_t>(width) * 977 * 2;   // somewhere in the table
            ASSERT_TRUE(yuy2ToBgra(yuy2.data() + start, width, 1, shifted.data() + offset));
            ASSERT_TRUE(std::equal(shifted.begin() + offset, shifted.begin() + offset + 4 * width,
                                   expected.begin() + static_cast<std::ptrdiff_t>(2 * start)))
                << width << " pixels at offset " << offset;
        }
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
