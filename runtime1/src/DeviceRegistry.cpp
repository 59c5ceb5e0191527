#include "DeviceRegistry.h"

#include "sources/VirtualSensors.h"

#include <algorithm>
#include <array>
#include <mutex>

namespace plexa::virtual1 {

namespace {

struct Registry {
    std::mutex mutex;
    std::array<std::vector<std::weak_ptr<SensorDevice>>, sensorIndexLimit> devices;
};

// Never destroyed, so that threads still running at exit can use it.
Registry& registry() {
    static Registry* const instance = new Registry();
    return *instance;
}

}  // namespace

void registerDevice(int index, const std::shared_ptr<SensorDevice>& device) {
    std::lock_guard<std::mutex> lock(registry().mutex);
    auto& devices = registry().devices[index];
    devices.erase(std::remove_if(devices.begin(), devices.end(), [](const auto& known) { return known.expired(); }),
                  devices.end());
    devices.push_back(device);
}

std::vector<std::shared_ptr<SensorDevice>> devicesOf(int index) {
    std::lock_guard<std::mutex> lock(registry().mutex);
    std::vector<std::shared_ptr<SensorDevice>> alive;
    for (const auto& known : registry().devices[index]) {
        if (auto device = known.lock()) alive.push_back(std::move(device));
    }
    return alive;
}

}  // namespace plexa::virtual1
