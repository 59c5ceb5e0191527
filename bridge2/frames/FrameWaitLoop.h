// The wait of an event thread: the stop event first, then a frame-arrived
// handle, 100 ms at a time, until the stop event is signalled. A stop is
// served before a pending frame; a frame signal calls the handler, which runs
// to its end before the next wait.
#pragma once

#include "plexa/platform.h"

#include <functional>

namespace plexa::bridge2 {

constexpr DWORD kWaitSliceMs = 100;

void runFrameWaitLoop(HANDLE stopEvent, HANDLE frameArrived, const std::function<void()>& onFrame);

}  // namespace plexa::bridge2
