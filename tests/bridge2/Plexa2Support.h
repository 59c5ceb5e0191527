// What the second-generation bridge tests share: the Plexa2 entry points
// called from C++, the recording Java target, and the scripted virtual sensor.
#pragma once

#include "jvm.h"
#include "runtime2/VirtualSensor2.h"

#include <cstdint>
#include <string>
#include <vector>

namespace plexa::test::bridge2 {

constexpr const char* kPlexa2Class = "edu/qet/brightloom/plexa/Plexa2";
constexpr const char* kRecorderClass = "edu/qet/brightloom/plexa/testing/RecordingPlexa2";

// Stream-selection bits (the codes of the entries they ask for).
constexpr int kColor = 0x1;
constexpr int kInfrared = 0x2;
constexpr int kLongExposure = 0x4;
constexpr int kDepth = 0x8;
constexpr int kBodyIndex = 0x10;
constexpr int kBody = 0x20;
constexpr int kAudio = 0x40;
constexpr int kUv = 0x100;
constexpr int kBodyPositions = 0x200;
constexpr int kBodyOrientations = 0x400;
constexpr int kBodyJointStates = 0x800;
constexpr int kXyz = 0x1000;

// The virtual sensor in a fresh state, scripted: frames arrive only when queued.
void useScriptedSensor();

// Plexa2's static methods. An unexpected Java exception throws in C++.
bool createNUI(int index);
// Leaves no exception pending: the one it raised is kept for lastStartException.
int startNUI(int flags, jobject target, int index);
std::string lastStartException();  // class name, "" when none
void stopNUI(int index);
long long frameCounter(int index);
// The counter moves just after the frame callback returns: wait for it.
bool frameCounterReaches(int count, int index = 0);
void computeUV(bool on, int index);
void computeXYZ(bool on, int index);

// A RecordingPlexa2 and what it received.
class Recorder {
public:
    Recorder();
    jobject target() const { return object_; }

    int frames() const;
    bool waitForFrames(int count) const;  // with a deadline
    std::vector<std::string> calls() const;
    std::vector<int> types(int frame) const;
    int entryCount(int frame) const;
    std::vector<float> floats(int frame, int entry) const;
    std::vector<std::int16_t> shorts(int frame, int entry) const;
    std::vector<std::int8_t> bytes(int frame, int entry) const;
    std::vector<bool> booleans(int frame, int entry) const;
    int length(int frame, int entry) const;  // of any array entry
    std::vector<float> intrinsics() const;   // empty when never reported
    std::string deliveryThread(int frame) const;

    void throwOnFrame(int frame) const;
    void throwFromReports(bool on) const;
    void stopOnFrame(int frame, int index) const;
    bool stopReturned() const;
    // After its stop, the callback stays until released or `millis` pass.
    void holdAfterStop(int millis) const;
    void releaseHeldCallback() const;
    bool held() const;

private:
    jobject entry(int frame, int index) const;  // a local reference
    jobject object_;
};

// The calls of one operation in the virtual sensor's log.
std::vector<virtual2::CallRecord> callsOf(virtual2::Operation operation);
int countOf(virtual2::Operation operation);

// Scripted content.
virtual2::ScriptedShortImage shortImage(int width, int height, std::uint16_t first = 1);
virtual2::ScriptedBodyIndexImage bodyIndexImage(int width, int height);
virtual2::ScriptedColorImage bgraImage(int width, int height);
virtual2::ScriptedColorImage yuy2Image(int width, int height);
// Every source with small images (depth 8 x 6, color 16 x 9 BGRA, body index
// 8 x 6, infrared 8 x 6, long exposure 8 x 6) and no tracked body.
virtual2::ScriptedFrame smallFrame();
// A body whose joint j has position (slot, j, 0.5), orientation (j, slot, 0, 1)
// and tracking state 2.
virtual2::ScriptedBody trackedBody(int slot);

}  // namespace plexa::test::bridge2
