// The pipelines as users run them, through the bridges' event threads in a
// VM without the JNI checker, the virtual sensors scripted:
//   - latency: from the runtime signalling a frame to the first line of the
//     Java callback, over 1,000 frames after a warm-up, as median and 99th
//     percentile. The signal time is taken right before the frame is queued
//     (queueing moves a copy made beforehand and signals the event), the
//     entry time by System.nanoTime; both read the same monotonic clock.
//   - allocations: the native allocations the bridges and virtual sensors
//     make while 1,000 frames of each pipeline pass, after the first frame of
//     each, per frame.
// Ends with FIGURE lines (scripts/bench.sh gathers them).
#include "allocation_counter.h"
#include "bench_vm.h"
#include "jvm.h"
#include "runtime1/VirtualSensor1.h"
#include "scripted_frame2.h"
#include "wait_until.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using plexa::test::Jvm;
using plexa::test::waitUntil;
namespace virtual1 = plexa::virtual1;
namespace virtual2 = plexa::virtual2;

constexpr int kWarmUpFrames = 100;
constexpr int kMeasuredFrames = 1000;
constexpr int kSensor = 0;
constexpr int kResolution640x480 = 2;

std::int64_t steadyNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

jint intMethod(jobject target, const char* name, jint argument = -1) {
    return argument < 0 ? plexa::test::callMethod<jint>(target, name, "()I")
                        : plexa::test::callMethod<jint>(target, name, "(I)I", argument);
}
jlong longMethod(jobject target, const char* name, jint argument) {
    return plexa::test::callMethod<jlong>(target, name, "(I)J", argument);
}

struct Percentiles {
    double medianMs = 0;
    double p99Ms = 0;
};

Percentiles percentilesOf(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    if (ms.empty()) return {};
    return {ms[ms.size() / 2], ms[std::min(ms.size() - 1, ms.size() * 99 / 100)]};
}

// Queues a frame with `queue`, waits until the callback has counted it, and
// gives the latency of each measured frame in milliseconds. `delivered`
// frames reached the callback before.
std::vector<double> latencies(jobject target, const char* countMethod, const char* enteredMethod,
                              const std::function<void()>& queue, const std::function<bool()>& settled,
                              int delivered = 0) {
    std::vector<double> measured;
    for (int frame = delivered; frame < delivered + kWarmUpFrames + kMeasuredFrames; ++frame) {
        const std::int64_t signalled = steadyNanoseconds();
        queue();
        if (!waitUntil([&] { return intMethod(target, countMethod) > frame && settled(); })) {
            std::fprintf(stderr, "frame %d never reached Java\n", frame);
            return {};
        }
        if (frame >= delivered + kWarmUpFrames) {
            measured.push_back(static_cast<double>(longMethod(target, enteredMethod, frame) - signalled) / 1e6);
        }
    }
    return measured;
}

// Allocations per frame while `frames` frames pass through one pipeline.
double allocationsPerFrame(jobject target, const char* countMethod, const std::function<void()>& queue,
                           const std::function<bool()>& settled) {
    const jint before = intMethod(target, countMethod);
    plexa::bench::startCountingAllocations();
    for (int frame = 1; frame <= kMeasuredFrames; ++frame) {
        queue();
        if (!waitUntil([&] { return intMethod(target, countMethod) >= before + frame && settled(); })) {
            plexa::bench::stopCountingAllocations();
            std::fprintf(stderr, "a frame never reached Java\n");
            return -1;
        }
    }
    const std::int64_t allocations = plexa::bench::stopCountingAllocations();
    if (allocations > 0) {
        std::printf("allocations made per %d frames (%s):\n", kMeasuredFrames, countMethod);
        plexa::bench::reportAllocationSites(stdout);
    }
    return static_cast<double>(allocations) / kMeasuredFrames;
}

void attributeToOurLibraries() {
    const char* const ours[] = {"libqbl_plexa", "libKinect10", "libKinect20", "libplexa_kernel"};
    plexa::bench::attributeAllocationsTo(ours, 4);
}

const char* const kPlexa1 = "edu/qet/brightloom/plexa/Plexa1";
const char* const kPlexa2 = "edu/qet/brightloom/plexa/Plexa2";

void firstGeneration() {
    virtual1::reset();
    virtual1::setScripted(kSensor, true);
    plexa::test::callStatic<jboolean>(kPlexa1, "_createNUI", "(I)Z", kSensor);
    jobject target = Jvm::start().newObject("edu/qet/brightloom/plexa/testing/TimingPlexa1");
    const jint started = plexa::test::callStatic<jint>(kPlexa1, "_startNUI", "(ZIIZLedu/qet/brightloom/plexa/Plexa1;I)I",
                                                       JNI_TRUE, kResolution640x480, kResolution640x480, JNI_FALSE,
                                                       target, kSensor);
    if (started != 0) {
        std::fprintf(stderr, "first generation: _startNUI gave %d\n", static_cast<int>(started));
        return;
    }
    attributeToOurLibraries();
    virtual1::ScriptedImageFrame depth;
    depth.bytes.resize(640 * 480 * 2);
    for (std::size_t i = 0; i < depth.bytes.size(); i += 2) depth.bytes[i + 1] = static_cast<std::uint8_t>(i % 251);
    virtual1::ScriptedImageFrame color;
    color.bytes.assign(640 * 480 * 4, 0x7F);
    NUI_SKELETON_FRAME skeleton{};
    skeleton.SkeletonData[0].eTrackingState = NUI_SKELETON_TRACKED;
    // Each frame is queued by moving a copy made beforehand, so the signal
    // follows at once; the next copy is made after the signal.
    virtual1::ScriptedImageFrame nextDepth = depth, nextColor = color;
    auto queueDepth = [&] {
        virtual1::queueImageFrame(kSensor, virtual1::Stream::Depth, std::move(nextDepth));
        nextDepth = depth;
    };
    auto queueColor = [&] {
        virtual1::queueImageFrame(kSensor, virtual1::Stream::Video, std::move(nextColor));
        nextColor = color;
    };
    auto queueSkeleton = [&] { virtual1::queueSkeletonFrame(kSensor, skeleton); };
    auto released = [] { return virtual1::framesOutstanding(kSensor) == 0; };

    const Percentiles latency =
        percentilesOf(latencies(target, "depthFrames", "depthEnteredAt", queueDepth, released));
    std::printf("first generation, 640 x 480 depth: signal to callback median %.3f ms, 99th percentile %.3f ms\n",
                latency.medianMs, latency.p99Ms);

    plexa::test::callStatic<void>(kPlexa1, "_computeUV", "(ZI)V", JNI_TRUE, kSensor);
    plexa::test::callStatic<void>(kPlexa1, "_computeXYZ", "(ZI)V", JNI_TRUE, kSensor);
    queueDepth();  // the first frame with UV and XYZ sets up their buffers
    waitUntil([&] { return released() && intMethod(target, "depthFrames") == kWarmUpFrames + kMeasuredFrames + 1; });
    queueColor();
    queueSkeleton();
    waitUntil([&] { return released() && intMethod(target, "videoFrames") == 1 && intMethod(target, "skeletonFrames") == 1; });
    const double depthAllocations = allocationsPerFrame(target, "depthFrames", queueDepth, released);
    const double colorAllocations = allocationsPerFrame(target, "videoFrames", queueColor, released);
    const double skeletonAllocations = allocationsPerFrame(target, "skeletonFrames", queueSkeleton, released);
    std::printf("first generation allocations per frame: depth with UV and XYZ %.2f, color %.2f, skeleton %.2f\n",
                depthAllocations, colorAllocations, skeletonAllocations);
    plexa::test::callStatic<void>(kPlexa1, "_stopNUI", "(I)V", kSensor);
    Jvm::start().env()->DeleteGlobalRef(target);

    plexa::bench::printMillisecondsFigure("v1.latency.depth.640x480.median_ms", latency.medianMs);
    plexa::bench::printMillisecondsFigure("v1.latency.depth.640x480.p99_ms", latency.p99Ms);
    plexa::bench::printCountFigure("v1.allocations_per_frame",
                                   std::max({depthAllocations, colorAllocations, skeletonAllocations}));
}

void secondGeneration() {
    virtual2::reset();
    virtual2::setScripted(true);
    jobject target = Jvm::start().newObject("edu/qet/brightloom/plexa/testing/TimingPlexa2");
    const jint everyStreamBothMappings = 0x1 | 0x2 | 0x4 | 0x8 | 0x10 | 0x20 | 0x100 | 0x200 | 0x400 | 0x800 | 0x1000;
    const jint started = plexa::test::callStatic<jint>(kPlexa2, "_startNUI", "(ILedu/qet/brightloom/plexa/Plexa2;I)I",
                                                       everyStreamBothMappings, target, kSensor);
    if (started != 0) {
        std::fprintf(stderr, "second generation: _startNUI gave %d\n", static_cast<int>(started));
        return;
    }
    attributeToOurLibraries();
    const virtual2::ScriptedFrame frame = plexa::bench::scriptedFrame2(true);
    virtual2::ScriptedFrame next = frame;  // as for the first generation
    auto queue = [&] {
        virtual2::queueFrame(std::move(next));
        next = frame;
    };
    // What the runtime holds between frames, before any frame.
    const int idle = virtual2::liveObjectCount();
    auto released = [&] { return virtual2::liveObjectCount() == idle; };
    queue();
    if (!waitUntil([&] { return intMethod(target, "frames") == 1 && released(); })) {
        std::fprintf(stderr, "second generation: the first frame never reached Java\n");
    }

    const Percentiles latency = percentilesOf(latencies(target, "frames", "enteredAt", queue, released, 1));
    std::printf("second generation, every stream, both mappings, six bodies: signal to callback median %.3f ms, "
                "99th percentile %.3f ms\n",
                latency.medianMs, latency.p99Ms);
    const double allocations = allocationsPerFrame(target, "frames", queue, released);
    std::printf("second generation allocations per frame: %.2f\n", allocations);
    plexa::test::callStatic<void>(kPlexa2, "_stopNUI", "(I)V", kSensor);
    Jvm::start().env()->DeleteGlobalRef(target);

    plexa::bench::printMillisecondsFigure("v2.latency.full.median_ms", latency.medianMs);
    plexa::bench::printMillisecondsFigure("v2.latency.full.p99_ms", latency.p99Ms);
    plexa::bench::printCountFigure("v2.allocations_per_frame", allocations);
}

}  // namespace

int main() {
    plexa::bench::startBenchVm();
    // System.nanoTime and the steady clock must read the same clock.
    const jlong javaNow = plexa::test::callStatic<jlong>("java/lang/System", "nanoTime", "()J");
    const std::int64_t nativeNow = steadyNanoseconds();
    if (nativeNow - javaNow < 0 || nativeNow - javaNow > 1000000000) {
        std::fprintf(stderr, "System.nanoTime and the steady clock differ by %lld ns\n",
                     static_cast<long long>(nativeNow - javaNow));
        return 1;
    }
    firstGeneration();
    secondGeneration();
    return 0;
}
