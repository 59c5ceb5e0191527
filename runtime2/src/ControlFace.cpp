// The control face: thin entries onto the runtime's process-wide state.
#include "CameraModel.h"
#include "RefCounted.h"
#include "RuntimeState.h"

namespace plexa::virtual2 {

void reset() { RuntimeState::instance().reset(); }

void setSensorPresent(bool present) { RuntimeState::instance().setSensorPresent(present); }

void setScripted(bool scripted) { RuntimeState::instance().setScripted(scripted); }

void queueFrame(ScriptedFrame frame) { RuntimeState::instance().queueFrame(std::move(frame)); }

int queuedFrameCount() { return RuntimeState::instance().queuedFrameCount(); }

void setMapperPresent(bool present) { RuntimeState::instance().setMapperPresent(present); }

int liveObjectCount() { return aliveObjects.load(std::memory_order_relaxed); }

CameraIntrinsics depthIntrinsics() { return CameraModel::instance().depthIntrinsics(); }

}  // namespace plexa::virtual2
