// The sensor's frame buffers: made once, kept on the sensor's shelf between
// its sessions (BufferShelf) and lent to one session at a time, which uses
// them only on its event thread.
#pragma once

#include "BodyPacking.h"
#include "BufferShelf.h"
#include "SizedBuffer.h"

#include <cstdint>

namespace plexa::bridge2 {

constexpr int kSensorCount = 10;

struct FrameBuffers {
    // Image-sized, allocated on first use and replaced when the size changes:
    // the converted color image (BGRA) and the two depth mappings.
    SizedBuffer<std::uint8_t, 4> colorBuffer;
    SizedBuffer<float, 2> uvBuffer;
    SizedBuffer<float, 3> xyzBuffer;

    BodyBuffers bodyBuffers;
    BodyScratch bodyScratch;

    // A session starts from empty buffers and zeroed bodies (a slot never
    // tracked delivers zeros), whatever the session before it left.
    void startSession() {
        colorBuffer.startOver();
        uvBuffer.startOver();
        xyzBuffer.startOver();
        bodyBuffers = BodyBuffers{};
    }
};

using FrameBufferShelf = BufferShelf<FrameBuffers, kSensorCount>;

}  // namespace plexa::bridge2
