// The virtual sensors as a selection: as many as the control face connects
// (at first the number a list named), each index with a source of its own.
#pragma once

#include "SensorSource.h"

#include <memory>

namespace plexa::virtual1 {

// `count` virtual sensors, indexes 0 to count - 1 (the control face may
// connect more or fewer); 0 leaves the count as it is.
std::unique_ptr<SourceSelection> makeVirtualSelection(int count);

}  // namespace plexa::virtual1
