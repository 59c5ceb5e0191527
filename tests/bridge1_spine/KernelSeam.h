// A seam in the kernel layer for the tests of this folder: the test program
// defines CreateEventA, CreateThread, WaitForMultipleObjects and
// WaitForSingleObject itself and exports them, so that the bridge, loaded
// later by the VM, binds to these. By default each one forwards to
// libplexa_kernel; a test can make one fail, hold the event thread before its
// wait, or see who waits.
#pragma once

#include "plexa/platform.h"

#include <cstddef>

namespace plexa::test::seam {

// Threads started through CreateThread whose routine has not returned yet.
// (The virtual sensor runs a frame producer thread of its own, which ends a
// tick after its sensor shuts down; this count leaves it out.)
std::size_t threadsRunning();

// The n-th CreateEventA call from now (1 = the next one) returns null, once.
void failEventCreation(int nth);
// The next CreateThread call returns null, once.
void failThreadCreation();

// The event thread's wait (the wait on four handles) and its back-off wait on
// the stop event alone (100 ms on one handle) report WAIT_FAILED while set.
void failEventThreadWaits(bool fourHandleWait, bool stopOnlyWait);
// Waits on four handles entered so far, and back-off waits on one handle for 100 ms.
std::size_t fourHandleWaits();
std::size_t stopOnlyWaits();

// While held, an event thread that comes to its wait stops before it and
// stays there until released; frames and stops signalled meanwhile are all
// seen together by that wait.
void holdEventThreadWaits();
void releaseEventThreadWaits();
// Event threads stopped at the hold right now.
std::size_t threadsHeld();

// Whether the thread with this id has entered a wait without time limit.
bool hasEnteredInfiniteWait(DWORD threadId);

}  // namespace plexa::test::seam
