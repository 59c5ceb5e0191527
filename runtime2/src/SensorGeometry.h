// Fixed properties of the virtual second-generation sensor: image sizes,
// frame rate and the clock of relative frame times.
#pragma once

#include "runtime2/KinectRuntime.h"

namespace plexa::virtual2 {

constexpr int kDepthWidth = 512;
constexpr int kDepthHeight = 424;
constexpr int kDepthPixelCount = kDepthWidth * kDepthHeight;
constexpr int kColorWidth = 1920;
constexpr int kColorHeight = 1080;

// Every source bit a reader may be opened with (audio included, though no
// frame of it is ever delivered).
constexpr DWORD kAllFrameSources = FrameSourceTypes_Color | FrameSourceTypes_Infrared |
                                   FrameSourceTypes_LongExposureInfrared | FrameSourceTypes_Depth |
                                   FrameSourceTypes_BodyIndex | FrameSourceTypes_Body | FrameSourceTypes_Audio;

// Relative times count 100 ns ticks.
constexpr TIMESPAN kTicksPerSecond = 10'000'000;
constexpr int kFramesPerSecond = 30;
constexpr TIMESPAN kTicksPerFrame = kTicksPerSecond / kFramesPerSecond;

}  // namespace plexa::virtual2
