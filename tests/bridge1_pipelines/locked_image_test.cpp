#include "LockedImage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <numeric>
#include <vector>

namespace plexa::bridge1 {
namespace {

NUI_LOCKED_RECT rectOf(std::vector<std::uint8_t>& bytes, std::int32_t pitch) {
    return {pitch, static_cast<std::int32_t>(bytes.size()), bytes.data()};
}

TEST(LockedImage, ZeroPitchIsAnEmptyFrame) {
    std::vector<std::uint8_t> bytes(8 * 2 * 4);
    const LockedImage image(rectOf(bytes, 0), 8, 4, 2);
    EXPECT_EQ(image.state(), LockedImage::State::Empty);
    GrowingBuffer scratch;
    EXPECT_EQ(image.packed(scratch, 2), nullptr);
}

TEST(LockedImage, PackedRowsAreReadInPlace) {
    std::vector<std::uint8_t> bytes(8 * 2 * 4);
    const LockedImage image(rectOf(bytes, 16), 8, 4, 2);
    ASSERT_TRUE(image.ready());
    EXPECT_EQ(image.packedRowBytes(), 16u);
    EXPECT_EQ(image.packedBytes(), 64u);
    GrowingBuffer scratch;
    EXPECT_EQ(image.packed(scratch, 2), bytes.data());
}

TEST(LockedImage, PaddedRowsArePackedRowByRow) {
    // 3 pixels of 2 bytes per row, pitch 10: 4 bytes of padding after each row.
    std::vector<std::uint8_t> bytes(10 * 3);
    std::iota(bytes.begin(), bytes.end(), 0);
    const LockedImage image(rectOf(bytes, 10), 3, 3, 2);
    ASSERT_TRUE(image.ready());
    GrowingBuffer scratch;
    const std::uint8_t* packed = image.packed(scratch, 2);
    ASSERT_NE(packed, nullptr);
    ASSERT_NE(packed, bytes.data());
    const std::vector<std::uint8_t> expected = {0, 1, 2, 3, 4, 5, 10, 11, 12, 13, 14, 15, 20, 21, 22, 23, 24, 25};
    EXPECT_EQ(std::vector<std::uint8_t>(packed, packed + image.packedBytes()), expected);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(packed) % 2, 0u);
}

TEST(LockedImage, AMisalignedBufferIsCopiedToAnAlignedOne) {
    std::vector<std::uint8_t> storage(1 + 4 * 2 * 2);
    std::iota(storage.begin(), storage.end(), 0);
    NUI_LOCKED_RECT rect{8, 16, storage.data() + 1};
    if (reinterpret_cast<std::uintptr_t>(rect.pBits) % 2 == 0) rect.pBits = storage.data();  // keep it odd
    const LockedImage image(rect, 4, 2, 2);
    GrowingBuffer scratch;
    const std::uint8_t* packed = image.packed(scratch, 2);
    ASSERT_NE(packed, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(packed) % 2, 0u);
    EXPECT_EQ(std::vector<std::uint8_t>(packed, packed + 16), std::vector<std::uint8_t>(rect.pBits, rect.pBits + 16));
}

TEST(LockedImage, BuffersThatCannotHoldTheImageAreNotRead) {
    std::vector<std::uint8_t> bytes(64);
    struct Case {
        const char* what;
        NUI_LOCKED_RECT rect;
    };
    const Case cases[] = {
        {"size below pitch x height", {16, 63, bytes.data()}},
        {"pitch below the packed row", {15, 64, bytes.data()}},
        {"negative pitch", {-16, 64, bytes.data()}},
        {"negative size", {16, -1, bytes.data()}},
        {"no bits", {16, 64, nullptr}},
        {"pitch x height beyond 32 bits", {std::numeric_limits<std::int32_t>::max(), 64, bytes.data()}},
    };
    for (const Case& c : cases) {
        const LockedImage image(c.rect, 8, 4, 2);
        EXPECT_EQ(image.state(), LockedImage::State::TooSmall) << c.what;
        GrowingBuffer scratch;
        EXPECT_EQ(image.packed(scratch, 2), nullptr) << c.what;
    }
    // An image without pixels has nothing to read either.
    EXPECT_EQ(LockedImage(rectOf(bytes, 16), 0, 0, 2).state(), LockedImage::State::TooSmall);
}

TEST(LockedImage, LargestImageOfTheRuntimeFitsExactly) {
    std::vector<std::uint8_t> bytes(1280 * 4 * 960);
    EXPECT_TRUE(LockedImage(rectOf(bytes, 1280 * 4), 1280, 960, 4).ready());
    bytes.pop_back();
    EXPECT_FALSE(LockedImage(rectOf(bytes, 1280 * 4), 1280, 960, 4).ready());
}

TEST(GrowingBuffer, KeepsItsMemoryWhenAskedForLess) {
    GrowingBuffer buffer;
    std::uint8_t* first = buffer.reserve(100);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(buffer.reserve(50), first);
    EXPECT_EQ(buffer.reserve(100), first);
    EXPECT_NE(buffer.reserve(1000), nullptr);
}

}  // namespace
}  // namespace plexa::bridge1
