#include "VirtualSource.h"

#include "FramePacer.h"
#include "LiveScene.h"
#include "VirtualSensors.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <thread>

namespace plexa::virtual1 {

VirtualSource::VirtualSource(int index) : index_(index), scene_(index) {}

HRESULT VirtualSource::status() {
    return virtualSensors().isConnected(index_) ? virtualSensors().settings(index_).status : E_NUI_NOTCONNECTED;
}

HRESULT VirtualSource::setElevation(LONG degrees) {
    virtualSensors().change(index_, [&](auto& set) { set.elevation = degrees; });
    return S_OK;
}

HRESULT VirtualSource::elevation(LONG& degrees) {
    degrees = virtualSensors().settings(index_).elevation;
    return S_OK;
}

HRESULT VirtualSource::accelerometer(Vector4& reading) {
    reading = virtualSensors().accelerometer(index_);
    return S_OK;
}

// ---- receivers ------------------------------------------------------------------

void VirtualSource::receive(std::size_t slot, const std::shared_ptr<FrameReceiver>& receiver) {
    std::lock_guard<std::mutex> lock(mutex_);
    receivers_[slot] = ReceiverHandle{receiver, receiver.get()};
    changed_.notify_all();
    if (filming_) return;
    try {
        // Detached: it holds this source, which outlives its sensor objects.
        std::thread([self = shared_from_this()] { self->film(); }).detach();
        filming_ = true;
    } catch (const std::system_error&) {
        // No thread for now: the next stream that opens tries again.
    }
}

void VirtualSource::letGo(std::size_t slot, const FrameReceiver* receiver) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!receivers_[slot].is(receiver)) return;
    receivers_[slot] = ReceiverHandle{};
    changed_.notify_all();
}

bool VirtualSource::hasReceivers() const {
    return std::any_of(receivers_.begin(), receivers_.end(), [](const auto& each) { return !each.object.expired(); });
}

bool VirtualSource::feeds(Stream kind, const FrameReceiver* receiver) {
    std::lock_guard<std::mutex> lock(mutex_);
    return receivers_[slotOf(kind)].is(receiver);
}

// ---- scripted mode ----------------------------------------------------------------

bool VirtualSource::takeScriptedImage(Stream kind, const FrameReceiver* receiver, ScriptedImageFrame& frame) {
    return virtualSensors().settings(index_).scripted && feeds(kind, receiver) &&
           virtualSensors().popImage(index_, kind, frame);
}

bool VirtualSource::takeScriptedSkeleton(const FrameReceiver* receiver, NUI_SKELETON_FRAME& frame) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!receivers_[kSkeletonSlot].is(receiver)) return false;
    }
    return virtualSensors().settings(index_).scripted && virtualSensors().popSkeleton(index_, frame);
}

// ---- live mode ----------------------------------------------------------------------

void VirtualSource::film() {
    // On the clock every virtual sensor shares, so that they film the same moments.
    FramePacer pacer(virtualSensors().clockStart(FramePacer::Clock::now()));
    pacer.skipPast(FramePacer::Clock::now());
    for (;;) {
        const FramePacer::Clock::time_point dueAt = pacer.nextDue();
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait_until(lock, dueAt, [&] { return !hasReceivers(); });
            if (!hasReceivers()) {
                filming_ = false;
                return;
            }
        }
        try {
            if (!virtualSensors().settings(index_).scripted) filmMoment(dueAt);
        } catch (const std::bad_alloc&) {
            // Out of memory for one frame: that frame is skipped.
        }
        pacer.frameDone(dueAt, FramePacer::Clock::now());
    }
}

void VirtualSource::filmMoment(FrameReceiver::Clock::time_point dueAt) {
    std::array<std::shared_ptr<FrameReceiver>, 3> receivers;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (std::size_t slot = 0; slot < receivers_.size(); ++slot) receivers[slot] = receivers_[slot].object.lock();
    }
    const LONG elevation = virtualSensors().settings(index_).elevation;
    // Each frame is filmed at the scene time of its own time stamp.
    for (Stream kind : {Stream::Depth, Stream::Video}) {
        if (const auto& receiver = receivers[slotOf(kind)]) {
            receiver->deliverImage(kind, dueAt, [&](ImageSlot& slot) {
                return scene_.fillImage(LiveView{sceneSecondsAt(slot.timeStamp), elevation}, slot);
            });
        }
    }
    if (const auto& receiver = receivers[kSkeletonSlot]) {
        receiver->deliverSkeleton(dueAt, [&](SkeletonSlot& slot) {
            scene_.fillSkeletons(LiveView{sceneSecondsAt(slot.timeStamp), elevation}, slot.seated, slot.frame);
            return true;
        });
    }
}

}  // namespace plexa::virtual1
