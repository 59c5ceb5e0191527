// What the JVM-hosted pipeline tests share: a first-generation session on
// sensor 0 of the virtual sensor in scripted mode, delivering to a
// PipelineRecordingPlexa1 that keeps every frame; frame builders; and readers
// of Java arrays and files.
#pragma once

#include "jvm.h"
#include "runtime1/VirtualSensor1.h"

#include <jni.h>

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

namespace plexa::test::pipelines {

constexpr const char* kPlexa1 = "edu/qet/brightloom/plexa/Plexa1";
constexpr const char* kRecorder = "edu/qet/brightloom/plexa/testing/PipelineRecordingPlexa1";
constexpr int kSensor = 0;

struct Size {
    int width, height;
    std::size_t pixels() const { return static_cast<std::size_t>(width) * static_cast<std::size_t>(height); }
};
Size sizeOf(int resolutionCode);

struct StartOptions {
    bool skeleton = false;
    int depthResolution = -1;
    int videoResolution = -1;
    bool infrared = false;
};

// A started session, stopped when it goes out of scope.
class Session {
public:
    // Puts sensor 0 of the virtual sensor in scripted mode (from a fresh
    // state) and starts a session delivering to a new recorder. The VM must
    // already run (Jvm::start with the options the test needs).
    explicit Session(const StartOptions& options);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    jobject recorder() const { return recorder_; }
    jint startResult() const { return startResult_; }
    // The exception _startNUI left pending ("" when none).
    const std::string& startException() const { return startException_; }

    void stop();

    jlong depthCount() const;
    jlong videoCount() const;
    jlong skeletonCount() const;
    // Waits for a counter to reach `count`; false after the deadline.
    bool waitForDepth(jlong count) const;
    bool waitForVideo(jlong count) const;
    bool waitForSkeleton(jlong count) const;

    void computeUV(bool on) const;
    void computeXYZ(bool on) const;
    bool saveDepthFrames(const std::string& path) const;
    bool saveDepthFramesToNull() const;
    bool closeDepthFile() const;

    // What the recorder received.
    jint received(const char* counter) const;  // "depthFrames", "colorFrames", ...
    std::vector<jshort> depth(int i) const;
    bool xyzIsNull(int i) const;
    bool uvIsNull(int i) const;
    std::vector<jfloat> xyz(int i) const;
    std::vector<jfloat> uv(int i) const;
    std::vector<jbyte> color(int i) const;
    std::vector<jshort> infrared(int i) const;
    std::vector<jboolean> tracked(int i) const;
    std::vector<jfloat> positions(int i) const;
    std::vector<jbyte> states(int i) const;

private:
    jobject recorder_ = nullptr;
    jint startResult_ = 0;
    std::string startException_;
    bool stopped_ = false;
};

// Reports a Java exception left pending by `call` as a test failure, and
// clears it (which also tells -Xcheck:jni that it was checked).
void expectNoJavaException(const char* call);

// callStatic and callMethod of the harness, each followed by that check.
template <typename R, typename... Args>
R javaStatic(const char* className, const char* name, const char* signature, Args... args) {
    if constexpr (std::is_same_v<R, void>) {
        callStatic<void>(className, name, signature, args...);
        expectNoJavaException(name);
    } else {
        const R result = callStatic<R>(className, name, signature, args...);
        expectNoJavaException(name);
        return result;
    }
}
template <typename R, typename... Args>
R javaMethod(jobject target, const char* name, const char* signature, Args... args) {
    if constexpr (std::is_same_v<R, void>) {
        callMethod<void>(target, name, signature, args...);
        expectNoJavaException(name);
    } else {
        const R result = callMethod<R>(target, name, signature, args...);
        expectNoJavaException(name);
        return result;
    }
}

// Image frames for the virtual sensor, `pitch` -1 meaning packed rows.
virtual1::ScriptedImageFrame depthFrame(const std::vector<std::uint16_t>& samples, std::int32_t pitch = -1);
virtual1::ScriptedImageFrame imageFrame(std::vector<std::uint8_t> bytes, std::int32_t pitch = -1);
void queueDepth(const std::vector<std::uint16_t>& samples);
// Samples that differ from pixel to pixel and from frame to frame.
std::vector<std::uint16_t> patternSamples(Size size, int frame);
std::vector<std::uint8_t> patternBytes(std::size_t count, int frame);

// Successful and failed calls of one operation in the virtual sensor's log.
int loggedCalls(virtual1::Operation operation, bool succeeded);
int loggedCalls(virtual1::Operation operation);

// A file's bytes.
std::vector<std::uint8_t> readFile(const std::string& path);

// An empty folder for recordings, removed with everything in it at the end.
class TempFolder {
public:
    explicit TempFolder(const std::string& name);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Java arrays as vectors (empty for null).
template <typename T>
std::vector<T> elementsOf(jobject array);

}  // namespace plexa::test::pipelines
