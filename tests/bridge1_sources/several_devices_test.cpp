// Several first-generation sensors streaming at once through the bridge, in a
// real VM: three devices of the stand-in libfreenect (tests/freenect_standin),
// one of them unplugged while the others stream, and two replayed recordings.
// Every frame Java receives is checked to be its own sensor's.
#include "../runtime1/ReplayFiles.h"
#include "capture.h"
#include "jvm.h"
#include "pipeline_session.h"
#include "standin_frames.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace plexa::test::pipelines {
namespace {

constexpr const char* kLatest = "edu/qet/brightloom/plexa/testing/LatestFramesPlexa1";
constexpr const char* kFormula = "edu/qet/brightloom/plexa/testing/FreenectFormula";
constexpr int kStatusNotConnected = 20;

jint status(int index) { return javaStatic<jint>(kPlexa1, "_getStatus", "(I)I", static_cast<jint>(index)); }

// A session on one sensor index, delivering to a target that keeps its latest frames.
class SensorSession {
public:
    SensorSession(int index, int depthResolution, int videoResolution) : index_(index) {
        javaStatic<jboolean>(kPlexa1, "_createNUI", "(I)Z", static_cast<jint>(index));
        target_ = Jvm::start().newObject(kLatest);
        startResult_ = callStatic<jint>(kPlexa1, "_startNUI", "(ZIIZLedu/qet/brightloom/plexa/Plexa1;I)I", JNI_FALSE,
                                        static_cast<jint>(depthResolution), static_cast<jint>(videoResolution),
                                        JNI_FALSE, target_, static_cast<jint>(index));
        takeException(Jvm::start().env());
    }
    ~SensorSession() {
        javaStatic<void>(kPlexa1, "_stopNUI", "(I)V", static_cast<jint>(index_));
        Jvm::start().env()->DeleteGlobalRef(target_);
    }
    SensorSession(const SensorSession&) = delete;
    SensorSession& operator=(const SensorSession&) = delete;

    jint startResult() const { return startResult_; }
    jlong depthCount() const { return javaStatic<jlong>(kPlexa1, "_getDepthFrameCounter", "(I)J", index()); }
    jlong videoCount() const { return javaStatic<jlong>(kPlexa1, "_getVideoFrameCounter", "(I)J", index()); }
    jint delivered(const char* counter) const { return javaMethod<jint>(target_, counter, "()I"); }
    template <typename R = void, typename... Args>
    R call(const char* name, const char* signature, Args... args) const {
        return javaMethod<R>(target_, name, signature, args...);
    }
    std::vector<jshort> latestDepth() const { return elementsOf<jshort>(javaMethod<jobject>(target_, "latestDepth", "()[S")); }
    std::vector<jbyte> latestColor() const { return elementsOf<jbyte>(javaMethod<jobject>(target_, "latestColor", "()[B")); }
    std::vector<jfloat> accelerometer() const {
        return elementsOf<jfloat>(javaStatic<jobject>(kPlexa1, "_getAccelerometerReading", "(I)[F", index()));
    }
    jlong elevation() const { return javaStatic<jlong>(kPlexa1, "_getElevationAngle", "(I)J", index()); }

private:
    jint index() const { return static_cast<jint>(index_); }
    int index_;
    jobject target_ = nullptr;
    jint startResult_ = -1;
};

// Delivered depth samples read back as the stand-in's frames, through the
// documented raw-to-millimetre conversion as Java computes it.
class StandinDepth {
public:
    StandinDepth() : bySample_(elementsOf<jshort>(javaStatic<jobject>(kFormula, "samples", "()[S"))) {
        for (int raw = standin::kFirstDecodableRaw; raw < standin::kFirstDecodableRaw + standin::kFramesApart; ++raw)
            rawOf_[bySample_.at(static_cast<std::size_t>(raw))] = raw;
    }
    bool decodable() const { return rawOf_.size() == static_cast<std::size_t>(standin::kFramesApart); }

    // Whether `samples` is, sample for sample, a frame of `device`; its frame number (modulo 400) in `cycle`.
    ::testing::AssertionResult isFrameOf(int device, const std::vector<jshort>& samples, int& cycle) const {
        if (samples.size() != standin::kPixels) return ::testing::AssertionFailure() << samples.size() << " samples";
        const auto deviceRaw = rawOf_.find(samples[0]);
        const auto cycleRaw = rawOf_.find(samples[1]);
        if (deviceRaw == rawOf_.end() || cycleRaw == rawOf_.end()) return ::testing::AssertionFailure() << "no stand-in frame";
        const int said = (deviceRaw->second - standin::kFirstDecodableRaw) / 10;
        if (said != device) return ::testing::AssertionFailure() << "a frame of device " << said;
        cycle = cycleRaw->second - standin::kFirstDecodableRaw;
        for (std::size_t p = 0; p < standin::kPixels; ++p) {
            if (samples[p] != bySample_[standin::rawDepth(device, cycle, p)]) {
                return ::testing::AssertionFailure() << "sample " << p << " differs from frame " << cycle;
            }
        }
        return ::testing::AssertionSuccess();
    }

private:
    std::vector<jshort> bySample_;
    std::map<jshort, int> rawOf_;
};

// Whether `bgrx` is the stand-in's RGB frame of `device`, blue, green, red, 0.
::testing::AssertionResult isColorOf(int device, const std::vector<jbyte>& bgrx) {
    if (bgrx.size() != 4 * standin::kPixels) return ::testing::AssertionFailure() << bgrx.size() << " bytes";
    const int said = static_cast<std::uint8_t>(bgrx[2]);
    if (said != device) return ::testing::AssertionFailure() << "a frame of device " << said;
    const long long frame = static_cast<std::uint8_t>(bgrx[1]) | (static_cast<std::uint8_t>(bgrx[0]) << 8);
    for (std::size_t p = 0; p < standin::kPixels; ++p) {
        for (std::size_t c = 0; c < 3; ++c) {
            if (static_cast<std::uint8_t>(bgrx[4 * p + c]) != standin::rgbByte(device, frame, 3 * p + 2 - c)) {
                return ::testing::AssertionFailure() << "pixel " << p << " differs from frame " << frame;
            }
        }
        if (bgrx[4 * p + 3] != 0) return ::testing::AssertionFailure() << "pixel " << p << " has a fourth byte";
    }
    return ::testing::AssertionSuccess();
}

// The accelerometer reading of a device's counts, as Java computes it.
std::vector<jfloat> ownReading(int device) {
    return elementsOf<jfloat>(javaStatic<jobject>(kFormula, "reading", "(III)[F",
                                                  static_cast<jint>(standin::accelerometerX(device)),
                                                  static_cast<jint>(standin::accelerometerY(device)),
                                                  static_cast<jint>(standin::accelerometerZ(device))));
}

jint setElevation(int degrees, int index) {
    return javaStatic<jint>(kPlexa1, "_setElevationAngle", "(II)I", static_cast<jint>(degrees), static_cast<jint>(index));
}

TEST(FreenectStandin, ThreeDevicesStreamTheirOwnFramesAndOneUnpluggedIsNotConnectedAlone) {
    ::setenv("PLEXA_SENSOR1", "freenect", 1);
    ::setenv("PLEXA_FREENECT_LIBRARY", PLEXA_FREENECT_STANDIN, 1);
    ::setenv("PLEXA_STANDIN_DEVICES", "3", 1);
    Jvm::start();
    ASSERT_EQ(javaStatic<jint>(kPlexa1, "_getSensorCount", "()I"), 3);
    const StandinDepth depth;
    ASSERT_TRUE(depth.decodable());

    std::vector<std::unique_ptr<SensorSession>> sessions;
    for (int i = 0; i < 3; ++i) sessions.push_back(std::make_unique<SensorSession>(i, 2, i == 0 ? 2 : -1));
    for (const auto& session : sessions) ASSERT_EQ(session->startResult(), 0);
    const auto everyStreamReaches = [&](jlong count, std::vector<int> indexes) {
        return waitUntil([&] {
            for (int i : indexes) {
                if (sessions[i]->depthCount() < count || (i == 0 && sessions[i]->videoCount() < count)) return false;
            }
            return true;
        });
    };
    ASSERT_TRUE(everyStreamReaches(3, {0, 1, 2}));

    std::vector<int> cycles(3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(depth.isFrameOf(i, sessions[i]->latestDepth(), cycles[i])) << "sensor " << i;
        EXPECT_EQ(status(i), 0);
        EXPECT_EQ(sessions[i]->elevation(), standin::tiltDegrees(i));
        EXPECT_EQ(sessions[i]->accelerometer(), ownReading(i)) << "sensor " << i;
    }
    EXPECT_TRUE(isColorOf(0, sessions[0]->latestColor()));
    EXPECT_EQ(sessions[1]->delivered("colorFrames"), 0);
    // Tilting one sensor moves that sensor's motor only.
    EXPECT_EQ(setElevation(-4, 2), 0);
    EXPECT_TRUE(waitUntil([&] { return sessions[2]->elevation() == -4; }));
    EXPECT_EQ(sessions[0]->elevation(), standin::tiltDegrees(0));

    // A program slow to take sensor 1's frames slows sensor 1 alone.
    sessions[1]->call("holdDepth", "(I)V", static_cast<jint>(20000));
    ASSERT_TRUE(waitUntil([&] { return sessions[1]->call<jboolean>("holdingDepth", "()Z") == JNI_TRUE; }));
    const jint heldAt = sessions[1]->delivered("depthFrames");
    EXPECT_TRUE(everyStreamReaches(sessions[0]->depthCount() + 15, {0}));
    EXPECT_TRUE(waitUntil([&, two = sessions[2]->depthCount() + 15] { return sessions[2]->depthCount() >= two; }));
    EXPECT_EQ(sessions[1]->delivered("depthFrames"), heldAt);
    sessions[1]->call("releaseDepth", "()V");
    EXPECT_TRUE(waitUntil([&] { return sessions[1]->delivered("depthFrames") >= heldAt + 3; }));
    EXPECT_TRUE(depth.isFrameOf(1, sessions[1]->latestDepth(), cycles[1]));

    // Sensor 2 stopped and started again streams its own frames anew; the others stream on meanwhile.
    const jlong zeroBeforeRestart = sessions[0]->depthCount();
    sessions[2].reset();
    sessions[2] = std::make_unique<SensorSession>(2, 2, -1);
    ASSERT_EQ(sessions[2]->startResult(), 0);
    ASSERT_TRUE(everyStreamReaches(zeroBeforeRestart + 3, {0, 1}));
    ASSERT_TRUE(waitUntil([&] { return sessions[2]->delivered("depthFrames") >= 2; }));
    EXPECT_TRUE(depth.isFrameOf(2, sessions[2]->latestDepth(), cycles[2]));
    EXPECT_EQ(sessions[2]->elevation(), -4);

    // Device 1 is pulled out: it alone is not connected; 0 and 2 stream on.
    void* standinLibrary = dlopen(PLEXA_FREENECT_STANDIN, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(standinLibrary, nullptr) << dlerror();
    auto unplug = reinterpret_cast<int (*)(int)>(dlsym(standinLibrary, "plexa_standin_unplug"));
    ASSERT_NE(unplug, nullptr);
    ASSERT_EQ(unplug(1), 0);
    EXPECT_TRUE(waitUntil([] { return status(1) == kStatusNotConnected; }));
    // A frame taken before the unplugging may still be on its way to Java;
    // then nothing more comes, while the others' counters keep rising.
    const auto othersAdvance = [&] {
        const jlong zero = sessions[0]->depthCount() + 15, zeroVideo = sessions[0]->videoCount() + 15,
                    two = sessions[2]->depthCount() + 15;
        return waitUntil([&] {
            return sessions[0]->depthCount() >= zero && sessions[0]->videoCount() >= zeroVideo &&
                   sessions[2]->depthCount() >= two;
        });
    };
    EXPECT_TRUE(othersAdvance());
    const jlong lastOfUnplugged = sessions[1]->depthCount();
    EXPECT_TRUE(othersAdvance());
    EXPECT_EQ(status(0), 0);
    EXPECT_EQ(status(2), 0);
    EXPECT_EQ(sessions[1]->depthCount(), lastOfUnplugged);
    EXPECT_EQ(sessions[1]->delivered("depthFrames"), lastOfUnplugged);
    for (int i : {0, 2}) {
        int cycle = -1;
        EXPECT_TRUE(depth.isFrameOf(i, sessions[i]->latestDepth(), cycle)) << "sensor " << i;
        EXPECT_NE(cycle, cycles[i]) << "sensor " << i << " delivers new frames";
    }
    EXPECT_TRUE(isColorOf(0, sessions[0]->latestColor()));
    // Its motor is gone with it; the others' still answer.
    EXPECT_EQ(sessions[1]->accelerometer(), std::vector<jfloat>(3, 0.0f));
    EXPECT_LT(setElevation(3, 1), 0);
    EXPECT_EQ(sessions[2]->accelerometer(), ownReading(2));
    EXPECT_EQ(setElevation(3, 0), 0);
    EXPECT_TRUE(waitUntil([&] { return sessions[0]->elevation() == 3; }));
    // A new session on the unplugged sensor is refused as not connected.
    sessions[1].reset();
    StdoutCapture capture;
    SensorSession again(1, 2, -1);
    EXPECT_EQ(again.startResult(), kStatusNotConnected);
    EXPECT_NE(capture.finish().find("Cannot initialize the Kinect device."), std::string::npos);
    EXPECT_EQ(status(0), 0);
    dlclose(standinLibrary);
}

TEST(ReplaySensors, TwoRecordingsPlayAsSensorsZeroAndOneEachItsOwnFrames) {
    constexpr int kWidth = 320, kHeight = 240, kRecords = 4;
    replay::Folder folder("two-replays");
    std::vector<std::vector<replay::Record>> recordings(2);
    for (int r = 0; r < kRecords; ++r) {
        recordings[0].push_back({replay::recordReading(r), replay::recordSamples(kWidth, kHeight, r)});
        recordings[1].push_back({replay::recordReading(r + 50), replay::recordSamples(kWidth, kHeight, r + 50)});
    }
    const std::vector<std::string> files = {folder.file("a.rec"), folder.file("b.rec")};
    for (int i = 0; i < 2; ++i) replay::writeFile(files[i], replay::recordingBytes(kWidth, kHeight, recordings[i]));
    ::setenv("PLEXA_SENSOR1", ("replay:" + files[0] + ",replay:" + files[1]).c_str(), 1);
    Jvm::start();
    ASSERT_EQ(javaStatic<jint>(kPlexa1, "_getSensorCount", "()I"), 2);

    SensorSession first(0, 1, -1), second(1, 1, -1);
    ASSERT_EQ(first.startResult(), 0);
    ASSERT_EQ(second.startResult(), 0);
    const SensorSession* sessions[] = {&first, &second};
    // Over more than a loop of each recording, every frame is one of its own records.
    for (jlong seen = 1; seen <= 2 * kRecords; ++seen) {
        ASSERT_TRUE(waitUntil([&] { return first.depthCount() >= seen && second.depthCount() >= seen; }));
        for (int i = 0; i < 2; ++i) {
            const std::vector<jshort> samples = sessions[i]->latestDepth();
            const auto ownRecord = [&](int recording) {
                for (const replay::Record& record : recordings[recording]) {
                    if (samples.size() == record.samples.size() &&
                        std::equal(samples.begin(), samples.end(), record.samples.begin(),
                                   [](jshort a, std::uint16_t b) { return static_cast<std::uint16_t>(a) == b; })) {
                        return true;
                    }
                }
                return false;
            };
            EXPECT_TRUE(ownRecord(i)) << "sensor " << i << ", frame " << seen;
            EXPECT_FALSE(ownRecord(1 - i)) << "sensor " << i << ", frame " << seen;
        }
    }
    EXPECT_EQ(status(0), 0);
    EXPECT_EQ(status(1), 0);
}

}  // namespace
}  // namespace plexa::test::pipelines
