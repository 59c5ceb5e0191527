// The virtual sensor of one index as a source: in live mode it films the
// synthetic scene on a thread of its own, at the sensor's frame rate, for the
// sensor object that opened each stream last; in scripted mode that object
// takes the frames a test queued on the control face. Its settings (connected,
// status, tilt, accelerometer, scripts) are the control face's, by index.
#pragma once

#include "SceneFrameSource.h"
#include "SensorSource.h"
#include "VirtualSensors.h"

#include <array>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace plexa::virtual1 {

class VirtualSource final : public SensorSource, public std::enable_shared_from_this<VirtualSource> {
public:
    explicit VirtualSource(int index);

    bool isConnected() override { return virtualSensors().isConnected(index_); }
    HRESULT status() override;
    FrameReceiver::Clock::time_point clockStart(FrameReceiver::Clock::time_point initializedAt) override {
        return virtualSensors().clockStart(initializedAt);
    }
    HRESULT checkImageStream(std::int32_t, std::int32_t) override { return S_OK; }
    HRESULT checkFrameFlags(DWORD) override { return S_OK; }
    HRESULT checkSkeletonTracking() override { return S_OK; }

    void streamOpened(Stream kind, std::int32_t, std::int32_t,
                      const std::shared_ptr<FrameReceiver>& receiver) override {
        receive(slotOf(kind), receiver);
    }
    void streamClosed(Stream kind, const FrameReceiver* receiver,
                      std::vector<ScriptedImageFrame>&& unfetched) override {
        virtualSensors().returnImages(index_, kind, std::move(unfetched));
        letGo(slotOf(kind), receiver);
    }
    void trackingEnabled(const std::shared_ptr<FrameReceiver>& receiver) override { receive(kSkeletonSlot, receiver); }
    void trackingDisabled(const FrameReceiver* receiver, std::vector<NUI_SKELETON_FRAME>&& unfetched) override {
        virtualSensors().returnSkeletons(index_, std::move(unfetched));
        letGo(kSkeletonSlot, receiver);
    }
    bool feeds(Stream kind, const FrameReceiver* receiver) override;
    bool acceptsPushedFrames(const FrameReceiver*) override { return !virtualSensors().settings(index_).scripted; }

    bool takeScriptedImage(Stream kind, const FrameReceiver* receiver, ScriptedImageFrame& frame) override;
    bool takeScriptedSkeleton(const FrameReceiver* receiver, NUI_SKELETON_FRAME& frame) override;
    void giveBackImages(Stream kind, std::vector<ScriptedImageFrame>&& frames) override {
        virtualSensors().returnImages(index_, kind, std::move(frames));
    }
    void giveBackSkeletons(std::vector<NUI_SKELETON_FRAME>&& frames) override {
        virtualSensors().returnSkeletons(index_, std::move(frames));
    }

    HRESULT setElevation(LONG degrees) override;
    HRESULT elevation(LONG& degrees) override;
    HRESULT accelerometer(Vector4& reading) override;

private:
    static constexpr std::size_t kSkeletonSlot = 2;

    void receive(std::size_t slot, const std::shared_ptr<FrameReceiver>& receiver);
    void letGo(std::size_t slot, const FrameReceiver* receiver);
    bool hasReceivers() const;
    // The live thread: films while some receiver is there.
    void film();
    void filmMoment(FrameReceiver::Clock::time_point dueAt);

    const int index_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::array<ReceiverHandle, 3> receivers_;  // depth, video, skeletons
    bool filming_ = false;
    // Used by the live thread only.
    SceneFrameSource scene_;
};

}  // namespace plexa::virtual1
