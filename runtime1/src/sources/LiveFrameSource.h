// What a sensor in live mode films. The live producer asks one source for
// every frame of every live sensor.
#pragma once

#include "ImageGeometry.h"

#include <cstdint>
#include <memory>

namespace plexa::virtual1 {

// Where and when a frame is taken.
struct LiveView {
    double seconds;         // scene time: the frame's time stamp, on the clock every virtual sensor shares
    int sensorIndex;        // sensors of different indexes may stand in different places
    LONG elevationDegrees;  // the sensor head's tilt, positive looking up
};

// Called on the filming source's thread only, one call at a time. Buffers are
// packed rows, top row first, of exactly `size`.
class LiveFrameSource {
public:
    virtual ~LiveFrameSource() = default;

    // Depth in millimetres shifted left by 3, player index (0: nobody) in the low 3 bits.
    virtual void fillDepth(const LiveView& view, ImageSize size, bool nearMode, std::uint16_t* samples) = 0;
    // Blue, green, red and an unused byte per pixel.
    virtual void fillColor(const LiveView& view, ImageSize size, std::uint8_t* pixels) = 0;
    // Infrared intensity, 16 bits per pixel.
    virtual void fillInfrared(const LiveView& view, ImageSize size, std::uint16_t* samples) = 0;
    // Skeleton slots, floor clip plane and normal to gravity; the sensor sets
    // the time stamp and frame number. In seated mode the lower body is not tracked.
    virtual void fillSkeletons(const LiveView& view, bool seated, NUI_SKELETON_FRAME& frame) = 0;
};

// What sensor `sensorIndex` films live.
std::unique_ptr<LiveFrameSource> makeLiveFrameSource(int sensorIndex);

}  // namespace plexa::virtual1
