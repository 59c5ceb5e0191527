// Ending a session's event thread from another thread.
#pragma once

#include <plexa/platform.h>

namespace plexa {

// Signals the stop event, waits for the thread to end, closes both handles and
// clears them. Nothing happens when there is no stop event (start-up failed
// before the thread's turn). Never call it on the thread being ended.
void stopAndJoinEventThread(HANDLE& stopEvent, HANDLE& eventThread);

}  // namespace plexa
