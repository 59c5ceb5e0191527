// Color and infrared frames through the bridge into a real VM.
#include "pipeline_session.h"

#include <gtest/gtest.h>

#include <cstring>

namespace plexa::test::pipelines {
namespace {

using virtual1::Operation;
using virtual1::Stream;

std::vector<jbyte> signedBytes(const std::vector<std::uint8_t>& bytes) {
    std::vector<jbyte> out(bytes.size());
    std::memcpy(out.data(), bytes.data(), bytes.size());
    return out;
}

std::vector<jshort> signedSamples(const std::vector<std::uint8_t>& bytes) {
    std::vector<jshort> out(bytes.size() / 2);
    std::memcpy(out.data(), bytes.data(), out.size() * 2);
    return out;
}

// Rows of `rowBytes` spread over `pitch`, the padding filled with 0xEE.
std::vector<std::uint8_t> padded(const std::vector<std::uint8_t>& packed, std::size_t rowBytes, std::size_t pitch) {
    const std::size_t rows = packed.size() / rowBytes;
    std::vector<std::uint8_t> out(rows * pitch, 0xEE);
    for (std::size_t r = 0; r < rows; ++r) std::memcpy(out.data() + r * pitch, packed.data() + r * rowBytes, rowBytes);
    return out;
}

class VideoAtResolution : public ::testing::TestWithParam<int> {};

TEST_P(VideoAtResolution, ColorArrivesAsItsBytesUnchanged) {
    const int code = GetParam();
    const Size size = sizeOf(code);
    Jvm::start();
    Session session({false, -1, code, false});
    ASSERT_EQ(session.startResult(), 0);
    const std::vector<std::uint8_t> bytes = patternBytes(4 * size.pixels(), code);
    virtual1::queueImageFrame(kSensor, Stream::Video, imageFrame(bytes));
    ASSERT_TRUE(session.waitForVideo(1));
    ASSERT_EQ(session.received("colorFrames"), 1);
    const std::vector<jbyte> color = session.color(0);
    EXPECT_EQ(color.size(), 4 * size.pixels());
    EXPECT_EQ(color, signedBytes(bytes));
    EXPECT_EQ(session.received("infraredFrames"), 0);
}

TEST_P(VideoAtResolution, InfraredArrivesAsItsSamplesUnchangedAndCountsAsVideo) {
    const int code = GetParam();
    const Size size = sizeOf(code);
    Jvm::start();
    Session session({false, -1, code, true});
    ASSERT_EQ(session.startResult(), 0);
    const std::vector<std::uint8_t> first = patternBytes(2 * size.pixels(), 1);
    const std::vector<std::uint8_t> second = patternBytes(2 * size.pixels(), 2);
    virtual1::queueImageFrame(kSensor, Stream::Video, imageFrame(first));
    virtual1::queueImageFrame(kSensor, Stream::Video, imageFrame(second));
    ASSERT_TRUE(session.waitForVideo(2));
    ASSERT_EQ(session.received("infraredFrames"), 2);
    EXPECT_EQ(session.infrared(0).size(), size.pixels());
    EXPECT_EQ(session.infrared(0), signedSamples(first));
    EXPECT_EQ(session.infrared(1), signedSamples(second));
    EXPECT_EQ(session.received("colorFrames"), 0);
    EXPECT_EQ(session.videoCount(), 2);
}

INSTANTIATE_TEST_SUITE_P(Pipelines, VideoAtResolution, ::testing::Values(0, 1, 2, 3));

TEST(VideoPipeline, PaddedColorAndInfraredRowsArriveWithoutTheirPadding) {
    const Size size = sizeOf(0);
    Jvm::start();
    {
        Session color({false, -1, 0, false});
        const std::vector<std::uint8_t> bytes = patternBytes(4 * size.pixels(), 4);
        const std::size_t pitch = 4 * size.width + 12;
        virtual1::queueImageFrame(kSensor, Stream::Video,
                                  imageFrame(padded(bytes, 4 * size.width, pitch), static_cast<std::int32_t>(pitch)));
        ASSERT_TRUE(color.waitForVideo(1));
        ASSERT_EQ(color.received("colorFrames"), 1);
        EXPECT_EQ(color.color(0), signedBytes(bytes));
    }
    {
        Session infrared({false, -1, 0, true});
        const std::vector<std::uint8_t> bytes = patternBytes(2 * size.pixels(), 5);
        const std::size_t pitch = 2 * size.width + 2;
        virtual1::queueImageFrame(kSensor, Stream::Video,
                                  imageFrame(padded(bytes, 2 * size.width, pitch), static_cast<std::int32_t>(pitch)));
        ASSERT_TRUE(infrared.waitForVideo(1));
        ASSERT_EQ(infrared.received("infraredFrames"), 1);
        EXPECT_EQ(infrared.infrared(0), signedSamples(bytes));
    }
}

TEST(VideoPipeline, EmptyAndShortBuffersAreCountedWithoutAJavaCall) {
    const Size size = sizeOf(1);
    Jvm::start();
    Session session({false, -1, 1, false});
    const std::vector<std::uint8_t> bytes = patternBytes(4 * size.pixels(), 0);
    virtual1::queueImageFrame(kSensor, Stream::Video, imageFrame(bytes, 0));
    std::vector<std::uint8_t> shortBytes = bytes;
    shortBytes.resize(bytes.size() - 4 * size.width);  // one row missing
    virtual1::queueImageFrame(kSensor, Stream::Video, imageFrame(shortBytes));
    virtual1::queueImageFrame(kSensor, Stream::Video, imageFrame(bytes, 4 * size.width - 4));  // rows too short
    virtual1::queueImageFrame(kSensor, Stream::Video, imageFrame(bytes));
    ASSERT_TRUE(session.waitForVideo(4));
    EXPECT_EQ(session.received("colorFrames"), 1);
    EXPECT_EQ(session.color(0), signedBytes(bytes));
    EXPECT_EQ(virtual1::framesOutstanding(kSensor), 0);
}

TEST(VideoPipeline, AFailedFetchIsNotCounted) {
    Jvm::start();
    Session session({false, -1, 0, true});
    virtual1::injectFailure(Operation::ImageStreamGetNextFrame, E_NUI_FRAME_NO_DATA, 1);
    virtual1::queueImageFrame(kSensor, Stream::Video, imageFrame(patternBytes(2 * 80 * 60, 0)));
    ASSERT_TRUE(session.waitForVideo(1));
    session.stop();
    EXPECT_EQ(loggedCalls(Operation::ImageStreamGetNextFrame, false), 1);
    EXPECT_EQ(loggedCalls(Operation::ImageStreamGetNextFrame, true), 1);
    EXPECT_EQ(session.videoCount(), 1);
    EXPECT_EQ(session.received("infraredFrames"), 1);
}

TEST(VideoPipelineWithoutCallback, ColorFramesAreCountedAndJavaIsNotCalled) {
    Jvm::start(JvmOptions{{variantJar("pipelines_no_video_callback"), fixturesJar()}, {}});
    Session session({false, -1, 0, false});
    EXPECT_EQ(session.startException(), "java.lang.NoSuchMethodError");
    virtual1::queueImageFrame(kSensor, Stream::Video, imageFrame(patternBytes(4 * 80 * 60, 0)));
    virtual1::queueImageFrame(kSensor, Stream::Video, imageFrame(patternBytes(4 * 80 * 60, 1)));
    ASSERT_TRUE(session.waitForVideo(2));
    EXPECT_EQ(session.received("colorFrames"), 0);
    EXPECT_EQ(virtual1::framesOutstanding(kSensor), 0);
}

}  // namespace
}  // namespace plexa::test::pipelines
