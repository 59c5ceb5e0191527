// The receiving face of a sensor object: what a source that pushes frames (the
// virtual sensor's live scene, libfreenect's event thread, a replay's player)
// hands them to. The sensor object keeps its stream queues, events and frame
// leases behind it; a source never sees more of it than this.
//
// A fill runs outside the sensor object's lock, on the pushing thread, and
// writes straight into the frame that the caller will fetch, so a frame costs
// no copy and no allocation. A fill that returns false drops the frame.
#pragma once

#include "FunctionRef.h"
#include "ImageGeometry.h"
#include "runtime1/VirtualSensor1.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

namespace plexa::virtual1 {

// An image frame being filled: packed rows of the open stream's size.
struct ImageSlot {
    std::uint8_t* bytes = nullptr;
    ImageSize size{};
    std::int32_t imageType = 0;
    INT64 timeStamp = 0;             // milliseconds since the sensor was initialised
    std::optional<Vector4> reading;  // the accelerometer reading the frame was taken with, if it has one
};

// A skeleton frame being filled; the sensor object sets its time stamp and number.
struct SkeletonSlot {
    NUI_SKELETON_FRAME& frame;
    bool seated = false;  // only the upper body is tracked
    INT64 timeStamp = 0;
};

using ImageFill = FunctionRef<bool(ImageSlot&)>;
using SkeletonFill = FunctionRef<bool(SkeletonSlot&)>;

class FrameReceiver {
public:
    using Clock = std::chrono::steady_clock;

    // A frame of the open stream of `kind`, taken at `takenAt`; it becomes
    // ready, the oldest ready frame making way when the stream is full, as a
    // sensor that keeps filming would. False when no such stream is open, the
    // stream ended meanwhile or the fill dropped the frame.
    virtual bool deliverImage(Stream kind, Clock::time_point takenAt, ImageFill fill) = 0;
    // The same for a skeleton frame while tracking is on.
    virtual bool deliverSkeleton(Clock::time_point takenAt, SkeletonFill fill) = 0;

protected:
    ~FrameReceiver() = default;
};

// The sensor object that a source's frames of one kind go to: held weakly,
// since its last Release ends it, and known by address, so that an object
// that has been replaced cannot end its successor's stream.
struct ReceiverHandle {
    std::weak_ptr<FrameReceiver> object;
    const FrameReceiver* address = nullptr;
    bool is(const FrameReceiver* other) const { return address != nullptr && address == other; }
};

}  // namespace plexa::virtual1
