// The runtime's source selection (PLEXA_SENSOR1) and the replay source, seen
// through the runtime face (what the bridge and Java see of them is in
// tests/bridge1_sources). The variable is read once per process, on the
// first NuiGetSensorCount or NuiCreateSensorByIndex: each test case runs in
// its own process and sets it before that.
#include "ReplayFiles.h"
#include "Runtime1Fixture.h"
#include "capture.h"

#include <cstdlib>

namespace runtime1_test {
namespace {

using namespace plexa::test::replay;
using plexa::test::StderrCapture;

constexpr int kWidth = 320, kHeight = 240;

void choose(const std::string& value) {
    ::setenv("PLEXA_SENSOR1", value.c_str(), 1);
}

int sensorCount() {
    int count = -1;
    EXPECT_EQ(NuiGetSensorCount(&count), S_OK);
    return count;
}

// A sensor initialised for depth with its depth stream open.
struct DepthSession {
    SensorPtr sensor;
    Event event;
    HANDLE stream = nullptr;
    HRESULT opened = E_FAIL;

    explicit DepthSession(NUI_IMAGE_RESOLUTION resolution = NUI_IMAGE_RESOLUTION_320x240) : sensor(createSensor()) {
        EXPECT_EQ(sensor->NuiInitialize(NUI_INITIALIZE_FLAG_USES_DEPTH_AND_PLAYER_INDEX | NUI_INITIALIZE_FLAG_USES_COLOR |
                                        NUI_INITIALIZE_FLAG_USES_SKELETON),
                  S_OK);
        opened = sensor->NuiImageStreamOpen(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX, resolution, 0, 2, event.get(), &stream);
    }
    ~DepthSession() {
        if (sensor) sensor->NuiShutdown();
    }

    // The next frame's samples and the reading the sensor gives right after fetching it.
    bool next(std::vector<std::uint16_t>& samples, Vector4& reading) {
        if (!event.waitSignalled(5000)) return false;
        NUI_IMAGE_FRAME frame{};
        if (sensor->NuiImageStreamGetNextFrame(stream, 0, &frame) != S_OK) return false;
        const NUI_LOCKED_RECT locked = lock(frame);
        samples.assign(reinterpret_cast<const std::uint16_t*>(locked.pBits),
                       reinterpret_cast<const std::uint16_t*>(locked.pBits) + locked.size / 2);
        EXPECT_EQ(sensor->NuiAccelerometerGetCurrentReading(&reading), S_OK);
        EXPECT_EQ(sensor->NuiImageStreamReleaseFrame(stream, &frame), S_OK);
        return true;
    }
};

bool sameBits(const Vector4& a, const Vector4& b) {
    return std::memcmp(&a.x, &b.x, 4) == 0 && std::memcmp(&a.y, &b.y, 4) == 0 && std::memcmp(&a.z, &b.z, 4) == 0;
}

// What a list names, or the one line that says why it names no sensor.
struct ListCase {
    std::string value;
    int sensors;
    std::string said;  // a part of the line on standard error; empty: nothing said
};

class SourceLists : public ::testing::TestWithParam<ListCase> {};

TEST_P(SourceLists, NameTheirSensorsOrSayInOneLineWhyNone) {
    const ListCase& c = GetParam();
    choose(c.value);
    StderrCapture capture;
    EXPECT_EQ(sensorCount(), c.sensors);
    for (int index = 0; index <= c.sensors; ++index) {
        INuiSensor* sensor = nullptr;
        const HRESULT created = NuiCreateSensorByIndex(index, &sensor);
        EXPECT_EQ(SUCCEEDED(created), index < c.sensors) << "sensor " << index;
        if (sensor == nullptr) continue;
        EXPECT_EQ(sensor->NuiInitialize(NUI_INITIALIZE_FLAG_USES_DEPTH_AND_PLAYER_INDEX), S_OK) << "sensor " << index;
        sensor->NuiShutdown();
        sensor->Release();
    }
    const std::string said = capture.finish();
    EXPECT_EQ(plexa::test::lineCount(said), c.said.empty() ? 0u : 1u) << said;
    EXPECT_NE(said.find(c.said), std::string::npos) << said;
    EXPECT_LT(said.size(), 600u) << "the value is quoted, not echoed whole";
}

INSTANTIATE_TEST_SUITE_P(
    Values, SourceLists,
    ::testing::Values(ListCase{"kinect", 0, "PLEXA_SENSOR1=\"kinect\" names no first-generation sensor source"},
                      ListCase{"virtual", 1, ""}, ListCase{"virtual,virtual,virtual,virtual", 4, ""},
                      ListCase{"virtual,,virtual", 0, "empty entry (entry 2)"},
                      ListCase{"virtual,", 0, "empty entry (entry 2)"},
                      ListCase{"virtual,kinect", 0, "entry 2 \"kinect\" names no"},
                      ListCase{"virtual,virtual,virtual,virtual,virtual,virtual,virtual,virtual,virtual,virtual,virtual",
                               0, "more than 10 sensors"},
                      ListCase{"virtual\nfreenect", 0, "\"virtual\\x0afreenect\""},
                      ListCase{std::string(100000, 'v'), 0, "cut short: 100000 bytes in all"}));

TEST(Sources, ReplayPlaysTheRecordingInOrderLoopingWithEachRecordsReading) {
    Folder folder("replay");
    const std::vector<Record> recorded = records(kWidth, kHeight, 4);
    writeFile(folder.file("depth.rec"), recordingBytes(kWidth, kHeight, recorded));
    choose("replay:" + folder.file("depth.rec"));
    EXPECT_EQ(sensorCount(), 1);
    DepthSession session;
    ASSERT_EQ(session.opened, S_OK);
    // Frames may be skipped when the reader is slow, never reordered: each is
    // the record after the one before, cyclically, give or take skips.
    int previous = -1;
    int wraps = 0;
    for (int frame = 0; frame < 10; ++frame) {
        std::vector<std::uint16_t> samples;
        Vector4 reading{};
        ASSERT_TRUE(session.next(samples, reading)) << "frame " << frame;
        int found = -1;
        for (int r = 0; r < 4; ++r) {
            if (samples == recorded[r].samples) found = r;
        }
        ASSERT_GE(found, 0) << "frame " << frame << " is none of the records";
        EXPECT_TRUE(sameBits(reading, recorded[found].reading)) << "frame " << frame;
        if (previous >= 0 && found <= previous) ++wraps;
        previous = found;
    }
    EXPECT_GE(wraps, 1);
}

TEST(Sources, ReplayOffersOnlyItsDepthStream) {
    Folder folder("replay");
    writeFile(folder.file("depth.rec"), recordingBytes(kWidth, kHeight, records(kWidth, kHeight, 2)));
    choose("replay:" + folder.file("depth.rec"));
    {
        DepthSession other(NUI_IMAGE_RESOLUTION_640x480);
        EXPECT_EQ(other.opened, E_NUI_NOTSUPPORTED);
    }
    DepthSession session;
    ASSERT_EQ(session.opened, S_OK);
    Event video;
    HANDLE stream = nullptr;
    EXPECT_EQ(session.sensor->NuiImageStreamOpen(NUI_IMAGE_TYPE_COLOR, NUI_IMAGE_RESOLUTION_640x480, 0, 2, video.get(), &stream),
              E_NUI_HARDWARE_FEATURE_UNAVAILABLE);
    EXPECT_EQ(session.sensor->NuiImageStreamOpen(NUI_IMAGE_TYPE_COLOR_INFRARED, NUI_IMAGE_RESOLUTION_640x480, 0, 2,
                                                 video.get(), &stream),
              E_NUI_HARDWARE_FEATURE_UNAVAILABLE);
    EXPECT_EQ(session.sensor->NuiImageStreamSetImageFrameFlags(session.stream, NUI_IMAGE_STREAM_FLAG_ENABLE_NEAR_MODE),
              E_NUI_HARDWARE_FEATURE_UNAVAILABLE);
    EXPECT_EQ(session.sensor->NuiImageStreamSetImageFrameFlags(session.stream, 0), S_OK);
    Event skeleton;
    EXPECT_EQ(session.sensor->NuiSkeletonTrackingEnable(skeleton.get(), 0), E_NUI_NOTSUPPORTED);
    EXPECT_EQ(session.sensor->NuiCameraElevationSetAngle(5), E_NUI_HARDWARE_FEATURE_UNAVAILABLE);
    EXPECT_EQ(session.sensor->NuiStatus(), S_OK);
    INuiSensor* second = nullptr;
    EXPECT_EQ(NuiCreateSensorByIndex(1, &second), E_INVALIDARG);
}

TEST(Sources, ReplayOfAFakenectDumpConvertsRawDepthByTheFormula) {
    Folder folder("dump");
    std::vector<std::uint16_t> raw = rawPattern();
    writeDump(folder.path(), raw, rgbPattern(), tiltStateBytes(20, 819, -40, 10), 3);
    choose("replay:" + folder.path());
    EXPECT_EQ(sensorCount(), 1);
    DepthSession session(NUI_IMAGE_RESOLUTION_640x480);
    ASSERT_EQ(session.opened, S_OK);
    std::vector<std::uint16_t> samples;
    Vector4 reading{};
    ASSERT_TRUE(session.next(samples, reading));
    ASSERT_EQ(samples.size(), raw.size());
    // Spot values of the documented formula, worked out by hand.
    const std::pair<std::uint16_t, std::uint16_t> known[] = {{0, 300},    {500, 557},  {800, 1144}, {1000, 3848},
                                                             {1044, 8018}, {1045, 0},   {1084, 0},   {2047, 0},
                                                             {2048, 0}};
    for (const auto& [rawValue, millimetres] : known) {
        EXPECT_EQ(samples[rawValue], millimetres << 3) << "raw " << rawValue;
    }
    EXPECT_EQ(reading.x, -20.0f / 819.0f);
    EXPECT_EQ(reading.y, -1.0f);
    EXPECT_EQ(reading.z, 40.0f / 819.0f);
}

TEST(Sources, AnUnreadableRecordingGivesOneLineAndNoSensor) {
    choose("replay:/nonexistent/depth.rec");
    StderrCapture capture;
    EXPECT_EQ(sensorCount(), 0);
    INuiSensor* sensor = nullptr;
    EXPECT_EQ(NuiCreateSensorByIndex(0, &sensor), E_INVALIDARG);
    const std::string said = capture.finish();
    EXPECT_EQ(plexa::test::lineCount(said), 1u) << said;
    EXPECT_NE(said.find("/nonexistent/depth.rec"), std::string::npos) << said;
}

TEST(Sources, ARecordingWithoutAWholeRecordGivesOneLineAndNoSensor) {
    Folder folder("cut");
    std::vector<std::uint8_t> bytes = recordingBytes(kWidth, kHeight, records(kWidth, kHeight, 1));
    bytes.resize(bytes.size() - 1);
    writeFile(folder.file("depth.rec"), bytes);
    choose("replay:" + folder.file("depth.rec"));
    StderrCapture capture;
    EXPECT_EQ(sensorCount(), 0);
    EXPECT_EQ(plexa::test::lineCount(capture.finish()), 1u);
}

TEST(Sources, ACutLastRecordIsIgnoredWithOneLine) {
    Folder folder("cut");
    const std::vector<Record> recorded = records(kWidth, kHeight, 2);
    std::vector<std::uint8_t> bytes = recordingBytes(kWidth, kHeight, recorded);
    bytes.resize(bytes.size() - 100);
    writeFile(folder.file("depth.rec"), bytes);
    choose("replay:" + folder.file("depth.rec"));
    StderrCapture capture;
    EXPECT_EQ(sensorCount(), 1);
    const std::string said = capture.finish();
    EXPECT_EQ(plexa::test::lineCount(said), 1u) << said;
    EXPECT_NE(said.find("ignored"), std::string::npos) << said;
    DepthSession session;
    ASSERT_EQ(session.opened, S_OK);
    for (int frame = 0; frame < 3; ++frame) {
        std::vector<std::uint16_t> samples;
        Vector4 reading{};
        ASSERT_TRUE(session.next(samples, reading));
        EXPECT_EQ(samples, recorded[0].samples) << "frame " << frame;
    }
}

}  // namespace
}  // namespace runtime1_test
