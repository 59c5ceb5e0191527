// PLEXA_SENSOR1=freenect (and auto): the sensors that libfreenect finds.
#pragma once

#include "SensorSource.h"

#include <memory>

namespace plexa::virtual1 {

enum class FreenectRequest {
    Auto,      // null when libfreenect is missing (said) or finds no sensor (quietly)
    Explicit,  // null when libfreenect is missing or cannot start (said)
};
std::unique_ptr<SourceSelection> makeFreenectSelection(FreenectRequest request);

}  // namespace plexa::virtual1
