#include "RuntimeState.h"

#include "Instrumentation.h"
#include "RecycledBlocks.h"
#include "SensorGeometry.h"
#include "plexa/handle_owner.h"

#include <algorithm>
#include <memory>

namespace plexa::virtual2 {
namespace {

// The sources a frame can carry; audio never has a frame.
constexpr DWORD kFrameSources = kAllFrameSources & ~FrameSourceTypes_Audio;

template <class Part>
std::shared_ptr<const Part> share(Part&& part) {
    return makeRecycledShared<Part>(std::move(part));
}

}  // namespace

RuntimeState& RuntimeState::instance() {
    static RuntimeState* const state = new RuntimeState();
    return *state;
}

RuntimeState::RuntimeState() : epoch_(std::chrono::steady_clock::now()), producer_(*this) {}

// ---- sensor ---------------------------------------------------------------

HRESULT RuntimeState::takeDefaultSensor(IKinectSensor** sensor, SensorObject* (*make)()) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!sensorPresent_) return kDeviceNotConnected;
    // A cached sensor whose count already reached zero is being destroyed on
    // another thread; it is replaced, and its destructor then leaves the new
    // one alone.
    if (defaultSensor_ == nullptr || !defaultSensor_->tryAddRef()) {
        defaultSensor_ = make();
        sensorOpen_ = false;
    }
    *sensor = defaultSensor_;
    return S_OK;
}

void RuntimeState::sensorDestroyed(const SensorObject* sensor) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (defaultSensor_ != sensor) return;
    defaultSensor_ = nullptr;
    sensorOpen_ = false;
    updateProducerLocked();
}

HRESULT RuntimeState::openSensor() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!sensorPresent_) return kDeviceNotConnected;
    sensorOpen_ = true;
    signalAllLocked();
    updateProducerLocked();
    return S_OK;
}

// Readers of a closed sensor stay usable but receive nothing until it opens
// again; a live frame they had not taken yet is dropped.
void RuntimeState::closeSensor() {
    std::lock_guard<std::mutex> lock(mutex_);
    sensorOpen_ = false;
    dropLiveFramesLocked();
    signalAllLocked();
    updateProducerLocked();
}

bool RuntimeState::mapperPresent() {
    std::lock_guard<std::mutex> lock(mutex_);
    return mapperPresent_;
}

// ---- readers --------------------------------------------------------------

HRESULT RuntimeState::attachReader(ReaderChannel& channel) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!streamingLocked()) return E_FAIL;
    readers_.push_back(&channel);
    updateProducerLocked();
    return S_OK;
}

void RuntimeState::detachReader(ReaderChannel& channel) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (HANDLE handle : channel.subscriptions) CloseHandle(handle);
    channel.subscriptions.clear();
    channel.pending.reset();
    readers_.erase(std::remove(readers_.begin(), readers_.end(), &channel), readers_.end());
    updateProducerLocked();
}

HRESULT RuntimeState::subscribe(ReaderChannel& channel, WAITABLE_HANDLE* waitable) {
    std::lock_guard<std::mutex> lock(mutex_);
    HandleOwner event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!event) return E_OUTOFMEMORY;
    channel.subscriptions.push_back(event.get());
    if (frameReadyLocked(channel)) SetEvent(event.get());
    *waitable = reinterpret_cast<WAITABLE_HANDLE>(event.release());
    return S_OK;
}

HRESULT RuntimeState::unsubscribe(ReaderChannel& channel, WAITABLE_HANDLE waitable) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto subscription =
        std::find(channel.subscriptions.begin(), channel.subscriptions.end(), reinterpret_cast<HANDLE>(waitable));
    if (subscription == channel.subscriptions.end()) return E_INVALIDARG;
    CloseHandle(*subscription);
    channel.subscriptions.erase(subscription);
    return S_OK;
}

HRESULT RuntimeState::acquireFrame(ReaderChannel& channel, std::shared_ptr<const FrameContent>& content) {
    ScriptedFrame scripted;
    TIMESPAN time = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!frameReadyLocked(channel)) return E_PENDING;
        if (!scripted_) {
            content = std::move(channel.pending);
            channel.pending.reset();
            signalLocked(channel);
            return S_OK;
        }
        scripted = std::move(queue_.front());
        queue_.pop_front();
        time = scriptedFramesDelivered_++ * kTicksPerFrame;
        signalAllLocked();
    }
    // Rendering what the script left out takes a while; no lock is held.
    content = assembleScripted(std::move(scripted), channel.sources, time);
    return S_OK;
}

// ---- frames ---------------------------------------------------------------

bool RuntimeState::frameReadyLocked(const ReaderChannel& channel) const {
    if (!streamingLocked()) return false;
    return scripted_ ? !queue_.empty() : channel.pending != nullptr;
}

void RuntimeState::signalLocked(const ReaderChannel& channel) const {
    const bool ready = frameReadyLocked(channel);
    for (HANDLE handle : channel.subscriptions) {
        if (ready) {
            SetEvent(handle);
        } else {
            ResetEvent(handle);
        }
    }
}

void RuntimeState::signalAllLocked() const {
    for (const ReaderChannel* channel : readers_) signalLocked(*channel);
}

void RuntimeState::dropLiveFramesLocked() {
    for (ReaderChannel* channel : readers_) channel->pending.reset();
}

bool RuntimeState::liveFramesWantedLocked(DWORD& sources) const {
    if (scripted_ || !streamingLocked() || readers_.empty()) return false;
    sources = 0;
    for (const ReaderChannel* channel : readers_) sources |= channel->sources;
    return true;
}

bool RuntimeState::liveFramesWanted(DWORD& sources) {
    std::lock_guard<std::mutex> lock(mutex_);
    return liveFramesWantedLocked(sources);
}

void RuntimeState::updateProducerLocked() {
    DWORD sources = 0;
    producer_.wake(liveFramesWantedLocked(sources));
}

void RuntimeState::produceLiveFrame(std::chrono::steady_clock::time_point due, DWORD sources) {
    const TIMESPAN time =
        std::chrono::duration_cast<std::chrono::duration<TIMESPAN, std::ratio<1, kTicksPerSecond>>>(due - epoch_)
            .count();
    auto content = makeRecycledShared<FrameContent>();
    content->relativeTime = time;
    renderLive(time, sources & kFrameSources, *content);

    std::lock_guard<std::mutex> lock(mutex_);
    if (scripted_ || !streamingLocked()) return;
    for (ReaderChannel* channel : readers_) {
        // A reader that arrived while this frame was rendered may want a source
        // it lacks; it gets the next one.
        if ((channel->sources & ~sources) != 0) continue;
        channel->pending = content;
        signalLocked(*channel);
    }
}

void RuntimeState::renderLive(TIMESPAN time, DWORD sources, FrameContent& content) {
    if (sources == 0) return;
    LiveFrame frame;
    {
        std::lock_guard<std::mutex> lock(renderMutex_);
        liveSource_.render(time, sources, frame);
    }
    if (sources & FrameSourceTypes_Color) content.color = share(std::move(frame.color));
    if (sources & FrameSourceTypes_Depth) content.depth = share(std::move(frame.depth));
    if (sources & FrameSourceTypes_BodyIndex) content.bodyIndex = share(std::move(frame.bodyIndex));
    if (sources & FrameSourceTypes_Body) content.bodies = share(std::move(frame.bodies));
    if (sources & FrameSourceTypes_Infrared) content.infrared = share(std::move(frame.infrared));
    if (sources & FrameSourceTypes_LongExposureInfrared) {
        content.longExposureInfrared = share(std::move(frame.longExposureInfrared));
    }
}

// Only the reader's sources are kept; those the script left empty are filled
// with live content at the sensor's own size.
std::shared_ptr<const FrameContent> RuntimeState::assembleScripted(ScriptedFrame frame, DWORD sources, TIMESPAN time) {
    auto content = makeRecycledShared<FrameContent>();
    content->relativeTime = time;
    DWORD missing = 0;
    auto take = [&](auto& scriptedPart, auto& contentPart, DWORD bit) {
        if ((sources & bit) == 0) return;
        if (scriptedPart) {
            contentPart = share(std::move(*scriptedPart));
        } else {
            missing |= bit;
        }
    };
    take(frame.color, content->color, FrameSourceTypes_Color);
    take(frame.depth, content->depth, FrameSourceTypes_Depth);
    take(frame.bodyIndex, content->bodyIndex, FrameSourceTypes_BodyIndex);
    take(frame.bodies, content->bodies, FrameSourceTypes_Body);
    take(frame.infrared, content->infrared, FrameSourceTypes_Infrared);
    take(frame.longExposureInfrared, content->longExposureInfrared, FrameSourceTypes_LongExposureInfrared);
    renderLive(time, missing, *content);
    return content;
}

// ---- control face ---------------------------------------------------------

void RuntimeState::reset() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        sensorPresent_ = true;
        mapperPresent_ = true;
        scripted_ = false;
        queue_.clear();
        scriptedFramesDelivered_ = 0;
        signalAllLocked();
        updateProducerLocked();
    }
    clearFailures();
    clearCallLog();
}

// A sensor that goes away while open stops delivering, as an unplugged one
// does; it resumes when it is back.
void RuntimeState::setSensorPresent(bool present) {
    std::lock_guard<std::mutex> lock(mutex_);
    sensorPresent_ = present;
    if (!present) dropLiveFramesLocked();
    signalAllLocked();
    updateProducerLocked();
}

void RuntimeState::setMapperPresent(bool present) {
    std::lock_guard<std::mutex> lock(mutex_);
    mapperPresent_ = present;
}

// Live frames a reader had not taken are dropped on the way into scripted
// mode, so that a test sees exactly the frames it queues.
void RuntimeState::setScripted(bool scripted) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (scripted_ == scripted) return;
    scripted_ = scripted;
    dropLiveFramesLocked();
    signalAllLocked();
    updateProducerLocked();
}

void RuntimeState::queueFrame(ScriptedFrame frame) {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(frame));
    signalAllLocked();
}

int RuntimeState::queuedFrameCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(queue_.size());
}

}  // namespace plexa::virtual2
