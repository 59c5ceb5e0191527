// The sensor interface the bridge holds: a reference-counted face over one
// SensorDevice. Every call goes through the journal (failure injection and
// call log) before it reaches the device.
#pragma once

#include "runtime1/NuiRuntime.h"

#include <memory>

namespace plexa::virtual1 {

class SensorSource;

// A new sensor object for `index` served by `source`, with one reference,
// owned by the caller.
INuiSensor* createSensorObject(int index, std::shared_ptr<SensorSource> source);

}  // namespace plexa::virtual1
