// The body stage, the body-index image and the mapping stage in a real VM,
// against the scripted virtual sensor.
#include "Plexa2Support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace plexa::test::bridge2 {
namespace {

using virtual2::FrameKind;
using virtual2::Operation;

class Plexa2Bodies : public ::testing::Test {
protected:
    void SetUp() override {
        Jvm::start();
        useScriptedSensor();
    }
    void start(int flags) { ASSERT_EQ(startNUI(flags, recorder.target(), 0), 0); }
    void deliver(const virtual2::ScriptedFrame& frame) {
        const int before = recorder.frames();
        virtual2::queueFrame(frame);
        ASSERT_TRUE(recorder.waitForFrames(before + 1));
    }
    static virtual2::ScriptedFrame bodiesFrame(std::initializer_list<int> trackedSlots) {
        virtual2::ScriptedFrame frame;
        frame.bodies = virtual2::ScriptedBodies{};
        frame.bodies->floorClipPlane = {0.1f, 0.9f, -0.2f, 1.25f};
        for (int slot : trackedSlots) frame.bodies->bodies[static_cast<std::size_t>(slot)] = trackedBody(slot);
        return frame;
    }

    Recorder recorder;
};

TEST_F(Plexa2Bodies, BodyEntriesComeTogetherAndLastOnlyWhenABodyIsTracked) {
    start(kDepth | kBody | kBodyIndex);
    virtual2::ScriptedFrame frame = bodiesFrame({});
    frame.depth = shortImage(8, 6);
    frame.bodyIndex = bodyIndexImage(8, 6);
    deliver(frame);
    EXPECT_EQ(recorder.types(0), (std::vector<int>{8, 16}));
    frame.bodies->bodies[4] = trackedBody(4);
    deliver(frame);
    EXPECT_EQ(recorder.types(1), (std::vector<int>{8, 16, 32, 512, 1024, 2048}));
    EXPECT_EQ(recorder.length(1, 1), 48);  // body index: width x height bytes, no size report
    EXPECT_EQ(recorder.calls()[0], "depth 8x6");
    EXPECT_EQ(recorder.length(1, 2), 6);
    EXPECT_EQ(recorder.length(1, 3), 454);
    EXPECT_EQ(recorder.length(1, 4), 600);
    EXPECT_EQ(recorder.length(1, 5), 150);
}

TEST_F(Plexa2Bodies, AnyOneExtraBodyBitDeliversAllFourEntries) {
    for (int bit : {kBodyPositions, kBodyOrientations, kBodyJointStates}) {
        start(bit);
        const int before = recorder.frames();
        deliver(bodiesFrame({0}));
        EXPECT_EQ(recorder.types(before), (std::vector<int>{32, 512, 1024, 2048})) << std::hex << bit;
        stopNUI(0);
    }
}

TEST_F(Plexa2Bodies, OneTrackedSlotFillsItsPlaceAndUntrackedSlotsKeepTheirLastValues) {
    start(kBody);
    deliver(bodiesFrame({3}));
    EXPECT_EQ(recorder.booleans(0, 0), (std::vector<bool>{false, false, false, true, false, false}));
    const std::vector<float> positions = recorder.floats(0, 1);
    ASSERT_EQ(positions.size(), 454u);
    EXPECT_EQ(std::vector<float>(positions.begin(), positions.begin() + 4), (std::vector<float>{0.1f, 0.9f, -0.2f, 1.25f}));
    for (int i = 4; i < 454; ++i) {
        const int joint = (i - 4) / 3 - 75;  // slot 3 holds elements 229 to 303
        if (i >= 229 && i <= 303) {
            const float expected[3] = {3.0f, static_cast<float>(joint), 0.5f};
            EXPECT_EQ(positions[static_cast<std::size_t>(i)], expected[(i - 4) % 3]) << i;
        } else {
            EXPECT_EQ(positions[static_cast<std::size_t>(i)], 0.0f) << "never-tracked slots deliver zeros, at " << i;
        }
    }
    const std::vector<float> orientations = recorder.floats(0, 2);
    ASSERT_EQ(orientations.size(), 600u);
    for (int j = 0; j < 25; ++j) {
        const std::size_t at = static_cast<std::size_t>((75 + j) * 4);
        EXPECT_EQ(std::vector<float>(orientations.begin() + at, orientations.begin() + at + 4),
                  (std::vector<float>{static_cast<float>(j), 3.0f, 0.0f, 1.0f}));
    }
    EXPECT_EQ(orientations[0], 0.0f);
    const std::vector<std::int8_t> states = recorder.bytes(0, 3);
    ASSERT_EQ(states.size(), 150u);
    for (int i = 0; i < 150; ++i) EXPECT_EQ(states[static_cast<std::size_t>(i)], (i >= 75 && i < 100) ? 2 : 0) << i;

    // Slot 3 leaves, slot 1 comes: slot 3 keeps what it last had.
    deliver(bodiesFrame({1}));
    EXPECT_EQ(recorder.booleans(1, 0), (std::vector<bool>{false, true, false, false, false, false}));
    const std::vector<float> later = recorder.floats(1, 1);
    EXPECT_EQ(std::vector<float>(later.begin() + 229, later.begin() + 304),
              std::vector<float>(positions.begin() + 229, positions.begin() + 304));
    EXPECT_EQ(later[4 + 25 * 3], 1.0f);  // slot 1, joint 0, x
    EXPECT_EQ(recorder.bytes(1, 3)[80], 2);
}

TEST_F(Plexa2Bodies, AFailedTrackedQueryOfTheLastSlotEndsDescribing) {
    start(kBody | kInfrared | kLongExposure);
    virtual2::ScriptedFrame frame = bodiesFrame({0, 1});
    frame.infrared = shortImage(8, 6);
    frame.longExposureInfrared = shortImage(8, 6);
    virtual2::injectFailure(Operation::BodyGetIsTracked, E_FAIL, 1, FrameKind::None, 5);
    deliver(frame);
    EXPECT_EQ(recorder.types(0), (std::vector<int>{2, 4, 32, 512, 1024, 2048}));
    EXPECT_EQ(recorder.length(0, 0), 0);
    EXPECT_EQ(recorder.length(0, 1), 0);
    EXPECT_EQ(recorder.booleans(0, 2), (std::vector<bool>{true, true, false, false, false, false}));

    for (int slot = 0; slot < 5; ++slot) {
        virtual2::injectFailure(Operation::BodyGetIsTracked, E_FAIL, 1, FrameKind::None, slot);
        deliver(frame);
        const int f = slot + 1;
        EXPECT_EQ(recorder.length(f, 0), 48) << "slot " << slot;
        EXPECT_EQ(recorder.length(f, 1), 48) << "slot " << slot;
        // A slot whose query failed counts as not tracked.
        const std::vector<bool> tracked = recorder.booleans(f, 2);
        EXPECT_EQ(tracked[0], slot != 0) << "slot " << slot;
        EXPECT_EQ(tracked[1], slot != 1) << "slot " << slot;
    }
}

TEST_F(Plexa2Bodies, FailedJointQueriesDeliverZerosNotAnotherBodysJoints) {
    start(kBody);
    virtual2::injectFailure(Operation::BodyGetJoints, E_FAIL, 1, FrameKind::None, 2);
    virtual2::injectFailure(Operation::BodyGetJointOrientations, E_FAIL, 1, FrameKind::None, 2);
    deliver(bodiesFrame({1, 2}));
    EXPECT_EQ(recorder.booleans(0, 0), (std::vector<bool>{false, true, true, false, false, false}));
    const std::vector<float> positions = recorder.floats(0, 1);
    const std::vector<float> orientations = recorder.floats(0, 2);
    EXPECT_EQ(positions[4 + 25 * 3], 1.0f);  // slot 1 is whole
    for (int i = 4 + 50 * 3; i < 4 + 75 * 3; ++i) EXPECT_EQ(positions[static_cast<std::size_t>(i)], 0.0f) << i;
    for (int i = 50 * 4; i < 75 * 4; ++i) EXPECT_EQ(orientations[static_cast<std::size_t>(i)], 0.0f) << i;
}

TEST_F(Plexa2Bodies, EveryStreamBothMappingsAndATrackedBodyGiveTheWholeList) {
    start(0x7F | kUv | kXyz);
    virtual2::ScriptedFrame frame = smallFrame();
    frame.bodies->bodies[0] = trackedBody(0);
    deliver(frame);
    EXPECT_EQ(recorder.types(0), (std::vector<int>{1, 8, 256, 4096, 16, 2, 4, 32, 512, 1024, 2048}));
    EXPECT_EQ(recorder.entryCount(0), 11);
}

// The mapping stage: the runtime's own mapper, asked by the test directly,
// says what the bridge must deliver.
class Plexa2Mapping : public Plexa2Bodies {
protected:
    static std::vector<float> colorPointsOf(const std::vector<std::uint16_t>& depth) {
        std::vector<ColorSpacePoint> points(depth.size());
        withMapper([&](ICoordinateMapper* mapper) {
            mapper->MapDepthFrameToColorSpace(static_cast<UINT>(depth.size()), depth.data(),
                                              static_cast<UINT>(points.size()), points.data());
        });
        std::vector<float> flat;
        for (const ColorSpacePoint& p : points) {
            flat.push_back(p.X / 1920.0f);
            flat.push_back(p.Y / 1080.0f);
        }
        return flat;
    }
    static std::vector<float> cameraPointsOf(const std::vector<std::uint16_t>& depth) {
        std::vector<CameraSpacePoint> points(depth.size());
        withMapper([&](ICoordinateMapper* mapper) {
            mapper->MapDepthFrameToCameraSpace(static_cast<UINT>(depth.size()), depth.data(),
                                               static_cast<UINT>(points.size()), points.data());
        });
        std::vector<float> flat;
        for (const CameraSpacePoint& p : points) flat.insert(flat.end(), {p.X, p.Y, p.Z});
        return flat;
    }
    template <typename Use>
    static void withMapper(Use use) {
        IKinectSensor* sensor = nullptr;
        ASSERT_TRUE(SUCCEEDED(GetDefaultKinectSensor(&sensor)));
        ICoordinateMapper* mapper = nullptr;
        sensor->get_CoordinateMapper(&mapper);
        ASSERT_NE(mapper, nullptr);
        use(mapper);
        mapper->Release();
        sensor->Release();
    }
    // Bit for bit: NaN and infinity (pixels without a mapping) included.
    static bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
        return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
    }
    static std::vector<std::uint16_t> depthRamp(int width, int height) {
        std::vector<std::uint16_t> samples(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::uint16_t>(i % 5 == 0 ? 0 : 600 + 37 * i);
        return samples;
    }
};

TEST_F(Plexa2Mapping, UvIsTheMappersColorPointDividedByTheFullColorImageAlsoWithoutColor) {
    start(kDepth | kUv);
    virtual2::ScriptedFrame frame;
    frame.depth = shortImage(16, 8);
    frame.depth->samples = depthRamp(16, 8);
    deliver(frame);
    EXPECT_EQ(recorder.types(0), (std::vector<int>{8, 256}));
    const auto mapped = callsOf(Operation::MapperMapDepthFrameToColorSpace);
    ASSERT_EQ(mapped.size(), 1u);
    EXPECT_EQ(mapped[0].arguments, (std::vector<std::int64_t>{16 * 8, 16 * 8}));
    const std::vector<float> uv = recorder.floats(0, 1);
    EXPECT_EQ(uv.size(), 2u * 16 * 8);
    EXPECT_TRUE(sameBits(uv, colorPointsOf(frame.depth->samples)));
}

TEST_F(Plexa2Mapping, XyzIsTheMappersCameraPointUnchanged) {
    start(kDepth | kColor | kXyz);
    virtual2::ScriptedFrame frame;
    frame.color = bgraImage(16, 9);
    frame.depth = shortImage(12, 7);
    frame.depth->samples = depthRamp(12, 7);
    deliver(frame);
    EXPECT_EQ(recorder.types(0), (std::vector<int>{1, 8, 4096}));
    const std::vector<float> xyz = recorder.floats(0, 2);
    EXPECT_EQ(xyz.size(), 3u * 12 * 7);
    EXPECT_TRUE(sameBits(xyz, cameraPointsOf(frame.depth->samples)));
}

TEST_F(Plexa2Mapping, ADepthSizeChangeResizesBothMappingsInTheSameFrame) {
    start(kDepth | kUv | kXyz);
    virtual2::ScriptedFrame frame;
    frame.depth = shortImage(8, 6);
    deliver(frame);
    frame.depth = shortImage(10, 5);
    frame.depth->samples = depthRamp(10, 5);
    deliver(frame);
    EXPECT_EQ(recorder.length(0, 1), 2 * 8 * 6);
    EXPECT_EQ(recorder.length(0, 2), 3 * 8 * 6);
    EXPECT_EQ(recorder.length(1, 1), 2 * 10 * 5);
    EXPECT_EQ(recorder.length(1, 2), 3 * 10 * 5);
    EXPECT_TRUE(sameBits(recorder.floats(1, 1), colorPointsOf(frame.depth->samples)));
}

TEST_F(Plexa2Mapping, WithoutTheDepthStreamThereIsNoMappingEntryAndNoMappingCall) {
    start(kColor | kUv | kXyz);
    virtual2::ScriptedFrame frame;
    frame.color = bgraImage(16, 9);
    deliver(frame);
    EXPECT_EQ(recorder.types(0), (std::vector<int>{1}));
    EXPECT_EQ(countOf(Operation::MapperMapDepthFrameToColorSpace), 0);
    EXPECT_EQ(countOf(Operation::MapperMapDepthFrameToCameraSpace), 0);
}

TEST_F(Plexa2Mapping, AFrameThatFailsBeforeTheMappingRepeatsTheLastOne) {
    start(kDepth | kUv | kXyz);
    virtual2::ScriptedFrame frame;
    frame.depth = shortImage(8, 6);
    frame.depth->samples = depthRamp(8, 6);
    deliver(frame);
    virtual2::injectFailure(Operation::FrameAccessUnderlyingBuffer, E_FAIL, 1, FrameKind::Depth);
    frame.depth->samples.assign(48, 1000);
    deliver(frame);
    EXPECT_EQ(recorder.length(1, 0), 0);
    EXPECT_TRUE(sameBits(recorder.floats(1, 1), recorder.floats(0, 1)));
    EXPECT_TRUE(sameBits(recorder.floats(1, 2), recorder.floats(0, 2)));
    EXPECT_EQ(countOf(Operation::MapperMapDepthFrameToColorSpace), 1);
}

TEST_F(Plexa2Mapping, AFailedColorMappingDeliversTheLastMappedPointsNormalisedOnce) {
    start(kDepth | kUv);
    virtual2::ScriptedFrame frame;
    frame.depth = shortImage(8, 6);
    frame.depth->samples = depthRamp(8, 6);
    deliver(frame);
    // The mapper fails without writing: the points of the first frame stay,
    // and are not divided by the image size a second time.
    virtual2::injectFailure(Operation::MapperMapDepthFrameToColorSpace, E_FAIL, 1);
    frame.depth->samples.assign(48, 1000);
    deliver(frame);
    EXPECT_EQ(countOf(Operation::MapperMapDepthFrameToColorSpace), 2);
    EXPECT_TRUE(sameBits(recorder.floats(1, 1), recorder.floats(0, 1)));
}

TEST_F(Plexa2Mapping, ADepthBufferSmallerThanItsImageIsNotMapped) {
    start(kDepth | kUv | kXyz);
    virtual2::ScriptedFrame frame;
    frame.depth = shortImage(8, 6);
    frame.depth->samples.resize(40);
    deliver(frame);
    EXPECT_EQ(recorder.types(0), (std::vector<int>{8, 256, 4096}));
    EXPECT_EQ(recorder.length(0, 0), 40);
    EXPECT_EQ(recorder.length(0, 1), 0);
    EXPECT_EQ(recorder.length(0, 2), 0);
    EXPECT_EQ(countOf(Operation::MapperMapDepthFrameToColorSpace), 0);
}

TEST_F(Plexa2Mapping, WithoutAMapperNeitherIntrinsicsNorMappingsAreAttempted) {
    virtual2::setMapperPresent(false);
    start(kDepth | kUv | kXyz);
    virtual2::ScriptedFrame frame;
    frame.depth = shortImage(8, 6);
    deliver(frame);
    EXPECT_EQ(recorder.types(0), (std::vector<int>{8, 256, 4096}));
    EXPECT_EQ(recorder.length(0, 1), 0);
    EXPECT_EQ(recorder.length(0, 2), 0);
    EXPECT_TRUE(recorder.intrinsics().empty());
    EXPECT_EQ(countOf(Operation::MapperGetDepthCameraIntrinsics), 0);
    stopNUI(0);
    EXPECT_EQ(virtual2::liveObjectCount(), 0);
}

}  // namespace
}  // namespace plexa::test::bridge2
