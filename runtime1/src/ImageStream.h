// One open image stream of a sensor: the frames ready to be fetched, the
// frames the caller holds, and the textures kept for reuse. The owning sensor
// guards every call with its mutex.
#pragma once

#include "FrameTexture.h"
#include "runtime1/VirtualSensor1.h"
#include "sources/ImageGeometry.h"

#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace plexa::virtual1 {

struct ImageStreamSettings {
    std::int32_t imageType;
    std::int32_t resolution;
    DWORD frameFlags;
    DWORD frameLimit;
    HANDLE nextFrameEvent;
};

class ImageStream {
public:
    ImageStream(HANDLE handle, int sensorIndex, const ImageStreamSettings& settings);
    ImageStream(const ImageStream&) = delete;
    ImageStream& operator=(const ImageStream&) = delete;

    HANDLE handle() const { return handle_; }
    Stream kind() const { return streamOf(settings_.imageType); }
    std::int32_t imageType() const { return settings_.imageType; }
    ImageSize size() const { return imageSizeOf(settings_.resolution); }
    DWORD frameFlags() const { return settings_.frameFlags; }
    void setFrameFlags(DWORD flags) { settings_.frameFlags = flags; }

    std::size_t readyCount() const { return ready_.size(); }
    std::size_t outstandingCount() const { return outstanding_.size(); }
    bool hasRoom() const { return ready_.size() < settings_.frameLimit; }

    // A texture of the stream's packed size, for the live producer to fill.
    std::unique_ptr<FrameTexture> blankTexture();
    // A live frame: when the stream already holds its frame limit, the oldest
    // ready frame makes way, as a sensor that keeps filming would. A frame
    // may carry the accelerometer reading it was taken with (a replay's).
    void pushLive(std::unique_ptr<FrameTexture> texture, INT64 timeStamp,
                  std::optional<Vector4> reading = std::nullopt);
    // A scripted frame; the caller only pushes while hasRoom().
    void pushScripted(ScriptedImageFrame&& frame, INT64 timeStamp);

    // Hands out the oldest ready frame; false when none is ready.
    bool takeNext(NUI_IMAGE_FRAME& frame);
    // The reading the frame handed out last carried, if it carried one.
    const std::optional<Vector4>& lastTakenReading() const { return lastTakenReading_; }
    HRESULT release(const NUI_IMAGE_FRAME& frame);
    // Resets the caller's event once no frame is ready, so it is signalled
    // exactly while one is.
    void settleEvent();

    // Takes back every ready frame (scripted ones are returned in order so
    // nothing scripted is lost) and resets the event. Outstanding frames stay
    // valid until the caller releases them.
    std::vector<ScriptedImageFrame> dropReady();

private:
    struct ReadyFrame {
        std::unique_ptr<FrameTexture> texture;
        INT64 timeStamp;
        DWORD frameNumber;
        bool scripted;
        std::optional<Vector4> reading;
    };
    struct HeldFrame {
        std::unique_ptr<FrameTexture> texture;
        DWORD frameNumber;
    };

    std::unique_ptr<FrameTexture> spareTexture();
    void push(ReadyFrame&& frame);
    void recycle(std::unique_ptr<FrameTexture> texture);

    HANDLE handle_;
    int sensorIndex_;
    ImageStreamSettings settings_;
    DWORD nextFrameNumber_ = 1;
    std::deque<ReadyFrame> ready_;
    // Frames handed out and not yet released: a handful at most, kept in a
    // vector reserved once, so that handing out a frame allocates nothing.
    std::vector<HeldFrame> outstanding_;
    std::vector<std::unique_ptr<FrameTexture>> spare_;
    std::optional<Vector4> lastTakenReading_;
};

}  // namespace plexa::virtual1
