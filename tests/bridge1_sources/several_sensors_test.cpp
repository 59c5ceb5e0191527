// Several first-generation sensors at once, in a real VM: four virtual sensors
// (PLEXA_SENSOR1=virtual,virtual,virtual,virtual) filming one room from four
// places, each streaming depth with UV and XYZ, color and skeletons to its own
// Java object on its own event thread.
#include "jvm.h"
#include "pipeline_session.h"
#include "plexa/scene/pose.h"
#include "plexa/scene/rig1.h"
#include "runtime1/VirtualSensor1.h"
#include "wait_until.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace plexa::test::pipelines {
namespace {

constexpr int kSensors = 4;
constexpr int kWidth = 640, kHeight = 480;
constexpr const char* kCounting = "edu/qet/brightloom/plexa/testing/CountingPlexa1";

int counted(jobject target, const char* counter) { return javaMethod<jint>(target, counter, "()I"); }

jlong depthCounter(int sensor) {
    return javaStatic<jlong>(kPlexa1, "_getDepthFrameCounter", "(I)J", static_cast<jint>(sensor));
}

jint start(jobject target, int sensor) {
    return javaStatic<jint>(kPlexa1, "_startNUI", "(ZIIZLedu/qet/brightloom/plexa/Plexa1;I)I", JNI_TRUE,
                            static_cast<jint>(2), static_cast<jint>(2), JNI_FALSE, target, static_cast<jint>(sensor));
}

void mapAll(int sensor) {
    javaStatic<void>(kPlexa1, "_computeUV", "(ZI)V", JNI_TRUE, static_cast<jint>(sensor));
    javaStatic<void>(kPlexa1, "_computeXYZ", "(ZI)V", JNI_TRUE, static_cast<jint>(sensor));
}

// One depth frame of a sensor, whole, as Java received it.
struct DepthFrame {
    std::vector<jshort> samples;
    std::vector<jfloat> xyz;
};

DepthFrame keptFrame(jobject target) {
    javaMethod<void>(target, "keepNextDepthFrame", "()V");
    DepthFrame frame;
    EXPECT_TRUE(waitUntil([&] {
        jobject depth = javaMethod<jobject>(target, "keptDepth", "()[S");
        const bool kept = depth != nullptr;
        if (kept) Jvm::start().env()->DeleteLocalRef(depth);
        return kept;
    }));
    jobject depth = javaMethod<jobject>(target, "keptDepth", "()[S");
    jobject xyz = javaMethod<jobject>(target, "keptXyz", "()[F");
    frame.samples = elementsOf<jshort>(depth);
    frame.xyz = elementsOf<jfloat>(xyz);
    return frame;
}

scene::RigPose poseOf(int sensor) {
    const virtual1::SensorPose pose = virtual1::sensorPose(sensor);
    return scene::RigPose{pose.x, pose.z, pose.height, pose.headingDegrees, pose.tiltDegrees};
}

// Points of the room seen without a person in front by sensor `a`, taken to
// the room through its pose, then found in sensor `b`'s frame through b's
// pose: how far apart the two sensors put each such point.
std::vector<float> disagreements(int a, const DepthFrame& first, int b, const DepthFrame& second) {
    std::vector<float> distances;
    const scene::RigPose poseB = poseOf(b);
    for (int row = 8; row < kHeight; row += 16) {
        for (int col = 8; col < kWidth; col += 16) {
            const std::size_t p = static_cast<std::size_t>(row) * kWidth + col;
            const auto sample = static_cast<std::uint16_t>(first.samples[p]);
            if ((sample & 7) != 0 || sample == 0) continue;
            const Vector4 room =
                virtual1::roomPointOf(a, {first.xyz[3 * p], first.xyz[3 * p + 1], first.xyz[3 * p + 2], 1});
            const scene::ImagePoint seen = scene::Rig1::projectToDepth(
                scene::Rig1::Resolution::R640x480, poseB.toCamera(scene::Vec3{room.x, room.y, room.z}));
            const int c = static_cast<int>(std::lround(seen.x)), r = static_cast<int>(std::lround(seen.y));
            if (c < 0 || c >= kWidth || r < 0 || r >= kHeight) continue;
            const std::size_t q = static_cast<std::size_t>(r) * kWidth + c;
            const auto other = static_cast<std::uint16_t>(second.samples[q]);
            if ((other & 7) != 0 || other == 0) continue;
            const Vector4 again =
                virtual1::roomPointOf(b, {second.xyz[3 * q], second.xyz[3 * q + 1], second.xyz[3 * q + 2], 1});
            distances.push_back(std::hypot(room.x - again.x, room.y - again.y, room.z - again.z));
        }
    }
    return distances;
}

TEST(SeveralSensors, FourVirtualSensorsStreamSideBySideAndAgreeOnTheRoom) {
    ::setenv("PLEXA_SENSOR1", "virtual,virtual,virtual,virtual", 1);
    Jvm::start();
    ASSERT_EQ(javaStatic<jint>(kPlexa1, "_getSensorCount", "()I"), kSensors);
    std::array<jobject, kSensors> targets{};
    for (int sensor = 0; sensor < kSensors; ++sensor) {
        ASSERT_TRUE(javaStatic<jboolean>(kPlexa1, "_createNUI", "(I)Z", static_cast<jint>(sensor)));
        targets[sensor] = Jvm::start().newObject(kCounting);
        ASSERT_EQ(start(targets[sensor], sensor), 0) << "sensor " << sensor;
        mapAll(sensor);  // a start switches the mappings off
    }
    const auto allHave = [&](int frames) {
        return std::all_of(targets.begin(), targets.end(), [&](jobject target) {
            return counted(target, "depthFramesWithMappings") >= frames && counted(target, "videoFrames") >= frames &&
                   counted(target, "skeletonFrames") >= frames;
        });
    };
    const auto counts = [&] {
        std::string said;
        for (jobject target : targets) {
            said += " [" + std::to_string(counted(target, "depthFrames")) + " " +
                    std::to_string(counted(target, "depthFramesWithMappings")) + " " +
                    std::to_string(counted(target, "videoFrames")) + " " +
                    std::to_string(counted(target, "skeletonFrames")) + "]";
        }
        return said;
    };
    ASSERT_TRUE(waitUntil([&] { return allHave(10); }, std::chrono::seconds(30)))
        << "every sensor streams depth with UV and XYZ, color and skeletons:" << counts();

    // Each stands where the control face says, tilted as it reports.
    for (int sensor = 1; sensor < kSensors; ++sensor) {
        const jlong tilt = javaStatic<jlong>(kPlexa1, "_getElevationAngle", "(I)J", static_cast<jint>(sensor));
        EXPECT_EQ(tilt, std::lround(virtual1::sensorPose(sensor).tiltDegrees)) << "sensor " << sensor;
        EXPECT_GT(std::hypot(virtual1::sensorPose(sensor).x, virtual1::sensorPose(sensor).z), 0.5f);
    }

    // What two sensors see of the room lands on the same room points.
    const DepthFrame first = keptFrame(targets[0]);
    for (int other = 1; other < kSensors; ++other) {
        const DepthFrame second = keptFrame(targets[other]);
        std::vector<float> distances = disagreements(0, first, other, second);
        ASSERT_GE(distances.size(), 50u) << "sensors 0 and " << other << " see a common part of the room";
        std::nth_element(distances.begin(), distances.begin() + distances.size() / 2, distances.end());
        EXPECT_LT(distances[distances.size() / 2], 0.01f) << "sensors 0 and " << other;
    }

    // Sensor 2 stopped and started again, three times, while the others
    // stream: theirs go on through every restart, their counters never set
    // back, every counted frame delivered to their own objects.
    const std::array<int, 3> others{0, 1, 3};
    for (int restart = 0; restart < 3; ++restart) {
        std::array<jlong, kSensors> before{};
        for (int sensor : others) before[sensor] = depthCounter(sensor);
        javaStatic<void>(kPlexa1, "_stopNUI", "(I)V", static_cast<jint>(2));
        EXPECT_EQ(javaStatic<jint>(kPlexa1, "_getStatus", "(I)I", static_cast<jint>(2)), 0);
        const int had = counted(targets[2], "depthFrames");
        ASSERT_EQ(start(targets[2], 2), 0);
        mapAll(2);
        EXPECT_TRUE(waitUntil([&] { return counted(targets[2], "depthFrames") > had; }, std::chrono::seconds(20)));
        for (int sensor : others) {
            EXPECT_GE(depthCounter(sensor), before[sensor]) << "sensor " << sensor << "'s counter was set back";
            EXPECT_TRUE(waitUntil([&] { return depthCounter(sensor) > before[sensor] + 2; }))
                << "sensor " << sensor << " kept streaming through restart " << restart;
        }
    }
    for (int sensor : others) {
        const jlong now = depthCounter(sensor);
        EXPECT_TRUE(waitUntil([&] { return counted(targets[sensor], "depthFrames") >= now; }))
            << "sensor " << sensor << ": every counted frame reached its own object";
    }
    for (int sensor = 0; sensor < kSensors; ++sensor) {
        javaStatic<void>(kPlexa1, "_stopNUI", "(I)V", static_cast<jint>(sensor));
        Jvm::start().env()->DeleteGlobalRef(targets[sensor]);
    }
}

}  // namespace
}  // namespace plexa::test::pipelines
