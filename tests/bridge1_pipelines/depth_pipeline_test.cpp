// Depth frames through the bridge into a real VM: the argument combinations,
// the XYZ and UV arrays, and frames the bridge must not read whole.
#include "pipeline_session.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace plexa::test::pipelines {
namespace {

using virtual1::Operation;

constexpr double kSeventhDecimal = 0.5e-7 + 1e-12;

std::vector<std::uint16_t> unsignedOf(const std::vector<jshort>& java) {
    std::vector<std::uint16_t> out(java.size());
    std::memcpy(out.data(), java.data(), java.size() * sizeof(jshort));
    return out;
}

TEST(DepthPipeline, EachSwitchAddsItsArray) {
    Jvm::start();
    Session session({false, 1, -1, false});
    ASSERT_EQ(session.startResult(), 0);
    const Size size = sizeOf(1);
    struct Step {
        bool uv, xyz;
    };
    const Step steps[] = {{false, false}, {true, false}, {false, true}, {true, true}};
    int frame = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(frame);
        session.computeUV(step.uv);
        session.computeXYZ(step.xyz);
        const std::vector<std::uint16_t> samples = patternSamples(size, frame);
        queueDepth(samples);
        ASSERT_TRUE(session.waitForDepth(frame + 1));
        ASSERT_EQ(session.received("depthFrames"), frame + 1);
        EXPECT_EQ(unsignedOf(session.depth(frame)), samples);
        EXPECT_EQ(session.uvIsNull(frame), !step.uv);
        EXPECT_EQ(session.xyzIsNull(frame), !step.xyz);
        if (step.uv) {
            EXPECT_EQ(session.uv(frame).size(), 2 * size.pixels());
        }
        if (step.xyz) {
            EXPECT_EQ(session.xyz(frame).size(), 3 * size.pixels());
        }
        ++frame;
    }
    EXPECT_EQ(virtual1::framesOutstanding(kSensor), 0);
}

class DepthXyzAtResolution : public ::testing::TestWithParam<int> {};

TEST_P(DepthXyzAtResolution, CornersCentreAndTheOrigin) {
    struct Expected {
        double x, y;  // a sample of 8000 at column 0, row 0
    };
    const Expected corner[] = {{-0.5531632, 0.4131218}, {-0.5584147, 0.4183734}, {-0.5592900, 0.4192487},
                               {-0.5597276, 0.4196863}};
    const int code = GetParam();
    const Size size = sizeOf(code);
    Jvm::start();
    Session session({false, code, -1, false});
    session.computeXYZ(true);
    std::vector<std::uint16_t> samples(size.pixels());
    for (std::size_t p = 0; p < samples.size(); ++p) samples[p] = static_cast<std::uint16_t>(p % 8);  // no depth
    samples.front() = 8000;
    samples.back() = 8003;  // player bits do not move the point
    const std::size_t centre = static_cast<std::size_t>(size.height / 2) * size.width + size.width / 2;
    samples[centre] = 16003;
    queueDepth(samples);
    ASSERT_TRUE(session.waitForDepth(1));
    ASSERT_EQ(session.received("depthFrames"), 1);
    const std::vector<jfloat> xyz = session.xyz(0);
    ASSERT_EQ(xyz.size(), 3 * size.pixels());

    EXPECT_NEAR(xyz[0], corner[code].x, kSeventhDecimal);
    EXPECT_NEAR(xyz[1], corner[code].y, kSeventhDecimal);
    EXPECT_NEAR(xyz[2], 1.0, kSeventhDecimal);
    const std::size_t last = 3 * (size.pixels() - 1);
    EXPECT_NEAR(xyz[last], -corner[code].x, kSeventhDecimal);
    EXPECT_NEAR(xyz[last + 1], -corner[code].y, kSeventhDecimal);
    EXPECT_NEAR(xyz[last + 2], 1.0, kSeventhDecimal);
    // Half a pixel right of and below the centre, at 2 m: x = -y = 2 x 0.5 / f.
    const double offset = 1.0 / ((size.width * 285.63) / 320.0);
    EXPECT_NEAR(xyz[3 * centre], offset, 1e-6);
    EXPECT_NEAR(xyz[3 * centre + 1], -offset, 1e-6);
    EXPECT_EQ(xyz[3 * centre + 2], 2.0f);
    if (code == 1) {
        EXPECT_NEAR(xyz[3 * centre], 0.0035010, kSeventhDecimal);
        EXPECT_NEAR(xyz[3 * centre + 1], -0.0035010, kSeventhDecimal);
    }
    for (std::size_t p = 1; p + 1 < size.pixels(); ++p) {
        if (p == centre) continue;
        ASSERT_EQ(xyz[3 * p], 0.0f) << p;
        ASSERT_EQ(xyz[3 * p + 1], 0.0f) << p;
        ASSERT_EQ(xyz[3 * p + 2], 0.0f) << p;
    }
}

INSTANTIATE_TEST_SUITE_P(Pipelines, DepthXyzAtResolution, ::testing::Values(0, 1, 2, 3));

// What the runtime maps these samples to, asked directly.
std::vector<LONG> runtimeCoordinates(int code, std::vector<std::uint16_t> samples) {
    INuiSensor* sensor = nullptr;
    EXPECT_TRUE(SUCCEEDED(NuiCreateSensorByIndex(kSensor, &sensor)));
    std::vector<LONG> coordinates(2 * samples.size());
    EXPECT_TRUE(SUCCEEDED(sensor->NuiImageGetColorPixelCoordinateFrameFromDepthPixelFrameAtResolution(
        static_cast<NUI_IMAGE_RESOLUTION>(code), static_cast<NUI_IMAGE_RESOLUTION>(code), static_cast<DWORD>(samples.size()), samples.data(), static_cast<DWORD>(coordinates.size()),
        coordinates.data())));
    sensor->Release();
    return coordinates;
}

TEST(DepthPipeline, UvIsTheColorCoordinateOverTheImageSize) {
    Jvm::start();
    Session session({false, 1, -1, false});
    session.computeUV(true);
    const Size size = sizeOf(1);
    const std::vector<std::uint16_t> samples(size.pixels(), 2000 << 3);
    queueDepth(samples);
    ASSERT_TRUE(session.waitForDepth(1));
    ASSERT_EQ(session.received("depthFrames"), 1);

    // The depth code is passed as both resolutions, with the frame's samples.
    int mappings = 0;
    for (const virtual1::CallRecord& call : virtual1::callLog()) {
        if (call.operation != Operation::GetColorPixelCoordinates) continue;
        ++mappings;
        ASSERT_GE(call.arguments.size(), 5u);
        EXPECT_EQ(call.arguments[0], 1);
        EXPECT_EQ(call.arguments[1], 1);
        EXPECT_EQ(call.arguments[2], static_cast<std::int64_t>(size.pixels()));
        EXPECT_EQ(call.arguments[4], static_cast<std::int64_t>(2 * size.pixels()));
    }
    EXPECT_EQ(mappings, 1);

    const std::vector<jfloat> uv = session.uv(0);
    const std::vector<LONG> raw = runtimeCoordinates(1, samples);
    ASSERT_EQ(uv.size(), raw.size());
    bool sawCentre = false;
    for (std::size_t p = 0; p < size.pixels(); ++p) {
        ASSERT_EQ(uv[2 * p], static_cast<float>(raw[2 * p]) / 320.0f) << p;
        ASSERT_EQ(uv[2 * p + 1], static_cast<float>(raw[2 * p + 1]) / 240.0f) << p;
        if (raw[2 * p] == 160 && raw[2 * p + 1] == 120) {
            sawCentre = true;
            EXPECT_EQ(uv[2 * p], 0.5f);
            EXPECT_EQ(uv[2 * p + 1], 0.5f);
        }
    }
    EXPECT_TRUE(sawCentre) << "no depth pixel mapped to (160, 120)";
}

TEST(DepthPipeline, UvHoldsZerosUntilAMappingSucceedsAndKeepsTheLastOne) {
    Jvm::start();
    Session session({false, 0, -1, false});
    session.computeUV(true);
    const Size size = sizeOf(0);
    const std::vector<std::uint16_t> near(size.pixels(), 800 << 3), far(size.pixels(), 4000 << 3);

    virtual1::injectFailure(Operation::GetColorPixelCoordinates, E_FAIL, 1);
    queueDepth(near);
    ASSERT_TRUE(session.waitForDepth(1));
    queueDepth(near);
    ASSERT_TRUE(session.waitForDepth(2));
    virtual1::injectFailure(Operation::GetColorPixelCoordinates, E_FAIL, 1);
    queueDepth(far);
    ASSERT_TRUE(session.waitForDepth(3));
    ASSERT_EQ(session.received("depthFrames"), 3);

    const std::vector<jfloat> first = session.uv(0), second = session.uv(1), third = session.uv(2);
    EXPECT_EQ(first, std::vector<jfloat>(2 * size.pixels(), 0.0f));
    const std::vector<LONG> raw = runtimeCoordinates(0, near);
    for (std::size_t i = 0; i < raw.size(); ++i) {
        ASSERT_EQ(second[i], static_cast<float>(raw[i]) / (i % 2 == 0 ? 80.0f : 60.0f)) << i;
    }
    EXPECT_EQ(third, second);
}

TEST(DepthPipeline, PaddedRowsArriveWithoutTheirPadding) {
    Jvm::start();
    Session session({false, 0, -1, false});
    session.computeXYZ(true);
    const Size size = sizeOf(0);
    const std::vector<std::uint16_t> samples = patternSamples(size, 3);
    const int pitch = size.width * 2 + 6;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(pitch) * size.height, 0xEE);
    for (int row = 0; row < size.height; ++row) {
        std::memcpy(bytes.data() + static_cast<std::size_t>(row) * pitch, samples.data() + row * size.width,
                    size.width * 2);
    }
    virtual1::queueImageFrame(kSensor, virtual1::Stream::Depth, imageFrame(bytes, pitch));
    queueDepth(samples);  // the same frame packed
    ASSERT_TRUE(session.waitForDepth(2));
    ASSERT_EQ(session.received("depthFrames"), 2);
    EXPECT_EQ(unsignedOf(session.depth(0)), samples);
    EXPECT_EQ(session.xyz(0), session.xyz(1));
}

TEST(DepthPipeline, BuffersTooSmallForTheImageAreCountedButNotRead) {
    Jvm::start();
    Session session({false, 0, -1, false});
    session.computeUV(true);
    session.computeXYZ(true);
    const Size size = sizeOf(0);
    const std::vector<std::uint16_t> samples = patternSamples(size, 1);
    // One byte short of the image.
    virtual1::ScriptedImageFrame shortFrame = depthFrame(samples);
    shortFrame.bytes.pop_back();
    virtual1::queueImageFrame(kSensor, virtual1::Stream::Depth, shortFrame);
    // Rows claimed shorter than a packed row.
    virtual1::queueImageFrame(kSensor, virtual1::Stream::Depth, depthFrame(samples, size.width * 2 - 2));
    // An empty frame.
    virtual1::queueImageFrame(kSensor, virtual1::Stream::Depth, depthFrame(samples, 0));
    queueDepth(samples);
    ASSERT_TRUE(session.waitForDepth(4));
    EXPECT_EQ(session.received("depthFrames"), 1);
    EXPECT_EQ(unsignedOf(session.depth(0)), samples);
    EXPECT_EQ(loggedCalls(Operation::GetColorPixelCoordinates), 1);
    EXPECT_EQ(virtual1::framesOutstanding(kSensor), 0);
}

TEST(DepthPipeline, AFailedFetchIsNeitherDeliveredNorCounted) {
    Jvm::start();
    Session session({false, 0, -1, false});
    virtual1::injectFailure(Operation::ImageStreamGetNextFrame, E_NUI_FRAME_NO_DATA, 1);
    queueDepth(patternSamples(sizeOf(0), 0));
    ASSERT_TRUE(session.waitForDepth(1));
    queueDepth(patternSamples(sizeOf(0), 1));
    ASSERT_TRUE(session.waitForDepth(2));
    session.stop();
    EXPECT_EQ(loggedCalls(Operation::ImageStreamGetNextFrame, false), 1);
    EXPECT_EQ(loggedCalls(Operation::ImageStreamGetNextFrame, true), 2);
    EXPECT_EQ(loggedCalls(Operation::ImageStreamReleaseFrame), 2);
    EXPECT_EQ(session.depthCount(), 2);
    EXPECT_EQ(session.received("depthFrames"), 2);
}

TEST(DepthPipelineWithoutCallback, FramesAreCountedAndJavaIsNotCalled) {
    Jvm::start(JvmOptions{{variantJar("pipelines_no_depth_callback"), fixturesJar()}, {}});
    Session session({false, 0, -1, false});
    EXPECT_EQ(session.startException(), "java.lang.NoSuchMethodError");
    session.computeXYZ(true);
    queueDepth(patternSamples(sizeOf(0), 0));
    queueDepth(patternSamples(sizeOf(0), 1));
    ASSERT_TRUE(session.waitForDepth(2));
    EXPECT_EQ(session.received("depthFrames"), 0);
    EXPECT_EQ(virtual1::framesOutstanding(kSensor), 0);
}

TEST(DepthPipelineOutOfMemory, AnArrayTheVmCannotMakeSkipsTheFrameAndTheNextOneArrives) {
    // 1280 x 960 points are a 14.7 MB float[]: more than this VM's whole heap.
    Jvm::start(JvmOptions{{}, {"-Xmx12m"}});
    javaStatic<void>("edu/qet/brightloom/plexa/testing/PipelineErrorCapture", "start", "()V");
    Session session({false, 3, -1, false});
    session.computeXYZ(true);
    queueDepth(std::vector<std::uint16_t>(sizeOf(3).pixels(), 8000));
    ASSERT_TRUE(session.waitForDepth(1));
    EXPECT_EQ(session.received("depthFrames"), 0);
    EXPECT_EQ(virtual1::framesOutstanding(kSensor), 0);

    session.computeXYZ(false);
    queueDepth(std::vector<std::uint16_t>(sizeOf(3).pixels(), 8000));
    ASSERT_TRUE(session.waitForDepth(2));
    EXPECT_EQ(session.received("depthFrames"), 1);
    const auto errors = javaStatic<jstring>("edu/qet/brightloom/plexa/testing/PipelineErrorCapture", "captured",
                                            "()Ljava/lang/String;");
    const char* text = Jvm::start().env()->GetStringUTFChars(errors, nullptr);
    EXPECT_NE(std::string(text).find("java.lang.OutOfMemoryError"), std::string::npos) << text;
    Jvm::start().env()->ReleaseStringUTFChars(errors, text);
}

}  // namespace
}  // namespace plexa::test::pipelines
