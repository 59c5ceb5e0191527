// The process-wide state of the virtual sensor: the control settings, the one
// default sensor and whether it is open, the open readers with their
// frame-arrived subscriptions, the scripted queue and the live producer. One
// mutex guards it all; the bridge's event thread and Java threads may call at
// once. Never destroyed, so threads running while the process exits find it.
#pragma once

#include "FrameContent.h"
#include "LiveProducer.h"
#include "RefCounted.h"
#include "SceneFrameSource.h"

#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace plexa::virtual2 {

// What the state keeps for one open reader. Touched only under the state's
// mutex.
struct ReaderChannel {
    DWORD sources = 0;
    std::vector<HANDLE> subscriptions;
    std::shared_ptr<const FrameContent> pending;  // live frame not yet acquired
};

// GetDefaultKinectSensor's answer when setSensorPresent(false): the device is
// not connected (the Windows error 1167 as a result code).
constexpr HRESULT kDeviceNotConnected = static_cast<HRESULT>(0x8007048Fu);

class RuntimeState final : private LiveFrameSink {
public:
    static RuntimeState& instance();

    using SensorObject = RefCounted<IKinectSensor>;
    // The default sensor: the same object while anybody holds it, a new one
    // from `make` when nobody does.
    HRESULT takeDefaultSensor(IKinectSensor** sensor, SensorObject* (*make)());
    void sensorDestroyed(const SensorObject* sensor);
    HRESULT openSensor();
    void closeSensor();
    bool mapperPresent();

    // Readers. attachReader fails unless the sensor is open.
    HRESULT attachReader(ReaderChannel& channel);
    void detachReader(ReaderChannel& channel);
    HRESULT subscribe(ReaderChannel& channel, WAITABLE_HANDLE* handle);
    HRESULT unsubscribe(ReaderChannel& channel, WAITABLE_HANDLE handle);
    // The next frame for the reader, or E_PENDING when none arrived since its
    // last acquisition.
    HRESULT acquireFrame(ReaderChannel& channel, std::shared_ptr<const FrameContent>& content);

    // Control face.
    void reset();
    void setSensorPresent(bool present);
    void setMapperPresent(bool present);
    void setScripted(bool scripted);
    void queueFrame(ScriptedFrame frame);
    int queuedFrameCount();

private:
    RuntimeState();

    bool liveFramesWanted(DWORD& sources) override;
    void produceLiveFrame(std::chrono::steady_clock::time_point due, DWORD sources) override;

    // Fills the sources of `sources` that `content` lacks with live content.
    void renderLive(TIMESPAN time, DWORD sources, FrameContent& content);
    std::shared_ptr<const FrameContent> assembleScripted(ScriptedFrame frame, DWORD sources, TIMESPAN time);

    bool streamingLocked() const { return sensorPresent_ && sensorOpen_; }
    bool liveFramesWantedLocked(DWORD& sources) const;
    void updateProducerLocked();
    bool frameReadyLocked(const ReaderChannel& channel) const;
    void signalLocked(const ReaderChannel& channel) const;
    void signalAllLocked() const;
    void dropLiveFramesLocked();

    std::mutex mutex_;
    bool sensorPresent_ = true;
    bool mapperPresent_ = true;
    bool scripted_ = false;
    SensorObject* defaultSensor_ = nullptr;  // not owned: the holders' references keep it
    bool sensorOpen_ = false;
    std::vector<ReaderChannel*> readers_;
    std::deque<ScriptedFrame> queue_;
    long long scriptedFramesDelivered_ = 0;
    const std::chrono::steady_clock::time_point epoch_;

    std::mutex renderMutex_;  // the live source renders for one caller at a time
    SceneFrameSource liveSource_;

    LiveProducer producer_;
};

}  // namespace plexa::virtual2
