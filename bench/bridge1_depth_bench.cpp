// What one first-generation depth frame costs in the bridge, as two ratios
// measured in one run: against the floor any bridge pays to hand fresh Java
// arrays over (attach, create and fill the same arrays, detach) and against a
// plain memcpy of the same bytes.
//
// The bridge is measured by calling a session's depth handler directly on a
// thread that is not attached to the VM, exactly as its event thread runs it,
// but without the event thread's wake-up and a counter poll in between: those
// would add scheduling noise larger than the work measured. The session is set
// up by hand (runtime initialised, depth stream opened on the virtual sensor
// in scripted mode), so no event thread competes for the frames.
//
// Each iteration times the four contenders one after another (the bridge's
// frame, the runtime's share of it, the floor, the memcpy), so all of them see
// the same machine load; each is reported as its median over the iterations.
// Queueing a frame in the virtual sensor is never timed.
#include "JavaBinding.h"
#include "KSDK.h"
#include "bench_vm.h"
#include "jvm.h"
#include "runtime1/VirtualSensor1.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using plexa::test::Jvm;
namespace virtual1 = plexa::virtual1;
using Clock = std::chrono::steady_clock;

constexpr int kSensor = 0;

struct Resolution {
    int code;
    int width, height;
    const char* name;
    std::size_t pixels() const { return static_cast<std::size_t>(width) * height; }
};
const Resolution kResolutions[] = {{2, 640, 480, "640x480"}, {3, 1280, 960, "1280x960"}};

// What a frame carries to Java.
struct Payload {
    bool uvAndXyz;
    const char* name;
    std::size_t bytes(const Resolution& r) const { return r.pixels() * (uvAndXyz ? 2 + 4 * 5 : 2); }
};
const Payload kPayloads[] = {{false, "depth"}, {true, "depth+uv+xyz"}};

const char* const kContenders[] = {"bridge", "runtime", "floor", "memcpy"};

std::vector<std::uint16_t> depthSamples(const Resolution& r) {
    std::vector<std::uint16_t> samples(r.pixels());
    for (std::size_t p = 0; p < samples.size(); ++p)
        samples[p] = static_cast<std::uint16_t>((800 + p % 3000) << 3);
    return samples;
}

virtual1::ScriptedImageFrame scriptedFrame(const std::vector<std::uint16_t>& samples) {
    virtual1::ScriptedImageFrame frame;
    frame.bytes.resize(samples.size() * 2);
    std::memcpy(frame.bytes.data(), samples.data(), frame.bytes.size());
    return frame;
}

// A started depth session on the virtual sensor, delivering to a plain Plexa1
// (its callbacks do nothing), with no event thread.
class BenchSession {
public:
    BenchSession(const Resolution& r, const Payload& p) : session_(std::make_unique<KSDK>(kSensor)) {
        virtual1::reset();
        virtual1::setScripted(kSensor, true);
        JNIEnv* env = Jvm::start().env();
        jclass plexa1 = Jvm::start().findClass("edu/qet/brightloom/plexa/Plexa1");
        const jobject target = Jvm::start().newObject("edu/qet/brightloom/plexa/Plexa1");
        const plexa::JavaMethodSpec depthCallback{"onDepthFrameEventFromNative", "([S[F[F)V"};
        session_->java().bind(env, plexa1, target, &depthCallback, 1);
        env->DeleteGlobalRef(target);
        env->DeleteGlobalRef(plexa1);
        session_->depthResolution = r.code;
        session_->computeUV.store(p.uvAndXyz);
        session_->computeXYZ.store(p.uvAndXyz);
        session_->depthEvent.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        session_->buffers = std::make_unique<plexa::bridge1::FrameBuffers>();
        session_->sensor->NuiInitialize(NUI_INITIALIZE_FLAG_USES_DEPTH_AND_PLAYER_INDEX);
        session_->sensor->NuiImageStreamOpen(NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX,
                                             static_cast<NUI_IMAGE_RESOLUTION>(r.code), 0, 2,
                                             session_->depthEvent.get(), &session_->depthStream);
        // Every frame attaches and detaches, as on an event thread.
        Jvm::start().vm()->DetachCurrentThread();
    }
    ~BenchSession() {
        session_->Nui_UnInit();  // no thread to stop: shuts the runtime down and lets the target go
        Jvm::start().vm()->DetachCurrentThread();
    }
    KSDK* operator->() { return session_.get(); }

private:
    // The bridge never destroys a session; here nothing else refers to it.
    std::unique_ptr<KSDK> session_;
};

template <typename Work>
double millisecondsOf(Work&& work) {
    const Clock::time_point start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// The runtime's share of a bridge frame: fetch, lock, (the color-coordinate
// mapping when UV is on) and release, as the handler calls them.
void runtimeShare(BenchSession& session, const Resolution& r, const Payload& p, std::vector<LONG>& coordinates) {
    INuiSensor* sensor = session->sensor.get();
    NUI_IMAGE_FRAME image{};
    sensor->NuiImageStreamGetNextFrame(session->depthStream, 0, &image);
    NUI_LOCKED_RECT rect{};
    image.pFrameTexture->LockRect(0, &rect, nullptr, 0);
    if (p.uvAndXyz) {
        sensor->NuiImageGetColorPixelCoordinateFrameFromDepthPixelFrameAtResolution(
            static_cast<NUI_IMAGE_RESOLUTION>(r.code), static_cast<NUI_IMAGE_RESOLUTION>(r.code),
            static_cast<DWORD>(r.pixels()), reinterpret_cast<USHORT*>(rect.pBits),
            static_cast<DWORD>(coordinates.size()), coordinates.data());
    }
    sensor->NuiImageStreamReleaseFrame(session->depthStream, &image);
}

// Attach, create and fill the same arrays from native memory, detach.
void jniFloor(JavaVM* vm, const std::vector<std::uint16_t>& samples, const std::vector<float>& uv,
              const std::vector<float>& xyz, bool uvAndXyz) {
    void* attached = nullptr;
    if (vm->GetEnv(&attached, JNI_VERSION_1_6) == JNI_EDETACHED) vm->AttachCurrentThread(&attached, nullptr);
    JNIEnv* env = static_cast<JNIEnv*>(attached);
    const auto n = static_cast<jsize>(samples.size());
    jshortArray depth = env->NewShortArray(n);
    env->SetShortArrayRegion(depth, 0, n, reinterpret_cast<const jshort*>(samples.data()));
    benchmark::DoNotOptimize(depth);
    if (uvAndXyz) {
        jfloatArray uvArray = env->NewFloatArray(2 * n);
        env->SetFloatArrayRegion(uvArray, 0, 2 * n, uv.data());
        jfloatArray xyzArray = env->NewFloatArray(3 * n);
        env->SetFloatArrayRegion(xyzArray, 0, 3 * n, xyz.data());
        benchmark::DoNotOptimize(uvArray);
        benchmark::DoNotOptimize(xyzArray);
    }
    vm->DetachCurrentThread();
}

void depthFrame(benchmark::State& state, Resolution r, Payload p) {
    BenchSession session(r, p);
    const std::vector<std::uint16_t> samples = depthSamples(r);
    const virtual1::ScriptedImageFrame frame = scriptedFrame(samples);
    const std::vector<float> uv(2 * r.pixels(), 0.25f), xyz(3 * r.pixels(), 0.5f);
    std::vector<LONG> coordinates(2 * r.pixels());
    std::vector<std::uint8_t> copySource(p.bytes(r), 0x5A), copyTarget(p.bytes(r), 0);
    JavaVM* vm = Jvm::start().vm();
    std::map<std::string, std::vector<double>> times;

    for (auto _ : state) {
        virtual1::queueImageFrame(kSensor, virtual1::Stream::Depth, frame);
        const double bridge = millisecondsOf([&] { session->Nui_ProcessDepth(); });
        times["bridge"].push_back(bridge);
        virtual1::queueImageFrame(kSensor, virtual1::Stream::Depth, frame);
        times["runtime"].push_back(millisecondsOf([&] { runtimeShare(session, r, p, coordinates); }));
        times["floor"].push_back(millisecondsOf([&] { jniFloor(vm, samples, uv, xyz, p.uvAndXyz); }));
        times["memcpy"].push_back(millisecondsOf([&] {
            std::memcpy(copyTarget.data(), copySource.data(), copySource.size());
            benchmark::ClobberMemory();
        }));
        state.SetIterationTime(bridge / 1000.0);
    }
    if (session->depthFrameCount.load() != static_cast<std::int32_t>(state.iterations())) {
        state.SkipWithError("the handler did not take every frame");
    }
    for (const char* contender : kContenders) {
        state.counters[std::string(contender) + "_ms"] = median(times[contender]);
    }
}

std::string nameOf(const Resolution& r, const Payload& p) { return std::string("frame/") + p.name + "/" + r.name; }

// Keeps the medians of each benchmark, to print the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            std::map<std::string, double>& medians = medians_[run.run_name.function_name];
            for (const char* contender : kContenders) {
                auto it = run.counters.find(std::string(contender) + "_ms");
                if (it != run.counters.end()) medians[contender] = it->second.value;
            }
        }
    }

    void printRatios() {
        std::printf(
            "\n| frame | payload | bridge | runtime's share | JNI floor | memcpy | bridge / floor |"
            " bridge's own / floor | bridge / memcpy |\n");
        std::printf("|---|---|---|---|---|---|---|---|---|\n");
        for (const Resolution& r : kResolutions) {
            for (const Payload& p : kPayloads) {
                std::map<std::string, double>& m = medians_[nameOf(r, p)];
                const double bridge = m["bridge"], runtime = m["runtime"], floor = m["floor"], copy = m["memcpy"];
                if (bridge <= 0 || floor <= 0 || copy <= 0) continue;
                std::printf("| %s | %s | %.3f ms | %.3f ms | %.3f ms | %.3f ms | %.2f | %.2f | %.1f |\n", r.name,
                            p.name, bridge, runtime, floor, copy, bridge / floor, (bridge - runtime) / floor,
                            bridge / copy);
            }
        }
        for (const Resolution& r : kResolutions) {
            std::map<std::string, double>& m = medians_[nameOf(r, kPayloads[1])];
            if (m["floor"] <= 0) continue;
            const std::string figure = std::string("v1.depth_uv_xyz.") + r.name + ".own_over_floor";
            plexa::bench::printRatioFigure(figure.c_str(), (m["bridge"] - m["runtime"]) / m["floor"]);
        }
    }

private:
    std::map<std::string, std::map<std::string, double>> medians_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    plexa::bench::startBenchVm();
    for (const Resolution& r : kResolutions) {
        for (const Payload& p : kPayloads) {
            benchmark::RegisterBenchmark(nameOf(r, p).c_str(), depthFrame, r, p)
                ->Unit(benchmark::kMillisecond)
                ->UseManualTime()
                ->Iterations(p.uvAndXyz ? 200 : 1000);
        }
    }
    // Measured on a thread of its own, which the VM has never seen: every
    // attachment is a fresh one, as on an event thread.
    RatioReporter reporter;
    std::thread measuring([&reporter] { benchmark::RunSpecifiedBenchmarks(&reporter); });
    measuring.join();
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
