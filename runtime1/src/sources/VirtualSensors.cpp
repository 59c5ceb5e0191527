#include "VirtualSensors.h"

#include "CameraModel.h"
#include "LiveScene.h"

#include <algorithm>

namespace plexa::virtual1 {

VirtualSensors::VirtualSensors() { resetSettings(); }

std::chrono::steady_clock::time_point VirtualSensors::clockStart(std::chrono::steady_clock::time_point now) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!clockStart_) clockStart_ = now;
    return *clockStart_;
}

int VirtualSensors::connectedCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return connectedCount_.value_or(listedCount_);
}

void VirtualSensors::setConnectedCount(int count) {
    std::lock_guard<std::mutex> lock(mutex_);
    connectedCount_ = std::clamp(count, 0, sensorIndexLimit);
}

void VirtualSensors::setListedCount(int count) {
    std::lock_guard<std::mutex> lock(mutex_);
    listedCount_ = std::clamp(count, 0, sensorIndexLimit);
}

bool VirtualSensors::isConnected(int index) { return index >= 0 && index < connectedCount(); }

VirtualSensors::Settings VirtualSensors::settings(int index) {
    std::lock_guard<std::mutex> lock(mutex_);
    return indexes_[index];
}

Vector4 VirtualSensors::accelerometer(int index) {
    std::lock_guard<std::mutex> lock(mutex_);
    const IndexState& state = indexes_[index];
    return state.accelerometer ? *state.accelerometer : gravityReading(state.elevation);
}

void VirtualSensors::queueImage(int index, Stream stream, ScriptedImageFrame&& frame) {
    std::lock_guard<std::mutex> lock(mutex_);
    indexes_[index].queuedImages[slotOf(stream)].push_back(std::move(frame));
}

bool VirtualSensors::popImage(int index, Stream stream, ScriptedImageFrame& frame) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto& queue = indexes_[index].queuedImages[slotOf(stream)];
    if (queue.empty()) return false;
    frame = std::move(queue.front());
    queue.pop_front();
    return true;
}

void VirtualSensors::returnImages(int index, Stream stream, std::vector<ScriptedImageFrame>&& frames) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto& queue = indexes_[index].queuedImages[slotOf(stream)];
    for (auto frame = frames.rbegin(); frame != frames.rend(); ++frame) queue.push_front(std::move(*frame));
}

void VirtualSensors::queueSkeleton(int index, const NUI_SKELETON_FRAME& frame) {
    std::lock_guard<std::mutex> lock(mutex_);
    indexes_[index].queuedSkeletons.push_back(frame);
}

bool VirtualSensors::popSkeleton(int index, NUI_SKELETON_FRAME& frame) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto& queue = indexes_[index].queuedSkeletons;
    if (queue.empty()) return false;
    frame = queue.front();
    queue.pop_front();
    return true;
}

void VirtualSensors::returnSkeletons(int index, std::vector<NUI_SKELETON_FRAME>&& frames) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto& queue = indexes_[index].queuedSkeletons;
    for (auto frame = frames.rbegin(); frame != frames.rend(); ++frame) queue.push_front(*frame);
}

void VirtualSensors::IndexState::resetSettings(int index) {
    *this = IndexState{};
    elevation = defaultElevation(index);
}

void VirtualSensors::resetSettings() {
    std::lock_guard<std::mutex> lock(mutex_);
    connectedCount_.reset();
    for (int index = 0; index < sensorIndexLimit; ++index) indexes_[index].resetSettings(index);
}

VirtualSensors& virtualSensors() {
    static VirtualSensors* const instance = new VirtualSensors();
    return *instance;
}

}  // namespace plexa::virtual1
