// One second-generation frame through qbl_plexa2_64bit, in a real VM, against
// two baselines measured in the same run:
//   - the JNI floor: a native thread attaches, creates and fills Java arrays of
//     the same sizes (and the same int[] and Object[]), calls the same Java
//     callback and detaches, which is the least any bridge has to do;
//   - a plain memcpy of the delivered bytes.
// The bridge is timed from queueing a scripted frame until the bridge has
// delivered it and given every runtime object back, so the event thread's
// wake-up, acquisition, describing, delivery and release are all inside.
// Two frames: every image stream; and every stream with both mappings and six
// tracked bodies (whose mapping work, done by the runtime's coordinate mapper,
// is also timed alone for reference).
#include "bench_vm.h"
#include "jvm.h"
#include "scripted_frame2.h"
#include "runtime2/VirtualSensor2.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace plexa::virtual2;
using plexa::test::Jvm;
using Clock = std::chrono::steady_clock;

constexpr const char* kPlexa2 = "edu/qet/brightloom/plexa/Plexa2";
constexpr const char* kCounting = "edu/qet/brightloom/plexa/testing/CountingPlexa2";
constexpr int kDepthPixels = plexa::bench::kDepthPixels2;

struct Scenario {
    const char* name;
    int flags;
    bool bodiesAndMappings;
};

constexpr Scenario kImageStreams{"image streams", 0x1 | 0x2 | 0x4 | 0x8 | 0x10, false};
constexpr Scenario kFullFrame{"every stream, UV, XYZ, 6 bodies", 0x7F | 0x100 | 0x1000, true};

ScriptedShortImage shortImage(std::uint16_t seed) { return plexa::bench::scriptedShortImage2(seed); }

ScriptedFrame makeFrame(const Scenario& scenario) { return plexa::bench::scriptedFrame2(scenario.bodiesAndMappings); }

// One Java array of the frame: its element type, length and where its data
// comes from.
struct Entry {
    char type;  // 'B' byte, 'S' short, 'F' float, 'Z' boolean
    jsize length;
    const void* source;
    std::size_t bytes() const {
        const std::size_t size = type == 'S' ? 2 : type == 'F' ? 4 : 1;
        return size * static_cast<std::size_t>(length);
    }
};

// What the bridge delivers for the scenario, in list order, with sources of
// the same sizes for the baselines.
struct Delivered {
    std::vector<jint> codes;
    std::vector<Entry> entries;
    std::vector<float> uv = std::vector<float>(2 * kDepthPixels, 0.25f);
    std::vector<float> xyz = std::vector<float>(3 * kDepthPixels, 1.5f);
    std::vector<jboolean> tracked = std::vector<jboolean>(6, 1);
    std::vector<float> positions = std::vector<float>(454, 0.5f);
    std::vector<float> orientations = std::vector<float>(600, 0.5f);
    std::vector<std::uint8_t> states = std::vector<std::uint8_t>(150, 2);

    Delivered(const ScriptedFrame& frame, const Scenario& scenario) {
        add(1, {'B', static_cast<jsize>(frame.color->raw.size()), frame.color->raw.data()});
        add(8, {'S', kDepthPixels, frame.depth->samples.data()});
        if (scenario.bodiesAndMappings) {
            add(256, {'F', 2 * kDepthPixels, uv.data()});
            add(4096, {'F', 3 * kDepthPixels, xyz.data()});
        }
        add(16, {'B', kDepthPixels, frame.bodyIndex->bytes.data()});
        add(2, {'S', kDepthPixels, frame.infrared->samples.data()});
        add(4, {'S', kDepthPixels, frame.longExposureInfrared->samples.data()});
        if (scenario.bodiesAndMappings) {
            add(32, {'Z', 6, tracked.data()});
            add(512, {'F', 454, positions.data()});
            add(1024, {'F', 600, orientations.data()});
            add(2048, {'B', 150, states.data()});
        }
    }
    void add(jint code, Entry entry) {
        codes.push_back(code);
        entries.push_back(entry);
    }
    std::size_t totalBytes() const {
        std::size_t total = codes.size() * sizeof(jint);
        for (const Entry& e : entries) total += e.bytes();
        return total;
    }
};

// The Plexa2 methods the benchmark calls often, looked up once.
struct Plexa2Methods {
    jclass plexa2;
    jmethodID start;
    jmethodID stop;

    Plexa2Methods() {
        JNIEnv* env = Jvm::start().env();
        plexa2 = Jvm::start().findClass(kPlexa2);
        start = env->GetStaticMethodID(plexa2, "_startNUI", "(ILedu/qet/brightloom/plexa/Plexa2;I)I");
        stop = env->GetStaticMethodID(plexa2, "_stopNUI", "(I)V");
    }
};

const Plexa2Methods& methods() {
    static const Plexa2Methods instance;
    return instance;
}

void BridgeFrame(benchmark::State& state, Scenario scenario) {
    JNIEnv* env = Jvm::start().env();
    reset();
    setScripted(true);
    jobject target = Jvm::start().newObject(kCounting);
    jclass counting = env->GetObjectClass(target);
    jmethodID framesOf = env->GetMethodID(counting, "frames", "()I");
    env->DeleteLocalRef(counting);
    const jint started = env->CallStaticIntMethod(methods().plexa2, methods().start, scenario.flags, target, 0);
    if (env->ExceptionCheck() || started != 0) {
        env->ExceptionClear();
        state.SkipWithError("the bridge did not start");
        return;
    }
    const int idle = liveObjectCount();
    const ScriptedFrame frame = makeFrame(scenario);
    jint delivered = 0;
    auto framesSeen = [&]() {
        const jint frames = env->CallIntMethod(target, framesOf);
        env->ExceptionCheck();  // the VM's checks want every call followed by one
        return frames;
    };
    auto runOne = [&]() {
        ScriptedFrame copy = frame;  // outside the clock
        const auto begin = Clock::now();
        queueFrame(std::move(copy));
        while (framesSeen() == delivered) std::this_thread::yield();
        while (liveObjectCount() != idle) std::this_thread::yield();
        const auto end = Clock::now();
        ++delivered;
        return std::chrono::duration<double>(end - begin).count();
    };
    for (int i = 0; i < 5; ++i) runOne();  // the VM compiles the callback first
    for (auto _ : state) state.SetIterationTime(runOne());
    env->CallStaticVoidMethod(methods().plexa2, methods().stop, 0);
    if (env->ExceptionCheck()) env->ExceptionClear();
    env->DeleteGlobalRef(target);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(Delivered(frame, scenario).totalBytes()));
}

// The least a bridge must do for the same frame, on a thread of its own.
double jniFloorOnce(JavaVM* vm, const Delivered& delivered, jobject target, jmethodID callback) {
    const auto begin = Clock::now();
    JNIEnv* env = nullptr;
    vm->AttachCurrentThread(reinterpret_cast<void**>(&env), nullptr);
    env->PushLocalFrame(32);
    const auto count = static_cast<jsize>(delivered.codes.size());
    jintArray types = env->NewIntArray(count);
    env->SetIntArrayRegion(types, 0, count, delivered.codes.data());
    jclass objectClass = env->FindClass("java/lang/Object");
    jobjectArray entries = env->NewObjectArray(count, objectClass, nullptr);
    for (jsize i = 0; i < count; ++i) {
        const Entry& e = delivered.entries[static_cast<std::size_t>(i)];
        jarray array = nullptr;
        switch (e.type) {
            case 'B':
                array = env->NewByteArray(e.length);
                env->SetByteArrayRegion(static_cast<jbyteArray>(array), 0, e.length, static_cast<const jbyte*>(e.source));
                break;
            case 'S':
                array = env->NewShortArray(e.length);
                env->SetShortArrayRegion(static_cast<jshortArray>(array), 0, e.length,
                                         static_cast<const jshort*>(e.source));
                break;
            case 'F':
                array = env->NewFloatArray(e.length);
                env->SetFloatArrayRegion(static_cast<jfloatArray>(array), 0, e.length,
                                         static_cast<const jfloat*>(e.source));
                break;
            default:
                array = env->NewBooleanArray(e.length);
                env->SetBooleanArrayRegion(static_cast<jbooleanArray>(array), 0, e.length,
                                           static_cast<const jboolean*>(e.source));
                break;
        }
        env->SetObjectArrayElement(entries, i, array);
    }
    env->CallVoidMethod(target, callback, types, entries);
    if (env->ExceptionCheck()) env->ExceptionClear();
    env->PopLocalFrame(nullptr);
    vm->DetachCurrentThread();
    return std::chrono::duration<double>(Clock::now() - begin).count();
}

void JniFloor(benchmark::State& state, Scenario scenario) {
    JNIEnv* env = Jvm::start().env();
    JavaVM* vm = Jvm::start().vm();
    const ScriptedFrame frame = makeFrame(scenario);
    const Delivered delivered(frame, scenario);
    jobject target = Jvm::start().newObject(kCounting);
    jclass counting = env->GetObjectClass(target);
    jmethodID callback = env->GetMethodID(counting, "onFrameEventFromNative", "([I[Ljava/lang/Object;)V");
    env->DeleteLocalRef(counting);
    auto runOne = [&]() {
        double seconds = 0.0;
        std::thread worker([&]() { seconds = jniFloorOnce(vm, delivered, target, callback); });
        worker.join();
        return seconds;
    };
    for (int i = 0; i < 5; ++i) runOne();
    for (auto _ : state) state.SetIterationTime(runOne());
    env->DeleteGlobalRef(target);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(delivered.totalBytes()));
}

void Memcpy(benchmark::State& state, Scenario scenario) {
    const ScriptedFrame frame = makeFrame(scenario);
    const Delivered delivered(frame, scenario);
    std::vector<std::vector<std::uint8_t>> destinations;
    for (const Entry& e : delivered.entries) destinations.emplace_back(e.bytes());
    for (auto _ : state) {
        const auto begin = Clock::now();
        for (std::size_t i = 0; i < delivered.entries.size(); ++i) {
            std::memcpy(destinations[i].data(), delivered.entries[i].source, delivered.entries[i].bytes());
        }
        benchmark::ClobberMemory();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - begin).count());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(delivered.totalBytes()));
}

// The coordinate mapper's own work for one depth frame (both mappings), which
// the full frame contains.
void RuntimeMapping(benchmark::State& state) {
    reset();
    IKinectSensor* sensor = nullptr;
    ICoordinateMapper* mapper = nullptr;
    if (FAILED(GetDefaultKinectSensor(&sensor)) || sensor == nullptr ||
        FAILED(sensor->get_CoordinateMapper(&mapper)) || mapper == nullptr) {
        if (sensor != nullptr) sensor->Release();
        state.SkipWithError("no coordinate mapper");
        return;
    }
    const ScriptedShortImage depth = shortImage(1);
    std::vector<ColorSpacePoint> color(kDepthPixels);
    std::vector<CameraSpacePoint> camera(kDepthPixels);
    for (auto _ : state) {
        const auto begin = Clock::now();
        mapper->MapDepthFrameToColorSpace(kDepthPixels, depth.samples.data(), kDepthPixels, color.data());
        mapper->MapDepthFrameToCameraSpace(kDepthPixels, depth.samples.data(), kDepthPixels, camera.data());
        benchmark::ClobberMemory();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - begin).count());
    }
    mapper->Release();
    sensor->Release();
}

// Keeps each benchmark's time (the median when repeated, else the mean) so
// that the ratios come from this one run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const std::string name = run.run_name.str();
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians[name] = run.GetAdjustedRealTime();
            } else if (run.run_type == Run::RT_Iteration) {
                means[name] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // Microseconds (every benchmark here reports in microseconds).
    double time(const std::string& name) const {
        if (auto it = medians.find(name); it != medians.end()) return it->second;
        if (auto it = means.find(name); it != means.end()) return it->second;
        return 0.0;
    }

private:
    std::map<std::string, double> medians;
    std::map<std::string, double> means;
};

std::string nameOf(const char* kind, const Scenario& scenario) { return std::string(kind) + "/" + scenario.name; }

}  // namespace

int main(int argc, char** argv) {
    plexa::bench::startBenchVm();
    for (const Scenario& scenario : {kImageStreams, kFullFrame}) {
        benchmark::RegisterBenchmark(nameOf("bridge", scenario).c_str(), BridgeFrame, scenario)
            ->UseManualTime()
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(nameOf("jni floor", scenario).c_str(), JniFloor, scenario)
            ->UseManualTime()
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(nameOf("memcpy", scenario).c_str(), Memcpy, scenario)
            ->UseManualTime()
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("runtime mapping/both mappings of one depth frame", RuntimeMapping)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n%-34s %12s %12s %12s %14s %14s\n", "frame", "bridge us", "JNI floor us", "memcpy us",
                "bridge/floor", "bridge/memcpy");
    for (const Scenario& scenario : {kImageStreams, kFullFrame}) {
        const double bridge = reporter.time(nameOf("bridge", scenario) + "/manual_time");
        const double floor = reporter.time(nameOf("jni floor", scenario) + "/manual_time");
        const double copy = reporter.time(nameOf("memcpy", scenario) + "/manual_time");
        if (bridge <= 0.0 || floor <= 0.0 || copy <= 0.0) continue;
        std::printf("%-34s %12.1f %12.1f %12.1f %14.2f %14.2f\n", scenario.name, bridge, floor, copy, bridge / floor,
                    bridge / copy);
    }
    const double mapping = reporter.time("runtime mapping/both mappings of one depth frame/manual_time");
    if (mapping > 0.0) std::printf("runtime's own mapping work in the full frame: %.1f us\n", mapping);
    const double fullBridge = reporter.time(nameOf("bridge", kFullFrame) + "/manual_time");
    const double fullFloor = reporter.time(nameOf("jni floor", kFullFrame) + "/manual_time");
    if (fullFloor > 0.0) plexa::bench::printRatioFigure("v2.full.own_over_floor", (fullBridge - mapping) / fullFloor);
    benchmark::Shutdown();
    return 0;
}
