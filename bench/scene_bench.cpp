// Cost per frame of filming the synthetic scene. Each case reports its time
// and `budget_pct`, the share of one 30 fps frame (33.3 ms) it takes on one core.
// At the end, the run's figures: the median thread CPU time per frame of the
// cases that carry one, as `FIGURE name X.XXX` lines (milliseconds).
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "plexa/scene/color_format.h"
#include "plexa/scene/moment.h"
#include "plexa/scene/rig1.h"
#include "plexa/scene/rig2.h"
#include "plexa/scene/scene.h"

namespace {

using namespace plexa::scene;

constexpr double kFrameSeconds = 1.0 / 30.0;
constexpr auto kVga = Rig1::Resolution::R640x480;
constexpr int kVgaPixels = 640 * 480;

// Frames at 30 fps through a stretch of the scene where people walk, turn and wave.
class Clock {
public:
    Snapshot next(const Scene& scene) {
        ++frame_;
        return scene.at(10.0 + (frame_ % 900) * kFrameSeconds);
    }

private:
    long frame_ = 0;
};

double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

// Median milliseconds per frame of the cases that report a figure, by figure name.
std::map<std::string, double>& figures() {
    static std::map<std::string, double> byName;
    return byName;
}

// The first frame draws and caches the room; it is left out of the timing. The
// share of the frame budget is taken from this thread's CPU time, so that other
// work on the machine does not count against the scene; so is the figure.
template <class Body>
void runFrames(benchmark::State& state, Body&& body, const char* figure = nullptr) {
    body();
    std::vector<double> frames;
    frames.reserve(4096);
    const double start = threadCpuSeconds();
    for (auto _ : state) {
        const double before = threadCpuSeconds();
        body();
        if (frames.size() < frames.capacity()) frames.push_back(threadCpuSeconds() - before);
    }
    const double seconds = threadCpuSeconds() - start;
    state.counters["budget_pct"] = 100.0 * seconds / static_cast<double>(state.iterations()) / kFrameSeconds;
    if (figure != nullptr && !frames.empty()) {
        std::nth_element(frames.begin(), frames.begin() + frames.size() / 2, frames.end());
        figures()[figure] = 1000.0 * frames[frames.size() / 2];
    }
}

struct Rig1Streams {
    Rig1 rig;
    Rig1Streams() = default;
    explicit Rig1Streams(const RigPose& pose) : rig(pose) {}
    std::vector<std::uint16_t> samples = std::vector<std::uint16_t>(kVgaPixels);
    std::vector<std::uint8_t> color = std::vector<std::uint8_t>(4 * kVgaPixels);
    std::vector<ColorPixel> uv = std::vector<ColorPixel>(kVgaPixels);
    DepthImages depth() { DepthImages d; d.depthWithPlayer = samples.data(); return d; }
};

struct Rig2Streams {
    Rig2 rig;
    std::vector<std::uint16_t> depthMm = std::vector<std::uint16_t>(Rig2::kDepthPixels);
    std::vector<std::uint16_t> infrared = std::vector<std::uint16_t>(Rig2::kDepthPixels);
    std::vector<std::uint16_t> longInfrared = std::vector<std::uint16_t>(Rig2::kDepthPixels);
    std::vector<std::uint8_t> bodyIndex = std::vector<std::uint8_t>(Rig2::kDepthPixels);
    std::vector<std::uint8_t> color = std::vector<std::uint8_t>(4 * Rig2::kColorWidth * Rig2::kColorHeight);
    std::vector<ImagePoint> colorPoints = std::vector<ImagePoint>(Rig2::kDepthPixels);
    std::vector<CameraPoint> cameraPoints = std::vector<CameraPoint>(Rig2::kDepthPixels);
    std::vector<std::uint8_t> raw = std::vector<std::uint8_t>(2 * Rig2::kColorWidth * Rig2::kColorHeight);
    DepthImages depth() {
        DepthImages d;
        d.depthMm = depthMm.data();
        d.personIndex = bodyIndex.data();
        d.infrared = infrared.data();
        d.longExposureInfrared = longInfrared.data();
        return d;
    }
};

void rig1Frame(Rig1Streams& s, const Moment& moment) {
    s.rig.renderDepth(moment, kVga, s.depth());
    s.rig.renderColor(moment, kVga, s.color.data());
    benchmark::DoNotOptimize(s.rig.bodies(moment));
    Rig1::mapDepthFrameToColor(kVga, s.samples.data(), s.samples.size(), kVga, s.uv.data());
}

void rig1Frame(Rig1Streams& s, const Snapshot& snapshot) { rig1Frame(s, Moment(snapshot)); }

// The color camera's raw format is packed 4:2:2, which the bridge has converted to BGRA.
void rig2Frame(Rig2Streams& s, const Snapshot& snapshot) {
    s.rig.renderDepth(snapshot, s.depth());
    s.rig.renderColorYuy2(snapshot, s.raw.data());
    yuy2ToBgra(s.raw.data(), Rig2::kColorWidth, Rig2::kColorHeight, s.color.data());
    benchmark::DoNotOptimize(s.rig.bodies(snapshot));
    s.rig.mapDepthFrameToColor(s.depthMm.data(), s.depthMm.size(), s.colorPoints.data());
    s.rig.mapDepthFrameToCamera(s.depthMm.data(), s.depthMm.size(), s.cameraPoints.data());
}

void SceneAt(benchmark::State& state) {
    Scene scene(7);
    Clock clock;
    runFrames(state, [&] { benchmark::DoNotOptimize(clock.next(scene)); });
}

void Rig1Depth640(benchmark::State& state) {
    Scene scene(7);
    Clock clock;
    Rig1Streams s;
    runFrames(state, [&] { s.rig.renderDepth(clock.next(scene), kVga, s.depth()); });
}

void Rig1Color640(benchmark::State& state) {
    Scene scene(7);
    Clock clock;
    Rig1Streams s;
    runFrames(state, [&] { s.rig.renderColor(clock.next(scene), kVga, s.color.data()); });
}

void Rig1Skeleton(benchmark::State& state) {
    Scene scene(7);
    Clock clock;
    Rig1 rig;
    runFrames(state, [&] { benchmark::DoNotOptimize(rig.bodies(clock.next(scene))); });
}

void Rig1ColorCoordinates640(benchmark::State& state) {
    Scene scene(7);
    Rig1Streams s;
    s.rig.renderDepth(scene.at(12.0), kVga, s.depth());
    runFrames(
        state, [&] { Rig1::mapDepthFrameToColor(kVga, s.samples.data(), s.samples.size(), kVga, s.uv.data()); },
        "v1.runtime_mapping.640x480.ms");
}

void Rig1TiltChange(benchmark::State& state) {
    Scene scene(7);
    Clock clock;
    Rig1Streams s;
    float tilt = 0;
    runFrames(state, [&] {
        tilt = tilt == 0 ? 5.0f : 0.0f;
        s.rig.setTilt(tilt);
        rig1Frame(s, clock.next(scene));
    });
}

void Rig2Depth(benchmark::State& state) {
    Scene scene(7);
    Clock clock;
    Rig2Streams s;
    runFrames(state, [&] { s.rig.renderDepth(clock.next(scene), s.depth()); });
}

void Rig2Color1080(benchmark::State& state) {
    Scene scene(7);
    Clock clock;
    Rig2Streams s;
    runFrames(state, [&] { s.rig.renderColor(clock.next(scene), s.color.data()); });
}

void Rig2Bodies(benchmark::State& state) {
    Scene scene(7);
    Clock clock;
    Rig2 rig;
    runFrames(state, [&] { benchmark::DoNotOptimize(rig.bodies(clock.next(scene))); });
}

void Rig2Mappings(benchmark::State& state) {
    Scene scene(7);
    Rig2Streams s;
    s.rig.renderDepth(scene.at(12.0), s.depth());
    runFrames(
        state,
        [&] {
            s.rig.mapDepthFrameToColor(s.depthMm.data(), s.depthMm.size(), s.colorPoints.data());
            s.rig.mapDepthFrameToCamera(s.depthMm.data(), s.depthMm.size(), s.cameraPoints.data());
        },
        "v2.runtime_mapping.ms");
}

void Rig2ColorYuy2(benchmark::State& state) {
    Scene scene(7);
    Clock clock;
    Rig2Streams s;
    runFrames(state, [&] { s.rig.renderColorYuy2(clock.next(scene), s.raw.data()); });
}

void Rig2ColorToYuy2(benchmark::State& state) {
    Scene scene(7);
    Rig2Streams s;
    s.rig.renderColor(scene.at(12.0), s.color.data());
    std::vector<std::uint8_t> yuy2(2 * Rig2::kColorWidth * Rig2::kColorHeight);
    runFrames(state, [&] { bgraToYuy2(s.color.data(), Rig2::kColorWidth, Rig2::kColorHeight, yuy2.data()); });
}

void Rig2Yuy2ToColor(benchmark::State& state) {
    Scene scene(7);
    Rig2Streams s;
    s.rig.renderColor(scene.at(12.0), s.color.data());
    std::vector<std::uint8_t> yuy2(2 * Rig2::kColorWidth * Rig2::kColorHeight);
    bgraToYuy2(s.color.data(), Rig2::kColorWidth, Rig2::kColorHeight, yuy2.data());
    runFrames(
        state, [&] { yuy2ToBgra(yuy2.data(), Rig2::kColorWidth, Rig2::kColorHeight, s.color.data()); },
        "v2.color_conversion.ms");
}

void Rig1AllStreams(benchmark::State& state) {
    Scene scene(7);
    Clock clock;
    Rig1Streams s;
    runFrames(state, [&] { rig1Frame(s, clock.next(scene)); });
}

void Rig2AllStreams(benchmark::State& state) {
    Scene scene(7);
    Clock clock;
    Rig2Streams s;
    runFrames(state, [&] { rig2Frame(s, clock.next(scene)); });
}

// What both virtual sensors film in one frame time when everything is open.
void BothRigsAllStreams(benchmark::State& state) {
    Scene scene(7);
    Clock clock;
    Rig1Streams one;
    Rig2Streams two;
    runFrames(
        state,
        [&] {
            Snapshot snapshot = clock.next(scene);
            rig1Frame(one, snapshot);
            rig2Frame(two, snapshot);
        },
        "scene.both_rigs.ms");
}

// Four first-generation virtual sensors at their default places filming one
// moment, each with depth (player index), color, skeletons and color coordinates.
void FourRigs1AllStreams(benchmark::State& state) {
    Scene scene(7);
    MomentCache moments(scene);
    std::vector<Rig1Streams> rigs;
    for (int i = 0; i < 4; ++i) rigs.emplace_back(Rig1::defaultPose(i));
    long frame = 0;
    runFrames(
        state,
        [&] {
            ++frame;
            const std::shared_ptr<const Moment> moment = moments.at(10.0 + (frame % 900) * kFrameSeconds);
            for (Rig1Streams& rig : rigs) rig1Frame(rig, *moment);
        },
        "scene.four_rigs1.ms");
}

}  // namespace

BENCHMARK(SceneAt);
BENCHMARK(Rig1Depth640)->Unit(benchmark::kMillisecond);
BENCHMARK(Rig1Color640)->Unit(benchmark::kMillisecond);
BENCHMARK(Rig1Skeleton)->Unit(benchmark::kMillisecond);
BENCHMARK(Rig1ColorCoordinates640)->Unit(benchmark::kMillisecond);
BENCHMARK(Rig1AllStreams)->Unit(benchmark::kMillisecond);
BENCHMARK(Rig1TiltChange)->Unit(benchmark::kMillisecond);
BENCHMARK(Rig2Depth)->Unit(benchmark::kMillisecond);
BENCHMARK(Rig2Color1080)->Unit(benchmark::kMillisecond);
BENCHMARK(Rig2Bodies)->Unit(benchmark::kMillisecond);
BENCHMARK(Rig2Mappings)->Unit(benchmark::kMillisecond);
BENCHMARK(Rig2ColorYuy2)->Unit(benchmark::kMillisecond);
BENCHMARK(Rig2ColorToYuy2)->Unit(benchmark::kMillisecond);
BENCHMARK(Rig2Yuy2ToColor)->Unit(benchmark::kMillisecond);
BENCHMARK(Rig2AllStreams)->Unit(benchmark::kMillisecond);
BENCHMARK(BothRigsAllStreams)->Unit(benchmark::kMillisecond);
BENCHMARK(FourRigs1AllStreams)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const char* name : {"scene.both_rigs.ms", "scene.four_rigs1.ms", "v1.runtime_mapping.640x480.ms", "v2.runtime_mapping.ms",
                             "v2.color_conversion.ms"}) {
        const auto found = figures().find(name);
        if (found != figures().end()) std::printf("FIGURE %s %.3f\n", name, found->second);
    }
    return 0;
}
