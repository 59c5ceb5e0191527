// Frame arithmetic of the second-generation bridge, without a VM.
#include "BodyPacking.h"
#include "FlagsWord.h"
#include "FrameTypeList.h"
#include "ImageBounds.h"
#include "SizeReports.h"
#include "SizedBuffer.h"
#include "UvNormalization.h"

#include <gtest/gtest.h>

#include <vector>

namespace plexa::bridge2 {
namespace {

TEST(FlagsWord, DecodesStreamsAndBuildsTheReadersMask) {
    const StreamSelection depthOnly = decodeFlagsWord(0x8);
    EXPECT_TRUE(depthOnly.useDepth);
    EXPECT_FALSE(depthOnly.useColor || depthOnly.useBody || depthOnly.computeUV || depthOnly.computeXYZ);
    EXPECT_EQ(frameSourceMask(depthOnly), 0x8u);

    const StreamSelection withMappings = decodeFlagsWord(0x1108);
    EXPECT_TRUE(withMappings.useDepth && withMappings.computeUV && withMappings.computeXYZ);
    EXPECT_EQ(frameSourceMask(withMappings), 0x8u);

    for (int bodyBit : {0x200, 0x400, 0x800}) {
        const StreamSelection body = decodeFlagsWord(bodyBit);
        EXPECT_TRUE(body.useBody) << bodyBit;
        EXPECT_EQ(frameSourceMask(body), 0x20u) << bodyBit;
    }

    const StreamSelection everyStream = decodeFlagsWord(0x7F);
    EXPECT_TRUE(everyStream.useAudio && everyStream.useBodyIndex && everyStream.useLongExposureInfrared);
    EXPECT_FALSE(everyStream.computeUV || everyStream.computeXYZ);
    EXPECT_EQ(frameSourceMask(everyStream), 0x7Fu);

    EXPECT_EQ(frameSourceMask(decodeFlagsWord(0x80)), 0u);
    // Bits above the last flag are ignored, the sign bit included.
    EXPECT_EQ(frameSourceMask(decodeFlagsWord(static_cast<std::int32_t>(0xFFFFE000u))), 0u);
}

TEST(FrameTypeList, KeepsTheFixedOrderWithEveryEntry) {
    FrameTypeList list;
    for (Stream stream : {Stream::Color, Stream::Depth, Stream::BodyIndex, Stream::Body, Stream::Infrared,
                          Stream::LongExposureInfrared}) {
        list.appendStream(stream, true, true);
    }
    list.appendBodyEntries();
    const std::vector<int> codes(list.data(), list.data() + list.size());
    EXPECT_EQ(codes, (std::vector<int>{1, 8, 256, 4096, 16, 2, 4, 32, 512, 1024, 2048}));
}

TEST(FrameTypeList, DepthBringsOnlyTheMappingsSwitchedOnAndBodyNothing) {
    FrameTypeList list;
    list.appendStream(Stream::Depth, false, true);
    list.appendStream(Stream::Body, true, true);
    EXPECT_EQ(std::vector<int>(list.data(), list.data() + list.size()), (std::vector<int>{8, 4096}));
}

TEST(FrameTypeList, NeverWritesPastItsCapacity) {
    FrameTypeList list;
    for (int i = 0; i < 10; ++i)
        list.appendBodyEntries();
    EXPECT_EQ(list.size(), FrameTypeList::kCapacity);
}

TEST(ImageBounds, DeliversOnlyWhatTheBufferHolds) {
    EXPECT_EQ(deliverableLength(512, 424, 1, 512 * 424), 512 * 424);
    EXPECT_EQ(deliverableLength(512, 424, 1, 512 * 424 - 1), 0);
    EXPECT_EQ(deliverableLength(1920, 1080, 4, 1920u * 1080u * 4u), 1920 * 1080 * 4);
    EXPECT_EQ(deliverableLength(1920, 1080, 4, 1920u * 1080u * 2u), 0);  // a YUY2-sized buffer
    EXPECT_EQ(deliverableLength(-1, 424, 1, 1u << 30), 0);
    EXPECT_EQ(deliverableLength(8, 6, 1, 0), 0);
}

TEST(ImageBounds, ProductsThatWouldWrapAreRejected) {
    // 65536 x 65536 x 4 wraps to 0 in 32 bits; 0x7FFFFFFF x 0x7FFFFFFF x 4 wraps in 64.
    EXPECT_EQ(elementCount(65536, 65536, 4), -1);
    EXPECT_EQ(deliverableLength(65536, 65536, 4, ~0ull), 0);
    EXPECT_EQ(elementCount(0x7FFFFFFF, 0x7FFFFFFF, 4), -1);
    EXPECT_EQ(elementCount(46341, 46341, 1), -1);  // just above the largest Java array
    EXPECT_EQ(elementCount(0, 1000, 3), 0);
}

TEST(SizedBuffer, AllocatesOncePerSizeAndStartsZeroed) {
    SizedBuffer<float, 2> buffer;
    EXPECT_EQ(buffer.data(), nullptr);
    ASSERT_TRUE(buffer.ensure(4, 3));
    EXPECT_EQ(buffer.elementCount(), 24);
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(buffer.data()[i], 0.0f);
    buffer.data()[0] = 7.0f;
    ASSERT_TRUE(buffer.ensure(4, 3));
    EXPECT_EQ(buffer.allocations(), 1);
    EXPECT_EQ(buffer.data()[0], 7.0f);  // kept for the same size

    ASSERT_TRUE(buffer.ensure(3, 4));  // same pixel count, other shape: a new buffer
    EXPECT_EQ(buffer.allocations(), 2);
    EXPECT_EQ(buffer.width(), 3);
    EXPECT_EQ(buffer.height(), 4);
    ASSERT_TRUE(buffer.ensure(4, 3));
    EXPECT_EQ(buffer.allocations(), 3);
}

// A new session starts over: empty until its first size, then zeros in the
// memory already held when it is large enough, and new memory otherwise.
TEST(SizedBuffer, StartingOverReusesTheMemoryItHoldsFromZeros) {
    SizedBuffer<float, 2> buffer;
    ASSERT_TRUE(buffer.ensure(4, 3));
    float* const memory = buffer.data();
    memory[5] = 7.0f;
    buffer.startOver();
    EXPECT_EQ(buffer.elementCount(), 0);
    EXPECT_EQ(buffer.width(), 0);
    ASSERT_TRUE(buffer.ensure(2, 3));
    EXPECT_EQ(buffer.data(), memory);
    EXPECT_EQ(buffer.elementCount(), 12);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(buffer.data()[i], 0.0f) << i;
    EXPECT_EQ(buffer.allocations(), 1);
    buffer.data()[0] = 1.0f;
    ASSERT_TRUE(buffer.ensure(2, 3));
    EXPECT_EQ(buffer.data()[0], 1.0f) << "kept within a session";
    buffer.startOver();
    ASSERT_TRUE(buffer.ensure(5, 3));  // larger than what it holds
    EXPECT_EQ(buffer.allocations(), 2);
    EXPECT_EQ(buffer.elementCount(), 30);
}

TEST(SizedBuffer, ASizeNoBufferCanHoldLeavesItEmpty) {
    SizedBuffer<std::uint8_t, 4> buffer;
    ASSERT_TRUE(buffer.ensure(16, 9));
    EXPECT_FALSE(buffer.ensure(65536, 65536));
    EXPECT_EQ(buffer.data(), nullptr);
    EXPECT_EQ(buffer.elementCount(), 0);
    EXPECT_FALSE(buffer.ensure(-2, 9));
    EXPECT_EQ(buffer.data(), nullptr);
}

TEST(UvNormalization, DividesByTheFullColorImage) {
    const std::vector<float> mapped = {960.0f, 540.0f, 1920.0f, 1080.0f, 0.0f, 0.0f, -480.0f, 2160.0f, 3.0f, 7.0f};
    std::vector<float> points(mapped.size(), -99.0f);
    normalizeColorPoints(mapped.data(), mapped.size() / 2, points.data());
    EXPECT_EQ(points[0], 0.5f);
    EXPECT_EQ(points[1], 0.5f);
    EXPECT_EQ(points[2], 1.0f);
    EXPECT_EQ(points[3], 1.0f);
    EXPECT_EQ(points[6], -0.25f);
    EXPECT_EQ(points[7], 2.0f);
    EXPECT_EQ(points[8], 3.0f / 1920.0f);  // a quotient, not a product with a rounded reciprocal
    EXPECT_EQ(points[9], 7.0f / 1080.0f);
}

TEST(UvNormalization, TouchesOnlyTheGivenPoints) {
    // Long enough for the vector loop and its remainder.
    const std::vector<float> mapped(2 * 37 + 2, 1920.0f);
    std::vector<float> points(mapped);
    normalizeColorPoints(mapped.data(), 37, points.data());
    for (std::size_t k = 0; k < 37; ++k) {
        EXPECT_EQ(points[2 * k], 1.0f);
        EXPECT_EQ(points[2 * k + 1], 1920.0f / 1080.0f);
    }
    EXPECT_EQ(points[74], 1920.0f);
    EXPECT_EQ(points[75], 1920.0f);
}

TEST(BodyPacking, PutsASlotsJointsInPlace) {
    BodyBuffers buffers;
    BodyScratch scratch;
    for (int j = 0; j < kJointsPerBody; ++j) {
        const auto type = static_cast<JointType>(j);
        scratch.joints[j] = Joint{type, {1.0f + j, 2.0f + j, 3.0f + j}, static_cast<TrackingState>(0x100 + (j % 3))};
        scratch.orientations[j] = JointOrientation{type, {0.1f * j, 0.2f, 0.3f, 0.4f}};
    }
    packBody(3, scratch, buffers);
    // Slot 3, joint 0 starts at (3 * 25) * 3 = 225 and 300; the last at 299 and 399.
    EXPECT_EQ(buffers.jointPositions[225], 1.0f);
    EXPECT_EQ(buffers.jointPositions[225 + 24 * 3 + 2], 27.0f);
    EXPECT_EQ(buffers.jointOrientations[300 + 24 * 4], 0.1f * 24);
    EXPECT_EQ(buffers.jointOrientations[300 + 24 * 4 + 3], 0.4f);
    EXPECT_EQ(buffers.jointStates[75], 0);  // low byte of 0x100
    EXPECT_EQ(buffers.jointStates[76], 1);
    EXPECT_EQ(buffers.jointStates[77], 2);
    // Neighbouring slots untouched.
    EXPECT_EQ(buffers.jointPositions[224], 0.0f);
    EXPECT_EQ(buffers.jointPositions[300], 0.0f);
    EXPECT_EQ(buffers.jointStates[74], 0);
    EXPECT_EQ(buffers.jointStates[100], 0);

    packBody(6, scratch, buffers);  // no such slot: nothing written
    packBody(-1, scratch, buffers);
}

TEST(BodyPacking, ClearedScratchHoldsNoEarlierBody) {
    BodyScratch scratch;
    scratch.joints[5].Position.X = 9.0f;
    scratch.orientations[5].Orientation.w = 9.0f;
    scratch.clear();
    BodyBuffers buffers;
    buffers.jointPositions.fill(4.0f);
    packBody(0, scratch, buffers);
    EXPECT_EQ(buffers.jointPositions[15], 0.0f);
    EXPECT_EQ(buffers.jointOrientations[23], 0.0f);
    EXPECT_EQ(buffers.jointPositions[75], 4.0f);  // slot 1 untouched
}

TEST(SizeReports, ReportsTheFirstSizeAndEveryChange) {
    ReportedSize size;
    EXPECT_TRUE(size.update(512, 424));
    EXPECT_FALSE(size.update(512, 424));
    EXPECT_TRUE(size.update(0, 0));
    EXPECT_TRUE(size.update(512, 424));
    EXPECT_TRUE(size.update(512, 423));
    size.clear();
    EXPECT_TRUE(size.update(512, 423));
}

}  // namespace
}  // namespace plexa::bridge2
