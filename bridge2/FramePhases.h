// The phases of Nui_ProcessFrame, each in its own file. All run on the
// session's event thread.
#pragma once

#include "FrameWorkingSet.h"

struct KSDK;

namespace plexa::bridge2 {

// Takes one frame of every selected stream from the multi-source frame and
// enters their codes in the list. False when any of them cannot be taken:
// the whole event is then dropped.
bool acquireSources(KSDK& session, FrameWorkingSet& frame);

// Asks each frame for its size and buffer and runs the mapping and body
// stages. A failed runtime call ends the phase; delivery goes on with what
// was gathered.
void describeSources(KSDK& session, FrameWorkingSet& frame);

// Color coordinates and camera-space points of the depth pixels.
void runMappingStage(KSDK& session, FrameWorkingSet& frame);

// Refreshes the six body slots and packs the tracked ones. False when the
// tracked-state query of the last slot failed, which ends describing.
bool runBodyStage(KSDK& session, FrameWorkingSet& frame);

// Size reports, the intrinsics (once per session) and the frame callback,
// within one attachment to the VM. True when the frame reached Java.
bool deliverFrame(KSDK& session, const FrameWorkingSet& frame);

}  // namespace plexa::bridge2
