#include "runtime1/DepthRecordFormat.h"
#include "runtime1/ImageResolution.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace plexa::runtime1 {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::vector<std::uint8_t> contentsOf(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::vector<std::uint8_t> bytes;
    int c;
    while ((c = std::fgetc(file)) != EOF)
        bytes.push_back(static_cast<std::uint8_t>(c));
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

std::array<float, 4> asArray(const Vector4& v) { return {v.x, v.y, v.z, v.w}; }

// What the writer writes, the reader gives back: sizes, readings (w as 0) and
// samples, record after record, and a record cut short reads as none.
TEST(DepthRecordFormat, WhatIsWrittenReadsBackRecordByRecord) {
    std::unique_ptr<std::FILE, FileCloser> file(std::tmpfile());
    const ImageSize size = imageSizeOf(NUI_IMAGE_RESOLUTION_80x60);
    std::vector<std::uint16_t> first(size.pixelCount()), second(size.pixelCount());
    for (std::size_t p = 0; p < first.size(); ++p) {
        first[p] = static_cast<std::uint16_t>(p * 8);
        second[p] = static_cast<std::uint16_t>(0xFFFF - p);
    }
    ASSERT_TRUE(writeDepthRecordHeader(file.get(), size.width, size.height));
    ASSERT_TRUE(writeDepthRecord(file.get(), {0.25f, -1.0f, 3.5f, 7.0f}, first.data(), first.size()));
    ASSERT_TRUE(writeDepthRecord(file.get(), {-0.0f, 1e-7f, -9.5f, 0.0f}, second.data(), second.size()));
    ASSERT_TRUE(writeDepthRecord(file.get(), {}, first.data(), 3));  // cut short: three samples only
    std::rewind(file.get());

    DepthRecordHeader header;
    ASSERT_TRUE(readDepthRecordHeader(file.get(), header));
    EXPECT_EQ(resolutionOfSize(header.width, header.height), NUI_IMAGE_RESOLUTION_80x60);
    std::vector<std::uint16_t> samples(size.pixelCount());
    Vector4 reading{};
    ASSERT_TRUE(readDepthRecord(file.get(), reading, samples.data(), samples.size()));
    EXPECT_EQ(samples, first);
    EXPECT_EQ(asArray(reading), (std::array<float, 4>{0.25f, -1.0f, 3.5f, 0.0f}));
    ASSERT_TRUE(readDepthRecord(file.get(), reading, samples.data(), samples.size()));
    EXPECT_EQ(samples, second);
    EXPECT_EQ(asArray(reading), (std::array<float, 4>{-0.0f, 1e-7f, -9.5f, 0.0f}));
    EXPECT_FALSE(readDepthRecord(file.get(), reading, samples.data(), samples.size()));
}

TEST(ImageResolution, EachCodeHasItsSizeAndEachSizeItsCode) {
    const struct {
        std::int32_t code;
        int width, height;
    } table[] = {{NUI_IMAGE_RESOLUTION_80x60, 80, 60},     {NUI_IMAGE_RESOLUTION_320x240, 320, 240},
                 {NUI_IMAGE_RESOLUTION_640x480, 640, 480}, {NUI_IMAGE_RESOLUTION_1280x960, 1280, 960},
                 {NUI_IMAGE_RESOLUTION_INVALID, 0, 0},     {4, 0, 0}};
    for (const auto& row : table) {
        EXPECT_EQ(imageSizeOf(row.code).width, row.width) << row.code;
        EXPECT_EQ(imageSizeOf(row.code).height, row.height) << row.code;
        if (row.width != 0) {
            EXPECT_EQ(resolutionOfSize(row.width, row.height), row.code);
        }
    }
    EXPECT_EQ(resolutionOfSize(640, 481), NUI_IMAGE_RESOLUTION_INVALID);
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
}  // namespace plexa::runtime1
