// The sensor objects created for each index, so that the control face can
// reach them (to end their streams, hand them scripted frames, count what they
// hold). Held weakly: a sensor object's last Release ends it.
#pragma once

#include <memory>
#include <vector>

namespace plexa::virtual1 {

class SensorDevice;

void registerDevice(int index, const std::shared_ptr<SensorDevice>& device);
std::vector<std::shared_ptr<SensorDevice>> devicesOf(int index);

}  // namespace plexa::virtual1
