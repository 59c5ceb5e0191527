// Four first-generation virtual sensors streaming at once, as users run them:
// each with depth 640 x 480 with UV and XYZ, color 640 x 480 and skeletons,
// live (the runtime films its scene at 30 frames per second), delivered to
// Java callbacks that count them, in a VM without the JNI checker.
//
// After a warm-up, every stream's frames are counted over three measured
// windows of 10 s one after another; each figure is the median of its windows:
//   FIGURE v1.four_sensors.fps_min    the slowest of the twelve streams, in
//                                     frames delivered to Java per second
//   FIGURE v1.four_sensors.cpu_cores  the whole process's processor time over
//                                     the window's wall time
// The program names its sensors itself (PLEXA_SENSOR1, before anything reads
// it), so the figures always mean four virtual sensors.
#include "bench_vm.h"
#include "jvm.h"
#include "wait_until.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSensors = 4;
constexpr int kResolution640x480 = 2;
constexpr std::chrono::seconds kWarmUp{3};
constexpr std::chrono::seconds kWindow{10};
constexpr int kWindows = 3;

const char* const kPlexa1 = "edu/qet/brightloom/plexa/Plexa1";
const char* const kStreams[] = {"depthFrames", "videoFrames", "skeletonFrames"};
constexpr int kStreamCount = 3;

using Counts = std::array<std::array<jint, kStreamCount>, kSensors>;

Counts countsOf(const std::array<jobject, kSensors>& targets) {
    Counts counts{};
    for (int sensor = 0; sensor < kSensors; ++sensor) {
        for (int stream = 0; stream < kStreamCount; ++stream) {
            counts[sensor][stream] = plexa::test::callMethod<jint>(targets[sensor], kStreams[stream], "()I");
        }
    }
    return counts;
}

bool everyStreamDelivered(const std::array<jobject, kSensors>& targets) {
    const Counts counts = countsOf(targets);
    for (const auto& sensor : counts) {
        if (*std::min_element(sensor.begin(), sensor.end()) == 0) return false;
    }
    return true;
}

// Processor time of the whole process (every thread), in seconds.
double processCpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

struct Window {
    double slowestFps = 0;
    double cores = 0;
};

// Streams for one window and prints every stream's rate in it.
Window measureWindow(const std::array<jobject, kSensors>& targets, int number) {
    const Counts before = countsOf(targets);
    const double cpuBefore = processCpuSeconds();
    const Clock::time_point wallBefore = Clock::now();
    std::this_thread::sleep_for(kWindow);
    const Counts after = countsOf(targets);
    const double cpuAfter = processCpuSeconds();
    const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();

    Window window;
    window.slowestFps = 1e9;
    window.cores = (cpuAfter - cpuBefore) / wall;
    std::printf("| %d |", number);
    for (int sensor = 0; sensor < kSensors; ++sensor) {
        for (int stream = 0; stream < kStreamCount; ++stream) {
            const double fps = (after[sensor][stream] - before[sensor][stream]) / wall;
            window.slowestFps = std::min(window.slowestFps, fps);
            std::printf(stream == 0 ? " %.1f" : " / %.1f", fps);
        }
        std::printf(" |");
    }
    std::printf(" %.2f |\n", window.cores);
    std::fflush(stdout);
    return window;
}

double median(std::array<double, kWindows> values) {
    std::sort(values.begin(), values.end());
    return values[kWindows / 2];
}

void stopAll(const std::array<jobject, kSensors>& targets) {
    for (int sensor = 0; sensor < kSensors; ++sensor) {
        plexa::test::callStatic<void>(kPlexa1, "_stopNUI", "(I)V", sensor);
        if (targets[sensor] != nullptr) plexa::test::Jvm::start().env()->DeleteGlobalRef(targets[sensor]);
    }
}

}  // namespace

int main() {
    if (::setenv("PLEXA_SENSOR1", "virtual,virtual,virtual,virtual", 1) != 0) return 1;
    plexa::bench::startStreamingBenchVm();
    plexa::test::Jvm& vm = plexa::test::Jvm::start();
    const jint available = plexa::test::callStatic<jint>(kPlexa1, "_getSensorCount", "()I");
    if (available < kSensors) {
        std::fprintf(stderr, "the runtime offers %d first-generation sensors, not %d\n", static_cast<int>(available),
                     kSensors);
        return 1;
    }
    std::array<jobject, kSensors> targets{};
    for (int sensor = 0; sensor < kSensors; ++sensor) {
        targets[sensor] = vm.newObject("edu/qet/brightloom/plexa/testing/TimingPlexa1");
        plexa::test::callStatic<jboolean>(kPlexa1, "_createNUI", "(I)Z", sensor);
        const jint status = plexa::test::callStatic<jint>(kPlexa1, "_startNUI",
                                                          "(ZIIZLedu/qet/brightloom/plexa/Plexa1;I)I", JNI_TRUE,
                                                          kResolution640x480, kResolution640x480, JNI_FALSE,
                                                          targets[sensor], sensor);
        if (status != 0 && status != 1) {
            std::fprintf(stderr, "sensor %d: _startNUI gave %d\n", sensor, static_cast<int>(status));
            stopAll(targets);
            return 1;
        }
        plexa::test::callStatic<void>(kPlexa1, "_computeUV", "(ZI)V", JNI_TRUE, sensor);
        plexa::test::callStatic<void>(kPlexa1, "_computeXYZ", "(ZI)V", JNI_TRUE, sensor);
    }
    if (!plexa::test::waitUntil([&] { return everyStreamDelivered(targets); }, std::chrono::seconds(30))) {
        std::fprintf(stderr, "some stream delivered no frame within 30 s\n");
        stopAll(targets);
        return 1;
    }
    // The warm-up and the window are fixed spans of streaming, not waits for a condition.
    std::this_thread::sleep_for(kWarmUp);

    std::printf("four virtual sensors, depth 640 x 480 with UV and XYZ, color 640 x 480, skeletons\n"
                "frames per second delivered to Java (depth / color / skeleton) and the process's cores, "
                "per %lld s window:\n",
                static_cast<long long>(kWindow.count()));
    std::printf("| window | sensor 0 | sensor 1 | sensor 2 | sensor 3 | cores |\n|---|---|---|---|---|---|\n");
    std::array<double, kWindows> slowest{}, cores{};
    for (int number = 0; number < kWindows; ++number) {
        const Window window = measureWindow(targets, number + 1);
        slowest[number] = window.slowestFps;
        cores[number] = window.cores;
    }
    stopAll(targets);
    plexa::bench::printCountFigure("v1.four_sensors.fps_min", median(slowest));
    plexa::bench::printCountFigure("v1.four_sensors.cpu_cores", median(cores));
    return 0;
}
