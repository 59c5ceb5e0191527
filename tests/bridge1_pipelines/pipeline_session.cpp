#include "pipeline_session.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace plexa::test::pipelines {
namespace {

JNIEnv* env() { return Jvm::start().env(); }

jobject callObject(jobject target, const char* name, const char* signature, int i) {
    return javaMethod<jobject>(target, name, signature, static_cast<jint>(i));
}

}  // namespace

void expectNoJavaException(const char* call) {
    const std::string pending = takeException(env());
    if (!pending.empty()) ADD_FAILURE() << call << " left " << pending << " pending";
}

Size sizeOf(int code) {
    switch (code) {
        case 0: return {80, 60};
        case 1: return {320, 240};
        case 2: return {640, 480};
        case 3: return {1280, 960};
        default: return {0, 0};
    }
}

Session::Session(const StartOptions& options) {
    virtual1::reset();
    virtual1::setScripted(kSensor, true);
    JNIEnv* e = env();
    javaStatic<jboolean>(kPlexa1, "_createNUI", "(I)Z", static_cast<jint>(kSensor));
    recorder_ = Jvm::start().newObject(kRecorder);
    startResult_ = callStatic<jint>(kPlexa1, "_startNUI", "(ZIIZLedu/qet/brightloom/plexa/Plexa1;I)I",
                                    static_cast<jboolean>(options.skeleton), static_cast<jint>(options.depthResolution),
                                    static_cast<jint>(options.videoResolution),
                                    static_cast<jboolean>(options.infrared), recorder_, static_cast<jint>(kSensor));
    startException_ = takeException(e);
}

Session::~Session() {
    stop();
    if (recorder_ != nullptr) env()->DeleteGlobalRef(recorder_);
}

void Session::stop() {
    if (stopped_) return;
    stopped_ = true;
    javaStatic<void>(kPlexa1, "_stopNUI", "(I)V", static_cast<jint>(kSensor));
}

jlong Session::depthCount() const { return javaStatic<jlong>(kPlexa1, "_getDepthFrameCounter", "(I)J", kSensor); }
jlong Session::videoCount() const { return javaStatic<jlong>(kPlexa1, "_getVideoFrameCounter", "(I)J", kSensor); }
jlong Session::skeletonCount() const {
    return javaStatic<jlong>(kPlexa1, "_getSkeletonFrameCounter", "(I)J", kSensor);
}
bool Session::waitForDepth(jlong count) const {
    return waitUntil([&] { return depthCount() >= count; });
}
bool Session::waitForVideo(jlong count) const {
    return waitUntil([&] { return videoCount() >= count; });
}
bool Session::waitForSkeleton(jlong count) const {
    return waitUntil([&] { return skeletonCount() >= count; });
}

void Session::computeUV(bool on) const {
    javaStatic<void>(kPlexa1, "_computeUV", "(ZI)V", static_cast<jboolean>(on), kSensor);
}
void Session::computeXYZ(bool on) const {
    javaStatic<void>(kPlexa1, "_computeXYZ", "(ZI)V", static_cast<jboolean>(on), kSensor);
}

bool Session::saveDepthFrames(const std::string& path) const {
    JNIEnv* e = env();
    jstring javaPath = e->NewStringUTF(path.c_str());
    const jboolean opened = javaStatic<jboolean>(kPlexa1, "_saveDepthFrames", "(Ljava/lang/String;I)Z", javaPath, kSensor);
    e->DeleteLocalRef(javaPath);
    return opened == JNI_TRUE;
}

bool Session::saveDepthFramesToNull() const {
    return javaStatic<jboolean>(kPlexa1, "_saveDepthFrames", "(Ljava/lang/String;I)Z", static_cast<jstring>(nullptr),
                                kSensor) == JNI_TRUE;
}

bool Session::closeDepthFile() const {
    return javaStatic<jboolean>(kPlexa1, "_closeDepthFile", "(I)Z", kSensor) == JNI_TRUE;
}

jint Session::received(const char* counter) const { return javaMethod<jint>(recorder_, counter, "()I"); }

template <typename T>
std::vector<T> elementsOf(jobject array) {
    std::vector<T> out;
    if (array == nullptr) return out;
    JNIEnv* e = env();
    const jsize length = e->GetArrayLength(static_cast<jarray>(array));
    out.resize(static_cast<std::size_t>(length));
    if constexpr (std::is_same_v<T, jshort>) {
        e->GetShortArrayRegion(static_cast<jshortArray>(array), 0, length, out.data());
    } else if constexpr (std::is_same_v<T, jfloat>) {
        e->GetFloatArrayRegion(static_cast<jfloatArray>(array), 0, length, out.data());
    } else if constexpr (std::is_same_v<T, jbyte>) {
        e->GetByteArrayRegion(static_cast<jbyteArray>(array), 0, length, out.data());
    } else {
        static_assert(std::is_same_v<T, jboolean>);
        e->GetBooleanArrayRegion(static_cast<jbooleanArray>(array), 0, length, out.data());
    }
    e->DeleteLocalRef(array);
    return out;
}
template std::vector<jshort> elementsOf<jshort>(jobject);
template std::vector<jfloat> elementsOf<jfloat>(jobject);
template std::vector<jbyte> elementsOf<jbyte>(jobject);
template std::vector<jboolean> elementsOf<jboolean>(jobject);

std::vector<jshort> Session::depth(int i) const { return elementsOf<jshort>(callObject(recorder_, "depth", "(I)[S", i)); }
bool Session::xyzIsNull(int i) const {
    jobject array = callObject(recorder_, "xyz", "(I)[F", i);
    env()->DeleteLocalRef(array);
    return array == nullptr;
}
bool Session::uvIsNull(int i) const {
    jobject array = callObject(recorder_, "uv", "(I)[F", i);
    env()->DeleteLocalRef(array);
    return array == nullptr;
}
std::vector<jfloat> Session::xyz(int i) const { return elementsOf<jfloat>(callObject(recorder_, "xyz", "(I)[F", i)); }
std::vector<jfloat> Session::uv(int i) const { return elementsOf<jfloat>(callObject(recorder_, "uv", "(I)[F", i)); }
std::vector<jbyte> Session::color(int i) const { return elementsOf<jbyte>(callObject(recorder_, "color", "(I)[B", i)); }
std::vector<jshort> Session::infrared(int i) const {
    return elementsOf<jshort>(callObject(recorder_, "infrared", "(I)[S", i));
}
std::vector<jboolean> Session::tracked(int i) const {
    return elementsOf<jboolean>(callObject(recorder_, "tracked", "(I)[Z", i));
}
std::vector<jfloat> Session::positions(int i) const {
    return elementsOf<jfloat>(callObject(recorder_, "positions", "(I)[F", i));
}
std::vector<jbyte> Session::states(int i) const { return elementsOf<jbyte>(callObject(recorder_, "states", "(I)[B", i)); }

virtual1::ScriptedImageFrame depthFrame(const std::vector<std::uint16_t>& samples, std::int32_t pitch) {
    virtual1::ScriptedImageFrame frame;
    frame.bytes.resize(samples.size() * 2);
    std::memcpy(frame.bytes.data(), samples.data(), frame.bytes.size());
    frame.pitch = pitch;
    return frame;
}

virtual1::ScriptedImageFrame imageFrame(std::vector<std::uint8_t> bytes, std::int32_t pitch) {
    virtual1::ScriptedImageFrame frame;
    frame.bytes = std::move(bytes);
    frame.pitch = pitch;
    return frame;
}

void queueDepth(const std::vector<std::uint16_t>& samples) {
    virtual1::queueImageFrame(kSensor, virtual1::Stream::Depth, depthFrame(samples));
}

std::vector<std::uint16_t> patternSamples(Size size, int frame) {
    std::vector<std::uint16_t> samples(size.pixels());
    for (std::size_t p = 0; p < samples.size(); ++p) {
        samples[p] = static_cast<std::uint16_t>((p * 131 + static_cast<std::size_t>(frame) * 7919) & 0xFFFF);
    }
    return samples;
}

std::vector<std::uint8_t> patternBytes(std::size_t count, int frame) {
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>((i * 29 + i / 251 + frame * 13) & 0xFF);
    return bytes;
}

int loggedCalls(virtual1::Operation operation, bool succeeded) {
    int n = 0;
    for (const virtual1::CallRecord& call : virtual1::callLog()) {
        if (call.operation == operation && SUCCEEDED(call.result) == succeeded) ++n;
    }
    return n;
}

int loggedCalls(virtual1::Operation operation) { return loggedCalls(operation, true) + loggedCalls(operation, false); }

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TempFolder::TempFolder(const std::string& name) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("plexa-pipelines-" + name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    path_ = folder.string();
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace plexa::test::pipelines
