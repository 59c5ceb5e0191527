// The multi-source frame pipeline in a real VM, against the scripted virtual
// sensor: the list and its arrays, color paths, size and intrinsics reports,
// dropped frames, and that every runtime object taken is given back.
#include "Plexa2Support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace plexa::test::bridge2 {
namespace {

using virtual2::FrameKind;
using virtual2::Operation;

constexpr int kImageStreams = kColor | kDepth | kBodyIndex | kInfrared | kLongExposure;

std::vector<std::int16_t> asShorts(const std::vector<std::uint16_t>& samples) {
    return {samples.begin(), samples.end()};
}

std::vector<std::int8_t> asBytes(const std::vector<std::uint8_t>& bytes, std::size_t count) {
    return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count)};
}

// Frames go through in the order queued; started with the streams asked for.
class Plexa2Frames : public ::testing::Test {
protected:
    void SetUp() override {
        Jvm::start();
        useScriptedSensor();
    }
    void start(int flags) {
        ASSERT_EQ(startNUI(flags, recorder.target(), 0), 0);
        objectsWhileIdle = virtual2::liveObjectCount();
    }
    void deliver(const virtual2::ScriptedFrame& frame) {
        const int before = recorder.frames();
        virtual2::queueFrame(frame);
        ASSERT_TRUE(recorder.waitForFrames(before + 1));
    }
    bool everythingGivenBack() const {
        return waitUntil([this] { return virtual2::liveObjectCount() == objectsWhileIdle; });
    }

    Recorder recorder;
    int objectsWhileIdle = 0;
};

TEST_F(Plexa2Frames, EveryImageStreamInListOrderWithItsLength) {
    start(kImageStreams | kBody | kAudio);
    virtual2::ScriptedFrame frame = smallFrame();
    frame.depth->samples.resize(60, 7);         // capacity beyond 8 x 6
    frame.infrared->samples.resize(50, 9);      // only 8 x 6 of these are the image
    frame.longExposureInfrared->samples.resize(50, 9);
    deliver(frame);

    EXPECT_EQ(recorder.types(0), (std::vector<int>{1, 8, 16, 2, 4}));  // no body tracked: no body entries
    EXPECT_EQ(recorder.bytes(0, 0), asBytes(frame.color->raw, 16 * 9 * 4));
    EXPECT_EQ(recorder.shorts(0, 1), asShorts(frame.depth->samples));  // the buffer's whole capacity
    EXPECT_EQ(recorder.bytes(0, 2), asBytes(frame.bodyIndex->bytes, 48));
    EXPECT_EQ(recorder.shorts(0, 3), asShorts({frame.infrared->samples.begin(), frame.infrared->samples.begin() + 48}));
    EXPECT_EQ(recorder.shorts(0, 4), asShorts({frame.longExposureInfrared->samples.begin(),
                                               frame.longExposureInfrared->samples.begin() + 48}));
    EXPECT_TRUE(frameCounterReaches(1));
    EXPECT_TRUE(everythingGivenBack());
}

TEST_F(Plexa2Frames, RawBgraIsDeliveredWithoutConversionAndOtherFormatsAreConverted) {
    start(kColor);
    virtual2::ScriptedFrame frame;
    frame.color = bgraImage(16, 9);
    deliver(frame);
    EXPECT_EQ(countOf(Operation::ColorAccessRawUnderlyingBuffer), 1);
    EXPECT_EQ(countOf(Operation::ColorCopyConvertedFrameDataToArray), 0);
    EXPECT_EQ(recorder.bytes(0, 0), asBytes(frame.color->raw, 16 * 9 * 4));

    frame.color = yuy2Image(16, 9);
    deliver(frame);
    deliver(frame);
    frame.color = yuy2Image(32, 18);
    deliver(frame);
    const auto conversions = callsOf(Operation::ColorCopyConvertedFrameDataToArray);
    ASSERT_EQ(conversions.size(), 3u);
    EXPECT_EQ(conversions[0].arguments, (std::vector<std::int64_t>{16 * 9 * 4, ColorImageFormat_Bgra}));
    EXPECT_EQ(conversions[1].arguments, (std::vector<std::int64_t>{16 * 9 * 4, ColorImageFormat_Bgra}));
    EXPECT_EQ(conversions[2].arguments, (std::vector<std::int64_t>{32 * 18 * 4, ColorImageFormat_Bgra}));
    EXPECT_EQ(recorder.length(1, 0), 16 * 9 * 4);
    EXPECT_EQ(recorder.length(3, 0), 32 * 18 * 4);
    const auto converted = recorder.bytes(3, 0);
    EXPECT_TRUE(std::any_of(converted.begin(), converted.end(), [](std::int8_t b) { return b != 0; }));
    EXPECT_EQ(recorder.calls(), (std::vector<std::string>{"color 16x9", "intrinsics", "frame [1]", "frame [1]",
                                                          "frame [1]", "color 32x18", "frame [1]"}));
}

TEST_F(Plexa2Frames, BuffersSmallerThanTheirImageAreNeverReadPastTheirEnd) {
    start(kImageStreams);
    virtual2::ScriptedFrame frame = smallFrame();
    frame.color->raw.resize(16 * 9 * 4 - 1);
    frame.bodyIndex->bytes.resize(47);
    frame.infrared->samples.resize(47);
    frame.longExposureInfrared->samples.resize(10);
    frame.depth->samples.resize(5);
    deliver(frame);
    EXPECT_EQ(recorder.types(0), (std::vector<int>{1, 8, 16, 2, 4}));
    EXPECT_EQ(recorder.length(0, 0), 0);
    EXPECT_EQ(recorder.length(0, 1), 5);  // depth delivers its buffer as it is
    EXPECT_EQ(recorder.length(0, 2), 0);
    EXPECT_EQ(recorder.length(0, 3), 0);
    EXPECT_EQ(recorder.length(0, 4), 0);
    // The sizes reported are the described ones.
    EXPECT_EQ(recorder.calls().front(), "color 16x9");
    EXPECT_TRUE(everythingGivenBack());
}

TEST_F(Plexa2Frames, SizesAreReportedBeforeTheFrameAndOnlyWhenTheyChange) {
    start(kColor | kDepth | kInfrared | kLongExposure);
    virtual2::ScriptedFrame frame = smallFrame();
    deliver(frame);
    deliver(frame);
    frame.depth = shortImage(10, 5);
    frame.infrared = shortImage(4, 4);
    deliver(frame);
    EXPECT_EQ(recorder.calls(),
              (std::vector<std::string>{"color 16x9", "depth 8x6", "infrared 8x6", "longExposureInfrared 8x6",
                                        "intrinsics", "frame [1, 8, 2, 4]", "frame [1, 8, 2, 4]", "depth 10x5",
                                        "infrared 4x4", "frame [1, 8, 2, 4]"}));
}

TEST_F(Plexa2Frames, ADescribingFailureReportsZeroSizesAndTheNextGoodFrameTheRealOnes) {
    start(kColor | kDepth | kInfrared | kLongExposure);
    virtual2::ScriptedFrame frame = smallFrame();
    deliver(frame);
    // The very first describing call fails: nothing of this frame is described.
    virtual2::injectFailure(Operation::FrameGetRelativeTime, E_FAIL, 1, FrameKind::Depth);
    deliver(frame);
    EXPECT_EQ(recorder.types(1), (std::vector<int>{1, 8, 2, 4}));
    for (int entry = 0; entry < 4; ++entry) EXPECT_EQ(recorder.length(1, entry), 0) << entry;
    deliver(frame);
    EXPECT_EQ(recorder.length(2, 1), 48);
    const auto calls = recorder.calls();
    const std::vector<std::string> afterFirst(calls.begin() + 6, calls.end());
    EXPECT_EQ(afterFirst, (std::vector<std::string>{"color 0x0", "depth 0x0", "infrared 0x0", "longExposureInfrared 0x0",
                                                    "frame [1, 8, 2, 4]", "color 16x9", "depth 8x6", "infrared 8x6",
                                                    "longExposureInfrared 8x6", "frame [1, 8, 2, 4]"}));
    EXPECT_TRUE(frameCounterReaches(3));
    EXPECT_TRUE(everythingGivenBack());
}

TEST_F(Plexa2Frames, AFailedConversionEndsDescribingAndDeliversTheColorBufferAtTheFramesSize) {
    start(kColor | kDepth | kInfrared);
    virtual2::ScriptedFrame frame = smallFrame();
    frame.color = yuy2Image(16, 9);
    virtual2::injectFailure(Operation::ColorCopyConvertedFrameDataToArray, E_FAIL);
    deliver(frame);
    EXPECT_EQ(recorder.types(0), (std::vector<int>{1, 8, 2}));
    EXPECT_EQ(recorder.length(0, 0), 16 * 9 * 4);  // the (zeroed) conversion buffer
    EXPECT_EQ(recorder.length(0, 1), 48);          // depth came before color
    EXPECT_EQ(recorder.length(0, 2), 0);           // infrared was not reached
}

TEST_F(Plexa2Frames, IntrinsicsAreReportedOnceAndRetriedAfterAFailedQuery) {
    start(kDepth);
    virtual2::ScriptedFrame frame;
    frame.depth = shortImage(8, 6);
    virtual2::injectFailure(Operation::MapperGetDepthCameraIntrinsics, E_FAIL);
    deliver(frame);
    EXPECT_TRUE(recorder.intrinsics().empty());
    deliver(frame);
    deliver(frame);
    const CameraIntrinsics expected = virtual2::depthIntrinsics();
    EXPECT_EQ(recorder.intrinsics(),
              (std::vector<float>{expected.FocalLengthX, expected.FocalLengthY, expected.PrincipalPointX,
                                  expected.PrincipalPointY, expected.RadialDistortionSecondOrder,
                                  expected.RadialDistortionFourthOrder, expected.RadialDistortionSixthOrder}));
    EXPECT_EQ(countOf(Operation::MapperGetDepthCameraIntrinsics), 2);
    EXPECT_EQ(recorder.calls(), (std::vector<std::string>{"depth 8x6", "frame [8]", "intrinsics", "frame [8]",
                                                          "frame [8]"}));
}

TEST_F(Plexa2Frames, AFrameThatCannotBeTakenIsDroppedWithoutAJavaCall) {
    start(kColor | kDepth | kInfrared);
    const virtual2::ScriptedFrame frame = smallFrame();
    virtual2::injectFailure(Operation::MultiSourceGetInfraredFrameReference, E_FAIL);
    virtual2::queueFrame(frame);
    deliver(frame);
    virtual2::injectFailure(Operation::DepthReferenceAcquireFrame, E_FAIL);
    virtual2::queueFrame(frame);
    deliver(frame);
    EXPECT_EQ(recorder.frames(), 2);
    EXPECT_TRUE(frameCounterReaches(2));
    EXPECT_EQ(countOf(Operation::ReaderAcquireLatestFrame), 4);
    // The dropped frames asked for nothing beyond their acquisition.
    EXPECT_EQ(countOf(Operation::FrameGetFrameDescription), 2 * 3);
    EXPECT_TRUE(everythingGivenBack());
}

TEST_F(Plexa2Frames, AFailedLatestFrameIsTriedAgain) {
    start(kDepth);
    virtual2::injectFailure(Operation::ReaderAcquireLatestFrame, E_FAIL);
    virtual2::ScriptedFrame frame;
    frame.depth = shortImage(8, 6);
    deliver(frame);
    EXPECT_TRUE(frameCounterReaches(1));
    EXPECT_TRUE(everythingGivenBack());
}

TEST_F(Plexa2Frames, AFrameWithoutEntriesIsStillDeliveredAndCounted) {
    start(kBody);
    virtual2::ScriptedFrame frame;
    frame.bodies = virtual2::ScriptedBodies{};
    deliver(frame);
    EXPECT_TRUE(recorder.types(0).empty());
    EXPECT_EQ(recorder.entryCount(0), 0);
    EXPECT_TRUE(frameCounterReaches(1));
}

TEST_F(Plexa2Frames, EverythingTakenIsGivenBackAfterEveryFrameAndAfterStop) {
    const int beforeStart = virtual2::liveObjectCount();
    start(0x7F | kUv | kXyz);
    virtual2::ScriptedFrame frame = smallFrame();
    frame.bodies->bodies[2] = trackedBody(2);
    for (int i = 0; i < 3; ++i) {
        deliver(frame);
        EXPECT_TRUE(everythingGivenBack()) << "after frame " << i;
    }
    stopNUI(0);
    EXPECT_EQ(virtual2::liveObjectCount(), beforeStart);
}

TEST_F(Plexa2Frames, ACallbackThatThrowsDoesNotStopTheNextFrame) {
    start(kDepth);
    recorder.throwOnFrame(0);
    virtual2::ScriptedFrame frame;
    frame.depth = shortImage(8, 6);
    deliver(frame);
    deliver(frame);
    EXPECT_EQ(recorder.frames(), 2);
    EXPECT_TRUE(frameCounterReaches(2));  // the frame that threw counts too
}

TEST_F(Plexa2Frames, ReportsThatThrowAreClearedBeforeTheFrameGoesOn) {
    // A pending exception left by a report would make the VM's checks complain
    // at the next JNI call (and fail this test by its output).
    start(kColor | kDepth | kInfrared | kLongExposure);
    recorder.throwFromReports(true);
    deliver(smallFrame());
    EXPECT_EQ(recorder.types(0), (std::vector<int>{1, 8, 2, 4}));
    EXPECT_EQ(recorder.length(0, 1), 48);
    EXPECT_EQ(recorder.calls().size(), 6u);  // four sizes, intrinsics, frame
    EXPECT_TRUE(frameCounterReaches(1));
}

}  // namespace
}  // namespace plexa::test::bridge2

namespace plexa::test::bridge2 {
namespace {

TEST(Plexa2FrameDelivery, AnArrayTheVmCannotCreateSkipsTheFramesJavaCallsAndGivesEverythingBack) {
    Jvm::start(JvmOptions{{}, {"-Xmx48m"}});
    useScriptedSensor();
    Recorder recorder;
    ASSERT_EQ(startNUI(kDepth | kInfrared, recorder.target(), 0), 0);
    const int idle = virtual2::liveObjectCount();

    virtual2::ScriptedFrame huge;
    huge.depth = shortImage(8, 6);
    huge.depth->samples.resize(40u << 20);  // 80 MB of samples: no short[] of them fits the heap
    huge.infrared = shortImage(8, 6);
    virtual2::queueFrame(std::move(huge));
    virtual2::ScriptedFrame small;
    small.depth = shortImage(8, 6);
    small.infrared = shortImage(8, 6);
    virtual2::queueFrame(small);

    ASSERT_TRUE(recorder.waitForFrames(1));
    EXPECT_TRUE(frameCounterReaches(1)) << "the frame without its arrays was counted";
    EXPECT_EQ(recorder.frames(), 1);
    EXPECT_EQ(recorder.length(0, 0), 48);
    // The first frame got as far as its depth size; nothing after it reached Java.
    EXPECT_EQ(recorder.calls(),
              (std::vector<std::string>{"depth 8x6", "infrared 8x6", "intrinsics", "frame [8, 2]"}));
    EXPECT_TRUE(waitUntil([idle] { return virtual2::liveObjectCount() == idle; }));
    stopNUI(0);
}

}  // namespace
}  // namespace plexa::test::bridge2
