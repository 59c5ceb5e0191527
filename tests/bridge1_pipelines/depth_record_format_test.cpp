#include "DepthRecordFormat.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace plexa::bridge1 {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::vector<std::uint8_t> contentsOf(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::vector<std::uint8_t> bytes;
    int c;
    while ((c = std::fgetc(file)) != EOF) bytes.push_back(static_cast<std::uint8_t>(c));
    return bytes;
}

TEST(DepthRecordFormat, HeaderIsWidthAndHeightLittleEndian) {
    std::unique_ptr<std::FILE, FileCloser> file(std::tmpfile());
    ASSERT_TRUE(file);
    ASSERT_TRUE(writeDepthRecordHeader(file.get(), 320, 240));
    EXPECT_EQ(contentsOf(file.get()), (std::vector<std::uint8_t>{0x40, 0x01, 0xF0, 0x00}));
}

TEST(DepthRecordFormat, NoDepthStreamGivesAZeroHeader) {
    std::unique_ptr<std::FILE, FileCloser> file(std::tmpfile());
    ASSERT_TRUE(writeDepthRecordHeader(file.get(), 0, 0));
    EXPECT_EQ(contentsOf(file.get()), (std::vector<std::uint8_t>{0, 0, 0, 0}));
}

TEST(DepthRecordFormat, RecordIsThreeFloatsThenTheSamples) {
    std::unique_ptr<std::FILE, FileCloser> file(std::tmpfile());
    const std::vector<std::uint16_t> samples = {0x1234, 0xFFF8, 0x0007};
    ASSERT_TRUE(writeDepthRecord(file.get(), {1.0f, -2.0f, 0.5f, 9.0f}, samples.data(), samples.size()));
    const std::vector<std::uint8_t> expected = {
        0x00, 0x00, 0x80, 0x3F,  // 1.0f
        0x00, 0x00, 0x00, 0xC0,  // -2.0f
        0x00, 0x00, 0x00, 0x3F,  // 0.5f; w is not stored
        0x34, 0x12, 0xF8, 0xFF, 0x07, 0x00,
    };
    EXPECT_EQ(contentsOf(file.get()), expected);
    EXPECT_EQ(depthRecordBytes(320 * 240), 153612u);
    EXPECT_EQ(depthRecordBytes(640 * 480), 614412u);
    EXPECT_EQ(depthRecordBytes(80 * 60), 9612u);
}

TEST(DepthRecordFormat, AStreamThatRefusesWritesIsReported) {
    // A stream opened for reading takes no bytes.
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen("/dev/null", "rb"));
    ASSERT_TRUE(file);
    const std::uint16_t sample = 8;
    EXPECT_FALSE(writeDepthRecordHeader(file.get(), 80, 60));
    EXPECT_FALSE(writeDepthRecord(file.get(), {}, &sample, 1));
}

}  // namespace
}  // namespace plexa::bridge1
