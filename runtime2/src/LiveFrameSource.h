// What live mode films. The runtime asks a LiveFrameSource for the content of
// every source at a moment in time: live frames, and the sources a scripted
// frame leaves out.
#pragma once

#include "runtime2/VirtualSensor2.h"

#include <memory>

namespace plexa::virtual2 {

// One moment of every source, at the sensor's own sizes: color 1920 x 1080
// (raw YUY2 or BGRA, raw.size() bytes), depth, infrared, long-exposure
// infrared and body index 512 x 424, six body slots of 25 joints.
struct LiveFrame {
    ScriptedColorImage color;
    ScriptedShortImage depth;
    ScriptedBodyIndexImage bodyIndex;
    ScriptedBodies bodies;
    ScriptedShortImage infrared;
    ScriptedShortImage longExposureInfrared;
};

class LiveFrameSource {
public:
    virtual ~LiveFrameSource() = default;

    // Fills the members of `frame` whose FrameSourceTypes bit is set in
    // `sources` (color 0x1, infrared 0x2, long-exposure 0x4, depth 0x8, body
    // index 0x10, body 0x20) with the scene at `time` (100 ns ticks since the
    // runtime started); the other members are left alone. The same time gives
    // the same content. Calls come from one thread at a time, though not
    // always the same thread. Depth is in millimetres, joints in camera space
    // (metres; x right, y up, z forward from the depth camera), consistent
    // with the camera model of CameraModel.h.
    virtual void render(TIMESPAN time, DWORD sources, LiveFrame& frame) = 0;
};

// The source live mode uses (LiveFrameSourceFactory.cpp).
std::unique_ptr<LiveFrameSource> makeLiveFrameSource();

}  // namespace plexa::virtual2
