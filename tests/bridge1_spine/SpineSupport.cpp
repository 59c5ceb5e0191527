#include "SpineSupport.h"

#include "footprint.h"

#include <algorithm>
#include <fstream>

namespace plexa::test::spine {
void startScripted(const JvmOptions& options) {
    Jvm::start(options);
    sensor::setScripted(0, true);
    sensor::clearCallLog();
}

jboolean createNUI(jint index) { return plexa1<jboolean>("_createNUI", "(I)Z", index); }

jint startNUI(bool skeleton, jint depthResolution, jint videoResolution, bool infrared, jobject target, jint index) {
    return plexa1<jint>("_startNUI", "(ZIIZLedu/qet/brightloom/plexa/Plexa1;I)I", static_cast<jboolean>(skeleton),
                        depthResolution, videoResolution, static_cast<jboolean>(infrared), target, index);
}

void stopNUI(jint index) { plexa1<void>("_stopNUI", "(I)V", index); }

jlong depthCounter(jint index) { return plexa1<jlong>("_getDepthFrameCounter", "(I)J", index); }
jlong videoCounter(jint index) { return plexa1<jlong>("_getVideoFrameCounter", "(I)J", index); }
jlong skeletonCounter(jint index) { return plexa1<jlong>("_getSkeletonFrameCounter", "(I)J", index); }

jobject newRecorder() { return Jvm::start().newObject(kRecorder); }

jint recorderCount(jobject recorder, const char* method) { return callOn<jint>(recorder, method, "()I"); }

std::size_t nativeThreadCount() { return programThreadCount(); }

int javaThreadCount() { return callStaticChecked<jint>(kRecorder, "liveThreadCount", "()I"); }

std::vector<sensor::CallRecord> callsOf(sensor::Operation operation) {
    std::vector<sensor::CallRecord> calls;
    for (const sensor::CallRecord& call : sensor::callLog()) {
        if (call.operation == operation) calls.push_back(call);
    }
    return calls;
}

std::vector<sensor::Operation> operationsOf(const std::vector<sensor::Operation>& kept) {
    std::vector<sensor::Operation> operations;
    for (const sensor::CallRecord& call : sensor::callLog()) {
        if (std::find(kept.begin(), kept.end(), call.operation) != kept.end()) operations.push_back(call.operation);
    }
    return operations;
}

sensor::ScriptedImageFrame depthFrame80x60(std::uint16_t sample) {
    sensor::ScriptedImageFrame frame;
    frame.bytes.resize(80 * 60 * 2);
    for (std::size_t i = 0; i < frame.bytes.size(); i += 2) {
        frame.bytes[i] = static_cast<std::uint8_t>(sample & 0xFF);
        frame.bytes[i + 1] = static_cast<std::uint8_t>(sample >> 8);
    }
    return frame;
}

NUI_SKELETON_FRAME trackedSkeletonFrame() {
    NUI_SKELETON_FRAME frame{};
    frame.vFloorClipPlane = Vector4{0.0f, 1.0f, 0.0f, 1.0f};
    frame.SkeletonData[0].eTrackingState = NUI_SKELETON_TRACKED;
    for (int joint = 0; joint < NUI_SKELETON_POSITION_COUNT; ++joint) {
        frame.SkeletonData[0].SkeletonPositions[joint] = Vector4{0.1f * joint, 0.5f, 2.0f, 1.0f};
        frame.SkeletonData[0].eSkeletonPositionTrackingState[joint] = NUI_SKELETON_POSITION_TRACKED;
    }
    return frame;
}

}  // namespace plexa::test::spine
