// The color frame: raw bytes as they are, and conversion into BGRA or RGBA.
#include "RuntimeFixture.h"
#include "SceneFrames.h"

#include "plexa/scene/color_format.h"

#include <algorithm>
#include <cmath>

namespace {

class ColorTest : public RuntimeTest {
protected:
    void TearDown() override {
        color_.reset();
        reader_.reset();
        RuntimeTest::TearDown();
    }

    IColorFrame* colorOf(rt2::ScriptedColorImage image) {
        if (!reader_) openReader(FrameSourceTypes_Color, reader_);
        rt2::ScriptedFrame scripted;
        scripted.color = std::move(image);
        rt2::queueFrame(std::move(scripted));
        Ref<IMultiSourceFrame> frame;
        Ref<IColorFrameReference> reference;
        EXPECT_EQ(reader_->AcquireLatestFrame(frame.out()), S_OK);
        EXPECT_EQ(frame->get_ColorFrameReference(reference.out()), S_OK);
        EXPECT_EQ(reference->AcquireFrame(color_.out()), S_OK);
        return color_.get();
    }

    Ref<IMultiSourceFrameReader> reader_;
    Ref<IColorFrame> color_;
};

rt2::ScriptedColorImage yuy2Image(int width, int height, std::vector<std::uint8_t> raw) {
    return rt2::ScriptedColorImage{width, height, ColorImageFormat_Yuy2, std::move(raw)};
}

// The BT.601 studio-range conversion worked out in floating point.
std::array<int, 3> referenceRgb(int y, int u, int v) {
    auto clamp = [](double value) { return static_cast<int>(std::lround(std::min(255.0, std::max(0.0, value)))); };
    const double luma = 1.164383 * (y - 16);
    return {clamp(luma + 1.596027 * (v - 128)), clamp(luma - 0.391762 * (u - 128) - 0.812968 * (v - 128)),
            clamp(luma + 2.017232 * (u - 128))};
}

TEST_F(ColorTest, Yuy2PairsBecomeBgraOnKnownPixels) {
    // Each pair: Y0 U Y1 V.
    IColorFrame* color = colorOf(yuy2Image(4, 2, {16, 128, 235, 128,     // black, white
                                                  81, 90, 41, 240,       // red, dark red
                                                  41, 240, 235, 110,     // blue, light blue-white
                                                  100, 150, 100, 90}));  // a muted teal, twice
    std::vector<BYTE> bgra(4 * 2 * 4, 0xAB);
    ASSERT_EQ(color->CopyConvertedFrameDataToArray(static_cast<UINT>(bgra.size()), bgra.data(), ColorImageFormat_Bgra),
              S_OK);
    const std::vector<BYTE> expected = {
        0, 0, 0, 255, 255, 255, 255, 255,        //
        0, 0, 255, 255, 0, 0, 208, 255,          //
        255, 0, 0, 255, 255, 226, 226, 255,      //
        142, 120, 37, 255, 142, 120, 37, 255,
    };
    EXPECT_EQ(bgra, expected);
}

TEST_F(ColorTest, ConversionMatchesTheBt601FormulaAcrossTheRange) {
    std::vector<std::uint8_t> raw;
    for (int y = 0; y < 256; y += 17) {
        for (int u = 0; u < 256; u += 15) {
            for (int v = 0; v < 256; v += 15) {
                raw.insert(raw.end(), {static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(u),
                                       static_cast<std::uint8_t>(255 - y), static_cast<std::uint8_t>(v)});
            }
        }
    }
    const int pixels = static_cast<int>(raw.size() / 2);
    IColorFrame* color = colorOf(yuy2Image(pixels, 1, raw));
    std::vector<BYTE> bgra(pixels * 4);
    ASSERT_EQ(color->CopyConvertedFrameDataToArray(static_cast<UINT>(bgra.size()), bgra.data(), ColorImageFormat_Bgra),
              S_OK);
    int worst = 0;
    for (int p = 0; p < pixels; ++p) {
        const std::uint8_t* pair = &raw[(p / 2) * 4];
        const std::array<int, 3> rgb = referenceRgb(p % 2 == 0 ? pair[0] : pair[2], pair[1], pair[3]);
        worst = std::max({worst, std::abs(bgra[p * 4 + 2] - rgb[0]), std::abs(bgra[p * 4 + 1] - rgb[1]),
                          std::abs(bgra[p * 4] - rgb[2])});
        ASSERT_EQ(bgra[p * 4 + 3], 255);
    }
    EXPECT_LE(worst, 1);
}

TEST_F(ColorTest, RgbaTargetSwapsRedAndBlue) {
    IColorFrame* color = colorOf(yuy2Image(2, 1, {76, 85, 29, 255}));
    std::vector<BYTE> bgra(8), rgba(8);
    ASSERT_EQ(color->CopyConvertedFrameDataToArray(8, bgra.data(), ColorImageFormat_Bgra), S_OK);
    ASSERT_EQ(color->CopyConvertedFrameDataToArray(8, rgba.data(), ColorImageFormat_Rgba), S_OK);
    for (int p = 0; p < 2; ++p) {
        EXPECT_EQ(rgba[p * 4], bgra[p * 4 + 2]);
        EXPECT_EQ(rgba[p * 4 + 1], bgra[p * 4 + 1]);
        EXPECT_EQ(rgba[p * 4 + 2], bgra[p * 4]);
    }
}

TEST_F(ColorTest, TooSmallCapacityOrUnofferedFormatIsRefusedWithoutWriting) {
    IColorFrame* color = colorOf(yuy2Image(4, 2, std::vector<std::uint8_t>(16, 128)));
    std::vector<BYTE> buffer(4 * 2 * 4, 0xAB);
    EXPECT_EQ(color->CopyConvertedFrameDataToArray(4 * 2 * 4 - 1, buffer.data(), ColorImageFormat_Bgra), E_INVALIDARG);
    for (ColorImageFormat format :
         {ColorImageFormat_None, ColorImageFormat_Yuv, ColorImageFormat_Bayer, static_cast<ColorImageFormat>(99)}) {
        EXPECT_EQ(color->CopyConvertedFrameDataToArray(static_cast<UINT>(buffer.size()), buffer.data(), format),
                  E_INVALIDARG)
            << "format " << format;
    }
    EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](BYTE b) { return b == 0xAB; }));
    EXPECT_EQ(color->CopyConvertedFrameDataToArray(static_cast<UINT>(buffer.size()), nullptr, ColorImageFormat_Bgra),
              E_POINTER);
    // The raw format itself is a target: the bytes as they are.
    std::vector<BYTE> raw(16);
    EXPECT_EQ(color->CopyConvertedFrameDataToArray(16, raw.data(), ColorImageFormat_Yuy2), S_OK);
    EXPECT_EQ(raw, std::vector<BYTE>(16, 128));
}

TEST_F(ColorTest, FrameWithFewerRawBytesThanItsSizeFailsToConvert) {
    IColorFrame* color = colorOf(yuy2Image(1920, 1080, std::vector<std::uint8_t>(100, 128)));
    std::vector<BYTE> bgra(1920u * 1080u * 4u);
    EXPECT_LT(color->CopyConvertedFrameDataToArray(static_cast<UINT>(bgra.size()), bgra.data(), ColorImageFormat_Bgra),
              0);
    UINT capacity = 0;
    BYTE* raw = nullptr;
    ASSERT_EQ(color->AccessRawUnderlyingBuffer(&capacity, &raw), S_OK);
    EXPECT_EQ(capacity, 100u);
}

TEST_F(ColorTest, BgraRawFormatIsHandedOutAsItIs) {
    const std::vector<std::uint8_t> pixels = {1, 2, 3, 4, 5, 6, 7, 8};
    IColorFrame* color = colorOf(rt2::ScriptedColorImage{2, 1, ColorImageFormat_Bgra, pixels});
    ColorImageFormat format = ColorImageFormat_None;
    ASSERT_EQ(color->get_RawColorImageFormat(&format), S_OK);
    EXPECT_EQ(format, ColorImageFormat_Bgra);
    UINT capacity = 0;
    BYTE* raw = nullptr;
    ASSERT_EQ(color->AccessRawUnderlyingBuffer(&capacity, &raw), S_OK);
    ASSERT_EQ(capacity, 8u);
    EXPECT_EQ(std::vector<std::uint8_t>(raw, raw + 8), pixels);

    std::vector<BYTE> bgra(8), rgba(8);
    ASSERT_EQ(color->CopyConvertedFrameDataToArray(8, bgra.data(), ColorImageFormat_Bgra), S_OK);
    EXPECT_EQ(bgra, pixels);
    ASSERT_EQ(color->CopyConvertedFrameDataToArray(8, rgba.data(), ColorImageFormat_Rgba), S_OK);
    EXPECT_EQ(rgba, (std::vector<BYTE>{3, 2, 1, 4, 7, 6, 5, 8}));
}

TEST_F(ColorTest, OddPixelCountConvertsItsHalfPair) {
    IColorFrame* color = colorOf(yuy2Image(3, 1, {128, 128, 128, 128, 200, 128}));
    std::vector<BYTE> bgra(12, 0);
    ASSERT_EQ(color->CopyConvertedFrameDataToArray(12, bgra.data(), ColorImageFormat_Bgra), S_OK);
    EXPECT_EQ(std::vector<BYTE>(bgra.begin() + 8, bgra.end()), (std::vector<BYTE>{214, 214, 214, 255}));
}

// The scene encodes the camera's raw frames; a converted frame shows the
// colors the scene drew, up to what 4:2:2 chroma sharing loses at edges.
TEST_F(ColorTest, SceneFrameConvertsBackToTheScenesColors) {
    openReader(FrameSourceTypes_Color, reader_);
    rt2::queueFrame(rt2::ScriptedFrame{});  // color left to the scene, at time 0
    Ref<IMultiSourceFrame> frame;
    Ref<IColorFrameReference> reference;
    ASSERT_EQ(reader_->AcquireLatestFrame(frame.out()), S_OK);
    ASSERT_EQ(frame->get_ColorFrameReference(reference.out()), S_OK);
    ASSERT_EQ(reference->AcquireFrame(color_.out()), S_OK);
    constexpr std::size_t kPixels = 1920u * 1080u;
    std::vector<BYTE> converted(kPixels * 4);
    ASSERT_EQ(color_->CopyConvertedFrameDataToArray(static_cast<UINT>(converted.size()), converted.data(),
                                                    ColorImageFormat_Bgra),
              S_OK);
    UINT capacity = 0;
    BYTE* raw = nullptr;
    ASSERT_EQ(color_->AccessRawUnderlyingBuffer(&capacity, &raw), S_OK);
    ASSERT_EQ(capacity, kPixels * 2);
    std::vector<BYTE> decoded(kPixels * 4);
    ASSERT_TRUE(plexa::scene::yuy2ToBgra(raw, 1920, 1080, decoded.data()));
    EXPECT_TRUE(rt2scene::sameImage(converted, decoded)) << "the scene's own decoding";

    plexa::scene::Rig2 rig = plexa::virtual2::makeSensorRig();
    std::vector<BYTE> drawn(kPixels * 4);
    ASSERT_TRUE(rig.renderColor(plexa::scene::Scene(plexa::virtual2::kLiveSceneSeed).at(0.0), drawn.data()));
    double totalError = 0;
    for (std::size_t i = 0; i < drawn.size(); ++i) totalError += std::abs(converted[i] - drawn[i]);
    EXPECT_LT(totalError / static_cast<double>(drawn.size()), 1.5) << "mean difference per channel";
}

TEST_F(ColorTest, CallLogRecordsCapacityAndFormat) {
    IColorFrame* color = colorOf(yuy2Image(2, 1, {16, 128, 16, 128}));
    rt2::clearCallLog();
    std::vector<BYTE> bgra(8);
    color->CopyConvertedFrameDataToArray(8, bgra.data(), ColorImageFormat_Bgra);
    color->CopyConvertedFrameDataToArray(7, bgra.data(), ColorImageFormat_Bgra);
    const auto calls = callsOf(rt2::Operation::ColorCopyConvertedFrameDataToArray);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].arguments, (std::vector<std::int64_t>{8, ColorImageFormat_Bgra}));
    EXPECT_EQ(calls[0].result, S_OK);
    EXPECT_EQ(calls[0].frameKind, rt2::FrameKind::Color);
    EXPECT_EQ(calls[1].arguments, (std::vector<std::int64_t>{7, ColorImageFormat_Bgra}));
    EXPECT_EQ(calls[1].result, E_INVALIDARG);
}

}  // namespace
