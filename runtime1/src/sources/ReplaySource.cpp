#include "ReplaySource.h"

#include "DepthConversion.h"
#include "FramePacer.h"
#include "UserMessages.h"

#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>

namespace plexa::virtual1 {

ReplaySource::ReplaySource(std::string name, std::unique_ptr<ReplayFrames> frames)
    : name_(std::move(name)), frames_(std::move(frames)), reading_(frames_->firstReading()) {}

bool ReplaySource::isConnected() {
    std::lock_guard<std::mutex> lock(mutex_);
    return connected_;
}

HRESULT ReplaySource::checkImageStream(std::int32_t imageType, std::int32_t resolution) {
    if (imageType != NUI_IMAGE_TYPE_DEPTH_AND_PLAYER_INDEX) return E_NUI_HARDWARE_FEATURE_UNAVAILABLE;
    return resolution == frames_->resolution() ? S_OK : E_NUI_NOTSUPPORTED;
}

HRESULT ReplaySource::elevation(LONG& degrees) {
    std::lock_guard<std::mutex> lock(mutex_);
    degrees = elevationFromReading(reading_);
    return S_OK;
}

HRESULT ReplaySource::accelerometer(Vector4& reading) {
    std::lock_guard<std::mutex> lock(mutex_);
    reading = reading_;
    return S_OK;
}

void ReplaySource::streamOpened(Stream kind, std::int32_t, std::int32_t,
                                const std::shared_ptr<FrameReceiver>& receiver) {
    if (kind != Stream::Depth) return;
    std::lock_guard<std::mutex> lock(mutex_);
    receiver_ = ReceiverHandle{receiver, receiver.get()};
    changed_.notify_all();
    if (playing_ || !connected_) return;
    try {
        // Detached: it uses only this source, which the selection never destroys.
        std::thread([self = shared_from_this()] { self->play(); }).detach();
        playing_ = true;
    } catch (const std::system_error&) {
        // No thread: no frames, as a sensor that does not stream.
    }
}

void ReplaySource::streamClosed(Stream kind, const FrameReceiver* receiver, std::vector<ScriptedImageFrame>&&) {
    if (kind != Stream::Depth) return;
    std::lock_guard<std::mutex> lock(mutex_);
    if (!receiver_.is(receiver)) return;
    receiver_ = ReceiverHandle{};
    changed_.notify_all();
}

void ReplaySource::play() {
    FramePacer pacer(FramePacer::Clock::now());
    for (;;) {
        const FramePacer::Clock::time_point dueAt = pacer.nextDue();
        std::shared_ptr<FrameReceiver> receiver;
        std::size_t index = 0;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait_until(lock, dueAt, [&] { return receiver_.object.expired(); });
            receiver = receiver_.object.lock();
            if (!receiver) {
                playing_ = false;
                return;
            }
            index = next_;
        }
        std::string problem;
        bool unreadable = false;
        Vector4 played{};
        const bool delivered = receiver->deliverImage(Stream::Depth, FramePacer::Clock::now(), [&](ImageSlot& slot) {
            if (slot.size.pixelCount() != imageSizeOf(frames_->resolution()).pixelCount()) return false;
            if (!frames_->read(index, reinterpret_cast<std::uint16_t*>(slot.bytes), played, problem)) {
                unreadable = true;
                return false;
            }
            slot.reading = played;
            return true;
        });
        receiver.reset();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (unreadable) {
                // A file that changes under the player ends the replay, as an
                // unplugged sensor ends its streams.
                connected_ = false;
                playing_ = false;
                reportToUser("replay of " + name_ + " stopped: " + problem);
                return;
            }
            if (delivered) {
                reading_ = played;
                next_ = (index + 1) % frames_->frameCount();
            }
        }
        pacer.frameDone(dueAt, FramePacer::Clock::now());
    }
}

std::shared_ptr<SensorSource> makeReplaySource(const std::string& path) {
    std::error_code error;
    const bool folder = std::filesystem::is_directory(std::filesystem::u8path(path), error) &&
                        std::filesystem::exists(std::filesystem::u8path(path + "/INDEX.txt"), error);
    ReplayOpening opening = folder ? openFakenectDump(path) : openDepthRecording(path);
    if (!opening.frames) {
        reportToUser("replay of " + path + ": " + opening.problem + "; no sensor");
        return nullptr;
    }
    if (!opening.problem.empty()) reportToUser("replay of " + path + ": " + opening.problem);
    return std::make_shared<ReplaySource>(path, std::move(opening.frames));
}

}  // namespace plexa::virtual1
