#include "ProcessState.h"

#include "CameraModel.h"

#include <algorithm>

namespace plexa::virtual1 {

int ProcessState::connectedCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return connectedCount_;
}

void ProcessState::setConnectedCount(int count) {
    std::lock_guard<std::mutex> lock(mutex_);
    connectedCount_ = std::clamp(count, 0, sensorIndexLimit);
}

bool ProcessState::isConnected(int index) {
    std::lock_guard<std::mutex> lock(mutex_);
    return index >= 0 && index < connectedCount_;
}

bool ProcessState::isScripted(int index) {
    std::lock_guard<std::mutex> lock(mutex_);
    return indexes_[index].scripted;
}

void ProcessState::setScripted(int index, bool scripted) {
    std::lock_guard<std::mutex> lock(mutex_);
    indexes_[index].scripted = scripted;
}

HRESULT ProcessState::status(int index) {
    std::lock_guard<std::mutex> lock(mutex_);
    return indexes_[index].status;
}

void ProcessState::setStatus(int index, HRESULT status) {
    std::lock_guard<std::mutex> lock(mutex_);
    indexes_[index].status = status;
}

LONG ProcessState::elevation(int index) {
    std::lock_guard<std::mutex> lock(mutex_);
    return indexes_[index].elevation;
}

void ProcessState::setElevation(int index, LONG degrees) {
    std::lock_guard<std::mutex> lock(mutex_);
    indexes_[index].elevation = degrees;
}

Vector4 ProcessState::accelerometer(int index) {
    std::lock_guard<std::mutex> lock(mutex_);
    const IndexState& state = indexes_[index];
    return state.accelerometer ? *state.accelerometer : gravityReading(state.elevation);
}

void ProcessState::setAccelerometer(int index, Vector4 reading) {
    std::lock_guard<std::mutex> lock(mutex_);
    indexes_[index].accelerometer = reading;
}

void ProcessState::queueImage(int index, Stream stream, ScriptedImageFrame&& frame) {
    std::lock_guard<std::mutex> lock(mutex_);
    indexes_[index].queuedImages[slot(stream)].push_back(std::move(frame));
}

std::optional<ScriptedImageFrame> ProcessState::popImage(int index, Stream stream) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto& queue = indexes_[index].queuedImages[slot(stream)];
    if (queue.empty()) return std::nullopt;
    ScriptedImageFrame frame = std::move(queue.front());
    queue.pop_front();
    return frame;
}

void ProcessState::returnImages(int index, Stream stream, std::vector<ScriptedImageFrame>&& frames) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto& queue = indexes_[index].queuedImages[slot(stream)];
    for (auto frame = frames.rbegin(); frame != frames.rend(); ++frame) queue.push_front(std::move(*frame));
}

void ProcessState::queueSkeleton(int index, const NUI_SKELETON_FRAME& frame) {
    std::lock_guard<std::mutex> lock(mutex_);
    indexes_[index].queuedSkeletons.push_back(frame);
}

std::optional<NUI_SKELETON_FRAME> ProcessState::popSkeleton(int index) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto& queue = indexes_[index].queuedSkeletons;
    if (queue.empty()) return std::nullopt;
    NUI_SKELETON_FRAME frame = queue.front();
    queue.pop_front();
    return frame;
}

void ProcessState::returnSkeletons(int index, std::vector<NUI_SKELETON_FRAME>&& frames) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto& queue = indexes_[index].queuedSkeletons;
    for (auto frame = frames.rbegin(); frame != frames.rend(); ++frame) queue.push_front(*frame);
}

void ProcessState::claimImageFrames(int index, Stream stream, HANDLE streamHandle) {
    std::lock_guard<std::mutex> lock(mutex_);
    indexes_[index].imageReceiver[slot(stream)] = streamHandle;
}

void ProcessState::yieldImageFrames(int index, Stream stream, HANDLE streamHandle) {
    std::lock_guard<std::mutex> lock(mutex_);
    HANDLE& receiver = indexes_[index].imageReceiver[slot(stream)];
    if (receiver == streamHandle) receiver = nullptr;
}

bool ProcessState::receivesImageFrames(int index, Stream stream, HANDLE streamHandle) {
    std::lock_guard<std::mutex> lock(mutex_);
    return indexes_[index].imageReceiver[slot(stream)] == streamHandle;
}

void ProcessState::claimSkeletonFrames(int index, const SensorDevice* device) {
    std::lock_guard<std::mutex> lock(mutex_);
    indexes_[index].skeletonReceiver = device;
}

void ProcessState::yieldSkeletonFrames(int index, const SensorDevice* device) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (indexes_[index].skeletonReceiver == device) indexes_[index].skeletonReceiver = nullptr;
}

bool ProcessState::receivesSkeletonFrames(int index, const SensorDevice* device) {
    std::lock_guard<std::mutex> lock(mutex_);
    return indexes_[index].skeletonReceiver == device;
}

void ProcessState::addDevice(int index, const std::shared_ptr<SensorDevice>& device) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto& devices = indexes_[index].devices;
    devices.erase(std::remove_if(devices.begin(), devices.end(), [](const auto& known) { return known.expired(); }),
                  devices.end());
    devices.push_back(device);
}

std::vector<std::shared_ptr<SensorDevice>> ProcessState::devicesOf(int index) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::shared_ptr<SensorDevice>> alive;
    for (const auto& known : indexes_[index].devices) {
        if (auto device = known.lock()) alive.push_back(std::move(device));
    }
    return alive;
}

std::vector<std::shared_ptr<SensorDevice>> ProcessState::allDevices() {
    std::vector<std::shared_ptr<SensorDevice>> alive;
    for (int index = 0; index < sensorIndexLimit; ++index) {
        auto ofIndex = devicesOf(index);
        alive.insert(alive.end(), ofIndex.begin(), ofIndex.end());
    }
    return alive;
}

void ProcessState::IndexState::resetSettings() {
    scripted = false;
    status = S_OK;
    elevation = 0;
    accelerometer.reset();
    for (auto& queue : queuedImages) queue.clear();
    queuedSkeletons.clear();
}

void ProcessState::resetSettings() {
    std::lock_guard<std::mutex> lock(mutex_);
    connectedCount_ = 1;
    for (IndexState& state : indexes_) state.resetSettings();
}

ProcessState& processState() {
    static ProcessState* const instance = new ProcessState();
    return *instance;
}

}  // namespace plexa::virtual1
