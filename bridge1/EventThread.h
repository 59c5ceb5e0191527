// The event thread of a started session: it waits on the stop event and the
// runtime's frame events and runs the session's frame handlers, one at a time.
#pragma once

#include "plexa/platform.h"

namespace plexa::bridge1 {

// The thread's start routine; the parameter is the session (KSDK*).
DWORD WINAPI eventThreadRoutine(LPVOID session);

// True on an event thread of this library, that is inside a frame handler or
// a Java callback it runs. Such a thread must never wait for an event thread.
bool onEventThread();

}  // namespace plexa::bridge1
