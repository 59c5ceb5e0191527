#include "Plexa2Support.h"

#include <stdexcept>
#include <type_traits>

namespace plexa::test::bridge2 {

using namespace plexa::virtual2;

namespace {

// Every call into Java is followed by an exception check (the VM's checks
// insist on it); an exception the test did not ask for fails loudly.
void expectNoException(const char* what) {
    const std::string pending = takePendingException();
    if (!pending.empty()) throw std::runtime_error(std::string(what) + " threw " + pending);
}

template <typename R, typename... Args>
R checkedStatic(const char* name, const char* signature, Args... args) {
    if constexpr (std::is_same_v<R, void>) {
        callStatic<void>(kPlexa2Class, name, signature, args...);
        expectNoException(name);
    } else {
        const R result = callStatic<R>(kPlexa2Class, name, signature, args...);
        expectNoException(name);
        return result;
    }
}

template <typename R, typename... Args>
R checkedMethod(jobject target, const char* name, const char* signature, Args... args) {
    if constexpr (std::is_same_v<R, void>) {
        callMethod<void>(target, name, signature, args...);
        expectNoException(name);
    } else {
        const R result = callMethod<R>(target, name, signature, args...);
        expectNoException(name);
        return result;
    }
}

std::string startException;

}  // namespace

void useScriptedSensor() {
    reset();
    setScripted(true);
}

bool createNUI(int index) {
    return checkedStatic<jboolean>("_createNUI", "(I)Z", static_cast<jint>(index)) != JNI_FALSE;
}

int startNUI(int flags, jobject target, int index) {
    const jint result = callStatic<jint>(kPlexa2Class, "_startNUI", "(ILedu/qet/brightloom/plexa/Plexa2;I)I",
                                         static_cast<jint>(flags), target, static_cast<jint>(index));
    startException = takePendingException();
    return result;
}

std::string lastStartException() { return startException; }

void stopNUI(int index) { checkedStatic<void>("_stopNUI", "(I)V", static_cast<jint>(index)); }

long long frameCounter(int index) { return checkedStatic<jlong>("_getFrameCounter", "(I)J", static_cast<jint>(index)); }

bool frameCounterReaches(int count, int index) {
    return waitUntil([&] { return frameCounter(index) == count; });
}

void computeUV(bool on, int index) {
    checkedStatic<void>("_computeUV", "(ZI)V", static_cast<jboolean>(on), static_cast<jint>(index));
}

void computeXYZ(bool on, int index) {
    checkedStatic<void>("_computeXYZ", "(ZI)V", static_cast<jboolean>(on), static_cast<jint>(index));
}

Recorder::Recorder() : object_(Jvm::start().newObject(kRecorderClass)) {}

int Recorder::frames() const { return checkedMethod<jint>(object_, "frames", "()I"); }

bool Recorder::waitForFrames(int count) const {
    return waitUntil([&]() { return frames() >= count; });
}

std::vector<std::string> Recorder::calls() const {
    JNIEnv* env = Jvm::start().env();
    auto array = checkedMethod<jobjectArray>(object_, "calls", "()[Ljava/lang/String;");
    std::vector<std::string> result;
    const jsize n = env->GetArrayLength(array);
    for (jsize i = 0; i < n; ++i) {
        auto text = static_cast<jstring>(env->GetObjectArrayElement(array, i));
        const char* chars = env->GetStringUTFChars(text, nullptr);
        result.emplace_back(chars);
        env->ReleaseStringUTFChars(text, chars);
        env->DeleteLocalRef(text);
    }
    env->DeleteLocalRef(array);
    return result;
}

std::vector<int> Recorder::types(int frame) const {
    JNIEnv* env = Jvm::start().env();
    auto array = checkedMethod<jintArray>(object_, "types", "(I)[I", static_cast<jint>(frame));
    std::vector<int> result(static_cast<std::size_t>(env->GetArrayLength(array)));
    if (!result.empty()) env->GetIntArrayRegion(array, 0, static_cast<jsize>(result.size()), result.data());
    env->DeleteLocalRef(array);
    return result;
}

int Recorder::entryCount(int frame) const {
    return checkedMethod<jint>(object_, "entryCount", "(I)I", static_cast<jint>(frame));
}

jobject Recorder::entry(int frame, int index) const {
    return checkedMethod<jobject>(object_, "entry", "(II)Ljava/lang/Object;", static_cast<jint>(frame),
                                  static_cast<jint>(index));
}

namespace {

// The elements of an array entry, after checking that it has the Java type asked for.
template <typename Element, typename Array>
std::vector<Element> elementsOf(jobject entry, const char* arrayClass,
                                void (JNIEnv::*getRegion)(Array, jsize, jsize, Element*)) {
    JNIEnv* env = Jvm::start().env();
    jclass expected = env->FindClass(arrayClass);
    const bool matches = entry != nullptr && env->IsInstanceOf(entry, expected);
    env->DeleteLocalRef(expected);
    if (!matches) {
        env->DeleteLocalRef(entry);
        throw std::runtime_error(std::string("entry is not a ") + arrayClass);
    }
    auto array = static_cast<Array>(entry);
    std::vector<Element> result(static_cast<std::size_t>(env->GetArrayLength(array)));
    if (!result.empty()) (env->*getRegion)(array, 0, static_cast<jsize>(result.size()), result.data());
    env->DeleteLocalRef(entry);
    return result;
}

}  // namespace

std::vector<float> Recorder::floats(int frame, int index) const {
    return elementsOf<jfloat, jfloatArray>(entry(frame, index), "[F", &JNIEnv::GetFloatArrayRegion);
}

std::vector<std::int16_t> Recorder::shorts(int frame, int index) const {
    auto values = elementsOf<jshort, jshortArray>(entry(frame, index), "[S", &JNIEnv::GetShortArrayRegion);
    return {values.begin(), values.end()};
}

std::vector<std::int8_t> Recorder::bytes(int frame, int index) const {
    auto values = elementsOf<jbyte, jbyteArray>(entry(frame, index), "[B", &JNIEnv::GetByteArrayRegion);
    return {values.begin(), values.end()};
}

std::vector<bool> Recorder::booleans(int frame, int index) const {
    auto values = elementsOf<jboolean, jbooleanArray>(entry(frame, index), "[Z", &JNIEnv::GetBooleanArrayRegion);
    std::vector<bool> result;
    for (jboolean value : values)
        result.push_back(value != JNI_FALSE);
    return result;
}

int Recorder::length(int frame, int index) const {
    JNIEnv* env = Jvm::start().env();
    jobject array = entry(frame, index);
    const jsize n = env->GetArrayLength(static_cast<jarray>(array));
    env->DeleteLocalRef(array);
    return n;
}

std::vector<float> Recorder::intrinsics() const {
    JNIEnv* env = Jvm::start().env();
    auto array = checkedMethod<jfloatArray>(object_, "intrinsics", "()[F");
    if (array == nullptr) return {};
    std::vector<float> result(static_cast<std::size_t>(env->GetArrayLength(array)));
    env->GetFloatArrayRegion(array, 0, static_cast<jsize>(result.size()), result.data());
    env->DeleteLocalRef(array);
    return result;
}

std::string Recorder::deliveryThread(int frame) const {
    JNIEnv* env = Jvm::start().env();
    auto name = checkedMethod<jstring>(object_, "deliveryThread", "(I)Ljava/lang/String;", static_cast<jint>(frame));
    const char* chars = env->GetStringUTFChars(name, nullptr);
    std::string result(chars);
    env->ReleaseStringUTFChars(name, chars);
    env->DeleteLocalRef(name);
    return result;
}

void Recorder::throwOnFrame(int frame) const {
    checkedMethod<void>(object_, "throwOnFrame", "(I)V", static_cast<jint>(frame));
}

void Recorder::throwFromReports(bool on) const {
    checkedMethod<void>(object_, "throwFromReports", "(Z)V", static_cast<jboolean>(on));
}

void Recorder::stopOnFrame(int frame, int index) const {
    checkedMethod<void>(object_, "stopOnFrame", "(II)V", static_cast<jint>(frame), static_cast<jint>(index));
}

bool Recorder::stopReturned() const { return checkedMethod<jboolean>(object_, "stopReturned", "()Z") != JNI_FALSE; }

void Recorder::holdAfterStop(int millis) const {
    checkedMethod<void>(object_, "holdAfterStop", "(I)V", static_cast<jint>(millis));
}

void Recorder::releaseHeldCallback() const { checkedMethod<void>(object_, "releaseHeldCallback", "()V"); }

bool Recorder::held() const { return checkedMethod<jboolean>(object_, "held", "()Z") != JNI_FALSE; }

std::vector<CallRecord> callsOf(Operation operation) {
    std::vector<CallRecord> result;
    for (const CallRecord& record : callLog()) {
        if (record.operation == operation) result.push_back(record);
    }
    return result;
}

int countOf(Operation operation) { return static_cast<int>(callsOf(operation).size()); }

ScriptedShortImage shortImage(int width, int height, std::uint16_t first) {
    ScriptedShortImage image;
    image.width = width;
    image.height = height;
    image.samples.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (std::size_t i = 0; i < image.samples.size(); ++i)
        image.samples[i] = static_cast<std::uint16_t>(first + i);
    return image;
}

ScriptedBodyIndexImage bodyIndexImage(int width, int height) {
    ScriptedBodyIndexImage image;
    image.width = width;
    image.height = height;
    image.bytes.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (std::size_t i = 0; i < image.bytes.size(); ++i)
        image.bytes[i] = static_cast<std::uint8_t>(i % 7 == 0 ? 3 : 255);
    return image;
}

ScriptedColorImage bgraImage(int width, int height) {
    ScriptedColorImage image;
    image.width = width;
    image.height = height;
    image.rawFormat = ColorImageFormat_Bgra;
    image.raw.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    for (std::size_t i = 0; i < image.raw.size(); ++i)
        image.raw[i] = static_cast<std::uint8_t>(i * 7 + 1);
    return image;
}

ScriptedColorImage yuy2Image(int width, int height) {
    ScriptedColorImage image;
    image.width = width;
    image.height = height;
    image.rawFormat = ColorImageFormat_Yuy2;
    image.raw.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 2);
    for (std::size_t i = 0; i < image.raw.size(); ++i)
        image.raw[i] = static_cast<std::uint8_t>(i % 2 == 0 ? 180 : 128);
    return image;
}

ScriptedFrame smallFrame() {
    ScriptedFrame frame;
    frame.color = bgraImage(16, 9);
    frame.depth = shortImage(8, 6, 500);
    frame.bodyIndex = bodyIndexImage(8, 6);
    frame.bodies = ScriptedBodies{};
    frame.infrared = shortImage(8, 6, 1000);
    frame.longExposureInfrared = shortImage(8, 6, 2000);
    return frame;
}

ScriptedBody trackedBody(int slot) {
    ScriptedBody body;
    body.tracked = true;
    for (int j = 0; j < JointType_Count; ++j) {
        auto& joint = body.joints[static_cast<std::size_t>(j)];
        joint.JointType = static_cast<JointType>(j);
        joint.Position = {static_cast<float>(slot), static_cast<float>(j), 0.5f};
        joint.TrackingState = TrackingState_Tracked;
        auto& orientation = body.orientations[static_cast<std::size_t>(j)];
        orientation.JointType = static_cast<JointType>(j);
        orientation.Orientation = {static_cast<float>(j), static_cast<float>(slot), 0.0f, 1.0f};
    }
    return body;
}

}  // namespace plexa::test::bridge2
