// The freenect source against fakenect, libfreenect's stand-in that plays a
// dump folder (LD_LIBRARY_PATH names its folder for this program, as Debian's
// fakenect script does). Each case writes a small dump with known values and
// checks what Java receives: depth in millimetres by the documented formula
// (evaluated in Java), color bytes, accelerometer, tilt; and the failure codes
// of what the source does not offer.
#include "../runtime1/ReplayFiles.h"
#include "jvm.h"
#include "pipeline_session.h"
#include "capture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <unistd.h>

extern char** environ;

namespace plexa::test::pipelines {
namespace {

// Before anything else runs, this program makes sure that fakenect's folder
// comes first on LD_LIBRARY_PATH, as Debian's fakenect script does for the
// program it runs: the dynamic linker reads the variable once, when a program
// starts, so the program starts itself again with it.
const bool kFakenectFirst = [] {
    const std::string folder = PLEXA_FAKENECT_DIR;
    const char* current = std::getenv("LD_LIBRARY_PATH");
    const std::string path = current != nullptr ? current : "";
    if (path.compare(0, folder.size(), folder) == 0) return true;
    ::setenv("LD_LIBRARY_PATH", (folder + (path.empty() ? "" : ":" + path)).c_str(), 1);
    std::string arguments;
    FILE* cmdline = std::fopen("/proc/self/cmdline", "rb");
    if (cmdline == nullptr) return false;
    for (int c; (c = std::fgetc(cmdline)) != EOF;) arguments.push_back(static_cast<char>(c));
    std::fclose(cmdline);
    std::vector<char*> argv;
    for (std::size_t at = 0; at < arguments.size(); at += std::strlen(&arguments[at]) + 1) argv.push_back(&arguments[at]);
    argv.push_back(nullptr);
    ::execve("/proc/self/exe", argv.data(), environ);
    return false;  // not started again: the tests fail, saying why
}();

using replay::Folder;

constexpr const char* kFormula = "edu/qet/brightloom/plexa/testing/FreenectFormula";
constexpr std::int16_t kCountsX = 100, kCountsY = 800, kCountsZ = -50;
constexpr std::int8_t kTiltHalfDegrees = 30;

// Writes a dump into `folder` and points fakenect and the runtime at it.
bool useDump(const Folder& folder, int frames) {
    if (!kFakenectFirst || !std::filesystem::exists(std::string(PLEXA_FAKENECT_DIR) + "/libfreenect.so.0.5")) {
        ADD_FAILURE() << "fakenect is not installed (Debian's libfreenect0.5): scripts/setup.sh installs it";
        return false;
    }
    replay::writeDump(folder.path(), replay::rawPattern(), replay::rgbPattern(),
                      replay::tiltStateBytes(kCountsX, kCountsY, kCountsZ, kTiltHalfDegrees), frames);
    ::setenv("FAKENECT_PATH", folder.path().c_str(), 1);
    ::setenv("PLEXA_SENSOR1", "freenect", 1);
    ::unsetenv("PLEXA_FREENECT_LIBRARY");
    return true;
}

std::vector<jfloat> accelerometer() {
    return elementsOf<jfloat>(javaStatic<jobject>(kPlexa1, "_getAccelerometerReading", "(I)[F", kSensor));
}

TEST(Fakenect, DepthColorAccelerometerAndTiltReachJavaAsDocumented) {
    Folder folder("fakenect");
    ASSERT_TRUE(useDump(folder, 300));
    Jvm::start();
    ASSERT_EQ(javaStatic<jint>(kPlexa1, "_getSensorCount", "()I"), 1);
    Session session({false, 2, 2, false});
    ASSERT_EQ(session.startResult(), 0);
    ASSERT_TRUE(session.waitForDepth(2));
    ASSERT_TRUE(session.waitForVideo(2));

    // Depth: every raw value of the dump, converted by the formula as Java computes it.
    const std::vector<jshort> bySample = elementsOf<jshort>(javaStatic<jobject>(kFormula, "samples", "()[S"));
    ASSERT_EQ(bySample.size(), 2049u);
    const std::vector<std::uint16_t> raw = replay::rawPattern();
    std::vector<jshort> expected(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) expected[i] = bySample[raw[i]];
    EXPECT_EQ(bySample[0], static_cast<jshort>(300 << 3));
    EXPECT_EQ(bySample[2047], 0);
    for (int frame = 0; frame < 2; ++frame) EXPECT_EQ(session.depth(frame), expected) << "depth frame " << frame;

    // Color: red, green, blue become blue, green, red, 0.
    const std::vector<std::uint8_t> rgb = replay::rgbPattern();
    std::vector<jbyte> bgrx(640 * 480 * 4);
    for (std::size_t p = 0; p < 640 * 480; ++p) {
        bgrx[4 * p] = static_cast<jbyte>(rgb[3 * p + 2]);
        bgrx[4 * p + 1] = static_cast<jbyte>(rgb[3 * p + 1]);
        bgrx[4 * p + 2] = static_cast<jbyte>(rgb[3 * p]);
        bgrx[4 * p + 3] = 0;
    }
    for (int frame = 0; frame < 2; ++frame) EXPECT_EQ(session.color(frame), bgrx) << "color frame " << frame;

    // Accelerometer in g from the dump's counts, and the tilt in degrees.
    const std::vector<jfloat> reading = accelerometer();
    ASSERT_EQ(reading.size(), 3u);
    EXPECT_EQ(reading, elementsOf<jfloat>(javaStatic<jobject>(kFormula, "reading", "(III)[F", static_cast<jint>(kCountsX),
                                                              static_cast<jint>(kCountsY), static_cast<jint>(kCountsZ))));
    EXPECT_EQ(reading[0], -100.0f / 819.0f);
    EXPECT_EQ(javaStatic<jlong>(kPlexa1, "_getElevationAngle", "(I)J", kSensor), kTiltHalfDegrees / 2);
    EXPECT_EQ(javaStatic<jint>(kPlexa1, "_setElevationAngle", "(II)I", static_cast<jint>(5), kSensor), 0);
    EXPECT_EQ(javaStatic<jint>(kPlexa1, "_getStatus", "(I)I", kSensor), 0);
}

TEST(Fakenect, SkeletonTrackingNearModeAndOtherDepthSizesReportTheirCodes) {
    Folder folder("fakenect");
    ASSERT_TRUE(useDump(folder, 120));
    Jvm::start();
    {
        StdoutCapture capture;
        Session withSkeleton({true, 2, -1, false});
        EXPECT_EQ(withSkeleton.startResult(), 8);  // not supported
        EXPECT_NE(capture.finish().find("Cannot start skeleton tracking."), std::string::npos);
    }
    {
        StdoutCapture capture;
        Session smallDepth({false, 1, -1, false});
        EXPECT_EQ(smallDepth.startResult(), 8);
        EXPECT_NE(capture.finish().find("Cannot start depth stream."), std::string::npos);
    }
    {
        StdoutCapture capture;
        Session infraredAt320({false, -1, 1, true});
        EXPECT_EQ(infraredAt320.startResult(), 8);
        EXPECT_NE(capture.finish().find("Cannot start color stream."), std::string::npos);
    }
    Session session({false, 2, -1, false});
    ASSERT_EQ(session.startResult(), 0);
    EXPECT_FALSE(javaStatic<jboolean>(kPlexa1, "_setNearMode", "(ZI)Z", JNI_TRUE, kSensor));
    EXPECT_FALSE(javaStatic<jboolean>(kPlexa1, "_getNearMode", "(I)Z", kSensor));
    EXPECT_TRUE(javaStatic<jboolean>(kPlexa1, "_setNearMode", "(ZI)Z", JNI_FALSE, kSensor));
    EXPECT_FALSE(javaStatic<jboolean>(kPlexa1, "_startSkeletonTracking", "(ZI)Z", JNI_FALSE, kSensor));
    EXPECT_FALSE(javaStatic<jboolean>(kPlexa1, "_stopSkeletonTracking", "(I)Z", kSensor));
    EXPECT_TRUE(session.waitForDepth(1));
}

TEST(Fakenect, TheEndOfTheDumpIsNoticedAsAnUnplugging) {
    Folder folder("fakenect");
    ASSERT_TRUE(useDump(folder, 10));
    Jvm::start();
    Session session({false, 2, -1, false});
    ASSERT_EQ(session.startResult(), 0);
    ASSERT_TRUE(session.waitForDepth(1));
    EXPECT_TRUE(waitUntil([] { return javaStatic<jint>(kPlexa1, "_getStatus", "(I)I", kSensor) == 20; }));
    session.stop();
    // A new session over the same sensor finds it unplugged too.
    javaStatic<jboolean>(kPlexa1, "_createNUI", "(I)Z", kSensor);
    EXPECT_EQ(javaStatic<jint>(kPlexa1, "_getStatus", "(I)I", kSensor), 20);
    Session again({false, 2, -1, false});
    EXPECT_EQ(again.startResult(), 20);
}

TEST(Fakenect, AutoChoosesTheSensorLibfreenectFinds) {
    Folder folder("fakenect");
    ASSERT_TRUE(useDump(folder, 120));
    ::unsetenv("PLEXA_SENSOR1");
    Jvm::start();
    ASSERT_EQ(javaStatic<jint>(kPlexa1, "_getSensorCount", "()I"), 1);
    Session session({false, 2, -1, false});
    ASSERT_EQ(session.startResult(), 0);
    ASSERT_TRUE(session.waitForDepth(1));
    EXPECT_EQ(session.depth(0)[0], static_cast<jshort>(300 << 3));  // raw 0, from the dump, not the scene
}

}  // namespace
}  // namespace plexa::test::pipelines
