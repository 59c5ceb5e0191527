// What one first-generation depth frame costs in the bridge, as two ratios
// measured in one run: against the floor any bridge pays to hand fresh Java
// arrays over (attach, create and fill the same arrays, detach) and against a
// plain memcpy of the same bytes.
//
// The bridge is measured by calling a session's depth handler directly on a
// thread that is not attached to the VM, exactly as its event thread would
// run it, but without the event thread's wake-up and a counter poll in
// between: those would add scheduling noise larger than the work measured.
// The session is set up by hand (runtime initialised, depth stream opened on
// the virtual sensor in scripted mode) so that no event thread competes for
// the frames. Queueing each frame in the virtual sensor is not timed.
#include "KSDK.h"
#include "jvm.h"
#include "runtime1/VirtualSensor1.h"

#include <benchmark/benchmark.h>

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
    std::size_t floatsPerPixel() const { return uvAndXyz ? 5 : 0; }  // 2 for uv, 3 for xyz
    std::size_t bytes(const Resolution& r) const { return r.pixels() * (2 + 4 * floatsPerPixel()); }
};
const Payload kPayloads[] = {{false, "depth"}, {true, "depth+uv+xyz"}};

std::vector<std::uint16_t> depthSamples(const Resolution& r) {
    std::vector<std::uint16_t> samples(r.pixels());
    for (std::size_t p = 0; p < samples.size(); ++p) samples[p] = static_cast<std::uint16_t>((800 + p % 3000) << 3);
    return samples;
}

// A started depth session on the virtual sensor, delivering to a plain Plexa1
// (its callbacks do nothing), with no event thread.
class BenchSession {
public:
    explicit BenchSession(const Resolution& r) : session_(std::make_unique<KSDK>(kSensor)) {
        JNIEnv* env = Jvm::start().env();
        jclass plexa1 = Jvm::start().findClass("edu/qet/brightloom/plexa/Plexa1");
        session_->Nui_Zero();
        session_->javaVM = Jvm::start().vm();
        session_->callbackTarget = Jvm::start().newObject("edu/qet/brightloom/plexa/Plexa1");
        session_->depthCallback = env->GetMethodID(plexa1, "onDepthFrameEventFromNative", "([S[F[F)V");
        env->DeleteGlobalRef(plexa1);
        session_->depthResolution = r.code;
        session_->depthEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        session_->sensor->NuiInitialize(NuiInitializeUsesDepthAndPlayerIndex);
        session_->sensor->NuiImageStreamOpen(NuiImageTypeDepthAndPlayerIndex, r.code, 0, 2, session_->depthEvent,
                                             &session_->depthStream);
    }
    ~BenchSession() {
        session_->Nui_UnInit();  // no thread to stop: shuts the runtime down and frees the buffers
        Jvm::start().env()->DeleteGlobalRef(session_->callbackTarget);
        Jvm::start().vm()->DetachCurrentThread();
    }
    KSDK& operator*() { return *session_; }
    KSDK* operator->() { return session_.get(); }

private:
    // Never destroyed by the bridge itself; here it may be, as nothing else refers to it.
    std::unique_ptr<KSDK> session_;
};

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

virtual1::ScriptedImageFrame scriptedFrame(const Resolution& r) {
    virtual1::ScriptedImageFrame frame;
    const std::vector<std::uint16_t> samples = depthSamples(r);
    frame.bytes.resize(samples.size() * 2);
    std::memcpy(frame.bytes.data(), samples.data(), frame.bytes.size());
    return frame;
}

// Every benchmark times its iterations itself: queueing the next frame in the
// virtual sensor stays outside, without the cost of pausing the timer.
void bridgeFrame(benchmark::State& state, Resolution r, Payload payload) {
    virtual1::reset();
    virtual1::setScripted(kSensor, true);
    BenchSession session(r);
    session->computeUV.store(payload.uvAndXyz);
    session->computeXYZ.store(payload.uvAndXyz);
    const virtual1::ScriptedImageFrame frame = scriptedFrame(r);
    // The handler attaches and detaches for each frame, as on its event thread.
    Jvm::start().vm()->DetachCurrentThread();
    for (auto _ : state) {
        virtual1::queueImageFrame(kSensor, virtual1::Stream::Depth, frame);
        const Clock::time_point start = Clock::now();
        session->Nui_ProcessDepth();
        state.SetIterationTime(secondsSince(start));
    }
    if (session->depthFrameCount.load() != static_cast<std::int32_t>(state.iterations())) {
        state.SkipWithError("the handler did not take every frame");
    }
}

// The runtime's share of a bridge frame: fetch, lock, (the color-coordinate
// mapping when UV is on) and release, as the handler calls them.
void runtimeShare(benchmark::State& state, Resolution r, Payload payload) {
    virtual1::reset();
    virtual1::setScripted(kSensor, true);
    BenchSession session(r);
    const virtual1::ScriptedImageFrame frame = scriptedFrame(r);
    std::vector<LONG> coordinates(2 * r.pixels());
    INuiSensor* sensor = session->sensor;
    for (auto _ : state) {
        virtual1::queueImageFrame(kSensor, virtual1::Stream::Depth, frame);
        const Clock::time_point start = Clock::now();
        NuiImageFrame image{};
        sensor->NuiImageStreamGetNextFrame(session->depthStream, 0, &image);
        NuiLockedRect rect{};
        image.frameTexture->LockRect(0, &rect, nullptr, 0);
        if (payload.uvAndXyz) {
            sensor->NuiImageGetColorPixelCoordinateFrameFromDepthPixelFrameAtResolution(
                r.code, r.code, static_cast<DWORD>(r.pixels()), reinterpret_cast<USHORT*>(rect.bits),
                static_cast<DWORD>(coordinates.size()), coordinates.data());
        }
        sensor->NuiImageStreamReleaseFrame(session->depthStream, &image);
        state.SetIterationTime(secondsSince(start));
    }
}

// Attach, create and fill the same arrays from native memory, detach.
void jniFloor(benchmark::State& state, Resolution r, Payload payload) {
    JavaVM* vm = Jvm::start().vm();
    vm->DetachCurrentThread();
    const std::vector<std::uint16_t> samples = depthSamples(r);
    const std::vector<float> uv(2 * r.pixels(), 0.25f), xyz(3 * r.pixels(), 0.5f);
    const auto n = static_cast<jsize>(r.pixels());
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        void* attached = nullptr;
        if (vm->GetEnv(&attached, JNI_VERSION_1_6) == JNI_EDETACHED) vm->AttachCurrentThread(&attached, nullptr);
        JNIEnv* env = static_cast<JNIEnv*>(attached);
        jshortArray depth = env->NewShortArray(n);
        env->SetShortArrayRegion(depth, 0, n, reinterpret_cast<const jshort*>(samples.data()));
        if (payload.uvAndXyz) {
            jfloatArray uvArray = env->NewFloatArray(2 * n);
            env->SetFloatArrayRegion(uvArray, 0, 2 * n, uv.data());
            jfloatArray xyzArray = env->NewFloatArray(3 * n);
            env->SetFloatArrayRegion(xyzArray, 0, 3 * n, xyz.data());
            benchmark::DoNotOptimize(uvArray);
            benchmark::DoNotOptimize(xyzArray);
        }
        benchmark::DoNotOptimize(depth);
        vm->DetachCurrentThread();
        state.SetIterationTime(secondsSince(start));
    }
}

void plainCopy(benchmark::State& state, Resolution r, Payload payload) {
    const std::size_t bytes = payload.bytes(r);
    std::vector<std::uint8_t> source(bytes, 0x5A), target(bytes, 0);
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        std::memcpy(target.data(), source.data(), bytes);
        benchmark::ClobberMemory();
        state.SetIterationTime(secondsSince(start));
    }
}

std::string nameOf(const char* kind, const Resolution& r, const Payload& p) {
    return std::string(kind) + "/" + p.name + "/" + r.name;
}

// Keeps the median time per iteration of each benchmark (in its unit,
// milliseconds), to print the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" && !run.error_occurred) {
                milliseconds_[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
        }
    }
    void printRatios() const {
        std::printf("\n| frame | payload | bridge | runtime's share | JNI floor | memcpy | bridge / floor |"
                    " bridge's own / floor | bridge / memcpy |\n");
        std::printf("|---|---|---|---|---|---|---|---|---|\n");
        for (const Resolution& r : kResolutions) {
            for (const Payload& p : kPayloads) {
                const double bridge = find(nameOf("bridge", r, p));
                const double runtime = find(nameOf("runtime", r, p));
                const double floor = find(nameOf("floor", r, p));
                const double copy = find(nameOf("memcpy", r, p));
                if (bridge <= 0 || runtime <= 0 || floor <= 0 || copy <= 0) continue;
                std::printf("| %s | %s | %.3f ms | %.3f ms | %.3f ms | %.3f ms | %.2f | %.2f | %.1f |\n", r.name,
                            p.name, bridge, runtime, floor, copy, bridge / floor, (bridge - runtime) / floor,
                            bridge / copy);
            }
        }
    }

private:
    double find(const std::string& name) const {
        auto it = milliseconds_.find(name);
        return it == milliseconds_.end() ? -1 : it->second;
    }
    std::map<std::string, double> milliseconds_;  // median per iteration
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Jvm::start();
    for (const Resolution& r : kResolutions) {
        for (const Payload& p : kPayloads) {
            for (auto [kind, function] : {std::pair{"bridge", &bridgeFrame}, std::pair{"runtime", &runtimeShare},
                                          std::pair{"floor", &jniFloor}, std::pair{"memcpy", &plainCopy}}) {
                benchmark::RegisterBenchmark(nameOf(kind, r, p).c_str(), function, r, p)
                    ->Unit(benchmark::kMillisecond)
                    ->UseManualTime()
                    ->Repetitions(5)
                    ->ReportAggregatesOnly(true);
            }
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
